// PDF: the class list to print, through the toolkit's PDF writer.
#include "exchange/pdf.h"

#include "exchange/columnes.h"
#include "exchange/fitxer_alumnes.h"
#include "exchange/format.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QLocale>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QTextLayout>

#include <malloc.h>

#include <array>
#include <vector>

namespace exchange {

namespace {

// Points: the list is laid out at 72 dots per inch and scaled to the device.
constexpr qreal kMarge = 36;
constexpr qreal kFarciment = 3;     // inside each cell
constexpr qreal kAlcadaTitol = 46;  // the name and the date, first page only
constexpr qreal kAlcadaPeu = 18;
constexpr qreal kAmpladaNumero = 42;
constexpr std::size_t kCelles = kColumnes.size() + 1;  // "Núm." first

// The face's glyph and advance of each character, looked up once: a full file's list has some
// three million characters, of a hundred or so different ones. A character is one glyph, as the
// face's own lookup takes it (no text here needs shaping).
class Glifs {
  public:
    explicit Glifs(const QRawFont& font) : m_font(font) {}

    struct Glif {
        quint32 index = 0;
        qreal avanc = -1;  // none looked up yet
    };

    const Glif& de(QChar c) {
        Glif& glif = c.unicode() < m_latin1.size() ? m_latin1[c.unicode()] : m_altres[c.unicode()];
        if (glif.avanc < 0) {
            const QList<quint32> index = m_font.glyphIndexesForString(QString(c));
            glif.index = index.value(0);
            glif.avanc = m_font.advancesForGlyphIndexes(index).value(0).x();
        }
        return glif;
    }

    qreal amplada(const QString& text) {
        qreal x = 0;
        for (const QChar c : text)
            x += de(c).avanc;
        return x;
    }

  private:
    QRawFont m_font;
    std::array<Glif, 256> m_latin1{};
    QHash<char16_t, Glif> m_altres;
};

// The lines of a text too long for its width: at word boundaries, or anywhere in a word too
// long.
std::vector<QString> linies(const QString& text, const QFont& font, qreal amplada) {
    QTextLayout disposicio(text, font);
    QTextOption opcio;
    opcio.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    disposicio.setTextOption(opcio);
    std::vector<QString> resultat;
    disposicio.beginLayout();
    for (QTextLine linia = disposicio.createLine(); linia.isValid();
         linia = disposicio.createLine()) {
        linia.setLineWidth(amplada);
        resultat.push_back(text.mid(linia.textStart(), linia.textLength()).trimmed());
    }
    disposicio.endLayout();
    return resultat;
}

QFont fontDeLaLlista() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(9);
    return font;
}

class Llista {
  public:
    Llista(QPagedPaintDevice& dispositiu, QByteArrayView registres, const QString& grup, QDate data)
        : m_dispositiu(dispositiu),
          m_registres(registres),
          m_grup(grup),
          m_data(data),
          m_font(fontDeLaLlista()),
          m_negreta(fontDeLaLlista()),
          m_cara(QRawFont::fromFont(m_font)),
          m_glifs(m_cara) {
        m_negreta.setBold(true);
        m_ascens = m_cara.ascent();
        m_alcadaLinia = m_cara.ascent() + m_cara.descent() + m_cara.leading();
        const QRectF pagina = dispositiu.pageLayout().fullRect(QPageLayout::Point);
        m_ample = pagina.width();
        m_alt = pagina.height();
        qreal total = kAmpladaNumero;
        for (const Columna& c : kColumnes)
            total += c.ampladaPdf;
        const qreal escala = (m_ample - 2 * kMarge) / total;
        m_amplades[0] = kAmpladaNumero * escala;
        for (std::size_t c = 0; c < kColumnes.size(); ++c)
            m_amplades[c + 1] = kColumnes[c].ampladaPdf * escala;
        disposa();
    }

    void dibuixa(int primera, int darrera) {
        const int pagines = int(m_pagines.size());
        if (darrera <= 0 || darrera > pagines)
            darrera = pagines;
        QPainter pintor(&m_dispositiu);
        m_perGlifs = pintor.paintEngine() && pintor.paintEngine()->type() == QPaintEngine::Pdf;
        pintor.scale(m_dispositiu.logicalDpiX() / 72.0, m_dispositiu.logicalDpiY() / 72.0);
        for (int pagina = std::max(primera, 1); pagina <= darrera; ++pagina) {
            if (pagina > std::max(primera, 1))
                m_dispositiu.newPage();
            qreal y = capDePagina(pintor, pagina);
            const std::size_t fi = std::size_t(pagina) < m_pagines.size()
                                       ? m_pagines[std::size_t(pagina)]
                                       : m_files.size();
            for (std::size_t f = m_pagines[std::size_t(pagina - 1)]; f < fi; ++f) {
                pintaFila(pintor, m_files[f], y);
                y += alcada(m_files[f]);
            }
            pintaLinies(pintor);
        }
    }

  private:
    struct Fila {
        int numero;
        int linies;  // of its tallest cell
    };

    qreal alcada(const Fila& fila) const { return fila.linies * m_alcadaLinia + 2 * kFarciment; }
    qreal limit() const { return m_alt - kMarge - kAlcadaPeu; }
    qreal alcadaCapcalera() const { return m_alcadaLinia + 2 * kFarciment; }
    qreal ampladaText(std::size_t c) const { return m_amplades[c] - 2 * kFarciment; }

    std::array<QString, kCelles> cellesDe(int numero) const {
        const record::TipusAlumne a = VistaRegistres(m_registres).alumne(numero - 1);
        std::array<QString, kCelles> celles;
        celles[0] = QString::number(numero);
        for (std::size_t c = 0; c < kColumnes.size(); ++c)
            celles[c + 1] = textDelCamp(a, kColumnes[c].camp);
        return celles;
    }

    // Every row's height and every page's first row, decided once.
    void disposa() {
        const VistaRegistres vista(m_registres);
        qreal y = kMarge + kAlcadaTitol + alcadaCapcalera();
        m_pagines.push_back(0);
        for (qsizetype i = 0; i < vista.nombre(); ++i) {
            if (esBuit(vista.alumne(i)))
                continue;
            const int numero = int(i + 1);
            const auto textos = cellesDe(numero);
            std::size_t maxim = 1;
            for (std::size_t c = 0; c < textos.size(); ++c) {
                // Only a text wider than its column is laid out in lines.
                if (m_glifs.amplada(textos[c]) > ampladaText(c))
                    maxim = std::max(maxim, linies(textos[c], m_font, ampladaText(c)).size());
            }
            const Fila fila{numero, int(maxim)};
            if (y + alcada(fila) > limit() && m_files.size() > m_pagines.back()) {
                m_pagines.push_back(m_files.size());
                y = kMarge + alcadaCapcalera();
            }
            m_files.push_back(fila);
            y += alcada(fila);
        }
    }

    // The title (first page), the table's header and the foot; returns where rows start.
    qreal capDePagina(QPainter& pintor, int pagina) {
        qreal y = kMarge;
        const qreal ample = m_ample - 2 * kMarge;
        if (pagina == 1) {
            QFont titol = m_negreta;
            titol.setPixelSize(16);
            pintor.setFont(titol);
            // A class named at any length stays within the page.
            pintor.drawText(QPointF(kMarge, y + 18),
                            QFontMetricsF(titol).elidedText(m_grup, Qt::ElideRight, ample));
            pintor.setFont(m_font);
            const int alumnes = int(m_files.size());
            const QString quants = alumnes == 1 ? QStringLiteral("1 alumne")
                                                : QStringLiteral("%1 alumnes").arg(alumnes);
            pintor.drawText(QPointF(kMarge, y + 36),
                            QLocale(QLocale::Catalan).toString(m_data, u"d MMMM 'de' yyyy") +
                                QStringLiteral(" · ") + quants);
            y += kAlcadaTitol;
        }
        pintor.fillRect(QRectF(kMarge, y, ample, alcadaCapcalera()), QColor(225, 225, 225));
        pintor.setFont(m_negreta);
        qreal x = kMarge;
        for (std::size_t c = 0; c < kCelles; ++c) {
            const QString titol = c == 0 ? QStringLiteral("Núm.") : capcalera(kColumnes[c - 1]);
            pintor.drawText(QPointF(x + kFarciment, y + kFarciment + m_ascens), titol);
            x += m_amplades[c];
        }
        pintor.setFont(m_font);
        pintor.drawText(QRectF(kMarge, m_alt - kMarge - kAlcadaPeu + 4, ample, kAlcadaPeu),
                        Qt::AlignHCenter | Qt::AlignTop,
                        QStringLiteral("Pàgina %1 de %2").arg(pagina).arg(m_pagines.size()));
        return y + alcadaCapcalera();
    }

    // A PDF gets each row's text as one run of glyphs: the writer spends the same on a run of
    // one cell as of a whole row. A preview records each page to draw it again, and a run there
    // would take its font along, over a megabyte a page: it gets each cell's text.
    void pintaFila(QPainter& pintor, const Fila& fila, qreal y) {
        const auto textos = cellesDe(fila.numero);
        m_indexos.clear();
        m_posicions.clear();
        const qreal base = y + kFarciment + m_ascens;
        qreal x = kMarge;
        for (std::size_t c = 0; c < textos.size(); ++c) {
            if (m_glifs.amplada(textos[c]) <= ampladaText(c)) {
                if (m_perGlifs) {
                    qreal xGlif = x + kFarciment;
                    for (const QChar caracter : textos[c]) {
                        const Glifs::Glif& glif = m_glifs.de(caracter);
                        m_indexos << glif.index;
                        m_posicions << QPointF(xGlif, base);
                        xGlif += glif.avanc;
                    }
                } else {
                    pintor.drawText(QPointF(x + kFarciment, base), textos[c]);
                }
            } else {
                qreal baseLinia = base;
                for (const QString& linia : linies(textos[c], m_font, ampladaText(c))) {
                    pintor.drawText(QPointF(x + kFarciment, baseLinia), linia);
                    baseLinia += m_alcadaLinia;
                }
            }
            x += m_amplades[c];
        }
        if (!m_indexos.isEmpty()) {
            QGlyphRun run;
            run.setRawFont(m_cara);
            run.setGlyphIndexes(m_indexos);
            run.setPositions(m_posicions);
            pintor.drawGlyphRun(QPointF(), run);
        }
        m_linies.emplace_back(QPointF(kMarge, y + alcada(fila)),
                              QPointF(m_ample - kMarge, y + alcada(fila)));
    }

    // The rules under the page's rows, at once: a change of pen costs the writer as much as a
    // row's text.
    void pintaLinies(QPainter& pintor) {
        pintor.setPen(QColor(200, 200, 200));
        pintor.drawLines(m_linies.data(), int(m_linies.size()));
        pintor.setPen(Qt::black);
        m_linies.clear();
    }

    QPagedPaintDevice& m_dispositiu;
    QByteArrayView m_registres;
    QString m_grup;
    QDate m_data;
    QFont m_font;
    QFont m_negreta;
    QRawFont m_cara;
    Glifs m_glifs;
    QList<quint32> m_indexos;  // of the row drawn, kept from row to row
    QList<QPointF> m_posicions;
    std::vector<QLineF> m_linies;  // of the page drawn
    qreal m_ascens = 0;
    qreal m_alcadaLinia = 0;
    qreal m_ample = 0;
    qreal m_alt = 0;
    std::array<qreal, kCelles> m_amplades{};
    std::vector<Fila> m_files;
    std::vector<std::size_t> m_pagines;  // each page's first row
    bool m_perGlifs = true;              // glyph runs, for a PDF; text, for anything else
};

// The list is laid out whole, so the records are gathered first: 3.5 MB at most.
class EscriptorPdf final : public EscriptorAlumnes {
  public:
    EscriptorPdf(QIODevice& sortida, const DadesExportacio& dades)
        : m_sortida(sortida), m_dades(dades) {}

    void alumne(int, const record::TipusAlumne& alumne) override { m_registres += alumne.bytes(); }

    void acaba() override {
        QPdfWriter escriptor(&m_sortida);
        escriptor.setResolution(72);
        escriptor.setPageLayout(paginaDeLaLlista());
        escriptor.setTitle(m_dades.grup);
        escriptor.setCreator(QStringLiteral("q2x7"));
        dibuixaLlista(escriptor, m_registres, m_dades.grup, m_dades.data);
    }

  private:
    QIODevice& m_sortida;
    DadesExportacio m_dades;
    QByteArray m_registres;
};

// The writer compresses each page apart through buffers of megabytes, taken and freed a page at a
// time: by default the C library gives them back to the system each time and takes them again,
// four system calls a page and the page faults after them, a sixth of a full list's time. While
// the list is drawn they stay in the heap; then the defaults come back and the heap is trimmed.
class MemoriaRetinguda {
  public:
    MemoriaRetinguda() {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
    }
    ~MemoriaRetinguda() {
        mallopt(M_MMAP_THRESHOLD, 128 * 1024);
        mallopt(M_TRIM_THRESHOLD, 128 * 1024);
        malloc_trim(0);
    }
    MemoriaRetinguda(const MemoriaRetinguda&) = delete;
    MemoriaRetinguda& operator=(const MemoriaRetinguda&) = delete;
};

}  // namespace

QPageLayout paginaDeLaLlista() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(),
                       QPageLayout::Point);
}

void dibuixaLlista(QPagedPaintDevice& dispositiu, QByteArrayView registres, const QString& grup,
                   QDate data, int primera, int darrera) {
    const MemoriaRetinguda memoria;
    Llista(dispositiu, registres, grup, data).dibuixa(primera, darrera);
}

std::unique_ptr<EscriptorAlumnes> escriptorPdf(QIODevice& sortida, const DadesExportacio& dades) {
    return std::make_unique<EscriptorPdf>(sortida, dades);
}

}  // namespace exchange
