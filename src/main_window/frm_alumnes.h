#pragma once

#include "platform/serveis.h"
#include "record/noms_fitxer.h"
#include "record/tipus_alumne.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <utility>

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
    void Tancar();
    void Sortir();

    qint16 registreActual() const { return RegistreActual; }
    qint16 numRegistres() const { return NumRegistres; }
    qint16 longRegistre() const { return LongRegistre; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void creaControls();
    void creaMenu();
    void connectaOrdres();
    std::array<std::pair<record::Camp, QLineEdit*>, 5> campsDePantalla() const;
    bool fitxerObert() const { return !m_noms.NomFitxer.isEmpty(); }
    void mostraNomFitxer(const QString& cami);
    void posaNumeroRegistre(qint16 numero);
    void comptaRegistres();
    void mostraPrimerRegistre();
    void tancaCanalSenseDesar();

    platform::Serveis m_serveis;
    record::NomsFitxer& m_noms;
    std::unique_ptr<create_dialog::FitxerCrear> m_fitxerCrear;
    bool m_sortit = false;

    qint16 RegistreActual = 0;
    qint16 NumRegistres = 0;
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
    QAction* mnuCrear = nullptr;
    QAction* mnuObrir = nullptr;
    QAction* mnuTancar = nullptr;
    QAction* mnuSortir = nullptr;
};
