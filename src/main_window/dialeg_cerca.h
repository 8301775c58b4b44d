#pragma once

#include <QByteArray>
#include <QDialog>

class QLineEdit;
class QSpinBox;
class QTableView;

class ModelClasse;
class FiltreClasse;

// "Cerca un alumne": the class as a list (number, name, town, telephone) under a search box.
// Typing filters the list at once: a student stays when every word typed begins a word of one of
// its fields, whatever the letter case, the accents or the middle dot. Enter or a double click
// goes to the student selected; Escape goes nowhere.
class DialegCerca : public QDialog {
  public:
    explicit DialegCerca(QWidget* pare);
    ~DialegCerca() override;

    // The file's records, blank ones left out, with the student on screen selected; the search
    // box starts empty.
    void carrega(const QByteArray& registres, qint16 actual);
    // The record chosen, once accepted.
    qint16 triat() const { return m_triat; }

  protected:
    bool eventFilter(QObject* objecte, QEvent* event) override;

  private:
    void filtra(const QString& text);
    void selecciona(int fila);
    void tria();

    QLineEdit* txtCerca;
    QTableView* lstAlumnes;
    ModelClasse* m_model;
    FiltreClasse* m_filtre;
    qint16 m_triat = 0;
};

// "Ves al número": a record number from 1 to the count.
class DialegVesA : public QDialog {
  public:
    explicit DialegVesA(QWidget* pare);
    void prepara(qint16 actual, qint16 numRegistres);
    qint16 numero() const;

  private:
    QSpinBox* txtNumero;
    class QLabel* lblNumero;
};
