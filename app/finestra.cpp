// q2x7-finestra: the window "Dades alumnes", and the formats drawn with the toolkit's graphics;
// q2x7 becomes this program when the command line asks for neither a command, nor the help or
// the version, and q2x7-ordres when a command asks for a drawn format. It reads the command line
// again, and answers the help and a usage error as the commands do.
#include "main_window/frm_alumnes.h"
#include "ordres.h"
#include "platform/dialeg_obrir.h"
#include "platform/peticions_final.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QThread>
#include <QTimer>
#include <QTranslator>

#include <fontconfig/fontconfig.h>

#include <clocale>
#include <memory>
#include <thread>

namespace {

// The toolkit's own texts (Yes/No, the Open-file dialog, the command line's help) in Catalan,
// like the program's.
std::unique_ptr<QTranslator> traduccioDeLEines() {
    auto traduccio = std::make_unique<QTranslator>();
    if (traduccio->load(QLocale(QLocale::Catalan), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(traduccio.get());
    return traduccio;
}

// The style reads its own PNG images (the menu bar's overflow arrow), and the toolkit the window's
// icon, by first asking every image plugin whether it knows the file: three plugins and their
// libraries loaded before the window shows, for formats it never uses. PNG is read without them,
// so while the form is built the plugins' folders are out of the search. The style is made
// first, with whatever plugin the desktop asks for; everything after finds them all again.
class SenseConnectors {
  public:
    SenseConnectors() : m_camins(QCoreApplication::libraryPaths()) {
        QApplication::style();
        QCoreApplication::setLibraryPaths({});
    }
    ~SenseConnectors() { QCoreApplication::setLibraryPaths(m_camins); }
    SenseConnectors(const SenseConnectors&) = delete;
    SenseConnectors& operator=(const SenseConnectors&) = delete;

  private:
    const QStringList m_camins;
};

void identifica() {
    QCoreApplication::setApplicationName(QStringLiteral("q2x7"));
    QCoreApplication::setApplicationVersion(QStringLiteral(Q2X7_VERSIO));
}

}  // namespace

int main(int argc, char* argv[]) {
    // SIGPIPE comes ignored from q2x7, across the exec.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const linia_ordres::Peticio peticio = linia_ordres::llegeix(arguments);
    if (const auto resposta = ordres::respon(peticio))
        return *resposta;
    const auto* exporta = std::get_if<linia_ordres::Exporta>(&peticio);
    if (!std::holds_alternative<linia_ordres::Finestra>(peticio) &&
        !(exporta && exporta->format->grafic)) {
        ordres::escriuError(
            QStringLiteral("q2x7-finestra: s'engega amb q2x7; proveu «q2x7 --help»."));
        return ordres::kUs;
    }
    int un = 1;  // the toolkit reads no option of ours

    // The drawn formats need the toolkit's fonts on its offscreen platform: no display.
    if (exporta) {
        ordres::silenciaLesEines();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(un, argv);
        return ordres::exporta(*exporta);
    }

    platform::dataINombresEnCatala();
    // While the toolkit connects to the display, a second processor reads the system's font
    // configuration, which the form's first text would otherwise wait for. With only one, the
    // thread would just take turns with the program.
    std::jthread lletres;
    if (QThread::idealThreadCount() > 1)
        lletres = std::jthread([] { FcInit(); });
    QApplication app(un, argv);
    // The C library keeps reading and writing numbers with a point.
    std::setlocale(LC_NUMERIC, "C");
    identifica();
    QGuiApplication::setDesktopFileName(QStringLiteral(Q2X7_ID));
    const auto traduccio = traduccioDeLEines();

    platform::MissatgesQt missatges;
    platform::DialegObrirQt dialegObrir;
    platform::SistemaFitxersReal sistemaFitxers;
    platform::DialegDesarQt dialegDesar;
    platform::CaixaImportacioQt caixaImportacio;
    platform::PortaretallsQt portaretalls;
    platform::ImpressioQt impressio;
    record::NomsFitxer noms;
    if (lletres.joinable())
        lletres.join();
    const auto finestra = [&] {
        const SenseConnectors senseConnectors;
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/icones/q2x7.png")));
        return std::make_unique<frmAlumnes>(
            platform::Serveis{missatges, dialegObrir, sistemaFitxers, platform::Diari::estandard(),
                              &dialegDesar, &caixaImportacio, &portaretalls, &impressio},
            noms);
    }();
    // Being told to end (a shutdown, a closed terminal) saves the record on screen and ends,
    // even while a modal window is up.
    const platform::PeticionsDeFinal peticions([&finestra] { finestra->Acabar(); });
    platform::enPerdreLaPantalla([&finestra] { finestra->AcabarSensePantalla(); });
    finestra->show();
    finestra->activateWindow();
    const QString fitxer = std::get<linia_ordres::Finestra>(peticio).fitxer;
    if (!fitxer.isEmpty()) {
        // Absolute: the current directory moves with "Crear fitxer" while the file is open.
        const QString cami = QFileInfo(fitxer).absoluteFilePath();
        QTimer::singleShot(0, finestra.get(), [&finestra, cami] { finestra->ObrirFitxer(cami); });
    }
    return app.exec();
}
