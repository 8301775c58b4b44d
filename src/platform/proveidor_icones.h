#pragma once

#include <QAbstractFileIconProvider>

namespace platform {

// Icons and type names from the kind of entry alone (directory, link, file). The toolkit's own
// provider reads a file's first bytes to guess its type, and a FIFO, a device or a file under
// /proc can block that read for ever, taking the dialog with it.
class ProveidorIcones : public QAbstractFileIconProvider {
  public:
    QIcon icon(IconType tipus) const override;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;
};

}  // namespace platform
