#pragma once

#include "platform/sistema_fitxers.h"
#include "record/tipus_alumne.h"

#include <QByteArray>
#include <QString>
#include <QUndoStack>

#include <optional>
#include <stdexcept>

// Desfés or Refés found the file changed by another program since this window last wrote it:
// putting bytes back now would mix them with that program's.
class ErrorCanviExtern : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The open student file and what the window knows of it: the channel (and its lock), the counts,
// the record on screen and the history of the changes made through it. It needs no widget: the
// window's procedures ask it for the file and show what it answers. Every step that fails throws
// (platform::ErrorFitxer) and leaves the file and the counts as they were.
class ClasseOberta {
  public:
    // The changes the history keeps; the oldest go first. A change keeps only what it needs to
    // put the bytes back: a record's earlier bytes, a removed record, an ordering's permutation.
    static constexpr int kLimitHistoria = 100;

    explicit ClasseOberta(platform::SistemaFitxers& fitxer);
    ~ClasseOberta();
    ClasseOberta(const ClasseOberta&) = delete;
    ClasseOberta& operator=(const ClasseOberta&) = delete;

    // Opens the channel; RegistreActual becomes 1 once the records are counted.
    void obre(const QString& cami, qint16 longRegistre);
    // Counts the open file's records (std::overflow_error for a file too long to count).
    void compta();
    // Whether the file holds any of its bytes, a partial record included: then record 1 is shown.
    bool teBytes() const { return m_registresOcupats > 0; }
    // Flushes and closes; the history ends. Harmless when nothing is open.
    void tanca();
    // The same, for when a failure is already being reported.
    void tancaSenseAvisar();

    record::TipusAlumne llegeix(qint16 numero);
    // Every record of the file, as its bytes.
    QByteArray registres() { return m_fitxer.contingut(); }
    // Writes the record on screen. A write that changed the file's bytes is a change of the
    // history.
    void desa(const record::TipusAlumne& alumne);
    // The record now on screen, once it was read.
    void posaActual(qint16 numero) { RegistreActual = numero; }
    // A new record number past the count and past every record in the file, now on screen;
    // nothing when the file cannot take another.
    std::optional<qint16> nou();

    // Removes record RegistreActual: the ones after it move up and the file is a record shorter.
    // Returns the record to show: the one that took its place, else the new last one, 0 when the
    // class is left empty (RegistreActual is then 1, as in a file just opened).
    qint16 elimina();
    // Orders the records by name, in Catalan order; the student on screen keeps its place on
    // screen, at its new number (returned).
    qint16 ordena();
    // Adds whole records after every record in the file (`descripcio` names the change, e.g.
    // "importa 3 alumnes"). Returns the first number added. Throws std::length_error when the
    // file would exceed the largest record number.
    qint16 afegeix(const QByteArray& registres, const QString& descripcio);

    // Put the file back as it was before the newest change, or make that change again; each
    // returns the record to show (0: the class is empty). Throw ErrorCanviExtern when another
    // program changed the file since, and the history with it is forgotten.
    // Nothing when there is nothing to undo or redo.
    std::optional<qint16> desfes();
    std::optional<qint16> refes();
    // Whether the file is as this window last left it.
    bool senseCanvisDeFora();
    const QUndoStack& historia() const { return m_historia; }

    qint16 registreActual() const { return RegistreActual; }
    qint16 numRegistres() const { return NumRegistres; }

  private:
    class Canvi;
    class Desada;
    class Eliminacio;
    class Ordenacio;
    class Afegits;

    void posaRecompte(qint64 longitud);
    // After a change this window made: what it leaves is what later steps expect to find.
    void anotaEscrit();
    // The file steps of a change; each marks the change as made once the file holds it.
    void escriu(qint16 numero, const QByteArray& bytes);
    void talla(qint64 longitud);
    void substitueix(const QByteArray& bytes);
    void haCanviat();
    // Runs a change's step and moves the history with `mou` once the file holds it.
    template <class Pas, class Mou>
    qint16 segueix(Pas&& pas, Mou&& mou);
    qint16 fes(Canvi* canvi);
    // Whether the history may still put bytes back; forgets it when another program wrote.
    bool historiaVigent();
    Canvi* canvi(int index);

    platform::SistemaFitxers& m_fitxer;
    QString m_cami;
    qint16 RegistreActual = 0;
    qint16 NumRegistres = 0;
    qint16 m_longRegistre = record::TipusAlumne::kLongitud;
    // "Nou" hands out numbers past these, so that a blank screen is never saved over bytes the
    // user was never shown.
    qint64 m_registresOcupats = 0;
    QUndoStack m_historia;
    platform::Empremta m_empremta;
    // Another program wrote the file and the history was forgotten: the next Desfés or Refés
    // that finds nothing to do says why.
    bool m_historiaPerduda = false;
    bool m_fet = false;  // the step under way changed the file
};
