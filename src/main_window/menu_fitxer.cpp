#include "create_dialog/fitxer_crear.h"
#include "main_window/frm_alumnes.h"
#include "record/recompte.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>

#include <exception>

namespace {
const QString kFiltreObrir = QStringLiteral("Tots els fitxers(*.*)|*.*");
const QString kErrorDisc = QStringLiteral("Hi ha un error de disc");
const QString kErrorCrear = QStringLiteral("Hi ha hagut un error");
}  // namespace

void frmAlumnes::mostraNomFitxer(const QString& cami) {
    txtNomFitxer->setText(cami);
    txtNomFitxer->end(false);
}

void frmAlumnes::tancaCanalSenseDesar() {
    try {
        m_serveis.sistemaFitxers.tanca();
    } catch (const std::exception&) {
        // Already failing: the caller's message is the one the user sees.
    }
    m_noms.NomFitxer.clear();
}

void frmAlumnes::comptaRegistres() {
    try {
        NumRegistres = record::NombreDeRegistres(m_serveis.sistemaFitxers.longitud(), LongRegistre);
    } catch (const std::exception&) {
        // Left open with the old position, the next save would write the screen over some
        // student of this file.
        tancaCanalSenseDesar();
        throw;
    }
}

void frmAlumnes::mostraPrimerRegistre() {
    RegistreActual = 1;
    if (NumRegistres < 1)
        posaNumeroRegistre(1);
    else
        LlegirRegistre(1);  // a read given up leaves the screen as it is
}

void frmAlumnes::Obrir() {
    const QString cami = m_serveis.dialegObrir.obre(kFiltreObrir);
    // The open file is closed whatever the user did in the dialog.
    if (fitxerObert())
        Tancar();
    try {
        m_noms.NomFitxer = cami;
        mostraNomFitxer(cami);
        m_serveis.sistemaFitxers.obre(cami, LongRegistre);
        comptaRegistres();
        mostraPrimerRegistre();
    } catch (const std::exception&) {
        m_serveis.missatges.avisa(kErrorDisc);
    }
}

void frmAlumnes::Tancar() {
    if (!fitxerObert())
        return;
    try {
        GravarRegistre();  // a save given up does not stop the close
        NetejarPantalla();
        m_serveis.sistemaFitxers.tanca();
        m_noms.NomFitxer.clear();
    } catch (const std::exception&) {
        m_serveis.missatges.avisa(kErrorDisc);
    }
}

void frmAlumnes::Sortir() {
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

void frmAlumnes::Crear() {
    if (fitxerObert())
        Tancar();
    if (!m_fitxerCrear)
        m_fitxerCrear = std::make_unique<create_dialog::FitxerCrear>(m_serveis, m_noms);
    m_fitxerCrear->mostra(this);
    if (m_noms.NomFitxerNou.isEmpty())
        return;
    try {
        m_serveis.sistemaFitxers.obre(m_noms.NomFitxerNou, LongRegistre);
        m_noms.NomFitxer = m_noms.NomFitxerNou;
        mostraNomFitxer(m_noms.NomFitxerNou);
        comptaRegistres();
        // A file kept when the user would not delete it shows its first student, so that the
        // first save cannot write a blank screen over it.
        mostraPrimerRegistre();
    } catch (const std::exception&) {
        m_serveis.missatges.avisa(kErrorCrear);
    }
}
