#pragma once

#include <exception>

#include "platform/serveis.h"
#include "record/noms_fitxer.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace create_dialog {

class LlistaDirectoris;
class LlistaFitxers;
class LlistaUnitats;

// "Crear fitxer": the user picks a drive, a directory and a name; OK hands back the path in
// NomFitxerNou, deleting a listed file of that name when the user agrees.
class frmFitxerCrear : public QDialog {
    Q_OBJECT

  public:
    frmFitxerCrear(platform::Serveis serveis, record::NomsFitxer& noms, QString& discAnterior,
                   QWidget* pare = nullptr);

    void CanviDisc();
    void CanviDirectori();
    void Dacord();
    void Cancelar();

    void reject() override;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* objecte, QEvent* event) override;

  private:
    void creaControls();
    void mostraDirectoriActual();
    // False when the drive fails, with the reason in `motiu` when given.
    bool provaUnitat(QString* motiu = nullptr);
    void avisaDelDisc(const std::exception& error);
    void avisaDelDisc(const QString& motiu);
    void triaDirectori(const QString& directori);

    platform::Serveis m_serveis;
    record::NomsFitxer& m_noms;
    QString& DiscAnterior;

    QLineEdit* txtNomFitxer = nullptr;
    LlistaFitxers* filLlistaFitxers = nullptr;
    LlistaDirectoris* dirDirectoriDestí = nullptr;
    LlistaUnitats* drvDiscDestí = nullptr;
    QPushButton* cmdDacord = nullptr;
    QPushButton* cmdCancelar = nullptr;
};

}  // namespace create_dialog
