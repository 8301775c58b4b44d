#include "create_dialog/fitxer_crear.h"
#include "main_window/frm_alumnes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>

#include <exception>
#include <stdexcept>

namespace {
const QString kFiltreObrir = QStringLiteral("Tots els fitxers(*.*)|*.*");
const QString kErrorDisc = QStringLiteral("Hi ha un error de disc");
const QString kErrorCrear = QStringLiteral("Hi ha hagut un error");
}  // namespace

void frmAlumnes::mostraNomFitxer(const QString& cami) {
    txtNomFitxer->setText(cami);
    txtNomFitxer->end(false);
}

void frmAlumnes::avisa(const QString& text) {
    if (!m_acabant)
        m_serveis.missatges.avisa(text);
}

// The box names the failure; its reason goes to the journal, where it can be looked up.
void frmAlumnes::avisaDelDisc(const QString& text, const QString& motiu) {
    m_serveis.diari.escriu(QStringLiteral("«%1»: %2").arg(text, motiu));
    avisa(text);
}

void frmAlumnes::tancaCanalSenseDesar() {
    m_classe.tancaSenseAvisar();
    m_noms.NomFitxer.clear();
    actualitzaMenus();
}

void frmAlumnes::comptaRegistres() {
    try {
        m_classe.compta();
    } catch (const std::exception&) {
        // Left open with the old position, the next save would write the screen over some
        // student of this file.
        tancaCanalSenseDesar();
        throw;
    }
}

void frmAlumnes::avisaErrorDeDisc(const std::exception& error) {
    avisaDelDisc(kErrorDisc, QString::fromStdString(error.what()));
}

// Record 1 goes on screen whenever the file holds any of its bytes, even a partial record that
// counts as none; only an empty file leaves the fields as they are.
void frmAlumnes::mostraPrimerRegistre() {
    m_classe.posaActual(1);
    if (!m_classe.teBytes()) {
        posaNumeroRegistre(1);
        return;
    }
    if (!LlegirRegistre(1)) {
        // The screen does not hold record 1: the next save would write it over that student.
        const QString cami = m_noms.NomFitxer;
        tancaCanalSenseDesar();
        throw std::runtime_error(QStringLiteral("no s'ha pogut llegir el primer registre de %1")
                                     .arg(cami)
                                     .toStdString());
    }
}

void frmAlumnes::Obrir() {
    const OrdreEnCurs ordre(*this);
    const QString cami = m_serveis.dialegObrir.obre(kFiltreObrir);
    if (m_acabant)
        return;
    // The open file is closed whatever the user did in the dialog.
    if (fitxerObert())
        Tancar();
    obreCami(cami);
}

void frmAlumnes::ObrirFitxer(const QString& cami) {
    const OrdreEnCurs ordre(*this);
    if (fitxerObert())
        Tancar();
    // Opening creates a missing file: a name given from outside must already be a student file.
    if (!m_serveis.sistemaFitxers.esFitxer(cami)) {
        avisaDelDisc(kErrorDisc, QStringLiteral("%1 no és cap fitxer d'alumnes que existeixi")
                                     .arg(cami.isEmpty() ? QStringLiteral("«»") : cami));
        return;
    }
    obreCami(cami);
}

void frmAlumnes::obreCami(const QString& cami) {
    const auto actualitza = qScopeGuard([this] { actualitzaMenus(); });
    try {
        m_noms.NomFitxer = cami;
        mostraNomFitxer(cami);
        m_classe.obre(cami, LongRegistre);
        comptaRegistres();
        mostraPrimerRegistre();
    } catch (const std::exception& error) {
        avisaErrorDeDisc(error);
    }
}

void frmAlumnes::Tancar() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert())
        return;
    const auto actualitza = qScopeGuard([this] { actualitzaMenus(); });
    try {
        GravarRegistre();  // a save given up does not stop the close
        NetejarPantalla();
        m_classe.tanca();
        m_noms.NomFitxer.clear();
    } catch (const std::exception& error) {
        avisaErrorDeDisc(error);
    }
}

void frmAlumnes::Sortir() {
    const OrdreEnCurs ordre(*this);
    Tancar();
    m_sortit = true;
    close();
    QCoreApplication::quit();
}

void frmAlumnes::closeEvent(QCloseEvent* event) {
    // The title bar's close and Alt+F4 save the screen like "Sortir" does.
    if (!m_sortit) {
        Tancar();
        m_sortit = true;
    }
    event->accept();
}

void frmAlumnes::Acabar() {
    if (m_acabant)
        return;
    m_acabant = true;
    if (m_ordresEnCurs == 0) {
        finalitza();
        return;
    }
    // A command waits on a modal window: hiding the window ends its wait as a cancel would, and
    // the command unwinds without showing anything more; the last one out ends the program.
    for (int i = 0; i < 16; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            break;
        modal->hide();
    }
}

void frmAlumnes::AcabarSensePantalla() {
    m_acabant = true;  // nobody is there to answer a question
    if (!fitxerObert())
        return;
    GravarRegistre();
    tancaCanalSenseDesar();
}

void frmAlumnes::DesarPerALaSessio() {
    // A command under way saves by itself, and its boxes may be up: nothing is done under them.
    if (m_acabant || m_ordresEnCurs > 0 || !fitxerObert())
        return;
    const OrdreEnCurs ordre(*this);
    GravarRegistre();
}

void frmAlumnes::finalitza() {
    if (m_finalitzat)
        return;
    m_finalitzat = true;  // Sortir is a command too: its own end comes back here
    Sortir();
}

void frmAlumnes::Crear() {
    const OrdreEnCurs ordre(*this);
    if (fitxerObert())
        Tancar();
    if (!m_fitxerCrear)
        m_fitxerCrear = std::make_unique<create_dialog::FitxerCrear>(m_serveis, m_noms);
    m_fitxerCrear->mostra(this);
    const auto actualitza = qScopeGuard([this] { actualitzaMenus(); });
    if (m_acabant || m_noms.NomFitxerNou.isEmpty())
        return;
    try {
        m_classe.obre(m_noms.NomFitxerNou, LongRegistre);
        m_noms.NomFitxer = m_noms.NomFitxerNou;
        mostraNomFitxer(m_noms.NomFitxerNou);
        comptaRegistres();
        // A file kept when the user would not delete it shows its first student, so that the
        // first save cannot write a blank screen over it.
        mostraPrimerRegistre();
    } catch (const std::exception& error) {
        avisaDelDisc(kErrorCrear, QString::fromStdString(error.what()));
    }
}
