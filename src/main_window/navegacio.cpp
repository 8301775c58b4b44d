#include "main_window/frm_alumnes.h"

#include <QLabel>

#include <algorithm>
#include <limits>

// Every command saves the screen first and goes no further when that save is given up; a move
// changes RegistreActual only once the target record is on screen.

void frmAlumnes::Primer() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || !GravarRegistre() || !LlegirRegistre(1))
        return;
    RegistreActual = 1;
}

void frmAlumnes::Anterior() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || RegistreActual <= 1)
        return;
    if (!GravarRegistre() || !LlegirRegistre(qint16(RegistreActual - 1)))
        return;
    --RegistreActual;
}

void frmAlumnes::Següent() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || RegistreActual >= NumRegistres)
        return;
    if (!GravarRegistre() || !LlegirRegistre(qint16(RegistreActual + 1)))
        return;
    ++RegistreActual;
}

void frmAlumnes::Últim() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || !GravarRegistre() || !LlegirRegistre(NumRegistres))
        return;
    RegistreActual = NumRegistres;
}

void frmAlumnes::Nou() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || !GravarRegistre())
        return;
    // Past the count and past every record already in the file: in an empty file the student
    // just saved as record 1 lies past the count, and a partial last record lies past it too.
    const qint64 nou = std::max<qint64>(NumRegistres, m_registresOcupats) + 1;
    if (nou > std::numeric_limits<qint16>::max()) {
        avisa(QStringLiteral("El fitxer és ple"));
        return;
    }
    NetejarPantalla();
    NumRegistres = qint16(nou);
    RegistreActual = NumRegistres;
    posaNumeroRegistre(RegistreActual);
}

void frmAlumnes::GravarPantalla() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert())
        return;
    if (!GravarRegistre())
        avisa(QStringLiteral("No desat"));
}
