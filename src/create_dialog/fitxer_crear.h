#pragma once

#include "platform/serveis.h"
#include "record/noms_fitxer.h"

#include <QString>

class QWidget;

namespace create_dialog {

// The create-file dialog as the program keeps it: made the first time it is needed and kept for
// the run, remembering DiscAnterior, while its window is built anew for each showing.
class FitxerCrear {
  public:
    FitxerCrear(platform::Serveis serveis, record::NomsFitxer& noms)
        : m_serveis(serveis), m_noms(noms) {}

    // Shows the window modally; afterwards NomFitxerNou holds the chosen path, or "".
    void mostra(QWidget* pare);

    // The drive list's index, as decimal text, saved when the directory list last took the focus.
    QString DiscAnterior;

  private:
    platform::Serveis m_serveis;
    record::NomsFitxer& m_noms;
};

}  // namespace create_dialog
