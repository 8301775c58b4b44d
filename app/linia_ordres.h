#pragma once

#include "exchange/format.h"

#include <QString>
#include <QStringList>

#include <variant>

// What the command line asks for, decided once, before anything that needs a display is made.
namespace linia_ordres {

struct Finestra {
    QString fitxer;  // the student file to open, "" for none
};
struct Ajuda {
    QString text;
};
struct Versio {};
struct Exporta {
    QString fitxer;
    QString sortida;  // "" for standard output
    const exchange::Format* format = nullptr;
    exchange::Opcions opcions;  // the formats' own, as given
};
struct Importa {
    QString entrada;  // "-" for standard input
    QString fitxer;
    bool afegeix = false;
    exchange::Opcions opcions;  // the formats' own, as given
};
struct ErrorDUs {
    QString problema;
};
using Peticio = std::variant<Finestra, Ajuda, Versio, Exporta, Importa, ErrorDUs>;

// The arguments after the program's name. Options may come before or after the operands, as
// "--nom valor" or "--nom=valor"; the last of a repeated option counts; after "--" everything
// is an operand; "-" alone is one.
Peticio llegeix(const QStringList& arguments);

}  // namespace linia_ordres
