#include "create_dialog/frm_fitxer_crear.h"
#include "create_dialog/llistes.h"
#include "support/entorn.h"
#include "support/unitats.h"

#include <QAction>
#include <QTimer>

#include <functional>

using create_dialog::frmFitxerCrear;
using platform::Resposta;
using proves::alumneNumero;
using proves::Operacio;
using proves::pantallaDe;

namespace {

// What the user does in the dialog once "&Crear" has shown it.
using AccioAlDialeg = std::function<void(frmFitxerCrear&)>;

AccioAlDialeg escriuIAccepta(const QString& nom) {
    return [nom](frmFitxerCrear& dialeg) {
        auto* caixa = dialeg.findChild<QLineEdit*>(u"txtNomFitxer"_qs);
        caixa->selectAll();
        QTest::keyClicks(caixa, nom);
        QTest::mouseClick(dialeg.findChild<QPushButton*>(u"cmdDacord"_qs), Qt::LeftButton);
    };
}

const AccioAlDialeg kCancela = [](frmFitxerCrear& dialeg) {
    QTest::mouseClick(dialeg.findChild<QPushButton*>(u"cmdCancelar"_qs), Qt::LeftButton);
};

}  // namespace

class TestCrear : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init();
    void cleanup();
    void cancelarTancaElFitxerINoObreRes();
    void unNomNouCreaUnFitxerBuit();
    void despresDUnFitxerDeCincElNouEnComptaZero();
    void siEsborraIElTornaACrearBuit();
    void noConservaIMostraElPrimerRegistre();
    void unPrimerRegistreConservatQueNoEsLlegeixNoEsTrepitja();
    void unaOberturaQueFallaAvisa();
    void acabarAmbElDialegObertNoCreaNiEsborra_data();
    void acabarAmbElDialegObertNoCreaNiEsborra();
    void elDialegRecordaElDiscDesatEntreVegades();

  private:
    void crear(const AccioAlDialeg& accio);

    std::unique_ptr<proves::Entorn> m_entorn;
    std::unique_ptr<proves::TresUnitats> m_unitats;
    QString m_classe;
};

void TestCrear::init() {
    m_entorn = std::make_unique<proves::Entorn>();
    m_unitats = std::make_unique<proves::TresUnitats>(m_entorn->sistemaFitxers);
    m_classe = m_unitats->a + u"/classe"_qs;
    m_entorn->finestra->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_entorn->finestra.get()));
}

void TestCrear::cleanup() {
    m_entorn.reset();
    m_unitats.reset();
}

void TestCrear::crear(const AccioAlDialeg& accio) {
    bool vist = false;
    QTimer::singleShot(0, [&] {
        auto* dialeg = qobject_cast<frmFitxerCrear*>(QApplication::activeModalWidget());
        if (!dialeg)
            return;
        vist = QTest::qWaitFor([dialeg] { return QApplication::activeWindow() == dialeg; });
        accio(*dialeg);
        // A dialog the action left open, behind a message, would hang the test.
        if (dialeg->isVisible())
            dialeg->reject();
    });
    m_entorn->finestra->findChild<QAction*>(u"mnuCrear"_qs)->trigger();
    QVERIFY(vist);
}

void TestCrear::cancelarTancaElFitxerINoObreRes() {
    const QString obert = m_entorn->fitxer(u"g"_qs, proves::bytesDe({alumneNumero(1)}));
    m_entorn->obre(obert);
    m_entorn->control(u"txtNom"_qs)->setText(u"Desat"_qs);

    crear(kCancela);

    QCOMPARE(m_entorn->noms.NomFitxer, QString());
    QCOMPARE(m_entorn->noms.NomFitxerNou, QString());
    QCOMPARE(proves::llegeixFitxer(obert).left(5), QByteArray("Desat"));
    QCOMPARE(m_entorn->pantalla(), QStringList(5, QString()));
    QCOMPARE(m_entorn->sistemaFitxers.crides(Operacio::Obre), 1);
    QVERIFY(m_entorn->missatges.mostrats.isEmpty());
}

void TestCrear::unNomNouCreaUnFitxerBuit() {
    crear(escriuIAccepta(u"3r A"_qs));

    const QString cami = m_classe + u"/3r A"_qs;
    QVERIFY(QFileInfo::exists(cami));
    QCOMPARE(QFileInfo(cami).size(), 0);
    QCOMPARE(m_entorn->noms.NomFitxer, cami);
    QCOMPARE(m_entorn->control(u"txtNomFitxer"_qs)->text(), cami);
    QCOMPARE(m_entorn->control(u"txtNomFitxer"_qs)->cursorPosition(), cami.size());
    QCOMPARE(m_entorn->etiqueta(), u"1"_qs);
    QCOMPARE(m_entorn->pantalla(), QStringList(5, QString()));
    QCOMPARE(m_entorn->finestra->numRegistres(), 0);
    QCOMPARE(m_entorn->finestra->registreActual(), 1);

    m_entorn->clica(u"cmdSegüent"_qs);
    QCOMPARE(m_entorn->etiqueta(), u"1"_qs);
    QCOMPARE(QFileInfo(cami).size(), 0);

    // The user types the first student and saves it.
    m_entorn->posaPantalla(alumneNumero(1));
    m_entorn->clica(u"cmdGravar"_qs);
    QCOMPARE(proves::llegeixFitxer(cami), proves::bytesDe({alumneNumero(1)}));
}

void TestCrear::despresDUnFitxerDeCincElNouEnComptaZero() {
    m_entorn->obre(m_entorn->fitxer(u"cinc"_qs, proves::bytesDe({alumneNumero(1)}).repeated(5)));
    m_entorn->clica(u"cmdÚltim"_qs);
    QCOMPARE(m_entorn->finestra->registreActual(), 5);

    crear(escriuIAccepta(u"buit"_qs));

    QCOMPARE(m_entorn->finestra->numRegistres(), 0);
    QCOMPARE(m_entorn->finestra->registreActual(), 1);
    QCOMPARE(m_entorn->etiqueta(), u"1"_qs);
}

void TestCrear::siEsborraIElTornaACrearBuit() {
    const QString cami = m_classe + u"/alumnes"_qs;
    m_entorn->missatges.respostes = {Resposta::Si};
    crear(escriuIAccepta(u"alumnes"_qs));

    QCOMPARE(m_entorn->missatges.textos(), QStringList(u"Fitxer ja existent. L'esborro?"_qs));
    QCOMPARE(QFileInfo(cami).size(), 0);
    QCOMPARE(m_entorn->noms.NomFitxer, cami);
    QCOMPARE(m_entorn->finestra->numRegistres(), 0);
    QCOMPARE(m_entorn->pantalla(), QStringList(5, QString()));
}

void TestCrear::noConservaIMostraElPrimerRegistre() {
    const QString cami = m_classe + u"/alumnes"_qs;
    m_entorn->missatges.respostes = {Resposta::No};
    crear(escriuIAccepta(u"alumnes"_qs));

    QCOMPARE(m_entorn->finestra->numRegistres(), 1);
    QCOMPARE(m_entorn->etiqueta(), u"1"_qs);
    QCOMPARE(m_entorn->control(u"txtNom"_qs)->text(), proves::ple(u"Berta"_qs, 45));
    // Saving now writes Berta back, not a blank screen over her.
    m_entorn->clica(u"cmdGravar"_qs);
    QCOMPARE(proves::llegeixFitxer(cami), proves::bytesDe({{u"Berta"_qs}}));
}

void TestCrear::unPrimerRegistreConservatQueNoEsLlegeixNoEsTrepitja() {
    const QString cami = m_classe + u"/alumnes"_qs;
    m_entorn->missatges.respostes = {Resposta::No, Resposta::No};
    m_entorn->sistemaFitxers.falla(Operacio::Llegeix);
    crear(escriuIAccepta(u"alumnes"_qs));

    QCOMPARE(m_entorn->missatges.textos(),
             QStringList({u"Fitxer ja existent. L'esborro?"_qs,
                          u"No llegit. Ho torno a intentar?"_qs, u"Hi ha hagut un error"_qs}));
    QCOMPARE(m_entorn->noms.NomFitxer, QString());
    m_entorn->clica(u"cmdGravar"_qs);
    m_entorn->finestra->Tancar();
    QCOMPARE(proves::llegeixFitxer(cami), proves::bytesDe({{u"Berta"_qs}}));
}

void TestCrear::acabarAmbElDialegObertNoCreaNiEsborra_data() {
    QTest::addColumn<bool>("ambLaPregunta");
    QTest::newRow("el diàleg al davant") << false;
    QTest::newRow("la pregunta d'esborrar al davant") << true;
}

void TestCrear::acabarAmbElDialegObertNoCreaNiEsborra() {
    QFETCH(bool, ambLaPregunta);
    const QString cami = m_classe + u"/alumnes"_qs;
    const QByteArray bytes = proves::llegeixFitxer(cami);
    m_entorn->missatges.mentre = [this] { m_entorn->finestra->Acabar(); };
    crear([&](frmFitxerCrear& dialeg) {
        if (ambLaPregunta) {
            escriuIAccepta(u"alumnes"_qs)(dialeg);  // the question answers No, as hidden
        } else {
            m_entorn->finestra->Acabar();
            QVERIFY(!dialeg.isVisible());
        }
    });
    QCOMPARE(m_entorn->missatges.textos(),
             ambLaPregunta ? QStringList(u"Fitxer ja existent. L'esborro?"_qs) : QStringList());
    QCOMPARE(proves::llegeixFitxer(cami), bytes);
    QVERIFY(!QFileInfo::exists(m_classe + u"/Text1"_qs));
    QCOMPARE(m_entorn->noms.NomFitxer, QString());
    QCOMPARE(m_entorn->sistemaFitxers.crides(Operacio::Obre), 0);
    QVERIFY(!m_entorn->finestra->isVisible());
}

void TestCrear::unaOberturaQueFallaAvisa() {
    m_entorn->sistemaFitxers.falla(Operacio::Obre);
    crear(escriuIAccepta(u"nou"_qs));

    QCOMPARE(m_entorn->missatges.textos(), QStringList(u"Hi ha hagut un error"_qs));
    QCOMPARE(m_entorn->missatges.mostrats.first().botons, platform::Botons::Acceptar);
    QCOMPARE(m_entorn->missatges.mostrats.first().icona, platform::Icona::Cap);
    // The dialog had already named the file; nothing is open on it.
    QCOMPARE(m_entorn->noms.NomFitxer, m_classe + u"/nou"_qs);
    QVERIFY(!QFileInfo::exists(m_classe + u"/nou"_qs));
}

void TestCrear::elDialegRecordaElDiscDesatEntreVegades() {
    crear([&](frmFitxerCrear& dialeg) {
        dialeg.findChild<QWidget*>(u"dirDirectoriDestí"_qs)->setFocus();  // saves drive A
        dialeg.findChild<QComboBox*>(u"drvDiscDestí"_qs)->setCurrentIndex(1);
        kCancela(dialeg);
    });
    QCOMPARE(QDir::currentPath(), m_unitats->b);

    m_entorn->sistemaFitxers.directorisIllegibles << m_unitats->c;
    QString tornaA;
    crear([&](frmFitxerCrear& dialeg) {
        auto* unitats = dialeg.findChild<QComboBox*>(u"drvDiscDestí"_qs);
        QCOMPARE(unitats->currentIndex(), 1);  // starts where the last showing left off
        unitats->setCurrentIndex(2);
        tornaA = unitats->currentText();
        kCancela(dialeg);
    });
    QCOMPARE(m_entorn->missatges.textos(), QStringList(u"Hi ha un error de disc"_qs));
    QCOMPARE(tornaA, m_unitats->a);
}

QTEST_MAIN(TestCrear)
#include "tst_crear.moc"
