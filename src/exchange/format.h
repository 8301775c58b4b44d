#pragma once

#include "exchange/errors.h"
#include "record/tipus_alumne.h"

#include <QDate>
#include <QIODevice>
#include <QString>

#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace exchange {

class Entrada;

// What an export knows besides the records.
struct DadesExportacio {
    QString grup;  // the class: the student file's name
    QDate data;    // the day of the export, for the printed list
    char separador = ';';
    bool ambMarcaDOrdre = true;
};

// A format's writer takes the student file's records in order, blank ones included, and writes
// its bytes to the device it was made with. It knows nothing of files, outputs or messages.
class EscriptorAlumnes {
  public:
    virtual ~EscriptorAlumnes() = default;
    // Record `numero` (from 1).
    virtual void alumne(int numero, const record::TipusAlumne& alumne) = 0;
    // After the last record. Throws ErrorIntercanvi.
    virtual void acaba() {}
};

// A row of cells as an input holds it, with the line (or row) where it starts.
struct Fila {
    int linia = 0;
    std::vector<QString> celles;  // kept from row to row, so that no cell is allocated twice
    qsizetype nombre = 0;         // cells of this row: the first `nombre` of `celles`
};

// A format's reader gives an input's rows in order. Throws ErrorIntercanvi, with the line, for
// input that cannot be taken whole.
class LectorFiles {
  public:
    virtual ~LectorFiles() = default;
    // The next row, valid until the next call; nullptr after the last.
    virtual const Fila* seguent() = 0;
};

struct DadesImportacio {
    std::optional<char> separador;  // found in the input when not given
};

// One row a format: its name for --format, the extension that picks it, whether its writer needs
// the toolkit's graphics (only the graphical program has them), and its writer and reader (null
// when it has none).
struct Format {
    QString nom;
    QString extensio;
    QString descripcio;  // for the help
    bool grafic;
    std::unique_ptr<EscriptorAlumnes> (*escriptor)(QIODevice& sortida, const DadesExportacio&);
    std::unique_ptr<LectorFiles> (*lector)(Entrada& entrada, const DadesImportacio&, const Avisos&);
};

std::span<const Format> formats();
const Format* formatPerNom(const QString& nom);
const Format* formatPerExtensio(const QString& cami);

}  // namespace exchange
