#pragma once

#include <climits>

// Paths from this program's own folder, where the build and the install put its other programs
// and its modules.
namespace platform {

// `nom`, a path from this program's folder, whole in `cami`; false when it does not fit.
bool camiDesDelPrograma(const char* nom, char (&cami)[PATH_MAX]);

// What the window's program loads only when first used, from modules beside it (so that its
// start-up does not wait for their libraries): the symbol `simbol` of the module `nom`, loaded
// once and never let go; null when the module or the symbol is missing.
void* simbolDelModul(const char* nom, const char* simbol);

}  // namespace platform
