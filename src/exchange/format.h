#pragma once

#include "exchange/errors.h"
#include "record/tipus_alumne.h"

#include <QDate>
#include <QHash>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <memory>
#include <span>
#include <vector>

namespace exchange {

class Entrada;

// The values of a format's options, by name ("separador" → ","); a flag given has "".
using Opcions = QHash<QString, QString>;

// An option a format owns: "--nom VALOR", or "--nom" alone when it takes no value. The command
// line, its help and the completion take them from the table.
struct Opcio {
    const char16_t* nom;     // "separador"
    const char16_t* valors;  // in the help: ",|;|tab"; null for a flag
    const char16_t* ajuda;   // in the help; each '\n' starts a line under the one before
    // What is wrong with a value, "" when nothing; null for a flag.
    QString (*comprova)(const QString& valor);
};

// What an export knows besides the records.
struct DadesExportacio {
    QString grup;       // the class: the student file's name
    QDate data;         // the day of the export, for the printed list
    Opcions opcions{};  // of its format, as given
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

// What a cell was where it came from: a spreadsheet's text cell keeps what was typed; its number
// may have lost a leading zero; a CSV's field may be either.
enum class TipusCella { SenseTipus, Text, Nombre, Altre };

// A row of cells as an input holds it, with the line (or row) where it starts.
struct Fila {
    int linia = 0;
    std::vector<QString> celles;    // kept from row to row, so that no cell is allocated twice
    std::vector<TipusCella> tipus;  // beside each cell
    qsizetype nombre = 0;           // cells of this row: the first `nombre` of `celles`

    // Room for one more cell, cleared, of the given kind.
    QString& afegeix(TipusCella tipusCella = TipusCella::SenseTipus) {
        if (nombre == qsizetype(celles.size())) {
            celles.emplace_back();
            tipus.emplace_back();
        }
        tipus[std::size_t(nombre)] = tipusCella;
        QString& cella = celles[std::size_t(nombre++)];
        cella.truncate(0);
        return cella;
    }
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
    Opcions opcions;  // of the input's format, as given: what is not given is found in the input
};

// A file's first bytes that tell what it is, and how a message names such a file.
struct Inici {
    const char* bytes;
    const char16_t* que;  // "un PDF"
};

// One row a format, and every list of formats is made from the rows: the dialogs' filters, the
// help, the guard that appends into no file of a known format, what an input is taken for.
struct Format {
    QString nom;                 // for --format
    QStringList extensions;      // the first is what an export is named with; each picks it
    QStringList alies;           // other names --format takes
    const char16_t* descripcio;  // in the Save dialog's filter: "Full de càlcul (*.xlsx)"
    const char16_t* ajuda;       // after its extension in the export's help; null when not written
    std::span<const Inici> inicis;
    std::span<const Opcio> opcionsDExportacio;
    std::span<const Opcio> opcionsDImportacio;
    bool (*esDelFormat)(Entrada& entrada);  // by its content; null when only its name tells
    bool grafic;  // its writer needs the toolkit's graphics (only the graphical program has them)
    std::unique_ptr<EscriptorAlumnes> (*escriptor)(QIODevice& sortida, const DadesExportacio&);
    std::unique_ptr<LectorFiles> (*lector)(Entrada& entrada, const DadesImportacio&, const Avisos&);
};

std::span<const Format> formats();
// By its name or an alias, or by a file's extension; null for none.
const Format* formatPerNom(const QString& nom);
const Format* formatPerExtensio(const QString& cami);
// Whether an export can be made in it (the drawn one's writer is only in the graphical program).
inline bool seNExporta(const Format* format) {
    return format && (format->escriptor || format->grafic);
}
// The formats written, in the Save dialog's order.
std::vector<const Format*> formatsDExportacio();
// The Save dialog's filter of a format: "Full de càlcul (*.xlsx)".
QString filtreDExportacio(const Format& format);
// The Open dialog's filter for an import: every extension read, then every file.
QString filtreDImportacio();
// What a file of a known format is, by its extension or its first bytes: "un PDF"; empty when
// none says.
QString formatConegut(const QString& cami, QByteArrayView primers);
// The format of an import's input: by its extension when that format reads, else by its
// content, else CSV.
const Format& formatDeLEntrada(Entrada& entrada);

}  // namespace exchange
