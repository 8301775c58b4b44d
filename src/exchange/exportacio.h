#pragma once

#include "exchange/errors.h"
#include "exchange/format.h"
#include "platform/crides_sistema.h"

namespace exchange {

// Writes the records of the student file `fitxer` in `format` to `sortida`, a block at a time.
// Notes as they arise: the file held by the window (exported as it is saved), a partial last
// record, records past the last number an import can give back. Returns how many students
// (records that are not blank) were written. Throws ErrorIntercanvi.
int exportaAlumnes(const QString& fitxer, const Format& format, QIODevice& sortida,
                   const DadesExportacio& dades, platform::CridesSistema& crides,
                   const Avisos& avisa);

}  // namespace exchange
