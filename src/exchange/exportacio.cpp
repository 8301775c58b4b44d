#include "exchange/exportacio.h"

#include "exchange/columnes.h"
#include "exchange/fitxer_alumnes.h"

namespace exchange {

int exportaAlumnes(const QString& fitxer, const Format& format, QIODevice& sortida,
                   const DadesExportacio& dades, platform::CridesSistema& crides,
                   const Avisos& avisa) {
    LectorDAlumnes lector(fitxer, crides);
    if (lector.obertEnUnAltrePrograma())
        avisa(QStringLiteral("%1 és obert en un altre programa; s'exporta el que hi ha desat")
                  .arg(fitxer));
    const std::unique_ptr<EscriptorAlumnes> escriptor = format.escriptor(sortida, dades);
    int numero = 0;
    int alumnes = 0;
    qsizetype cua = 0;
    QByteArray bloc;
    while (lector.seguent(bloc)) {
        const VistaRegistres vista(bloc);
        for (qsizetype i = 0; i < vista.nombre(); ++i) {
            const record::TipusAlumne alumne = vista.alumne(i);
            escriptor->alumne(++numero, alumne);
            alumnes += !esBuit(alumne);
        }
        cua = vista.bytesDeLaCua();
    }
    escriptor->acaba();
    if (cua)
        avisa(QStringLiteral("l'últim registre de %1, el %2, és incomplet (%3 de %4 bytes); "
                             "s'exporta fins on arriba, i una importació el tornaria sencer")
                  .arg(fitxer)
                  .arg(numero)
                  .arg(cua)
                  .arg(kLongitudRegistre));
    if (numero > kMaximRegistres)
        avisa(QStringLiteral("%1 té %2 registres: s'exporten tots, però una importació no pot "
                             "tornar els que passen del 32767 (del 32768 al %2)")
                  .arg(fitxer)
                  .arg(numero));
    return alumnes;
}

}  // namespace exchange
