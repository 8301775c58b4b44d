// q2x7-ordres: the commands that need no graphics, the help and the version; q2x7 hands it the
// command line when its first word asks for one of them. The window and the drawn formats are
// the graphical program's, which then takes this process's place.
#include "ordres.h"
#include "platform/modul.h"

#include <QCoreApplication>

#include <csignal>

#include <unistd.h>

namespace {

// The same process, so that signals and the window system see one program; it reads the same
// command line. Beside this one, where the build and the install put both.
int passaAlProgramaGrafic(char** argv) {
    char grafic[PATH_MAX];
    if (platform::camiDesDelPrograma(Q2X7_PROGRAMA_GRAFIC, grafic))
        ::execv(grafic, argv);
    ordres::escriuError(QStringLiteral("q2x7: no es troba %1, la part gràfica del programa")
                            .arg(QStringLiteral(Q2X7_PROGRAMA_GRAFIC)));
    return ordres::kFallat;
}

// What the command line asks for, but the help, the version and usage errors.
struct Aten {
    char** argv;

    template <class Resposta>
    int operator()(const Resposta&) const {
        return ordres::kUs;  // answered before
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
    const linia_ordres::Peticio peticio = linia_ordres::llegeix(arguments);
    if (const auto resposta = ordres::respon(peticio))
        return *resposta;
    return std::visit(Aten{argv}, peticio);
}
