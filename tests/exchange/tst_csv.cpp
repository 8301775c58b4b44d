#include "support/fitxers.h"
#include "support/intercanvi.h"

#include <QRandomGenerator>
#include <QTest>

using proves::Alumne;

Q_DECLARE_METATYPE(Alumne)

namespace {

QByteArray exporta(const QByteArray& registres, char separador = ';', bool ambMarca = true) {
    exchange::Opcions opcions{
        {u"separador"_qs, separador == '\t' ? u"tab"_qs : QString(QChar::fromLatin1(separador))}};
    if (!ambMarca)
        opcions[u"sense-bom"_qs] = QString();
    return proves::exportaEn(u"csv"_qs, registres, {{}, {}, opcions});
}

}  // namespace

// The spreadsheet's side of the student file: rows written as a spreadsheet opens them, and rows
// read the way spreadsheets and other programs save them.
class TestCsv : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void escriu_data();
    void escriu();
    void llegeix_data();
    void llegeix();
    void exportaIImportaTornenElMateixFitxer();
};

void TestCsv::escriu_data() {
    QTest::addColumn<Alumne>("alumne");
    QTest::addColumn<char>("separador");
    QTest::addColumn<QByteArray>("fila");
    QTest::newRow("sense farciment, accents en UTF-8")
        << Alumne{u"Núria Puig i Ferrà"_qs, u"Major, 12"_qs, u"17001"_qs, u"Girona"_qs} << ';'
        << QByteArray("N\xc3\xbaria Puig i Ferr\xc3\xa0;Major, 12;Girona;17001;\r\n");
    QTest::newRow("el separador i les cometes entre cometes")
        << Alumne{u"Jordi \"Jo\" Roca"_qs, u"Pl. Vila; 3"_qs} << ';'
        << QByteArray("\"Jordi \"\"Jo\"\" Roca\";\"Pl. Vila; 3\";;;\r\n");
    QTest::newRow("amb comes, la coma entre cometes")
        << Alumne{u"Anna"_qs, u"Major, 12"_qs} << ',' << QByteArray("Anna,\"Major, 12\",,,\r\n");
    QTest::newRow("espais del davant es queden")
        << Alumne{u"  Anna"_qs} << ';' << QByteArray("  Anna;;;;\r\n");
    QTest::newRow("buit") << Alumne{} << ';' << QByteArray(";;;;\r\n");
}

void TestCsv::escriu() {
    QFETCH(Alumne, alumne);
    QFETCH(char, separador);
    QFETCH(QByteArray, fila);
    const QByteArray capcalera = QString(u"Nom;Adreça;Població;Codi postal;Telèfon\r\n"_qs)
                                     .replace(u';', QChar::fromLatin1(separador))
                                     .toUtf8();
    QCOMPARE(exporta(proves::bytesDe({alumne}), separador), "\xEF\xBB\xBF" + capcalera + fila);
    QCOMPARE(exporta(proves::bytesDe({alumne}), separador, false), capcalera + fila);
}

void TestCsv::llegeix_data() {
    QTest::addColumn<QByteArray>("entrada");
    QTest::addColumn<QList<Alumne>>("alumnes");
    QTest::addColumn<QStringList>("avisos");
    QTest::addColumn<QString>("error");  // input refused whole, with its line
    const Alumne anna{u"Anna Puig"_qs, u"Major, 1"_qs, u"17001"_qs, u"Girona"_qs, u"972"_qs};
    QTest::newRow("capçalera en qualsevol ordre i forma, LF, comes")
        << QByteArray("TELEFON , codi postal,Població:,nom\n972,17001,Girona,Anna Puig\n")
        << QList<Alumne>{{u"Anna Puig"_qs, {}, u"17001"_qs, u"Girona"_qs, u"972"_qs}}
        << QStringList() << QString();
    QTest::newRow("sense capçalera, en l'ordre de l'exportació, tabuladors")
        << QByteArray("Anna Puig\tMajor, 1\tGirona\t17001\t972\r\n") << QList<Alumne>{anna}
        << QStringList() << QString();
    QTest::newRow("columnes desconegudes, un sol avís")
        << QByteArray("Nom;Curs;Email\nAnna;3r;a@b\nBerta;3r;b@c\n")
        << QList<Alumne>{{u"Anna"_qs}, {u"Berta"_qs}}
        << QStringList(u"columnes no usades: Curs, Email"_qs) << QString();
    QTest::newRow("camp entre cometes de dues línies i una tabulació: un espai per cada, dit")
        << QByteArray("Nom;Adreça\n\"Anna\";\"Major,\r\n1\"\n\"Berta\tRoca\";\n")
        << QList<Alumne>{{u"Anna"_qs, u"Major, 1"_qs}, {u"Berta Roca"_qs}}
        << QStringList{u"línia 2, Adreça: un salt de línia, canviat per un espai"_qs,
                       u"línia 4, Nom: una tabulació, canviada per un espai"_qs}
        << QString();
    QTest::newRow("Windows-1252, tallat i substituït, amb la línia")
        << QByteArray(
               "Nom;Adre\xe7"
               "a\nJos\xe9;Carrer de la Llarga Avinguda del Mig, 1\n")
        << QList<Alumne>{{u"José"_qs, u"Carrer de la Llarga Avinguda d"_qs}}
        << QStringList{u"l'entrada no és UTF-8: es llegeix com a Windows-1252"_qs,
                       u"línia 2, Adreça: tallada a 30 caràcters"_qs}
        << QString();
    QTest::newRow("caràcter sense lloc")
        << QByteArray("Nom\nŁukasz\n") << QList<Alumne>{{u"?ukasz"_qs}}
        << QStringList(
               u"línia 2, Nom: caràcters que Windows-1252 no "
               u"té, desats com a «?»"_qs)
        << QString();
    QTest::newRow("files buides entre alumnes es queden, les del final no")
        << QByteArray("Nom;Adreça\nAnna;\n;\nBerta;\n;\n;\n")
        << QList<Alumne>{{u"Anna"_qs}, {}, {u"Berta"_qs}} << QStringList() << QString();
    QTest::newRow("cometes sense tancar")
        << QByteArray("Nom\nAnna\n\"Berta\nCarla\n") << QList<Alumne>() << QStringList()
        << u"línia 3: unes cometes que no es tanquen mai"_qs;
    QTest::newRow("una columna sense nom a la capçalera, o més enllà, es deixa i es diu")
        << QByteArray("Nom;;Adreça\nAnna;nota;Major\nBerta;;Major;1;x\nCarla;altra;\n")
        << QList<Alumne>{{u"Anna"_qs, u"Major"_qs}, {u"Berta"_qs, u"Major"_qs}, {u"Carla"_qs}}
        << QStringList{u"columna B: no té nom a la capçalera, no s'importa"_qs,
                       u"columna D: no té nom a la capçalera, no s'importa"_qs,
                       u"columna E: no té nom a la capçalera, no s'importa"_qs}
        << QString();
    QTest::newRow("=\"08001\" és el text 08001, sense esmenes de nombre")
        << QByteArray(
               "Nom,CP,Telèfon\n=\"Anna\",=\"08001\",=\"1E5\"\nBerta,=\"8001\",\"=\"\"x\"\"\"\n")
        << QList<Alumne>{{u"Anna"_qs, {}, u"08001"_qs, {}, u"1E5"_qs},
                         {u"Berta"_qs, {}, u"8001"_qs, {}, u"x"_qs}}
        << QStringList() << QString();
    QTest::newRow("un alumne dues vegades a l'entrada es diu, i s'afegeix")
        << QByteArray("Nom\nPuig Ferrer, Joan\nAnna\nPUIG FERRER,  JOAN\nÀnna\n")
        << QList<Alumne>{{u"Puig Ferrer, Joan"_qs},
                         {u"Anna"_qs},
                         {u"PUIG FERRER,  JOAN"_qs},
                         {u"Ànna"_qs}}
        << QStringList{u"línia 4: «PUIG FERRER,  JOAN» ja surt a la línia 2"_qs,
                       u"línia 5: «Ànna» ja surt a la línia 3"_qs}
        << QString();
    // "CSV (MS-DOS)" and "CSV (Macintosh)": the code page whose header names the columns.
    QTest::newRow("MS-DOS 850, per la capçalera")
        << QByteArray(
               "Nom;Adre\x87"
               "a;Poblaci\xA2\nN\xA3ria Mart\xA1;Pla\x87"
               "a;Vic\n")
        << QList<Alumne>{{u"Núria Martí"_qs, u"Plaça"_qs, {}, u"Vic"_qs}}
        << QStringList(u"l'entrada no és UTF-8: es llegeix com a MS-DOS 850"_qs) << QString();
    QTest::newRow("Mac Roman, per la capçalera")
        << QByteArray(
               "Nom,Adre\x8D"
               "a,Tel\x8F"
               "fon\rN\x9C"
               "ria,Pla\x8D"
               "a,93\r")
        << QList<Alumne>{{u"Núria"_qs, u"Plaça"_qs, {}, {}, u"93"_qs}}
        << QStringList(u"l'entrada no és UTF-8: es llegeix com a Mac Roman"_qs) << QString();
    QTest::newRow("un byte que Windows-1252 no té, sense capçalera: MS-DOS 850")
        << QByteArray("M\x81ller;Major\n") << QList<Alumne>{{u"Müller"_qs, u"Major"_qs}}
        << QStringList(u"l'entrada no és UTF-8: es llegeix com a MS-DOS 850"_qs) << QString();
    QTest::newRow("una línia de total al final no és cap alumne")
        << QByteArray("Nom;CP\nAnna;08001\nBerta;17001\nTotal alumnes: 2;\n;\n")
        << QList<Alumne>{{u"Anna"_qs, {}, u"08001"_qs}, {u"Berta"_qs, {}, u"17001"_qs}}
        << QStringList(u"línia 4: «Total alumnes: 2» és una línia de total: no s'importa"_qs)
        << QString();
    QTest::newRow("una línia que comença per Total amb alumnes després sí que ho és")
        << QByteArray("Nom\nTotalment Nova\nTotal\n\nZoe\n")
        << QList<Alumne>{{u"Totalment Nova"_qs}, {u"Total"_qs}, {u"Zoe"_qs}} << QStringList()
        << QString();
    QTest::newRow("la capçalera sota un membret de dotze línies")
        << QByteArray("Escola\n\n\n\n\n\n\n\n\n\n\nCurs 2026\nNom;Telèfon\nAnna;600\n")
        << QList<Alumne>{{u"Anna"_qs, {}, {}, {}, u"600"_qs}}
        << QStringList(u"línies 1 i 12: abans de la capçalera, no s'importen"_qs) << QString();
    QTest::newRow("línies acabades en CR sol, amb la línia de cada problema")
        << QByteArray("Nom;Adreça\rAnna;Carrer de la Llarga Avinguda del Mig, 1\r\"Berta\rB\";\r")
        << QList<Alumne>{{u"Anna"_qs, u"Carrer de la Llarga Avinguda d"_qs}, {u"Berta B"_qs}}
        << QStringList{u"línia 2, Adreça: tallada a 30 caràcters"_qs,
                       u"línia 3, Nom: un salt de línia, canviat per un espai"_qs}
        << QString();
    QTest::newRow("una cometa que no es tanca, després d'un camp de dues línies en CR")
        << QByteArray("Nom\r\"Anna\rB\"\r\"Carla\r") << QList<Alumne>() << QStringList()
        << u"línia 4: unes cometes que no es tanquen mai"_qs;
    QTest::newRow("marca d'ordre fora, i una línia Windows-1252 entre línies UTF-8")
        << QByteArray("\xEF\xBB\xBFNom\nN\xc3\xbaria\nJos\xe9\n")
        << QList<Alumne>{{u"Núria"_qs}, {u"José"_qs}}
        << QStringList(
               u"la línia 3 no és UTF-8: es llegeix com a Windows-1252, i les altres com a UTF-8"_qs)
        << QString();
    QTest::newRow("una línia de més d'1 MiB")
        << QByteArray("Nom\nAnna\n") + QByteArray((1 << 20) + 10, 'x') + "\n"
        << QList<Alumne>() << QStringList()
        << u"línia 3: passa d'1 MiB, i cap fila d'alumne no en fa tant"_qs;
    // The school office's lists.
    QTest::newRow("nom i cognoms separats, CP i municipi, un codi postal de quatre xifres")
        << QByteArray("Nom;Primer cognom;Segon cognom;CP;Municipi\nJoan;Puig;Ferrer;8001;Vic\n")
        << QList<Alumne>{{u"Puig Ferrer, Joan"_qs, {}, u"08001"_qs, u"Vic"_qs}}
        << QStringList(u"línia 2, Codi postal: 8001 completat com 08001"_qs) << QString();
    QTest::newRow("en castellà, els cognoms abans del nom")
        << QByteArray(
               "Apellido 1;Apellido 2;Nombre;Dirección;Código postal;Población;Teléfono\n"
               "Puig;Ferrer; Joan ;Major, 1;17001;Olot;600\n")
        << QList<Alumne>{{u"Puig Ferrer, Joan"_qs, u"Major, 1"_qs, u"17001"_qs, u"Olot"_qs,
                          u"600"_qs}}
        << QStringList() << QString();
    QTest::newRow("títol a sobre, columnes que no es fan servir, noms mal escrits")
        << QByteArray(
               "Llista de 3r B;;\n;;\nCognoms;Nom;DNI;Codi  postal:;Tel.;Correu\n"
               "Puig Ferrer;Joan;1234X;25001;973;j@x\n")
        << QList<Alumne>{{u"Puig Ferrer, Joan"_qs, {}, u"25001"_qs, {}, u"973"_qs}}
        << QStringList{u"línies 1 i 2: abans de la capçalera, no s'importen"_qs,
                       u"columnes no usades: DNI, Correu"_qs}
        << QString();
    QTest::newRow("la línia sep= d'Excel tria el separador i no és cap fila")
        << QByteArray("sep=;\r\nNom;Adreça\r\nPuig, Joan;Major, 1\r\n")
        << QList<Alumne>{{u"Puig, Joan"_qs, u"Major, 1"_qs}} << QStringList() << QString();
    QTest::newRow("sense capçalera, una població curta no es barreja amb el codi postal")
        << QByteArray("Anna Puig;Major, 1;Vic;08500;600\n")
        << QList<Alumne>{{u"Anna Puig"_qs, u"Major, 1"_qs, u"08500"_qs, u"Vic"_qs, u"600"_qs}}
        << QStringList() << QString();
    QTest::newRow("una llista d'una sola columna")
        << QByteArray("Alumne\nAnna Puig\nBerta Roca\n")
        << QList<Alumne>{{u"Anna Puig"_qs}, {u"Berta Roca"_qs}} << QStringList() << QString();
    QTest::newRow("un telèfon en forma exponencial es deixa buit")
        << QByteArray("Nom;Telèfon\nAnna;3.50E+10\n") << QList<Alumne>{{u"Anna"_qs}}
        << QStringList(
               u"línia 2, Telèfon: 3.50E+10 és un nombre en forma exponencial, que ha "
               u"perdut xifres: es deixa buit"_qs)
        << QString();
    QTest::newRow("una columna dues vegades")
        << QByteArray("Nom;Telèfon;Mòbil\nAnna;600;700\n") << QList<Alumne>() << QStringList()
        << u"línia 1: les columnes Telèfon i Mòbil (B i C) diuen el mateix; deixeu-ne només una"_qs;
    // Encodings.
    QTest::newRow("UTF-16 LE amb marca d'ordre")
        << QByteArray("\xFF\xFEN\0o\0m\0\n\0J\0o\0s\0\xE9\0\n\0", 20) << QList<Alumne>{{u"José"_qs}}
        << QStringList() << QString();
    QTest::newRow("UTF-16 BE sense marca, pels zeros")
        << QByteArray("\0N\0o\0m\0\r\0\n\0N\0\xFA\0r\0i\0\x61\0\r\0\n", 24)
        << QList<Alumne>{{u"Núria"_qs}} << QStringList() << QString();
    QTest::newRow("més de 32767 alumnes")
        << QByteArray("Nom\n") + QByteArray("x\n").repeated(32768) << QList<Alumne>()
        << QStringList() << u"línia 32769: més de 32767 alumnes, que és el màxim d'un fitxer"_qs;
}

void TestCsv::llegeix() {
    QFETCH(QByteArray, entrada);
    QFETCH(QList<Alumne>, alumnes);
    QFETCH(QStringList, avisos);
    QFETCH(QString, error);
    const proves::Importacio llegit = proves::importaBytes(entrada);
    QCOMPARE(llegit.error, error);
    if (!error.isEmpty())
        return;
    QByteArray esperats;
    for (const Alumne& alumne : alumnes)
        esperats += proves::registre(alumne).bytes();
    QCOMPARE(llegit.registres, esperats);
    QCOMPARE(llegit.nombre, alumnes.size());
    QCOMPARE(llegit.avisos, avisos);
}

// Any file whose last record is not blank and whose fields hold no control characters comes back
// byte for byte, with every separator and with or without the mark.
void TestCsv::exportaIImportaTornenElMateixFitxer() {
    QRandomGenerator atzar(7);
    QByteArray permesos;
    for (int b = 0x20; b < 0x100; ++b) {
        if (b != 0x7F && b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D)
            permesos += char(b);
    }
    for (int prova = 0; prova < 200; ++prova) {
        QByteArray fitxer;
        const int registres = 1 + atzar.bounded(12);
        for (int r = 0; r < registres; ++r) {
            QByteArray registre(107, ' ');
            if (r == registres - 1 || atzar.bounded(4) > 0) {
                for (char& byte : registre) {
                    if (atzar.bounded(3) > 0)
                        byte = permesos[atzar.bounded(permesos.size())];
                }
                registre[0] = 'A';  // the last one is never blank
            }
            fitxer += registre;
        }
        const char separador = ";,\t"[prova % 3];
        const bool ambMarca = prova % 2 == 0;
        const proves::Importacio llegit =
            proves::importaBytes(exporta(fitxer, separador, ambMarca));
        QCOMPARE(llegit.registres, fitxer);
        QVERIFY(llegit.avisos.isEmpty());
        QVERIFY(llegit.error.isEmpty());
    }
}

QTEST_MAIN(TestCsv)
#include "tst_csv.moc"
