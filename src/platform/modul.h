#pragma once

// What the window's program loads only when first used, from modules beside it (so that its
// start-up does not wait for their libraries): the symbol `simbol` of the module `nom`, loaded
// once and never let go; null when the module or the symbol is missing.
namespace platform {

void* simbolDelModul(const char* nom, const char* simbol);

}  // namespace platform
