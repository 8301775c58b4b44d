#pragma once

#include <QString>

#include <optional>

// What the command line asked for. The window needs a display and the commands need none, so
// this is decided before anything is drawn.
struct Peticio {
    // Set when the command line was a command (exporta, importa, --help, --version or a usage
    // error), already run: the program's exit status.
    std::optional<int> estat;
    QString fitxer;  // for the window: the student file to open, "" for none
};

Peticio atenLiniaDOrdres(int argc, char* argv[]);
