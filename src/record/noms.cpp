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

// A name without what no one typed: spaces at its ends, and the zero bytes (or other control
// characters) a hole another program left in the file holds.
QString senseControls(const QString& nom) {
    QString net;
    net.reserve(nom.size());
    for (const QChar c : nom) {
        if (c.unicode() >= 0x20)
            net += c;
    }
    return net.trimmed();
}

// The letters and digits of a name, folded: apostrophes, hyphens and spaces count for nothing at
// the first level, as in a Catalan dictionary (D'Amat goes after Dalmau).
QString nomesLletres(const QString& text) {
    QString lletres;
    for (const QChar c : plegat(text)) {
        if (c.isLetterOrNumber())
            lletres += c;
    }
    return lletres;
}

}  // namespace

std::vector<int> ordrePerNom(const QStringList& noms) {
    const QLocale catala(QLocale::Catalan, QLocale::Spain);
    // The letters alone, folded, decide first; the collator then orders what they leave equal
    // by accents and then by letter case, spaces and punctuation ignored.
    const QCollator lletres(catala);
    QCollator sencer(catala);
    sencer.setCaseSensitivity(Qt::CaseSensitive);
    sencer.setIgnorePunctuation(true);
    struct Clau {
        QCollatorSortKey cognoms;
        QCollatorSortKey nom;
        QCollatorSortKey sencer;
        bool buit;
    };
    std::vector<Clau> claus;
    claus.reserve(std::size_t(noms.size()));
    for (const QString& nom : noms) {
        const QString net = sensePuntVolat(senseControls(nom));
        const qsizetype coma = net.indexOf(u',');
        const QString cognoms = coma < 0 ? net : net.first(coma);
        const QString donat = coma < 0 ? QString() : net.sliced(coma + 1);
        claus.push_back(
            {lletres.sortKey(nomesLletres(cognoms)), lletres.sortKey(nomesLletres(donat)),
             sencer.sortKey(cognoms.trimmed() + u'\t' + donat.trimmed()), net.isEmpty()});
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
        if (const int c = x.nom.compare(y.nom))
            return c < 0;
        return x.sencer.compare(y.sencer) < 0;
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
