#include "exchange/columnes.h"
#include "main_window/frm_alumnes.h"

#include <QLabel>
#include <QLineEdit>

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
    for (QLineEdit* camp : {txtNom, txtAdreça, txtPoblació, txtCodiPostal, txtTelèfon})
        camp->setText(QString());
}

bool frmAlumnes::GravarRegistre() {
    for (const auto& [camp, caixa] : campsDePantalla())
        Alumne.posa(camp, caixa->text());

    return ambReintents(QStringLiteral("No desat. Ho torno a intentar?"),
                        [&] { m_classe.desa(Alumne); });
}

bool frmAlumnes::LlegirRegistre(qint16 numero) {
    const bool llegit = ambReintents(QStringLiteral("No llegit. Ho torno a intentar?"),
                                     [&] { Alumne = m_classe.llegeix(numero); });
    if (!llegit)
        return false;

    for (const auto& [camp, caixa] : campsDePantalla()) {
        caixa->setText(Alumne.text(camp));
        // Fields come padded with spaces; the start of the text is what the user wants to see.
        caixa->setCursorPosition(0);
    }
    posaNumeroRegistre(numero);
    return true;
}

void frmAlumnes::posaNumeroRegistre(qint16 numero) {
    lblNúmRegistreActual->setText(QString::number(numero));
}
