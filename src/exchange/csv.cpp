// CSV: rows of a spreadsheet. Written UTF-8, by default with a byte-order mark and ';' between
// fields, as a spreadsheet in a Catalan or Spanish locale opens with a double click; CRLF; RFC
// 4180 quotes. Read as spreadsheets and other programs save it, through libcsv.
#include "exchange/columnes.h"
#include "exchange/entrada.h"
#include "exchange/format.h"
#include "exchange/importacio.h"
#include "exchange/opcions_csv.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <csv.h>

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <vector>

namespace exchange {

namespace {

const QByteArray kMarcaDOrdre("\xEF\xBB\xBF");

class EscriptorCsv final : public EscriptorAlumnes {
  public:
    EscriptorCsv(QIODevice& sortida, const DadesExportacio& dades)
        : m_sortida(sortida),
          m_separador(separadorDe(dades.opcions.value(u"separador"_qs, u";"_qs)).value_or(';')) {
        if (!dades.opcions.contains(u"sense-bom"_qs))
            m_linia += kMarcaDOrdre;
        for (const Columna& columna : kColumnes) {
            if (columna.camp != kColumnes.front().camp)
                m_linia += m_separador;
            escriuCamp(capcalera(columna).toUtf8());
        }
        m_linia += "\r\n";
        m_sortida.write(m_linia);
    }

    // Blank records too, so that row n + 1 holds record n.
    void alumne(int, const record::TipusAlumne& alumne) override {
        m_linia.truncate(0);  // keeps its buffer, unlike clear()
        for (const Columna& columna : kColumnes) {
            if (columna.camp != kColumnes.front().camp)
                m_linia += m_separador;
            m_camp.truncate(0);
            afegeixCampUtf8(alumne, columna.camp, m_camp);
            escriuCamp(m_camp);
        }
        m_linia += "\r\n";
        m_sortida.write(m_linia);
    }

  private:
    void escriuCamp(QByteArrayView utf8) {
        const bool ambCometes = std::any_of(utf8.begin(), utf8.end(), [this](char c) {
            return c == m_separador || c == '"' || c == '\r' || c == '\n';
        });
        if (!ambCometes) {
            m_linia += utf8;
            return;
        }
        m_linia += '"';
        for (qsizetype inici = 0;;) {
            const qsizetype cometa = utf8.indexOf('"', inici);
            if (cometa < 0) {
                m_linia += utf8.sliced(inici);
                break;
            }
            m_linia += utf8.sliced(inici, cometa + 1 - inici);
            m_linia += '"';
            inici = cometa + 1;
        }
        m_linia += '"';
    }

    QIODevice& m_sortida;
    char m_separador;
    QByteArray m_linia;
    QByteArray m_camp;
};

// The separator most frequent on the first line, outside quotes; ';' when it has none.
char separadorDeLaLinia(QByteArrayView text) {
    std::array<int, 3> vegades{};
    const std::array<char, 3> candidats{';', ',', '\t'};
    bool entreCometes = false;
    for (const char c : text) {
        if (c == '"')
            entreCometes = !entreCometes;
        else if (!entreCometes) {
            for (std::size_t i = 0; i < candidats.size(); ++i)
                vegades[i] += c == candidats[i];
        }
    }
    const auto mes = std::max_element(vegades.begin(), vegades.end());
    return *mes == 0 ? ';' : candidats[std::size_t(mes - vegades.begin())];
}

// The code pages a CSV that is not Unicode may be in: what the common spreadsheets' "CSV",
// "CSV (MS-DOS)" and "CSV (Macintosh)" write. The first is the default.
struct CodiDePagina {
    const char* nom;           // as the converter knows it
    const char16_t* comEsDiu;  // in the note
};
constexpr CodiDePagina kCodisDePagina[] = {
    {"windows-1252", u"Windows-1252"},
    {"IBM850", u"MS-DOS 850"},
    {"macintosh", u"Mac Roman"},
};

// The code page under which the input's first lines name the most known columns, among those
// that give every byte of them a character (a byte a code page leaves undefined comes out as a
// control character). Windows-1252 when nothing tells them apart.
std::size_t codiDePaginaDe(QByteArrayView inici, std::optional<char> separador) {
    std::size_t millor = 0;
    int mesColumnes = -1;
    for (std::size_t i = 0; i < std::size(kCodisDePagina); ++i) {
        QStringDecoder descodificador(kCodisDePagina[i].nom, QStringConverter::Flag::Stateless);
        const QString text = descodificador.decode(inici);
        if (std::any_of(text.begin(), text.end(), [](QChar c) {
                return c.unicode() >= 0x80 && c.category() == QChar::Other_Control;
            }))
            continue;
        int columnes = 0;
        const QStringList linies = text.split(QRegularExpression(u"\r\n|\r|\n"_qs));
        for (qsizetype l = 0; l < std::min<qsizetype>(linies.size(), 30); ++l) {
            const QChar sep(char16_t(separador.value_or(separadorDeLaLinia(linies[l].toUtf8()))));
            for (const QString& cella : linies[l].split(sep))
                columnes += anomenaUnaColumna(cella.trimmed().remove(u'"'));
        }
        if (columnes > mesColumnes) {
            mesColumnes = columnes;
            millor = i;
        }
    }
    return millor;
}

bool esAscii(QByteArrayView text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Line ends within a field's text: LF, CRLF and CR alone count one each.
int finalsDeLinia(QByteArrayView text) {
    int finals = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        finals +=
            text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
    return finals;
}

extern "C" void campLlegit(void* dades, size_t mida, void* lector);
extern "C" void filaLlegida(int, void* lector);

// No character is a space to be dropped around a field: the record keeps them.
extern "C" int capEspai(unsigned char) {
    return 0;
}

// Fed a line at a time, so that each row knows the line it starts on. Each line is UTF-8 or, when
// it is not valid UTF-8, Windows-1252.
class LectorCsv final : public LectorFiles {
  public:
    LectorCsv(Entrada& entrada, std::optional<char> separador, const QString& codificacio,
              const Avisos& avisa)
        : m_entrada(entrada), m_separador(separador), m_avisa(avisa) {
        if (csv_init(&m_analitzador, CSV_STRICT | CSV_STRICT_FINI) != 0)
            throw ErrorIntercanvi(QStringLiteral("no hi ha memòria per llegir el CSV"));
        csv_set_space_func(&m_analitzador, capEspai);
        if (m_separador)
            csv_set_delim(&m_analitzador, static_cast<unsigned char>(*m_separador));
        // UTF-16, told by its byte-order mark or by the NUL bytes of its ASCII, is read as UTF-8.
        const QByteArrayView inici = m_entrada.inici(4);
        // Told: UTF-8 as today, UTF-16 in the order its mark or its NULs say (else little-endian),
        // a code page for every line.
        if (codificacio == u"utf-16"_qs) {
            m_entrada.descodificaUtf16(inici.startsWith("\xFE\xFF") ||
                                               (inici.size() == 4 && !inici[0])
                                           ? QStringConverter::Utf16BE
                                           : QStringConverter::Utf16LE);
        } else if (codificacio == u"utf-8"_qs) {
        } else if (!codificacio.isEmpty()) {
            m_codiDePagina = codificacio == u"850"_qs ? 1 : codificacio == u"mac"_qs ? 2 : 0;
            m_descodificador.emplace(kCodisDePagina[m_codiDePagina].nom,
                                     QStringConverter::Flag::Stateless);
            m_totEnElCodiDePagina = true;
        } else if (inici.startsWith("\xFF\xFE") ||
                   (inici.size() == 4 && inici[0] && !inici[1] && inici[2] && !inici[3]))
            m_entrada.descodificaUtf16(QStringConverter::Utf16LE);
        else if (inici.startsWith("\xFE\xFF") ||
                 (inici.size() == 4 && !inici[0] && inici[1] && !inici[2] && inici[3]))
            m_entrada.descodificaUtf16(QStringConverter::Utf16BE);
        else
            triaElCodiDePagina();
    }
    ~LectorCsv() override { csv_free(&m_analitzador); }
    LectorCsv(const LectorCsv&) = delete;
    LectorCsv& operator=(const LectorCsv&) = delete;

    const Fila* seguent() override {
        m_fila.nombre = 0;
        m_llesta = false;
        while (!m_llesta && !m_acabat) {
            QByteArrayView linia;
            if (!m_entrada.seguentLinia(linia)) {
                m_acabat = true;
                notaDeLaCodificacio();
                if (csv_fini(&m_analitzador, campLlegit, filaLlegida, this) != 0)
                    throw ErrorIntercanvi(
                        QStringLiteral("línia %1: unes cometes que no es tanquen mai")
                            .arg(m_liniaDespresDeFila));
                break;
            }
            if (m_entrada.numeroDeLinia() == 1) {
                linia = primeraLinia(linia);
                if (linia.isEmpty())
                    continue;  // "sep=;" is no row
            }
            if (m_totEnElCodiDePagina ? !esAscii(linia) : !linia.isValidUtf8()) {
                if (m_liniesWindows1252.size() < kLiniesANomenar)
                    m_liniesWindows1252.push_back(m_entrada.numeroDeLinia());
                ++m_nombreWindows1252;
                m_desdeWindows1252.truncate(0);
                if (m_codiDePagina == 0)
                    record::afegeixComUtf8(linia, m_desdeWindows1252);
                else
                    m_desdeWindows1252 = QString(m_descodificador->decode(linia)).toUtf8();
                linia = m_desdeWindows1252;
            } else if (!m_ambUtf8 && std::any_of(linia.begin(), linia.end(), [](char c) {
                           return static_cast<unsigned char>(c) >= 0x80;
                       })) {
                m_ambUtf8 = true;
            }
            linia = ambTextExplicit(linia);
            if (csv_parse(&m_analitzador, linia.data(), size_t(linia.size()), campLlegit,
                          filaLlegida, this) != size_t(linia.size()))
                throw ErrorIntercanvi(QStringLiteral("línia %1: unes cometes fora de lloc")
                                          .arg(m_entrada.numeroDeLinia()));
        }
        return m_llesta ? &m_fila : nullptr;
    }

    void camp(const char* dades, size_t mida) {
        const QByteArrayView bytes(dades, dades ? qsizetype(mida) : 0);
        m_liniesDinsDeCamps += finalsDeLinia(bytes);
        // Each column's text is decoded into the same buffer row after row.
        QString& text = m_fila.afegeix();
        text.resize(bytes.size());
        text.truncate(m_utf8.appendToBuffer(text.data(), bytes) - text.data());
    }

    void finalDeFila() {
        m_fila.linia = m_entrada.numeroDeLinia() - std::exchange(m_liniesDinsDeCamps, 0);
        m_liniaDespresDeFila = m_entrada.numeroDeLinia() + 1;
        m_llesta = true;
    }

  private:
    static constexpr std::size_t kLiniesANomenar = 10;

    // The byte-order mark is no part of the first cell. The first line tells the separator, or
    // is Excel's "sep=;", which only tells it (then it comes back empty).
    QByteArrayView primeraLinia(QByteArrayView linia) {
        if (linia.startsWith(kMarcaDOrdre))
            linia = linia.sliced(kMarcaDOrdre.size());
        static const QRegularExpression sep(u"^\"?sep=(.)\"?[\r\n]*$"_qs);
        const QRegularExpressionMatch excel = sep.match(QString::fromUtf8(linia));
        if (excel.hasMatch()) {
            m_separador = char(excel.captured(1)[0].unicode());
            csv_set_delim(&m_analitzador, static_cast<unsigned char>(*m_separador));
            return {};
        }
        if (!m_separador) {
            m_separador = separadorDeLaLinia(linia);
            csv_set_delim(&m_analitzador, static_cast<unsigned char>(*m_separador));
        }
        return linia;
    }

    // ="08001" is how a CSV asks a spreadsheet to keep 08001 as text, and a field the parser
    // would refuse as misquoted: it goes on quoted whole, "=""08001""", for the import to read.
    QByteArrayView ambTextExplicit(QByteArrayView linia) {
        if (!linia.contains("=\"") || !m_separador)
            return linia;
        const QString separador =
            QRegularExpression::escape(QString(QChar(char16_t(*m_separador))));
        const QRegularExpression explicit_(
            QStringLiteral("(^|%1)=\"((?:[^\"]|\"\")*)\"(?=%1|[\r\n]*$)").arg(separador));
        QString text = QString::fromUtf8(linia);
        text.replace(explicit_, QStringLiteral("\\1\"=\"\"\\2\"\"\""));
        m_reescrita = text.toUtf8();
        return m_reescrita;
    }

    // An input that is not UTF-8 in its first lines is read in the code page they say, once
    // for all; a line that is not UTF-8 in one that is, as Windows-1252.
    void triaElCodiDePagina() {
        QByteArrayView inici = m_entrada.inici(64 * 1024);
        if (inici.startsWith(kMarcaDOrdre))
            return;
        // Whole lines only: a character cut at the end says nothing.
        const qsizetype final = std::max(inici.lastIndexOf('\n'), inici.lastIndexOf('\r'));
        if (final > 0 && final + 1 < inici.size())
            inici = inici.first(final + 1);
        if (inici.isValidUtf8())
            return;
        qsizetype desde = 0;
        for (qsizetype i = 0; i <= inici.size(); ++i) {
            if (i < inici.size() && inici[i] != '\n' && inici[i] != '\r')
                continue;
            const QByteArrayView linia = inici.sliced(desde, i - desde);
            if (linia.isValidUtf8() && std::any_of(linia.begin(), linia.end(), [](char c) {
                    return static_cast<unsigned char>(c) >= 0x80;
                }))
                return;  // UTF-8 with a line or two of something else
            desde = i + 1;
        }
        m_codiDePagina = codiDePaginaDe(inici, m_separador);
        m_descodificador.emplace(kCodisDePagina[m_codiDePagina].nom,
                                 QStringConverter::Flag::Stateless);
    }

    // Lines that were not UTF-8 were read in a code page: all of them, or the ones named.
    void notaDeLaCodificacio() {
        if (m_nombreWindows1252 == 0)
            return;
        if (!m_ambUtf8) {
            m_avisa(QStringLiteral("l'entrada no és UTF-8: es llegeix com a %1")
                        .arg(QString::fromUtf16(kCodisDePagina[m_codiDePagina].comEsDiu)));
            return;
        }
        QStringList linies;
        for (const int linia : m_liniesWindows1252)
            linies << QString::number(linia);
        QString quines = linies.join(u", "_qs);
        if (m_nombreWindows1252 > int(m_liniesWindows1252.size()))
            quines +=
                QStringLiteral(" i %1 més").arg(m_nombreWindows1252 - m_liniesWindows1252.size());
        m_avisa(QStringLiteral("%1 %2 no %3 UTF-8: es %4 com a Windows-1252, i les altres com a "
                               "UTF-8")
                    .arg(m_nombreWindows1252 == 1 ? u"la línia"_qs : u"les línies"_qs, quines,
                         m_nombreWindows1252 == 1 ? u"és"_qs : u"són"_qs,
                         m_nombreWindows1252 == 1 ? u"llegeix"_qs : u"llegeixen"_qs));
    }

    Entrada& m_entrada;
    std::optional<char> m_separador;
    QByteArray m_reescrita;
    Avisos m_avisa;
    csv_parser m_analitzador{};
    Fila m_fila;
    bool m_llesta = false;
    bool m_acabat = false;
    std::vector<int> m_liniesWindows1252;
    int m_nombreWindows1252 = 0;
    bool m_ambUtf8 = false;  // a line with UTF-8 beyond ASCII
    int m_liniesDinsDeCamps = 0;
    int m_liniaDespresDeFila = 1;
    QByteArray m_desdeWindows1252;
    std::size_t m_codiDePagina = 0;  // of kCodisDePagina
    std::optional<QStringDecoder> m_descodificador;
    bool m_totEnElCodiDePagina = false;  // told, so no line is taken for UTF-8
    QStringDecoder m_utf8{QStringDecoder::Utf8, QStringConverter::Flag::Stateless};
};

extern "C" void campLlegit(void* dades, size_t mida, void* lector) {
    static_cast<LectorCsv*>(lector)->camp(static_cast<const char*>(dades), mida);
}

extern "C" void filaLlegida(int, void* lector) {
    static_cast<LectorCsv*>(lector)->finalDeFila();
}

}  // namespace

std::unique_ptr<EscriptorAlumnes> escriptorCsv(QIODevice& sortida, const DadesExportacio& dades) {
    return std::make_unique<EscriptorCsv>(sortida, dades);
}

std::unique_ptr<LectorFiles> lectorCsv(Entrada& entrada, const DadesImportacio& dades,
                                       const Avisos& avisa) {
    const auto separador = dades.opcions.find(u"separador"_qs);
    return std::make_unique<LectorCsv>(
        entrada, separador == dades.opcions.end() ? std::nullopt : separadorDe(*separador),
        dades.opcions.value(u"codificacio"_qs), avisa);
}

}  // namespace exchange
