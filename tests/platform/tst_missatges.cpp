#include "platform/missatges.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using platform::Resposta;

Q_DECLARE_METATYPE(platform::Resposta)

// The real box, answered from the keyboard the way a hurried user would.
class TestMissatges : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void teclesALaCaixa_data();
    void teclesALaCaixa();
};

void TestMissatges::teclesALaCaixa_data() {
    QTest::addColumn<Resposta>("perDefecte");
    QTest::addColumn<int>("tecla");
    QTest::addColumn<Resposta>("resposta");
    QTest::newRow("reintent, Enter és Sí") << Resposta::Si << int(Qt::Key_Return) << Resposta::Si;
    QTest::newRow("reintent, Escape és No") << Resposta::Si << int(Qt::Key_Escape) << Resposta::No;
    QTest::newRow("esborrar, Enter és No") << Resposta::No << int(Qt::Key_Return) << Resposta::No;
    QTest::newRow("esborrar, Escape és No") << Resposta::No << int(Qt::Key_Escape) << Resposta::No;
}

void TestMissatges::teclesALaCaixa() {
    QFETCH(Resposta, perDefecte);
    QFETCH(int, tecla);
    QFETCH(Resposta, resposta);

    QString titol;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(caixa);
        titol = caixa->windowTitle();
        QTest::keyClick(caixa, Qt::Key(tecla));
    });
    platform::MissatgesQt missatges;
    QCOMPARE(missatges.mostra(u"Fitxer ja existent. L'esborro?"_qs, platform::Botons::SiNo,
                              platform::Icona::Atura, perDefecte),
             resposta);
    QCOMPARE(titol, u"q2x7"_qs);
}

QTEST_MAIN(TestMissatges)
#include "tst_missatges.moc"
