#pragma once

#include "exchange/format.h"

#include <QByteArray>
#include <QStringList>

namespace proves {

// The bytes a format's writer makes of these records, as an export would.
QByteArray exportaEn(const QString& format, const QByteArray& registres,
                     const exchange::DadesExportacio& dades = {});

// What an import makes of these bytes, as a file: the records, or the refusal's message.
struct Importacio {
    QByteArray registres;
    int nombre = 0;
    QStringList avisos;
    QString error;  // "" when taken
};
Importacio importaBytes(const QByteArray& entrada, const exchange::Opcions& opcions = {},
                        const QString& format = u"csv"_qs);

}  // namespace proves
