#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>

namespace record {

// The five fixed-width text fields of a student record, in their on-disk order.
enum class Camp { Nom, Adreca, CodiPostal, Poblacio, Telefon };

struct DisposicioCamp {
    Camp camp;
    int desplacament;  // offset of the field's first byte within the record
    int amplada;       // characters, which are also bytes on disk
};

inline constexpr std::array<DisposicioCamp, 5> kDisposicio{{
    {Camp::Nom, 0, 45},
    {Camp::Adreca, 45, 30},
    {Camp::CodiPostal, 75, 5},
    {Camp::Poblacio, 80, 15},
    {Camp::Telefon, 95, 12},
}};

constexpr DisposicioCamp disposicio(Camp camp) {
    return kDisposicio[static_cast<int>(camp)];
}

// What storing a text into a field had to change in it.
struct Desament {
    bool tallat = false;      // longer than the field: cut to its width
    bool substituit = false;  // a character the code page has no byte for became '?'
};

// One student as it lies on disk: 107 bytes of space-padded Windows-1252 text, no terminators.
class TipusAlumne {
  public:
    static constexpr int kLongitud = 107;

    TipusAlumne();  // every field blank
    static TipusAlumne deBytes(QByteArrayView bytes);

    // Stores the text left-aligned: padded with spaces, or cut to the field's width in
    // characters. A character Windows-1252 cannot hold is stored as one '?'; an invisible one
    // (zero-width space, joiner, byte-order mark) is left out and takes no place. Decomposed
    // accents are composed first.
    Desament posa(Camp camp, QStringView text);

    // All of the field's characters, trailing spaces included.
    QString text(Camp camp) const;

    // The field's bytes as they lie in the record.
    QByteArrayView bytesDelCamp(Camp camp) const {
        const DisposicioCamp d = disposicio(camp);
        return QByteArrayView(m_bytes).sliced(d.desplacament, d.amplada);
    }

    const QByteArray& bytes() const { return m_bytes; }

    friend bool operator==(const TipusAlumne&, const TipusAlumne&) = default;

  private:
    QByteArray m_bytes;
};

// Appends Windows-1252 text as UTF-8, byte by byte from the code page's table (made once by the
// toolkit's converter): the fast way for whole files of records.
void afegeixComUtf8(QByteArrayView windows1252, QByteArray& utf8);

}  // namespace record
