// q2x7: the commands that need no graphics run here; the window and the PDF class list are the
// graphical program's, which takes this process's place.
#include "ordres.h"

#include <QByteArray>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace {

// Installed under libexec beside the prefix's bin; in the build folder, beside this program.
std::filesystem::path programaGrafic() {
    std::error_code error;
    const std::filesystem::path jo = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path carpeta = jo.parent_path();
    for (const auto& cami :
         {carpeta / "../libexec/q2x7/q2x7-finestra", carpeta / "q2x7-finestra"}) {
        if (::access(cami.c_str(), X_OK) == 0)
            return cami;
    }
    return {};
}

}  // namespace

int main(int argc, char* argv[]) {
    // A standard error whose reader has gone (a closed pager) must not end the program with a
    // student unsaved: a failed write is only a failed write.
    std::signal(SIGPIPE, SIG_IGN);
    const Peticio peticio = atenLiniaDOrdres(argc, argv, nullptr);
    if (peticio.estat)
        return *peticio.estat;

    // The same arguments, the same process: signals and the window system see one program.
    const std::filesystem::path grafic = programaGrafic();
    if (!grafic.empty())
        ::execv(grafic.c_str(), argv);
    std::fprintf(stderr, "q2x7: %s\n", "no es troba q2x7-finestra, la part gràfica del programa");
    return 1;
}
