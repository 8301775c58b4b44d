#include "record/recompte.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace record {

qint16 NombreDeRegistres(qint64 longitud, qint16 longRegistre) {
    if (longRegistre <= 0 || longitud < 0)
        throw std::invalid_argument("longitud de registre no vàlida");
    const double registres = std::nearbyint(double(longitud) / longRegistre);
    if (registres > std::numeric_limits<qint16>::max())
        throw std::overflow_error("massa registres");
    return static_cast<qint16>(registres);
}

}  // namespace record
