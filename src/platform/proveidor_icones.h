#pragma once

#include <QAbstractFileIconProvider>
#include <QIcon>

namespace platform {

// Icons and type names from the kind of entry alone (directory, link, file). The toolkit's own
// provider reads a file's first bytes to guess its type, and a FIFO, a device or a file under
// /proc can block that read for ever, taking the dialog with it. The icons are made once: a
// directory of 100,000 files asks for 100,000 of them.
class ProveidorIcones : public QAbstractFileIconProvider {
  public:
    ProveidorIcones();

    QIcon icon(IconType tipus) const override;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;

  private:
    QIcon m_fitxer, m_enllacAFitxer, m_directori, m_enllacADirectori, m_unitat;
    QString m_tipusDirectori, m_tipusFitxer;
};

}  // namespace platform
