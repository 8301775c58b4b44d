#include "exchange/csv.h"

#include "exchange/camps.h"

#include <QStringDecoder>

#include <csv.h>

#include <algorithm>
#include <array>
#include <limits>
#include <memory>

namespace exchange {

namespace {

const QByteArray kMarcaDOrdre("\xEF\xBB\xBF");

}  // namespace

EscriptorCsv::EscriptorCsv(QIODevice& sortida, char separador, bool ambMarcaDOrdre)
    : m_sortida(sortida), m_separador(separador), m_ambMarcaDOrdre(ambMarcaDOrdre) {}

void EscriptorCsv::escriuCamp(QByteArrayView utf8) {
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

void EscriptorCsv::capcalera() {
    m_linia.truncate(0);  // keeps its buffer, unlike clear()
    if (m_ambMarcaDOrdre)
        m_linia += kMarcaDOrdre;
    for (const Columna& columna : kColumnes) {
        if (columna.camp != kColumnes.front().camp)
            m_linia += m_separador;
        escriuCamp(QString::fromUtf16(columna.nom).toUtf8());
    }
    m_linia += "\r\n";
    m_sortida.write(m_linia);
}

void EscriptorCsv::fila(const record::TipusAlumne& alumne) {
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

namespace {

// A column's name the way people write it in a header: letter case, accents, the spaces around
// it and a trailing colon do not count.
QString nomNormalitzat(QString nom) {
    nom = nom.trimmed();
    if (nom.endsWith(u':'))
        nom.chop(1);
    nom = nom.trimmed().normalized(QString::NormalizationForm_D);
    QString net;
    for (const QChar c : std::as_const(nom)) {
        if (c.category() != QChar::Mark_NonSpacing)
            net += c;
    }
    return net.toCaseFolded();
}

int columnaDelNom(const QString& nom) {
    const QString normalitzat = nomNormalitzat(nom);
    for (int i = 0; i < int(kColumnes.size()); ++i) {
        if (normalitzat == nomNormalitzat(QString::fromUtf16(kColumnes[i].nom)))
            return i;
    }
    return -1;
}

// The separator most frequent on the first line, outside quotes; ';' when it has none.
char separadorDeLaPrimeraLinia(QByteArrayView text) {
    std::array<int, 3> vegades{};
    const std::array<char, 3> candidats{';', ',', '\t'};
    bool entreCometes = false;
    for (const char c : text) {
        if (c == '"')
            entreCometes = !entreCometes;
        else if (!entreCometes && (c == '\n' || c == '\r'))
            break;
        else if (!entreCometes) {
            for (std::size_t i = 0; i < candidats.size(); ++i)
                vegades[i] += c == candidats[i];
        }
    }
    const auto mes = std::max_element(vegades.begin(), vegades.end());
    return *mes == 0 ? ';' : candidats[std::size_t(mes - vegades.begin())];
}

// The fields of a row.
struct Camps {
    const QString* dades;
    qsizetype mida;
    qsizetype size() const { return mida; }
    const QString& operator[](qsizetype i) const { return dades[i]; }
    const QString* begin() const { return dades; }
    const QString* end() const { return dades + mida; }
};

// Collects libcsv's fields into rows and rows into records.
class Lector {
  public:
    explicit Lector(CsvLlegit& resultat) : m_resultat(resultat) {}

    void camp(const char* dades, size_t mida) {
        if (m_error)
            return;
        const QByteArrayView bytes(dades, dades ? qsizetype(mida) : 0);
        m_liniesDinsDeCamps += int(std::count(bytes.begin(), bytes.end(), '\n'));
        // Each column's text is decoded into the same buffer row after row.
        if (m_nombreCamps == qsizetype(m_fila.size()))
            m_fila.emplace_back();
        QString& text = m_fila[std::size_t(m_nombreCamps++)];
        text.resize(bytes.size());
        text.truncate(m_utf8.appendToBuffer(text.data(), bytes) - text.data());
    }

    // No exception may cross the parser, which is C: the first failure is kept and reported once
    // the parser returns.
    void finalDeFila() {
        if (m_error)
            return;
        try {
            tancaFila();
        } catch (const ErrorIntercanvi& error) {
            m_error = error;
        }
    }

    void comprova() const {
        if (m_error)
            throw *m_error;
    }

    void tancaFila() {
        const int linia = m_liniaActual - m_liniesDinsDeCamps;
        m_liniesDinsDeCamps = 0;
        const Camps fila{m_fila.data(), std::exchange(m_nombreCamps, 0)};
        m_liniaDespresDeFila = m_liniaActual + 1;
        if (m_primera) {
            m_primera = false;
            if (esCapcalera(fila, linia))
                return;
        }
        if (fila.size() > int(m_columnes.size()))
            throw ErrorIntercanvi(QStringLiteral("línia %1: %2 camps, i només hi ha %3 columnes")
                                      .arg(linia)
                                      .arg(fila.size())
                                      .arg(m_columnes.size()));
        afegeix(fila, linia);
    }

    void acaba() {
        // Spreadsheets leave empty rows after the last student.
        m_resultat.registres.truncate(qsizetype(m_ultimAmbDades) * record::TipusAlumne::kLongitud);
        m_resultat.nombre = m_ultimAmbDades;
    }

    std::optional<ErrorIntercanvi> m_error;

    int m_liniaActual = 1;  // the line being fed to the parser
    int m_liniaDespresDeFila = 1;

  private:
    bool esCapcalera(Camps fila, int linia) {
        std::vector<int> columnes;
        QStringList desconegudes;
        bool algunaConeguda = false;
        for (const QString& nom : fila) {
            const int columna = columnaDelNom(nom);
            columnes.push_back(columna);
            algunaConeguda = algunaConeguda || columna >= 0;
            if (columna < 0)
                desconegudes << nom.trimmed();
        }
        if (!algunaConeguda)
            return false;
        m_columnes = std::move(columnes);
        if (!desconegudes.isEmpty())
            m_resultat.avisos << QStringLiteral(
                                     "línia %1: columnes desconegudes, no s'importen: %2")
                                     .arg(linia)
                                     .arg(desconegudes.join(QStringLiteral(", ")));
        return true;
    }

    void afegeix(Camps fila, int linia) {
        ++m_files;
        record::TipusAlumne alumne;
        bool ambDades = false;
        for (int i = 0; i < fila.size(); ++i) {
            const int columna = m_columnes[std::size_t(i)];
            if (columna < 0 || fila[i].isEmpty())
                continue;
            ambDades = true;
            const Columna& desti = kColumnes[std::size_t(columna)];
            const record::Camp camp = desti.camp;
            const record::Desament desament = alumne.posa(camp, fila[i]);
            const auto avisa = [&](const QString& que) {
                m_resultat.avisos << QStringLiteral("línia %1, %2: %3")
                                         .arg(QString::number(linia), QString::fromUtf16(desti.nom),
                                              que);
            };
            if (desament.tallat)
                avisa(
                    QStringLiteral("tallada a %1 caràcters").arg(record::disposicio(camp).amplada));
            if (desament.substituit)
                avisa(QStringLiteral("caràcters que Windows-1252 no té, desats com a «?»"));
        }
        if (ambDades && m_files > std::numeric_limits<qint16>::max())
            throw ErrorIntercanvi(
                QStringLiteral("línia %1: més de 32767 alumnes, que és el màxim d'un fitxer")
                    .arg(linia));
        if (m_files <= std::numeric_limits<qint16>::max())
            m_resultat.registres += alumne.bytes();
        if (ambDades)
            m_ultimAmbDades = m_files;
    }

    CsvLlegit& m_resultat;
    std::vector<int> m_columnes{0, 1, 2, 3, 4};  // without a header, the export's order
    std::vector<QString> m_fila;                 // the row's fields, m_nombreCamps of them
    qsizetype m_nombreCamps = 0;
    QStringDecoder m_utf8{QStringDecoder::Utf8, QStringConverter::Flag::Stateless};
    int m_liniesDinsDeCamps = 0;
    bool m_primera = true;
    int m_files = 0;
    int m_ultimAmbDades = 0;
};

extern "C" void campLlegit(void* dades, size_t mida, void* lector) {
    static_cast<Lector*>(lector)->camp(static_cast<const char*>(dades), mida);
}

extern "C" void filaLlegida(int, void* lector) {
    static_cast<Lector*>(lector)->finalDeFila();
}

// No character is a space to be dropped around a field: the record keeps them.
extern "C" int capEspai(unsigned char) {
    return 0;
}

}  // namespace

// Whether the bytes are valid UTF-8, asked of the converter a block at a time (each block ending
// before a character starts), so that no copy of the whole input is made just to ask.
bool esUtf8(QByteArrayView bytes) {
    constexpr qsizetype kBloc = 64 * 1024;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    for (qsizetype inici = 0; inici < bytes.size();) {
        qsizetype fi = std::min(inici + kBloc, bytes.size());
        while (fi < bytes.size() && fi > inici + 1 &&
               (static_cast<unsigned char>(bytes[fi]) & 0xC0) == 0x80)
            --fi;
        (void)QString(utf8.decode(bytes.sliced(inici, fi - inici)));
        if (utf8.hasError())
            return false;
        inici = fi;
    }
    return true;
}

CsvLlegit llegeixCsv(QByteArray dades, std::optional<char> separador) {
    CsvLlegit resultat;
    QByteArrayView entrada(dades);
    if (entrada.startsWith(kMarcaDOrdre))
        entrada = entrada.sliced(kMarcaDOrdre.size());
    QByteArray desdeWindows1252;
    if (!esUtf8(entrada)) {
        QStringDecoder windows1252("windows-1252");
        desdeWindows1252 = QString(windows1252.decode(entrada)).toUtf8();
        entrada = desdeWindows1252;
        resultat.avisos << QStringLiteral("l'entrada no és UTF-8: es llegeix com a Windows-1252");
    }

    csv_parser analitzador{};
    if (csv_init(&analitzador, CSV_STRICT | CSV_STRICT_FINI) != 0)
        throw ErrorIntercanvi(QStringLiteral("no hi ha memòria per llegir el CSV"));
    const std::unique_ptr<csv_parser, void (*)(csv_parser*)> allibera(&analitzador, csv_free);
    csv_set_delim(&analitzador, static_cast<unsigned char>(
                                    separador.value_or(separadorDeLaPrimeraLinia(entrada))));
    csv_set_space_func(&analitzador, capEspai);

    // Fed a line at a time, so that each row knows the line it ends on.
    Lector lector(resultat);
    resultat.registres.reserve(std::min<qsizetype>(entrada.count('\n') + 1, 32767) *
                               record::TipusAlumne::kLongitud);
    qsizetype inici = 0;
    while (inici < entrada.size()) {
        qsizetype fi = entrada.indexOf('\n', inici);
        fi = fi < 0 ? entrada.size() : fi + 1;
        const qsizetype mida = fi - inici;
        if (csv_parse(&analitzador, entrada.constData() + inici, size_t(mida), campLlegit,
                      filaLlegida, &lector) != size_t(mida))
            throw ErrorIntercanvi(
                QStringLiteral("línia %1: unes cometes fora de lloc").arg(lector.m_liniaActual));
        lector.comprova();
        ++lector.m_liniaActual;
        inici = fi;
    }
    --lector.m_liniaActual;  // a last row without its line end ends on the last line
    if (csv_fini(&analitzador, campLlegit, filaLlegida, &lector) != 0)
        throw ErrorIntercanvi(QStringLiteral("línia %1: unes cometes que no es tanquen mai")
                                  .arg(lector.m_liniaDespresDeFila));
    lector.comprova();
    lector.acaba();
    return resultat;
}

}  // namespace exchange
