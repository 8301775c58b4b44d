#include "main_window/frm_alumnes.h"

#include <QLabel>

#include <optional>

// Every command saves the screen first and goes no further when that save is given up; a move
// changes RegistreActual only once the target record is on screen.

void frmAlumnes::Primer() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || !GravarRegistre() || !LlegirRegistre(1))
        return;
    m_classe.posaActual(1);
}

void frmAlumnes::Anterior() {
    const OrdreEnCurs ordre(*this);
    const qint16 actual = m_classe.registreActual();
    if (!fitxerObert() || actual <= 1)
        return;
    if (!GravarRegistre() || !LlegirRegistre(qint16(actual - 1)))
        return;
    m_classe.posaActual(qint16(actual - 1));
}

void frmAlumnes::Següent() {
    const OrdreEnCurs ordre(*this);
    const qint16 actual = m_classe.registreActual();
    if (!fitxerObert() || actual >= m_classe.numRegistres())
        return;
    if (!GravarRegistre() || !LlegirRegistre(qint16(actual + 1)))
        return;
    m_classe.posaActual(qint16(actual + 1));
}

void frmAlumnes::Últim() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || !GravarRegistre() || !LlegirRegistre(m_classe.numRegistres()))
        return;
    m_classe.posaActual(m_classe.numRegistres());
}

void frmAlumnes::Nou() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || !GravarRegistre())
        return;
    const std::optional<qint16> nou = m_classe.nou();
    if (!nou) {
        avisa(QStringLiteral("El fitxer és ple"));
        return;
    }
    NetejarPantalla();
    posaNumeroRegistre(*nou);
}

void frmAlumnes::GravarPantalla() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert())
        return;
    if (!GravarRegistre())
        avisa(QStringLiteral("No desat"));
}
