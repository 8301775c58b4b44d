// The Edita menu on the window: what the search lists and where Enter goes, the screen saved
// before each item, and Ctrl+Z shared with the text boxes.
#include "support/entorn.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>

using proves::Alumne;
using proves::Entorn;

namespace {

const QByteArray kClasse = proves::bytesDe({
    {u"Puig Ferrer, Marta"_qs, u"C. Major, 3"_qs, u"08001"_qs, u"Barcelona"_qs, u"612345678"_qs},
    {u"Àlvarez, Pau"_qs, u"Pl. Nova, 1"_qs, u"17001"_qs, u"Girona"_qs, u"972000000"_qs},
    {},
    {u"Col·lell, Jordi"_qs, u"Rambla, 9"_qs, u"25001"_qs, u"Lleida"_qs, u"973000000"_qs},
    {u"Puig, Jan"_qs, u"Av. Diagonal, 2"_qs, u"08008"_qs, u"Barcelona"_qs, u"934444444"_qs},
});

// The names the search dialog lists, and the one selected.
QStringList llistats(QDialog* dialeg) {
    auto* llista = dialeg->findChild<QTableView*>(u"lstAlumnes"_qs);
    QStringList noms;
    for (int fila = 0; fila < llista->model()->rowCount(); ++fila) {
        const QString nom = llista->model()->index(fila, 1).data().toString();
        noms << (llista->currentIndex().row() == fila ? u'>' + nom : nom);
    }
    return noms;
}

// Runs `mentre` on the dialog the command shows, once it is up.
template <class Ordre>
void ambElDialeg(Ordre&& ordre, const std::function<void(QDialog*)>& mentre) {
    QTimer::singleShot(0, [&] {
        auto* dialeg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialeg);
        mentre(dialeg);
        if (dialeg->isVisible())
            dialeg->reject();
    });
    ordre();
}

}  // namespace

class TestMenuEdita : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init();
    void cercaFiltra_data();
    void cercaFiltra();
    void enterVaAlTriatAmbLaPantallaDesada();
    void vesAlNumero();
    void controlZDesfaPrimerLaCaixa();
    void eliminaIOrdenaDesdeLaFinestra();
    void elMenuDiuElQueFaraCtrlZ();
    void totEsDesfaIEsRefa_data();
    void totEsDesfaIEsRefa();

  private:
    std::unique_ptr<Entorn> m_entorn;
    QString m_cami;
};

void TestMenuEdita::init() {
    m_entorn = std::make_unique<Entorn>();
    m_entorn->finestra->show();
    QVERIFY(QTest::qWaitForWindowActive(m_entorn->finestra.get()));
    m_cami = m_entorn->fitxer(u"3r B"_qs, kClasse);
    m_entorn->obre(m_cami);
    m_entorn->clica(u"cmdSegüent"_qs);
}

void TestMenuEdita::cercaFiltra_data() {
    QTest::addColumn<QString>("escrit");
    QTest::addColumn<QStringList>("llistats");
    const QString marta = u"Puig Ferrer, Marta"_qs;
    QTest::newRow("res: tota la classe, l'alumne de la pantalla triat")
        << QString()
        << QStringList{marta, u">Àlvarez, Pau"_qs, u"Col·lell, Jordi"_qs, u"Puig, Jan"_qs};
    QTest::newRow("dues paraules") << u"puig fe"_qs << QStringList{u'>' + marta};
    QTest::newRow("sense accents ni majúscules")
        << u"ALVAREZ"_qs << QStringList{u">Àlvarez, Pau"_qs};
    QTest::newRow("sense el punt volat") << u"collell"_qs << QStringList{u">Col·lell, Jordi"_qs};
    QTest::newRow("un codi postal") << u"0800"_qs << QStringList{u'>' + marta, u"Puig, Jan"_qs};
    QTest::newRow("un telèfon") << u"612"_qs << QStringList{u'>' + marta};
    QTest::newRow("el començament d'una paraula, no el mig") << u"errer"_qs << QStringList();
    QTest::newRow("una població darrere un codi postal ple")
        << u"girona"_qs << QStringList{u">Àlvarez, Pau"_qs};
    QTest::newRow("un camp no continua en el següent") << u"17001girona"_qs << QStringList();
    QTest::newRow("una adreça") << u"rambla"_qs << QStringList{u">Col·lell, Jordi"_qs};
    QTest::newRow("ela punt ela, com s'escriu sense el punt volat")
        << u"Col.lell"_qs << QStringList{u">Col·lell, Jordi"_qs};
    QTest::newRow("cap") << u"Vidal"_qs << QStringList();
}

void TestMenuEdita::cercaFiltra() {
    QFETCH(QString, escrit);
    QFETCH(QStringList, llistats);
    ambElDialeg([&] { m_entorn->finestra->Cerca(); },
                [&](QDialog* dialeg) {
                    QCOMPARE(dialeg->windowTitle(), u"Cerca un alumne"_qs);
                    auto* caixa = dialeg->findChild<QLineEdit*>(u"txtCerca"_qs);
                    QCOMPARE(dialeg->focusWidget(), caixa);
                    QTest::keyClicks(caixa, escrit);
                    QCOMPARE(::llistats(dialeg), llistats);
                    // Enter with nothing listed does nothing; Escape closes and moves nothing.
                    if (llistats.isEmpty()) {
                        QTest::keyClick(caixa, Qt::Key_Return);
                        QVERIFY(dialeg->isVisible());
                    }
                    QTest::keyClick(caixa, Qt::Key_Escape);
                    QVERIFY(!dialeg->isVisible());
                });
    QCOMPARE(m_entorn->etiqueta(), u"2"_qs);
}

// Down moves the selection with the caret in the box; Enter goes there, the screen saved first.
void TestMenuEdita::enterVaAlTriatAmbLaPantallaDesada() {
    m_entorn->control(u"txtTelèfon"_qs)->setText(u"600111222"_qs);
    ambElDialeg(
        [&] { m_entorn->finestra->Cerca(); },
        [&](QDialog* dialeg) {
            auto* caixa = dialeg->findChild<QLineEdit*>(u"txtCerca"_qs);
            QTest::keyClicks(caixa, u"puig"_qs);
            QTest::keyClick(caixa, Qt::Key_Down);
            QCOMPARE(dialeg->focusWidget(), caixa);
            QCOMPARE(::llistats(dialeg), (QStringList{u"Puig Ferrer, Marta"_qs, u">Puig, Jan"_qs}));
            QTest::keyClick(caixa, Qt::Key_Return);
            QVERIFY(!dialeg->isVisible());
        });
    QCOMPARE(m_entorn->etiqueta(), u"5"_qs);
    QCOMPARE(m_entorn->finestra->registreActual(), 5);
    QCOMPARE(m_entorn->pantalla().first().trimmed(), u"Puig, Jan"_qs);
    QCOMPARE(proves::llegeixFitxer(m_cami).mid(107 + 95, 12), QByteArray("600111222   "));
}

void TestMenuEdita::vesAlNumero() {
    ambElDialeg([&] { m_entorn->finestra->VesA(); },
                [&](QDialog* dialeg) {
                    QCOMPARE(dialeg->windowTitle(), u"Ves al número"_qs);
                    auto* numero = dialeg->findChild<QSpinBox*>(u"txtNumero"_qs);
                    QCOMPARE(numero->maximum(), 5);
                    QTest::keyClicks(numero, u"4"_qs);
                    QTest::keyClick(numero, Qt::Key_Return);
                });
    QCOMPARE(m_entorn->etiqueta(), u"4"_qs);
    QCOMPARE(m_entorn->pantalla().first().trimmed(), u"Col·lell, Jordi"_qs);
}

// Ctrl+Z undoes the box's typing first; once the box has nothing left, it is Desfés.
void TestMenuEdita::controlZDesfaPrimerLaCaixa() {
    m_entorn->finestra->Elimina();
    QCOMPARE(m_entorn->pantalla().first(), QString(45, u' '));
    QLineEdit* nom = m_entorn->control(u"txtNom"_qs);
    nom->setFocus();
    QTest::keyClicks(nom, u"Nil"_qs);
    QTest::keyClick(nom, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(nom->text(), QString(45, u' '));
    QCOMPARE(proves::llegeixFitxer(m_cami).size(), kClasse.size() - 107);

    QTest::keyClick(nom, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(proves::llegeixFitxer(m_cami), kClasse);
    QCOMPARE(m_entorn->etiqueta(), u"2"_qs);
    QCOMPARE(m_entorn->pantalla().first().trimmed(), u"Àlvarez, Pau"_qs);

    QTest::keyClick(nom, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(proves::llegeixFitxer(m_cami).size(), kClasse.size() - 107);
    QCOMPARE(m_entorn->missatges.textos(), QStringList());
}

// No question: the removal and the ordering are undone instead. The screen follows the student.
void TestMenuEdita::eliminaIOrdenaDesdeLaFinestra() {
    m_entorn->finestra->Ordena();
    QCOMPARE(m_entorn->pantalla().first().trimmed(), u"Àlvarez, Pau"_qs);
    QCOMPARE(m_entorn->etiqueta(), u"1"_qs);
    m_entorn->finestra->Últim();
    QCOMPARE(m_entorn->etiqueta(), u"5"_qs);  // the blank record, last
    m_entorn->finestra->Elimina();
    QCOMPARE(m_entorn->etiqueta(), u"4"_qs);
    QCOMPARE(m_entorn->finestra->numRegistres(), 4);
    QCOMPARE(m_entorn->pantalla().first().trimmed(), u"Puig Ferrer, Marta"_qs);
    m_entorn->finestra->Desfes();
    m_entorn->finestra->Desfes();
    QCOMPARE(proves::llegeixFitxer(m_cami), kClasse);
    QCOMPARE(m_entorn->pantalla().first().trimmed(), u"Àlvarez, Pau"_qs);
    QCOMPARE(m_entorn->etiqueta(), u"2"_qs);
    QCOMPARE(m_entorn->missatges.textos(), QStringList());

    // Another program wrote the file since: Refés is refused, said, and nothing changes.
    {
        QFile fitxer(m_cami);
        QVERIFY(fitxer.open(QIODevice::Append));
        fitxer.write(QByteArray(107, 'y'));
    }
    const QByteArray alterat = proves::llegeixFitxer(m_cami);
    m_entorn->finestra->Refes();
    QCOMPARE(
        m_entorn->missatges.textos(),
        QStringList(u"No es pot refer: un altre programa ha canviat el fitxer des de llavors."_qs));
    QCOMPARE(proves::llegeixFitxer(m_cami), alterat);

    // Emptied, the class shows a blank screen and "1", as an empty file does.
    const QString sol = m_entorn->fitxer(u"sol"_qs, proves::bytesDe({{u"Únic"_qs}}));
    m_entorn->obre(sol);
    m_entorn->finestra->Elimina();
    QCOMPARE(m_entorn->etiqueta(), u"1"_qs);
    QCOMPARE(m_entorn->pantalla(), QStringList(5, QString()));
    QCOMPARE(proves::llegeixFitxer(sol), QByteArray());
}

// The menu names what the next Ctrl+Z and Ctrl+Shift+Z do; typing on screen comes first, and is
// taken back and put back without a byte written.
void TestMenuEdita::elMenuDiuElQueFaraCtrlZ() {
    auto* desfes = m_entorn->finestra->findChild<QAction*>(u"mnuDesfes"_qs);
    auto* refes = m_entorn->finestra->findChild<QAction*>(u"mnuRefes"_qs);
    const auto menus = [&] {
        return QStringList{desfes->isEnabled() ? desfes->text() : u'(' + desfes->text() + u')',
                           refes->isEnabled() ? refes->text() : u'(' + refes->text() + u')'};
    };
    m_entorn->clica(u"cmdÚltim"_qs);
    m_entorn->clica(u"cmdNou"_qs);
    m_entorn->control(u"txtNom"_qs)->setText(u"Nova Alumna"_qs);
    QCOMPARE(menus(), (QStringList{u"&Desfés: els canvis de la pantalla"_qs, u"(&Refés)"_qs}));
    m_entorn->clica(u"cmdNou"_qs);  // a blank screen, nothing typed
    QCOMPARE(menus(), (QStringList{u"&Desfés: alumne nou «Nova Alumna»"_qs, u"(&Refés)"_qs}));
    desfes->trigger();
    QCOMPARE(proves::llegeixFitxer(m_cami), kClasse);
    QCOMPARE(menus(), (QStringList{u"(&Desfés)"_qs, u"&Refés: alumne nou «Nova Alumna»"_qs}));

    // Typing not saved, then Ctrl+Z outside any box's own undo: the screen as saved, nothing
    // written, and Refés puts the typing back.
    m_entorn->finestra->Elimina();
    const QStringList mostrada = m_entorn->pantalla();
    const QByteArray eliminat = proves::llegeixFitxer(m_cami);
    m_entorn->control(u"txtPoblació"_qs)->setText(u"Reus"_qs);
    QCOMPARE(menus(), (QStringList{u"&Desfés: els canvis de la pantalla"_qs, u"(&Refés)"_qs}));
    desfes->trigger();
    QCOMPARE(m_entorn->pantalla(), mostrada);
    QCOMPARE(proves::llegeixFitxer(m_cami), eliminat);
    QCOMPARE(menus().first(), u"&Desfés: elimina «Puig, Jan»"_qs);
    QCOMPARE(menus().last(), u"&Refés: els canvis de la pantalla"_qs);
    refes->trigger();
    QCOMPARE(m_entorn->pantalla()[3], u"Reus"_qs);
    QCOMPARE(proves::llegeixFitxer(m_cami), eliminat);
    desfes->trigger();
    desfes->trigger();
    QCOMPARE(proves::llegeixFitxer(m_cami), kClasse);
    QCOMPARE(m_entorn->missatges.textos(), QStringList());
}

// Random saves, new students, removals down to an empty class, orderings and pastes, the file
// read at every change; then every change undone and redone, each state back byte for byte.
void TestMenuEdita::totEsDesfaIEsRefa_data() {
    QTest::addColumn<quint32>("llavor");
    for (quint32 llavor = 1; llavor <= 12; ++llavor)
        QTest::addRow("llavor %u", llavor) << llavor;
}

void TestMenuEdita::totEsDesfaIEsRefa() {
    QFETCH(quint32, llavor);
    QRandomGenerator atzar(llavor);
    const QString cami = m_entorn->fitxer(
        u"petita"_qs, proves::bytesDe({{u"Vidal, Ot"_qs}, {u"Abad, Pau"_qs}, {u"Mas, Joan"_qs}}));
    m_entorn->obre(cami);
    frmAlumnes& finestra = *m_entorn->finestra;
    auto* desfes = finestra.findChild<QAction*>(u"mnuDesfes"_qs);
    auto* refes = finestra.findChild<QAction*>(u"mnuRefes"_qs);
    QList<QByteArray> estats{proves::llegeixFitxer(cami)};
    connect(&finestra.classe().historia(), &QUndoStack::indexChanged, this,
            [&] { estats << proves::llegeixFitxer(cami); });

    const auto nomNou = [&] { return u"Alumne %1"_qs.arg(atzar.bounded(1000)); };
    for (int pas = 0; pas < 30; ++pas) {
        switch (atzar.bounded(9)) {
            case 0:
            case 1:
                m_entorn->control(u"txtNom"_qs)->setText(nomNou());
                break;
            case 2:
                m_entorn->clica(u"cmdGravar"_qs);
                break;
            case 3:
                m_entorn->clica(u"cmdNou"_qs);
                break;
            case 4:
            case 5:
                // Sometimes down to an empty class, and on.
                for (int i = int(atzar.bounded(4)); i >= 0; --i)
                    finestra.findChild<QAction*>(u"mnuElimina"_qs)->trigger();
                break;
            case 6:
                finestra.findChild<QAction*>(u"mnuOrdena"_qs)->trigger();
                break;
            case 7:
                m_entorn->portaretalls.dades = (nomNou() + u'\n' + nomNou() + u'\n').toUtf8();
                finestra.findChild<QAction*>(u"mnuEnganxa"_qs)->trigger();
                break;
            default:
                // Últim in an empty class asks to read record 0 again, as it must.
                for (const char16_t* boto :
                     {u"cmdPrimer", u"cmdSegüent", u"cmdAnterior", u"cmdÚltim"})
                    if (atzar.bounded(2) && finestra.numRegistres() > 0)
                        m_entorn->clica(QString::fromUtf16(boto));
                break;
        }
    }
    disconnect(&finestra.classe().historia(), nullptr, this, nullptr);
    const QByteArray final = proves::llegeixFitxer(cami);
    QCOMPARE(final, estats.last());

    // Typing on screen goes first, and writes nothing.
    if (desfes->text() == u"&Desfés: els canvis de la pantalla"_qs) {
        desfes->trigger();
        QCOMPARE(proves::llegeixFitxer(cami), final);
    }
    for (qsizetype i = estats.size() - 2; i >= 0; --i) {
        QVERIFY2(desfes->isEnabled(), qPrintable(u"state %1"_qs.arg(i)));
        desfes->trigger();
        QCOMPARE(proves::llegeixFitxer(cami), estats[i]);
    }
    QVERIFY(!desfes->isEnabled());
    for (qsizetype i = 1; i < estats.size(); ++i) {
        QVERIFY(refes->isEnabled());
        refes->trigger();
        QCOMPARE(proves::llegeixFitxer(cami), estats[i]);
    }
    QVERIFY(!refes->isEnabled());
    QCOMPARE(m_entorn->missatges.textos(), QStringList());
}

QTEST_MAIN(TestMenuEdita)
#include "tst_menu_edita.moc"
