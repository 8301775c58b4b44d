#pragma once

#include "exchange/importacio.h"
#include "main_window/classe_oberta.h"
#include "platform/serveis.h"
#include "record/noms_fitxer.h"
#include "record/tipus_alumne.h"

#include <QKeySequence>
#include <QList>
#include <QMainWindow>

#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class DialegCerca;
class DialegVesA;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace create_dialog {
class FitxerCrear;
}

// "Dades alumnes": shows one student of the open file at a time and writes the screen back to
// the file before every move, so the file always holds what was last on screen.
class frmAlumnes : public QMainWindow {
    Q_OBJECT

  public:
    frmAlumnes(platform::Serveis serveis, record::NomsFitxer& noms, QWidget* pare = nullptr);
    ~frmAlumnes() override;

    // Screen transfer, the building blocks of every command.
    void NetejarPantalla();
    // Every save reaches the disk before it counts as done.
    bool GravarRegistre();
    bool LlegirRegistre(qint16 numero);

    // Buttons.
    void Primer();
    void Anterior();
    void Següent();
    void Últim();
    void Nou();
    void GravarPantalla();

    // File menu.
    void Crear();
    void Obrir();
    // Opens a file named from outside (the command line) as Obrir opens the dialog's choice;
    // only an existing regular file is opened.
    void ObrirFitxer(const QString& cami);
    void Tancar();
    void Sortir();

    // Classe menu.
    void Exporta();
    void Importa();
    void EnganxaAlumnes();
    void Imprimeix();

    // The program was told to end (a signal, the session's logout): the record on screen is
    // saved once, nothing more is shown, and the program ends, even from inside a modal window.
    void Acabar();
    // The desktop session asks for the data to be committed: at its end, or for a checkpoint it
    // takes while the program goes on. The record on screen is saved, and the program stays.
    void DesarPerALaSessio();
    // The display went away: the record on screen is saved, with nothing shown, and the file is
    // closed. Touches no window, since none can be drawn any more.
    void AcabarSensePantalla();

    // Edita menu.
    void Desfes();
    void Refes();
    void Cerca();
    void VesA();
    void Elimina();
    // Classe menu.
    void Ordena();

    qint16 registreActual() const { return m_classe.registreActual(); }
    qint16 numRegistres() const { return m_classe.numRegistres(); }
    const ClasseOberta& classe() const { return m_classe; }
    qint16 longRegistre() const { return LongRegistre; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* objecte, QEvent* event) override;

  private:
    class OrdreEnCurs;

    void creaControls();
    void creaAccions();
    void actualitzaMenus();
    // Reads an import's rows, given the names already in the class.
    using LlegeixFiles =
        std::function<exchange::Importats(const exchange::Avisos&, const QStringList& classe)>;
    void importaDe(const QString& descripcio, const LlegeixFiles& llegeix);
    // Desfés's step, once the screen is saved: the file as before the newest change, and the
    // student it concerned on screen.
    void desfesIMostra();
    void refesIMostra();
    // Runs a change of the file and shows what it left: the record it returns (nothing for
    // nothing done), or why it failed.
    template <class Pas>
    void canvia(Pas&& pas);
    // Shows record `numero` after a change (a blank screen and "1" when the class is empty).
    void mostraDespresDeCanviar(qint16 numero);
    // Moves to a record once the screen was saved.
    void vesAlRegistre(qint16 numero);
    // The screen as a record, and whether it holds typing not yet saved.
    record::TipusAlumne pantalla() const;
    bool pantallaTocada() const;
    void posaPantalla(const record::TipusAlumne& alumne);
    // Whether Refés puts back typing Desfés took from the screen.
    bool refaLaPantalla() const;
    void mostraCanviDeFora(const Desat& desat);
    // The box of each column of the exchange formats, in their order.
    std::array<std::pair<record::Camp, QLineEdit*>, 5> campsDePantalla() const;
    QLineEdit* caixaDe(record::Camp camp) const;
    bool fitxerObert() const { return !m_noms.NomFitxer.isEmpty(); }
    void mostraNomFitxer(const QString& cami);
    void posaNumeroRegistre(qint16 numero);
    void comptaRegistres();
    // NumRegistres and the occupied records of a file of `longitud` bytes.
    void avisaErrorDeDisc(const std::exception& error);
    void mostraPrimerRegistre();
    void obreCami(const QString& cami);
    void tancaCanalSenseDesar();
    void finalitza();
    void avisa(const QString& text);
    void avisaDelDisc(const QString& text, const QString& motiu);
    template <class Pas>
    bool ambReintents(const QString& pregunta, Pas&& pas);

    platform::Serveis m_serveis;
    record::NomsFitxer& m_noms;
    std::unique_ptr<create_dialog::FitxerCrear> m_fitxerCrear;
    bool m_sortit = false;
    bool m_acabant = false;  // told to end: no more boxes, no more commands
    bool m_finalitzat = false;
    int m_ordresEnCurs = 0;  // commands under way, nested in modal windows
    ClasseOberta m_classe;
    QList<QKeySequence> m_teclesDeBotons;
    QList<QAction*> m_ambFitxer;  // the items that need an open file

    qint16 LongRegistre = 0;
    record::TipusAlumne Alumne;

    QFrame* Shape1 = nullptr;
    QFrame* Shape2 = nullptr;
    QLabel* lblNomFitxer = nullptr;
    QLineEdit* txtNomFitxer = nullptr;
    QLabel* lblNúmRegistreActual = nullptr;
    QLineEdit* txtNom = nullptr;
    QLineEdit* txtAdreça = nullptr;
    QLineEdit* txtPoblació = nullptr;
    QLineEdit* txtCodiPostal = nullptr;
    QLineEdit* txtTelèfon = nullptr;
    QPushButton* cmdPrimer = nullptr;
    QPushButton* cmdÚltim = nullptr;
    QPushButton* cmdSegüent = nullptr;
    QPushButton* cmdAnterior = nullptr;
    QPushButton* cmdNou = nullptr;
    QPushButton* cmdGravar = nullptr;
    QAction* mnuDesfes = nullptr;
    QAction* mnuRefes = nullptr;
    bool m_omplintPantalla = false;  // the boxes are being filled: the menus follow once, after
    // Typing Desfés took back from the screen, which Refés puts back while the screen shows the
    // record it was typed on, as the file holds it.
    struct PantallaDesfeta {
        quint64 vista;
        QStringList textos;
    };
    std::optional<PantallaDesfeta> m_pantallaDesfeta;
    int m_filtreExportacio = 0;
    DialegCerca* m_dialegCerca = nullptr;  // built when first used
    DialegVesA* m_dialegVesA =
        nullptr;  // the Save dialog's filter: the first, then the last chosen
};

// Marks a command under way. When the program was told to end while a command waited on a modal
// window, the last command to unwind is the one that ends it.
class frmAlumnes::OrdreEnCurs {
  public:
    explicit OrdreEnCurs(frmAlumnes& finestra) : m_finestra(finestra) {
        ++m_finestra.m_ordresEnCurs;
    }
    ~OrdreEnCurs() {
        if (--m_finestra.m_ordresEnCurs == 0 && m_finestra.m_acabant)
            m_finestra.finalitza();
    }
    OrdreEnCurs(const OrdreEnCurs&) = delete;
    OrdreEnCurs& operator=(const OrdreEnCurs&) = delete;

  private:
    frmAlumnes& m_finestra;
};
