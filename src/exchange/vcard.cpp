#include "exchange/vcard.h"

#include "exchange/camps.h"

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

}  // namespace

EscriptorVCard::EscriptorVCard(QIODevice& sortida, const QString& grup)
    : m_sortida(sortida), m_grup(grup) {}

// Folded at 75 octets, never inside a character: each further piece starts with a space.
void EscriptorVCard::linia(const QString& text) {
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

void EscriptorVCard::targeta(const record::TipusAlumne& alumne) {
    if (esBuit(alumne))
        return;
    const QString nom = textDelCamp(alumne, record::Camp::Nom);
    const QString adreca = textDelCamp(alumne, record::Camp::Adreca);
    const QString poblacio = textDelCamp(alumne, record::Camp::Poblacio);
    const QString codiPostal = textDelCamp(alumne, record::Camp::CodiPostal);
    const QString telefon = textDelCamp(alumne, record::Camp::Telefon);

    linia(QStringLiteral("BEGIN:VCARD"));
    linia(QStringLiteral("VERSION:3.0"));
    linia(u"FN:"_qs + escapat(nom));
    // Given name before the first space, family names after it.
    const qsizetype espai = nom.indexOf(u' ');
    const QString donat = espai < 0 ? nom : nom.first(espai);
    const QString familia = espai < 0 ? QString() : nom.sliced(espai + 1);
    linia(QStringLiteral("N:%1;%2;;;").arg(escapat(familia), escapat(donat)));
    if (!adreca.isEmpty() || !poblacio.isEmpty() || !codiPostal.isEmpty())
        linia(QStringLiteral("ADR;TYPE=HOME:;;%1;%2;;%3;")
                  .arg(escapat(adreca), escapat(poblacio), escapat(codiPostal)));
    if (!telefon.isEmpty())
        linia(u"TEL;TYPE=HOME,VOICE:"_qs + escapat(telefon));
    linia(u"CATEGORIES:"_qs + escapat(m_grup));
    linia(QStringLiteral("END:VCARD"));
}

}  // namespace exchange
