#include "exchange/entrada.h"
#include "exchange/errors.h"
#include "exchange/format.h"

#include <QFileInfo>

namespace exchange {

std::unique_ptr<EscriptorAlumnes> escriptorCsv(QIODevice&, const DadesExportacio&);
std::unique_ptr<LectorFiles> lectorCsv(Entrada&, const DadesImportacio&, const Avisos&);
std::unique_ptr<EscriptorAlumnes> escriptorXlsx(QIODevice&, const DadesExportacio&);
std::unique_ptr<LectorFiles> lectorXlsx(Entrada&, const DadesImportacio&, const Avisos&);
bool esXlsx(Entrada&);
std::unique_ptr<EscriptorAlumnes> escriptorOds(QIODevice&, const DadesExportacio&);
std::unique_ptr<LectorFiles> lectorOds(Entrada&, const DadesImportacio&, const Avisos&);
bool esOds(Entrada&);
std::unique_ptr<EscriptorAlumnes> escriptorVCard(QIODevice&, const DadesExportacio&);
// Drawn with the toolkit's graphics, which take longer to load than a CSV of a whole file takes
// to write: only the graphical program links it in, and elsewhere the row's writer is null.
[[gnu::weak]] std::unique_ptr<EscriptorAlumnes> escriptorPdf(QIODevice&, const DadesExportacio&);

std::span<const Format> formats() {
    static const Format kFormats[] = {
        {u"csv"_qs, u"csv"_qs, nullptr, false, escriptorCsv, lectorCsv},
        {u"xlsx"_qs, u"xlsx"_qs, esXlsx, false, escriptorXlsx, lectorXlsx},
        {u"ods"_qs, u"ods"_qs, esOds, false, escriptorOds, lectorOds},
        {u"vcf"_qs, u"vcf"_qs, nullptr, false, escriptorVCard, nullptr},
        {u"pdf"_qs, u"pdf"_qs, nullptr, true, escriptorPdf, nullptr},
    };
    return kFormats;
}

const Format* formatPerNom(const QString& nom) {
    const QString n = nom.toLower();
    for (const Format& format : formats()) {
        if (n == format.nom || (format.nom == u"vcf"_qs && n == u"vcard"_qs))
            return &format;
    }
    return nullptr;
}

const Format* formatPerExtensio(const QString& cami) {
    const QString extensio = QFileInfo(cami).suffix().toLower();
    for (const Format& format : formats()) {
        if (extensio == format.extensio)
            return &format;
    }
    return nullptr;
}

const Format& formatDeLEntrada(Entrada& entrada) {
    const Format* perNom = formatPerExtensio(entrada.nom());
    if (perNom && perNom->lector)
        return *perNom;
    for (const Format& format : formats()) {
        if (format.lector && format.esDelFormat && format.esDelFormat(entrada))
            return format;
    }
    // What is no list at all is named, rather than refused by a CSV parser for its quotes.
    struct Inici {
        const char* bytes;
        const char16_t* que;
    };
    static constexpr Inici kNoSonLlistes[] = {
        {"%PDF", u"un PDF"},
        {"\x89PNG", u"una imatge PNG"},
        {"\xFF\xD8\xFF", u"una imatge JPEG"},
        {"GIF8", u"una imatge GIF"},
        {"\xD0\xCF\x11\xE0", u"un document de l'Office d'abans del 2007 (un .xls o un .doc)"},
        {"BEGIN:VCARD", u"una llista de contactes vCard"},
    };
    const QByteArrayView inici = entrada.inici(16);
    for (const Inici& no : kNoSonLlistes) {
        if (inici.startsWith(QByteArrayView(no.bytes)))
            throw ErrorIntercanvi(QStringLiteral("%1 sembla %2, no una llista d'alumnes: deseu-la "
                                                 "com a .xlsx, .ods o CSV")
                                      .arg(entrada.nom(), QString::fromUtf16(no.que)));
    }
    return *formatPerNom(u"csv"_qs);
}

}  // namespace exchange
