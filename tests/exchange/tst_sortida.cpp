#include "exchange/camps.h"
#include "exchange/sortida.h"
#include "platform/sistema_fitxers.h"
#include "support/crides_falses.h"
#include "support/fitxers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using exchange::Sortida;
using proves::Crida;

Q_DECLARE_METATYPE(Crida)

// What a command writes appears whole or not at all: whatever system call fails, an earlier file
// stays as it was and nothing partial is left in the folder.
class TestSortida : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void unaSortidaQueFallaNoDeixaRes_data();
    void unaSortidaQueFallaNoDeixaRes();
    void afegirQueFallaTornaALaLongitud_data();
    void afegirQueFallaTornaALaLongitud();
    void afegirRespectaElRegistreParcialIElBloqueig();
};

void TestSortida::unaSortidaQueFallaNoDeixaRes_data() {
    QTest::addColumn<bool>("existeix");
    QTest::addColumn<Crida>("crida");
    QTest::addColumn<int>("error");
    for (const bool existeix : {true, false}) {
        const QString quin = existeix ? u"substitueix"_qs : u"nou"_qs;
        QTest::newRow(qPrintable(QStringLiteral("%1, disc ple").arg(quin)))
            << existeix << Crida::Pwrite << ENOSPC;
        QTest::newRow(qPrintable(QStringLiteral("%1, fdatasync").arg(quin)))
            << existeix << Crida::Fdatasync << EIO;
        QTest::newRow(qPrintable(QStringLiteral("%1, linkat").arg(quin)))
            << existeix << Crida::Linkat << EIO;
    }
    QTest::newRow("substitueix, rename") << true << Crida::Rename << EIO;
    QTest::newRow("res no falla") << true << Crida::Unlink << 0;
}

void TestSortida::unaSortidaQueFallaNoDeixaRes() {
    QFETCH(bool, existeix);
    QFETCH(Crida, crida);
    QFETCH(int, error);
    QTemporaryDir carpeta;
    const QString cami = carpeta.filePath(u"llista.csv"_qs);
    if (existeix)
        proves::escriuFitxer(cami, "la d'ahir");
    proves::CridesFalses crides;
    if (error)
        crides.falla(crida, error, proves::CridesFalses::kSempre);
    const QByteArray nova = QByteArray("la d'avui ").repeated(20000);  // several blocks
    try {
        const auto sortida = Sortida::fitxer(
            cami, existeix ? Sortida::SiExisteix::Substitueix : Sortida::SiExisteix::Refusa,
            crides);
        sortida->write(nova);
        sortida->publica();
        QVERIFY(!error);
    } catch (const exchange::ErrorIntercanvi&) {
        QVERIFY(error);
    }
    const QStringList queda = QDir(carpeta.path()).entryList(QDir::Files | QDir::Hidden);
    if (!error) {
        QCOMPARE(proves::llegeixFitxer(cami), nova);
    } else if (existeix) {
        QCOMPARE(proves::llegeixFitxer(cami), QByteArray("la d'ahir"));
        QCOMPARE(queda, QStringList(u"llista.csv"_qs));
    } else {
        QCOMPARE(queda, QStringList());
    }
}

void TestSortida::afegirQueFallaTornaALaLongitud_data() {
    QTest::addColumn<Crida>("crida");
    QTest::addColumn<bool>("curta");
    QTest::newRow("disc ple a mig registre") << Crida::Pwrite << true;
    QTest::newRow("fdatasync") << Crida::Fdatasync << false;
}

void TestSortida::afegirQueFallaTornaALaLongitud() {
    QFETCH(Crida, crida);
    QFETCH(bool, curta);
    QTemporaryDir carpeta;
    const QString cami = carpeta.filePath(u"grup"_qs);
    const QByteArray abans = proves::bytesDe({{u"Anna"_qs}, {u"Berta"_qs}});
    proves::escriuFitxer(cami, abans);
    proves::CridesFalses crides;
    crides.falla(crida, crida == Crida::Pwrite ? ENOSPC : EIO, 1, proves::CridesFalses::kQualsevol,
                 curta);
    QVERIFY_THROWS_EXCEPTION(exchange::ErrorIntercanvi,
                             exchange::afegeixRegistres(
                                 cami, proves::bytesDe({{u"Carla"_qs}, {u"Dani"_qs}}), crides));
    QCOMPARE(proves::llegeixFitxer(cami), abans);
}

void TestSortida::afegirRespectaElRegistreParcialIElBloqueig() {
    QTemporaryDir carpeta;
    const QString cami = carpeta.filePath(u"grup"_qs);
    const QByteArray abans = proves::bytesDe({{u"Anna"_qs}}) + QByteArray(53, 'x');
    proves::escriuFitxer(cami, abans);
    const QByteArray nous = proves::bytesDe({{u"Carla"_qs}});
    {
        platform::SistemaFitxersReal finestra;  // the window holds the file
        finestra.obre(cami, 107);
        QVERIFY_THROWS_EXCEPTION(
            exchange::ErrorIntercanvi,
            exchange::afegeixRegistres(cami, nous, platform::CridesSistema::reals()));
        QCOMPARE(proves::llegeixFitxer(cami), abans);
    }
    exchange::afegeixRegistres(cami, nous, platform::CridesSistema::reals());
    QCOMPARE(proves::llegeixFitxer(cami), abans + QByteArray(54, '\0') + nous);
}

QTEST_MAIN(TestSortida)
#include "tst_sortida.moc"
