#include "support/entorn.h"

#include <QAction>
#include <QDir>

#include <sys/stat.h>

using platform::Resposta;
using proves::alumneNumero;
using proves::Entorn;
using proves::Operacio;
using proves::pantallaDe;

namespace {
const QString kErrorDisc = u"Hi ha un error de disc"_qs;

// Whether another holder could open the file now, i.e. our channel no longer holds it.
bool lliure(const QString& cami) {
    platform::SistemaFitxersReal altre;
    try {
        altre.obre(cami, 107);
        altre.tanca();
        return true;
    } catch (const platform::ErrorFitxer&) {
        return false;
    }
}
}  // namespace

class TestMenuFitxer : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init() { m_entorn = std::make_unique<Entorn>(); }
    void obrirMostraElPrimerRegistre();
    void obrirUnFitxerBuitDeixaElsCamps();
    void obrirTancaElFitxerAnteriorPassiQuePassi();
    void obrirSenseCamiAvisaINoDeixaResObert();
    void obrirUnFitxerInexistentEnUnDirectoriQueNoHiEs();
    void unFitxerQueNoEsPotComptarEsTanca_data();
    void unFitxerQueNoEsPotComptarEsTanca();
    void unPrimerRegistreNoLlegitTancaElFitxer();
    void elsBytesQueNoEsVeuenNoEsTrepitgen_data();
    void elsBytesQueNoEsVeuenNoEsTrepitgen();
    void obrirDesDeLaLiniaDOrdres_data();
    void obrirDesDeLaLiniaDOrdres();
    void tancarSenseFitxerNoFaRes();
    void tancarDesaNetejaITanca();
    void tancarAmbLaDesadaAbandonadaTancaIgualment();
    void tancarQueFallaAvisa();
    void sortirDesa_data();
    void sortirDesa();

  private:
    std::unique_ptr<Entorn> m_entorn;
};

void TestMenuFitxer::obrirMostraElPrimerRegistre() {
    const QString cami =
        m_entorn->fitxer(u"grup"_qs, proves::bytesDe({alumneNumero(1), alumneNumero(2)}));
    m_entorn->dialegObrir.cami = cami;
    m_entorn->finestra->findChild<QAction*>(u"mnuObrir"_qs)->trigger();

    QCOMPARE(m_entorn->dialegObrir.filtres, QStringList(u"Tots els fitxers(*.*)|*.*"_qs));
    QCOMPARE(m_entorn->noms.NomFitxer, cami);
    QLineEdit* nomFitxer = m_entorn->control(u"txtNomFitxer"_qs);
    QCOMPARE(nomFitxer->text(), cami);
    QCOMPARE(nomFitxer->cursorPosition(), cami.size());
    QCOMPARE(m_entorn->pantalla(), pantallaDe(alumneNumero(1)));
    QCOMPARE(m_entorn->etiqueta(), u"1"_qs);
    QCOMPARE(m_entorn->finestra->registreActual(), 1);
    QCOMPARE(m_entorn->finestra->numRegistres(), 2);
    QVERIFY(m_entorn->missatges.mostrats.isEmpty());
}

void TestMenuFitxer::obrirUnFitxerBuitDeixaElsCamps() {
    m_entorn->posaPantalla(alumneNumero(5));
    m_entorn->obre(m_entorn->fitxer(u"buit"_qs, {}));
    QCOMPARE(m_entorn->etiqueta(), u"1"_qs);
    QCOMPARE(m_entorn->control(u"txtNom"_qs)->text(), alumneNumero(5).nom);
    QCOMPARE(m_entorn->finestra->numRegistres(), 0);
    QCOMPARE(m_entorn->finestra->registreActual(), 1);
}

void TestMenuFitxer::obrirTancaElFitxerAnteriorPassiQuePassi() {
    const QString primer = m_entorn->fitxer(u"a"_qs, proves::bytesDe({alumneNumero(1)}));
    const QString segon = m_entorn->fitxer(u"b"_qs, proves::bytesDe({alumneNumero(2)}));
    m_entorn->obre(primer);
    m_entorn->control(u"txtNom"_qs)->setText(u"Editat"_qs);
    m_entorn->obre(segon);

    QCOMPARE(proves::llegeixFitxer(primer).left(6), QByteArray("Editat"));
    QVERIFY(lliure(primer));
    QCOMPARE(m_entorn->pantalla(), pantallaDe(alumneNumero(2)));
}

void TestMenuFitxer::obrirSenseCamiAvisaINoDeixaResObert() {
    const QString cami = m_entorn->fitxer(u"a"_qs, proves::bytesDe({alumneNumero(1)}));
    m_entorn->obre(cami);
    m_entorn->control(u"txtNom"_qs)->setText(u"Desat en tancar"_qs);
    m_entorn->obre(QString());  // the user cancelled the dialog

    QCOMPARE(m_entorn->missatges.textos(), QStringList(kErrorDisc));
    QCOMPARE(m_entorn->missatges.mostrats.first().botons, platform::Botons::Acceptar);
    QCOMPARE(m_entorn->missatges.mostrats.first().icona, platform::Icona::Cap);
    QCOMPARE(m_entorn->noms.NomFitxer, QString());
    QCOMPARE(m_entorn->control(u"txtNomFitxer"_qs)->text(), QString());
    QCOMPARE(proves::llegeixFitxer(cami).left(15), QByteArray("Desat en tancar"));
    QVERIFY(lliure(cami));
    QCOMPARE(m_entorn->pantalla(), QStringList(5, QString()));
}

void TestMenuFitxer::obrirUnFitxerInexistentEnUnDirectoriQueNoHiEs() {
    const QString cami = m_entorn->temporal.filePath(u"cap/dir/f"_qs);
    m_entorn->obre(cami);
    QCOMPARE(m_entorn->missatges.textos(), QStringList(kErrorDisc));
    // The name stays although nothing is open, so the buttons reach the retry question.
    QCOMPARE(m_entorn->noms.NomFitxer, cami);
    m_entorn->finestra->GravarPantalla();
    QCOMPARE(m_entorn->missatges.textos(),
             QStringList({kErrorDisc, u"No desat. Ho torno a intentar?"_qs, u"No desat"_qs}));
}

void TestMenuFitxer::unFitxerQueNoEsPotComptarEsTanca_data() {
    QTest::addColumn<int>("longitud");
    QTest::addColumn<bool>("fallaLaLongitud");
    QTest::newRow("massa llarg per comptar") << 3506123 << false;
    QTest::newRow("la longitud falla") << 214 << true;
}

void TestMenuFitxer::unFitxerQueNoEsPotComptarEsTanca() {
    QFETCH(int, longitud);
    QFETCH(bool, fallaLaLongitud);
    const QString petit =
        m_entorn->fitxer(u"petit"_qs, proves::bytesDe({alumneNumero(1)}).repeated(5));
    const QByteArray gran = QByteArray(longitud, 'g');
    const QString cami = m_entorn->fitxer(u"gran"_qs, gran);
    m_entorn->obre(petit);
    m_entorn->clica(u"cmdÚltim"_qs);
    if (fallaLaLongitud)
        m_entorn->sistemaFitxers.falla(Operacio::Longitud);

    m_entorn->obre(cami);

    QCOMPARE(m_entorn->missatges.textos(), QStringList(kErrorDisc));
    QCOMPARE(m_entorn->noms.NomFitxer, QString());
    QVERIFY(lliure(cami));
    // Nothing can now be written over a student of the long file.
    m_entorn->clica(u"cmdGravar"_qs);
    m_entorn->clica(u"cmdNou"_qs);
    m_entorn->finestra->Tancar();
    QCOMPARE(proves::llegeixFitxer(cami), gran);
    QCOMPARE(m_entorn->missatges.textos(), QStringList(kErrorDisc));
}

void TestMenuFitxer::unPrimerRegistreNoLlegitTancaElFitxer() {
    const QByteArray bytes = proves::bytesDe({alumneNumero(1), alumneNumero(2)});
    const QString cami = m_entorn->fitxer(u"g"_qs, bytes);
    m_entorn->posaPantalla(alumneNumero(9));
    m_entorn->sistemaFitxers.falla(Operacio::Llegeix);
    m_entorn->obre(cami);

    QCOMPARE(m_entorn->missatges.textos(),
             QStringList({u"No llegit. Ho torno a intentar?"_qs, kErrorDisc}));
    QCOMPARE(m_entorn->noms.NomFitxer, QString());
    QVERIFY(lliure(cami));
    // The screen still holds what was typed before: nothing may write it over student 1.
    m_entorn->clica(u"cmdGravar"_qs);
    m_entorn->clica(u"cmdSegüent"_qs);
    m_entorn->finestra->Tancar();
    QCOMPARE(proves::llegeixFitxer(cami), bytes);
}

void TestMenuFitxer::elsBytesQueNoEsVeuenNoEsTrepitgen_data() {
    QTest::addColumn<int>("longitud");
    QTest::addColumn<int>("registres");
    QTest::addColumn<QString>("nou");
    QTest::addColumn<bool>("unAltreNAfegeix");  // a program that ignores the lock appends one
    QTest::newRow("53 bytes, cap registre comptat") << 53 << 0 << u"2"_qs << false;
    QTest::newRow("160 bytes, el segon a mitges") << 160 << 1 << u"3"_qs << false;
    QTest::newRow("161 bytes, el segon a mitges però comptat") << 161 << 2 << u"3"_qs << false;
    QTest::newRow("un altre programa n'hi afegeix un") << 214 << 2 << u"4"_qs << true;
}

// A file that ends in part of a record: its bytes are shown before anything is saved over them,
// and "Nou" hands out a number past them.
void TestMenuFitxer::elsBytesQueNoEsVeuenNoEsTrepitgen() {
    QFETCH(int, longitud);
    QFETCH(int, registres);
    QFETCH(QString, nou);
    QFETCH(bool, unAltreNAfegeix);
    QByteArray bytes = proves::bytesDe({alumneNumero(1), alumneNumero(2)}).left(longitud);
    const QString cami = m_entorn->fitxer(u"g"_qs, bytes);
    m_entorn->posaPantalla(alumneNumero(9));
    m_entorn->obre(cami);
    QCOMPARE(m_entorn->finestra->numRegistres(), registres);
    if (unAltreNAfegeix) {
        bytes += proves::bytesDe({alumneNumero(3)});
        proves::escriuFitxer(cami, bytes);
        longitud = int(bytes.size());
    }
    QCOMPARE(m_entorn->etiqueta(), u"1"_qs);
    QCOMPARE(m_entorn->control(u"txtNom"_qs)->text(),
             proves::ple(alumneNumero(1).nom, 45).left(longitud));

    m_entorn->clica(u"cmdNou"_qs);
    QCOMPARE(m_entorn->etiqueta(), nou);
    m_entorn->posaPantalla(alumneNumero(5));
    m_entorn->finestra->Tancar();

    const QByteArray despres = proves::llegeixFitxer(cami);
    QCOMPARE(despres.left(longitud), bytes);
    QCOMPARE(despres.mid((nou.toInt() - 1) * 107), proves::bytesDe({alumneNumero(5)}));
    // Found by the save before Nou, and said once.
    QCOMPARE(m_entorn->missatges.textos(),
             unAltreNAfegeix
                 ? QStringList(u"Un altre programa ha canviat el fitxer: ara té 3 alumnes."_qs)
                 : QStringList());
}

void TestMenuFitxer::obrirDesDeLaLiniaDOrdres_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<bool>("obert");
    QTest::newRow("un fitxer d'alumnes") << u"grup"_qs << true;
    QTest::newRow("un fitxer que no hi és") << u"cap"_qs << false;
    QTest::newRow("un directori") << u"dir"_qs << false;
    QTest::newRow("una FIFO") << u"fifo"_qs << false;
    QTest::newRow("res") << QString() << false;
}

// A name given on the command line opens as Obrir opens the dialog's choice; anything but an
// existing regular file is a disk error, and nothing is created.
void TestMenuFitxer::obrirDesDeLaLiniaDOrdres() {
    QFETCH(QString, nom);
    QFETCH(bool, obert);
    const QString grup = m_entorn->fitxer(u"grup"_qs, proves::bytesDe({alumneNumero(1)}));
    QVERIFY(QDir(m_entorn->temporal.path()).mkdir(u"dir"_qs));
    const QString fifo = m_entorn->temporal.filePath(u"fifo"_qs);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString cami = nom.isEmpty() ? QString() : m_entorn->temporal.filePath(nom);
    const QStringList abans =
        QDir(m_entorn->temporal.path()).entryList(QDir::AllEntries | QDir::System);

    m_entorn->finestra->ObrirFitxer(cami);

    QCOMPARE(QDir(m_entorn->temporal.path()).entryList(QDir::AllEntries | QDir::System), abans);
    if (obert) {
        QVERIFY(m_entorn->missatges.mostrats.isEmpty());
        QCOMPARE(m_entorn->noms.NomFitxer, grup);
        QCOMPARE(m_entorn->control(u"txtNomFitxer"_qs)->text(), grup);
        QCOMPARE(m_entorn->pantalla(), pantallaDe(alumneNumero(1)));
        QCOMPARE(m_entorn->etiqueta(), u"1"_qs);
    } else {
        QCOMPARE(m_entorn->missatges.textos(), QStringList(kErrorDisc));
        QCOMPARE(m_entorn->noms.NomFitxer, QString());
        QCOMPARE(m_entorn->sistemaFitxers.crides(Operacio::Obre), 0);
    }
}

void TestMenuFitxer::tancarSenseFitxerNoFaRes() {
    m_entorn->posaPantalla(alumneNumero(1));
    m_entorn->finestra->findChild<QAction*>(u"mnuTancar"_qs)->trigger();
    QCOMPARE(m_entorn->pantalla(),
             QStringList({alumneNumero(1).nom, alumneNumero(1).adreca, alumneNumero(1).codiPostal,
                          alumneNumero(1).poblacio, alumneNumero(1).telefon}));
    QVERIFY(m_entorn->missatges.mostrats.isEmpty());
    QCOMPARE(m_entorn->sistemaFitxers.crides(Operacio::Tanca), 0);
}

void TestMenuFitxer::tancarDesaNetejaITanca() {
    const QString cami =
        m_entorn->fitxer(u"g"_qs, proves::bytesDe({alumneNumero(1), alumneNumero(2)}));
    m_entorn->obre(cami);
    m_entorn->control(u"txtPoblació"_qs)->setText(u"Girona"_qs);
    m_entorn->finestra->findChild<QAction*>(u"mnuTancar"_qs)->trigger();

    QCOMPARE(proves::llegeixFitxer(cami).mid(80, 15), QByteArray("Girona         "));
    QCOMPARE(m_entorn->pantalla(), QStringList(5, QString()));
    QCOMPARE(m_entorn->etiqueta(), QString());
    QCOMPARE(m_entorn->noms.NomFitxer, QString());
    QCOMPARE(m_entorn->control(u"txtNomFitxer"_qs)->text(), cami);
    QCOMPARE(m_entorn->finestra->registreActual(), 1);
    QCOMPARE(m_entorn->finestra->numRegistres(), 2);
    QVERIFY(lliure(cami));

    m_entorn->clica(u"cmdSegüent"_qs);
    QCOMPARE(m_entorn->pantalla(), QStringList(5, QString()));
}

void TestMenuFitxer::tancarAmbLaDesadaAbandonadaTancaIgualment() {
    const QString cami = m_entorn->fitxer(u"g"_qs, proves::bytesDe({alumneNumero(1)}));
    m_entorn->obre(cami);
    m_entorn->control(u"txtNom"_qs)->setText(u"Perdut"_qs);
    m_entorn->sistemaFitxers.falla(Operacio::Escriu);
    m_entorn->finestra->Tancar();
    QCOMPARE(m_entorn->missatges.textos(), QStringList(u"No desat. Ho torno a intentar?"_qs));
    QCOMPARE(m_entorn->noms.NomFitxer, QString());
    QCOMPARE(m_entorn->pantalla(), QStringList(5, QString()));
    QCOMPARE(proves::llegeixFitxer(cami), proves::bytesDe({alumneNumero(1)}));
}

void TestMenuFitxer::tancarQueFallaAvisa() {
    m_entorn->obre(m_entorn->fitxer(u"g"_qs, proves::bytesDe({alumneNumero(1)})));
    m_entorn->sistemaFitxers.falla(Operacio::Tanca);
    m_entorn->finestra->Tancar();
    QCOMPARE(m_entorn->missatges.textos(), QStringList(kErrorDisc));
    QCOMPARE(m_entorn->pantalla(), QStringList(5, QString()));
}

void TestMenuFitxer::sortirDesa_data() {
    QTest::addColumn<bool>("perElMenu");
    QTest::newRow("Sortir") << true;
    QTest::newRow("tancament de la finestra") << false;
}

void TestMenuFitxer::sortirDesa() {
    QFETCH(bool, perElMenu);
    const QString cami =
        m_entorn->fitxer(u"g"_qs, proves::bytesDe({alumneNumero(1), alumneNumero(2)}));
    m_entorn->finestra->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_entorn->finestra.get()));
    m_entorn->obre(cami);
    m_entorn->clica(u"cmdSegüent"_qs);
    m_entorn->control(u"txtTelèfon"_qs)->setText(u"977000000"_qs);

    if (perElMenu)
        m_entorn->finestra->findChild<QAction*>(u"mnuSortir"_qs)->trigger();
    else
        m_entorn->finestra->close();

    QVERIFY(!m_entorn->finestra->isVisible());
    QCOMPARE(proves::llegeixFitxer(cami).mid(107 + 95, 12), QByteArray("977000000   "));
    QVERIFY(lliure(cami));
    QVERIFY(m_entorn->missatges.mostrats.isEmpty());
}

QTEST_MAIN(TestMenuFitxer)
#include "tst_menu_fitxer.moc"
