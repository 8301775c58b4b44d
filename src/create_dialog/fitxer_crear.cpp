#include "create_dialog/fitxer_crear.h"

#include "create_dialog/frm_fitxer_crear.h"
#include "platform/finestres.h"

namespace create_dialog {

void FitxerCrear::mostra(QWidget* pare) {
    frmFitxerCrear finestra(m_serveis, m_noms, DiscAnterior, pare);
    if (finestra.exec() != QDialog::Accepted)
        m_noms.NomFitxerNou.clear();
    platform::tornaElFocus(pare);
}

}  // namespace create_dialog
