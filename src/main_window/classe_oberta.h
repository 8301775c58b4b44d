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
    ErrorCanviExtern(const char* que, bool substituit)
        : std::runtime_error(que), m_substituit(substituit) {}
    // Another file took the name (the channel now holds it), rather than a write into this one.
    bool substituit() const { return m_substituit; }

  private:
    bool m_substituit;
};

// What a step found another program had done to the file since this window last wrote it.
enum class CanviDeFora {
    Cap,
    Canviat,     // wrote, appended or cut it
    Substituit,  // put another file at its name; the channel now holds that one
};

// What a save did.
struct Desat {
    CanviDeFora deFora = CanviDeFora::Cap;
    // False when there was nothing of the user's to write: the blank screen of an emptied class,
    // or a screen nothing was typed into after another program changed the file (writing it
    // would put old bytes over that program's). The record to show is then RegistreActual.
    bool escrit = true;
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

    // Record `numero`, to be shown: a record of zero bytes (a hole another program left) reads
    // as blank.
    record::TipusAlumne llegeix(qint16 numero);
    // Every record of the file, as its bytes.
    QByteArray registres() { return m_fitxer.contingut(); }
    // Writes the record on screen. A write that changed the file's bytes is a change of the
    // history. When another program changed the file since, the records are counted again and
    // the screen's typing is saved where it cannot cover that program's records: a new student
    // after the last whole record now in the file, a record past a cut end likewise.
    Desat desa(const record::TipusAlumne& pantalla);
    // The record now on screen, once it was read.
    void posaActual(qint16 numero) { RegistreActual = numero; }
    // A new record number past the count and past every record in the file, now on screen;
    // nothing when the file cannot take another.
    std::optional<qint16> nou();

    // The record on screen as the file holds it (blank for one not yet written): a screen that
    // differs holds typing not yet saved.
    const record::TipusAlumne& mostrat() const { return m_mostrat; }
    bool pantallaTocada(const record::TipusAlumne& pantalla) const { return pantalla != m_mostrat; }
    // Moves on whenever another record, or the same one written again, is on screen.
    quint64 vista() const { return m_vista; }

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
    void jaEsComLHaDeixat();
    // Compares the file with what this window last left; when another program changed it, the
    // history ends and the records are counted again (a file put at the name is opened instead,
    // under the lock).
    CanviDeFora mira();
    // Before Desfés or Refés: whether the history `hiHa` what they need; throws ErrorCanviExtern
    // when another program changed the file since.
    bool comprovaHistoria(bool hiHa, const char* que);
    void posaMostrat(const record::TipusAlumne& alumne, bool nou = false);
    // The file steps of a change; each marks the change as made once the file holds it.
    void escriu(qint16 numero, const QByteArray& bytes);
    void talla(qint64 longitud);
    void substitueix(const QByteArray& bytes);
    void haCanviat();
    // Runs a change's step and moves the history with `mou` once the file holds it.
    template <class Pas, class Mou>
    qint16 segueix(Pas&& pas, Mou&& mou);
    qint16 fes(Canvi* canvi);
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
    // Found by a save that then failed: the save that succeeds says it.
    CanviDeFora m_deForaPendent = CanviDeFora::Cap;
    bool m_renumera = false;
    bool m_perReobrir = false;  // another file took the name, and opening it failed  // the next
                                // save numbers as after another program's change
    record::TipusAlumne m_mostrat;
    bool m_nou = false;      // the screen is a new student, not yet in the file
    bool m_buidada = false;  // a change left the class empty, and nothing was saved since
    quint64 m_vista = 0;
};
