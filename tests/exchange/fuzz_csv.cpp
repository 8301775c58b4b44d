// libFuzzer over the CSV reader: any input either is refused with a message or gives whole
// records, each field within its width, that read back as they were stored.
#include "exchange/camps.h"
#include "exchange/csv.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
    try {
        const exchange::CsvLlegit llegit = exchange::llegeixCsv(
            QByteArray(reinterpret_cast<const char*>(dades), qsizetype(mida)));
        if (llegit.registres.size() != qsizetype(llegit.nombre) * record::TipusAlumne::kLongitud)
            std::abort();
        for (qsizetype i = 0; i < llegit.registres.size(); i += record::TipusAlumne::kLongitud) {
            const auto alumne = record::TipusAlumne::deBytes(
                QByteArrayView(llegit.registres).sliced(i, record::TipusAlumne::kLongitud));
            for (const exchange::Columna& columna : exchange::kColumnes) {
                if (alumne.text(columna.camp).size() != record::disposicio(columna.camp).amplada)
                    std::abort();
            }
        }
    } catch (const exchange::ErrorIntercanvi&) {
    }
    return 0;
}
