#include "exchange/columnes.h"
#include "main_window/frm_alumnes.h"

#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>

#include <algorithm>
#include <exception>
#include <utility>

using record::Camp;

// Runs one file step until it succeeds or the user stops asking to try again. Once the program
// is ending nobody is there to answer, so a failure gives up at once.
template <class Pas>
bool frmAlumnes::ambReintents(const QString& pregunta, Pas&& pas) {
    for (;;) {
        try {
            pas();
            return true;
        } catch (const std::exception&) {
            if (m_acabant || !m_serveis.missatges.preguntaSiNo(pregunta))
                return false;
        }
    }
}

QLineEdit* frmAlumnes::caixaDe(Camp camp) const {
    switch (camp) {
        case Camp::Nom:
            return txtNom;
        case Camp::Adreca:
            return txtAdreça;
        case Camp::CodiPostal:
            return txtCodiPostal;
        case Camp::Poblacio:
            return txtPoblació;
        case Camp::Telefon:
            return txtTelèfon;
    }
    return nullptr;
}

std::array<std::pair<Camp, QLineEdit*>, 5> frmAlumnes::campsDePantalla() const {
    std::array<std::pair<Camp, QLineEdit*>, 5> camps;
    for (std::size_t i = 0; i < camps.size(); ++i)
        camps[i] = {exchange::kColumnes[i].camp, caixaDe(exchange::kColumnes[i].camp)};
    return camps;
}

void frmAlumnes::NetejarPantalla() {
    lblNúmRegistreActual->setText(QString());
    {
        const QScopedValueRollback mentre(m_omplintPantalla, true);
        for (QLineEdit* camp : {txtNom, txtAdreça, txtPoblació, txtCodiPostal, txtTelèfon})
            camp->setText(QString());
    }
    actualitzaMenus();
}

record::TipusAlumne frmAlumnes::pantalla() const {
    record::TipusAlumne alumne;
    for (const auto& [camp, caixa] : campsDePantalla())
        alumne.posa(camp, caixa->text());
    return alumne;
}

bool frmAlumnes::pantallaTocada() const {
    return fitxerObert() && m_classe.pantallaTocada(pantalla());
}

bool frmAlumnes::GravarRegistre() {
    for (const auto& [camp, caixa] : campsDePantalla())
        Alumne.posa(camp, caixa->text());

    Desat desat;
    if (!ambReintents(QStringLiteral("No desat. Ho torno a intentar?"),
                      [&] { desat = m_classe.desa(Alumne); }))
        return false;
    if (desat.deFora != CanviDeFora::Cap)
        mostraCanviDeFora(desat);
    return true;
}

// Another program changed the file: said once, and the screen shows where the student is now,
// or what the file holds when nothing typed was saved.
void frmAlumnes::mostraCanviDeFora(const Desat& desat) {
    const qint16 actual = m_classe.registreActual();
    const qint16 total = m_classe.numRegistres();
    avisa(desat.deFora == CanviDeFora::Substituit
              ? QStringLiteral("Un altre programa ha substituït el fitxer.")
              : QStringLiteral("Un altre programa ha canviat el fitxer: ara té %1.")
                    .arg(total == 1 ? u"1 alumne"_qs : QStringLiteral("%1 alumnes").arg(total)));
    if (desat.escrit || actual > total)
        posaNumeroRegistre(actual);
    else if (LlegirRegistre(actual))
        m_classe.posaActual(actual);
}

bool frmAlumnes::LlegirRegistre(qint16 numero) {
    const bool llegit = ambReintents(QStringLiteral("No llegit. Ho torno a intentar?"),
                                     [&] { Alumne = m_classe.llegeix(numero); });
    if (!llegit)
        return false;

    posaPantalla(Alumne);
    posaNumeroRegistre(numero);
    return true;
}

void frmAlumnes::posaPantalla(const record::TipusAlumne& alumne) {
    {
        const QScopedValueRollback mentre(m_omplintPantalla, true);
        for (const auto& [camp, caixa] : campsDePantalla()) {
            caixa->setText(alumne.text(camp));
            // Fields come padded with spaces; the start of the text is what the user wants to
            // see.
            caixa->setCursorPosition(0);
        }
    }
    actualitzaMenus();
}

void frmAlumnes::posaNumeroRegistre(qint16 numero) {
    lblNúmRegistreActual->setText(QString::number(numero));
}
