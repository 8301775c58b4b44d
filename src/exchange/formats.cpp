#include "exchange/entrada.h"
#include "exchange/errors.h"
#include "exchange/format.h"
#include "exchange/lectors.h"
#include "exchange/opcions_csv.h"

#include <QFileInfo>

namespace exchange {

std::unique_ptr<EscriptorAlumnes> escriptorVCard(QIODevice&, const DadesExportacio&);
// Drawn with the toolkit's graphics, which take longer to load than a CSV of a whole file takes
// to write: only the graphical program links it in, and elsewhere the row's writer is null.
[[gnu::weak]] std::unique_ptr<EscriptorAlumnes> escriptorPdf(QIODevice&, const DadesExportacio&);

namespace {

constexpr Inici kInicisCsv[] = {
    {"\xEF\xBB\xBF", u"un text UTF-8 amb marca d'ordre, com un CSV"},
    {"\xFF\xFE", u"un text UTF-16"},
    {"\xFE\xFF", u"un text UTF-16"},
};
constexpr Inici kInicisZip[] = {{"PK\x03\x04", u"un fitxer zip, com un full de càlcul"}};
constexpr Inici kInicisFods[] = {{"<?xml", u"un document XML, com un full de càlcul .fods"}};
constexpr Inici kInicisXls[] = {{"\xD0\xCF\x11\xE0", u"un full de càlcul .xls"}};
constexpr Inici kInicisVCard[] = {{"BEGIN:VCARD", u"una llista de contactes vCard"}};
constexpr Inici kInicisPdf[] = {{"%PDF", u"un PDF"}};
// Files no format here is, that an import is sometimes handed.
constexpr Inici kAltres[] = {
    {"\x89PNG", u"una imatge PNG"}, {"\xFF\xD8\xFF", u"una imatge JPEG"},
    {"GIF8", u"una imatge GIF"},    {"<!DOCTYPE html", u"una pàgina web"},
    {"<html", u"una pàgina web"},
};

bool comencaAmb(QByteArrayView primers, std::span<const Inici> inicis, QString& que) {
    for (const Inici& inici : inicis) {
        if (primers.startsWith(QByteArrayView(inici.bytes))) {
            que = QString::fromUtf16(inici.que);
            return true;
        }
    }
    return false;
}

}  // namespace

std::span<const Format> formats() {
    // The Save dialog lists the written ones in this order.
    static const Format kFormats[] = {
        {u"xlsx"_qs,
         {u"xlsx"_qs},
         {},
         u"Full de càlcul",
         u"full de càlcul (Excel, LibreOffice): per a una persona; cada cel·la és text",
         kInicisZip,
         {},
         {},
         esXlsx,
         false,
         escriptorXlsx,
         lectorXlsx},
        {u"ods"_qs,
         {u"ods"_qs},
         {},
         u"Full de càlcul OpenDocument",
         u"full de càlcul OpenDocument (LibreOffice), igual",
         kInicisZip,
         {},
         {},
         esOds,
         false,
         escriptorOds,
         lectorOds},
        {u"fods"_qs,
         {u"fods"_qs},
         {},
         u"Full de càlcul OpenDocument pla",
         nullptr,
         kInicisFods,
         {},
         {},
         esFods,
         false,
         nullptr,
         lectorFods},
        {u"xls"_qs,
         {u"xls"_qs},
         {},
         u"Full de càlcul d'abans del 2007",
         nullptr,
         kInicisXls,
         {},
         {},
         esXls,
         false,
         nullptr,
         lectorXls},
        {u"csv"_qs,
         {u"csv"_qs, u"txt"_qs},
         {},
         u"Text CSV",
         u"per a altres programes: UTF-8 amb marca d'ordre, «;», una fila per registre",
         kInicisCsv,
         opcionsCsvDExportacio(),
         opcionsCsvDImportacio(),
         nullptr,
         false,
         escriptorCsv,
         lectorCsv},
        {u"vcf"_qs,
         {u"vcf"_qs},
         {u"vcard"_qs},
         u"Contactes",
         u"per a un telèfon: vCard 3.0, una targeta per alumne",
         kInicisVCard,
         {},
         {},
         nullptr,
         false,
         escriptorVCard,
         nullptr},
        {u"pdf"_qs,
         {u"pdf"_qs},
         {},
         u"PDF",
         u"una llista de la classe per imprimir, A4 apaïsat",
         kInicisPdf,
         {},
         {},
         nullptr,
         true,
         escriptorPdf,
         nullptr},
    };
    return kFormats;
}

const Format* formatPerNom(const QString& nom) {
    const QString n = nom.toLower();
    for (const Format& format : formats()) {
        if (n == format.nom || format.alies.contains(n))
            return &format;
    }
    return nullptr;
}

const Format* formatPerExtensio(const QString& cami) {
    const QString extensio = QFileInfo(cami).suffix().toLower();
    for (const Format& format : formats()) {
        if (format.extensions.contains(extensio))
            return &format;
    }
    return nullptr;
}

std::vector<const Format*> formatsDExportacio() {
    std::vector<const Format*> escrits;
    for (const Format& format : formats()) {
        if (seNExporta(&format))
            escrits.push_back(&format);
    }
    return escrits;
}

QString filtreDExportacio(const Format& format) {
    return QStringLiteral("%1 (*.%2)")
        .arg(QString::fromUtf16(format.descripcio), format.extensions.front());
}

QString filtreDImportacio() {
    QStringList extensions;
    for (const Format& format : formats()) {
        if (format.lector) {
            for (const QString& extensio : format.extensions)
                extensions << u"*."_qs + extensio;
        }
    }
    return QStringLiteral("Fulls de càlcul i CSV (%1)|%2|Tots els fitxers(*.*)|*.*")
        .arg(extensions.join(u' '), extensions.join(u';'));
}

QString formatConegut(const QString& cami, QByteArrayView primers) {
    if (formatPerExtensio(cami))
        return QStringLiteral("un fitxer .%1").arg(QFileInfo(cami).suffix().toLower());
    QString que;
    for (const Format& format : formats()) {
        if (comencaAmb(primers, format.inicis, que))
            return que;
    }
    return QString();
}

const Format& formatDeLEntrada(Entrada& entrada) {
    // Its content, where that tells, before its name: a list saved under another's extension is
    // common.
    for (const Format& format : formats()) {
        if (format.lector && format.esDelFormat && format.esDelFormat(entrada))
            return format;
    }
    // What is no list at all is named, rather than refused by a CSV parser for its quotes.
    const QByteArrayView inici = entrada.inici(16);
    QString que;
    bool esUnAltre = comencaAmb(inici, kAltres, que);
    for (const Format& format : formats()) {
        if (!format.lector)
            esUnAltre = esUnAltre || comencaAmb(inici, format.inicis, que);
    }
    if (esUnAltre)
        throw ErrorIntercanvi(QStringLiteral("%1 sembla %2, no una llista d'alumnes: deseu-la "
                                             "com a .xlsx, .ods o CSV")
                                  .arg(entrada.nom(), que));
    // A spreadsheet's name on what is not one: text (a school program's "spreadsheet" is often a
    // CSV) is read as CSV; anything else, by its name's reader, which says what is wrong.
    const Format* perNom = formatPerExtensio(entrada.nom());
    if (perNom && perNom->lector && (!perNom->esDelFormat || entrada.inici(4096).contains('\0')))
        return *perNom;
    return *formatPerNom(u"csv"_qs);
}

}  // namespace exchange
