#include "exchange/sortida.h"

#include "exchange/errors.h"
#include "exchange/fitxer_alumnes.h"
#include "record/tipus_alumne.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace exchange {

namespace {

constexpr qsizetype kBloc = 64 * 1024;

// A hidden name beside the file, for the moment before it takes the file's own.
QByteArray nomTemporal(const QFileInfo& info) {
    return QFile::encodeName(platform::nomTemporal(info));
}

}  // namespace

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
    const QFileInfo info(senseEnllacos(cami));
    struct stat anterior {};
    const bool existeix =
        crides.stat(QFile::encodeName(info.absoluteFilePath()).constData(), &anterior) == 0;
    if (existeix && S_ISDIR(anterior.st_mode))
        throw ErrorIntercanvi(QStringLiteral("%1: %2").arg(cami, descripcio(EISDIR)));
    if (existeix && siExisteix == SiExisteix::Substitueix &&
        crides.access(QFile::encodeName(info.absoluteFilePath()).constData(), W_OK) != 0)
        throw ErrorIntercanvi(
            QStringLiteral("no es pot escriure a %1: %2").arg(cami, descripcio(errno)));
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
    std::unique_ptr<Sortida> sortida(
        new Sortida(crides, descriptor, info.absoluteFilePath(), temporal, siExisteix));
    if (existeix)
        sortida->m_anterior = anterior;
    return sortida;
}

// Readers the user kept out of the earlier file must stay out of the new one.
void Sortida::posaElModeDAbans() {
    if (!m_anterior || m_siExisteix != SiExisteix::Substitueix)
        return;
    if (m_crides.fchmod(m_descriptor, m_anterior->st_mode & 07777) != 0)
        falla(QStringLiteral("no s'han pogut posar els permisos d'abans a"));
    // Only the owner's own files, or groups they belong to, can be given: otherwise it stays
    // theirs.
    m_crides.fchown(m_descriptor, m_anterior->st_uid, m_anterior->st_gid);
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
    posaElModeDAbans();
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
