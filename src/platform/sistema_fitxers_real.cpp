#include "platform/sistema_fitxers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

using Tipus = ErrorFitxer::Tipus;

// Opening again after another file took the name: a folder where the name keeps moving is refused
// after so many tries.
constexpr int kIntentsDObrir = 10;

// "no s'ha pogut obrir /home/mestra/3r B: no hi ha permís"
[[noreturn]] void llencaErrorDeSistema(const QString& operacio, const QString& cami = {}) {
    const int error = errno;
    throw ErrorFitxer(
        Tipus::Disc,
        QStringLiteral("no s'ha pogut %1 %2: %3").arg(operacio, cami, descripcio(error)));
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

// The names of a directory's entries of one kind, sorted once, case-blind. QDir's own sort
// compares QFileInfo objects with the case folded at every comparison, which a directory of
// 100,000 files feels; here each name is folded once.
QStringList nomsOrdenats(const QString& directori, QDir::Filters filtre) {
    std::vector<std::pair<QString, QString>> noms;  // folded, as it is
    QDirIterator it(directori, filtre);
    while (it.hasNext()) {
        it.next();
        const QString nom = it.fileName();
        noms.emplace_back(nom.toCaseFolded(), nom);
    }
    std::sort(noms.begin(), noms.end());
    QStringList ordenats;
    ordenats.reserve(qsizetype(noms.size()));
    for (auto& [_, nom] : noms)
        ordenats << std::move(nom);
    return ordenats;
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
        m_crides.close(m_descriptor);
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

// Takes the exclusive lock; false only when another holder has it.
bool SistemaFitxersReal::bloqueja(int descriptor) {
    return platform::bloqueja(m_crides, descriptor, LOCK_EX) != Bloqueig::DUnAltre;
}

void SistemaFitxersReal::refusaObertura(int descriptor, const QString& motiu, const QString& cami) {
    const int error = errno;
    m_crides.close(descriptor);
    errno = error;
    llencaErrorDeSistema(motiu, cami);
}

bool SistemaFitxersReal::sincronitzaDirectoriDe(const QString& cami) {
    return sincronitzaDirectori(m_crides,
                                QFile::encodeName(QFileInfo(cami).absolutePath()).constData());
}

void SistemaFitxersReal::obre(const QString& cami, qint16 longRegistre) {
    if (m_descriptor >= 0)
        throw ErrorFitxer(Tipus::Disc, QStringLiteral("el canal ja és obert"));
    if (cami.isEmpty() || longRegistre < 1)
        throw ErrorFitxer(Tipus::Disc, QStringLiteral("no hi ha cap fitxer per obrir"));

    const QByteArray nom = QFile::encodeName(cami);
    // Directories, FIFOs and devices are refused before opening, so that nothing can block.
    struct stat estat {};
    const bool existia = m_crides.stat(nom.constData(), &estat) == 0;
    if (existia && !S_ISREG(estat.st_mode))
        throw ErrorFitxer(Tipus::Disc, QStringLiteral("no és un fitxer normal: ") + cami);

    // Lock, then check: an ordering elsewhere may put a new file at the name between the open and
    // the lock, and a lock on the file it replaced would guard nothing.
    int descriptor = -1;
    for (int intent = 1;; ++intent) {
        // A file that may only be read is refused here rather than failing on every later save.
        descriptor =
            m_crides.open(nom.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
        if (descriptor < 0)
            llencaErrorDeSistema(QStringLiteral("obrir"), cami);
        if (m_crides.fstat(descriptor, &estat) != 0)
            refusaObertura(descriptor, QStringLiteral("obrir"), cami);
        if (!S_ISREG(estat.st_mode)) {
            errno = EINVAL;
            refusaObertura(descriptor, QStringLiteral("obrir"), cami);
        }
        // Another program writing the same file would interleave its records with ours.
        if (!bloqueja(descriptor))
            refusaObertura(descriptor, QStringLiteral("bloquejar"), cami);
        if (esAlCami(m_crides, descriptor, nom.constData()))
            break;
        if (intent == kIntentsDObrir) {
            errno = EAGAIN;
            refusaObertura(descriptor, QStringLiteral("obrir"), cami);
        }
        m_crides.close(descriptor);
    }
    const int indicadors = m_crides.fcntl(descriptor, F_GETFL, 0);
    if (indicadors < 0 || m_crides.fcntl(descriptor, F_SETFL, indicadors & ~O_NONBLOCK) != 0)
        refusaObertura(descriptor, QStringLiteral("obrir"), cami);
    if (!existia && !sincronitzaDirectoriDe(cami))
        refusaObertura(descriptor, QStringLiteral("crear"), cami);

    m_descriptor = descriptor;
    m_longRegistre = longRegistre;
    m_cami = QFileInfo(cami).absoluteFilePath();
    // Under the lock nobody else is writing a copy of this class: any left is a killed one's.
    esborraCopiesDeixades(m_crides, m_cami);
}

qint64 SistemaFitxersReal::longitud() {
    struct stat estat {};
    if (m_crides.fstat(descriptorObert(), &estat) != 0)
        llencaErrorDeSistema(QStringLiteral("saber la longitud de"), m_cami);
    return estat.st_size;
}

// A file deleted or renamed away while open still takes writes, which nobody will ever read.
// Returns the open file's length.
qint64 SistemaFitxersReal::longitudSiEsAlSeuLloc(int descriptor) {
    struct stat obert {};
    struct stat alCami {};
    if (m_crides.fstat(descriptor, &obert) != 0 ||
        m_crides.stat(QFile::encodeName(m_cami).constData(), &alCami) != 0)
        llencaErrorDeSistema(QStringLiteral("escriure"), m_cami);
    if (obert.st_nlink == 0 || obert.st_dev != alCami.st_dev || obert.st_ino != alCami.st_ino) {
        errno = ENOENT;
        llencaErrorDeSistema(QStringLiteral("escriure"), m_cami);
    }
    return obert.st_size;
}

void SistemaFitxersReal::escriuTot(int descriptor, QByteArrayView bytes, qint64 inici) {
    size_t escrits = 0;
    if (const int error = platform::escriuTot(m_crides, descriptor, bytes.data(),
                                              size_t(bytes.size()), off_t(inici), escrits)) {
        errno = error;
        llencaErrorDeSistema(QStringLiteral("escriure"), m_cami);
    }
}

// Up to `mida` bytes from `inici`; fewer where the file ends.
QByteArray SistemaFitxersReal::llegeix(int descriptor, qint64 inici, qsizetype mida) {
    QByteArray bytes(mida, Qt::Uninitialized);
    const ssize_t llegits =
        llegeixTot(m_crides, descriptor, bytes.data(), size_t(mida), off_t(inici));
    if (llegits < 0)
        llencaErrorDeSistema(QStringLiteral("llegir"), m_cami);
    bytes.truncate(llegits);
    return bytes;
}

Escrit SistemaFitxersReal::escriuRegistre(qint16 numero, QByteArrayView registre) {
    const int descriptor = descriptorObert();
    const qint64 inici = posicio(numero);
    QByteArray bytes =
        registre.first(std::min<qsizetype>(registre.size(), m_longRegistre)).toByteArray();
    bytes.append(m_longRegistre - bytes.size(), ' ');

    // What the write may change, so that a failed one can be undone: the file's length and the
    // bytes it covers. Bytes that cannot be read (a bad sector) do not stop the save, which may
    // well mend them; there is just nothing to put back.
    const qint64 longitudAbans = longitudSiEsAlSeuLloc(descriptor);
    std::optional<QByteArray> anteriors = QByteArray();
    if (inici < longitudAbans) {
        try {
            anteriors = llegeix(descriptor, inici, bytes.size());
        } catch (const ErrorFitxer&) {
            anteriors.reset();
        }
    }
    // The system copies a write into its cache a page at a time, and a kill between two pages
    // cuts it there: a record that straddles two pages would be left half old, half new. It goes
    // into a whole new file instead, which takes the old one's place at once. Where that cannot
    // be (hard links, a folder that takes no new file, a full disk), it is written in place.
    const qint64 pagina = ::sysconf(_SC_PAGESIZE);
    if (pagina > 0 && inici / pagina != (inici + bytes.size() - 1) / pagina) {
        try {
            QByteArray tot = llegeix(descriptor, 0, qsizetype(longitudAbans));
            if (tot.size() < inici)
                tot.append(qsizetype(inici) - tot.size(), '\0');
            tot.replace(qsizetype(inici), bytes.size(), bytes);
            substitueix(tot);
            return {longitudAbans, std::max(longitudAbans, inici + bytes.size()), anteriors};
        } catch (const ErrorFitxer&) {
            // Written in place below; once the new file took the name, the same bytes again.
        }
    }
    escriuIDesa(m_descriptor, bytes, inici, longitudAbans, anteriors);
    return {longitudAbans, std::max(longitudAbans, inici + bytes.size()), anteriors};
}

// On the disk before it returns. If the write or the flush fails, what was there is put back as
// far as the disk lets it (the bytes it covered, when they could be read, and the length), and
// the error goes on.
void SistemaFitxersReal::escriuIDesa(int descriptor, const QByteArray& bytes, qint64 inici,
                                     qint64 longitudAbans,
                                     const std::optional<QByteArray>& anteriors) {
    try {
        escriuTot(descriptor, bytes, inici);
        // A record left in the cache is lost to a power cut within the next half minute.
        if (m_crides.fdatasync(descriptor) != 0)
            llencaErrorDeSistema(QStringLiteral("desar"), m_cami);
    } catch (const ErrorFitxer&) {
        // Best effort: the disk that just failed may refuse this too.
        const int error = errno;
        try {
            if (anteriors)
                escriuTot(descriptor, *anteriors, inici);
        } catch (const ErrorFitxer&) {
        }
        if (inici + bytes.size() > longitudAbans) {
            m_crides.ftruncate(descriptor, off_t(longitudAbans));
            m_crides.fdatasync(descriptor);
        }
        errno = error;
        throw;
    }
}

QByteArray SistemaFitxersReal::llegeixRegistre(qint16 numero) {
    const int descriptor = descriptorObert();
    // Whatever lies past the end of the file reads as spaces.
    QByteArray bytes = llegeix(descriptor, posicio(numero), m_longRegistre);
    bytes.append(m_longRegistre - bytes.size(), ' ');
    return bytes;
}

qint64 SistemaFitxersReal::afegeixRegistres(QByteArrayView registres) {
    const int descriptor = descriptorObert();
    const qint64 longitud = longitudSiEsAlSeuLloc(descriptor);
    const qint64 cua = longitud % m_longRegistre;
    QByteArray bytes = cua ? QByteArray(m_longRegistre - cua, ' ') : QByteArray();
    bytes += registres;
    escriuIDesa(descriptor, bytes, longitud, longitud, std::nullopt);
    return longitud;
}

void SistemaFitxersReal::tallaA(qint64 longitud) {
    const int descriptor = descriptorObert();
    if (m_crides.ftruncate(descriptor, off_t(longitud)) != 0)
        llencaErrorDeSistema(QStringLiteral("desfer la importació a"), m_cami);
    if (m_crides.fdatasync(descriptor) != 0)
        llencaErrorDeSistema(QStringLiteral("desar"), m_cami);
}

QByteArray SistemaFitxersReal::contingut() {
    const int descriptor = descriptorObert();
    return llegeix(descriptor, 0, qsizetype(longitud()));
}

void SistemaFitxersReal::substitueix(QByteArrayView bytes) {
    const int antic = descriptorObert();
    longitudSiEsAlSeuLloc(antic);
    struct stat estat {};
    if (m_crides.fstat(antic, &estat) != 0)
        llencaErrorDeSistema(QStringLiteral("escriure"), m_cami);
    // The other names would keep the old bytes.
    if (estat.st_nlink > 1)
        throw ErrorFitxer(
            Tipus::Disc,
            QStringLiteral("%1 té %2 noms (enllaços durs): no es pot reescriure sencer")
                .arg(m_cami)
                .arg(estat.st_nlink));
    // A symbolic link stays: the file it names is the one replaced, in its own folder.
    const QFileInfo desti(QFileInfo(m_cami).canonicalFilePath());
    const QByteArray nomDesti = QFile::encodeName(desti.absoluteFilePath());
    const QByteArray carpeta = QFile::encodeName(desti.absolutePath());
    const auto nomTemporal = [&] { return QFile::encodeName(platform::nomTemporal(desti)); };
    // Nameless until it is whole: a kill leaves nothing behind in the folder.
    QByteArray temporal;
    int nou = m_crides.open(carpeta.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (nou < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        temporal = nomTemporal();
        nou = m_crides.open(temporal.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    }
    if (nou < 0)
        llencaErrorDeSistema(QStringLiteral("escriure"), desti.absoluteFilePath());
    try {
        // Locked before it has the name: another copy of the program never finds it free.
        if (!bloqueja(nou)) {
            errno = EWOULDBLOCK;
            llencaErrorDeSistema(QStringLiteral("bloquejar"), m_cami);
        }
        escriuTot(nou, bytes, 0);
        if (m_crides.fchmod(nou, estat.st_mode & 07777) != 0)
            llencaErrorDeSistema(QStringLiteral("posar els permisos d'abans a"), m_cami);
        // Only root may give a file away; anyone else's stays theirs, as their own file was.
        m_crides.fchown(nou, estat.st_uid, estat.st_gid);
        if (m_crides.fdatasync(nou) != 0)
            llencaErrorDeSistema(QStringLiteral("desar"), m_cami);
        if (temporal.isEmpty()) {
            const QByteArray propi = QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(nou);
            const QByteArray nom = nomTemporal();
            if (m_crides.linkat(AT_FDCWD, propi.constData(), AT_FDCWD, nom.constData(),
                                AT_SYMLINK_FOLLOW) != 0)
                llencaErrorDeSistema(QStringLiteral("escriure"), desti.absoluteFilePath());
            temporal = nom;
        }
        if (m_crides.rename(temporal.constData(), nomDesti.constData()) != 0)
            llencaErrorDeSistema(QStringLiteral("substituir"), m_cami);
    } catch (const ErrorFitxer&) {
        const int error = errno;
        m_crides.close(nou);
        if (!temporal.isEmpty())
            m_crides.unlink(temporal.constData());
        errno = error;
        throw;
    }
    m_descriptor = nou;
    m_crides.close(antic);
    if (!sincronitzaDirectoriDe(desti.absoluteFilePath()))
        llencaErrorDeSistema(QStringLiteral("desar la carpeta de"), m_cami);
}

Empremta SistemaFitxersReal::empremta() {
    struct stat obert {};
    struct stat alCami {};
    if (m_crides.fstat(descriptorObert(), &obert) != 0)
        llencaErrorDeSistema(QStringLiteral("llegir"), m_cami);
    // A name that is gone is a change; a disk that cannot answer tells nothing.
    const bool alSeuLloc = m_crides.stat(QFile::encodeName(m_cami).constData(), &alCami) == 0;
    if (!alSeuLloc && errno != ENOENT && errno != ENOTDIR)
        llencaErrorDeSistema(QStringLiteral("llegir"), m_cami);
    const auto nanosegons = [](const timespec& t) {
        return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
    };
    return {obert.st_size,
            nanosegons(obert.st_mtim),
            nanosegons(obert.st_ctim),
            alSeuLloc ? quint64(alCami.st_dev) : 0,
            alSeuLloc ? quint64(alCami.st_ino) : 0,
            alSeuLloc && obert.st_nlink > 0 && alCami.st_dev == obert.st_dev &&
                alCami.st_ino == obert.st_ino};
}

void SistemaFitxersReal::tanca() {
    if (m_descriptor < 0)
        return;
    const int descriptor = std::exchange(m_descriptor, -1);
    // The records must be on the disk before the user is told the file is closed.
    const bool desat = m_crides.fdatasync(descriptor) == 0;
    const int error = errno;
    const bool tancat = m_crides.close(descriptor) == 0;
    if (!desat) {
        errno = error;
        llencaErrorDeSistema(QStringLiteral("desar"), m_cami);
    }
    if (!tancat)
        llencaErrorDeSistema(QStringLiteral("tancar"), m_cami);
}

void SistemaFitxersReal::esborra(const QString& cami) {
    const QByteArray nom = QFile::encodeName(cami);
    // A file another program holds open is busy: removing it would leave that program writing
    // its records into a file nobody can reach any more.
    const int descriptor = m_crides.open(nom.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
    if (descriptor >= 0 && !bloqueja(descriptor))
        refusaObertura(descriptor, QStringLiteral("esborrar"), cami);
    const bool esborrat = m_crides.unlink(nom.constData()) == 0;
    const int error = errno;
    if (descriptor >= 0)
        m_crides.close(descriptor);
    if (!esborrat) {
        errno = error;
        llencaErrorDeSistema(QStringLiteral("esborrar"), cami);
    }
    // Unflushed, a power cut could bring the old file back over the new one.
    if (!sincronitzaDirectoriDe(cami))
        llencaErrorDeSistema(QStringLiteral("esborrar"), cami);
}

bool SistemaFitxersReal::esFitxer(const QString& cami) {
    struct stat estat {};
    return !cami.isEmpty() && m_crides.stat(QFile::encodeName(cami).constData(), &estat) == 0 &&
           S_ISREG(estat.st_mode);
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
    return nomsOrdenats(directoriLlegible(directori).path(), QDir::Dirs | QDir::NoDotAndDotDot);
}

QStringList SistemaFitxersReal::fitxers(const QString& directori) {
    return nomsOrdenats(directoriLlegible(directori).path(), QDir::Files);
}

}  // namespace platform
