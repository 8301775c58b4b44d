// Preloaded into a command under test: its first exclusive flock waits, so that another program can
// act between the command's open and its lock. It makes "$Q2X7_ESPERA_FLOCK.arribat" on arriving
// and goes on once the test makes "$Q2X7_ESPERA_FLOCK.segueix".
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern "C" int flock(int descriptor, int operacio) {
    using Flock = int (*)(int, int);
    static const auto real = reinterpret_cast<Flock>(dlsym(RTLD_NEXT, "flock"));
    static bool esperat = false;
    const char* base = std::getenv("Q2X7_ESPERA_FLOCK");
    if (base && !esperat && (operacio & LOCK_EX)) {
        esperat = true;
        const std::string arribat = std::string(base) + ".arribat";
        const std::string segueix = std::string(base) + ".segueix";
        ::close(::open(arribat.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600));
        for (int i = 0; i < 3000 && ::access(segueix.c_str(), F_OK) != 0; ++i)
            ::usleep(10000);
    }
    return real(descriptor, operacio);
}
