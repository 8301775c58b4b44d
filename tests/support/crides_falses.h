#pragma once

#include "platform/crides_sistema.h"

#include <QMap>

#include <cerrno>
#include <functional>

namespace proves {

enum class Crida {
    Open,
    Stat,
    Fstat,
    Flock,
    Fcntl,
    Pread,
    Pwrite,
    Fdatasync,
    Ftruncate,
    Close,
    Unlink,
    Fsync,
    Linkat,
    Rename,
    Read,
    Fchmod,
    Fchown,
    Access
};

// The real system calls, with any of them made to fail with a chosen errno: for every operation
// of the channel, or only while one of them (as the fake file system tells) is under way.
class CridesFalses : public platform::CridesSistema {
  public:
    static constexpr int kSempre = -1;
    static constexpr int kQualsevol = -1;

    // The next `vegades` calls fail (every one with kSempre). A short write first writes half of
    // what it was given, as a disk that fills up in the middle of a record does.
    void falla(Crida crida, int error, int vegades = 1, int operacio = kQualsevol,
               bool curta = false);
    int crides(Crida crida) const { return m_crides.value(crida); }

    int operacioEnCurs = kQualsevol;  // set by the fake file system around each operation
    // Runs once, just before the next flock: another program acting between an open and a lock.
    std::function<void()> abansDeBloquejar;

    int open(const char* cami, int indicadors, mode_t mode) override;
    int stat(const char* cami, struct stat* estat) override;
    int fstat(int descriptor, struct stat* estat) override;
    int flock(int descriptor, int operacio) override;
    int fcntl(int descriptor, int ordre, int argument) override;
    ssize_t pread(int descriptor, void* bytes, size_t mida, off_t posicio) override;
    ssize_t pwrite(int descriptor, const void* bytes, size_t mida, off_t posicio) override;
    int fdatasync(int descriptor) override;
    int fsync(int descriptor) override;
    int ftruncate(int descriptor, off_t longitud) override;
    int close(int descriptor) override;
    int unlink(const char* cami) override;
    int linkat(int directoriFont, const char* font, int directoriDesti, const char* desti,
               int indicadors) override;
    int rename(const char* font, const char* desti) override;
    ssize_t read(int descriptor, void* bytes, size_t mida) override;
    int fchmod(int descriptor, mode_t mode) override;
    int fchown(int descriptor, uid_t propietari, gid_t grup) override;
    int access(const char* cami, int mode) override;

  private:
    struct Fallada {
        int error;
        int vegades;
        int operacio;
        bool curta;
    };
    // Counts the call; true when it must fail (errno is then set).
    bool falla(Crida crida);

    QMap<Crida, Fallada> m_fallades;
    QMap<Crida, int> m_crides;
};

}  // namespace proves
