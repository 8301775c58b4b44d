#include "main_window/frm_alumnes.h"
#include "platform/peticions_final.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("q2x7"));

    // The toolkit's own texts (Yes/No, the Open-file dialog) in Catalan, like the program's.
    QTranslator traduccio;
    if (traduccio.load(QLocale(QLocale::Catalan), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traduccio);

    platform::MissatgesQt missatges;
    platform::DialegObrirQt dialegObrir;
    platform::SistemaFitxersReal sistemaFitxers;
    record::NomsFitxer noms;
    frmAlumnes finestra({missatges, dialegObrir, sistemaFitxers}, noms);
    // Being told to end (a shutdown, a closed terminal) saves the record on screen and ends,
    // even while a modal window is up.
    const platform::PeticionsDeFinal peticions([&finestra] { finestra.Acabar(); });
    finestra.show();
    finestra.activateWindow();
    return app.exec();
}
