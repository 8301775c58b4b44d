#include "support/intercanvi.h"

#include "exchange/entrada.h"
#include "exchange/fitxer_alumnes.h"
#include "exchange/importacio.h"

#include <sys/mman.h>
#include <unistd.h>
#include <QBuffer>

namespace proves {

QByteArray exportaEn(const QString& format, const QByteArray& registres,
                     const exchange::DadesExportacio& dades) {
    QBuffer sortida;
    sortida.open(QIODevice::WriteOnly);
    const auto escriptor = exchange::formatPerNom(format)->escriptor(sortida, dades);
    const exchange::VistaRegistres vista(registres);
    for (qsizetype i = 0; i < vista.nombre(); ++i)
        escriptor->alumne(int(i + 1), vista.alumne(i));
    escriptor->acaba();
    return sortida.data();
}

Importacio importaBytes(const QByteArray& entrada, const exchange::Opcions& opcions,
                        const QString& format) {
    // A file in memory: the fuzzer makes thousands of them.
    const int descriptor = ::memfd_create("entrada", MFD_CLOEXEC);
    if (descriptor < 0 ||
        ::write(descriptor, entrada.constData(), size_t(entrada.size())) != ssize_t(entrada.size()))
        qFatal("no es pot escriure l'entrada");
    const QString cami = u"/proc/self/fd/"_qs + QString::number(descriptor);
    Importacio resultat;
    const exchange::Avisos avisa = [&](const QString& avis) { resultat.avisos << avis; };
    try {
        exchange::Entrada llegida(cami, platform::CridesSistema::reals());
        const auto lector = exchange::formatPerNom(format)->lector(llegida, {opcions}, avisa);
        const exchange::Importats importats = exchange::importaFiles(*lector, avisa);
        resultat.registres = importats.registres;
        resultat.nombre = importats.nombre;
    } catch (const exchange::ErrorIntercanvi& error) {
        resultat.error = error.missatge();
    }
    ::close(descriptor);
    return resultat;
}

}  // namespace proves
