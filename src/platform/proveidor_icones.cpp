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

QIcon ProveidorIcones::icon(IconType tipus) const {
    switch (tipus) {
        case Computer:
            return iconaDeLEstil(QStyle::SP_ComputerIcon);
        case Drive:
            return iconaDeLEstil(QStyle::SP_DriveHDIcon);
        case Folder:
            return iconaDeLEstil(QStyle::SP_DirIcon);
        case Trashcan:
            return iconaDeLEstil(QStyle::SP_TrashIcon);
        case Desktop:
            return iconaDeLEstil(QStyle::SP_DesktopIcon);
        case Network:
            return iconaDeLEstil(QStyle::SP_DriveNetIcon);
        case File:
            break;
    }
    return iconaDeLEstil(QStyle::SP_FileIcon);
}

QIcon ProveidorIcones::icon(const QFileInfo& info) const {
    if (info.isRoot())
        return iconaDeLEstil(QStyle::SP_DriveHDIcon);
    if (info.isDir())
        return iconaDeLEstil(info.isSymLink() ? QStyle::SP_DirLinkIcon : QStyle::SP_DirIcon);
    return iconaDeLEstil(info.isSymLink() ? QStyle::SP_FileLinkIcon : QStyle::SP_FileIcon);
}

// The toolkit's own words, so that its Catalan catalogue names them.
QString ProveidorIcones::type(const QFileInfo& info) const {
    if (info.isDir())
        return QApplication::translate("QAbstractFileIconProvider", "Folder");
    return QApplication::translate("QAbstractFileIconProvider", "File");
}

}  // namespace platform
