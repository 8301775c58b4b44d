#pragma once

#include "exchange/format.h"

#include <QString>

#include <optional>
#include <span>

// The CSV row's options, apart from its reader and writer: the command line and its help read
// them without loading what reads and writes the formats.
namespace exchange {

// The separator a value of --separador names: ";", "," or "tab" (a tab itself too).
std::optional<char> separadorDe(const QString& nom);

std::span<const Opcio> opcionsCsvDExportacio();
std::span<const Opcio> opcionsCsvDImportacio();

}  // namespace exchange
