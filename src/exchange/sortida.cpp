#include "exchange/sortida.h"

#include "exchange/camps.h"
#include "record/tipus_alumne.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace exchange {

namespace {

constexpr qsizetype kBloc = 64 * 1024;

// A hidden name beside the file, for the moment before it takes the file's own.
QByteArray nomTemporal(const QFileInfo& info) {
    return QFile::encodeName(QStringLiteral("%1/.%2.%3")
                                 .arg(info.absolutePath(), info.fileName(),
                                      QString::number(QRandomGenerator::global()->generate(), 36)));
}

}  // namespace

QString descripcio(int error) {
    switch (error) {
        case ENOSPC:
            return QStringLiteral("el disc és ple");
        case EEXIST:
            return QStringLiteral("ja existeix");
        case EACCES:
        case EPERM:
            return QStringLiteral("no hi ha permís");
        case ENOENT:
            return QStringLiteral("no existeix");
        case EROFS:
            return QStringLiteral("el disc només es pot llegir");
        case EIO:
            return QStringLiteral("error del disc");
        case EISDIR:
            return QStringLiteral("és una carpeta");
        default:
            return QString::fromLocal8Bit(std::strerror(error));
    }
}

Sortida::Sortida(platform::CridesSistema& crides, int descriptor, QString cami, QByteArray temporal,
                 SiExisteix siExisteix)
    : m_crides(crides),
      m_descriptor(descriptor),
      m_cami(std::move(cami)),
      m_temporal(std::move(temporal)),
      m_siExisteix(siExisteix) {
    m_pendent.reserve(kBloc);
    open(QIODevice::WriteOnly);
}

std::unique_ptr<Sortida> Sortida::estandard() {
    return std::unique_ptr<Sortida>(new Sortida(platform::CridesSistema::reals(), STDOUT_FILENO,
                                                QString(), QByteArray(), SiExisteix::Refusa));
}

std::unique_ptr<Sortida> Sortida::fitxer(const QString& cami, SiExisteix siExisteix,
                                         platform::CridesSistema& crides) {
    const QFileInfo info(cami);
    const QByteArray carpeta = QFile::encodeName(info.absolutePath());
    int descriptor = crides.open(carpeta.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    QByteArray temporal;
    if (descriptor < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // A file system without nameless files: a hidden name beside it, removed on failure.
        temporal = nomTemporal(info);
        descriptor =
            crides.open(temporal.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    }
    if (descriptor < 0)
        throw ErrorIntercanvi(QStringLiteral("no es pot escriure a %1: %2")
                                  .arg(info.absolutePath(), descripcio(errno)));
    return std::unique_ptr<Sortida>(
        new Sortida(crides, descriptor, info.absoluteFilePath(), temporal, siExisteix));
}

Sortida::~Sortida() {
    if (m_cami.isEmpty())
        return;
    m_crides.close(m_descriptor);
    if (!m_publicada && !m_temporal.isEmpty())
        m_crides.unlink(m_temporal.constData());
}

qint64 Sortida::writeData(const char* dades, qint64 mida) {
    // Large writes go straight out rather than through the buffer.
    if (m_pendent.size() + mida < kBloc) {
        m_pendent.append(dades, mida);
        return mida;
    }
    buida();
    escriu(QByteArrayView(dades, mida));
    return mida;
}

void Sortida::buida() {
    escriu(m_pendent);
    m_pendent.truncate(0);
}

void Sortida::escriu(QByteArrayView bytes) {
    if (m_error)
        return;
    size_t escrits = 0;
    m_error = platform::escriuTot(m_crides, m_descriptor, bytes.data(), size_t(bytes.size()),
                                  m_cami.isEmpty() ? -1 : off_t(m_escrits), escrits);
    m_escrits += qint64(escrits);
}

void Sortida::falla(const QString& que) {
    throw ErrorIntercanvi(
        QStringLiteral("%1 %2: %3")
            .arg(que, m_cami.isEmpty() ? QStringLiteral("la sortida estàndard") : m_cami,
                 descripcio(m_error ? m_error : errno)));
}

void Sortida::publica() {
    buida();
    if (m_error)
        falla(QStringLiteral("no s'ha pogut escriure"));
    if (m_cami.isEmpty())
        return;
    if (m_crides.fdatasync(m_descriptor) != 0)
        falla(QStringLiteral("no s'ha pogut desar"));

    const QByteArray desti = QFile::encodeName(m_cami);
    if (m_temporal.isEmpty()) {
        // The nameless file gets its name; to replace a file it first takes a name of its own.
        const QByteArray propi =
            QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(m_descriptor);
        if (m_siExisteix == SiExisteix::Refusa) {
            if (m_crides.linkat(AT_FDCWD, propi.constData(), AT_FDCWD, desti.constData(),
                                AT_SYMLINK_FOLLOW) != 0)
                falla(QStringLiteral("no s'ha pogut crear"));
        } else {
            m_temporal = nomTemporal(QFileInfo(m_cami));
            if (m_crides.linkat(AT_FDCWD, propi.constData(), AT_FDCWD, m_temporal.constData(),
                                AT_SYMLINK_FOLLOW) != 0) {
                m_temporal.clear();
                falla(QStringLiteral("no s'ha pogut crear"));
            }
            if (m_crides.rename(m_temporal.constData(), desti.constData()) != 0)
                falla(QStringLiteral("no s'ha pogut substituir"));
        }
    } else if (m_siExisteix == SiExisteix::Refusa) {
        if (m_crides.linkat(AT_FDCWD, m_temporal.constData(), AT_FDCWD, desti.constData(), 0) != 0)
            falla(QStringLiteral("no s'ha pogut crear"));
        m_crides.unlink(m_temporal.constData());
    } else if (m_crides.rename(m_temporal.constData(), desti.constData()) != 0) {
        falla(QStringLiteral("no s'ha pogut substituir"));
    }
    m_publicada = true;
    if (!platform::sincronitzaDirectori(
            m_crides, QFile::encodeName(QFileInfo(m_cami).absolutePath()).constData()))
        falla(QStringLiteral("no s'ha pogut desar la carpeta de"));
}

}  // namespace exchange

namespace exchange {

void afegeixRegistres(const QString& cami, QByteArrayView registres,
                      platform::CridesSistema& crides) {
    constexpr qint64 kLongitud = record::TipusAlumne::kLongitud;
    const QByteArray nom = QFile::encodeName(cami);
    const int descriptor = crides.open(nom.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK, 0);
    if (descriptor < 0)
        throw ErrorIntercanvi(QStringLiteral("%1: %2").arg(cami, descripcio(errno)));
    struct Tanca {
        platform::CridesSistema& crides;
        int descriptor;
        ~Tanca() { crides.close(descriptor); }
    } tanca{crides, descriptor};

    struct stat estat {};
    if (crides.fstat(descriptor, &estat) != 0 || !S_ISREG(estat.st_mode))
        throw ErrorIntercanvi(QStringLiteral("%1: no és un fitxer d'alumnes").arg(cami));
    if (crides.flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        throw ErrorIntercanvi(
            QStringLiteral("%1 és obert en un altre programa: tanqueu-lo abans d'afegir-hi alumnes")
                .arg(cami));
    const qint64 longitud = estat.st_size;
    const qint64 ocupats = (longitud + kLongitud - 1) / kLongitud;
    if (ocupats + registres.size() / kLongitud > std::numeric_limits<qint16>::max())
        throw ErrorIntercanvi(
            QStringLiteral("%1: en resultarien més de 32767 alumnes, que és el màxim d'un fitxer")
                .arg(cami));

    size_t escrits = 0;
    int error = platform::escriuTot(crides, descriptor, registres.data(), size_t(registres.size()),
                                    off_t(ocupats * kLongitud), escrits);
    if (error == 0 && crides.fdatasync(descriptor) != 0)
        error = errno;
    if (error != 0) {
        crides.ftruncate(descriptor, off_t(longitud));
        crides.fdatasync(descriptor);
        throw ErrorIntercanvi(
            QStringLiteral("no s'ha pogut afegir a %1: %2").arg(cami, descripcio(error)));
    }
}

}  // namespace exchange
