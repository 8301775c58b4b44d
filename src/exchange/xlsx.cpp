// .xlsx: the spreadsheet of most schools' offices. Written through libxlsxwriter in its
// constant-memory mode; read through QuaZip and QXmlStreamReader. Every cell written is a text
// cell, so a postal code keeps its zero, a telephone its plus and "=…" stays the text it is.
#include "exchange/entrada.h"
#include "exchange/format.h"
#include "exchange/full_de_calcul.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <map>

#include <xlsxwriter.h>

#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

namespace exchange {

namespace {

// libxlsxwriter calls its zip library (libminizip) by the same names under which the .ods's
// zip library (QuaZip) defines a changed copy of it for itself: in one namespace each would call
// the other's and crash. So libxlsxwriter is loaded into a namespace of its own, once, and called
// through these.
struct Xlsxwriter {
#define Q2X7_XLSXWRITER(nom) \
    decltype(&::nom) nom = reinterpret_cast<decltype(&::nom)>(dlsym(m_biblioteca, #nom))
    void* m_biblioteca = dlmopen(LM_ID_NEWLM, Q2X7_XLSXWRITER_SONAME, RTLD_NOW | RTLD_LOCAL);
    Q2X7_XLSXWRITER(workbook_new_opt);
    Q2X7_XLSXWRITER(workbook_add_worksheet);
    Q2X7_XLSXWRITER(workbook_add_format);
    Q2X7_XLSXWRITER(workbook_set_properties);
    Q2X7_XLSXWRITER(workbook_close);
    Q2X7_XLSXWRITER(format_set_bold);
    Q2X7_XLSXWRITER(format_set_num_format);
    Q2X7_XLSXWRITER(worksheet_set_column);
    Q2X7_XLSXWRITER(worksheet_write_string);
    Q2X7_XLSXWRITER(worksheet_freeze_panes);
    Q2X7_XLSXWRITER(worksheet_autofilter);
    Q2X7_XLSXWRITER(lxw_strerror);
#undef Q2X7_XLSXWRITER

    bool carregada() const {
        return m_biblioteca && workbook_new_opt && workbook_add_worksheet && workbook_add_format &&
               workbook_set_properties && workbook_close && format_set_bold &&
               format_set_num_format && worksheet_set_column && worksheet_write_string &&
               worksheet_freeze_panes && worksheet_autofilter && lxw_strerror;
    }
};

const Xlsxwriter& xlsxwriter() {
    static const Xlsxwriter biblioteca;
    if (!biblioteca.carregada())
        throw ErrorIntercanvi(QStringLiteral("no es troba la biblioteca %1, que fa els fulls de "
                                             "càlcul .xlsx")
                                  .arg(QLatin1String(Q2X7_XLSXWRITER_SONAME)));
    return biblioteca;
}

class EscriptorXlsx final : public EscriptorAlumnes {
  public:
    EscriptorXlsx(QIODevice& sortida, const DadesExportacio& dades)
        : m_sortida(sortida),
          m_titol(dades.grup.toUtf8()),
          m_x(xlsxwriter()),
          // The library writes to a name; a file in memory, whole before any byte goes out.
          m_memoria(::memfd_create("xlsx", MFD_CLOEXEC)) {
        if (m_memoria < 0)
            throw ErrorIntercanvi(QStringLiteral("no hi ha memòria per fer el full de càlcul"));
        const QByteArray nom = "/proc/self/fd/" + QByteArray::number(m_memoria);
        lxw_workbook_options opcions{};
        opcions.constant_memory = LXW_TRUE;
        m_llibre = m_x.workbook_new_opt(nom.constData(), &opcions);
        if (!m_llibre)
            throw ErrorIntercanvi(QStringLiteral("no hi ha memòria per fer el full de càlcul"));
        m_full = m_x.workbook_add_worksheet(m_llibre, nomDelFull(dades.grup).toUtf8().constData());
        m_text = m_x.workbook_add_format(m_llibre);
        m_x.format_set_num_format(m_text, "@");  // what the user types there stays text too
        lxw_format* negreta = m_x.workbook_add_format(m_llibre);
        m_x.format_set_bold(negreta);
        m_x.format_set_num_format(negreta, "@");
        for (std::size_t c = 0; c < kColumnes.size(); ++c) {
            m_x.worksheet_set_column(m_full, lxw_col_t(c), lxw_col_t(c),
                                     ampladaDeColumna(kColumnes[c]), m_text);
            m_x.worksheet_write_string(m_full, 0, lxw_col_t(c),
                                       capcalera(kColumnes[c]).toUtf8().constData(), negreta);
        }
        m_x.worksheet_freeze_panes(m_full, 1, 0);
        lxw_doc_properties propietats{};
        propietats.title = m_titol.data();
        m_x.workbook_set_properties(m_llibre, &propietats);
    }

    ~EscriptorXlsx() override {
        if (m_llibre)
            m_x.workbook_close(m_llibre);  // only after a failure: frees what it holds
        ::close(m_memoria);
    }

    // Row n + 1 holds record n; a blank record leaves its row empty.
    void alumne(int numero, const record::TipusAlumne& alumne) override {
        m_ultimaFila = numero;
        for (std::size_t c = 0; c < kColumnes.size(); ++c) {
            m_camp.truncate(0);
            afegeixCampUtf8(alumne, kColumnes[c].camp, m_camp);
            if (m_camp.isEmpty())
                continue;
            m_camp.append('\0');
            if (m_x.worksheet_write_string(m_full, lxw_row_t(numero), lxw_col_t(c),
                                           m_camp.constData(), m_text) != LXW_NO_ERROR)
                throw ErrorIntercanvi(QStringLiteral("no s'ha pogut escriure la fila %1 del full "
                                                     "de càlcul")
                                          .arg(numero + 1));
        }
    }

    void acaba() override {
        m_x.worksheet_autofilter(m_full, 0, 0, lxw_row_t(m_ultimaFila),
                                 lxw_col_t(kColumnes.size() - 1));
        const lxw_error error = m_x.workbook_close(std::exchange(m_llibre, nullptr));
        if (error != LXW_NO_ERROR)
            throw ErrorIntercanvi(QStringLiteral("no s'ha pogut fer el full de càlcul: %1")
                                      .arg(QString::fromUtf8(m_x.lxw_strerror(error))));
        QByteArray bloc(64 * 1024, Qt::Uninitialized);
        for (off_t posicio = 0;;) {
            const ssize_t n = ::pread(m_memoria, bloc.data(), size_t(bloc.size()), posicio);
            if (n <= 0)
                break;
            m_sortida.write(bloc.constData(), n);
            posicio += n;
        }
    }

  private:
    QIODevice& m_sortida;
    QByteArray m_titol;
    const Xlsxwriter& m_x;
    int m_memoria;
    lxw_workbook* m_llibre = nullptr;
    lxw_worksheet* m_full = nullptr;
    lxw_format* m_text = nullptr;
    int m_ultimaFila = 0;
    QByteArray m_camp;
};

// A part's path from a relationship's target: relative to the part that names it, or absolute.
QString camiDeLaPart(const QString& origen, const QString& desti) {
    if (desti.startsWith(u'/'))
        return desti.sliced(1);
    const qsizetype barra = origen.lastIndexOf(u'/');
    QStringList parts =
        (barra < 0 ? QString() : origen.first(barra)).split(u'/', Qt::SkipEmptyParts);
    for (const QString& tros : desti.split(u'/', Qt::SkipEmptyParts)) {
        if (tros == u".."_qs && !parts.isEmpty())
            parts.removeLast();
        else if (tros != u"."_qs)
            parts << tros;
    }
    return parts.join(u'/');
}

// A cell reference's column, from 0: "C12" is 2.
int columnaDe(QStringView referencia) {
    int columna = 0;
    for (const QChar c : referencia) {
        if (c < u'A' || c > u'Z')
            break;
        columna = columna * 26 + (c.unicode() - u'A' + 1);
        if (columna > 16384)
            return -1;
    }
    return columna - 1;
}

// Number formats that show a date: the built-in ones and any made of day, month and year.
bool esFormatDeData(int numero, const QString& codi) {
    if ((numero >= 14 && numero <= 22) || (numero >= 45 && numero <= 47))
        return true;
    if (codi.isEmpty())
        return false;
    QString net;
    bool entreCometes = false;
    for (qsizetype i = 0; i < codi.size(); ++i) {
        const QChar c = codi[i];
        if (c == u'"')
            entreCometes = !entreCometes;
        else if (c == u'[') {
            const qsizetype fi = codi.indexOf(u']', i);
            i = fi < 0 ? codi.size() : fi;
        } else if (c == u'\\')
            ++i;
        else if (!entreCometes)
            net += c.toLower();
    }
    return net.contains(u'd') || net.contains(u'y') || (net.contains(u'm') && !net.contains(u'h'));
}

// A date's serial number in the 1900 system, as both office suites keep it, or in the 1904
// system of a workbook that says so.
QDate dataDelNombre(double nombre, bool sistema1904) {
    return (sistema1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30))
        .addDays(qint64(std::floor(nombre)));
}

// A text's _xHHHH_ escapes (the format's way of writing a control character), _x005F_ being an
// underscore that starts no escape.
QString senseEscapades(const QString& text) {
    if (!text.contains(u"_x"_qs))
        return text;
    static const QRegularExpression escapada(u"_x([0-9A-Fa-f]{4})_"_qs);
    QString net;
    qsizetype desde = 0;
    for (auto it = escapada.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch trobada = it.next();
        net += QStringView(text).sliced(desde, trobada.capturedStart() - desde);
        net += QChar(char16_t(trobada.captured(1).toUShort(nullptr, 16)));
        desde = trobada.capturedEnd();
    }
    net += QStringView(text).sliced(desde);
    return net;
}

class LectorXlsx final : public LectorFiles {
  public:
    static constexpr int kMaximFila = 1 << 20;  // the format's own limits
    static constexpr int kMaximColumna = 16383;
    // Far more than a class: a sheet beyond it is no list of students.
    static constexpr std::size_t kMaximFilesAmbDades = 1 << 17;

    struct Cella {
        int columna;
        TipusCella tipus;
        QString valor;
    };

    LectorXlsx(Entrada& entrada, const Avisos& avisa)
        : m_arxiu(entrada, QStringLiteral("un full de càlcul .xlsx")), m_avisa(avisa) {
        const QString llibre = destiDe(u"_rels/.rels"_qs, u""_qs, u"/officeDocument"_qs);
        if (llibre.isEmpty())
            m_arxiu.refusa(QStringLiteral("no té cap llibre"));
        // "xl/workbook.xml" has its relationships in "xl/_rels/workbook.xml.rels".
        const qsizetype barra = llibre.lastIndexOf(u'/') + 1;
        const QString relacions =
            llibre.first(barra) + u"_rels/"_qs + llibre.sliced(barra) + u".rels"_qs;
        const QString full = primerFull(llibre, relacions);
        if (const QString cadenes = destiDe(relacions, llibre, u"/sharedStrings"_qs);
            !cadenes.isEmpty())
            llegeixCadenes(cadenes);
        if (const QString estils = destiDe(relacions, llibre, u"/styles"_qs); !estils.isEmpty())
            llegeixEstils(estils);
        m_xml.setDevice(&m_arxiu.obre(full));
        llegeixFull();
    }

    const Fila* seguent() override {
        if (m_seguent == m_files.end()) {
            avisaDeLesAmagades();
            return nullptr;
        }
        // Rows hidden in the sheet are not what the teacher sees: left out, and counted.
        while (m_amagades.contains(m_filaActual + 1))
            ++m_filaActual;
        // Rows the sheet leaves out are empty rows: record n stays in row n + 1.
        m_fila.nombre = 0;
        m_fila.linia = ++m_filaActual;
        if (m_seguent->first != m_filaActual)
            return &m_fila;
        std::vector<Cella>& celles = m_seguent->second;
        std::stable_sort(celles.begin(), celles.end(),
                         [](const Cella& a, const Cella& b) { return a.columna < b.columna; });
        for (Cella& cella : celles) {
            while (m_fila.nombre < cella.columna)
                m_fila.afegeix();
            if (m_fila.nombre == cella.columna)  // the first of a column written twice
                m_fila.afegeix(cella.tipus) = std::move(cella.valor);
        }
        // Trailing empty cells are no columns.
        while (m_fila.nombre > 0 && m_fila.celles[std::size_t(m_fila.nombre - 1)].isEmpty())
            --m_fila.nombre;
        m_seguent = m_files.erase(m_seguent);  // read once: its memory goes back
        return &m_fila;
    }

  private:
    void avisaDeLesAmagades() {
        if (m_amagades.isEmpty() || std::exchange(m_amagadesDites, true))
            return;
        m_avisa(m_amagades.size() == 1 ? QStringLiteral("1 fila amagada del full: no s'importa")
                                       : QStringLiteral("%1 files amagades del full: no s'importen")
                                             .arg(m_amagades.size()));
    }

    // The target of the first relationship of `rels` whose type ends with `tipus`, as a path.
    QString destiDe(const QString& rels, const QString& origen, QStringView tipus) {
        if (!m_arxiu.te(rels))
            return {};
        const QByteArray bytes = m_arxiu.llegeix(rels);
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd()) {
            if (seguentToken(xml, m_arxiu) == QXmlStreamReader::StartElement &&
                xml.name() == u"Relationship" &&
                xml.attributes().value(QLatin1String("Type")).endsWith(tipus))
                return camiDeLaPart(origen,
                                    xml.attributes().value(QLatin1String("Target")).toString());
        }
        return {};
    }

    // The first worksheet a person sees: hidden ones (where drop-down lists keep their values),
    // chart sheets and dialog sheets are skipped, each named in a note.
    QString primerFull(const QString& llibre, const QString& relacions) {
        struct Full {
            QString nom, id;
            bool amagat;
        };
        std::vector<Full> fulls;
        {
            const QByteArray bytes = m_arxiu.llegeix(llibre);
            QXmlStreamReader xml(bytes);
            while (!xml.atEnd()) {
                if (seguentToken(xml, m_arxiu) != QXmlStreamReader::StartElement)
                    continue;
                const QXmlStreamAttributes atributs = xml.attributes();
                if (xml.name() == u"workbookPr") {
                    const QStringView sistema = atributs.value(QLatin1String("date1904"));
                    m_sistema1904 = sistema == u"1" || sistema == u"true";
                } else if (xml.name() == u"sheet") {
                    const QStringView estat = atributs.value(QLatin1String("state"));
                    Full full{atributs.value(QLatin1String("name")).toString(),
                              {},
                              !estat.isEmpty() && estat != u"visible"};
                    for (const QXmlStreamAttribute& a : atributs) {
                        if (a.name() == u"id")
                            full.id = a.value().toString();
                    }
                    fulls.push_back(full);
                }
            }
        }
        if (fulls.empty() || !m_arxiu.te(relacions))
            m_arxiu.refusa(QStringLiteral("no té cap full"));
        QHash<QString, std::pair<QString, QString>> relacio;  // id: its type, its target
        {
            const QByteArray bytes = m_arxiu.llegeix(relacions);
            QXmlStreamReader xml(bytes);
            while (!xml.atEnd()) {
                if (seguentToken(xml, m_arxiu) == QXmlStreamReader::StartElement &&
                    xml.name() == u"Relationship")
                    relacio.insert(xml.attributes().value(QLatin1String("Id")).toString(),
                                   {xml.attributes().value(QLatin1String("Type")).toString(),
                                    xml.attributes().value(QLatin1String("Target")).toString()});
            }
        }
        for (const Full& full : fulls) {
            const auto [tipus, desti] = relacio.value(full.id);
            if (full.amagat)
                m_avisa(QStringLiteral("el full «%1» és amagat: no s'importa").arg(full.nom));
            else if (!tipus.endsWith(u"/worksheet"_qs))
                m_avisa(QStringLiteral("el full «%1» no és de cel·les (%2): no s'importa")
                            .arg(full.nom, tipus.endsWith(u"/chartsheet"_qs)
                                               ? u"un gràfic"_qs
                                               : u"un diàleg o macros"_qs));
            else if (!desti.isEmpty())
                return camiDeLaPart(llibre, desti);
        }
        m_arxiu.refusa(QStringLiteral("no té cap full de cel·les visible"));
    }

    // The text of an <si> or <is>: its <t>, or its runs' <t> joined; phonetic runs left out.
    QString textRic(QXmlStreamReader& xml, QStringView fi) {
        QString text;
        int fonetic = 0;
        while (!xml.atEnd()) {
            const auto token = seguentToken(xml, m_arxiu);
            if (token == QXmlStreamReader::StartElement && xml.name() == u"rPh")
                ++fonetic;
            else if (token == QXmlStreamReader::EndElement && xml.name() == u"rPh")
                --fonetic;
            else if (token == QXmlStreamReader::StartElement && xml.name() == u"t" && !fonetic)
                text += xml.readElementText();
            else if (token == QXmlStreamReader::EndElement && xml.name() == fi)
                break;
        }
        return senseEscapades(text);
    }

    void llegeixCadenes(const QString& part) {
        const QByteArray bytes = m_arxiu.llegeix(part);
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd()) {
            if (seguentToken(xml, m_arxiu) == QXmlStreamReader::StartElement && xml.name() == u"si")
                m_cadenes << textRic(xml, u"si");
        }
    }

    void llegeixEstils(const QString& part) {
        const QByteArray bytes = m_arxiu.llegeix(part);
        QXmlStreamReader xml(bytes);
        QHash<int, QString> codis;
        bool aCellXfs = false;
        int index = 0;
        while (!xml.atEnd()) {
            const auto token = seguentToken(xml, m_arxiu);
            if (token == QXmlStreamReader::StartElement && xml.name() == u"numFmt")
                codis[xml.attributes().value(QLatin1String("numFmtId")).toInt()] =
                    xml.attributes().value(QLatin1String("formatCode")).toString();
            else if (token == QXmlStreamReader::StartElement && xml.name() == u"cellXfs")
                aCellXfs = true;
            else if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs")
                aCellXfs = false;
            else if (token == QXmlStreamReader::StartElement && aCellXfs && xml.name() == u"xf") {
                const int numero = xml.attributes().value(QLatin1String("numFmtId")).toInt();
                if (esFormatDeData(numero, codis.value(numero)))
                    m_estilsDeData.insert(index);
                ++index;
            }
        }
    }

    // The whole sheet, its rows and cells by their references (a program may write them in any
    // order), then its merged cells, which come after them.
    void llegeixFull() {
        int fila = 0;
        while (!m_xml.atEnd()) {
            if (seguentToken(m_xml, m_arxiu) != QXmlStreamReader::StartElement)
                continue;
            if (m_xml.name() == u"mergeCell")
                combina(m_xml.attributes().value(QLatin1String("ref")));
            if (m_xml.name() != u"row")
                continue;
            const int numero = m_xml.attributes().value(QLatin1String("r")).toInt();
            fila = numero > 0 ? numero : fila + 1;
            if (fila > kMaximFila)
                m_arxiu.refusa(QStringLiteral("una fila fora de lloc (%1)").arg(fila));
            const QStringView amagada = m_xml.attributes().value(QLatin1String("hidden"));
            if (amagada == u"1" || amagada == u"true") {
                m_amagades.insert(fila);
                m_xml.skipCurrentElement();
                continue;
            }
            std::vector<Cella>& celles = m_files[fila];
            int columna = 0;
            while (!m_xml.atEnd()) {
                const auto token = seguentToken(m_xml, m_arxiu);
                if (token == QXmlStreamReader::EndElement && m_xml.name() == u"row")
                    break;
                if (token != QXmlStreamReader::StartElement || m_xml.name() != u"c")
                    continue;
                const QXmlStreamAttributes atributs = m_xml.attributes();
                const QStringView referencia = atributs.value(QLatin1String("r"));
                if (!referencia.isEmpty())
                    columna = columnaDe(referencia);
                if (columna < 0 || columna > kMaximColumna)
                    m_arxiu.refusa(
                        QStringLiteral("una cel·la fora de lloc (%1)").arg(referencia.toString()));
                Cella cella{columna++, TipusCella::SenseTipus, {}};
                llegeixCella(atributs, cella);
                if (!cella.valor.isEmpty())
                    celles.push_back(std::move(cella));
            }
            if (m_files.size() > kMaximFilesAmbDades)
                m_arxiu.refusa(QStringLiteral("té més de %1 files, i una classe no en fa tantes")
                                   .arg(kMaximFilesAmbDades));
        }
        m_arxiu.tanca();
        m_seguent = m_files.begin();
    }

    // A cell merged down over several rows gives its value to each row it covers; the cells it
    // covers across stay empty.
    void combina(QStringView rang) {
        const qsizetype dosPunts = rang.indexOf(u':');
        if (dosPunts < 0)
            return;
        const std::pair<int, int> inici = posicioDe(rang.first(dosPunts));
        const int columna = inici.first;
        const int primera = inici.second;
        const int darrera = posicioDe(rang.sliced(dosPunts + 1)).second;
        if (columna < 0 || primera <= 0 || darrera <= primera)
            return;
        const auto fila = m_files.find(primera);
        if (fila == m_files.end())
            return;
        const auto cella = std::find_if(fila->second.begin(), fila->second.end(),
                                        [&](const Cella& c) { return c.columna == columna; });
        if (cella == fila->second.end())
            return;
        const Cella valor = *cella;
        const int files = std::min(darrera, primera + kMaximFila / 16) - primera + 1;
        m_avisa(avisDeCombinada(columna, valor.valor, files));
        for (int n = primera + 1; n < primera + files; ++n) {
            std::vector<Cella>& celles = m_files[n];
            std::erase_if(celles, [&](const Cella& c) { return c.columna == columna; });
            celles.push_back(valor);
        }
    }

    // "D12" as its column from 0 and its row from 1; -1 and 0 when it is no reference.
    static std::pair<int, int> posicioDe(QStringView referencia) {
        qsizetype lletres = 0;
        while (lletres < referencia.size() && referencia[lletres].isUpper())
            ++lletres;
        bool esNombre = false;
        const int fila = referencia.sliced(lletres).toInt(&esNombre);
        return {lletres ? columnaDe(referencia) : -1, esNombre && fila <= kMaximFila ? fila : 0};
    }

    void llegeixCella(const QXmlStreamAttributes& atributs, Cella& cella) {
        const QStringView tipus = atributs.value(QLatin1String("t"));
        const int estil = atributs.value(QLatin1String("s")).toInt();
        QString valor;
        QString enLinia;
        bool teValor = false;
        while (!m_xml.atEnd()) {
            const auto token = seguentToken(m_xml, m_arxiu);
            if (token == QXmlStreamReader::EndElement && m_xml.name() == u"c")
                break;
            if (token != QXmlStreamReader::StartElement)
                continue;
            if (m_xml.name() == u"v") {
                valor = m_xml.readElementText();
                teValor = true;
            } else if (m_xml.name() == u"is") {
                enLinia = textRic(m_xml, u"is");
            }
        }
        if (tipus == u"inlineStr") {
            cella.tipus = TipusCella::Text;
            cella.valor = enLinia;
        } else if (tipus == u"s") {
            const qsizetype index = valor.toLongLong();
            cella.tipus = TipusCella::Text;
            cella.valor = index >= 0 && index < m_cadenes.size() ? m_cadenes[index] : QString();
        } else if (tipus == u"str") {  // a formula's text, as last computed
            cella.tipus = TipusCella::Text;
            cella.valor = valor;
        } else if (tipus == u"b") {
            cella.tipus = TipusCella::Altre;
            cella.valor = teValor ? textDelBoolea(valor.trimmed() == u"1"_qs) : QString();
        } else if (tipus == u"e") {
            cella.tipus = TipusCella::Altre;
            cella.valor = valor;
        } else if (tipus == u"d") {  // a date written out, 2023-03-15T00:00:00
            const QDate data = QDate::fromString(valor.left(10), Qt::ISODate);
            cella.tipus = TipusCella::Altre;
            cella.valor = data.isValid() ? textDeLaData(data) : valor;
        } else if (teValor) {
            bool esNombre = false;
            const double nombre = valor.toDouble(&esNombre);
            const bool esData = esNombre && m_estilsDeData.contains(estil);
            cella.tipus = esData ? TipusCella::Altre : TipusCella::Nombre;
            cella.valor = esData     ? textDeLaData(dataDelNombre(nombre, m_sistema1904))
                          : esNombre ? textDelNombre(nombre)
                                     : valor;
        }
    }

    ArxiuZip m_arxiu;
    Avisos m_avisa;
    bool m_sistema1904 = false;
    QSet<int> m_amagades;  // rows hidden by hand or by a filter
    bool m_amagadesDites = false;
    QStringList m_cadenes;
    QSet<int> m_estilsDeData;
    QXmlStreamReader m_xml;
    // What the sheet holds, read whole: the cells with something, by row.
    std::map<int, std::vector<Cella>> m_files;
    std::map<int, std::vector<Cella>>::iterator m_seguent;
    Fila m_fila;
    int m_filaActual = 0;
};

}  // namespace

std::unique_ptr<EscriptorAlumnes> escriptorXlsx(QIODevice& sortida, const DadesExportacio& dades) {
    return std::make_unique<EscriptorXlsx>(sortida, dades);
}

std::unique_ptr<LectorFiles> lectorXlsx(Entrada& entrada, const DadesImportacio&,
                                        const Avisos& avisa) {
    return std::make_unique<LectorXlsx>(entrada, avisa);
}

bool esXlsx(Entrada& entrada) {
    return esZip(entrada) && !esZipOpenDocument(entrada);
}

}  // namespace exchange
