#include "exchange/pdf.h"

#include "exchange/camps.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QTextLayout>

#include <array>
#include <cmath>
#include <vector>

namespace exchange {

namespace {

using record::TipusAlumne;

// Points: the writer draws at 72 dots per inch.
constexpr qreal kMarge = 36;
constexpr qreal kFarciment = 3;     // inside each cell
constexpr qreal kAlcadaTitol = 46;  // the name and the date, first page only
constexpr qreal kAlcadaPeu = 18;

struct ColumnaPdf {
    const char16_t* titol;
    qreal amplada;
};
// Núm., then the five fields in the window's order.
constexpr std::array<ColumnaPdf, 6> kTaula{{{u"Núm.", 42},
                                            {u"Nom", 230},
                                            {u"Adreça", 200},
                                            {u"Població", 130},
                                            {u"Codi postal", 70},
                                            {u"Telèfon", 98}}};

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
    Llista(QPdfWriter& escriptor, QByteArrayView registres, const QString& grup, QDate data)
        : m_escriptor(escriptor),
          m_registres(registres),
          m_grup(grup),
          m_data(data),
          m_font(QStringLiteral("Liberation Sans")),
          m_negreta(m_font),
          m_metriques(m_font, &escriptor) {
        // Points are the writer's pixels here.
        m_font.setPixelSize(9);
        m_negreta = m_font;
        m_negreta.setBold(true);
        m_metriques = QFontMetricsF(m_font, &escriptor);
        m_glifs = QRawFont::fromFont(m_font);
        m_alcadaLinia = m_metriques.lineSpacing();
        const QRectF pagina = escriptor.pageLayout().fullRect(QPageLayout::Point);
        m_ample = pagina.width();
        m_alt = pagina.height();
        qreal total = 0;
        for (const ColumnaPdf& c : kTaula)
            total += c.amplada;
        m_escala = (m_ample - 2 * kMarge) / total;
    }

    void escriu() {
        const std::vector<Fila> files = disposa();
        const int pagines = paginesPer(files);
        QPainter pintor(&m_escriptor);
        int pagina = 1;
        qreal y = capDePagina(pintor, pagina, pagines);
        for (const Fila& fila : files) {
            if (y + fila.alcada > limit()) {
                m_escriptor.newPage();
                y = capDePagina(pintor, ++pagina, pagines);
            }
            pintaFila(pintor, fila, y);
            y += fila.alcada;
        }
    }

  private:
    struct Fila {
        int numero;
        qreal alcada;
    };

    qreal limit() const { return m_alt - kMarge - kAlcadaPeu; }
    qreal alcadaCapcalera() const { return m_alcadaLinia + 2 * kFarciment; }

    TipusAlumne alumne(int numero) const {
        const qsizetype inici = qsizetype(numero - 1) * TipusAlumne::kLongitud;
        return TipusAlumne::deBytes(m_registres.sliced(
            inici, std::min<qsizetype>(TipusAlumne::kLongitud, m_registres.size() - inici)));
    }

    std::array<QString, 6> cellesDe(int numero) const {
        const TipusAlumne a = alumne(numero);
        return {QString::number(numero),
                textDelCamp(a, record::Camp::Nom),
                textDelCamp(a, record::Camp::Adreca),
                textDelCamp(a, record::Camp::Poblacio),
                textDelCamp(a, record::Camp::CodiPostal),
                textDelCamp(a, record::Camp::Telefon)};
    }

    qreal ampladaText(std::size_t columna) const {
        return kTaula[columna].amplada * m_escala - 2 * kFarciment;
    }

    // The lines of each cell: one glyph run when it fits, else the wrapped text.
    struct Cella {
        Text text;
        std::vector<QString> linies;  // empty when the text fits
    };

    std::array<Cella, 6> cellesDisposades(int numero) const {
        const auto textos = cellesDe(numero);
        std::array<Cella, 6> celles;
        for (std::size_t c = 0; c < textos.size(); ++c) {
            celles[c].text = glifsDe(m_glifs, textos[c]);
            if (celles[c].text.amplada > ampladaText(c))
                celles[c].linies = linies(textos[c], m_font, ampladaText(c));
        }
        return celles;
    }

    std::vector<Fila> disposa() {
        std::vector<Fila> files;
        const qsizetype nombre =
            (m_registres.size() + TipusAlumne::kLongitud - 1) / TipusAlumne::kLongitud;
        for (int numero = 1; numero <= nombre; ++numero) {
            if (esBuit(alumne(numero)))
                continue;
            std::size_t maxim = 1;
            const auto textos = cellesDe(numero);
            for (std::size_t c = 0; c < textos.size(); ++c) {
                // Only a text wider than its column is laid out in lines.
                if (glifsDe(m_glifs, textos[c]).amplada > ampladaText(c))
                    maxim = std::max(maxim, linies(textos[c], m_font, ampladaText(c)).size());
            }
            files.push_back({numero, qreal(maxim) * m_alcadaLinia + 2 * kFarciment});
        }
        m_alumnes = int(files.size());
        return files;
    }

    int paginesPer(const std::vector<Fila>& files) const {
        int pagines = 1;
        qreal y = kMarge + kAlcadaTitol + alcadaCapcalera();
        for (const Fila& fila : files) {
            if (y + fila.alcada > limit()) {
                ++pagines;
                y = kMarge + alcadaCapcalera();
            }
            y += fila.alcada;
        }
        return pagines;
    }

    // The title (first page), the table's header and the foot; returns where rows start.
    qreal capDePagina(QPainter& pintor, int pagina, int pagines) {
        qreal y = kMarge;
        if (pagina == 1) {
            QFont titol = m_negreta;
            titol.setPixelSize(16);
            pintor.setFont(titol);
            pintor.drawText(QPointF(kMarge, y + 18), m_grup);
            pintor.setFont(m_font);
            const QString alumnes = m_alumnes == 1 ? QStringLiteral("1 alumne")
                                                   : QStringLiteral("%1 alumnes").arg(m_alumnes);
            pintor.drawText(QPointF(kMarge, y + 36),
                            QLocale(QLocale::Catalan).toString(m_data, u"d MMMM 'de' yyyy") +
                                QStringLiteral(" · ") + alumnes);
            y += kAlcadaTitol;
        }
        pintor.fillRect(QRectF(kMarge, y, m_ample - 2 * kMarge, alcadaCapcalera()),
                        QColor(225, 225, 225));
        pintor.setFont(m_negreta);
        qreal x = kMarge;
        for (const ColumnaPdf& c : kTaula) {
            pintor.drawText(QPointF(x + kFarciment, y + kFarciment + m_metriques.ascent()),
                            QString::fromUtf16(c.titol));
            x += c.amplada * m_escala;
        }
        pintor.setFont(m_font);
        pintor.drawText(
            QRectF(kMarge, m_alt - kMarge - kAlcadaPeu + 4, m_ample - 2 * kMarge, kAlcadaPeu),
            Qt::AlignHCenter | Qt::AlignTop,
            QStringLiteral("Pàgina %1 de %2").arg(pagina).arg(pagines));
        return y + alcadaCapcalera();
    }

    void pintaFila(QPainter& pintor, const Fila& fila, qreal y) {
        const auto celles = cellesDisposades(fila.numero);
        qreal x = kMarge;
        for (std::size_t c = 0; c < celles.size(); ++c) {
            qreal base = y + kFarciment + m_metriques.ascent();
            if (celles[c].linies.empty())
                pintor.drawGlyphRun(QPointF(x + kFarciment, base), celles[c].text.glifs);
            for (const QString& linia : celles[c].linies) {
                pintor.drawText(QPointF(x + kFarciment, base), linia);
                base += m_alcadaLinia;
            }
            x += kTaula[c].amplada * m_escala;
        }
        pintor.setPen(QColor(200, 200, 200));
        pintor.drawLine(QPointF(kMarge, y + fila.alcada),
                        QPointF(m_ample - kMarge, y + fila.alcada));
        pintor.setPen(Qt::black);
    }

    QPdfWriter& m_escriptor;
    QByteArrayView m_registres;
    QString m_grup;
    QDate m_data;
    QFont m_font;
    QFont m_negreta;
    QFontMetricsF m_metriques;
    QRawFont m_glifs;
    qreal m_alcadaLinia = 0;
    qreal m_ample = 0;
    qreal m_alt = 0;
    qreal m_escala = 1;
    int m_alumnes = 0;
};

}  // namespace

void escriuLlistaPdf(QIODevice& sortida, QByteArrayView registres, const QString& grup,
                     QDate data) {
    QPdfWriter escriptor(&sortida);
    escriptor.setResolution(72);
    escriptor.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                        QMarginsF(), QPageLayout::Point));
    escriptor.setTitle(grup);
    escriptor.setCreator(QStringLiteral("q2x7"));
    Llista(escriptor, registres, grup, data).escriu();
}

}  // namespace exchange
