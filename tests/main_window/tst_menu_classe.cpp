#include "support/entorn.h"
#include "support/intercanvi.h"

#include <QFile>

using platform::Resposta;
using proves::alumneNumero;
using proves::Crida;
using proves::Entorn;
using proves::Operacio;

// The Classe menu: each item saves the record on screen first and stops when that save is given
// up; an export writes the command's bytes; an import, from a file or the clipboard, goes after
// the last student and can be undone while the file is as it left it.
class TestMenuClasse : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void exportaEscriuElQueEscriuLOrdre_data();
    void exportaEscriuElQueEscriuLOrdre();
    void exportaQueFallaNoSubstitueixRes();
    void capOrdreSenseDesarAbans_data();
    void capOrdreSenseDesarAbans();
    void importaIDesfes();
    void afegeix_data();
    void afegeix();
    void imprimeixLaLlistaDelFitxer();
};

namespace {

int pagines(const QByteArray& pdf) {
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "));
}

const QByteArray kDos = proves::bytesDe({alumneNumero(1), alumneNumero(2)});

// The window on a class of two, the first on screen with its name edited.
struct Classe : Entorn {
    QString cami;
    Classe() {
        cami = fitxer(u"3r B"_qs, kDos);
        obre(cami);
        control(u"txtNom"_qs)->setText(u"Editat"_qs);
    }
    QByteArray desats() const {
        return proves::bytesDe(
            {{u"Editat"_qs, u"Carrer 1"_qs, u"08001"_qs, u"Poble 1"_qs, u"930000001"_qs},
             alumneNumero(2)});
    }
};

}  // namespace

void TestMenuClasse::exportaEscriuElQueEscriuLOrdre_data() {
    QTest::addColumn<int>("filtre");   // left selected in the dialog
    QTest::addColumn<QString>("nom");  // as the user typed it
    QTest::addColumn<QString>("format");
    QTest::newRow("full de càlcul, el primer filtre") << -1 << u"3r B.xlsx"_qs << u"xlsx"_qs;
    QTest::newRow("OpenDocument") << 1 << u"3r B.ods"_qs << u"ods"_qs;
    QTest::newRow("CSV") << 2 << u"llista.csv"_qs << u"csv"_qs;
    QTest::newRow("vCard") << 3 << u"telefons.vcf"_qs << u"vcf"_qs;
    QTest::newRow("l'extensió escrita guanya al filtre") << 0 << u"llista.CSV"_qs << u"csv"_qs;
    QTest::newRow("una extensió que no és de cap format: el del filtre")
        << 2 << u"llista.txt"_qs << u"csv"_qs;
}

void TestMenuClasse::exportaEscriuElQueEscriuLOrdre() {
    QFETCH(int, filtre);
    QFETCH(QString, nom);
    QFETCH(QString, format);
    Classe e;
    e.dialegDesar.cami = e.temporal.filePath(nom);
    e.dialegDesar.filtre = filtre;

    e.finestra->Exporta();

    // Saved first, then written as `q2x7 exporta` writes it.
    QCOMPARE(proves::llegeixFitxer(e.cami), e.desats());
    QCOMPARE(proves::llegeixFitxer(e.dialegDesar.cami),
             proves::exportaEn(format, e.desats(), {u"3r B"_qs, QDate::currentDate()}));
    QCOMPARE(e.missatges.textos(), QStringList(u"S'han exportat 2 alumnes a «%1»."_qs.arg(nom)));
    // The first time the first filter, in the class's folder under its name; then the last one.
    QCOMPARE(e.dialegDesar.obert,
             std::pair(u"Full de càlcul (*.xlsx)"_qs, e.temporal.filePath(u"3r B.xlsx"_qs)));
    e.finestra->Exporta();
    if (filtre > 0)
        QVERIFY(e.dialegDesar.obert.second.endsWith(u"3r B."_qs + format));
}

// A file the user may not write stays as it was, and the box says why.
void TestMenuClasse::exportaQueFallaNoSubstitueixRes() {
    Classe e;
    const QString desti = e.fitxer(u"llista.csv"_qs, "vell");
    e.dialegDesar.cami = desti;
    e.crides.falla(Crida::Access, EACCES);

    e.finestra->Exporta();

    QCOMPARE(e.missatges.textos(),
             QStringList(
                 u"No s'ha exportat res: no es pot escriure a %1: no hi ha permís"_qs.arg(desti)));
    QCOMPARE(proves::llegeixFitxer(desti), QByteArray("vell"));
}

using Ordre = void (frmAlumnes::*)();
Q_DECLARE_METATYPE(Ordre)

// A save given up stops each item before its dialog; with no file open nothing happens at all.
void TestMenuClasse::capOrdreSenseDesarAbans_data() {
    QTest::addColumn<Ordre>("ordre");
    QTest::newRow("Exporta") << &frmAlumnes::Exporta;
    QTest::newRow("Importa") << &frmAlumnes::Importa;
    QTest::newRow("Enganxa alumnes") << &frmAlumnes::EnganxaAlumnes;
    QTest::newRow("Imprimeix") << &frmAlumnes::Imprimeix;
}

void TestMenuClasse::capOrdreSenseDesarAbans() {
    QFETCH(Ordre, ordre);
    Classe e;
    e.portaretalls.dades = "Anna\tMajor\n";
    e.dialegDesar.cami = e.temporal.filePath(u"x.csv"_qs);
    e.dialegObrir.cami = e.fitxer(u"nous.csv"_qs, "Nom\nAnna\n");
    e.sistemaFitxers.falla(Operacio::Escriu);
    e.missatges.respostes = {Resposta::No};
    const int obertures = e.dialegObrir.filtres.size();

    (e.finestra.get()->*ordre)();

    QCOMPARE(e.missatges.textos(), QStringList(u"No desat. Ho torno a intentar?"_qs));
    QCOMPARE(e.dialegDesar.obert, (std::pair<QString, QString>()));
    QCOMPARE(e.dialegObrir.filtres.size(), obertures);
    QVERIFY(e.caixaImportacio.mostrades.isEmpty() && e.impressio.titols.isEmpty());
    QCOMPARE(proves::llegeixFitxer(e.cami), kDos);

    e.finestra->Tancar();
    e.missatges.mostrats.clear();
    (e.finestra.get()->*ordre)();
    QVERIFY(e.missatges.mostrats.isEmpty() && e.impressio.titols.isEmpty());
}

// The rows go after a partial last record; the box names them and their notes; the window shows
// the first one; Desfés brings back the exact earlier bytes and the record that was on screen.
void TestMenuClasse::importaIDesfes() {
    Entorn e;
    const QByteArray abans = kDos + QByteArray(20, 'x');
    const QString cami = e.fitxer(u"3r B"_qs, abans);
    e.obre(cami);
    e.clica(u"cmdSegüent"_qs);
    e.dialegObrir.cami = e.fitxer(
        u"nous.csv"_qs, "Nom;Adreça\nCarla;Carrer de la Llarga Avinguda del Mig, 1\nDani;\n");
    e.caixaImportacio.desfes = true;
    QByteArray afegit;
    e.caixaImportacio.mentre = [&] {
        afegit = proves::llegeixFitxer(cami);
        QCOMPARE(e.etiqueta(), u"4"_qs);
        QCOMPARE(e.pantalla().first().trimmed(), u"Carla"_qs);
    };

    e.finestra->Importa();

    QCOMPARE(e.dialegObrir.filtres.last(),
             u"Fulls de càlcul i CSV (*.xlsx *.ods *.fods *.xls *.csv *.txt)|*.xlsx;*.ods;*.fods;"
             u"*.xls;*.csv;*.txt|Tots els "
             u"fitxers(*.*)|*.*"_qs);
    QCOMPARE(afegit, abans + QByteArray(87, ' ') +
                         proves::bytesDe(
                             {{u"Carla"_qs, u"Carrer de la Llarga Avinguda d"_qs}, {u"Dani"_qs}}));
    QCOMPARE(e.caixaImportacio.mostrades, QStringList(u"S'han afegit 2 alumnes."_qs));
    QCOMPARE(e.caixaImportacio.avisos, QStringList(u"línia 2, Adreça: tallada a 30 caràcters"_qs));
    QCOMPARE(e.caixaImportacio.ambDesfer, QList<bool>{true});
    QCOMPARE(proves::llegeixFitxer(cami), abans);
    QCOMPARE(e.etiqueta(), u"2"_qs);
    QCOMPARE(e.finestra->registreActual(), 2);
    QCOMPARE(e.finestra->numRegistres(), 2);  // 234 bytes count as 2, as when it was opened

    // Once something else has written the file, the undo would take that too: it is refused.
    e.caixaImportacio.mentre = [&] {
        QFile fitxer(cami);
        QVERIFY(fitxer.open(QIODevice::Append));
        fitxer.write(QByteArray(107, 'y'));
    };
    e.finestra->Importa();
    QCOMPARE(e.missatges.textos().last(),
             u"No es pot desfer la importació: el fitxer ha canviat des de llavors."_qs);
    QCOMPARE(proves::llegeixFitxer(cami).size(), 5 * 107 + 107);
}

// Rows from the clipboard, or from a file when the row says so, after the last student; a refused
// input adds nothing and says why.
void TestMenuClasse::afegeix_data() {
    QTest::addColumn<bool>("deFitxer");
    QTest::addColumn<QByteArray>("entrada");
    QTest::addColumn<QByteArray>("afegits");
    QTest::addColumn<QString>("missatge");
    QTest::newRow("cel·les d'un full, amb capçalera")
        << false << QByteArray("Telèfon\tNom\r\n600\tAnna Puig\r\n")
        << proves::bytesDe({{u"Anna Puig"_qs, {}, {}, {}, u"600"_qs}}) << QString();
    QTest::newRow("sense capçalera: l'ordre del CSV")
        << false << QByteArray("Anna Puig\tMajor, 1\tVic\t08500\t600\nBerta\n")
        << proves::bytesDe({{u"Anna Puig"_qs, u"Major, 1"_qs, u"08500"_qs, u"Vic"_qs, u"600"_qs},
                            {u"Berta"_qs}})
        << QString();
    QTest::newRow("buit") << false << QByteArray() << QByteArray()
                          << u"El porta-retalls no té cap fila d'alumnes."_qs;
    QTest::newRow("només cel·les buides")
        << false << QByteArray("\"\"\t\n\t\"\"\n") << QByteArray()
        << u"No s'ha importat res: no hi ha cap fila d'alumne."_qs;
    QTest::newRow("un fitxer refusat")
        << true << QByteArray("Nom\nAnna\n\"Berta\n") << QByteArray()
        << u"No s'ha importat res: línia 3: unes cometes que no es tanquen mai"_qs;
}

void TestMenuClasse::afegeix() {
    QFETCH(bool, deFitxer);
    QFETCH(QByteArray, entrada);
    QFETCH(QByteArray, afegits);
    QFETCH(QString, missatge);
    Classe e;
    if (deFitxer) {
        e.dialegObrir.cami = e.fitxer(u"dolent.csv"_qs, entrada);
        e.finestra->Importa();
    } else {
        e.portaretalls.dades = entrada;
        e.finestra->EnganxaAlumnes();
    }
    QCOMPARE(proves::llegeixFitxer(e.cami), e.desats() + afegits);
    QCOMPARE(e.missatges.textos(), missatge.isEmpty() ? QStringList() : QStringList(missatge));
    QCOMPARE(e.caixaImportacio.mostrades.size(), missatge.isEmpty() ? 1 : 0);
}

// The list drawn on the printer is the saved file's, the pages asked for.
void TestMenuClasse::imprimeixLaLlistaDelFitxer() {
    Classe e;
    e.finestra->Imprimeix();
    QCOMPARE(proves::llegeixFitxer(e.cami), e.desats());
    QCOMPARE(e.impressio.titols, QStringList(u"3r B"_qs));
    QVERIFY(e.impressio.pdf.startsWith("%PDF"));
    QCOMPARE(pagines(e.impressio.pdf), 1);

    // Of a longer class, only the pages asked for.
    QByteArray moltes;
    for (int i = 1; i <= 200; ++i)
        moltes += proves::registre(alumneNumero(i % 10)).bytes();
    e.obre(e.fitxer(u"gran"_qs, moltes));
    e.impressio.primera = 2;
    e.impressio.darrera = 3;
    e.finestra->Imprimeix();
    QCOMPARE(pagines(e.impressio.pdf), 2);
}

QTEST_MAIN(TestMenuClasse)
#include "tst_menu_classe.moc"
