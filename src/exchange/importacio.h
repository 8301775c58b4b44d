#pragma once

#include "exchange/errors.h"
#include "exchange/format.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>

#include <utility>
#include <vector>

namespace exchange {

// An input's rows as student records, in the order of its rows.
struct Importats {
    QByteArray registres;  // whole records, one after the other
    int nombre = 0;
};

// Takes rows whatever format gave them, by the record's rules: a first row that names any of the
// five columns (any letter case, with or without accents) is a header, else the columns are the
// export's order; each value is stored as the record stores it, and a value cut or with a
// character the code page lacks is reported with its line. Empty rows after the last student
// are dropped. A student whose name (whatever its letter case and accents) is already among
// `classe` (the names of the records the rows go after) or earlier in the input is named in a
// note, and added all the same. Throws ErrorIntercanvi, with the line, for rows that cannot be
// taken whole.
Importats importaFiles(LectorFiles& lector, const Avisos& avisa, const QStringList& classe = {});

// The rows where a header is looked for: a letterhead is often a dozen lines.
inline constexpr std::size_t kFilesPerLaCapcalera = 30;

// Whether a header's cell names one of the columns an import knows.
bool anomenaUnaColumna(const QString& cella);

// The names of a student file's records, in their order, for importaFiles.
QStringList nomsDeLaClasse(QByteArrayView registres);

// An import's notes as a person can read them: of each kind (the same words, whatever lines,
// numbers and names they hold) the first 20, then one line counting the rest of that kind.
class RecullAvisos {
  public:
    static constexpr int kPerTipus = 20;

    // What the readers and the import are handed; valid while this lives.
    Avisos avisos() {
        return [this](const QString& avis) { afegeix(avis); };
    }
    void afegeix(const QString& avis);
    QStringList resum() const;

  private:
    std::vector<std::pair<QString, QString>> m_guardats;  // the kind, the note
    QHash<QString, int> m_perTipus;
};

}  // namespace exchange
