#pragma once

#include "platform/sistema_fitxers.h"

#include <QComboBox>
#include <QListView>
#include <QStringListModel>
#include <QTreeWidget>

namespace create_dialog {

// The drives to pick from, each shown by its mount point.
class LlistaUnitats : public QComboBox {
    Q_OBJECT
  public:
    explicit LlistaUnitats(QWidget* pare = nullptr) : QComboBox(pare) {}
    void omple(const QStringList& unitats);
    QString unitat() const { return currentText(); }
};

// The path from the drive's root down to the shown directory, then that directory's
// subdirectories. Activating an entry (double click, Enter) asks to show it.
class LlistaDirectoris : public QTreeWidget {
    Q_OBJECT
  public:
    LlistaDirectoris(platform::SistemaFitxers& sistemaFitxers, QWidget* pare = nullptr);

    QString path() const { return m_path; }
    // Shows `directori` on `unitat`; throws ErrorFitxer and keeps what it showed when the
    // directory cannot be listed.
    void mostra(const QString& unitat, const QString& directori);
    QString unitat() const { return m_unitat; }

  Q_SIGNALS:
    void directoriTriat(const QString& directori);
    void focusRebut();

  protected:
    void focusInEvent(QFocusEvent* event) override;

  private:
    platform::SistemaFitxers& m_sistemaFitxers;
    QString m_unitat;
    QString m_path;
};

// The names of every file in a directory, sorted, without subdirectories. A plain list of
// strings: a directory of 100,000 files is shown without an item object for each name.
class LlistaFitxers : public QListView {
    Q_OBJECT
  public:
    LlistaFitxers(platform::SistemaFitxers& sistemaFitxers, QWidget* pare = nullptr);
    void mostra(const QString& directori);
    QStringList noms() const { return m_noms.stringList(); }

  private:
    platform::SistemaFitxers& m_sistemaFitxers;
    QStringListModel m_noms;
};

}  // namespace create_dialog
