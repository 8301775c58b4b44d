// q2x7 importa: a class from another program's rows, as a new student file or after the last
// student of one.
#include "exchange/entrada.h"
#include "exchange/fitxer_alumnes.h"
#include "exchange/importacio.h"
#include "exchange/sortida.h"
#include "ordres.h"

#include <QFileInfo>

namespace ordres {

using exchange::ErrorIntercanvi;

int importa(const linia_ordres::Importa& peticio) {
    // Said at the end, summed up; a refusal says its reason first.
    exchange::RecullAvisos recull;
    const exchange::Avisos avisa = recull.avisos();
    const auto diguesLesNotes = [&recull] {
        for (const QString& avis : recull.resum())
            escriuError(avis);
    };
    try {
        const QString& fitxer = peticio.fitxer;
        auto& crides = platform::CridesSistema::reals();
        // Before the input is read: the names may have been given the wrong way round.
        if (peticio.afegeix)
            exchange::comprovaQueEsDAlumnes(fitxer, crides);
        const bool existeix = QFileInfo::exists(fitxer);
        if (existeix && !peticio.afegeix)
            throw ErrorIntercanvi(
                QStringLiteral("%1 ja existeix: no s'hi escriu (amb --afegeix, s'hi afegeixen "
                               "els alumnes al final)")
                    .arg(fitxer));
        exchange::Entrada entrada(peticio.entrada, crides);
        const auto lector =
            exchange::formatDeLEntrada(entrada).lector(entrada, {peticio.opcions}, avisa);
        // The names already there, to say which students it holds already.
        QStringList classe;
        if (existeix) {
            exchange::LectorDAlumnes alumnes(fitxer, crides);
            QByteArray bloc;
            while (alumnes.seguent(bloc))
                classe += exchange::nomsDeLaClasse(bloc);
        }
        const exchange::Importats importats = exchange::importaFiles(*lector, avisa, classe);
        if (existeix) {
            exchange::afegeixAlumnes(fitxer, importats.registres, crides, avisa);
        } else {
            const auto desti =
                exchange::Sortida::fitxer(fitxer, exchange::Sortida::SiExisteix::Refusa, crides);
            desti->write(importats.registres);
            desti->publica();
        }
        diguesLesNotes();
        return kFet;
    } catch (const ErrorIntercanvi& error) {
        escriuError(u"q2x7: "_qs + error.missatge());
        diguesLesNotes();
        return kFallat;
    }
}

}  // namespace ordres
