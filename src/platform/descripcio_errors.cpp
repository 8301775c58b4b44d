#include "platform/crides_sistema.h"

#include <cerrno>

namespace platform {

QString descripcio(int error) {
    switch (error) {
        case ENOSPC:
            return QStringLiteral("el disc és ple");
        case EDQUOT:
            return QStringLiteral("s'ha acabat l'espai que teniu al disc");
        case EEXIST:
            return QStringLiteral("ja existeix");
        case EACCES:
        case EPERM:
            return QStringLiteral("no hi ha permís");
        case ENOENT:
            return QStringLiteral("no existeix");
        case ENOTDIR:
            return QStringLiteral("una part del camí no és una carpeta");
        case EROFS:
            return QStringLiteral("el disc només es pot llegir");
        case EIO:
            return QStringLiteral("error del disc");
        case EISDIR:
            return QStringLiteral("és una carpeta");
        case ENAMETOOLONG:
            return QStringLiteral("el nom és massa llarg");
        case EPIPE:
            return QStringLiteral("qui havia de llegir la sortida ja no hi és");
        case ELOOP:
            return QStringLiteral("massa enllaços simbòlics seguits");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("hi ha massa fitxers oberts");
        case ENOMEM:
            return QStringLiteral("no hi ha prou memòria");
        case EFBIG:
            return QStringLiteral("el fitxer seria massa gran");
        case EBUSY:
        case ETXTBSY:
            return QStringLiteral("és ocupat");
        case EWOULDBLOCK:
            return QStringLiteral("un altre programa el té obert");
        case EINVAL:
            return QStringLiteral("aquí no es pot fer");
        default:
            return QStringLiteral("error %1 del sistema").arg(error);
    }
}

}  // namespace platform
