#pragma once

#include "record/tipus_alumne.h"

#include <QString>

#include <array>

namespace exchange {

// Where a column's value goes on a vCard.
enum class LlocVCard { Nom, Carrer, Poblacio, CodiPostal, Telefon };

// The five columns every format shows, in the window's order (the town before the postal code).
// The header is the window's label without its colon.
struct Columna {
    record::Camp camp;
    const char16_t* capcalera;
    qreal ampladaPdf;  // points on an A4 page before it is scaled to the page's width
    LlocVCard vcard;
};
inline constexpr std::array<Columna, 5> kColumnes{{
    {record::Camp::Nom, u"Nom", 230, LlocVCard::Nom},
    {record::Camp::Adreca, u"Adreça", 200, LlocVCard::Carrer},
    {record::Camp::Poblacio, u"Població", 130, LlocVCard::Poblacio},
    {record::Camp::CodiPostal, u"Codi postal", 70, LlocVCard::CodiPostal},
    {record::Camp::Telefon, u"Telèfon", 98, LlocVCard::Telefon},
}};

inline QString capcalera(const Columna& columna) {
    return QString::fromUtf16(columna.capcalera);
}

// A field as other programs want it: without the padding, nor the NUL bytes of parts of a file
// never written.
QString textDelCamp(const record::TipusAlumne& alumne, record::Camp camp);

// The same, as UTF-8 appended to `utf8`: the fast way for whole files.
void afegeixCampUtf8(const record::TipusAlumne& alumne, record::Camp camp, QByteArray& utf8);

// A spreadsheet column's letters: 0 is A, 26 is AA.
QString lletresDeColumna(qsizetype columna);

// Whether every field is blank.
bool esBuit(const record::TipusAlumne& alumne);

// The student file's name without its folder and extension: a class's name.
QString nomDelGrup(const QString& cami);

}  // namespace exchange
