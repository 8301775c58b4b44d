#include "support/entorn.h"

using proves::Entorn;

// A field comes padded with spaces; End and the mouse stop where the text does, so that what the
// user types after it is kept on save.
class TestCaixaCamp : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void elFinalEsOnAcabaElText_data();
    void elFinalEsOnAcabaElText();
};

void TestCaixaCamp::elFinalEsOnAcabaElText_data() {
    QTest::addColumn<QString>("accio");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("seleccionat");
    QTest::newRow("Fi") << u"fi"_qs << 4 << QString();
    QTest::newRow("Maj+Fi des de l'inici") << u"majfi"_qs << 4 << u"Anna"_qs;
    QTest::newRow("clic més enllà del text") << u"clic"_qs << 4 << QString();
    QTest::newRow("clic dins del text") << u"clicdins"_qs << 0 << QString();
}

void TestCaixaCamp::elFinalEsOnAcabaElText() {
    QFETCH(QString, accio);
    QFETCH(int, cursor);
    QFETCH(QString, seleccionat);

    Entorn e;
    e.finestra->show();
    QVERIFY(QTest::qWaitForWindowExposed(e.finestra.get()));
    const QString cami = e.fitxer(u"g"_qs, proves::bytesDe({{u"Anna"_qs}}));
    e.obre(cami);
    QLineEdit* nom = e.control(u"txtNom"_qs);
    nom->setFocus();
    if (accio == u"fi"_qs)
        QTest::keyClick(nom, Qt::Key_End);
    else if (accio == u"majfi"_qs)
        QTest::keyClick(nom, Qt::Key_End, Qt::ShiftModifier);
    else
        QTest::mouseClick(nom, Qt::LeftButton, {},
                          accio == u"clic"_qs ? QPoint(nom->width() - 4, nom->height() / 2)
                                              : QPoint(2, nom->height() / 2));
    QCOMPARE(nom->cursorPosition(), cursor);
    QCOMPARE(nom->selectedText(), seleccionat);

    if (seleccionat.isEmpty() && cursor == 4) {
        QTest::keyClicks(nom, u" Puig"_qs);
        e.clica(u"cmdGravar"_qs);
        QCOMPARE(proves::llegeixFitxer(cami).left(10), QByteArray("Anna Puig "));
    }
}

QTEST_MAIN(TestCaixaCamp)
#include "tst_caixa_camp.moc"
