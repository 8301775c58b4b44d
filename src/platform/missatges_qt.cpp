#include "platform/finestres.h"
#include "platform/missatges.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

Resposta MissatgesQt::mostra(const QString& text, Botons botons, Icona icona, Resposta perDefecte) {
    const bool siNo = botons == Botons::SiNo;
    QWidget* pare = finestraDelDavant();
    QMessageBox caixa(icona == Icona::Atura ? QMessageBox::Critical : QMessageBox::NoIcon,
                      QStringLiteral("q2x7"), text,
                      siNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, pare);
    if (siNo) {
        caixa.setDefaultButton(perDefecte == Resposta::No ? QMessageBox::No : QMessageBox::Yes);
        caixa.setEscapeButton(QMessageBox::No);
    }
    const int resposta = caixa.exec();
    tornaElFocus(pare);
    if (!siNo)
        return Resposta::Acceptar;
    return resposta == QMessageBox::Yes ? Resposta::Si : Resposta::No;
}

}  // namespace platform
