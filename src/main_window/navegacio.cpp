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

// The target is taken after the save: when another program changed the file, the save may have
// put the student at another number, and said so.
void frmAlumnes::Anterior() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || m_classe.registreActual() <= 1 || !GravarRegistre())
        return;
    const qint16 anterior = qint16(m_classe.registreActual() - 1);
    if (anterior < 1 || !LlegirRegistre(anterior))
        return;
    m_classe.posaActual(anterior);
}

void frmAlumnes::Següent() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || m_classe.registreActual() >= m_classe.numRegistres() || !GravarRegistre())
        return;
    const qint16 seguent = qint16(m_classe.registreActual() + 1);
    if (seguent > m_classe.numRegistres() || !LlegirRegistre(seguent))
        return;
    m_classe.posaActual(seguent);
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
