#include "exchange/importacio.h"

#include "exchange/columnes.h"
#include "exchange/fitxer_alumnes.h"
#include "exchange/full_de_calcul.h"
#include "record/noms.h"

#include <QLocale>
#include <QRegularExpression>

#include <array>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

namespace exchange {

namespace {

// What a header's column holds: a field, or a part of the name that lists split in columns.
enum class Rol {
    Nom,
    Cognoms,
    Cognom1,
    Cognom2,
    NomComplet,
    Adreca,
    Poblacio,
    CodiPostal,
    Telefon
};
constexpr std::size_t kRols = 9;

struct NomsDelRol {
    Rol rol;
    std::initializer_list<const char16_t*> noms;
};
// As the school office's lists name them, in Catalan and Spanish.
const NomsDelRol kNoms[] = {
    {Rol::Nom, {u"Nom", u"Nombre"}},
    {Rol::Cognoms, {u"Cognoms", u"Apellidos"}},
    {Rol::Cognom1, {u"Primer cognom", u"Cognom 1", u"Primer apellido", u"Apellido 1"}},
    {Rol::Cognom2, {u"Segon cognom", u"Cognom 2", u"Segundo apellido", u"Apellido 2"}},
    {Rol::NomComplet, {u"Nom i cognoms", u"Nom complet", u"Nombre completo", u"Alumne", u"Alumna"}},
    {Rol::Adreca, {u"Adreça", u"Direcció", u"Domicili", u"Dirección", u"Domicilio"}},
    {Rol::Poblacio,
     {u"Població", u"Municipi", u"Localitat", u"Ciutat", u"Población", u"Localidad", u"Municipio"}},
    {Rol::CodiPostal, {u"Codi postal", u"CP", u"Código postal"}},
    {Rol::Telefon, {u"Telèfon", u"Tel", u"Mòbil", u"Telèfon mòbil", u"Teléfono", u"Móvil"}},
};

// The field each role fills; the name's parts all fill the name.
record::Camp campDe(Rol rol) {
    switch (rol) {
        case Rol::Adreca:
            return record::Camp::Adreca;
        case Rol::Poblacio:
            return record::Camp::Poblacio;
        case Rol::CodiPostal:
            return record::Camp::CodiPostal;
        case Rol::Telefon:
            return record::Camp::Telefon;
        default:
            return record::Camp::Nom;
    }
}

const Columna& columnaDe(record::Camp camp) {
    for (const Columna& columna : kColumnes) {
        if (columna.camp == camp)
            return columna;
    }
    return kColumnes.front();
}

// A column's name the way people write it in a header: letter case, accents, spaces, dots,
// hyphens and a trailing colon do not count.
QString nomNormalitzat(const QString& nom) {
    QString net;
    for (const QChar c : nom.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing && !c.isSpace() && c != u'.' && c != u'-' &&
            c != u':')
            net += c;
    }
    return net.toCaseFolded();
}

std::optional<Rol> rolDelNom(const QString& nom) {
    static const auto taula = [] {
        std::vector<std::pair<QString, Rol>> noms;
        for (const NomsDelRol& rol : kNoms) {
            for (const char16_t* n : rol.noms)
                noms.emplace_back(nomNormalitzat(QString::fromUtf16(n)), rol.rol);
        }
        return noms;
    }();
    const QString normalitzat = nomNormalitzat(nom);
    for (const auto& [n, rol] : taula) {
        if (n == normalitzat)
            return rol;
    }
    return std::nullopt;
}

QString llistaDeLinies(const std::vector<int>& linies) {
    QStringList numeros;
    for (const int linia : linies)
        numeros << QString::number(linia);
    if (numeros.size() == 1)
        return u"línia "_qs + numeros.front();
    const QString ultim = numeros.takeLast();
    return u"línies "_qs + numeros.join(u", "_qs) + u" i "_qs + ultim;
}

// A letterhead is often a dozen lines.

bool esBuida(const Fila& fila) {
    for (qsizetype i = 0; i < fila.nombre; ++i) {
        if (!fila.celles[std::size_t(i)].trimmed().isEmpty())
            return false;
    }
    return true;
}

// A closing line such as "Total alumnes: 7": one cell, beginning "Total".
bool esFilaDeTotal(const Fila& fila) {
    int plenes = 0;
    bool total = false;
    for (qsizetype i = 0; i < fila.nombre; ++i) {
        const QString cella = fila.celles[std::size_t(i)].trimmed();
        if (cella.isEmpty())
            continue;
        ++plenes;
        total = cella.startsWith(u"total"_qs, Qt::CaseInsensitive);
    }
    return plenes == 1 && total;
}

// A name as two lists are compared: letter case and accents do not count.
QString clauDelNom(const QString& nom) {
    return record::plegat(nom.simplified());
}

class Importador {
  public:
    Importador(const Avisos& avisa, const QStringList& classe) : m_avisa(avisa) {
        for (qsizetype i = 0; i < classe.size(); ++i) {
            if (const QString clau = clauDelNom(classe[i]); !clau.isEmpty())
                m_noms.try_emplace(clau, Vist{true, int(i + 1)});
        }
        // Without a header, the export's order.
        m_rols = {Rol::Nom, Rol::Adreca, Rol::Poblacio, Rol::CodiPostal, Rol::Telefon};
    }

    void fila(const Fila& fila) {
        if (m_decidit) {
            afegeix(fila);
            return;
        }
        m_primeres.push_back(fila);
        if (m_primeres.size() == kFilesPerLaCapcalera)
            decideix();
    }

    Importats acaba() {
        if (!m_decidit)
            decideix();
        // A total line after the last student is no student.
        if (!m_pendents.empty()) {
            const Fila& total = m_pendents.front();
            for (qsizetype i = 0; i < total.nombre; ++i) {
                if (const QString cella = total.celles[std::size_t(i)].trimmed(); !cella.isEmpty())
                    m_avisa(QStringLiteral("línia %1: «%2» és una línia de total: no s'importa")
                                .arg(total.linia)
                                .arg(cella));
            }
            m_pendents.clear();
        }
        // Spreadsheets leave empty rows after the last student.
        m_importats.registres.truncate(m_ultimAmbDades * kLongitudRegistre);
        m_importats.nombre = m_ultimAmbDades;
        return std::move(m_importats);
    }

  private:
    // Cells naming a column, and cells with anything.
    static std::pair<int, int> compta(const Fila& fila) {
        int conegudes = 0;
        int plenes = 0;
        for (qsizetype i = 0; i < fila.nombre; ++i) {
            const QString& cella = fila.celles[std::size_t(i)];
            plenes += !cella.trimmed().isEmpty();
            conegudes += rolDelNom(cella).has_value();
        }
        return {conegudes, plenes};
    }

    // The header is the first of the first rows that names two columns, or whose only cell
    // names one; failing that, a first row that names any. Rows above it are titles.
    void decideix() {
        m_decidit = true;
        std::optional<std::size_t> capcalera;
        for (std::size_t i = 0; i < m_primeres.size() && !capcalera; ++i) {
            const auto [conegudes, plenes] = compta(m_primeres[i]);
            if (conegudes >= 2 || (conegudes == 1 && plenes == 1))
                capcalera = i;
        }
        if (!capcalera && !m_primeres.empty() && compta(m_primeres.front()).first > 0)
            capcalera = 0;
        std::size_t primera = 0;
        if (capcalera) {
            std::vector<int> damunt;
            for (std::size_t i = 0; i < *capcalera; ++i)
                damunt.push_back(m_primeres[i].linia);
            if (!damunt.empty())
                m_avisa(llistaDeLinies(damunt) +
                        (damunt.size() == 1 ? u": abans de la capçalera, no s'importa"_qs
                                            : u": abans de la capçalera, no s'importen"_qs));
            llegeixCapcalera(m_primeres[*capcalera]);
            primera = *capcalera + 1;
        }
        for (std::size_t i = primera; i < m_primeres.size(); ++i)
            afegeix(m_primeres[i]);
        m_primeres.clear();
    }

    void llegeixCapcalera(const Fila& fila) {
        m_rols.assign(std::size_t(fila.nombre), std::nullopt);
        m_senseNom.assign(std::size_t(fila.nombre), false);
        std::array<qsizetype, kRols> on;
        on.fill(-1);
        QStringList noUsades;
        for (qsizetype i = 0; i < fila.nombre; ++i) {
            const QString& nom = fila.celles[std::size_t(i)];
            const std::optional<Rol> rol = rolDelNom(nom);
            if (!rol) {
                if (!nom.trimmed().isEmpty())
                    noUsades << nom.trimmed();
                else
                    m_senseNom[std::size_t(i)] = true;
                continue;
            }
            qsizetype& abans = on[std::size_t(*rol)];
            if (abans >= 0)
                throw ErrorIntercanvi(
                    QStringLiteral("línia %1: les columnes %2 i %3 (%4 i %5) diuen el mateix; "
                                   "deixeu-ne només una")
                        .arg(QString::number(fila.linia), fila.celles[std::size_t(abans)].trimmed(),
                             nom.trimmed(), lletresDeColumna(abans), lletresDeColumna(i)));
            abans = i;
            m_rols[std::size_t(i)] = rol;
        }
        if (!noUsades.isEmpty())
            m_avisa(u"columnes no usades: "_qs + noUsades.join(u", "_qs));
    }

    void avisa(int linia, record::Camp camp, const QString& que) {
        m_avisa(QStringLiteral("línia %1, %2: %3")
                    .arg(QString::number(linia), capcalera(columnaDe(camp)), que));
    }

    // A value stored by the record's rules, and what they changed in it said.
    void posa(record::TipusAlumne& alumne, record::Camp camp, const QString& text, int linia) {
        const record::Desament desament = alumne.posa(camp, text);
        if (desament.tallat)
            avisa(linia, camp,
                  QStringLiteral("tallada a %1 caràcters").arg(record::disposicio(camp).amplada));
        if (desament.substituit)
            avisa(linia, camp,
                  QStringLiteral("caràcters que Windows-1252 no té, desats com a «?»"));
    }

    // What a spreadsheet did to a postal code or a telephone it took for a number, put right or
    // said. A text cell keeps what was typed, whatever it looks like.
    QString corregit(Rol rol, const QString& text, TipusCella tipus, int linia) {
        static const QRegularExpression quatreXifres(u"^\\d{4}$"_qs);
        static const QRegularExpression exponencial(u"^[+-]?\\d+([.,]\\d+)?[eE][+]?\\d+$"_qs);
        if (rol == Rol::CodiPostal && tipus != TipusCella::Text &&
            quatreXifres.match(text).hasMatch()) {
            const QString complet = u'0' + text;
            avisa(linia, record::Camp::CodiPostal,
                  QStringLiteral("%1 completat com %2").arg(text, complet));
            return complet;
        }
        if (rol == Rol::Telefon && tipus != TipusCella::Text &&
            exponencial.match(text.trimmed()).hasMatch()) {
            avisa(linia, record::Camp::Telefon,
                  QStringLiteral("%1 és un nombre en forma exponencial, que ha perdut xifres: es "
                                 "deixa buit")
                      .arg(text.trimmed()));
            return QString();
        }
        return text;
    }

    // A total line is held until it turns out to be the last: a student after it makes it a row
    // like any other.
    void afegeix(const Fila& fila) {
        if (m_pendents.empty() && !esFilaDeTotal(fila)) {
            afegeixAra(fila);
            return;
        }
        m_pendents.push_back(fila);
        if (m_pendents.size() == 1 || esBuida(fila))
            return;
        for (const Fila& pendent : m_pendents)
            afegeixAra(pendent);
        m_pendents.clear();
    }

    // A column with no name in the header, or past its last, is left out and named once (a
    // column the header names and the program has no field for was named with the header).
    void avisaSiNoTeNom(qsizetype columna) {
        const auto i = std::size_t(columna);
        if (i < m_rols.size() && !m_senseNom.empty() && !m_senseNom[i])
            return;
        if (m_columnesAvisades.insert(columna).second)
            m_avisa(QStringLiteral("columna %1: no té nom a la capçalera, no s'importa")
                        .arg(lletresDeColumna(columna)));
    }

    // A line break or a tab inside a value has no place in a fixed-width field: a space.
    QString dUnaLinia(QString text, record::Camp camp, int linia) {
        static const QRegularExpression salt(u"\\r\\n|[\\r\\n\\x{2028}\\x{2029}]"_qs);
        if (text.contains(salt)) {
            text.replace(salt, u" "_qs);
            avisa(linia, camp, u"un salt de línia, canviat per un espai"_qs);
        }
        if (text.contains(u'\t')) {
            text.replace(u'\t', u' ');
            avisa(linia, camp, u"una tabulació, canviada per un espai"_qs);
        }
        return text;
    }

    void afegeixAra(const Fila& fila) {
        qsizetype nombre = fila.nombre;
        while (nombre > 0 && fila.celles[std::size_t(nombre - 1)].isEmpty())
            --nombre;  // empty cells after the last are no fields
        ++m_files;
        record::TipusAlumne alumne;
        std::array<QString, kRols> valors;
        bool ambDades = false;
        for (qsizetype i = 0; i < nombre; ++i) {
            const QString& text = fila.celles[std::size_t(i)];
            const std::optional<Rol> rol =
                i < qsizetype(m_rols.size()) ? m_rols[std::size_t(i)] : std::nullopt;
            if (text.isEmpty())
                continue;
            if (!rol) {
                if (!text.trimmed().isEmpty())
                    avisaSiNoTeNom(i);
                continue;
            }
            ambDades = true;
            // ="08001", kept as text: no mend for a number a spreadsheet took it for.
            static const QRegularExpression comText(u"^=\"((?:[^\"]|\"\")*)\"$"_qs);
            TipusCella tipus = fila.tipus[std::size_t(i)];
            QString valor = text;
            if (tipus == TipusCella::SenseTipus) {
                if (const auto trobat = comText.match(text); trobat.hasMatch()) {
                    valor = trobat.captured(1).replace(u"\"\""_qs, u"\""_qs);
                    tipus = TipusCella::Text;
                }
            }
            valors[std::size_t(*rol)] =
                corregit(*rol, dUnaLinia(valor, campDe(*rol), fila.linia), tipus, fila.linia);
        }
        // The name as one, "Cognoms, Nom" as school lists write it, so that the class orders by
        // surname.
        QString nom = valors[std::size_t(Rol::NomComplet)];
        if (nom.isEmpty()) {
            QStringList cognoms;
            for (const Rol part : {Rol::Cognoms, Rol::Cognom1, Rol::Cognom2}) {
                if (const QString text = valors[std::size_t(part)].trimmed(); !text.isEmpty())
                    cognoms << text;
            }
            // A name in one column is taken as it is, its spaces included.
            nom = valors[std::size_t(Rol::Nom)];
            if (!cognoms.isEmpty())
                nom = nom.trimmed().isEmpty()
                          ? cognoms.join(u' ')
                          : QStringLiteral("%1, %2").arg(cognoms.join(u' '), nom.trimmed());
        }
        if (!nom.isEmpty()) {
            posa(alumne, record::Camp::Nom, nom, fila.linia);
            repetit(alumne.text(record::Camp::Nom).trimmed(), fila.linia);
        }
        for (const Rol rol : {Rol::Adreca, Rol::Poblacio, Rol::CodiPostal, Rol::Telefon}) {
            if (!valors[std::size_t(rol)].isEmpty())
                posa(alumne, campDe(rol), valors[std::size_t(rol)], fila.linia);
        }
        if (ambDades && m_files > kMaximRegistres)
            throw ErrorIntercanvi(
                QStringLiteral("línia %1: més de 32767 alumnes, que és el màxim d'un fitxer")
                    .arg(fila.linia));
        if (m_files <= kMaximRegistres)
            m_importats.registres += alumne.bytes();
        if (ambDades)
            m_ultimAmbDades = m_files;
    }

    // Importing a list twice must not double a class without a word.
    void repetit(const QString& nom, int linia) {
        const QString clau = clauDelNom(nom);
        if (clau.isEmpty())
            return;
        const auto [on, nou] = m_noms.try_emplace(clau, Vist{false, linia});
        if (nou)
            return;
        m_avisa(on->second.aLaClasse
                    ? QStringLiteral("línia %1: «%2» ja és a la classe (registre %3)")
                          .arg(linia)
                          .arg(nom)
                          .arg(on->second.on)
                    : QStringLiteral("línia %1: «%2» ja surt a la línia %3")
                          .arg(linia)
                          .arg(nom)
                          .arg(on->second.on));
    }

    struct Vist {
        bool aLaClasse;
        int on;  // the record in the class, or the line of the input
    };
    std::unordered_map<QString, Vist> m_noms;
    const Avisos& m_avisa;
    Importats m_importats;
    std::vector<std::optional<Rol>> m_rols;
    std::vector<bool> m_senseNom;  // header cells left empty
    std::set<qsizetype> m_columnesAvisades;
    std::vector<Fila> m_primeres;  // until the header is found
    std::vector<Fila> m_pendents;  // a total line and the rows after it
    bool m_decidit = false;
    int m_files = 0;
    int m_ultimAmbDades = 0;
};

}  // namespace

namespace {

// Two notes are of one kind when only their numbers and the names in «» differ.
QString tipusDeLAvis(const QString& avis) {
    static const QRegularExpression variable(u"\\d+|«[^»]*»"_qs);
    return QString(avis).remove(variable);
}

}  // namespace

bool anomenaUnaColumna(const QString& cella) {
    return rolDelNom(cella).has_value();
}

QStringList nomsDeLaClasse(QByteArrayView registres) {
    const VistaRegistres vista(registres);
    QStringList noms;
    noms.reserve(vista.nombre());
    for (qsizetype i = 0; i < vista.nombre(); ++i)
        noms << vista.alumne(i).text(record::Camp::Nom);
    return noms;
}

void RecullAvisos::afegeix(const QString& avis) {
    QString tipus = tipusDeLAvis(avis);
    if (++m_perTipus[tipus] <= kPerTipus)
        m_guardats.emplace_back(std::move(tipus), avis);
}

QStringList RecullAvisos::resum() const {
    QStringList linies;
    QHash<QString, int> mostrats;
    for (const auto& [tipus, avis] : m_guardats) {
        linies << avis;
        const int totals = m_perTipus.value(tipus);
        if (++mostrats[tipus] == kPerTipus && totals > kPerTipus)
            linies << QStringLiteral("i %1 més")
                          .arg(QLocale(QLocale::English).toString(totals - kPerTipus));
    }
    return linies;
}

Importats importaFiles(LectorFiles& lector, const Avisos& avisa, const QStringList& classe) {
    Importador importador(avisa, classe);
    while (const Fila* fila = lector.seguent())
        importador.fila(*fila);
    return importador.acaba();
}

}  // namespace exchange
