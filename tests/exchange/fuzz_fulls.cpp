// libFuzzer over the spreadsheet readers: any input is either refused with a message or read
// into whole records; nothing else may happen (a crash, another exception, a sanitizer report).
#include "support/intercanvi.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
    const QByteArray bytes(reinterpret_cast<const char*>(dades), qsizetype(mida));
    for (const QString& format : {u"xlsx"_qs, u"ods"_qs, u"fods"_qs, u"xls"_qs}) {
        const proves::Importacio llegit = proves::importaBytes(bytes, {}, format);
        if (llegit.registres.size() != qsizetype(llegit.nombre) * 107)
            std::abort();
    }
    return 0;
}
