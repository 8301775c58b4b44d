// PDF: the class list to print, through the toolkit's PDF writer.
#include "exchange/pdf.h"

#include "exchange/columnes.h"
#include "exchange/fitxer_alumnes.h"
#include "exchange/format.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QLocale>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QTextLayout>

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

// A cell's text as glyphs of the face, placed once: most cells fit on one line, and drawing
// glyphs already looked up spares the text engine its work for each of 200,000 cells.
struct Text {
    QGlyphRun glifs;
    qreal amplada = 0;
};

Text glifsDe(const QRawFont& font, const QString& text) {
    Text resultat;
    const QList<quint32> indexos = font.glyphIndexesForString(text);
    const QList<QPointF> avancos = font.advancesForGlyphIndexes(indexos);
    QList<QPointF> posicions;
    posicions.reserve(avancos.size());
    qreal x = 0;
    for (const QPointF& avanc : avancos) {
        posicions << QPointF(x, 0);
        x += avanc.x();
    }
    resultat.glifs.setRawFont(font);
    resultat.glifs.setGlyphIndexes(indexos);
    resultat.glifs.setPositions(posicions);
    resultat.amplada = x;
    return resultat;
}

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

class Llista {
  public:
    Llista(QPagedPaintDevice& dispositiu, QByteArrayView registres, const QString& grup, QDate data)
        : m_dispositiu(dispositiu),
          m_registres(registres),
          m_grup(grup),
          m_data(data),
          m_font(QStringLiteral("Liberation Sans")) {
        m_font.setPixelSize(9);
        m_negreta = m_font;
        m_negreta.setBold(true);
        m_glifs = QRawFont::fromFont(m_font);
        m_ascens = m_glifs.ascent();
        m_alcadaLinia = m_glifs.ascent() + m_glifs.descent() + m_glifs.leading();
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
                if (glifsDe(m_glifs, textos[c]).amplada > ampladaText(c))
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

    void pintaFila(QPainter& pintor, const Fila& fila, qreal y) {
        const auto textos = cellesDe(fila.numero);
        qreal x = kMarge;
        for (std::size_t c = 0; c < textos.size(); ++c) {
            qreal base = y + kFarciment + m_ascens;
            const Text text = glifsDe(m_glifs, textos[c]);
            if (text.amplada <= ampladaText(c)) {
                // A preview records each page to draw it again: a run of glyphs there would take
                // its font along, over a megabyte a page; the text alone is a few bytes.
                if (m_perGlifs)
                    pintor.drawGlyphRun(QPointF(x + kFarciment, base), text.glifs);
                else
                    pintor.drawText(QPointF(x + kFarciment, base), textos[c]);
            } else {
                for (const QString& linia : linies(textos[c], m_font, ampladaText(c))) {
                    pintor.drawText(QPointF(x + kFarciment, base), linia);
                    base += m_alcadaLinia;
                }
            }
            x += m_amplades[c];
        }
        pintor.setPen(QColor(200, 200, 200));
        pintor.drawLine(QPointF(kMarge, y + alcada(fila)),
                        QPointF(m_ample - kMarge, y + alcada(fila)));
        pintor.setPen(Qt::black);
    }

    QPagedPaintDevice& m_dispositiu;
    QByteArrayView m_registres;
    QString m_grup;
    QDate m_data;
    QFont m_font;
    QFont m_negreta;
    QRawFont m_glifs;
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

}  // namespace

QPageLayout paginaDeLaLlista() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(),
                       QPageLayout::Point);
}

void dibuixaLlista(QPagedPaintDevice& dispositiu, QByteArrayView registres, const QString& grup,
                   QDate data, int primera, int darrera) {
    Llista(dispositiu, registres, grup, data).dibuixa(primera, darrera);
}

std::unique_ptr<EscriptorAlumnes> escriptorPdf(QIODevice& sortida, const DadesExportacio& dades) {
    return std::make_unique<EscriptorPdf>(sortida, dades);
}

}  // namespace exchange
