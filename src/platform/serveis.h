#pragma once

#include "platform/classe.h"
#include "platform/dialeg_obrir.h"
#include "platform/diari.h"
#include "platform/missatges.h"
#include "platform/sistema_fitxers.h"

namespace platform {

// What the windows may reach outside themselves; the real program and the tests fill it in.
struct Serveis {
    Missatges& missatges;
    DialegObrir& dialegObrir;
    SistemaFitxers& sistemaFitxers;
    Diari& diari = Diari::estandard();
    // The Classe menu's: absent (null) where a window offers no such menu.
    DialegDesar* dialegDesar = nullptr;
    CaixaImportacio* caixaImportacio = nullptr;
    Portaretalls* portaretalls = nullptr;
    Impressio* impressio = nullptr;
};

}  // namespace platform
