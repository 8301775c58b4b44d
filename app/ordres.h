#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QIODevice>
#include <QString>

#include <optional>

// Draws the PDF class list, bringing up the toolkit's graphics (offscreen: no display is needed).
// Only the graphical program has it: those graphics take longer to load than a CSV of a whole
// file takes to write.
using EscriuPdf = void (*)(QIODevice& sortida, QByteArrayView registres, const QString& grup,
                           QDate data);

// What the command line asked for. The window needs a display and the commands need none, so
// this is decided before anything is drawn.
struct Peticio {
    // Set when the command line was a command (exporta, importa, --help, --version or a usage
    // error), already run: the program's exit status.
    std::optional<int> estat;
    QString fitxer;        // for the window: the student file to open, "" for none
    bool grafica = false;  // a PDF was asked for without `escriuPdf`: the graphical program's
};

Peticio atenLiniaDOrdres(int argc, char* argv[], EscriuPdf escriuPdf);
