#include "support/crides_falses.h"

#include <utility>

namespace proves {

void CridesFalses::falla(Crida crida, int error, int vegades, int operacio, bool curta) {
    m_fallades[crida] = {error, vegades, operacio, curta};
}

bool CridesFalses::falla(Crida crida) {
    ++m_crides[crida];
    auto fallada = m_fallades.find(crida);
    if (fallada == m_fallades.end() || fallada->vegades == 0)
        return false;
    if (fallada->operacio != kQualsevol && fallada->operacio != operacioEnCurs)
        return false;
    if (fallada->vegades > 0)
        --fallada->vegades;
    errno = fallada->error;
    return true;
}

int CridesFalses::open(const char* cami, int indicadors, mode_t mode) {
    return falla(Crida::Open) ? -1 : CridesSistema::open(cami, indicadors, mode);
}
int CridesFalses::stat(const char* cami, struct stat* estat) {
    return falla(Crida::Stat) ? -1 : CridesSistema::stat(cami, estat);
}
int CridesFalses::fstat(int descriptor, struct stat* estat) {
    return falla(Crida::Fstat) ? -1 : CridesSistema::fstat(descriptor, estat);
}
int CridesFalses::flock(int descriptor, int operacio) {
    if (abansDeBloquejar)
        std::exchange(abansDeBloquejar, nullptr)();
    return falla(Crida::Flock) ? -1 : CridesSistema::flock(descriptor, operacio);
}
int CridesFalses::fcntl(int descriptor, int ordre, int argument) {
    return falla(Crida::Fcntl) ? -1 : CridesSistema::fcntl(descriptor, ordre, argument);
}
ssize_t CridesFalses::pread(int descriptor, void* bytes, size_t mida, off_t posicio) {
    return falla(Crida::Pread) ? -1 : CridesSistema::pread(descriptor, bytes, mida, posicio);
}
ssize_t CridesFalses::pwrite(int descriptor, const void* bytes, size_t mida, off_t posicio) {
    auto fallada = m_fallades.find(Crida::Pwrite);
    if (fallada != m_fallades.end() && fallada->curta && fallada->vegades != 0 && mida > 1 &&
        (fallada->operacio == kQualsevol || fallada->operacio == operacioEnCurs)) {
        // Half fits; the call after it finds the disk full.
        fallada->curta = false;
        ++m_crides[Crida::Pwrite];
        return CridesSistema::pwrite(descriptor, bytes, mida / 2, posicio);
    }
    return falla(Crida::Pwrite) ? -1 : CridesSistema::pwrite(descriptor, bytes, mida, posicio);
}
int CridesFalses::fdatasync(int descriptor) {
    return falla(Crida::Fdatasync) ? -1 : CridesSistema::fdatasync(descriptor);
}
int CridesFalses::fsync(int descriptor) {
    return falla(Crida::Fsync) ? -1 : CridesSistema::fsync(descriptor);
}
int CridesFalses::ftruncate(int descriptor, off_t longitud) {
    return falla(Crida::Ftruncate) ? -1 : CridesSistema::ftruncate(descriptor, longitud);
}
int CridesFalses::close(int descriptor) {
    // The descriptor is released even when close reports an error, as on Linux.
    if (falla(Crida::Close)) {
        const int error = errno;
        CridesSistema::close(descriptor);
        errno = error;
        return -1;
    }
    return CridesSistema::close(descriptor);
}
int CridesFalses::unlink(const char* cami) {
    return falla(Crida::Unlink) ? -1 : CridesSistema::unlink(cami);
}

int CridesFalses::linkat(int directoriFont, const char* font, int directoriDesti, const char* desti,
                         int indicadors) {
    return falla(Crida::Linkat)
               ? -1
               : CridesSistema::linkat(directoriFont, font, directoriDesti, desti, indicadors);
}
int CridesFalses::rename(const char* font, const char* desti) {
    return falla(Crida::Rename) ? -1 : CridesSistema::rename(font, desti);
}

ssize_t CridesFalses::read(int descriptor, void* bytes, size_t mida) {
    return falla(Crida::Read) ? -1 : CridesSistema::read(descriptor, bytes, mida);
}
int CridesFalses::fchmod(int descriptor, mode_t mode) {
    return falla(Crida::Fchmod) ? -1 : CridesSistema::fchmod(descriptor, mode);
}
int CridesFalses::fchown(int descriptor, uid_t propietari, gid_t grup) {
    return falla(Crida::Fchown) ? -1 : CridesSistema::fchown(descriptor, propietari, grup);
}
int CridesFalses::access(const char* cami, int mode) {
    return falla(Crida::Access) ? -1 : CridesSistema::access(cami, mode);
}

}  // namespace proves
