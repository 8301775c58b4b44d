// q2x7: decides what the command line asks for; the commands that need no graphics run here, and
// the window and the drawn formats are the graphical program's, which takes this process's place.
#include "ordres.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace {

// Where the build put it, from this program's folder: installed under libexec, or beside it.
std::filesystem::path programaGrafic() {
    std::error_code error;
    const std::filesystem::path jo = std::filesystem::read_symlink("/proc/self/exe", error);
    return jo.parent_path() / Q2X7_PROGRAMA_GRAFIC;
}

// The same process, so that signals and the window system see one program; it reads the same
// command line.
int passaAlProgramaGrafic(char** argv) {
    const std::filesystem::path grafic = programaGrafic();
    ::execv(grafic.c_str(), argv);
    ordres::escriuError(
        QStringLiteral("q2x7: no es troba q2x7-finestra, la part gràfica del programa"));
    return ordres::kFallat;
}

// Help and usage errors need nothing of the toolkit but its strings.
struct Aten {
    char** argv;

    int operator()(const linia_ordres::ErrorDUs& error) const {
        ordres::escriuError(u"q2x7: "_qs + error.problema);
        ordres::escriuError(QStringLiteral("Proveu «q2x7 --help»."));
        return ordres::kUs;
    }
    int operator()(const linia_ordres::Ajuda& ajuda) const {
        std::fputs(ajuda.text.toUtf8().constData(), stdout);
        return ordres::kFet;
    }
    int operator()(const linia_ordres::Versio&) const {
        std::printf("q2x7 %s\n", Q2X7_VERSIO);
        return ordres::kFet;
    }
    int operator()(const linia_ordres::Finestra&) const { return passaAlProgramaGrafic(argv); }
    int operator()(const linia_ordres::Exporta& exporta) const {
        if (exporta.format->grafic)
            return passaAlProgramaGrafic(argv);
        ordres::silenciaLesEines();
        int un = 1;  // the toolkit reads no option of ours
        QCoreApplication app(un, argv);
        return ordres::exporta(exporta);
    }
    int operator()(const linia_ordres::Importa& importa) const {
        ordres::silenciaLesEines();
        int un = 1;
        QCoreApplication app(un, argv);
        return ordres::importa(importa);
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    // A standard error whose reader has gone (a closed pager) must not end the program with a
    // student unsaved: a failed write is only a failed write.
    std::signal(SIGPIPE, SIG_IGN);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return std::visit(Aten{argv}, linia_ordres::llegeix(arguments));
}
