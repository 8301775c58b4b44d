// The module the window's program loads: the readers and writers, under one symbol.
#include "exchange/lectors.h"

extern "C" [[gnu::visibility("default")]] const exchange::Lectors* q2x7_lectors() {
    using namespace exchange;
    static constexpr Lectors kLectors{escriptorCsv, lectorCsv,    escriptorXlsx, lectorXlsx,
                                      esXlsx,       escriptorOds, lectorOds,     esOds,
                                      lectorFods,   esFods,       lectorXls,     esXls};
    return &kLectors;
}
