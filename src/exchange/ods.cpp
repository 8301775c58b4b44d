// .ods: the OpenDocument spreadsheet of the schools that run LibreOffice. A zip through QuaZip
// ("mimetype" first and stored, as the format requires) of XML written and read with the
// toolkit's stream writer and reader. Every cell written is a text cell.
#include "exchange/entrada.h"
#include "exchange/format.h"
#include "exchange/full_de_calcul.h"

#include <QBuffer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

namespace exchange {

namespace {

const QString kTipus = u"application/vnd.oasis.opendocument.spreadsheet"_qs;
const QString kOffice = u"urn:oasis:names:tc:opendocument:xmlns:office:1.0"_qs;
const QString kStyle = u"urn:oasis:names:tc:opendocument:xmlns:style:1.0"_qs;
const QString kTable = u"urn:oasis:names:tc:opendocument:xmlns:table:1.0"_qs;
const QString kText = u"urn:oasis:names:tc:opendocument:xmlns:text:1.0"_qs;
const QString kFo = u"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"_qs;
const QString kNumber = u"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"_qs;
const QString kMeta = u"urn:oasis:names:tc:opendocument:xmlns:meta:1.0"_qs;
const QString kDc = u"http://purl.org/dc/elements/1.1/"_qs;
const QString kConfig = u"urn:oasis:names:tc:opendocument:xmlns:config:1.0"_qs;
const QString kManifest = u"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"_qs;

// Gathers the XML writer's many small writes into blocks for the zip, which pays for each call.
class EnBlocs final : public QIODevice {
  public:
    explicit EnBlocs(QIODevice& desti) : m_desti(desti) { open(QIODevice::WriteOnly); }
    void buida() {
        if (!m_bloc.isEmpty() && m_desti.write(m_bloc) != m_bloc.size())
            m_error = true;
        m_bloc.truncate(0);
    }
    bool fallat() const { return m_error; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* dades, qint64 mida) override {
        m_bloc.append(dades, mida);
        if (m_bloc.size() >= kBloc)
            buida();
        return mida;
    }

  private:
    static constexpr qsizetype kBloc = 64 * 1024;
    QIODevice& m_desti;
    QByteArray m_bloc;
    bool m_error = false;
};

// A sheet's name in a cell range: quoted, its quotes doubled.
QString nomEnRang(const QString& full) {
    return u'\'' + QString(full).replace(u'\'', u"''"_qs) + u'\'';
}

class EscriptorOds final : public EscriptorAlumnes {
  public:
    EscriptorOds(QIODevice& sortida, const DadesExportacio& dades)
        : m_sortida(sortida),
          m_grup(dades.grup),
          m_full(nomDelFull(dades.grup)),
          m_zip(&m_memoria) {
        if (!m_zip.open(QuaZip::mdCreate))
            throw ErrorIntercanvi(QStringLiteral("no s'ha pogut fer el full de càlcul"));
        // Stored, and first: a reader knows the type from the bytes at the file's start.
        part(u"mimetype"_qs, false, [](QIODevice& d) { d.write(kTipus.toUtf8()); });
        part(u"META-INF/manifest.xml"_qs, true, [](QIODevice& d) { manifest(d); });
        part(u"meta.xml"_qs, true, [this](QIODevice& d) { meta(d); });
        part(u"styles.xml"_qs, true, [](QIODevice& d) { estils(d); });
        part(u"settings.xml"_qs, true, [this](QIODevice& d) { configuracio(d); });
        // The records stream into the content part as they come.
        // The largest part by far: packed for speed rather than for the last byte.
        m_contingut = std::make_unique<QuaZipFile>(&m_zip);
        if (!m_contingut->open(QIODevice::WriteOnly, QuaZipNewInfo(u"content.xml"_qs), nullptr, 0,
                               Z_DEFLATED, Z_BEST_SPEED))
            throw ErrorIntercanvi(QStringLiteral("no s'ha pogut fer el full de càlcul"));
        m_blocs = std::make_unique<EnBlocs>(*m_contingut);
        m_xml.setDevice(m_blocs.get());
        comencaContingut();
    }

    // The rows are most of the file: written by their qualified names, which spares the writer
    // a look-up of each name's namespace.
    void alumne(int numero, const record::TipusAlumne& alumne) override {
        m_ultimaFila = numero + 1;
        if (esBuit(alumne)) {
            ++m_buides;  // row n + 1 stays record n
            return;
        }
        filesBuides();
        m_xml.writeStartElement(u"table:table-row"_qs);
        for (const Columna& columna : kColumnes) {
            const QString text = textDelCamp(alumne, columna.camp);
            if (text.isEmpty()) {
                m_xml.writeEmptyElement(u"table:table-cell"_qs);
                continue;
            }
            m_xml.writeStartElement(u"table:table-cell"_qs);
            m_xml.writeAttribute(u"office:value-type"_qs, u"string"_qs);
            m_xml.writeAttribute(u"table:style-name"_qs, u"ce2"_qs);
            paragraf(text);
            m_xml.writeEndElement();
        }
        m_xml.writeEndElement();
    }

    void acaba() override {
        filesBuides();
        m_xml.writeEndElement();  // table:table
        m_xml.writeStartElement(kTable, u"database-ranges"_qs);
        m_xml.writeStartElement(kTable, u"database-range"_qs);
        m_xml.writeAttribute(kTable, u"name"_qs, u"__Anonymous_Sheet_DB__0"_qs);
        m_xml.writeAttribute(
            kTable, u"target-range-address"_qs,
            QStringLiteral("%1.A1:%1.E%2").arg(nomEnRang(m_full)).arg(m_ultimaFila));
        m_xml.writeAttribute(kTable, u"display-filter-buttons"_qs, u"true"_qs);
        m_xml.writeEndDocument();
        m_blocs->buida();
        m_contingut->close();
        m_zip.close();
        if (m_xml.hasError() || m_blocs->fallat() || m_contingut->getZipError() != 0 ||
            m_zip.getZipError() != 0)
            throw ErrorIntercanvi(QStringLiteral("no s'ha pogut fer el full de càlcul"));
        m_sortida.write(m_memoria.data());
    }

  private:
    template <class Escriu>
    void part(const QString& nom, bool comprimida, Escriu&& escriu) {
        QuaZipFile fitxer(&m_zip);
        if (!fitxer.open(QIODevice::WriteOnly, QuaZipNewInfo(nom), nullptr, 0,
                         comprimida ? Z_DEFLATED : 0, comprimida ? Z_DEFAULT_COMPRESSION : 0))
            throw ErrorIntercanvi(QStringLiteral("no s'ha pogut fer el full de càlcul"));
        escriu(fitxer);
        fitxer.close();
    }

    static void comenca(QXmlStreamWriter& xml, const QString& arrel,
                        std::initializer_list<std::pair<QString, QString>> espais) {
        xml.writeStartDocument();
        for (const auto& [prefix, espai] : espais)
            xml.writeNamespace(espai, prefix);
        xml.writeStartElement(kOffice, arrel);
        xml.writeAttribute(kOffice, u"version"_qs, u"1.2"_qs);
    }

    static void manifest(QIODevice& d) {
        QXmlStreamWriter xml(&d);
        xml.writeStartDocument();
        xml.writeNamespace(kManifest, u"manifest"_qs);
        xml.writeStartElement(kManifest, u"manifest"_qs);
        xml.writeAttribute(kManifest, u"version"_qs, u"1.2"_qs);
        for (const auto& [cami, tipus] : {std::pair{u"/"_qs, kTipus},
                                          {u"content.xml"_qs, u"text/xml"_qs},
                                          {u"styles.xml"_qs, u"text/xml"_qs},
                                          {u"meta.xml"_qs, u"text/xml"_qs},
                                          {u"settings.xml"_qs, u"text/xml"_qs}}) {
            xml.writeEmptyElement(kManifest, u"file-entry"_qs);
            xml.writeAttribute(kManifest, u"full-path"_qs, cami);
            if (cami == u"/"_qs)
                xml.writeAttribute(kManifest, u"version"_qs, u"1.2"_qs);
            xml.writeAttribute(kManifest, u"media-type"_qs, tipus);
        }
        xml.writeEndDocument();
    }

    void meta(QIODevice& d) const {
        QXmlStreamWriter xml(&d);
        comenca(xml, u"document-meta"_qs,
                {{u"office"_qs, kOffice}, {u"meta"_qs, kMeta}, {u"dc"_qs, kDc}});
        xml.writeStartElement(kOffice, u"meta"_qs);
        xml.writeTextElement(kDc, u"title"_qs, m_grup);
        xml.writeTextElement(kMeta, u"generator"_qs, u"q2x7"_qs);
        xml.writeEndDocument();
    }

    static void estils(QIODevice& d) {
        QXmlStreamWriter xml(&d);
        comenca(xml, u"document-styles"_qs, {{u"office"_qs, kOffice}, {u"style"_qs, kStyle}});
        xml.writeEmptyElement(kOffice, u"styles"_qs);
        xml.writeEndDocument();
    }

    // The header row frozen, as the spreadsheet keeps its view.
    void configuracio(QIODevice& d) const {
        QXmlStreamWriter xml(&d);
        comenca(xml, u"document-settings"_qs, {{u"office"_qs, kOffice}, {u"config"_qs, kConfig}});
        xml.writeStartElement(kOffice, u"settings"_qs);
        xml.writeStartElement(kConfig, u"config-item-set"_qs);
        xml.writeAttribute(kConfig, u"name"_qs, u"ooo:view-settings"_qs);
        xml.writeStartElement(kConfig, u"config-item-map-indexed"_qs);
        xml.writeAttribute(kConfig, u"name"_qs, u"Views"_qs);
        xml.writeStartElement(kConfig, u"config-item-map-entry"_qs);
        const auto element = [&xml](const QString& nom, const QString& tipus,
                                    const QString& valor) {
            xml.writeStartElement(kConfig, u"config-item"_qs);
            xml.writeAttribute(kConfig, u"name"_qs, nom);
            xml.writeAttribute(kConfig, u"type"_qs, tipus);
            xml.writeCharacters(valor);
            xml.writeEndElement();
        };
        element(u"ViewId"_qs, u"string"_qs, u"view1"_qs);
        xml.writeStartElement(kConfig, u"config-item-map-named"_qs);
        xml.writeAttribute(kConfig, u"name"_qs, u"Tables"_qs);
        xml.writeStartElement(kConfig, u"config-item-map-entry"_qs);
        xml.writeAttribute(kConfig, u"name"_qs, m_full);
        element(u"VerticalSplitMode"_qs, u"short"_qs, u"2"_qs);
        element(u"VerticalSplitPosition"_qs, u"int"_qs, u"1"_qs);
        element(u"ActiveSplitRange"_qs, u"short"_qs, u"2"_qs);
        element(u"PositionTop"_qs, u"int"_qs, u"0"_qs);
        element(u"PositionBottom"_qs, u"int"_qs, u"1"_qs);
        xml.writeEndDocument();
    }

    void comencaContingut() {
        comenca(m_xml, u"document-content"_qs,
                {{u"office"_qs, kOffice},
                 {u"style"_qs, kStyle},
                 {u"table"_qs, kTable},
                 {u"text"_qs, kText},
                 {u"fo"_qs, kFo},
                 {u"number"_qs, kNumber}});
        m_xml.writeStartElement(kOffice, u"automatic-styles"_qs);
        for (std::size_t c = 0; c < kColumnes.size(); ++c) {
            m_xml.writeStartElement(kStyle, u"style"_qs);
            m_xml.writeAttribute(kStyle, u"name"_qs, QStringLiteral("co%1").arg(c + 1));
            m_xml.writeAttribute(kStyle, u"family"_qs, u"table-column"_qs);
            m_xml.writeEmptyElement(kStyle, u"table-column-properties"_qs);
            // About a fifth of a centimetre a character of the default font.
            m_xml.writeAttribute(
                kStyle, u"column-width"_qs,
                QStringLiteral("%1cm").arg(ampladaDeColumna(kColumnes[c]) * 0.21, 0, 'f', 2));
            m_xml.writeEndElement();
        }
        // Text, so that what the user types there stays text too.
        m_xml.writeStartElement(kNumber, u"text-style"_qs);
        m_xml.writeAttribute(kStyle, u"name"_qs, u"N100"_qs);
        m_xml.writeEmptyElement(kNumber, u"text-content"_qs);
        m_xml.writeEndElement();
        for (const auto& [nom, negreta] : {std::pair{u"ce1"_qs, true}, {u"ce2"_qs, false}}) {
            m_xml.writeStartElement(kStyle, u"style"_qs);
            m_xml.writeAttribute(kStyle, u"name"_qs, nom);
            m_xml.writeAttribute(kStyle, u"family"_qs, u"table-cell"_qs);
            m_xml.writeAttribute(kStyle, u"data-style-name"_qs, u"N100"_qs);
            if (negreta) {
                m_xml.writeEmptyElement(kStyle, u"text-properties"_qs);
                m_xml.writeAttribute(kFo, u"font-weight"_qs, u"bold"_qs);
            }
            m_xml.writeEndElement();
        }
        m_xml.writeEndElement();  // automatic-styles
        m_xml.writeStartElement(kOffice, u"body"_qs);
        m_xml.writeStartElement(kOffice, u"spreadsheet"_qs);
        m_xml.writeStartElement(kTable, u"table"_qs);
        m_xml.writeAttribute(kTable, u"name"_qs, m_full);
        for (std::size_t c = 0; c < kColumnes.size(); ++c) {
            m_xml.writeEmptyElement(kTable, u"table-column"_qs);
            m_xml.writeAttribute(kTable, u"style-name"_qs, QStringLiteral("co%1").arg(c + 1));
        }
        m_xml.writeStartElement(kTable, u"table-row"_qs);
        for (const Columna& columna : kColumnes) {
            m_xml.writeStartElement(kTable, u"table-cell"_qs);
            m_xml.writeAttribute(kOffice, u"value-type"_qs, u"string"_qs);
            m_xml.writeAttribute(kTable, u"style-name"_qs, u"ce1"_qs);
            paragraf(capcalera(columna));
            m_xml.writeEndElement();
        }
        m_xml.writeEndElement();
    }

    void filesBuides() {
        if (m_buides == 0)
            return;
        m_xml.writeStartElement(kTable, u"table-row"_qs);
        if (m_buides > 1)
            m_xml.writeAttribute(kTable, u"number-rows-repeated"_qs, QString::number(m_buides));
        m_xml.writeEmptyElement(kTable, u"table-cell"_qs);
        m_xml.writeEndElement();
        m_buides = 0;
    }

    // The format folds runs of spaces: every space after the first of a run, or at the start, is
    // written as an element; so are tabs and line ends.
    void paragraf(const QString& text) {
        m_xml.writeStartElement(u"text:p"_qs);
        qsizetype i = 0;
        QString tros;
        while (i < text.size()) {
            const QChar c = text[i];
            if (c == u' ' && (i == 0 || text[i - 1] == u' ')) {
                qsizetype fi = i;
                while (fi < text.size() && text[fi] == u' ')
                    ++fi;
                m_xml.writeCharacters(std::exchange(tros, QString()));
                m_xml.writeEmptyElement(u"text:s"_qs);
                if (fi - i > 1)
                    m_xml.writeAttribute(u"text:c"_qs, QString::number(fi - i));
                i = fi;
                continue;
            }
            if (c == u'\t' || c == u'\n') {
                m_xml.writeCharacters(std::exchange(tros, QString()));
                m_xml.writeEmptyElement(c == u'\t' ? u"text:tab"_qs : u"text:line-break"_qs);
            } else if (c != u'\r') {
                tros += c;
            }
            ++i;
        }
        m_xml.writeCharacters(tros);
        m_xml.writeEndElement();
    }

    QIODevice& m_sortida;
    QString m_grup;
    QString m_full;
    QBuffer m_memoria;  // the zip, whole before any byte goes out
    QuaZip m_zip;
    std::unique_ptr<QuaZipFile> m_contingut;
    std::unique_ptr<EnBlocs> m_blocs;
    QXmlStreamWriter m_xml;
    int m_buides = 0;
    int m_ultimaFila = 1;
};

class LectorOds final : public LectorFiles {
  public:
    // A zip's content.xml, or the whole of a flat document (.fods): the same XML.
    LectorOds(Entrada& entrada, const Avisos& avisa, bool pla)
        : m_font(entrada.nom(), pla ? QStringLiteral("un full de càlcul .fods")
                                    : QStringLiteral("un full de càlcul .ods")),
          m_avisa(avisa) {
        if (pla) {
            m_pla = entrada.comArxiu();
            if (m_pla->size() > ArxiuZip::kMaximPart)
                m_font.refusa(QStringLiteral("fa %1 MiB, i se'n llegeixen %2 com a molt")
                                  .arg(m_pla->size() >> 20)
                                  .arg(ArxiuZip::kMaximPart >> 20));
            m_xml.setDevice(m_pla.get());
        } else {
            m_arxiu = std::make_unique<ArxiuZip>(entrada, QStringLiteral("un full de càlcul .ods"));
            m_xml.setDevice(&m_arxiu->obre(u"content.xml"_qs));
        }
        // To the first table a person sees: a hidden one (where drop-down lists keep their
        // values) is skipped and named. Its style, which comes first, says it is hidden.
        QSet<QString> estilsAmagats;
        QString estil;
        bool algunFull = false;
        while (!m_xml.atEnd()) {
            if (seguentToken(m_xml, m_font) != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes atributs = m_xml.attributes();
            if (m_xml.name() == u"style") {
                estil = atributs.value(kStyle, QLatin1String("name")).toString();
            } else if (m_xml.name() == u"table-properties" &&
                       atributs.value(kTable, QLatin1String("display")) == u"false") {
                estilsAmagats.insert(estil);
            } else if (m_xml.name() == u"table" && m_xml.namespaceUri() == kTable) {
                algunFull = true;
                if (!estilsAmagats.contains(
                        atributs.value(kTable, QLatin1String("style-name")).toString()))
                    return;
                m_avisa(QStringLiteral("el full «%1» és amagat: no s'importa")
                            .arg(atributs.value(kTable, QLatin1String("name")).toString()));
                m_xml.skipCurrentElement();
            }
        }
        m_font.refusa(algunFull ? QStringLiteral("no té cap full de cel·les visible")
                                : QStringLiteral("no té cap full"));
    }

    const Fila* seguent() override {
        // A row repeated with its values stands for as many rows.
        if (m_repeticions > 0 && m_buidesPendents == 0 && !m_teLlegida) {
            --m_repeticions;
            m_fila.linia = ++m_numero;
            return &m_fila;
        }
        // Empty rows are given only when a row with something follows them: a sheet ends in a
        // million of them.
        if (m_buidesPendents == 0 && !llegeixFila()) {
            if (m_amagades > 0)
                m_avisa(m_amagades == 1
                            ? QStringLiteral("1 fila amagada del full: no s'importa")
                            : QStringLiteral("%1 files amagades del full: no s'importen")
                                  .arg(m_amagades));
            m_amagades = 0;
            return nullptr;
        }
        if (m_buidesPendents == 0)
            m_numero += std::exchange(m_amagadesAbans, 0);  // the row keeps the sheet's number
        ++m_numero;
        if (m_buidesPendents > 0) {
            --m_buidesPendents;
            m_buida.linia = m_numero;
            return &m_buida;
        }
        std::swap(m_fila, m_llegida);
        m_fila.linia = m_numero;
        m_teLlegida = false;
        return &m_fila;
    }

  private:
    // Reads rows until one holds something: it goes to m_llegida, the empty ones before it are
    // counted in m_buidesPendents. False when the table ends first.
    bool llegeixFila() {
        if (m_teLlegida)
            return true;
        int buides = 0;
        while (!m_xml.atEnd()) {
            const auto token = seguentToken(m_xml, m_font);
            if (token == QXmlStreamReader::EndElement && m_xml.name() == u"table") {
                if (m_arxiu)
                    m_arxiu->tanca();
                break;
            }
            if (token != QXmlStreamReader::StartElement || m_xml.name() != u"table-row")
                continue;
            const int vegades = std::max(
                1, m_xml.attributes().value(kTable, QLatin1String("number-rows-repeated")).toInt());
            // Rows hidden by hand or by a filter are not what the teacher sees: left out, counted.
            const QStringView visibilitat =
                m_xml.attributes().value(kTable, QLatin1String("visibility"));
            if (visibilitat == u"collapse" || visibilitat == u"filter") {
                m_amagades = std::min(m_amagades + vegades, 1 << 20);
                m_amagadesAbans = std::min(m_amagadesAbans + vegades, 1 << 20);
                m_xml.skipCurrentElement();
                continue;
            }
            llegeixCelles();
            if (m_llegida.nombre == 0) {
                buides = std::min(buides + vegades, 1 << 20);
                continue;
            }
            m_buidesPendents = buides;
            m_repeticions = std::min(vegades - 1, 1 << 16);
            m_teLlegida = true;
            return true;
        }
        return false;
    }

    void llegeixCelles() {
        QHash<qsizetype, Fusio> noves;  // merged down from this row: for the next ones
        m_llegida.nombre = 0;
        qsizetype ambText = 0;  // cells up to the last that holds something
        while (!m_xml.atEnd()) {
            const auto token = seguentToken(m_xml, m_font);
            if (token == QXmlStreamReader::EndElement && m_xml.name() == u"table-row")
                break;
            if (token != QXmlStreamReader::StartElement)
                continue;
            const bool coberta = m_xml.name() == u"covered-table-cell";
            if (!coberta && m_xml.name() != u"table-cell")
                continue;
            const QXmlStreamAttributes atributs = m_xml.attributes();
            const int vegades = std::max(
                1, atributs.value(kTable, QLatin1String("number-columns-repeated")).toInt());
            TipusCella tipus = TipusCella::Text;
            QString valor = valorDe(atributs, tipus);
            const QString text = textDeLaCella();
            if (valor.isNull())
                valor = text;
            const qsizetype columna = m_llegida.nombre;
            // A merged cell's value is its first cell's; the cells it covers are empty, but for
            // a cell merged down, whose value belongs to each row it covers.
            if (coberta) {
                valor.clear();
                if (const auto fusio = m_fusions.find(columna); fusio != m_fusions.end()) {
                    valor = fusio->valor;
                    tipus = fusio->tipus;
                    if (--fusio->restants == 0)
                        m_fusions.erase(fusio);
                }
            } else if (const int files =
                           atributs.value(kTable, QLatin1String("number-rows-spanned")).toInt();
                       files > 1 && !valor.isEmpty() && columna < 1024) {
                noves.insert(columna, {valor, tipus, std::min(files - 1, 1 << 16)});
                m_avisa(avisDeCombinada(columna, valor, files));
            }
            if (valor.isEmpty() && m_llegida.nombre + vegades > 1024) {
                m_llegida.nombre = ambText;  // a trailing run is no columns
                continue;
            }
            for (int i = 0; i < vegades && m_llegida.nombre < 1024; ++i)
                m_llegida.afegeix(valor.isEmpty() ? TipusCella::SenseTipus : tipus) = valor;
            if (!valor.isEmpty())
                ambText = m_llegida.nombre;
        }
        m_llegida.nombre = ambText;
        m_fusions.insert(noves);
    }

    // What a typed cell shows, from its attributes; a null string for text, which is in its
    // paragraphs.
    QString valorDe(const QXmlStreamAttributes& atributs, TipusCella& tipus) {
        const QStringView valorTipus = atributs.value(kOffice, QLatin1String("value-type"));
        if (valorTipus.isEmpty() || valorTipus == u"string")
            return QString();
        if (valorTipus == u"float" || valorTipus == u"percentage" || valorTipus == u"currency") {
            tipus = TipusCella::Nombre;
            bool esNombre = false;
            const double nombre =
                atributs.value(kOffice, QLatin1String("value")).toDouble(&esNombre);
            return esNombre ? textDelNombre(nombre) : QString();
        }
        tipus = TipusCella::Altre;
        if (valorTipus == u"date") {
            const QStringView data = atributs.value(kOffice, QLatin1String("date-value"));
            return textDeLaData(QDate::fromString(
                data.first(std::min<qsizetype>(10, data.size())).toString(), Qt::ISODate));
        }
        if (valorTipus == u"boolean")
            return textDelBoolea(atributs.value(kOffice, QLatin1String("boolean-value")) ==
                                 u"true");
        return QString();  // a time: its paragraph shows it
    }

    // The cell's paragraphs, one line each; spaces, tabs and line breaks as they were.
    QString textDeLaCella() {
        QString text;
        int paragrafs = 0;
        int profunditat = 1;
        while (!m_xml.atEnd() && profunditat > 0) {
            const auto token = seguentToken(m_xml, m_font);
            if (token == QXmlStreamReader::StartElement) {
                ++profunditat;
                const QStringView nom = m_xml.name();
                if (nom == u"p" && paragrafs++ > 0)
                    text += u'\n';
                else if (nom == u"s")
                    text += QString(
                        std::clamp(m_xml.attributes().value(kText, QLatin1String("c")).toInt(), 1,
                                   1024),
                        u' ');
                else if (nom == u"tab")
                    text += u'\t';
                else if (nom == u"line-break")
                    text += u'\n';
                else if (nom == u"annotation") {
                    m_xml.skipCurrentElement();  // a comment is not the cell's text
                    --profunditat;
                }
            } else if (token == QXmlStreamReader::EndElement) {
                --profunditat;
            } else if (token == QXmlStreamReader::Characters && paragrafs > 0) {
                text += m_xml.text();
            }
        }
        return text;
    }

    FontDeFull m_font;
    std::unique_ptr<ArxiuZip> m_arxiu;  // or
    std::unique_ptr<QIODevice> m_pla;
    QXmlStreamReader m_xml;
    Fila m_fila;
    Fila m_llegida;
    Fila m_buida;
    bool m_teLlegida = false;
    int m_buidesPendents = 0;
    int m_repeticions = 0;
    int m_numero = 0;
    struct Fusio {
        QString valor;
        TipusCella tipus;
        int restants;  // rows below that it still covers
    };
    QHash<qsizetype, Fusio> m_fusions;  // by column
    Avisos m_avisa;
    int m_amagades = 0;       // hidden rows, said at the end
    int m_amagadesAbans = 0;  // hidden rows before the row read
};

}  // namespace

std::unique_ptr<EscriptorAlumnes> escriptorOds(QIODevice& sortida, const DadesExportacio& dades) {
    return std::make_unique<EscriptorOds>(sortida, dades);
}

std::unique_ptr<LectorFiles> lectorOds(Entrada& entrada, const DadesImportacio&,
                                       const Avisos& avisa) {
    return std::make_unique<LectorOds>(entrada, avisa, false);
}

bool esOds(Entrada& entrada) {
    return esZipOpenDocument(entrada);
}

std::unique_ptr<LectorFiles> lectorFods(Entrada& entrada, const DadesImportacio&,
                                        const Avisos& avisa) {
    return std::make_unique<LectorOds>(entrada, avisa, true);
}

bool esFods(Entrada& entrada) {
    return esOpenDocumentPla(entrada);
}

}  // namespace exchange
