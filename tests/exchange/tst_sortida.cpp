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

namespace {
enum class Escriptura { Nou, Substitueix, Afegeix };
}
Q_DECLARE_METATYPE(Escriptura)

// What a command writes appears whole or not at all: whatever system call fails, or while the
// window holds the file, an earlier file stays as it was and nothing partial is left beside it.
// --afegeix writes after a partial last record, never over it.
class TestSortida : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void totOResNoDeixaResAMitges_data();
    void totOResNoDeixaResAMitges();
};

void TestSortida::totOResNoDeixaResAMitges_data() {
    QTest::addColumn<Escriptura>("escriptura");
    QTest::addColumn<Crida>("crida");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("obertALaFinestra");
    const QList<std::pair<Escriptura, QString>> escriptures = {
        {Escriptura::Nou, u"nou"_qs},
        {Escriptura::Substitueix, u"substitueix"_qs},
        {Escriptura::Afegeix, u"afegeix"_qs}};
    for (const auto& [escriptura, nom] : escriptures) {
        QTest::newRow(qPrintable(nom)) << escriptura << Crida::Unlink << 0 << false;
        QTest::newRow(qPrintable(nom + u", disc ple a mig bloc"_qs))
            << escriptura << Crida::Pwrite << ENOSPC << false;
        QTest::newRow(qPrintable(nom + u", fdatasync"_qs))
            << escriptura << Crida::Fdatasync << EIO << false;
        if (escriptura != Escriptura::Afegeix)
            QTest::newRow(qPrintable(nom + u", linkat"_qs))
                << escriptura << Crida::Linkat << EIO << false;
    }
    QTest::newRow("substitueix, rename")
        << Escriptura::Substitueix << Crida::Rename << EIO << false;
    QTest::newRow("afegeix, obert a la finestra")
        << Escriptura::Afegeix << Crida::Unlink << 0 << true;
}

void TestSortida::totOResNoDeixaResAMitges() {
    QFETCH(Escriptura, escriptura);
    QFETCH(Crida, crida);
    QFETCH(int, error);
    QFETCH(bool, obertALaFinestra);
    QTemporaryDir carpeta;
    const QString cami = carpeta.filePath(u"grup"_qs);
    // One record and a partial one.
    const QByteArray abans = proves::bytesDe({{u"Anna"_qs}}) + QByteArray(53, 'x');
    if (escriptura != Escriptura::Nou)
        proves::escriuFitxer(cami, abans);
    platform::SistemaFitxersReal finestra;
    if (obertALaFinestra)
        finestra.obre(cami, 107);
    proves::CridesFalses crides;
    if (error)
        crides.falla(crida, error, 1, proves::CridesFalses::kQualsevol, crida == Crida::Pwrite);
    const QByteArray nous = proves::bytesDe({{u"Carla"_qs}, {u"Dani"_qs}}).repeated(400);

    try {
        if (escriptura == Escriptura::Afegeix) {
            exchange::afegeixRegistres(cami, nous, crides);
        } else {
            const auto sortida =
                Sortida::fitxer(cami,
                                escriptura == Escriptura::Nou ? Sortida::SiExisteix::Refusa
                                                              : Sortida::SiExisteix::Substitueix,
                                crides);
            sortida->write(nous);
            sortida->publica();
        }
        QVERIFY(!error && !obertALaFinestra);
    } catch (const exchange::ErrorIntercanvi&) {
        QVERIFY(error || obertALaFinestra);
    }

    const bool fet = !error && !obertALaFinestra;
    const QStringList queda = QDir(carpeta.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(queda,
             escriptura == Escriptura::Nou && !fet ? QStringList() : QStringList{u"grup"_qs});
    if (escriptura == Escriptura::Afegeix && fet)
        QCOMPARE(proves::llegeixFitxer(cami), abans + QByteArray(54, '\0') + nous);
    else if (fet)
        QCOMPARE(proves::llegeixFitxer(cami), nous);
    else if (escriptura != Escriptura::Nou)
        QCOMPARE(proves::llegeixFitxer(cami), abans);
}

QTEST_MAIN(TestSortida)
#include "tst_sortida.moc"
