#include "exchange/format.h"

#include <QFileInfo>

namespace exchange {

std::unique_ptr<EscriptorAlumnes> escriptorCsv(QIODevice&, const DadesExportacio&);
std::unique_ptr<LectorFiles> lectorCsv(Entrada&, const DadesImportacio&, const Avisos&);
std::unique_ptr<EscriptorAlumnes> escriptorVCard(QIODevice&, const DadesExportacio&);
// Drawn with the toolkit's graphics, which take longer to load than a CSV of a whole file takes
// to write: only the graphical program links it in, and elsewhere the row's writer is null.
[[gnu::weak]] std::unique_ptr<EscriptorAlumnes> escriptorPdf(QIODevice&, const DadesExportacio&);

std::span<const Format> formats() {
    static const Format kFormats[] = {
        {u"csv"_qs, u"csv"_qs, u"per a un full de càlcul i altres programes"_qs, false,
         escriptorCsv, lectorCsv},
        {u"vcf"_qs, u"vcf"_qs, u"per a un telèfon: vCard 3.0"_qs, false, escriptorVCard, nullptr},
        {u"pdf"_qs, u"pdf"_qs, u"la llista de la classe per imprimir"_qs, true, escriptorPdf,
         nullptr},
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

}  // namespace exchange
