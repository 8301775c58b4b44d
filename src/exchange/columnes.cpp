#include "exchange/columnes.h"

#include <QFileInfo>

#include <algorithm>

namespace exchange {

namespace {

// Space and NUL are one byte each in Windows-1252: the field can be trimmed before it is decoded.
QByteArrayView senseFarciment(const record::TipusAlumne& alumne, record::Camp camp) {
    QByteArrayView bytes = alumne.bytesDelCamp(camp);
    while (!bytes.isEmpty() && (bytes.back() == ' ' || bytes.back() == '\0'))
        bytes.chop(1);
    return bytes;
}

}  // namespace

QString textDelCamp(const record::TipusAlumne& alumne, record::Camp camp) {
    QByteArray utf8;
    afegeixCampUtf8(alumne, camp, utf8);
    return QString::fromUtf8(utf8);
}

void afegeixCampUtf8(const record::TipusAlumne& alumne, record::Camp camp, QByteArray& utf8) {
    record::afegeixComUtf8(senseFarciment(alumne, camp), utf8);
}

bool esBuit(const record::TipusAlumne& alumne) {
    return std::all_of(kColumnes.begin(), kColumnes.end(),
                       [&](const Columna& c) { return senseFarciment(alumne, c.camp).isEmpty(); });
}

QString nomDelGrup(const QString& cami) {
    return QFileInfo(cami).completeBaseName();
}

QString lletresDeColumna(qsizetype columna) {
    QString lletres;
    for (qsizetype n = columna + 1; n > 0; n = (n - 1) / 26)
        lletres.prepend(QChar(char16_t(u'A' + (n - 1) % 26)));
    return lletres;
}

}  // namespace exchange
