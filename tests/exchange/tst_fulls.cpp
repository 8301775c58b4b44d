#include "exchange/entrada.h"
#include "exchange/format.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <utility>
#include <vector>

namespace {

using Parts = std::vector<std::pair<QString, QByteArray>>;

// A zip of these parts, as a spreadsheet program packs one.
QByteArray zip(const Parts& parts) {
    QBuffer bytes;
    QuaZip arxiu(&bytes);
    if (!arxiu.open(QuaZip::mdCreate))
        qFatal("no es pot fer el zip");
    for (const auto& [nom, contingut] : parts) {
        QuaZipFile part(&arxiu);
        if (!part.open(QIODevice::WriteOnly, QuaZipNewInfo(nom)))
            qFatal("no es pot fer la part");
        part.write(contingut);
        part.close();
    }
    arxiu.close();
    return bytes.data();
}

const QByteArray kCapcaleraXml = R"(<?xml version="1.0" encoding="UTF-8"?>)";

// An .xlsx: its workbook's sheets (`<sheet>`s), their relationships and parts, and the workbook's
// own attributes.
struct Llibre {
    QByteArray fulls;       // <sheet .../> elements
    QByteArray relacions;   // <Relationship .../> elements
    Parts parts;            // the sheets' parts, under xl/
    QByteArray propietats;  // <workbookPr .../>, or nothing
};

QByteArray xlsx(const Llibre& llibre) {
    Parts parts{
        {u"_rels/.rels"_qs,
         kCapcaleraXml +
             R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)"},
        {u"xl/workbook.xml"_qs,
         kCapcaleraXml +
             R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)" +
             llibre.propietats + "<sheets>" + llibre.fulls + "</sheets></workbook>"},
        {u"xl/_rels/workbook.xml.rels"_qs,
         kCapcaleraXml +
             R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)" +
             llibre.relacions + "</Relationships>"},
    };
    for (const auto& [nom, contingut] : llibre.parts)
        parts.emplace_back(u"xl/"_qs + nom, contingut);
    return zip(parts);
}

QByteArray fullXlsx(const QByteArray& files, const QByteArray& despres = {}) {
    return kCapcaleraXml +
           R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" +
           files + "</sheetData>" + despres + "</worksheet>";
}

QByteArray relacio(const char* id, const char* tipus, const char* desti) {
    return QByteArray(R"(<Relationship Id=")") + id +
           R"(" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/)" +
           tipus + R"(" Target=")" + desti + R"("/>)";
}

// A workbook of one worksheet with these rows.
QByteArray xlsxDUnFull(const QByteArray& files, const QByteArray& despres = {},
                       const QByteArray& propietats = {}) {
    return xlsx({R"(<sheet name="Classe" sheetId="1" r:id="rId1"/>)",
                 relacio("rId1", "worksheet", "worksheets/sheet1.xml"),
                 {{u"worksheets/sheet1.xml"_qs, fullXlsx(files, despres)}},
                 propietats});
}

// An inline text cell.
QByteArray t(const char* ref, const char* text) {
    return QByteArray(R"(<c r=")") + ref + R"(" t="inlineStr"><is><t>)" + text + "</t></is></c>";
}

const QByteArray kFilaDeCapcalera =
    QByteArray(R"(<row r="1">)") + t("A1", "Nom") + t("B1", "Població") + "</row>";

// The content of an OpenDocument spreadsheet: these tables.
QByteArray contingutOds(const QByteArray& taules) {
    return kCapcaleraXml +
           R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" office:version="1.2"><office:automatic-styles><style:style style:name="ta2" style:family="table"><style:table-properties table:display="false"/></style:style></office:automatic-styles><office:body><office:spreadsheet>)" +
           taules + "</office:spreadsheet></office:body></office:document-content>";
}

QByteArray ods(const QByteArray& taules) {
    return zip({{u"mimetype"_qs, "application/vnd.oasis.opendocument.spreadsheet"},
                {u"content.xml"_qs, contingutOds(taules)}});
}

// A flat OpenDocument file: the same tables in one XML document.
QByteArray fods(const QByteArray& taules) {
    QByteArray document = contingutOds(taules);
    document.replace("office:document-content", "office:document");
    document.replace("office:version=\"1.2\"",
                     "office:version=\"1.2\" "
                     "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"");
    return document;
}

QByteArray c(const char* text) {
    return QByteArray("<table:table-cell office:value-type=\"string\"><text:p>") + text +
           "</text:p></table:table-cell>";
}

const QByteArray kTaulaAmagada =
    R"(<table:table table:name="Llistes" table:style-name="ta2"><table:table-row>)" + c("Sí") +
    "</table:table-row></table:table>";

QByteArray mostra(const char* nom) {
    QFile fitxer(QStringLiteral(QT_TESTCASE_SOURCEDIR "/exchange/mostres/") +
                 QString::fromUtf8(nom));
    if (!fitxer.open(QIODevice::ReadOnly))
        qFatal("falta la mostra %s", nom);
    return fitxer.readAll();
}

// What a reader gives of these bytes, read as the named format: each row as "line: cell|cell",
// without its empty cells at the end, the rows with nothing left out; then its notes; or its
// refusal.
QStringList llegeix(const QByteArray& bytes, const QString& format) {
    QStringList resultat;
    const exchange::Avisos avisa = [&](const QString& avis) { resultat << u"nota: "_qs + avis; };
    try {
        exchange::Entrada entrada(bytes, u"llista"_qs);
        const auto lector = exchange::formatPerNom(format)->lector(entrada, {}, avisa);
        QStringList files;
        while (const exchange::Fila* fila = lector->seguent()) {
            QStringList celles;
            for (qsizetype i = 0; i < fila->nombre; ++i)
                celles << fila->celles[std::size_t(i)];
            while (!celles.isEmpty() && celles.back().isEmpty())
                celles.removeLast();
            if (!celles.isEmpty())
                files << QStringLiteral("%1: %2").arg(fila->linia).arg(celles.join(u'|'));
        }
        resultat = files + resultat;
    } catch (const exchange::ErrorIntercanvi& error) {
        resultat << u"refusat: "_qs + error.missatge();
    }
    return resultat;
}

}  // namespace

// The spreadsheet readers on bytes made here, without the program: which sheet, where each cell
// goes, what a cell holds, and what is left out with a note.
class TestFulls : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void llegeix_data();
    void llegeix();
};

void TestFulls::llegeix_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("esperat");
    const auto fila = [](const char* nom, const QByteArray& bytes, const char* format,
                         const QStringList& esperat) {
        QTest::newRow(nom) << bytes << QString::fromUtf8(format) << esperat;
    };

    fila(
        "xlsx: el primer full amagat i un gràfic se salten, amb una nota",
        xlsx({R"(<sheet name="Llistes" sheetId="1" state="hidden" r:id="rId1"/>)"
              R"(<sheet name="Gràfic" sheetId="2" r:id="rId2"/>)"
              R"(<sheet name="Classe" sheetId="3" r:id="rId3"/>)",
              relacio("rId1", "worksheet", "worksheets/sheet1.xml") +
                  relacio("rId2", "chartsheet", "chartsheets/sheet1.xml") +
                  relacio("rId3", "worksheet", "worksheets/sheet2.xml"),
              {{u"worksheets/sheet1.xml"_qs, fullXlsx(R"(<row r="1">)" + t("A1", "Sí") + "</row>")},
               {u"worksheets/sheet2.xml"_qs, fullXlsx(kFilaDeCapcalera)}},
              {}}),
        "xlsx",
        {u"1: Nom|Població"_qs, u"nota: el full «Llistes» és amagat: no s'importa"_qs,
         u"nota: el full «Gràfic» no és de cel·les (un gràfic): no s'importa"_qs});
    fila("xlsx: sense cap full de cel·les visible, refusat",
         xlsx({R"(<sheet name="Llistes" sheetId="1" state="veryHidden" r:id="rId1"/>)",
               relacio("rId1", "worksheet", "worksheets/sheet1.xml"),
               {{u"worksheets/sheet1.xml"_qs, fullXlsx(kFilaDeCapcalera)}},
               {}}),
         "xlsx",
         {u"nota: el full «Llistes» és amagat: no s'importa"_qs,
          u"refusat: llista no es pot llegir com a un full de càlcul .xlsx: no té cap full de "
          u"cel·les visible"_qs});
    fila("xlsx: files i cel·les al seu lloc, sigui quin sigui l'ordre del fitxer",
         xlsxDUnFull(R"(<row r="3">)" + t("B3", "Reus") + t("A3", "Anna") + "</row>" +
                     kFilaDeCapcalera + R"(<row r="2">)" + t("C2", "x") + t("A2", "Joan") +
                     "</row>"),
         "xlsx", {u"1: Nom|Població"_qs, u"2: Joan||x"_qs, u"3: Anna|Reus"_qs});
    fila("xlsx: escapades _xHHHH_, i _x005F_ davant d'una que no ho és",
         xlsxDUnFull(R"(<row r="1">)" + t("A1", "Joan_x0009_Puig") +
                     t("B1", "C. Major_x000D__x000A_3") + t("C1", "a_x005F_x0009_b") + "</row>"),
         "xlsx", {u"1: Joan\tPuig|C. Major\r\n3|a_x0009_b"_qs});
    fila("xlsx: una data escrita (t=\"d\") i un text amb forma de nombre",
         xlsxDUnFull(R"(<row r="1"><c r="A1" t="d"><v>2023-03-15T00:00:00</v></c>)" +
                     t("B1", "1E5") + R"(<c r="C1"><v>8001</v></c></row>)"),
         "xlsx", {u"1: 15/03/2023|1E5|8001"_qs});
    fila(
        "xlsx: una data del llibre en el sistema de 1904",
        xlsx(
            {R"(<sheet name="Classe" sheetId="1" r:id="rId1"/>)",
             relacio("rId1", "worksheet", "worksheets/sheet1.xml") +
                 relacio("rId2", "styles", "styles.xml"),
             {{u"worksheets/sheet1.xml"_qs,
               fullXlsx(R"(<row r="1"><c r="A1" s="1"><v>43538</v></c></row>)")},
              {u"styles.xml"_qs,
               kCapcaleraXml +
                   R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="14"/></cellXfs></styleSheet>)"}},
             R"(<workbookPr date1904="1"/>)"}),
        "xlsx", {u"1: 15/03/2023"_qs});
    fila("xlsx: una cel·la combinada cap avall dona el valor a cada fila, amb una nota",
         xlsxDUnFull(kFilaDeCapcalera + R"(<row r="2">)" + t("A2", "Joan") + t("B2", "Vic") +
                         "</row>" + R"(<row r="3">)" + t("A3", "Anna") + "</row>" +
                         R"(<row r="4">)" + t("A4", "Pau") + "</row>",
                     R"(<mergeCells count="1"><mergeCell ref="B2:B4"/></mergeCells>)"),
         "xlsx",
         {u"1: Nom|Població"_qs, u"2: Joan|Vic"_qs, u"3: Anna|Vic"_qs, u"4: Pau|Vic"_qs,
          u"nota: columna B: «Vic», en una cel·la combinada de 3 files, es dona a cadascuna"_qs});
    fila("xlsx: les files amagades no es donen, amb una nota",
         xlsxDUnFull(kFilaDeCapcalera + R"(<row r="2" hidden="1">)" + t("A2", "Joan") + "</row>" +
                     R"(<row r="3">)" + t("A3", "Anna") + "</row>"),
         "xlsx",
         {u"1: Nom|Població"_qs, u"3: Anna"_qs, u"nota: 1 fila amagada del full: no s'importa"_qs});
    fila(
        "ods: la taula amagada se salta; una fila plegada i una cel·la combinada cap avall",
        ods(kTaulaAmagada + R"(<table:table table:name="Classe"><table:table-row>)" + c("Nom") +
            c("Població") + "</table:table-row><table:table-row>" + c("Joan") +
            R"(<table:table-cell office:value-type="string" table:number-rows-spanned="3"><text:p>Vic</text:p></table:table-cell>)"
            "</table:table-row><table:table-row table:visibility=\"collapse\">" +
            c("Amagat") + "</table:table-row><table:table-row>" + c("Anna") +
            "<table:covered-table-cell/></table:table-row></table:table>"),
        "ods",
        {u"1: Nom|Població"_qs, u"2: Joan|Vic"_qs, u"4: Anna|Vic"_qs,
         u"nota: el full «Llistes» és amagat: no s'importa"_qs,
         u"nota: columna B: «Vic», en una cel·la combinada de 3 files, es dona a cadascuna"_qs,
         u"nota: 1 fila amagada del full: no s'importa"_qs});
    fila("fods: el mateix contingut, pla",
         fods(kTaulaAmagada + R"(<table:table table:name="Classe"><table:table-row>)" + c("Nom") +
              "<table:table-cell office:value-type=\"float\" office:value=\"8001\"/>"
              "</table:table-row></table:table>"),
         "fods", {u"1: Nom|8001"_qs, u"nota: el full «Llistes» és amagat: no s'importa"_qs});
    fila("xls: el primer full amb capçalera, nombres, una data i un text 1E5", mostra("classe.xls"),
         "xls",
         {u"1: Nom|Codi postal|Població|Telèfon|Data"_qs,
          u"2: Núria\tPuig|8001|Girona|1E5|12/09/2024"_qs, u"3: Jordi Roca|17001|Olot|972123456"_qs,
          u"nota: el full «Llistes» no té cap capçalera d'alumnes: no s'importa"_qs});
    fila("xls: un fitxer malmès, refusat", mostra("malmes.xls"), "xls",
         {u"refusat: llista no es pot llegir com a un full de càlcul .xls: és malmès o tallat"_qs});
}

void TestFulls::llegeix() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, format);
    QFETCH(QStringList, esperat);
    QCOMPARE(::llegeix(bytes, format), esperat);
}

QTEST_GUILESS_MAIN(TestFulls)
#include "tst_fulls.moc"
