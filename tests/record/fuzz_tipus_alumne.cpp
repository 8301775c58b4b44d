// Fuzz target: decoding a record and encoding it back, storing any text into each field, and the
// record count for any length. Any broken rule aborts.
#include "record/recompte.h"
#include "record/tipus_alumne.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>

using record::TipusAlumne;

namespace {

void exigeix(bool condicio) {
    if (!condicio)
        __builtin_trap();
}

// A record read from the file and written back unchanged keeps every byte.
void llegitIReescrit(const QByteArray& bytes) {
    const TipusAlumne llegit = TipusAlumne::deBytes(bytes);
    TipusAlumne reescrit;
    for (const auto& camp : record::kDisposicio)
        reescrit.posa(camp.camp, llegit.text(camp.camp));
    exigeix(reescrit.bytes() == llegit.bytes());
}

// Any text stays inside its field, leaves the others alone, and reads back as stored.
void textArbitrari(QStringView text) {
    for (const auto& camp : record::kDisposicio) {
        TipusAlumne alumne;
        alumne.posa(camp.camp, text);
        const QByteArray& bytes = alumne.bytes();
        exigeix(bytes.size() == TipusAlumne::kLongitud);
        const QByteArray fora =
            bytes.left(camp.desplacament) + bytes.mid(camp.desplacament + camp.amplada);
        exigeix(fora == QByteArray(fora.size(), ' '));
        const QString llegit = alumne.text(camp.camp);
        exigeix(llegit.size() == camp.amplada);
        TipusAlumne altra;
        altra.posa(camp.camp, llegit);
        exigeix(altra.bytes() == bytes);
    }
}

void recompte(qint64 longitud) {
    try {
        const qint16 registres = record::NombreDeRegistres(longitud, TipusAlumne::kLongitud);
        exigeix(longitud >= 0 && longitud < 3506123);
        exigeix(registres == qint16(std::lround(double(longitud) / TipusAlumne::kLongitud)));
    } catch (const std::overflow_error&) {
        exigeix(longitud >= 3506123);
    } catch (const std::invalid_argument&) {
        exigeix(longitud < 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dades, std::size_t mida) {
    const QByteArray bytes(reinterpret_cast<const char*>(dades), qsizetype(mida));
    llegitIReescrit(bytes.left(TipusAlumne::kLongitud));
    textArbitrari(
        QStringView(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2));
    qint64 longitud = 0;
    std::memcpy(&longitud, bytes.constData(), std::min<std::size_t>(mida, sizeof longitud));
    recompte(longitud);
    return 0;
}
