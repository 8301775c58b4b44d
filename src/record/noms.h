#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace record {

// The order of `noms` by name in Catalan, whatever the session's language: letter case and
// accents count only between otherwise equal names, "l·l" is "ll", a name written "Cognoms, Nom"
// orders by what stands before the comma and then by what follows, equal names keep their order
// and blank names go last. Element i of the result is the index in `noms` of the i-th name.
std::vector<int> ordrePerNom(const QStringList& noms);

// A text as a search compares it: lower case, without accents and without the middle dot, so
// that "collell" finds "Col·lell" and "alvarez" finds "Àlvarez".
QString plegat(QStringView text);

}  // namespace record
