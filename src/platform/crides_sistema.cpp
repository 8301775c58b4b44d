#include "platform/crides_sistema.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <dirent.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// When this program started, near enough: what is older was left by another run.
const qint64 kInici = QDateTime::currentMSecsSinceEpoch();

}  // namespace

int CridesSistema::open(const char* cami, int indicadors, mode_t mode) {
    return ::open(cami, indicadors, mode);
}
int CridesSistema::stat(const char* cami, struct stat* estat) {
    return ::stat(cami, estat);
}
int CridesSistema::fstat(int descriptor, struct stat* estat) {
    return ::fstat(descriptor, estat);
}
int CridesSistema::flock(int descriptor, int operacio) {
    return ::flock(descriptor, operacio);
}
int CridesSistema::fcntl(int descriptor, int ordre, int argument) {
    return ::fcntl(descriptor, ordre, argument);
}
ssize_t CridesSistema::pread(int descriptor, void* bytes, size_t mida, off_t posicio) {
    return ::pread(descriptor, bytes, mida, posicio);
}
ssize_t CridesSistema::pwrite(int descriptor, const void* bytes, size_t mida, off_t posicio) {
    return ::pwrite(descriptor, bytes, mida, posicio);
}
int CridesSistema::fdatasync(int descriptor) {
    return ::fdatasync(descriptor);
}
int CridesSistema::fsync(int descriptor) {
    return ::fsync(descriptor);
}
int CridesSistema::ftruncate(int descriptor, off_t longitud) {
    return ::ftruncate(descriptor, longitud);
}
int CridesSistema::close(int descriptor) {
    return ::close(descriptor);
}
int CridesSistema::unlink(const char* cami) {
    return ::unlink(cami);
}

int CridesSistema::linkat(int directoriFont, const char* font, int directoriDesti,
                          const char* desti, int indicadors) {
    return ::linkat(directoriFont, font, directoriDesti, desti, indicadors);
}
int CridesSistema::rename(const char* font, const char* desti) {
    return ::rename(font, desti);
}

ssize_t CridesSistema::read(int descriptor, void* bytes, size_t mida) {
    return ::read(descriptor, bytes, mida);
}
int CridesSistema::fchmod(int descriptor, mode_t mode) {
    return ::fchmod(descriptor, mode);
}
int CridesSistema::fchown(int descriptor, uid_t propietari, gid_t grup) {
    return ::fchown(descriptor, propietari, grup);
}
int CridesSistema::access(const char* cami, int mode) {
    return ::access(cami, mode);
}

Bloqueig bloqueja(CridesSistema& crides, int descriptor, int tipus) {
    if (crides.flock(descriptor, tipus | LOCK_NB) == 0)
        return Bloqueig::Pres;
    return errno == EWOULDBLOCK || errno == EINTR ? Bloqueig::DUnAltre : Bloqueig::SenseBloquejos;
}

int escriuTot(CridesSistema& crides, int descriptor, const char* bytes, size_t mida, off_t inici,
              size_t& escrits) {
    escrits = 0;
    while (escrits < mida) {
        const ssize_t n = inici < 0 ? ::write(descriptor, bytes + escrits, mida - escrits)
                                    : crides.pwrite(descriptor, bytes + escrits, mida - escrits,
                                                    inici + off_t(escrits));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0 ? ENOSPC : errno;
        escrits += size_t(n);
    }
    return 0;
}

ssize_t llegeixTot(CridesSistema& crides, int descriptor, char* desti, size_t mida, off_t inici) {
    size_t llegits = 0;
    while (llegits < mida) {
        const ssize_t n =
            crides.pread(descriptor, desti + llegits, mida - llegits, inici + off_t(llegits));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        llegits += size_t(n);
    }
    return ssize_t(llegits);
}

bool sincronitzaDirectori(CridesSistema& crides, const char* directori) {
    const int descriptor = crides.open(directori, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (descriptor < 0)
        return false;
    const bool sincronitzat = crides.fsync(descriptor) == 0 || errno == EINVAL || errno == ENOTSUP;
    const int error = errno;
    crides.close(descriptor);
    errno = error;
    return sincronitzat;
}

bool esAlCami(CridesSistema& crides, int descriptor, const char* cami) {
    struct stat obert {};
    struct stat alCami {};
    return crides.fstat(descriptor, &obert) == 0 && crides.stat(cami, &alCami) == 0 &&
           obert.st_dev == alCami.st_dev && obert.st_ino == alCami.st_ino;
}

QString nomTemporal(const QFileInfo& fitxer) {
    return QStringLiteral("%1/.%2.%3")
        .arg(fitxer.absolutePath(), fitxer.fileName(),
             QString::number(QRandomGenerator::global()->generate(), 36));
}

void esborraCopiesDeixades(CridesSistema& crides, const QString& cami) {
    const QFileInfo info(cami);
    const QFileInfo fitxer(info.exists() ? info.canonicalFilePath() : info.absoluteFilePath());
    const QByteArray carpeta = QFile::encodeName(fitxer.absolutePath());
    const QByteArray prefix = QFile::encodeName(u'.' + fitxer.fileName() + u'.');
    DIR* directori = ::opendir(carpeta.constData());
    if (!directori)
        return;
    // The folder's names as they come, without a look at each: a folder of many files is read fast.
    while (const dirent* entrada = ::readdir(directori)) {
        const QByteArrayView nom(entrada->d_name);
        if (!nom.startsWith(prefix))
            continue;
        const QByteArrayView sufix = nom.sliced(prefix.size());
        if (sufix.isEmpty() || sufix.size() > 7 ||
            !std::all_of(sufix.begin(), sufix.end(),
                         [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'); }))
            continue;
        const QByteArray copia = carpeta + '/' + nom.toByteArray();
        struct stat estat {};
        if (crides.stat(copia.constData(), &estat) == 0 && S_ISREG(estat.st_mode) &&
            qint64(estat.st_mtim.tv_sec) * 1000 + estat.st_mtim.tv_nsec / 1000000 < kInici)
            crides.unlink(copia.constData());
    }
    ::closedir(directori);
}

CridesSistema& CridesSistema::reals() {
    static CridesSistema crides;
    return crides;
}

}  // namespace platform
