#pragma once

#include "exchange/errors.h"
#include "exchange/format.h"

#include <QByteArray>

namespace exchange {

// An input's rows as student records, in the order of its rows.
struct Importats {
    QByteArray registres;  // whole records, one after the other
    int nombre = 0;
};

// Takes rows whatever format gave them, by the record's rules: a first row that names any of the
// five columns (any letter case, with or without accents) is a header, else the columns are the
// export's order; each value is stored as the record stores it, and a value cut or with a
// character the code page lacks is reported with its line. Empty rows after the last student
// are dropped. Throws ErrorIntercanvi, with the line, for rows that cannot be taken whole.
Importats importaFiles(LectorFiles& lector, const Avisos& avisa);

}  // namespace exchange
