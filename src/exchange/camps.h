#pragma once

#include "record/tipus_alumne.h"

#include <QString>

#include <array>
#include <stdexcept>

namespace exchange {

// A failure of a command, with the Catalan words the user reads.
class ErrorIntercanvi : public std::runtime_error {
  public:
    explicit ErrorIntercanvi(const QString& missatge)
        : std::runtime_error(missatge.toStdString()), m_missatge(missatge) {}
    const QString& missatge() const { return m_missatge; }

  private:
    QString m_missatge;
};

// The columns of the exchange formats: the window's order, its labels without the colon.
struct Columna {
    record::Camp camp;
    const char16_t* nom;
};
inline constexpr std::array<Columna, 5> kColumnes{{
    {record::Camp::Nom, u"Nom"},
    {record::Camp::Adreca, u"Adreça"},
    {record::Camp::Poblacio, u"Població"},
    {record::Camp::CodiPostal, u"Codi postal"},
    {record::Camp::Telefon, u"Telèfon"},
}};

// A field as other programs want it: without the padding, nor the NUL bytes of parts of a file
// never written.
QString textDelCamp(const record::TipusAlumne& alumne, record::Camp camp);

// The same, as UTF-8 appended to `utf8`: the fast way for whole files.
void afegeixCampUtf8(const record::TipusAlumne& alumne, record::Camp camp, QByteArray& utf8);

// Whether every field is blank.
bool esBuit(const record::TipusAlumne& alumne);

// A system error in the user's words.
QString descripcio(int error);

// The student file's name without its folder and extension: a class's name.
QString nomDelGrup(const QString& cami);

}  // namespace exchange
