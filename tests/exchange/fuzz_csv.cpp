// libFuzzer over the CSV reader: any input is either refused with a message or read into whole
// records; nothing else may happen (a crash, another exception, a sanitizer report).
#include "exchange/camps.h"
#include "exchange/csv.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
    try {
        const exchange::CsvLlegit llegit =
            exchange::llegeixCsv(QByteArray(reinterpret_cast<const char*>(dades), qsizetype(mida)));
        if (llegit.registres.size() != qsizetype(llegit.nombre) * record::TipusAlumne::kLongitud)
            std::abort();
    } catch (const exchange::ErrorIntercanvi&) {
    }
    return 0;
}
