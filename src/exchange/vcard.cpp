// vCard: cards for a phone or a mail program. Version 3.0 (RFC 2426), the version phones import
// most reliably; UTF-8, CRLF, lines folded at 75 octets. One card per student, grouped by the
// class's name.
#include "exchange/columnes.h"
#include "exchange/format.h"

#include <array>

namespace exchange {

namespace {

constexpr qsizetype kOctetsPerLinia = 75;

// A value's text with the characters that mean something in a vCard escaped.
QString escapat(const QString& text) {
    QString resultat;
    resultat.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
            case u'\\':
            case u',':
            case u';':
                resultat += u'\\';
                resultat += c;
                break;
            case u'\n':
                resultat += QStringLiteral("\\n");
                break;
            case u'\r':
                break;
            default:
                resultat += c;
        }
    }
    return resultat;
}

bool esContinuacioUtf8(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The parts of N: "surnames, given name" when the name has a comma, as lists are written;
// otherwise the first word is the given name and the rest the surnames.
struct Noms {
    QString familia;
    QString donat;
};

Noms nomsDe(const QString& nom) {
    const QString net = nom.trimmed();
    const qsizetype coma = net.indexOf(u',');
    if (coma >= 0)
        return {net.first(coma).trimmed(), net.sliced(coma + 1).trimmed()};
    const qsizetype espai = net.indexOf(u' ');
    if (espai < 0)
        return {QString(), net};
    return {net.sliced(espai + 1).trimmed(), net.first(espai)};
}

class EscriptorVCard final : public EscriptorAlumnes {
  public:
    EscriptorVCard(QIODevice& sortida, const DadesExportacio& dades)
        : m_sortida(sortida), m_grup(dades.grup) {}

    // Blank records give no card. A card without a name would be dropped by a phone, so a
    // student with none is named by their number.
    void alumne(int numero, const record::TipusAlumne& alumne) override {
        if (esBuit(alumne))
            return;
        std::array<QString, kColumnes.size()> valors;
        for (const Columna& columna : kColumnes)
            valors[std::size_t(columna.vcard)] = textDelCamp(alumne, columna.camp);
        const auto valor = [&valors](LlocVCard lloc) -> const QString& {
            return valors[std::size_t(lloc)];
        };
        const QString nom = valor(LlocVCard::Nom).trimmed();

        linia(QStringLiteral("BEGIN:VCARD"));
        linia(QStringLiteral("VERSION:3.0"));
        linia(u"FN:"_qs + escapat(nom.isEmpty() ? QStringLiteral("Alumne %1").arg(numero) : nom));
        const Noms noms = nomsDe(nom);
        linia(QStringLiteral("N:%1;%2;;;").arg(escapat(noms.familia), escapat(noms.donat)));
        const QString& carrer = valor(LlocVCard::Carrer);
        const QString& poblacio = valor(LlocVCard::Poblacio);
        const QString& codiPostal = valor(LlocVCard::CodiPostal);
        if (!carrer.isEmpty() || !poblacio.isEmpty() || !codiPostal.isEmpty())
            linia(QStringLiteral("ADR;TYPE=HOME:;;%1;%2;;%3;")
                      .arg(escapat(carrer), escapat(poblacio), escapat(codiPostal)));
        if (const QString& telefon = valor(LlocVCard::Telefon); !telefon.isEmpty())
            linia(u"TEL;TYPE=HOME,VOICE:"_qs + escapat(telefon));
        linia(u"CATEGORIES:"_qs + escapat(m_grup));
        linia(QStringLiteral("END:VCARD"));
    }

  private:
    // Folded at 75 octets, never inside a character: each further piece starts with a space.
    void linia(const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        QByteArray plegada;
        qsizetype inici = 0;
        qsizetype lloc = kOctetsPerLinia;
        while (utf8.size() - inici > lloc) {
            qsizetype tall = inici + lloc;
            while (tall > inici && esContinuacioUtf8(utf8[tall]))
                --tall;
            plegada += utf8.sliced(inici, tall - inici);
            plegada += "\r\n ";
            inici = tall;
            lloc = kOctetsPerLinia - 1;
        }
        plegada += utf8.sliced(inici);
        plegada += "\r\n";
        m_sortida.write(plegada);
    }

    QIODevice& m_sortida;
    QString m_grup;
};

}  // namespace

std::unique_ptr<EscriptorAlumnes> escriptorVCard(QIODevice& sortida, const DadesExportacio& dades) {
    return std::make_unique<EscriptorVCard>(sortida, dades);
}

}  // namespace exchange
