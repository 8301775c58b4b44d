#include "platform/sistema_fitxers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

using Tipus = ErrorFitxer::Tipus;

[[noreturn]] void llencaErrorDeSistema(const QString& operacio, const QString& cami = {}) {
    const int error = errno;
    throw ErrorFitxer(Tipus::Disc, operacio + u' ' + cami + QStringLiteral(": ") +
                                       QString::fromLocal8Bit(std::strerror(error)));
}

bool esUnitatTriable(const QStorageInfo& volum) {
    if (!volum.isValid() || !volum.isReady())
        return false;
    const QString arrel = volum.rootPath();
    if (arrel == QStringLiteral("/"))
        return true;
    for (const auto& prefix : {QStringLiteral("/home"), QStringLiteral("/media/"),
                               QStringLiteral("/mnt/"), QStringLiteral("/run/media/")}) {
        if (arrel.startsWith(prefix))
            return true;
    }
    return arrel == QDir::homePath();
}

// Takes the exclusive lock; false only when another holder has it. A file system that keeps no
// locks leaves the file unlocked rather than unusable.
bool bloqueja(int descriptor) {
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0)
        return true;
    return errno != EWOULDBLOCK && errno != EINTR;
}

QDir directoriLlegible(const QString& directori) {
    QDir dir(directori);
    if (directori.isEmpty() || !dir.exists() || !dir.isReadable())
        throw ErrorFitxer(Tipus::Disc, QStringLiteral("directori no llegible: ") + directori);
    return dir;
}

}  // namespace

QString unitatDe(const QStringList& unitats, const QString& cami) {
    QString millor;
    for (const QString& unitat : unitats) {
        const bool conte =
            cami == unitat || cami.startsWith(unitat.endsWith(u'/') ? unitat : unitat + u'/');
        if (conte && unitat.size() > millor.size())
            millor = unitat;
    }
    return millor;
}

SistemaFitxersReal::~SistemaFitxersReal() {
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

int SistemaFitxersReal::descriptorObert() const {
    if (m_descriptor < 0)
        throw ErrorFitxer(Tipus::NumeroFitxerIncorrecte, QStringLiteral("el canal no és obert"));
    return m_descriptor;
}

qint64 SistemaFitxersReal::posicio(qint16 numero) const {
    if (numero < 1)
        throw ErrorFitxer(
            Tipus::NumeroRegistreIncorrecte,
            QStringLiteral("número de registre incorrecte: ") + QString::number(numero));
    return (qint64(numero) - 1) * m_longRegistre;
}

void SistemaFitxersReal::obre(const QString& cami, qint16 longRegistre) {
    if (m_descriptor >= 0)
        throw ErrorFitxer(Tipus::Disc, QStringLiteral("el canal ja és obert"));
    if (cami.isEmpty() || longRegistre < 1)
        throw ErrorFitxer(Tipus::Disc, QStringLiteral("no hi ha cap fitxer per obrir"));

    const QByteArray nom = QFile::encodeName(cami);
    // Directories, FIFOs and devices are refused before opening, so that nothing can block.
    struct stat estat {};
    if (::stat(nom.constData(), &estat) == 0 && !S_ISREG(estat.st_mode))
        throw ErrorFitxer(Tipus::Disc, QStringLiteral("no és un fitxer normal: ") + cami);

    // A file that may only be read is refused here rather than failing on every later save.
    const int descriptor = ::open(nom.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (descriptor < 0)
        llencaErrorDeSistema(QStringLiteral("obrir"), cami);

    const auto refusa = [&](const QString& motiu) {
        const int error = errno;
        ::close(descriptor);
        errno = error;
        llencaErrorDeSistema(motiu, cami);
    };
    if (::fstat(descriptor, &estat) != 0)
        refusa(QStringLiteral("obrir"));
    if (!S_ISREG(estat.st_mode)) {
        errno = EINVAL;
        refusa(QStringLiteral("obrir"));
    }
    // Another program writing the same file would interleave its records with ours.
    if (!bloqueja(descriptor))
        refusa(QStringLiteral("bloquejar"));
    const int indicadors = ::fcntl(descriptor, F_GETFL);
    if (indicadors < 0 || ::fcntl(descriptor, F_SETFL, indicadors & ~O_NONBLOCK) != 0)
        refusa(QStringLiteral("obrir"));

    m_descriptor = descriptor;
    m_longRegistre = longRegistre;
}

qint64 SistemaFitxersReal::longitud() {
    struct stat estat {};
    if (::fstat(descriptorObert(), &estat) != 0)
        llencaErrorDeSistema(QStringLiteral("longitud"));
    return estat.st_size;
}

void SistemaFitxersReal::escriuRegistre(qint16 numero, QByteArrayView registre) {
    const int descriptor = descriptorObert();
    const qint64 inici = posicio(numero);
    QByteArray bytes =
        registre.first(std::min<qsizetype>(registre.size(), m_longRegistre)).toByteArray();
    bytes.append(m_longRegistre - bytes.size(), ' ');

    qsizetype escrits = 0;
    while (escrits < bytes.size()) {
        const ssize_t n = ::pwrite(descriptor, bytes.constData() + escrits,
                                   size_t(bytes.size() - escrits), off_t(inici + escrits));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            llencaErrorDeSistema(QStringLiteral("escriure"));
        escrits += n;
    }
}

QByteArray SistemaFitxersReal::llegeixRegistre(qint16 numero) {
    const int descriptor = descriptorObert();
    const qint64 inici = posicio(numero);
    // Whatever lies past the end of the file reads as spaces.
    QByteArray bytes(m_longRegistre, ' ');
    qsizetype llegits = 0;
    while (llegits < bytes.size()) {
        const ssize_t n = ::pread(descriptor, bytes.data() + llegits,
                                  size_t(bytes.size() - llegits), off_t(inici + llegits));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            llencaErrorDeSistema(QStringLiteral("llegir"));
        if (n == 0)
            break;
        llegits += n;
    }
    return bytes;
}

void SistemaFitxersReal::tanca() {
    if (m_descriptor < 0)
        return;
    const int descriptor = std::exchange(m_descriptor, -1);
    // The records must be on the disk before the user is told the file is closed.
    const bool desat = ::fdatasync(descriptor) == 0;
    const int error = errno;
    const bool tancat = ::close(descriptor) == 0;
    if (!desat) {
        errno = error;
        llencaErrorDeSistema(QStringLiteral("desar"));
    }
    if (!tancat)
        llencaErrorDeSistema(QStringLiteral("tancar"));
}

void SistemaFitxersReal::esborra(const QString& cami) {
    const QByteArray nom = QFile::encodeName(cami);
    // A file another program holds open is busy: removing it would leave that program writing
    // its records into a file nobody can reach any more.
    const int descriptor = ::open(nom.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor >= 0 && !bloqueja(descriptor)) {
        const int error = errno;
        ::close(descriptor);
        errno = error;
        llencaErrorDeSistema(QStringLiteral("esborrar"), cami);
    }
    const bool esborrat = ::unlink(nom.constData()) == 0;
    const int error = errno;
    if (descriptor >= 0)
        ::close(descriptor);
    if (!esborrat) {
        errno = error;
        llencaErrorDeSistema(QStringLiteral("esborrar"), cami);
    }
}

QString SistemaFitxersReal::directoriActual() {
    return QDir::currentPath();
}

void SistemaFitxersReal::canviaDirectoriActual(const QString& directori) {
    if (!QDir::setCurrent(directori))
        throw ErrorFitxer(Tipus::Disc, QStringLiteral("no es pot entrar a ") + directori);
    const QString actual = QDir::currentPath();
    m_directoriPerUnitat.insert(unitatDe(unitats(), actual), actual);
}

QStringList SistemaFitxersReal::unitats() {
    QStringList arrels{QStringLiteral("/")};
    for (const QStorageInfo& volum : QStorageInfo::mountedVolumes()) {
        if (esUnitatTriable(volum) && !arrels.contains(volum.rootPath()))
            arrels << volum.rootPath();
    }
    std::sort(arrels.begin() + 1, arrels.end());
    return arrels;
}

QString SistemaFitxersReal::directoriDeUnitat(const QString& unitat) {
    QString directori = m_directoriPerUnitat.value(unitat);
    if (directori.isEmpty() || !QFileInfo(directori).isDir()) {
        const QString actual = QDir::currentPath();
        directori = unitatDe(unitats(), actual) == unitat ? actual : unitat;
    }
    directoriLlegible(directori);
    return directori;
}

QStringList SistemaFitxersReal::subdirectoris(const QString& directori) {
    return directoriLlegible(directori).entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                  QDir::Name | QDir::IgnoreCase);
}

QStringList SistemaFitxersReal::fitxers(const QString& directori) {
    return directoriLlegible(directori).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
}

}  // namespace platform
