#include "platform/proveidor_icones.h"

#include <QApplication>
#include <QFileInfo>
#include <QStyle>

namespace platform {

namespace {
QIcon iconaDeLEstil(QStyle::StandardPixmap icona) {
    return QApplication::style()->standardIcon(icona);
}
}  // namespace

ProveidorIcones::ProveidorIcones()
    : m_fitxer(iconaDeLEstil(QStyle::SP_FileIcon)),
      m_enllacAFitxer(iconaDeLEstil(QStyle::SP_FileLinkIcon)),
      m_directori(iconaDeLEstil(QStyle::SP_DirIcon)),
      m_enllacADirectori(iconaDeLEstil(QStyle::SP_DirLinkIcon)),
      m_unitat(iconaDeLEstil(QStyle::SP_DriveHDIcon)),
      // The toolkit's own words, so that its Catalan catalogue names them.
      m_tipusDirectori(QApplication::translate("QAbstractFileIconProvider", "Folder")),
      m_tipusFitxer(QApplication::translate("QAbstractFileIconProvider", "File")) {}

QIcon ProveidorIcones::icon(IconType tipus) const {
    switch (tipus) {
        case Computer:
            return iconaDeLEstil(QStyle::SP_ComputerIcon);
        case Drive:
            return m_unitat;
        case Folder:
            return m_directori;
        case Trashcan:
            return iconaDeLEstil(QStyle::SP_TrashIcon);
        case Desktop:
            return iconaDeLEstil(QStyle::SP_DesktopIcon);
        case Network:
            return iconaDeLEstil(QStyle::SP_DriveNetIcon);
        case File:
            break;
    }
    return m_fitxer;
}

QIcon ProveidorIcones::icon(const QFileInfo& info) const {
    if (info.isRoot())
        return m_unitat;
    if (info.isDir())
        return info.isSymLink() ? m_enllacADirectori : m_directori;
    return info.isSymLink() ? m_enllacAFitxer : m_fitxer;
}

QString ProveidorIcones::type(const QFileInfo& info) const {
    return info.isDir() ? m_tipusDirectori : m_tipusFitxer;
}

}  // namespace platform
