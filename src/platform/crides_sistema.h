#pragma once

#include <QString>

class QFileInfo;

#include <sys/stat.h>
#include <sys/types.h>

namespace platform {

// The system calls the real file channel goes through. The real program uses them as they are;
// tests derive from this to make any of them fail the way a full disk or a bad sector would.
class CridesSistema {
  public:
    virtual ~CridesSistema() = default;

    virtual int open(const char* cami, int indicadors, mode_t mode);
    virtual int stat(const char* cami, struct stat* estat);
    virtual int fstat(int descriptor, struct stat* estat);
    virtual int flock(int descriptor, int operacio);
    virtual int fcntl(int descriptor, int ordre, int argument);
    virtual ssize_t pread(int descriptor, void* bytes, size_t mida, off_t posicio);
    virtual ssize_t pwrite(int descriptor, const void* bytes, size_t mida, off_t posicio);
    virtual int fdatasync(int descriptor);
    virtual int fsync(int descriptor);
    virtual int ftruncate(int descriptor, off_t longitud);
    virtual int close(int descriptor);
    virtual int unlink(const char* cami);
    virtual int linkat(int directoriFont, const char* font, int directoriDesti, const char* desti,
                       int indicadors);
    virtual int rename(const char* font, const char* desti);
    virtual ssize_t read(int descriptor, void* bytes, size_t mida);
    virtual int fchmod(int descriptor, mode_t mode);
    virtual int fchown(int descriptor, uid_t propietari, gid_t grup);
    virtual int access(const char* cami, int mode);

    static CridesSistema& reals();
};

// Writes all `mida` bytes at `inici` (where the descriptor stands, for a pipe, when `inici` is
// negative), going on after short writes and interruptions. 0 when done, else the errno that
// stopped it (ENOSPC for a write that took nothing); `escrits` counts what was written.
int escriuTot(CridesSistema& crides, int descriptor, const char* bytes, size_t mida, off_t inici,
              size_t& escrits);
// Reads up to `mida` bytes at `inici`, fewer where the file ends: the count, or -1 with errno.
ssize_t llegeixTot(CridesSistema& crides, int descriptor, char* desti, size_t mida, off_t inici);

// How a file's lock went. A file system that keeps no locks leaves the file unlocked rather than
// unusable; only a lock another holder has stops anyone.
enum class Bloqueig { Pres, DUnAltre, SenseBloquejos };
// The one lock of a student file, taken without waiting: exclusive (LOCK_EX) for whoever writes
// it, shared (LOCK_SH) to ask whether someone does.
Bloqueig bloqueja(CridesSistema& crides, int descriptor, int tipus);

// A system error in the user's words, never the system's English.
QString descripcio(int error);

// Flushes a folder, so that a name just made or removed in it survives a power cut. A file system
// that cannot flush a folder has nothing more to flush. False, with errno, when it fails.
bool sincronitzaDirectori(CridesSistema& crides, const char* directori);

// Whether the open `descriptor` is the file `cami` names now (the same device and inode).
bool esAlCami(CridesSistema& crides, int descriptor, const char* cami);

// A hidden name beside a file, for a whole new copy of it until the copy takes the file's name:
// ".3r B.k2x9q".
QString nomTemporal(const QFileInfo& fitxer);
// Removes the copies of `cami` left beside it by a program killed before the copy took the name:
// those older than this program's start.
void esborraCopiesDeixades(CridesSistema& crides, const QString& cami);

}  // namespace platform
