#include "platform/modul.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>

namespace platform {

void* simbolDelModul(const char* nom, const char* simbol) {
    // Beside this program, where the build and the install put both.
    char cami[PATH_MAX];
    const ssize_t mida = ::readlink("/proc/self/exe", cami, sizeof cami);
    const char* barra =
        mida > 0 ? static_cast<const char*>(::memrchr(cami, '/', std::size_t(mida))) : nullptr;
    char modul[PATH_MAX];
    if (!barra || std::snprintf(modul, sizeof modul, "%.*s/%s", int(barra - cami), cami, nom) >=
                      int(sizeof modul))
        return nullptr;
    void* const biblioteca = ::dlopen(modul, RTLD_NOW | RTLD_LOCAL);
    return biblioteca ? ::dlsym(biblioteca, simbol) : nullptr;
}

}  // namespace platform
