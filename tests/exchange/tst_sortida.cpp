#include "exchange/fitxer_alumnes.h"
#include "exchange/sortida.h"
#include "platform/sistema_fitxers.h"
#include "support/crides_falses.h"
#include "support/fitxers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using exchange::Sortida;
using proves::Crida;

Q_DECLARE_METATYPE(Crida)

namespace {
enum class Escriptura { Nou, Substitueix, Afegeix };
// How the file written to stands before.
enum class Abans { Normal, Mode0600, PerUnEnllac, AmbUnAltreNom, ObertALaFinestra, NomDeCsv };
}  // namespace
Q_DECLARE_METATYPE(Escriptura)
Q_DECLARE_METATYPE(Abans)

// What a command writes appears whole or not at all: whatever system call fails, or while the
// window holds the file, an earlier file stays as it was (its mode too) and nothing partial is
// left beside it. --afegeix completes a partial last record with spaces and writes after it.
class TestSortida : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void totOResNoDeixaResAMitges_data();
    void totOResNoDeixaResAMitges();
};

void TestSortida::totOResNoDeixaResAMitges_data() {
    QTest::addColumn<Escriptura>("escriptura");
    QTest::addColumn<Abans>("abans");
    QTest::addColumn<Crida>("crida");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("fet");
    const QList<std::pair<Escriptura, QString>> escriptures = {
        {Escriptura::Nou, u"nou"_qs},
        {Escriptura::Substitueix, u"substitueix"_qs},
        {Escriptura::Afegeix, u"afegeix"_qs}};
    for (const auto& [escriptura, nom] : escriptures) {
        const Abans normal = Abans::Normal;
        QTest::newRow(qPrintable(nom)) << escriptura << normal << Crida::Unlink << 0 << true;
        QTest::newRow(qPrintable(nom + u", disc ple a mig bloc"_qs))
            << escriptura << normal << Crida::Pwrite << ENOSPC << false;
        QTest::newRow(qPrintable(nom + u", fdatasync"_qs))
            << escriptura << normal << Crida::Fdatasync << EIO << false;
        QTest::newRow(qPrintable(nom + u", linkat"_qs))
            << escriptura << normal << Crida::Linkat << EIO << false;
    }
    for (const Escriptura escriptura : {Escriptura::Substitueix, Escriptura::Afegeix}) {
        const QString nom = escriptura == Escriptura::Afegeix ? u"afegeix"_qs : u"substitueix"_qs;
        QTest::newRow(qPrintable(nom + u", rename"_qs))
            << escriptura << Abans::Normal << Crida::Rename << EIO << false;
        QTest::newRow(qPrintable(nom + u", mode 0600 conservat"_qs))
            << escriptura << Abans::Mode0600 << Crida::Unlink << 0 << true;
        QTest::newRow(qPrintable(nom + u", fchmod"_qs))
            << escriptura << Abans::Mode0600 << Crida::Fchmod << EIO << false;
        QTest::newRow(qPrintable(nom + u", el propietari no es pot posar"_qs))
            << escriptura << Abans::Normal << Crida::Fchown << EPERM << true;
        QTest::newRow(qPrintable(nom + u", per un enllaç simbòlic"_qs))
            << escriptura << Abans::PerUnEnllac << Crida::Unlink << 0 << true;
        QTest::newRow(qPrintable(nom + u", sense permís d'escriure"_qs))
            << escriptura << Abans::Normal << Crida::Access << EACCES << false;
    }
    QTest::newRow("afegeix, obert a la finestra")
        << Escriptura::Afegeix << Abans::ObertALaFinestra << Crida::Unlink << 0 << false;
    QTest::newRow("afegeix, amb un altre nom")
        << Escriptura::Afegeix << Abans::AmbUnAltreNom << Crida::Unlink << 0 << false;
    QTest::newRow("afegeix, a un CSV")
        << Escriptura::Afegeix << Abans::NomDeCsv << Crida::Unlink << 0 << false;
}

void TestSortida::totOResNoDeixaResAMitges() {
    QFETCH(Escriptura, escriptura);
    QFETCH(Abans, abans);
    QFETCH(Crida, crida);
    QFETCH(int, error);
    QFETCH(bool, fet);
    QTemporaryDir carpeta;
    const QString fitxer = carpeta.filePath(abans == Abans::NomDeCsv ? u"grup.csv"_qs : u"grup"_qs);
    QString cami = fitxer;
    // One record and a partial one.
    const QByteArray anteriors = proves::bytesDe({{u"Anna"_qs}}) + QByteArray(53, 'x');
    if (escriptura != Escriptura::Nou) {
        proves::escriuFitxer(fitxer, anteriors);
        QFile::setPermissions(fitxer,
                              abans == Abans::Mode0600
                                  ? QFile::ReadOwner | QFile::WriteOwner
                                  : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    }
    if (abans == Abans::PerUnEnllac) {
        cami = carpeta.filePath(u"enllac"_qs);
        QVERIFY(QFile::link(u"grup"_qs, cami));
    }
    if (abans == Abans::AmbUnAltreNom)
        QVERIFY(::link(QFile::encodeName(fitxer), QFile::encodeName(carpeta.filePath(u"dur"_qs))) ==
                0);
    struct stat estatAbans {};
    ::stat(QFile::encodeName(fitxer).constData(), &estatAbans);
    platform::SistemaFitxersReal finestra;
    if (abans == Abans::ObertALaFinestra)
        finestra.obre(fitxer, 107);
    proves::CridesFalses crides;
    if (error)
        crides.falla(crida, error, 1, proves::CridesFalses::kQualsevol, crida == Crida::Pwrite);
    const QByteArray nous = proves::bytesDe({{u"Carla"_qs}, {u"Dani"_qs}}).repeated(400);

    QStringList avisos;
    try {
        if (escriptura == Escriptura::Afegeix) {
            exchange::afegeixAlumnes(cami, nous, crides,
                                     [&](const QString& avis) { avisos << avis; });
        } else {
            const auto sortida =
                Sortida::fitxer(cami,
                                escriptura == Escriptura::Nou ? Sortida::SiExisteix::Refusa
                                                              : Sortida::SiExisteix::Substitueix,
                                crides);
            sortida->write(nous);
            sortida->publica();
        }
        QVERIFY(fet);
    } catch (const exchange::ErrorIntercanvi&) {
        QVERIFY(!fet);
    }
    finestra.tanca();

    QStringList esperats{QFileInfo(fitxer).fileName()};
    if (abans == Abans::PerUnEnllac)
        esperats << u"enllac"_qs;
    if (abans == Abans::AmbUnAltreNom)
        esperats << u"dur"_qs;
    if (escriptura == Escriptura::Nou && !fet)
        esperats.clear();
    esperats.sort();
    QCOMPARE(QDir(carpeta.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), esperats);
    if (abans == Abans::PerUnEnllac)
        QCOMPARE(QFileInfo(cami).symLinkTarget(), fitxer);
    if (escriptura == Escriptura::Afegeix && fet) {
        QCOMPARE(proves::llegeixFitxer(fitxer), anteriors + QByteArray(54, ' ') + nous);
        QCOMPARE(avisos, QStringList(u"l'últim registre de %1, el 2, tenia 53 de 107 bytes: s'ha "
                                     u"completat amb espais"_qs.arg(cami)));
    } else if (fet) {
        QCOMPARE(proves::llegeixFitxer(fitxer), nous);
    } else if (escriptura != Escriptura::Nou) {
        QCOMPARE(proves::llegeixFitxer(fitxer), anteriors);
    }
    if (escriptura != Escriptura::Nou) {
        struct stat estat {};
        QCOMPARE(::stat(QFile::encodeName(fitxer).constData(), &estat), 0);
        QCOMPARE(estat.st_mode, estatAbans.st_mode);
    }
}

QTEST_MAIN(TestSortida)
#include "tst_sortida.moc"
