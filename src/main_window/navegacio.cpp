#include "main_window/frm_alumnes.h"

#include <QLabel>

#include <algorithm>
#include <limits>

// Every command saves the screen first and goes no further when that save is given up; a move
// changes RegistreActual only once the target record is on screen.

void frmAlumnes::Primer() {
    if (!fitxerObert() || !GravarRegistre() || !LlegirRegistre(1))
        return;
    RegistreActual = 1;
}

void frmAlumnes::Anterior() {
    if (!fitxerObert() || RegistreActual <= 1)
        return;
    if (!GravarRegistre() || !LlegirRegistre(qint16(RegistreActual - 1)))
        return;
    --RegistreActual;
}

void frmAlumnes::Següent() {
    if (!fitxerObert() || RegistreActual >= NumRegistres)
        return;
    if (!GravarRegistre() || !LlegirRegistre(qint16(RegistreActual + 1)))
        return;
    ++RegistreActual;
}

void frmAlumnes::Últim() {
    if (!fitxerObert() || !GravarRegistre() || !LlegirRegistre(NumRegistres))
        return;
    RegistreActual = NumRegistres;
}

void frmAlumnes::Nou() {
    if (!fitxerObert() || !GravarRegistre())
        return;
    // Counting from the record on screen too: in an empty file the student saved as record 1
    // lies past the count, and the new one must not be given its number again.
    const int nou = std::max(NumRegistres, RegistreActual) + 1;
    if (nou > std::numeric_limits<qint16>::max()) {
        m_serveis.missatges.avisa(QStringLiteral("El fitxer és ple"));
        return;
    }
    NetejarPantalla();
    NumRegistres = qint16(nou);
    RegistreActual = NumRegistres;
    posaNumeroRegistre(RegistreActual);
}

void frmAlumnes::GravarPantalla() {
    if (!fitxerObert())
        return;
    if (!GravarRegistre())
        m_serveis.missatges.avisa(QStringLiteral("No desat"));
}
