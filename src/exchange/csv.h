#pragma once

#include "record/tipus_alumne.h"

#include <QByteArray>
#include <QIODevice>
#include <QStringList>

#include <optional>

namespace exchange {

// Rows of a spreadsheet: UTF-8, by default with a byte-order mark and ';' between fields, as a
// spreadsheet in a Catalan or Spanish locale opens with a double click; CRLF; RFC 4180 quotes.
class EscriptorCsv {
  public:
    EscriptorCsv(QIODevice& sortida, char separador = ';', bool ambMarcaDOrdre = true);

    void capcalera();
    // One row, blank records included, so that row n + 1 holds record n.
    void fila(const record::TipusAlumne& alumne);

  private:
    void escriuCamp(QByteArrayView utf8);

    QIODevice& m_sortida;
    char m_separador;
    bool m_ambMarcaDOrdre;
    QByteArray m_linia;
    QByteArray m_camp;
};

// A CSV read into student records, in the order of its rows.
struct CsvLlegit {
    QByteArray registres;  // whole records, one after the other
    int nombre = 0;
    QStringList avisos;  // values cut or replaced, unknown columns, the input's encoding
};

// Reads a CSV as a spreadsheet or another program writes it: UTF-8 or, when it is not valid
// UTF-8, Windows-1252; ';', ',' or tab, found on the first line unless given; a first row that
// names any of the five columns is a header. Throws ErrorIntercanvi, with the line, for input
// that cannot be taken whole.
CsvLlegit llegeixCsv(QByteArray dades, std::optional<char> separador = std::nullopt);

}  // namespace exchange
