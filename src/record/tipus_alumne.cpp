#include "record/tipus_alumne.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>

namespace record {

namespace {

constexpr char kEspai = ' ';
constexpr char kSubstitut = '?';
constexpr char kSubstitutDelConvertidor = 0x1A;

// UTF-16 units of the character that starts at `i`: a surrogate pair is one character.
qsizetype unitatsDelCaracter(QStringView text, qsizetype i) {
    const bool parell = QChar::isHighSurrogate(text[i].unicode()) && i + 1 < text.size() &&
                        QChar::isLowSurrogate(text[i + 1].unicode());
    return parell ? 2 : 1;
}

// The text cut after its first `caracters` characters.
QStringView primersCaracters(QStringView text, int caracters) {
    qsizetype i = 0;
    for (int n = 0; n < caracters && i < text.size(); ++n)
        i += unitatsDelCaracter(text, i);
    return text.first(i);
}

// Opening a converter costs far more than converting a field, so it is kept. It marks each
// character it has no byte for with 0x1A and drops the invisible ones.
QByteArray codificaAmbElConvertidor(QStringView text) {
    static QStringEncoder codificador("windows-1252", QStringConverter::Flag::Stateless);
    codificador.resetState();
    return codificador.encode(text);
}

// Characters U+0000 to U+007F and U+00A0 to U+00FF have the code page's byte of the same number;
// a text made of them alone (most names and addresses) needs no converter.
bool teElMateixNumero(QChar c) {
    return c.unicode() < 0x80 || (c.unicode() >= 0xA0 && c.unicode() <= 0xFF);
}

// The text as Windows-1252, at most `amplada` bytes. Each character gives one byte: its own, or
// '?' when the code page has none (a lone surrogate too). Invisible characters the code page
// cannot hold (zero-width space, joiners, a byte-order mark) give none and take no place, since
// the user never saw them.
QByteArray codificaWindows1252(QStringView text, int amplada, Desament& desament) {
    if (std::all_of(text.begin(), text.end(), teElMateixNumero)) {
        const QStringView tallat = text.first(std::min<qsizetype>(text.size(), amplada));
        desament.tallat = tallat.size() < text.size();
        return tallat.toLatin1();
    }
    const QStringView tallat = primersCaracters(text, amplada);
    QByteArray bytes = codificaAmbElConvertidor(tallat);
    // One byte per UTF-16 unit and no mark: every character had its byte.
    if (bytes.size() == tallat.size() && !bytes.contains(kSubstitutDelConvertidor)) {
        desament.tallat = tallat.size() < text.size();
        return bytes;
    }

    // Rare: one character at a time, so that what the converter marked or dropped is known.
    bytes.clear();
    qsizetype i = 0;
    while (i < text.size() && bytes.size() < amplada) {
        const qsizetype unitats = unitatsDelCaracter(text, i);
        const QStringView caracter = text.sliced(i, unitats);
        // A lone surrogate is no character at all; alone, the converter would wait for its pair.
        const QByteArray codificat = caracter.size() == 1 && caracter[0].isSurrogate()
                                         ? QByteArray(1, kSubstitutDelConvertidor)
                                         : codificaAmbElConvertidor(caracter);
        if (codificat.size() == 1 &&
            (codificat[0] != kSubstitutDelConvertidor || caracter == QStringView(u"\x1a"))) {
            bytes += codificat;
        } else if (!codificat.isEmpty()) {
            bytes += kSubstitut;
            desament.substituit = true;
        }
        i += unitats;
    }
    desament.tallat = i < text.size();
    return bytes;
}

// Text from some systems and documents arrives decomposed (an "e" then a combining accent);
// composed, most of it has its one byte in the code page. Nothing below U+0300 changes under
// composition, so the usual text is passed through as it is.
QString compost(QStringView text) {
    const bool potCanviar =
        std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x300; });
    return potCanviar ? text.toString().normalized(QString::NormalizationForm_C) : QString();
}

QString descodificaWindows1252(QByteArrayView bytes) {
    static QStringDecoder descodificador("windows-1252", QStringConverter::Flag::Stateless);
    descodificador.resetState();
    return descodificador.decode(bytes);
}

// Each byte's character as UTF-8, asked of the converter once: the same text the fields decode to.
struct TaulaUtf8 {
    std::array<std::array<char, 4>, 256> bytes{};
    std::array<quint8, 256> mides{};
    TaulaUtf8() {
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QByteArray utf8 = descodificaWindows1252(QByteArrayView(&byte, 1)).toUtf8();
            mides[std::size_t(b)] = quint8(utf8.size());
            std::copy_n(utf8.constData(), utf8.size(), bytes[std::size_t(b)].data());
        }
    }
};

}  // namespace

void afegeixComUtf8(QByteArrayView windows1252, QByteArray& utf8) {
    static const TaulaUtf8 taula;
    const qsizetype abans = utf8.size();
    utf8.resize(abans + 3 * windows1252.size());  // no character of the code page takes more
    char* desti = utf8.data() + abans;
    for (const char c : windows1252) {
        const auto b = std::size_t(static_cast<unsigned char>(c));
        if (b < 0x80) {
            *desti++ = c;
        } else {
            desti = std::copy_n(taula.bytes[b].data(), taula.mides[b], desti);
        }
    }
    utf8.truncate(desti - utf8.constData());
}

TipusAlumne::TipusAlumne() : m_bytes(kLongitud, kEspai) {}

TipusAlumne TipusAlumne::deBytes(QByteArrayView bytes) {
    TipusAlumne alumne;
    const qsizetype n = std::min<qsizetype>(bytes.size(), kLongitud);
    std::copy_n(bytes.data(), n, alumne.m_bytes.data());
    return alumne;
}

Desament TipusAlumne::posa(Camp camp, QStringView text) {
    const auto [_, desplacament, amplada] = disposicio(camp);
    const QString normalitzat = compost(text);
    Desament desament;
    const QByteArray codificat = codificaWindows1252(
        normalitzat.isNull() ? text : QStringView(normalitzat), amplada, desament);
    const qsizetype n = codificat.size();
    char* desti = m_bytes.data() + desplacament;
    std::copy_n(codificat.constData(), n, desti);
    std::fill(desti + n, desti + amplada, kEspai);
    return desament;
}

QString TipusAlumne::text(Camp camp) const {
    const auto [_, desplacament, amplada] = disposicio(camp);
    return descodificaWindows1252(QByteArrayView(m_bytes).sliced(desplacament, amplada));
}

}  // namespace record
