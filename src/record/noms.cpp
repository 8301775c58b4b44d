#include "record/noms.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <numeric>

namespace record {

namespace {

// The middle dot of "l·l" is no letter of its own; the collator would order it as a symbol.
QString sensePuntVolat(QString nom) {
    nom.replace(u'·', QString()).replace(u'\u0140', u'l').replace(u'\u013F', u'L');
    return nom;
}

}  // namespace

std::vector<int> ordrePerNom(const QStringList& noms) {
    QCollator collator{QLocale(QLocale::Catalan, QLocale::Spain)};
    collator.setCaseSensitivity(Qt::CaseSensitive);
    struct Clau {
        QCollatorSortKey cognoms;
        QCollatorSortKey nom;
        bool buit;
    };
    std::vector<Clau> claus;
    claus.reserve(std::size_t(noms.size()));
    for (const QString& nom : noms) {
        const QString net = sensePuntVolat(nom.trimmed());
        const qsizetype coma = net.indexOf(u',');
        const QString cognoms = coma < 0 ? net : net.first(coma).trimmed();
        const QString donat = coma < 0 ? QString() : net.sliced(coma + 1).trimmed();
        claus.push_back({collator.sortKey(cognoms), collator.sortKey(donat), net.isEmpty()});
    }
    std::vector<int> ordre(std::size_t(noms.size()));
    std::iota(ordre.begin(), ordre.end(), 0);
    std::stable_sort(ordre.begin(), ordre.end(), [&](int a, int b) {
        const Clau& x = claus[std::size_t(a)];
        const Clau& y = claus[std::size_t(b)];
        if (x.buit != y.buit)
            return y.buit;
        if (const int c = x.cognoms.compare(y.cognoms))
            return c < 0;
        return x.nom.compare(y.nom) < 0;
    });
    return ordre;
}

QString plegat(QStringView text) {
    // Most names have no accent: nothing to take apart.
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return text.toString().toLower();
    const QString descompost = text.toString().normalized(QString::NormalizationForm_D);
    QString net;
    net.reserve(descompost.size());
    for (const QChar c : descompost) {
        if (c.category() == QChar::Mark_NonSpacing || c == u'·' || c == u'\u2027')
            continue;
        net += c == u'\u0140' || c == u'\u013F' ? QChar(u'l') : c;
    }
    return net.toCaseFolded();
}

}  // namespace record
