// The readers and writers for the window's program: each call goes to the module, loaded the
// first time one is needed.
#include "exchange/errors.h"
#include "exchange/lectors.h"
#include "platform/modul.h"

namespace exchange {

namespace {

const Lectors& lectors() {
    static const Lectors* const carregats = [] {
        const auto simbol = reinterpret_cast<decltype(&q2x7_lectors)>(
            platform::simbolDelModul(Q2X7_MODUL_LECTORS, "q2x7_lectors"));
        return simbol ? simbol() : nullptr;
    }();
    if (!carregats)
        throw ErrorIntercanvi(QStringLiteral("no es troba %1, la part del programa que llegeix "
                                             "i escriu els fulls de càlcul i els CSV")
                                  .arg(QStringLiteral(Q2X7_MODUL_LECTORS)));
    return *carregats;
}

}  // namespace

std::unique_ptr<EscriptorAlumnes> escriptorCsv(QIODevice& sortida, const DadesExportacio& dades) {
    return lectors().deEscriptorCsv(sortida, dades);
}
std::unique_ptr<LectorFiles> lectorCsv(Entrada& entrada, const DadesImportacio& dades,
                                       const Avisos& avisa) {
    return lectors().deLectorCsv(entrada, dades, avisa);
}
std::unique_ptr<EscriptorAlumnes> escriptorXlsx(QIODevice& sortida, const DadesExportacio& dades) {
    return lectors().deEscriptorXlsx(sortida, dades);
}
std::unique_ptr<LectorFiles> lectorXlsx(Entrada& entrada, const DadesImportacio& dades,
                                        const Avisos& avisa) {
    return lectors().deLectorXlsx(entrada, dades, avisa);
}
bool esXlsx(Entrada& entrada) {
    return lectors().deEsXlsx(entrada);
}
std::unique_ptr<EscriptorAlumnes> escriptorOds(QIODevice& sortida, const DadesExportacio& dades) {
    return lectors().deEscriptorOds(sortida, dades);
}
std::unique_ptr<LectorFiles> lectorOds(Entrada& entrada, const DadesImportacio& dades,
                                       const Avisos& avisa) {
    return lectors().deLectorOds(entrada, dades, avisa);
}
bool esOds(Entrada& entrada) {
    return lectors().deEsOds(entrada);
}
std::unique_ptr<LectorFiles> lectorFods(Entrada& entrada, const DadesImportacio& dades,
                                        const Avisos& avisa) {
    return lectors().deLectorFods(entrada, dades, avisa);
}
bool esFods(Entrada& entrada) {
    return lectors().deEsFods(entrada);
}
std::unique_ptr<LectorFiles> lectorXls(Entrada& entrada, const DadesImportacio& dades,
                                       const Avisos& avisa) {
    return lectors().deLectorXls(entrada, dades, avisa);
}
bool esXls(Entrada& entrada) {
    return lectors().deEsXls(entrada);
}

}  // namespace exchange
