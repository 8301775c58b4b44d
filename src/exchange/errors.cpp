#include "exchange/errors.h"

#include "platform/crides_sistema.h"

namespace exchange {

QString descripcio(int error) {
    return platform::descripcio(error);
}

}  // namespace exchange
