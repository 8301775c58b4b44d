#include "exchange/opcions_csv.h"

#include <QStringList>

namespace exchange {

namespace {

QString comprovaSeparador(const QString& valor) {
    return separadorDe(valor) ? QString()
                              : QStringLiteral("separador desconegut: %1 (, ; o tab)").arg(valor);
}

const QStringList kCodificacions = {u"utf-8"_qs, u"utf-16"_qs, u"windows-1252"_qs, u"850"_qs,
                                    u"mac"_qs};

QString comprovaCodificacio(const QString& valor) {
    return kCodificacions.contains(valor)
               ? QString()
               : QStringLiteral(
                     "codificació desconeguda: %1 (utf-8, utf-16, windows-1252, 850 o "
                     "mac)")
                     .arg(valor);
}

}  // namespace

std::optional<char> separadorDe(const QString& nom) {
    if (nom == u";"_qs || nom == u","_qs)
        return char(nom[0].unicode());
    if (nom == u"tab"_qs || nom == u"\t"_qs)
        return '\t';
    return std::nullopt;
}

std::span<const Opcio> opcionsCsvDExportacio() {
    static constexpr Opcio kOpcions[] = {
        {u"separador", u",|;|tab", u"el separador del CSV (per defecte «;»)", comprovaSeparador},
        {u"sense-bom", nullptr, u"el CSV sense marca d'ordre", nullptr},
    };
    return kOpcions;
}

std::span<const Opcio> opcionsCsvDImportacio() {
    static constexpr Opcio kOpcions[] = {
        {u"separador", u",|;|tab", u"el separador, si no s'ha de deduir de la primera línia",
         comprovaSeparador},
        {u"codificacio", u"utf-8|utf-16|windows-1252|850|mac",
         u"la codificació d'un CSV, si no s'ha de deduir (850 és el «CSV\n(MS-DOS)» dels fulls "
         u"de càlcul, i mac el «CSV (Macintosh)»)",
         comprovaCodificacio},
    };
    return kOpcions;
}

}  // namespace exchange
