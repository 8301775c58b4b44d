// q2x7: hands the command line to the program that serves it, before any library is loaded. The
// commands, the help and the version go to q2x7-ordres, which needs only the toolkit's core; the
// window to q2x7-finestra, which would otherwise wait for the core program to load first. Each
// reads the whole command line itself.
#include "platform/modul.h"

#include <csignal>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace {

struct Programa {
    const char* cami;  // from this program's folder
    const char* que;   // in the message when it is missing: "la part gràfica"
};

// The first words that the core program serves.
constexpr const char* kDeLesOrdres[] = {"exporta", "importa",    "-h", "--help",
                                        "-?",      "--help-all", "-v", "--version"};

bool esDeLesOrdres(const char* paraula) {
    for (const char* ordre : kDeLesOrdres) {
        if (std::strcmp(paraula, ordre) == 0)
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    // A standard error whose reader has gone (a closed pager) must not end the program with a
    // student unsaved: a failed write is only a failed write. Ignored, it stays so across exec.
    std::signal(SIGPIPE, SIG_IGN);
    const Programa programa = argc > 1 && esDeLesOrdres(argv[1])
                                  ? Programa{Q2X7_PROGRAMA_ORDRES, "la part de les ordres"}
                                  : Programa{Q2X7_PROGRAMA_GRAFIC, "la part gràfica"};
    // Where the build put it, from this program's folder: installed under libexec.
    char cami[PATH_MAX];
    if (platform::camiDesDelPrograma(programa.cami, cami))
        ::execv(cami, argv);
    std::fprintf(stderr, "q2x7: no es troba %s, %s del programa\n",
                 std::strrchr(programa.cami, '/') + 1, programa.que);
    return 1;
}
