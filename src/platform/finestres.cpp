#include "platform/finestres.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace platform {

namespace {
constexpr qreal kTwipsPerPolzada = 1440.0;
constexpr qreal kPuntsPerPolzadaPerDefecte = 96.0;

// Logical dots per inch of the screen the widget is (or will be) shown on.
qreal puntsPerPolzada(const QWidget* widget) {
    const QScreen* pantalla =
        widget && widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return pantalla ? pantalla->logicalDotsPerInch() : kPuntsPerPolzadaPerDefecte;
}

int twipsAPixels(int twips, qreal punts) {
    return int(std::lround(twips * punts / kTwipsPerPolzada));
}

QRect rectEnPixels(const RectTwips& t, qreal punts) {
    return {twipsAPixels(t.esquerra, punts), twipsAPixels(t.dalt, punts),
            twipsAPixels(t.amplada, punts), twipsAPixels(t.alcada, punts)};
}

}  // namespace

QWidget* finestraDelDavant() {
    if (QWidget* activa = QApplication::activeWindow())
        return activa;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    const QWidgetList finestres = QApplication::topLevelWidgets();
    const auto visible = std::find_if(finestres.rbegin(), finestres.rend(), [](QWidget* w) {
        return w->isVisible() && w->windowType() != Qt::ToolTip && w->windowType() != Qt::Popup;
    });
    return visible == finestres.rend() ? nullptr : *visible;
}

namespace {
class FiltreEnter : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* objecte, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int tecla = static_cast<QKeyEvent*>(event)->key();
        if (tecla != Qt::Key_Return && tecla != Qt::Key_Enter)
            return false;
        static_cast<QAbstractButton*>(objecte)->click();
        return true;
    }
};
}  // namespace

void premAmbEnter(QAbstractButton* boto) {
    boto->installEventFilter(new FiltreEnter(boto));
}

void tornaElFocus(QWidget* finestra) {
    if (finestra && finestra->isVisible())
        finestra->activateWindow();
}

QFont fontDelFormulari() {
    QFont font;
    // The forms were laid out for MS Sans Serif; the faces with Arial's widths come next, so
    // that captions and five-digit record numbers still fit where it is missing.
    const QStringList preferides = {QStringLiteral("MS Sans Serif"),
                                    QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")};
    // Only the installed ones are named: a missing first face makes the toolkit search the
    // system's aliases and fallbacks before the next, half a millisecond of the window's start.
    const QStringList installades = QFontDatabase::families();
    QStringList families;
    std::copy_if(preferides.begin(), preferides.end(), std::back_inserter(families),
                 [&installades](const QString& familia) { return installades.contains(familia); });
    font.setFamilies(families.isEmpty() ? preferides : families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(true);
    return font;
}

}  // namespace platform

namespace platform {

Formulari::Formulari(QWidget* area) : m_area(area), m_punts(puntsPerPolzada(area)) {}

QSize Formulari::mida(int ampladaTwips, int alcadaTwips) const {
    return {twipsAPixels(ampladaTwips, m_punts), twipsAPixels(alcadaTwips, m_punts)};
}

void Formulari::situa(QWidget* control, const QString& nom, const RectTwips& rect, int tabulacio) {
    control->setObjectName(nom);
    control->setGeometry(rectEnPixels(rect, m_punts));
    // Text boxes take text of any length; the record decides what is kept.
    if (auto* caixa = qobject_cast<QLineEdit*>(control))
        caixa->setMaxLength(std::numeric_limits<int>::max());
    if (tabulacio >= 0)
        m_ordre.emplace_back(tabulacio, control);
}

void Formulari::aplicaOrdreTabulacio() {
    std::vector<QWidget*> focusables;
    std::stable_sort(m_ordre.begin(), m_ordre.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [_, control] : m_ordre) {
        if (control->focusPolicy() & Qt::TabFocus)
            focusables.push_back(control);
    }
    for (std::size_t i = 1; i < focusables.size(); ++i)
        QWidget::setTabOrder(focusables[i - 1], focusables[i]);
}

}  // namespace platform
