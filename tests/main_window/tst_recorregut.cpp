#include "support/entorn.h"

#include <QAction>

using proves::Alumne;
using proves::alumneNumero;
using proves::Entorn;
using proves::pantallaDe;

// A teacher fills an empty file with five students using the mouse and the keyboard only,
// walks back through them correcting one, and closes the file.
class TestRecorregut : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void deFitxerBuitACincAlumnesIEnrere();

  private:
    // Types as a keyboard would, accented letters included.
    static void tecleja(QWidget* on, const QString& text) {
        for (const QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(on, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, on, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }

    void escriu(Entorn& entorn, const QString& camp, const QString& text) {
        QLineEdit* caixa = entorn.control(camp);
        QTest::mouseClick(caixa, Qt::LeftButton);
        QTest::keyClick(caixa, Qt::Key_A, Qt::ControlModifier);
        tecleja(caixa, text);
    }
};

void TestRecorregut::deFitxerBuitACincAlumnesIEnrere() {
    Entorn entorn;
    entorn.finestra->show();
    QVERIFY(QTest::qWaitForWindowActive(entorn.finestra.get()));
    const QString cami = entorn.fitxer(u"3r B"_qs, {});
    entorn.dialegObrir.cami = cami;
    entorn.finestra->findChild<QAction*>(u"mnuObrir"_qs)->trigger();
    QCOMPARE(entorn.etiqueta(), u"1"_qs);

    QList<Alumne> alumnes;
    for (int i = 1; i <= 5; ++i) {
        if (i > 1)
            entorn.clica(u"cmdNou"_qs);
        QCOMPARE(entorn.etiqueta(), QString::number(i));
        Alumne a = alumneNumero(i);
        a.nom = u"Núria Puig i Ferrà "_qs + QString::number(i);
        escriu(entorn, u"txtNom"_qs, a.nom);
        // From the name, Tab goes to the address, then the town, then the telephone.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        tecleja(QApplication::focusWidget(), a.adreca);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        tecleja(QApplication::focusWidget(), a.poblacio);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        tecleja(QApplication::focusWidget(), a.telefon);
        escriu(entorn, u"txtCodiPostal"_qs, a.codiPostal);
        alumnes << a;
    }
    entorn.clica(u"cmdGravar"_qs);
    QCOMPARE(entorn.finestra->numRegistres(), 5);

    for (int i = 4; i >= 1; --i) {
        entorn.clica(u"cmdAnterior"_qs);
        QCOMPARE(entorn.etiqueta(), QString::number(i));
        QCOMPARE(entorn.pantalla(), pantallaDe(alumnes[i - 1]));
        if (i == 3) {
            escriu(entorn, u"txtTelèfon"_qs, u"699 12 34 56"_qs);
            alumnes[2].telefon = u"699 12 34 56"_qs;
        }
    }
    entorn.clica(u"cmdÚltim"_qs);
    QCOMPARE(entorn.pantalla(), pantallaDe(alumnes[4]));
    entorn.clica(u"cmdPrimer"_qs);
    entorn.clica(u"cmdSegüent"_qs);
    entorn.clica(u"cmdSegüent"_qs);
    QCOMPARE(entorn.pantalla(), pantallaDe(alumnes[2]));
    entorn.finestra->findChild<QAction*>(u"mnuTancar"_qs)->trigger();

    QByteArray esperat;
    for (const Alumne& a : alumnes)
        esperat += proves::registre(a).bytes();
    const QByteArray bytes = proves::llegeixFitxer(cami);
    QCOMPARE(bytes, esperat);
    QCOMPARE(bytes.mid(0, 20), QByteArray("N\xfaria Puig i Ferr\xe0 1"));
    QVERIFY(entorn.missatges.mostrats.isEmpty());
}

QTEST_MAIN(TestRecorregut)
#include "tst_recorregut.moc"
