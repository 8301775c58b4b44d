#include "linia_ordres.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using namespace linia_ordres;

namespace {

template <class... F>
struct Sobrecarrega : F... {
    using F::operator()...;
};
template <class... F>
Sobrecarrega(F...) -> Sobrecarrega<F...>;

// " separador=tab sense-bom", in the order of their names.
QString descriu(const exchange::Opcions& opcions) {
    QStringList noms = opcions.keys();
    noms.sort();
    QString text;
    for (const QString& nom : noms)
        text += u' ' + nom + (opcions[nom].isEmpty() ? QString() : u'=' + opcions[nom]);
    return text;
}

// A request in a few words, so that a table row can say what it expects.
QString descriu(const Peticio& peticio) {
    return std::visit(Sobrecarrega{
                          [](const Finestra& f) { return u"finestra «%1»"_qs.arg(f.fitxer); },
                          [](const Ajuda& a) { return u"ajuda "_qs + a.text.section(u'\n', 0, 0); },
                          [](const Versio&) { return u"versió"_qs; },
                          [](const Exporta& e) {
                              return u"exporta «%1» a «%2» %3%4"_qs.arg(
                                  e.fitxer, e.sortida, e.format->nom, descriu(e.opcions));
                          },
                          [](const Importa& i) {
                              return u"importa «%1» a «%2»%3%4"_qs.arg(
                                  i.entrada, i.fitxer, i.afegeix ? u" afegint"_qs : QString(),
                                  descriu(i.opcions));
                          },
                          [](const ErrorDUs& e) { return u"ús: "_qs + e.problema; },
                      },
                      peticio);
}

}  // namespace

// The command line is read once, into what it asks for: every option form, operands and usage
// errors.
class TestLiniaOrdres : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void llegeix_data();
    void llegeix();
    void cadaFormatEsATotesLesLlistes();
};

void TestLiniaOrdres::llegeix_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("peticio");
    const auto fila = [](const char* nom, const QStringList& arguments, const QString& peticio) {
        QTest::newRow(nom) << arguments << peticio;
    };
    fila("res", {}, u"finestra «»"_qs);
    fila("un fitxer", {u"3r B"_qs}, u"finestra «3r B»"_qs);
    fila("un fitxer que comença amb guió, després de --", {u"--"_qs, u"-x"_qs},
         u"finestra «-x»"_qs);
    fila("dos fitxers", {u"a"_qs, u"b"_qs}, u"ús: sobra «b»: la finestra obre un sol fitxer"_qs);
    fila("opció desconeguda", {u"--bogus"_qs}, u"ús: opció desconeguda: --bogus"_qs);
    fila("-h", {u"-h"_qs}, u"ajuda Ús: q2x7 [FITXER]"_qs);
    fila("--version guanya a un fitxer", {u"x"_qs, u"--version"_qs}, u"versió"_qs);
    fila("exporta, a la sortida estàndard", {u"exporta"_qs, u"g"_qs}, u"exporta «g» a «» csv"_qs);
    fila("exporta a «-»", {u"exporta"_qs, u"g"_qs, u"-"_qs}, u"exporta «g» a «» csv"_qs);
    fila("exporta, el format per l'extensió", {u"exporta"_qs, u"g"_qs, u"Llista.PDF"_qs},
         u"exporta «g» a «Llista.PDF» pdf"_qs);
    fila("exporta a un full de càlcul", {u"exporta"_qs, u"g"_qs, u"3r B.xlsx"_qs},
         u"exporta «g» a «3r B.xlsx» xlsx"_qs);
    fila("exporta, --format ods", {u"exporta"_qs, u"--format"_qs, u"ODS"_qs, u"g"_qs},
         u"exporta «g» a «» ods"_qs);
    fila("exporta, --format=vcard guanya a l'extensió",
         {u"exporta"_qs, u"--format=vcard"_qs, u"g"_qs, u"l.csv"_qs},
         u"exporta «g» a «l.csv» vcf"_qs);
    fila("exporta, opcions repetides: la darrera",
         {u"exporta"_qs, u"--separador"_qs, u","_qs, u"g"_qs, u"--separador=tab"_qs,
          u"--sense-bom"_qs, u"--sense-bom"_qs},
         u"exporta «g» a «» csv sense-bom separador=tab"_qs);
    fila("exporta, -- deixa passar un nom amb guió",
         {u"exporta"_qs, u"--"_qs, u"-g"_qs, u"--format"_qs},
         u"ús: no se sap quin format vol dir l'extensió de --format (.xlsx, .ods, .csv, .vcf, "
         u".pdf); digueu-lo "
         u"amb --format"_qs);
    fila("exporta sense FITXER", {u"exporta"_qs}, u"ús: exporta: falta el FITXER d'alumnes"_qs);
    fila("exporta amb un operand de més", {u"exporta"_qs, u"a"_qs, u"b.csv"_qs, u"c"_qs},
         u"ús: exporta: sobra «c»"_qs);
    fila("exporta a un nom buit", {u"exporta"_qs, u"f"_qs, u""_qs},
         u"ús: exporta: la SORTIDA no pot ser un nom buit (per a la sortida estàndard, «-» o "
         u"res)"_qs);
    fila("exporta, extensió desconeguda", {u"exporta"_qs, u"f"_qs, u"l.doc"_qs},
         u"ús: no se sap quin format vol dir l'extensió de l.doc (.xlsx, .ods, .csv, .vcf, .pdf); "
         u"digueu-lo amb "
         u"--format"_qs);
    fila("exporta, format desconegut", {u"exporta"_qs, u"--format"_qs, u"doc"_qs, u"f"_qs},
         u"ús: format desconegut: doc"_qs);
    fila("exporta, --format sense valor", {u"exporta"_qs, u"f"_qs, u"--format"_qs},
         u"ús: falta el valor de --format"_qs);
    fila("exporta, separador desconegut", {u"exporta"_qs, u"--separador=|"_qs, u"f"_qs},
         u"ús: separador desconegut: | (, ; o tab)"_qs);
    fila("exporta --help", {u"exporta"_qs, u"f"_qs, u"--help"_qs},
         u"ajuda Ús: q2x7 exporta [opcions] FITXER [SORTIDA]"_qs);
    fila("importa", {u"importa"_qs, u"-"_qs, u"4t A"_qs}, u"importa «-» a «4t A»"_qs);
    fila("importa --afegeix al final, i el separador",
         {u"importa"_qs, u"n.csv"_qs, u"f"_qs, u"--separador"_qs, u";"_qs, u"--afegeix"_qs},
         u"importa «n.csv» a «f» afegint separador=;"_qs);
    fila("importa amb la codificació", {u"importa"_qs, u"--codificacio=850"_qs, u"a"_qs, u"f"_qs},
         u"importa «a» a «f» codificacio=850"_qs);
    fila("importa amb una codificació desconeguda",
         {u"importa"_qs, u"--codificacio"_qs, u"latin9"_qs, u"a"_qs, u"f"_qs},
         u"ús: codificació desconeguda: latin9 (utf-8, utf-16, windows-1252, 850 o mac)"_qs);
    fila("importa sense res", {u"importa"_qs},
         u"ús: importa: falten l'ENTRADA i el FITXER d'alumnes"_qs);
    fila("importa sense FITXER", {u"importa"_qs, u"x.csv"_qs},
         u"ús: importa: falta el FITXER d'alumnes"_qs);
    fila("importa amb un operand de més", {u"importa"_qs, u"a"_qs, u"b"_qs, u"c"_qs},
         u"ús: importa: sobra «c»"_qs);
    fila("importa no té --format", {u"importa"_qs, u"--format=csv"_qs, u"a"_qs, u"b"_qs},
         u"ús: opció desconeguda: --format=csv"_qs);
}

void TestLiniaOrdres::llegeix() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, peticio);
    QCOMPARE(descriu(linia_ordres::llegeix(arguments)), peticio);
}

// Every format of the table is in the lists a user meets that are not made from it: the
// completion (which reads the real program's help) and the manual page.
void TestLiniaOrdres::cadaFormatEsATotesLesLlistes() {
    QFile fitxer(QStringLiteral(Q2X7_PAGINA_MANUAL));
    QVERIFY(fitxer.open(QIODevice::ReadOnly));
    const QString manual = QString::fromUtf8(fitxer.readAll());
    QProcess bash;
    bash.start(u"bash"_qs, {u"-c"_qs,
                            u"source \"$0\"; COMP_WORDS=(\"$1\" exporta --format ''); "
                            u"COMP_CWORD=3; _q2x7; echo \"${COMPREPLY[*]}\""_qs,
                            QStringLiteral(Q2X7_COMPLECIO), QStringLiteral(Q2X7_PROGRAMA)});
    QVERIFY(bash.waitForFinished());
    QStringList escrits;
    for (const exchange::Format* format : exchange::formatsDExportacio())
        escrits << format->nom;
    QCOMPARE(QString::fromUtf8(bash.readAllStandardOutput()).simplified(), escrits.join(u' '));
    QVERIFY(manual.contains(u"format \" "_qs + escrits.join(u'|') + u'"'));
    for (const exchange::Format& format : exchange::formats()) {
        for (const QString& extensio : format.extensions)
            QVERIFY2(manual.contains(u'.' + extensio), qPrintable(extensio));
    }
}

QTEST_GUILESS_MAIN(TestLiniaOrdres)
#include "tst_linia_ordres.moc"
