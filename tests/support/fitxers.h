#pragma once

#include "record/tipus_alumne.h"

#include <QByteArray>
#include <QString>

#include <initializer_list>

namespace proves {

// A student as five texts, in record order: name, address, postal code, town, telephone.
struct Alumne {
    QString nom{}, adreca{}, codiPostal{}, poblacio{}, telefon{};
};

record::TipusAlumne registre(const Alumne& alumne);
QByteArray bytesDe(std::initializer_list<Alumne> alumnes);

QByteArray llegeixFitxer(const QString& cami);
void escriuFitxer(const QString& cami, const QByteArray& bytes);

// A field as stored: the text padded with spaces to `amplada`.
QString ple(const QString& text, int amplada);

}  // namespace proves
