#include "record/tipus_alumne.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace record {

namespace {

constexpr char kEspai = ' ';
constexpr char kSubstitut = '?';
constexpr char16_t kSubstitutDelConvertidor = 0x1A;

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

// Windows-1252 conversions, one byte per character in both directions.
QByteArray codificaWindows1252(QStringView text) {
    // Opening the converter costs far more than converting a field, so it is kept.
    static QStringEncoder codificador("windows-1252", QStringConverter::Flag::Stateless);
    codificador.resetState();
    QByteArray bytes = codificador.encode(text);
    if (!codificador.hasError())
        return bytes;

    // The converter marks what it cannot map with 0x1A, one byte per code point; those bytes
    // become '?', while a real U+001A in the text keeps its byte.
    qsizetype posicio = 0;
    for (qsizetype i = 0; i < text.size(); ++posicio) {
        const qsizetype unitats = unitatsDelCaracter(text, i);
        const bool esU001ADelText = unitats == 1 && text[i] == kSubstitutDelConvertidor;
        if (posicio < bytes.size() && bytes[posicio] == char(kSubstitutDelConvertidor) &&
            !esU001ADelText)
            bytes[posicio] = kSubstitut;
        i += unitats;
    }
    return bytes;
}

QString descodificaWindows1252(QByteArrayView bytes) {
    static QStringDecoder descodificador("windows-1252", QStringConverter::Flag::Stateless);
    descodificador.resetState();
    return descodificador.decode(bytes);
}

}  // namespace

TipusAlumne::TipusAlumne() : m_bytes(kLongitud, kEspai) {}

TipusAlumne TipusAlumne::deBytes(QByteArrayView bytes) {
    TipusAlumne alumne;
    const qsizetype n = std::min<qsizetype>(bytes.size(), kLongitud);
    std::copy_n(bytes.data(), n, alumne.m_bytes.data());
    return alumne;
}

void TipusAlumne::posa(Camp camp, QStringView text) {
    const auto [_, desplacament, amplada] = disposicio(camp);
    const QByteArray codificat = codificaWindows1252(primersCaracters(text, amplada));
    const qsizetype n = std::min<qsizetype>(codificat.size(), amplada);
    char* desti = m_bytes.data() + desplacament;
    std::copy_n(codificat.constData(), n, desti);
    std::fill(desti + n, desti + amplada, kEspai);
}

QString TipusAlumne::text(Camp camp) const {
    const auto [_, desplacament, amplada] = disposicio(camp);
    return descodificaWindows1252(QByteArrayView(m_bytes).sliced(desplacament, amplada));
}

}  // namespace record
