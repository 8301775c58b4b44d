#pragma once

#include "linia_ordres.h"

#include <optional>

// The commands' runners: each returns the exit status (0 done, 1 failed with nothing changed),
// with the data on standard output and the program's Catalan lines on standard error. They
// need an application object of the kind their format asks for, made by the caller.
namespace ordres {

constexpr int kFet = 0;
constexpr int kFallat = 1;
constexpr int kUs = 2;

// What needs nothing of the toolkit but its strings: the help, the version and a usage error,
// answered; nothing for the rest.
std::optional<int> respon(const linia_ordres::Peticio& peticio);

int exporta(const linia_ordres::Exporta& peticio);
int importa(const linia_ordres::Importa& peticio);

// What is neither data nor a command's own words stays off standard error: the toolkit's
// warnings mean nothing to the user of a command.
void silenciaLesEines();

void escriuError(const QString& text);

}  // namespace ordres
