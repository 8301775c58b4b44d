#include "platform/peticions_final.h"

#include <QTest>

#include <csignal>

class TestPeticionsFinal : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void unSenyalDeFinalArribaAlBucleDEsdeveniments_data();
    void unSenyalDeFinalArribaAlBucleDEsdeveniments();
};

void TestPeticionsFinal::unSenyalDeFinalArribaAlBucleDEsdeveniments_data() {
    QTest::addColumn<int>("senyal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
    QTest::newRow("SIGINT") << SIGINT;
}

void TestPeticionsFinal::unSenyalDeFinalArribaAlBucleDEsdeveniments() {
    QFETCH(int, senyal);
    int crides = 0;
    {
        platform::PeticionsDeFinal peticions([&] { ++crides; });
        QCOMPARE(::raise(senyal), 0);
        QCOMPARE(crides, 0);  // not from inside the handler
        QTRY_COMPARE(crides, 1);
    }
    // Afterwards the signal's default action is back.
    struct sigaction accio {};
    QCOMPARE(::sigaction(senyal, nullptr, &accio), 0);
    QVERIFY(accio.sa_handler == SIG_DFL);
}

QTEST_GUILESS_MAIN(TestPeticionsFinal)
#include "tst_peticions_final.moc"
