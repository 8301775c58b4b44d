#include "exchange/lectura.h"

#include "exchange/camps.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace exchange {

namespace {

constexpr qsizetype kBloc = 612 * record::TipusAlumne::kLongitud;  // 64 KB of whole records
constexpr int kLectures = 20;

}  // namespace

LectorDAlumnes::LectorDAlumnes(const QString& cami, platform::CridesSistema& crides)
    : m_crides(crides), m_cami(cami) {
    const QByteArray nom = QFile::encodeName(cami);
    struct stat estat {};
    if (crides.stat(nom.constData(), &estat) != 0)
        throw ErrorIntercanvi(QStringLiteral("%1: %2").arg(cami, descripcio(errno)));
    if (!S_ISREG(estat.st_mode))
        throw ErrorIntercanvi(QStringLiteral("%1: no és un fitxer d'alumnes").arg(cami));
    m_descriptor = crides.open(nom.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
    if (m_descriptor < 0)
        throw ErrorIntercanvi(QStringLiteral("%1: %2").arg(cami, descripcio(errno)));
    // A shared lock is refused only while the window holds the file; it is given back at once.
    if (crides.flock(m_descriptor, LOCK_SH | LOCK_NB) == 0)
        crides.flock(m_descriptor, LOCK_UN);
    else
        m_obertEnUnAltre = errno == EWOULDBLOCK;
}

LectorDAlumnes::~LectorDAlumnes() {
    if (m_descriptor >= 0)
        m_crides.close(m_descriptor);
}

void LectorDAlumnes::llegeixA(QByteArray& bytes, qint64 inici, qsizetype mida) {
    bytes.resize(mida);
    const ssize_t llegits =
        platform::llegeixTot(m_crides, m_descriptor, bytes.data(), size_t(mida), off_t(inici));
    if (llegits < 0)
        throw ErrorIntercanvi(
            QStringLiteral("no s'ha pogut llegir %1: %2").arg(m_cami, descripcio(errno)));
    bytes.truncate(llegits);
}

bool LectorDAlumnes::seguent(QByteArray& bloc) {
    llegeixA(bloc, m_posicio, kBloc);
    for (int i = 0; i < kLectures; ++i) {
        llegeixA(m_comprova, m_posicio, kBloc);
        if (m_comprova == bloc) {
            m_posicio += bloc.size();
            return !bloc.isEmpty();
        }
        bloc.swap(m_comprova);
    }
    throw ErrorIntercanvi(
        QStringLiteral("%1: el fitxer canvia mentre es llegeix; torneu-ho a provar").arg(m_cami));
}

QByteArray LectorDAlumnes::tot() {
    QByteArray tot;
    QByteArray bloc;
    while (seguent(bloc))
        tot += bloc;
    return tot;
}

bool mateixFitxer(const QString& a, const QString& b) {
    struct stat estatA {};
    struct stat estatB {};
    return ::stat(QFile::encodeName(a).constData(), &estatA) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &estatB) == 0 &&
           estatA.st_dev == estatB.st_dev && estatA.st_ino == estatB.st_ino;
}

}  // namespace exchange
