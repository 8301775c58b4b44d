#pragma once

#include "support/fakes.h"
#include "support/fitxers.h"

#include <QDir>
#include <QTemporaryDir>

namespace proves {

// Three drives made of temporary folders, A, B and C, the process standing in A/classe.
// A holds the files "Grup" and "Text1.bak"; A/classe holds "alumnes".
struct TresUnitats {
    QTemporaryDir temporal;
    QString a, b, c;
    QString directoriInicial = QDir::currentPath();

    explicit TresUnitats(SistemaFitxersFals& fs) {
        QDir arrel(QDir(temporal.path()).canonicalPath());
        for (const auto nom : {"A/classe/sub", "A/altra", "B/curs", "C"})
            arrel.mkpath(QString::fromLatin1(nom));
        a = arrel.filePath(u"A"_qs);
        b = arrel.filePath(u"B"_qs);
        c = arrel.filePath(u"C"_qs);
        escriuFitxer(a + u"/Grup"_qs, bytesDe({{u"Anna"_qs}}));
        escriuFitxer(a + u"/Text1.bak"_qs, {});
        escriuFitxer(a + u"/classe/alumnes"_qs, bytesDe({{u"Berta"_qs}}));
        fs.unitatsFalses = QStringList{a, b, c};
        QDir::setCurrent(a + u"/classe"_qs);
    }
    ~TresUnitats() { QDir::setCurrent(directoriInicial); }
};

}  // namespace proves
