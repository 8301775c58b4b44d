// The Edita menu, and the ordering of the Classe menu: every item first saves the record on
// screen, as every move does, and goes no further when that save is given up.
#include "main_window/dialeg_cerca.h"
#include "main_window/frm_alumnes.h"
#include "platform/finestres.h"

#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>

#include <utility>

// Desfés and Refés make no change of their own: typing on screen is itself the newest change,
// taken back without writing anything, and put back by Refés.
void frmAlumnes::Desfes() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert())
        return;
    if (pantallaTocada()) {
        QStringList textos;
        for (const auto& [camp, caixa] : campsDePantalla())
            textos << caixa->text();
        posaPantalla(m_classe.mostrat());
        m_pantallaDesfeta = PantallaDesfeta{m_classe.vista(), textos};
        actualitzaMenus();
        return;
    }
    desfesIMostra();
}

void frmAlumnes::Refes() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || pantallaTocada())
        return;  // the typing is newer than anything Refés would make again
    if (refaLaPantalla()) {
        const PantallaDesfeta desfeta = *std::exchange(m_pantallaDesfeta, std::nullopt);
        const QScopedValueRollback mentre(m_omplintPantalla, true);
        int i = 0;
        for (const auto& [camp, caixa] : campsDePantalla())
            caixa->setText(desfeta.textos.value(i++));
    } else {
        refesIMostra();
    }
    actualitzaMenus();
}

bool frmAlumnes::refaLaPantalla() const {
    return m_pantallaDesfeta && m_pantallaDesfeta->vista == m_classe.vista() && !pantallaTocada();
}

void frmAlumnes::Elimina() {
    const OrdreEnCurs ordre(*this);
    if (fitxerObert() && GravarRegistre())
        canvia([this] { return std::optional(m_classe.elimina()); });
}

void frmAlumnes::Ordena() {
    const OrdreEnCurs ordre(*this);
    if (fitxerObert() && GravarRegistre())
        canvia([this] { return std::optional(m_classe.ordena()); });
}

void frmAlumnes::desfesIMostra() {
    canvia([this] { return m_classe.desfes(); });
}

void frmAlumnes::refesIMostra() {
    canvia([this] { return m_classe.refes(); });
}

template <class Pas>
void frmAlumnes::canvia(Pas&& pas) {
    std::optional<qint16> mostra;
    try {
        mostra = pas();
    } catch (const ErrorCanviExtern& error) {
        avisa(error.substituit()
                  ? QStringLiteral("Un altre programa ha substituït el fitxer.")
                  : QStringLiteral(
                        "No es pot %1: un altre programa ha canviat el fitxer des de llavors.")
                        .arg(QString::fromUtf8(error.what())));
        return;
    } catch (const std::exception& error) {
        avisaErrorDeDisc(error);
        // The file may have taken the change before the failure: the screen shows it as it is.
        mostra = m_classe.registreActual();
    }
    if (mostra)
        mostraDespresDeCanviar(*mostra);
}

void frmAlumnes::mostraDespresDeCanviar(qint16 numero) {
    if (numero == 0) {
        // Nobody left: as an empty file shows when it is opened.
        NetejarPantalla();
        posaNumeroRegistre(1);
        return;
    }
    if (!LlegirRegistre(numero)) {
        // The screen holds part of another record: the next save would write it over this one.
        avisaDelDisc(QStringLiteral("Hi ha un error de disc"),
                     QStringLiteral("no s'ha pogut llegir el registre %1 de %2")
                         .arg(numero)
                         .arg(m_noms.NomFitxer));
        tancaCanalSenseDesar();
        NetejarPantalla();
    }
}

void frmAlumnes::vesAlRegistre(qint16 numero) {
    if (LlegirRegistre(numero))
        m_classe.posaActual(numero);
}

void frmAlumnes::Cerca() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || !GravarRegistre())
        return;
    QByteArray registres;
    try {
        registres = m_classe.registres();
    } catch (const std::exception& error) {
        avisaErrorDeDisc(error);
        return;
    }
    // Built when first used: the window starts as fast without it.
    if (!m_dialegCerca)
        m_dialegCerca = new DialegCerca(this);
    m_dialegCerca->carrega(registres, m_classe.registreActual());
    const int resposta = m_dialegCerca->exec();
    platform::tornaElFocus(this);
    if (resposta != QDialog::Accepted || m_acabant || !fitxerObert())
        return;
    vesAlRegistre(m_dialegCerca->triat());
}

void frmAlumnes::VesA() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || !GravarRegistre())
        return;
    if (!m_dialegVesA)
        m_dialegVesA = new DialegVesA(this);
    m_dialegVesA->prepara(m_classe.registreActual(), m_classe.numRegistres());
    const int resposta = m_dialegVesA->exec();
    platform::tornaElFocus(this);
    if (resposta != QDialog::Accepted || m_acabant || !fitxerObert())
        return;
    vesAlRegistre(m_dialegVesA->numero());
}
