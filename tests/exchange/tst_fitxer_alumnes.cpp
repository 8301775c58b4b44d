#include "exchange/fitxer_alumnes.h"
#include "platform/sistema_fitxers.h"
#include "support/crides_falses.h"
#include "support/fitxers.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using exchange::VistaRegistres;
using proves::Crida;

// The one place that knows what a student file is: its bytes as records, whoever holds it, and
// which files are something else.
class TestFitxerAlumnes : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void vista_data();
    void vista();
    void elBloqueigEsElDeLaFinestra();
    void bloquejaIDespresComprova_data();
    void bloquejaIDespresComprova();
    void refusaElQueNoEsDAlumnes_data();
    void refusaElQueNoEsDAlumnes();
};

void TestFitxerAlumnes::vista_data() {
    QTest::addColumn<int>("bytes");
    QTest::addColumn<int>("registres");
    QTest::addColumn<int>("cua");
    QTest::newRow("buit") << 0 << 0 << 0;
    QTest::newRow("un byte") << 1 << 1 << 1;
    QTest::newRow("mig registre, que el recompte arrodoneix a cap") << 53 << 1 << 53;
    QTest::newRow("un registre") << 107 << 1 << 0;
    QTest::newRow("dos i un byte") << 215 << 3 << 1;
    QTest::newRow("ple") << 32767 * 107 << 32767 << 0;
}

void TestFitxerAlumnes::vista() {
    QFETCH(int, bytes);
    QFETCH(int, registres);
    QFETCH(int, cua);
    QByteArray dades(bytes, 'x');
    const VistaRegistres vista(dades);
    QCOMPARE(vista.nombre(), registres);
    QCOMPARE(exchange::registresAmbBytes(bytes), registres);
    QCOMPARE(vista.bytesDeLaCua(), cua);
    if (registres == 0)
        return;
    // The last record is what lies there; as a record, what it lacks is blank.
    const int ultim = cua ? cua : 107;
    QCOMPARE(vista.bytes(registres - 1), QByteArray(ultim, 'x'));
    QCOMPARE(vista.alumne(registres - 1).bytes(),
             QByteArray(ultim, 'x') + QByteArray(107 - ultim, ' '));
}

// While the window holds a file, an export says so and reads it as saved, and an append is
// refused; once it lets go, both go ahead.
void TestFitxerAlumnes::elBloqueigEsElDeLaFinestra() {
    QTemporaryDir carpeta;
    const QString cami = carpeta.filePath(u"grup"_qs);
    const QByteArray anna = proves::bytesDe({{u"Anna"_qs}});
    proves::escriuFitxer(cami, anna);
    auto& crides = platform::CridesSistema::reals();
    const exchange::Avisos cap = [](const QString& avis) { QFAIL(qPrintable(avis)); };
    {
        platform::SistemaFitxersReal finestra;
        finestra.obre(cami, 107);
        QVERIFY(exchange::LectorDAlumnes(cami, crides).obertEnUnAltrePrograma());
        QVERIFY_THROWS_EXCEPTION(exchange::ErrorIntercanvi,
                                 exchange::afegeixAlumnes(cami, anna, crides, cap));
        // And a second window is kept out by the same lock.
        platform::SistemaFitxersReal segona;
        QVERIFY_THROWS_EXCEPTION(platform::ErrorFitxer, segona.obre(cami, 107));
    }
    QVERIFY(!exchange::LectorDAlumnes(cami, crides).obertEnUnAltrePrograma());
    exchange::afegeixAlumnes(cami, anna, crides, cap);
    QCOMPARE(proves::llegeixFitxer(cami), anna + anna);
    // A file system that keeps no locks leaves the file usable.
    proves::CridesFalses senseBloquejos;
    senseBloquejos.falla(Crida::Flock, ENOLCK, proves::CridesFalses::kSempre);
    exchange::afegeixAlumnes(cami, anna, senseBloquejos, cap);
    QCOMPARE(proves::llegeixFitxer(cami), anna + anna + anna);
}

void TestFitxerAlumnes::refusaElQueNoEsDAlumnes_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QByteArray>("inici");
    QTest::addColumn<QString>("sembla");  // "" for a student file
    QTest::newRow("un fitxer d'alumnes")
        << u"5e B"_qs << proves::bytesDe({{u"Anna"_qs}}) << QString();
    QTest::newRow("un de buit") << u"5e B"_qs << QByteArray() << QString();
    QTest::newRow("per l'extensió, en majúscules")
        << u"notes.CSV"_qs << QByteArray() << u"un fitxer .csv"_qs;
    QTest::newRow(".ods") << u"a.ods"_qs << QByteArray() << u"un fitxer .ods"_qs;
    QTest::newRow("marca d'ordre UTF-8") << u"x"_qs << QByteArray("\xEF\xBB\xBFNom;")
                                         << u"un text UTF-8 amb marca d'ordre, com un CSV"_qs;
    QTest::newRow("UTF-16") << u"x"_qs << QByteArray("\xFF\xFEN\0", 4) << u"un text UTF-16"_qs;
    QTest::newRow("zip") << u"x"_qs << QByteArray("PK\x03\x04\x14")
                         << u"un fitxer zip, com un full de càlcul"_qs;
    QTest::newRow("PDF") << u"x"_qs << QByteArray("%PDF-1.4") << u"un PDF"_qs;
    QTest::newRow("vCard") << u"x"_qs << QByteArray("BEGIN:VCARD\r\n")
                           << u"una llista de contactes vCard"_qs;
}

void TestFitxerAlumnes::refusaElQueNoEsDAlumnes() {
    QFETCH(QString, nom);
    QFETCH(QByteArray, inici);
    QFETCH(QString, sembla);
    try {
        exchange::comprovaQueEsDAlumnes(nom, inici);
        QVERIFY(sembla.isEmpty());
    } catch (const exchange::ErrorIntercanvi& error) {
        QCOMPARE(error.missatge(),
                 u"%1 sembla %2, no un fitxer d'alumnes: no s'hi afegeix res "
                 u"(l'ordre és «q2x7 importa --afegeix ENTRADA FITXER»)"_qs.arg(nom, sembla));
    }
}

// Between the open and the lock, another program puts a new file at the name (as an ordering
// does): every opening works on the file the name now gives, never on the one replaced.
void TestFitxerAlumnes::bloquejaIDespresComprova_data() {
    QTest::addColumn<QString>("pas");
    QTest::newRow("la finestra obre") << u"obre"_qs;
    QTest::newRow("importa --afegeix") << u"afegeix"_qs;
    QTest::newRow("una exportació llegeix") << u"llegeix"_qs;
}

void TestFitxerAlumnes::bloquejaIDespresComprova() {
    QFETCH(QString, pas);
    QTemporaryDir carpeta;
    const QString cami = carpeta.filePath(u"3r B"_qs);
    const QByteArray vell = proves::bytesDe({{u"Vidal"_qs}, {u"Abad"_qs}});
    const QByteArray nou = proves::bytesDe({{u"Abad"_qs}, {u"Vidal"_qs}});
    const QByteArray afegit = proves::bytesDe({{u"Nil"_qs}});
    proves::escriuFitxer(cami, vell);
    proves::CridesFalses crides;
    crides.abansDeBloquejar = [&] {
        const QString ordenat = carpeta.filePath(u".3r B.ordenat"_qs);
        proves::escriuFitxer(ordenat, nou);
        QCOMPARE(
            ::rename(QFile::encodeName(ordenat).constData(), QFile::encodeName(cami).constData()),
            0);
    };

    if (pas == u"obre"_qs) {
        platform::SistemaFitxersReal fitxer(crides);
        fitxer.obre(cami, 107);
        QCOMPARE(fitxer.contingut(), nou);
        fitxer.escriuRegistre(3, afegit);
        fitxer.tanca();
        QCOMPARE(proves::llegeixFitxer(cami), nou + afegit);
    } else if (pas == u"afegeix"_qs) {
        exchange::afegeixAlumnes(cami, afegit, crides, [](const QString&) {});
        QCOMPARE(proves::llegeixFitxer(cami), nou + afegit);
    } else {
        exchange::LectorDAlumnes lector(cami, crides);
        QByteArray llegit;
        QByteArray bloc;
        while (lector.seguent(bloc))
            llegit += bloc;
        QCOMPARE(llegit, nou);
    }
    QVERIFY(!crides.abansDeBloquejar);  // the other program did act in between
}

QTEST_GUILESS_MAIN(TestFitxerAlumnes)
#include "tst_fitxer_alumnes.moc"
