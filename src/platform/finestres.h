#pragma once

#include <QFont>
#include <QSize>
#include <QString>

#include <utility>
#include <vector>

class QAbstractButton;
class QWidget;

namespace platform {

// A control's place on its form, in twips (1440 to the inch).
struct RectTwips {
    int esquerra;
    int dalt;
    int amplada;
    int alcada;
};

// The window a modal box belongs over: the active one, or while activation is still on its
// way, the modal or visible window the user is looking at.
QWidget* finestraDelDavant();

// Gives the keyboard back to the window a modal box was shown over. Window managers do this
// themselves; without one the keys would go nowhere.
void tornaElFocus(QWidget* finestra);

// Enter and the keypad's Enter press the button while it has the focus, as Space does; the
// forms have no default button for Enter to go to.
void premAmbEnter(QAbstractButton* boto);

// The forms' font: MS Sans Serif 8.25 pt bold where installed, else a face with Arial's widths
// (Liberation Sans, Arimo), else the system's sans serif.
QFont fontDelFormulari();

}  // namespace platform

namespace platform {

// Places a form's controls at their twips positions and keeps their tab order, so that a
// window's whole geometry reads as one table.
class Formulari {
  public:
    explicit Formulari(QWidget* area);

    template <class Control>
    Control* afegeix(const QString& nom, const QString& text, const RectTwips& rect,
                     int tabulacio = -1) {
        auto* control = new Control(m_area);
        control->setText(text);
        situa(control, nom, rect, tabulacio);
        return control;
    }

    // A control with no text of its own, such as a list or a frame.
    template <class Control>
    Control* afegeix(const QString& nom, const RectTwips& rect, int tabulacio = -1) {
        auto* control = new Control(m_area);
        situa(control, nom, rect, tabulacio);
        return control;
    }

    // Places a control made elsewhere.
    void situa(QWidget* control, const QString& nom, const RectTwips& rect, int tabulacio = -1);

    QSize mida(int ampladaTwips, int alcadaTwips) const;

    // Chains the focus through the controls in the order of their tab indices.
    void aplicaOrdreTabulacio();

  private:
    QWidget* m_area;
    qreal m_punts;
    std::vector<std::pair<int, QWidget*>> m_ordre;
};

}  // namespace platform
