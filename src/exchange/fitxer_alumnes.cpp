#include "exchange/fitxer_alumnes.h"

#include "exchange/format.h"

#include "exchange/sortida.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace exchange {

namespace {

constexpr qsizetype kBloc = 612 * kLongitudRegistre;  // 64 KB of whole records
constexpr int kLectures = 20;

// A descriptor closed when it goes out of scope.
struct Descriptor {
    platform::CridesSistema& crides;
    int numero;
    ~Descriptor() { tanca(); }
    void tanca() {
        if (numero >= 0)
            crides.close(std::exchange(numero, -1));
    }
};

// Opening again after another file took the name, at most so many times.
constexpr int kIntents = 10;

}  // namespace

LectorDAlumnes::LectorDAlumnes(const QString& cami, platform::CridesSistema& crides)
    : m_crides(crides), m_cami(cami) {
    const QByteArray nom = QFile::encodeName(cami);
    struct stat estat {};
    if (crides.stat(nom.constData(), &estat) != 0)
        throw ErrorIntercanvi(QStringLiteral("%1: %2").arg(cami, descripcio(errno)));
    if (S_ISDIR(estat.st_mode))
        throw ErrorIntercanvi(QStringLiteral("%1: %2").arg(cami, descripcio(EISDIR)));
    if (!S_ISREG(estat.st_mode))
        throw ErrorIntercanvi(QStringLiteral("%1: no és un fitxer d'alumnes").arg(cami));
    // Lock, then check, as every writer does: a reader that opened the file an ordering just
    // replaced would read a class nobody holds any more.
    for (int intent = 1;; ++intent) {
        m_descriptor = crides.open(nom.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
        if (m_descriptor < 0)
            throw ErrorIntercanvi(QStringLiteral("%1: %2").arg(cami, descripcio(errno)));
        // A shared lock is refused only while a writer holds the file; it is given back at once.
        m_obertEnUnAltre = false;
        switch (platform::bloqueja(crides, m_descriptor, LOCK_SH)) {
            case platform::Bloqueig::Pres:
                crides.flock(m_descriptor, LOCK_UN);
                break;
            case platform::Bloqueig::DUnAltre:
                m_obertEnUnAltre = true;
                break;
            case platform::Bloqueig::SenseBloquejos:
                break;
        }
        if (intent == kIntents || platform::esAlCami(crides, m_descriptor, nom.constData()))
            break;
        crides.close(std::exchange(m_descriptor, -1));
    }
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

void comprovaQueEsDAlumnes(const QString& cami, QByteArrayView primers) {
    const QString que = formatConegut(cami, primers);
    if (!que.isEmpty())
        throw ErrorIntercanvi(
            QStringLiteral("%1 sembla %2, no un fitxer d'alumnes: no s'hi afegeix "
                           "res (l'ordre és «q2x7 importa --afegeix ENTRADA "
                           "FITXER»)")
                .arg(cami, que));
}

void comprovaQueEsDAlumnes(const QString& cami, platform::CridesSistema& crides) {
    QByteArray primers(16, Qt::Uninitialized);
    const Descriptor descriptor{crides, crides.open(QFile::encodeName(cami).constData(),
                                                    O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0)};
    const ssize_t llegits = descriptor.numero < 0 ? 0
                                                  : platform::llegeixTot(crides, descriptor.numero,
                                                                         primers.data(), 16, 0);
    comprovaQueEsDAlumnes(cami, QByteArrayView(primers).first(std::max<ssize_t>(llegits, 0)));
}

void afegeixAlumnes(const QString& cami, QByteArrayView registres, platform::CridesSistema& crides,
                    const Avisos& avisa) {
    // A link to a student file: the records go to the file it names, and the link stays.
    const QString fitxer = senseEnllacos(cami);
    const QByteArray nom = QFile::encodeName(fitxer);
    Descriptor descriptor{crides, -1};
    struct stat estat {};
    // Lock, then check: the window may put its ordered class at the name between the open and the
    // lock, and records added to the file it replaced would reach nobody.
    for (int intent = 1;; ++intent) {
        descriptor.tanca();
        descriptor.numero = crides.open(nom.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
        if (descriptor.numero < 0)
            throw ErrorIntercanvi(QStringLiteral("%1: %2").arg(cami, descripcio(errno)));
        if (crides.fstat(descriptor.numero, &estat) != 0)
            throw ErrorIntercanvi(QStringLiteral("%1: %2").arg(cami, descripcio(errno)));
        if (S_ISDIR(estat.st_mode))
            throw ErrorIntercanvi(QStringLiteral("%1: %2").arg(cami, descripcio(EISDIR)));
        if (!S_ISREG(estat.st_mode))
            throw ErrorIntercanvi(QStringLiteral("%1: no és un fitxer d'alumnes").arg(cami));
        if (estat.st_nlink > 1)
            throw ErrorIntercanvi(
                QStringLiteral("%1 té %2 noms (enllaços durs): no s'hi afegeix res, perquè els "
                               "altres noms es quedarien amb el fitxer d'abans")
                    .arg(cami)
                    .arg(estat.st_nlink));
        if (platform::bloqueja(crides, descriptor.numero, LOCK_EX) == platform::Bloqueig::DUnAltre)
            throw ErrorIntercanvi(
                QStringLiteral(
                    "%1 és obert en un altre programa: tanqueu-lo abans d'afegir-hi alumnes")
                    .arg(cami));
        if (platform::esAlCami(crides, descriptor.numero, nom.constData()))
            break;
        if (intent == kIntents)
            throw ErrorIntercanvi(
                QStringLiteral(
                    "%1: un altre programa el substitueix sense parar; torneu-ho a provar")
                    .arg(cami));
    }

    QByteArray bloc(kBloc, Qt::Uninitialized);
    ssize_t llegits = platform::llegeixTot(crides, descriptor.numero, bloc.data(), 16, 0);
    if (llegits < 0)
        throw ErrorIntercanvi(
            QStringLiteral("no s'ha pogut llegir %1: %2").arg(cami, descripcio(errno)));
    comprovaQueEsDAlumnes(cami, QByteArrayView(bloc.constData(), llegits));

    const qint64 ocupats = registresAmbBytes(estat.st_size);
    if (ocupats + registres.size() / kLongitudRegistre > kMaximRegistres)
        throw ErrorIntercanvi(
            QStringLiteral("%1: en resultarien més de 32767 alumnes, que és el màxim d'un fitxer")
                .arg(cami));

    const auto nou = Sortida::fitxer(fitxer, Sortida::SiExisteix::Substitueix, crides);
    qint64 longitud = 0;
    for (;;) {
        llegits = platform::llegeixTot(crides, descriptor.numero, bloc.data(), size_t(bloc.size()),
                                       off_t(longitud));
        if (llegits < 0)
            throw ErrorIntercanvi(
                QStringLiteral("no s'ha pogut llegir %1: %2").arg(cami, descripcio(errno)));
        if (llegits == 0)
            break;
        nou->write(bloc.constData(), llegits);
        longitud += llegits;
    }
    if (const qint64 cua = longitud % kLongitudRegistre) {
        nou->write(QByteArray(kLongitudRegistre - cua, ' '));
        avisa(QStringLiteral("l'últim registre de %1, el %2, tenia %3 de %4 bytes: s'ha completat "
                             "amb espais")
                  .arg(cami)
                  .arg(registresAmbBytes(longitud))
                  .arg(cua)
                  .arg(kLongitudRegistre));
    }
    nou->write(registres.data(), registres.size());
    // The lock is held until the new file has the name: the window cannot open the old one
    // meanwhile.
    nou->publica();
}

bool mateixFitxer(const QString& a, const QString& b) {
    struct stat estatA {};
    struct stat estatB {};
    return ::stat(QFile::encodeName(a).constData(), &estatA) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &estatB) == 0 &&
           estatA.st_dev == estatB.st_dev && estatA.st_ino == estatB.st_ino;
}

bool mateixFitxer(int descriptor, const QString& cami) {
    struct stat obert {};
    struct stat alCami {};
    return ::fstat(descriptor, &obert) == 0 &&
           ::stat(QFile::encodeName(cami).constData(), &alCami) == 0 &&
           obert.st_dev == alCami.st_dev && obert.st_ino == alCami.st_ino;
}

QString senseEnllacos(const QString& cami) {
    QString actual = cami;
    // As many as the system itself follows before it gives up.
    for (int i = 0; i < 40; ++i) {
        const QFileInfo info(actual);
        if (!info.isSymLink())
            break;
        actual = info.symLinkTarget();
    }
    return actual;
}

}  // namespace exchange
