// q2x7-finestra: the window "Dades alumnes", and the PDF class list; started by q2x7.
#include "exchange/pdf.h"
#include "main_window/frm_alumnes.h"
#include "ordres.h"
#include "platform/dialeg_obrir.h"
#include "platform/peticions_final.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <clocale>
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

void identifica() {
    QCoreApplication::setApplicationName(QStringLiteral("q2x7"));
    QCoreApplication::setApplicationVersion(QStringLiteral(Q2X7_VERSIO));
}

// The class list draws with the toolkit's fonts, on its offscreen platform: no display needed.
void escriuPdf(QIODevice& sortida, QByteArrayView registres, const QString& grup, QDate data) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char nom[] = "q2x7";
    char* argv[] = {nom, nullptr};
    QGuiApplication app(argc, argv);
    exchange::escriuLlistaPdf(sortida, registres, grup, data);
}

}  // namespace

int main(int argc, char* argv[]) {
    // SIGPIPE comes ignored from q2x7, across the exec.
    // Commands, help and usage errors need no display: they are done before any window.
    const Peticio peticio = atenLiniaDOrdres(argc, argv, escriuPdf);
    if (peticio.estat)
        return *peticio.estat;

    platform::dataINombresEnCatala();
    QApplication app(argc, argv);
    // The C library keeps reading and writing numbers with a point.
    std::setlocale(LC_NUMERIC, "C");
    identifica();
    QGuiApplication::setDesktopFileName(QStringLiteral(Q2X7_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icones/q2x7.png")));
    const auto traduccio = traduccioDeLEines();

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
    if (!peticio.fitxer.isEmpty()) {
        // Absolute: the current directory moves with "Crear fitxer" while the file is open.
        const QString cami = QFileInfo(peticio.fitxer).absoluteFilePath();
        QTimer::singleShot(0, &finestra, [&finestra, cami] { finestra.ObrirFitxer(cami); });
    }
    return app.exec();
}
