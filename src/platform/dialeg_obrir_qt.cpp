#include "platform/dialeg_obrir.h"
#include "platform/finestres.h"
#include "platform/proveidor_icones.h"

#include <QApplication>
#include <QFileDialog>
#include <QListView>
#include <QTreeView>

namespace platform {

void dataINombresEnCatala() {
    // LC_ALL would override the two below: its value becomes the default for the rest.
    const QByteArray tot = qgetenv("LC_ALL");
    if (!tot.isEmpty()) {
        qputenv("LANG", tot);
        qunsetenv("LC_ALL");
    }
    qputenv("LC_TIME", "ca_ES.UTF-8");
    qputenv("LC_NUMERIC", "ca_ES.UTF-8");
}

QStringList filtresDelDialeg(const QString& filtre) {
    const QStringList parts = filtre.split(u'|');
    QStringList filtres;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patrons = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& patro : patrons) {
            if (patro.trimmed() == QStringLiteral("*.*"))
                patro = QStringLiteral("*");
        }
        filtres << parts[i] + QStringLiteral(" (") + patrons.join(u' ') + u')';
    }
    return filtres;
}

void preparaDialegObrir(QFileDialog& dialeg, const QString& filtre) {
    dialeg.setAcceptMode(QFileDialog::AcceptOpen);
    dialeg.setFileMode(QFileDialog::ExistingFile);
    // The toolkit's own dialog behaves the same on every desktop, with or without one running.
    dialeg.setOption(QFileDialog::DontUseNativeDialog);
    dialeg.setOption(QFileDialog::HideNameFilterDetails);
    dialeg.setOption(QFileDialog::DontUseCustomDirectoryIcons);
    // Choosing a file is all it is for: no renaming or deleting from its menu, and no asking the
    // system for each file's permissions to offer them.
    dialeg.setOption(QFileDialog::ReadOnly);
    // Made once and kept: its icons must outlive every dialog, and the toolkit too.
    static auto* const icones = new ProveidorIcones;
    dialeg.setIconProvider(icones);
    // Every row the same height: a list of 100,000 names need not measure each one.
    for (auto* llista : dialeg.findChildren<QListView*>())
        llista->setUniformItemSizes(true);
    for (auto* arbre : dialeg.findChildren<QTreeView*>())
        arbre->setUniformRowHeights(true);
    const QStringList filtres = filtresDelDialeg(filtre);
    dialeg.setNameFilters(filtres);
    if (!filtres.isEmpty())
        dialeg.selectNameFilter(filtres.first());
}

QString DialegObrirQt::obre(const QString& filtre) {
    QWidget* pare = finestraDelDavant();
    QFileDialog dialeg(pare);
    preparaDialegObrir(dialeg, filtre);
    const bool triat = dialeg.exec() == QDialog::Accepted;
    tornaElFocus(pare);
    if (!triat)
        return {};
    return dialeg.selectedFiles().value(0);
}

}  // namespace platform
