#include "create_dialog/frm_fitxer_crear.h"
#include "create_dialog/llistes.h"
#include "support/fakes.h"
#include "support/unitats.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <memory>

using create_dialog::frmFitxerCrear;
using create_dialog::LlistaDirectoris;
using create_dialog::LlistaFitxers;
using create_dialog::LlistaUnitats;
using platform::Resposta;
using proves::Operacio;

Q_DECLARE_METATYPE(platform::Resposta)

class TestFrmFitxerCrear : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init();
    void cleanup();
    void disposicio_data();
    void disposicio();
    void ordreDeTabulacioIFocus();
    void comencaAlDirectoriActual();
    void nomsPerAlLectorDePantalla();
    void dacordDeSeguidaDonaText1();
    void unNomBuitNoFaRes();
    void unioDelCami_data();
    void unioDelCami();
    void lesMajusculesCompten();
    void unNomLlistatPreguntaSiSEsborra_data();
    void unNomLlistatPreguntaSiSEsborra();
    void unEsborratQueFallaDeixaElDialegObert();
    void cancelarDespresDUnCanviDeDirectori();
    void elsAltresTancamentsSonCancelar_data();
    void elsAltresTancamentsSonCancelar();
    void enterFaDacord();
    void unCanviDeDiscQueFalla_data();
    void unCanviDeDiscQueFalla();
    void unDirectoriQueNoEsPotObrirNoTancaRes();

  private:
    void crea();
    template <class C = QWidget>
    C* control(const QString& nom) {
        auto* c = m_dialeg->findChild<C*>(nom);
        if (!c)
            qFatal("no hi ha %s", qPrintable(nom));
        return c;
    }
    void triaDirectori(const QString& nom);

    proves::MissatgesFals m_missatges;
    proves::DiariFals m_diari;
    proves::DialegObrirFals m_dialegObrir;
    std::unique_ptr<proves::SistemaFitxersFals> m_fs;
    std::unique_ptr<proves::TresUnitats> m_unitats;
    record::NomsFitxer m_noms;
    QString m_discAnterior;
    std::unique_ptr<frmFitxerCrear> m_dialeg;
};

void TestFrmFitxerCrear::init() {
    m_missatges = {};
    m_diari.linies.clear();
    m_fs = std::make_unique<proves::SistemaFitxersFals>();
    m_unitats = std::make_unique<proves::TresUnitats>(*m_fs);
    m_noms = {u"abans"_qs, u"abans"_qs};
    m_discAnterior.clear();
    crea();
}

void TestFrmFitxerCrear::cleanup() {
    m_dialeg.reset();
    m_unitats.reset();
}

void TestFrmFitxerCrear::crea() {
    m_dialeg = std::make_unique<frmFitxerCrear>(
        platform::Serveis{m_missatges, m_dialegObrir, *m_fs, m_diari}, m_noms, m_discAnterior);
    m_dialeg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialeg.get()));
}

void TestFrmFitxerCrear::triaDirectori(const QString& nom) {
    auto* llista = control<LlistaDirectoris>(u"dirDirectoriDestí"_qs);
    const auto trobats = llista->findItems(nom, Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(trobats.size(), 1);
    const QRect lloc = llista->visualItemRect(trobats.first());
    // A double click as the window system delivers it: a click, then the second press.
    QTest::mouseClick(llista->viewport(), Qt::LeftButton, {}, lloc.center());
    QTest::mouseDClick(llista->viewport(), Qt::LeftButton, {}, lloc.center());
}

void TestFrmFitxerCrear::disposicio_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("txtNomFitxer") << u"txtNomFitxer"_qs << u"Text1"_qs
                                  << QRect(120, 240, 1815, 375);
    QTest::newRow("filLlistaFitxers")
        << u"filLlistaFitxers"_qs << QString() << QRect(120, 720, 1815, 1395);
    QTest::newRow("dirDirectoriDestí")
        << u"dirDirectoriDestí"_qs << QString() << QRect(2040, 720, 2175, 930);
    QTest::newRow("drvDiscDestí") << u"drvDiscDestí"_qs << QString()
                                  << QRect(2040, 1800, 2175, 315);
    QTest::newRow("cmdDacord") << u"cmdDacord"_qs << u"D'acord"_qs << QRect(2040, 240, 975, 375);
    QTest::newRow("cmdCancelar") << u"cmdCancelar"_qs << u"Cancel.lar"_qs
                                 << QRect(3240, 240, 975, 375);
}

void TestFrmFitxerCrear::disposicio() {
    QFETCH(QString, nom);
    QFETCH(QString, text);
    QFETCH(QRect, twips);
    QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0);
    QCOMPARE(m_dialeg->windowTitle(), u"Crear fitxer"_qs);
    QCOMPARE(m_dialeg->objectName(), u"frmFitxerCrear"_qs);
    QCOMPARE(m_dialeg->size(), QSize(291, 154));
    QVERIFY(m_dialeg->isModal());

    QWidget* c = control(nom);
    QCOMPARE(c->geometry(),
             QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    QCOMPARE(c->mapTo(m_dialeg.get(), QPoint(0, 0)), c->pos());
    QVERIFY(c->font().bold());
    QCOMPARE(c->font().pointSizeF(), 8.25);
    if (auto* boto = qobject_cast<QPushButton*>(c)) {
        QCOMPARE(boto->text(), text);
        QVERIFY(!boto->isDefault() && !boto->autoDefault());
    }
    if (auto* caixa = qobject_cast<QLineEdit*>(c))
        QCOMPARE(caixa->text(), text);
}

void TestFrmFitxerCrear::ordreDeTabulacioIFocus() {
    QVERIFY(QTest::qWaitForWindowActive(m_dialeg.get()));
    QCOMPARE(QApplication::focusWidget(), control(u"txtNomFitxer"_qs));
    QStringList recorregut;
    QWidget* actual = control(u"cmdDacord"_qs);
    for (int i = 0; i < 7; ++i) {
        recorregut << actual->objectName();
        actual = actual->nextInFocusChain();
        while (!(actual->focusPolicy() & Qt::TabFocus) || actual->objectName().isEmpty())
            actual = actual->nextInFocusChain();
    }
    QCOMPARE(recorregut, QStringList({u"cmdDacord"_qs, u"cmdCancelar"_qs, u"dirDirectoriDestí"_qs,
                                      u"drvDiscDestí"_qs, u"filLlistaFitxers"_qs,
                                      u"txtNomFitxer"_qs, u"cmdDacord"_qs}));
}

void TestFrmFitxerCrear::comencaAlDirectoriActual() {
    QCOMPARE(control<LlistaUnitats>(u"drvDiscDestí"_qs)->unitat(), m_unitats->a);
    auto* directoris = control<LlistaDirectoris>(u"dirDirectoriDestí"_qs);
    QCOMPARE(directoris->path(), m_unitats->a + u"/classe"_qs);
    // The drive's root, then each level down to the current directory, then its subdirectories.
    QStringList entrades;
    for (QTreeWidgetItemIterator it(directoris); *it; ++it)
        entrades << (*it)->text(0);
    QCOMPARE(entrades, QStringList({m_unitats->a, u"classe"_qs, u"sub"_qs}));
    QCOMPARE(control<LlistaFitxers>(u"filLlistaFitxers"_qs)->noms(), QStringList(u"alumnes"_qs));
}

void TestFrmFitxerCrear::nomsPerAlLectorDePantalla() {
    // The dialog has no labels: each list carries its own name.
    for (const auto& [nom, anunci] : {std::pair{u"filLlistaFitxers"_qs, u"Fitxers"_qs},
                                      {u"dirDirectoriDestí"_qs, u"Directoris"_qs}})
        QCOMPARE(QAccessible::queryAccessibleInterface(control(nom))->text(QAccessible::Name),
                 anunci);
    // A drop-down list is announced by its value; its name rides in the description.
    QCOMPARE(QAccessible::queryAccessibleInterface(control(u"drvDiscDestí"_qs))
                 ->text(QAccessible::Description),
             u"Unitat"_qs);
}

void TestFrmFitxerCrear::dacordDeSeguidaDonaText1() {
    QTest::mouseClick(control(u"cmdDacord"_qs), Qt::LeftButton);
    const QString esperat = m_unitats->a + u"/classe/Text1"_qs;
    QCOMPARE(m_noms.NomFitxerNou, esperat);
    QCOMPARE(m_noms.NomFitxer, esperat);
    QCOMPARE(m_dialeg->result(), int(QDialog::Accepted));
    QVERIFY(!m_dialeg->isVisible());
    QVERIFY(m_missatges.mostrats.isEmpty());
    QVERIFY(!QFileInfo::exists(esperat));  // the dialog creates nothing
}

void TestFrmFitxerCrear::unNomBuitNoFaRes() {
    control<QLineEdit>(u"txtNomFitxer"_qs)->clear();
    QTest::mouseClick(control(u"cmdDacord"_qs), Qt::LeftButton);
    QVERIFY(m_dialeg->isVisible());
    QCOMPARE(m_noms.NomFitxerNou, u"abans"_qs);
    QCOMPARE(m_noms.NomFitxer, u"abans"_qs);
    QVERIFY(m_missatges.mostrats.isEmpty());
}

void TestFrmFitxerCrear::unioDelCami_data() {
    QTest::addColumn<bool>("arrel");
    QTest::newRow("arrel d'una unitat, sense separador afegit") << true;
    QTest::newRow("altre directori, amb un separador") << false;
}

void TestFrmFitxerCrear::unioDelCami() {
    QFETCH(bool, arrel);
    m_fs->unitatsFalses = QStringList{u"/"_qs, m_unitats->a};
    m_dialeg.reset();
    crea();
    auto* unitats = control<LlistaUnitats>(u"drvDiscDestí"_qs);
    unitats->setCurrentIndex(unitats->findText(arrel ? u"/"_qs : m_unitats->a));
    if (arrel)
        triaDirectori(u"/"_qs);  // the root itself, wherever the drive stood
    QCOMPARE(control<LlistaDirectoris>(u"dirDirectoriDestí"_qs)->path(),
             arrel ? u"/"_qs : m_unitats->a + u"/classe"_qs);
    control<QLineEdit>(u"txtNomFitxer"_qs)->setText(u"nou.dat"_qs);
    QTest::mouseClick(control(u"cmdDacord"_qs), Qt::LeftButton);
    QCOMPARE(m_noms.NomFitxerNou, arrel ? u"/nou.dat"_qs : m_unitats->a + u"/classe/nou.dat"_qs);
}

void TestFrmFitxerCrear::lesMajusculesCompten() {
    control<QLineEdit>(u"txtNomFitxer"_qs)->setText(u"ALUMNES"_qs);
    QTest::mouseClick(control(u"cmdDacord"_qs), Qt::LeftButton);
    QVERIFY(m_missatges.mostrats.isEmpty());
    QVERIFY(QFileInfo::exists(m_unitats->a + u"/classe/alumnes"_qs));
    QCOMPARE(m_noms.NomFitxerNou, m_unitats->a + u"/classe/ALUMNES"_qs);
}

void TestFrmFitxerCrear::unNomLlistatPreguntaSiSEsborra_data() {
    QTest::addColumn<Resposta>("resposta");
    QTest::newRow("Sí: s'esborra abans de tancar") << Resposta::Si;
    QTest::newRow("No: es conserva") << Resposta::No;
}

void TestFrmFitxerCrear::unNomLlistatPreguntaSiSEsborra() {
    QFETCH(Resposta, resposta);
    const QString cami = m_unitats->a + u"/classe/alumnes"_qs;
    control<QLineEdit>(u"txtNomFitxer"_qs)->setText(u"alumnes"_qs);
    m_missatges.respostes = {resposta};
    QTest::mouseClick(control(u"cmdDacord"_qs), Qt::LeftButton);

    QCOMPARE(m_missatges.textos(), QStringList(u"Fitxer ja existent. L'esborro?"_qs));
    QCOMPARE(m_missatges.mostrats.first().botons, platform::Botons::SiNo);
    QCOMPARE(m_missatges.mostrats.first().icona, platform::Icona::Atura);
    QCOMPARE(m_missatges.mostrats.first().perDefecte, Resposta::No);
    if (resposta == Resposta::Si)
        QVERIFY(!QFileInfo::exists(cami));
    else
        QCOMPARE(proves::llegeixFitxer(cami), proves::bytesDe({{u"Berta"_qs}}));
    // Either way the path is handed back and the dialog closes.
    QCOMPARE(m_noms.NomFitxerNou, cami);
    QCOMPARE(m_dialeg->result(), int(QDialog::Accepted));
    QVERIFY(!m_dialeg->isVisible());
}

void TestFrmFitxerCrear::unEsborratQueFallaDeixaElDialegObert() {
    const QString cami = m_unitats->a + u"/classe/alumnes"_qs;
    control<QLineEdit>(u"txtNomFitxer"_qs)->setText(u"alumnes"_qs);
    m_missatges.respostes = {Resposta::Si};
    m_fs->falla(Operacio::Esborra);
    QTest::mouseClick(control(u"cmdDacord"_qs), Qt::LeftButton);

    QCOMPARE(m_missatges.textos(),
             QStringList({u"Fitxer ja existent. L'esborro?"_qs, u"Hi ha un error de disc"_qs}));
    // Its reason, the one the file system gave, is in the journal.
    QCOMPARE(m_diari.linies, QStringList(u"«Hi ha un error de disc»: fallada provocada"_qs));
    QCOMPARE(m_missatges.mostrats.last().botons, platform::Botons::Acceptar);
    QCOMPARE(m_missatges.mostrats.last().icona, platform::Icona::Cap);
    QVERIFY(m_dialeg->isVisible());
    QVERIFY(QFileInfo::exists(cami));
    QCOMPARE(m_noms.NomFitxerNou, cami);
    QCOMPARE(m_noms.NomFitxer, cami);
}

void TestFrmFitxerCrear::cancelarDespresDUnCanviDeDirectori() {
    triaDirectori(u"sub"_qs);
    QCOMPARE(QDir::currentPath(), m_unitats->a + u"/classe/sub"_qs);
    QCOMPARE(control<LlistaFitxers>(u"filLlistaFitxers"_qs)->noms(), QStringList());
    triaDirectori(m_unitats->a);
    QCOMPARE(control<LlistaFitxers>(u"filLlistaFitxers"_qs)->noms(),
             QStringList({u"Grup"_qs, u"Text1.bak"_qs}));
    QTest::mouseClick(control(u"cmdCancelar"_qs), Qt::LeftButton);
    QCOMPARE(m_noms.NomFitxerNou, QString());
    QCOMPARE(m_noms.NomFitxer, u"abans"_qs);
    QCOMPARE(QDir::currentPath(), m_unitats->a);
    QVERIFY(!m_dialeg->isVisible());
}

void TestFrmFitxerCrear::elsAltresTancamentsSonCancelar_data() {
    QTest::addColumn<int>("manera");
    QTest::newRow("Escape al nom") << 0;
    QTest::newRow("tancament de la finestra") << 1;
}

void TestFrmFitxerCrear::elsAltresTancamentsSonCancelar() {
    QFETCH(int, manera);
    if (manera == 0)
        QTest::keyClick(control(u"txtNomFitxer"_qs), Qt::Key_Escape);
    else
        m_dialeg->close();
    QCOMPARE(m_noms.NomFitxerNou, QString());
    QCOMPARE(m_dialeg->result(), int(QDialog::Rejected));
    QVERIFY(!m_dialeg->isVisible());
}

void TestFrmFitxerCrear::enterFaDacord() {
    auto* nom = control<QLineEdit>(u"txtNomFitxer"_qs);
    nom->clear();
    QTest::keyClicks(nom, u"grup2"_qs);
    QTest::keyClick(nom, Qt::Key_Return);
    QCOMPARE(m_noms.NomFitxerNou, m_unitats->a + u"/classe/grup2"_qs);
    QCOMPARE(m_dialeg->result(), int(QDialog::Accepted));
}

void TestFrmFitxerCrear::unCanviDeDiscQueFalla_data() {
    QTest::addColumn<QString>("inici");
    QTest::addColumn<bool>("desaElDiscB");
    QTest::addColumn<QStringList>("illegibles");
    QTest::addColumn<int>("disc");
    QTest::addColumn<QString>("directori");

    QTest::newRow("al disc desat, no al del directori actual")
        << u"A/classe"_qs << true << QStringList{u"C"_qs} << 1 << u"B"_qs;
    QTest::newRow("sense disc desat, al del directori actual")
        << u"B/curs"_qs << false << QStringList{u"C"_qs} << 1 << u"B/curs"_qs;
    QTest::newRow("sense disc desat ni directori actual, a l'arrel")
        << u"B/curs"_qs << false << QStringList{u"B/curs"_qs, u"C"_qs} << 0 << u"A/classe"_qs;
}

void TestFrmFitxerCrear::unCanviDeDiscQueFalla() {
    QFETCH(QString, inici);
    QFETCH(bool, desaElDiscB);
    QFETCH(QStringList, illegibles);
    QFETCH(int, disc);
    QFETCH(QString, directori);
    const QString arrel = QFileInfo(m_unitats->a).path() + u'/';

    QDir::setCurrent(arrel + inici);
    m_dialeg.reset();
    crea();
    auto* unitats = control<LlistaUnitats>(u"drvDiscDestí"_qs);
    if (desaElDiscB) {
        unitats->setCurrentIndex(1);
        control(u"dirDirectoriDestí"_qs)->setFocus();
        QCOMPARE(m_discAnterior, u"1"_qs);
        unitats->setCurrentIndex(0);
    }
    for (const QString& illegible : illegibles)
        m_fs->directorisIllegibles << arrel + illegible;

    unitats->setCurrentIndex(2);

    QCOMPARE(m_missatges.textos(), QStringList(u"Hi ha un error de disc"_qs));
    QCOMPARE(unitats->currentIndex(), disc);
    QCOMPARE(control<LlistaDirectoris>(u"dirDirectoriDestí"_qs)->path(), arrel + directori);
    QCOMPARE(QDir::currentPath(), arrel + directori);
    // The dialog goes on working where it landed.
    control<QLineEdit>(u"txtNomFitxer"_qs)->setText(u"x"_qs);
    QTest::mouseClick(control(u"cmdDacord"_qs), Qt::LeftButton);
    QCOMPARE(m_noms.NomFitxerNou, arrel + directori + u"/x"_qs);
}

void TestFrmFitxerCrear::unDirectoriQueNoEsPotObrirNoTancaRes() {
    m_fs->directorisIllegibles << m_unitats->a + u"/classe/sub"_qs;
    triaDirectori(u"sub"_qs);
    QCOMPARE(m_missatges.textos(), QStringList(u"Hi ha un error de disc"_qs));
    QCOMPARE(m_diari.linies, QStringList(u"«Hi ha un error de disc»: no hi ha disc"_qs));
    QCOMPARE(control<LlistaDirectoris>(u"dirDirectoriDestí"_qs)->path(),
             m_unitats->a + u"/classe"_qs);
    QCOMPARE(QDir::currentPath(), m_unitats->a + u"/classe"_qs);
    QVERIFY(m_dialeg->isVisible());
}

QTEST_MAIN(TestFrmFitxerCrear)
#include "tst_frm_fitxer_crear.moc"
