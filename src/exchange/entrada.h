#pragma once

#include "platform/crides_sistema.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QStringDecoder>

#include <memory>
#include <optional>

namespace exchange {

// An import's input, read a block at a time and given out a line at a time: a line ends with LF,
// CRLF or CR alone, and each counts as one. Bounded, so that no input (an endless pipe, a device)
// can take more memory than a class list needs: more than kMaxim bytes in all, or a line longer
// than kMaximLinia, is refused.
class Entrada {
  public:
    static constexpr qint64 kMaxim = 64 << 20;
    static constexpr qsizetype kMaximLinia = 1 << 20;

    // "-" is standard input. Throws ErrorIntercanvi.
    Entrada(const QString& nom, platform::CridesSistema& crides);
    // Bytes already in memory, such as the clipboard's, under a name for the messages.
    Entrada(const QByteArray& dades, const QString& nom);
    ~Entrada();
    Entrada(const Entrada&) = delete;
    Entrada& operator=(const Entrada&) = delete;

    // The next line with its end, valid until the next call; false once the input is done.
    // Throws ErrorIntercanvi.
    bool seguentLinia(QByteArrayView& linia);
    // The number of the line last given, from 1.
    int numeroDeLinia() const { return m_linia; }
    const QString& nom() const { return m_nom; }

    // The input's first bytes (as many as `mida`, fewer when it is shorter), without taking
    // them: what tells its format or its encoding.
    QByteArrayView inici(qsizetype mida);
    // From here on, the bytes are UTF-16 of this order and the lines are given as UTF-8.
    void descodificaUtf16(QStringConverter::Encoding ordre);
    // The whole input as a device that can seek, for a zip: the file itself, or what standard
    // input holds (within kMaxim). Throws ErrorIntercanvi.
    std::unique_ptr<QIODevice> comArxiu();

  private:
    bool llegeixMes();
    [[noreturn]] void massaGran();

    platform::CridesSistema& m_crides;
    QString m_nom;
    int m_descriptor = -1;
    bool m_propi = false;  // closed by us; standard input is not
    QByteArray m_bloc;
    qsizetype m_inici = 0;  // the first byte not yet given
    qint64 m_llegits = 0;
    bool m_final = false;
    bool m_esFitxer = false;
    int m_linia = 0;
    std::optional<QStringDecoder> m_utf16;
    QByteArray m_cru;  // a block as read, before it is decoded
};

}  // namespace exchange
