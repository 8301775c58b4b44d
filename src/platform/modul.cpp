#include "platform/modul.h"

#include <dlfcn.h>
#include <string.h>
#include <unistd.h>

#include <cstdio>

namespace platform {

bool camiDesDelPrograma(const char* nom, char (&cami)[PATH_MAX]) {
    char jo[PATH_MAX];
    const ssize_t mida = ::readlink("/proc/self/exe", jo, sizeof jo);
    const char* barra =
        mida > 0 ? static_cast<const char*>(::memrchr(jo, '/', std::size_t(mida))) : nullptr;
    return barra &&
           std::snprintf(cami, sizeof cami, "%.*s/%s", int(barra - jo), jo, nom) < int(sizeof cami);
}

void* simbolDelModul(const char* nom, const char* simbol) {
    char modul[PATH_MAX];
    void* const biblioteca =
        camiDesDelPrograma(nom, modul) ? ::dlopen(modul, RTLD_NOW | RTLD_LOCAL) : nullptr;
    return biblioteca ? ::dlsym(biblioteca, simbol) : nullptr;
}

}  // namespace platform
