// q2x7 exporta: the students of a file in another program's format.
#include "exchange/columnes.h"
#include "exchange/exportacio.h"
#include "exchange/fitxer_alumnes.h"
#include "exchange/sortida.h"
#include "ordres.h"

#include <unistd.h>

namespace ordres {

using exchange::ErrorIntercanvi;

int exporta(const linia_ordres::Exporta& peticio) {
    try {
        const bool estandard = peticio.sortida.isEmpty();
        // Written into, the student file would be lost under its own export.
        if (!estandard && exchange::mateixFitxer(peticio.fitxer, peticio.sortida))
            throw ErrorIntercanvi(
                QStringLiteral("%1 és el mateix fitxer d'alumnes: no s'hi exporta")
                    .arg(peticio.sortida));
        if (estandard && exchange::mateixFitxer(STDOUT_FILENO, peticio.fitxer))
            throw ErrorIntercanvi(
                QStringLiteral("la sortida estàndard és el fitxer d'alumnes %1: no s'hi exporta")
                    .arg(peticio.fitxer));
        auto& crides = platform::CridesSistema::reals();
        const std::unique_ptr<exchange::Sortida> desti =
            estandard ? exchange::Sortida::estandard()
                      : exchange::Sortida::fitxer(
                            peticio.sortida, exchange::Sortida::SiExisteix::Substitueix, crides);
        const exchange::DadesExportacio dades{exchange::nomDelGrup(peticio.fitxer),
                                              QDate::currentDate(), peticio.opcions};
        exchange::exportaAlumnes(peticio.fitxer, *peticio.format, *desti, dades, crides,
                                 [](const QString& nota) { escriuError(u"q2x7: "_qs + nota); });
        desti->publica();
        return kFet;
    } catch (const ErrorIntercanvi& error) {
        escriuError(u"q2x7: "_qs + error.missatge());
        return kFallat;
    }
}

}  // namespace ordres
