#pragma once

#include <QString>

class QFileDialog;

namespace platform {

// The system's Open-file dialog. The filter is a list of "description|pattern" pairs, the
// first one selected. Returns the chosen path, or "" when the user cancels.
class DialegObrir {
  public:
    virtual ~DialegObrir() = default;
    virtual QString obre(const QString& filtre) = 0;
};

class DialegObrirQt final : public DialegObrir {
  public:
    QString obre(const QString& filtre) override;
};

// The Open-file dialog writes dates and sizes in the system's locale, whatever the program's
// language. Call before the application object exists: dates and numbers then follow Catalan
// while the rest of the user's locale (the characters of file names) stays as it was.
void dataINombresEnCatala();

// Sets up the toolkit's dialog as the program shows it: Open mode, one existing file, the filter
// "description|pattern" pairs with the first selected, icons that never read a file.
void preparaDialegObrir(QFileDialog& dialeg, const QString& filtre);

// "Tots els fitxers(*.*)|*.*" as the toolkit's name filters. "*.*" means every file, so it
// becomes "*": names without a dot must be listed too.
QStringList filtresDelDialeg(const QString& filtre);

}  // namespace platform
