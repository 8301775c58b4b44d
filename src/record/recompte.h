#pragma once

#include <QtGlobal>

namespace record {

// Records in a file of `longitud` bytes: the quotient rounded to the nearest whole number.
// Throws std::overflow_error when the count does not fit a record number (above 32767).
qint16 NombreDeRegistres(qint64 longitud, qint16 longRegistre);

}  // namespace record
