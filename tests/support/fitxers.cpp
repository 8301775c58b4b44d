#include "support/fitxers.h"

#include <QFile>
#include <QTest>

namespace proves {

record::TipusAlumne registre(const Alumne& alumne) {
    using record::Camp;
    record::TipusAlumne r;
    r.posa(Camp::Nom, alumne.nom);
    r.posa(Camp::Adreca, alumne.adreca);
    r.posa(Camp::CodiPostal, alumne.codiPostal);
    r.posa(Camp::Poblacio, alumne.poblacio);
    r.posa(Camp::Telefon, alumne.telefon);
    return r;
}

QByteArray bytesDe(std::initializer_list<Alumne> alumnes) {
    QByteArray bytes;
    for (const Alumne& alumne : alumnes)
        bytes += registre(alumne).bytes();
    return bytes;
}

QByteArray llegeixFitxer(const QString& cami) {
    QFile fitxer(cami);
    if (!fitxer.open(QIODevice::ReadOnly))
        qFatal("no es pot llegir %s", qPrintable(cami));
    return fitxer.readAll();
}

void escriuFitxer(const QString& cami, const QByteArray& bytes) {
    QFile fitxer(cami);
    if (!fitxer.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        fitxer.write(bytes) != bytes.size())
        qFatal("no es pot escriure %s", qPrintable(cami));
}

QString ple(const QString& text, int amplada) {
    return text.leftJustified(amplada, u' ');
}

}  // namespace proves
