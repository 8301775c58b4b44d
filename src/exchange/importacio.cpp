#include "exchange/importacio.h"

#include "exchange/columnes.h"
#include "exchange/fitxer_alumnes.h"

#include <vector>

namespace exchange {

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
        if (normalitzat == nomNormalitzat(capcalera(kColumnes[std::size_t(i)])))
            return i;
    }
    return -1;
}

class Importador {
  public:
    Importador(const Avisos& avisa) : m_avisa(avisa) {}

    void fila(const Fila& fila) {
        if (m_primera) {
            m_primera = false;
            if (esCapcalera(fila))
                return;
        }
        if (fila.nombre > qsizetype(m_columnes.size()))
            throw ErrorIntercanvi(QStringLiteral("línia %1: %2 camps, i només hi ha %3 columnes")
                                      .arg(fila.linia)
                                      .arg(fila.nombre)
                                      .arg(m_columnes.size()));
        afegeix(fila);
    }

    Importats acaba() {
        // Spreadsheets leave empty rows after the last student.
        m_importats.registres.truncate(m_ultimAmbDades * kLongitudRegistre);
        m_importats.nombre = m_ultimAmbDades;
        return std::move(m_importats);
    }

  private:
    bool esCapcalera(const Fila& fila) {
        std::vector<int> columnes;
        QStringList desconegudes;
        bool algunaConeguda = false;
        for (qsizetype i = 0; i < fila.nombre; ++i) {
            const QString& nom = fila.celles[std::size_t(i)];
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
            m_avisa(QStringLiteral("línia %1: columnes desconegudes, no s'importen: %2")
                        .arg(fila.linia)
                        .arg(desconegudes.join(QStringLiteral(", "))));
        return true;
    }

    void afegeix(const Fila& fila) {
        ++m_files;
        record::TipusAlumne alumne;
        bool ambDades = false;
        for (qsizetype i = 0; i < fila.nombre; ++i) {
            const int columna = m_columnes[std::size_t(i)];
            const QString& text = fila.celles[std::size_t(i)];
            if (columna < 0 || text.isEmpty())
                continue;
            ambDades = true;
            const Columna& desti = kColumnes[std::size_t(columna)];
            const record::Desament desament = alumne.posa(desti.camp, text);
            const auto avisa = [&](const QString& que) {
                m_avisa(QStringLiteral("línia %1, %2: %3")
                            .arg(QString::number(fila.linia), capcalera(desti), que));
            };
            if (desament.tallat)
                avisa(QStringLiteral("tallada a %1 caràcters")
                          .arg(record::disposicio(desti.camp).amplada));
            if (desament.substituit)
                avisa(QStringLiteral("caràcters que Windows-1252 no té, desats com a «?»"));
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

    const Avisos& m_avisa;
    Importats m_importats;
    std::vector<int> m_columnes{0, 1, 2, 3, 4};  // without a header, the export's order
    bool m_primera = true;
    int m_files = 0;
    int m_ultimAmbDades = 0;
};

}  // namespace

Importats importaFiles(LectorFiles& lector, const Avisos& avisa) {
    Importador importador(avisa);
    while (const Fila* fila = lector.seguent())
        importador.fila(*fila);
    return importador.acaba();
}

}  // namespace exchange
