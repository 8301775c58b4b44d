#pragma once

#include <QString>

namespace record {

// The two paths both windows share: the open student file ("" when none is open) and the one
// the create-file dialog hands back ("" when cancelled).
struct NomsFitxer {
    QString NomFitxer;
    QString NomFitxerNou;
};

}  // namespace record
