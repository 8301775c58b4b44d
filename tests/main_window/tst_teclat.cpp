#include "support/entorn.h"

#include <QAccessible>
#include <QAction>
#include <QTimer>

using proves::alumneNumero;
using proves::Entorn;

// The keyboard alone drives the window: each button's key works from inside a text box, Enter
// presses the focused button, and a screen reader hears each box by its label.
class TestTeclat : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init();
    void dreceresDesDUnaCaixa_data();
    void dreceresDesDUnaCaixa();
    void enterPremElBotoAmbElFocus_data();
    void enterPremElBotoAmbElFocus();
    void nomsPerAlLectorDePantalla();

  private:
    std::unique_ptr<Entorn> m_entorn;
    QString m_cami;
};

void TestTeclat::init() {
    m_entorn = std::make_unique<Entorn>();
    m_entorn->finestra->show();
    QVERIFY(QTest::qWaitForWindowActive(m_entorn->finestra.get()));
    m_cami = m_entorn->fitxer(u"grup"_qs,
                              proves::bytesDe({alumneNumero(1), alumneNumero(2), alumneNumero(3)}));
    m_entorn->obre(m_cami);
    m_entorn->clica(u"cmdSegüent"_qs);
    m_entorn->control(u"txtNom"_qs)->setText(u"Editat"_qs);
}

void TestTeclat::dreceresDesDUnaCaixa_data() {
    QTest::addColumn<QKeySequence>("tecla");
    QTest::addColumn<QString>("caixa");
    QTest::addColumn<QString>("boto");  // whose tooltip names the key, "" for a menu item
    QTest::addColumn<int>("registre");  // where the window stands afterwards, 0 when closed
    const auto fila = [](const char* nom, QKeySequence tecla, const char16_t* caixa,
                         const char16_t* boto, int registre) {
        QTest::newRow(nom) << tecla << QString::fromUtf16(caixa) << QString::fromUtf16(boto)
                           << registre;
    };
    fila("Ctrl+Inici: Primer", Qt::CTRL | Qt::Key_Home, u"txtNom", u"cmdPrimer", 1);
    fila("Ctrl+Fi: Últim", Qt::CTRL | Qt::Key_End, u"txtTelèfon", u"cmdÚltim", 3);
    fila("Av Pàg: Següent", QKeySequence(Qt::Key_PageDown), u"txtNom", u"cmdSegüent", 3);
    fila("Re Pàg: Anterior", QKeySequence(Qt::Key_PageUp), u"txtNomFitxer", u"cmdAnterior", 1);
    fila("Ctrl+N: Nou", Qt::CTRL | Qt::Key_N, u"txtAdreça", u"cmdNou", 4);
    fila("Ctrl+S: Gravar pantalla", Qt::CTRL | Qt::Key_S, u"txtNom", u"cmdGravar", 2);
    fila("Ctrl+W: Tancar", Qt::CTRL | Qt::Key_W, u"txtNom", u"", 0);
    fila("Ctrl+O: Obrir", Qt::CTRL | Qt::Key_O, u"txtCodiPostal", u"", 0);
    fila("Ctrl+Q: Sortir", Qt::CTRL | Qt::Key_Q, u"txtPoblació", u"", 0);
    fila("Ctrl+Maj+N: Crear", Qt::CTRL | Qt::SHIFT | Qt::Key_N, u"txtNom", u"", 0);
}

void TestTeclat::dreceresDesDUnaCaixa() {
    QFETCH(QKeySequence, tecla);
    QFETCH(QString, caixa);
    QFETCH(QString, boto);
    QFETCH(int, registre);

    // Closes whatever modal window the key brings up, as soon as it is there.
    QString modal;
    QTimer tancaModals;
    connect(&tancaModals, &QTimer::timeout, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            modal = w->objectName();
            w->close();
        }
    });
    tancaModals.start(20);
    m_entorn->dialegObrir.cami.clear();
    QLineEdit* enfocada = m_entorn->control(caixa);
    enfocada->setFocus();
    QTest::keyClick(enfocada, tecla[0].key(), tecla[0].keyboardModifiers());

    // Every key saved the screen first, as its button does.
    QCOMPARE(proves::llegeixFitxer(m_cami).mid(107, 6), QByteArray("Editat"));
    if (registre > 0) {
        QCOMPARE(m_entorn->finestra->registreActual(), registre);
        QCOMPARE(m_entorn->control<QPushButton>(boto)->toolTip(),
                 tecla.toString(QKeySequence::NativeText));
    } else {
        QCOMPARE(m_entorn->noms.NomFitxer, QString());
    }
    if (tecla == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N))
        QCOMPARE(modal, u"frmFitxerCrear"_qs);
    if (tecla == QKeySequence(Qt::CTRL | Qt::Key_O))
        QCOMPARE(m_entorn->dialegObrir.filtres.size(), 2);
    if (tecla == QKeySequence(Qt::CTRL | Qt::Key_Q))
        QVERIFY(!m_entorn->finestra->isVisible());
    const auto accions = m_entorn->finestra->findChildren<QAction*>();
    if (boto.isEmpty())
        QVERIFY(std::any_of(accions.begin(), accions.end(),
                            [&](QAction* a) { return a->shortcut() == tecla; }));
}

void TestTeclat::enterPremElBotoAmbElFocus_data() {
    QTest::addColumn<int>("tecla");
    QTest::newRow("Retorn") << int(Qt::Key_Return);
    QTest::newRow("Intro del teclat numèric") << int(Qt::Key_Enter);
}

void TestTeclat::enterPremElBotoAmbElFocus() {
    QFETCH(int, tecla);
    auto* boto = m_entorn->control<QPushButton>(u"cmdSegüent"_qs);
    boto->setFocus();
    QTest::keyClick(boto, Qt::Key(tecla),
                    tecla == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(m_entorn->finestra->registreActual(), 3);
    QVERIFY(!boto->isDefault() && !boto->autoDefault());
}

void TestTeclat::nomsPerAlLectorDePantalla() {
    const QList<std::pair<QString, QString>> caixes = {
        {u"txtNomFitxer"_qs, u"Nom fitxer"_qs},   {u"txtNom"_qs, u"Nom"_qs},
        {u"txtAdreça"_qs, u"Adreça"_qs},          {u"txtPoblació"_qs, u"Població"_qs},
        {u"txtCodiPostal"_qs, u"Codi postal"_qs}, {u"txtTelèfon"_qs, u"Telèfon"_qs}};
    for (const auto& [nom, anunci] : caixes) {
        QLineEdit* caixa = m_entorn->control(nom);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(caixa);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), anunci);
        // The label is the box's buddy, and its caption gained no mnemonic.
        const auto etiquetes = m_entorn->finestra->findChildren<QLabel*>();
        const auto etiqueta = std::find_if(etiquetes.begin(), etiquetes.end(),
                                           [&](QLabel* l) { return l->buddy() == caixa; });
        QVERIFY(etiqueta != etiquetes.end());
        QCOMPARE((*etiqueta)->text(), anunci + u':');
    }
}

QTEST_MAIN(TestTeclat)
#include "tst_teclat.moc"
