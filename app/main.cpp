#include "main_window/frm_alumnes.h"
#include "platform/dialeg_obrir.h"
#include "platform/peticions_final.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <clocale>
#include <csignal>
#include <memory>

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

void descriuLiniaDOrdres(QCommandLineParser& ordres) {
    ordres.setApplicationDescription(
        QStringLiteral("Fitxer de dades dels alumnes d'un grup: nom, adreça, codi postal, "
                       "població i telèfon."));
    ordres.addHelpOption();
    ordres.addVersionOption();
    ordres.addPositionalArgument(QStringLiteral("FITXER"),
                                 QStringLiteral("El fitxer d'alumnes que s'obre en començar."),
                                 QStringLiteral("[FITXER]"));
}

void identifica() {
    QCoreApplication::setApplicationName(QStringLiteral("q2x7"));
    QCoreApplication::setApplicationVersion(QStringLiteral(Q2X7_VERSIO));
}

// --help and --version print and end without a window, so they need no display.
bool nomesDemanaText(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-h" || argument == "--help" || argument == "-?" ||
            argument == "--help-all" || argument == "-v" || argument == "--version")
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    // A standard error whose reader has gone (a closed pager) must not end the program with a
    // student unsaved: a failed write is only a failed write.
    std::signal(SIGPIPE, SIG_IGN);
    if (nomesDemanaText(argc, argv)) {
        QCoreApplication app(argc, argv);
        identifica();
        const auto traduccio = traduccioDeLEines();
        QCommandLineParser ordres;
        descriuLiniaDOrdres(ordres);
        ordres.process(app);  // prints and exits
        return 0;
    }

    platform::dataINombresEnCatala();
    QApplication app(argc, argv);
    // The C library keeps reading and writing numbers with a point.
    std::setlocale(LC_NUMERIC, "C");
    identifica();
    QGuiApplication::setDesktopFileName(QStringLiteral(Q2X7_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icones/q2x7.png")));
    const auto traduccio = traduccioDeLEines();
    QCommandLineParser ordres;
    descriuLiniaDOrdres(ordres);
    ordres.process(app);

    platform::MissatgesQt missatges;
    platform::DialegObrirQt dialegObrir;
    platform::SistemaFitxersReal sistemaFitxers;
    record::NomsFitxer noms;
    frmAlumnes finestra({missatges, dialegObrir, sistemaFitxers}, noms);
    // Being told to end (a shutdown, a closed terminal) saves the record on screen and ends,
    // even while a modal window is up.
    const platform::PeticionsDeFinal peticions([&finestra] { finestra.Acabar(); });
    platform::enPerdreLaPantalla([&finestra] { finestra.AcabarSensePantalla(); });
    finestra.show();
    finestra.activateWindow();
    if (!ordres.positionalArguments().isEmpty()) {
        // Absolute: the current directory moves with "Crear fitxer" while the file is open.
        const QString cami = QFileInfo(ordres.positionalArguments().first()).absoluteFilePath();
        QTimer::singleShot(0, &finestra, [&finestra, cami] { finestra.ObrirFitxer(cami); });
    }
    return app.exec();
}
