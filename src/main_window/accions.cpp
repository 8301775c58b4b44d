// The window's actions, one row each: the menus' items and the buttons' keys are built from this
// table by one loop, which applies the command guard and greys out what needs an open file.
#include "main_window/frm_alumnes.h"
#include "platform/tecles_mantingudes.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>

namespace {

enum class Lloc { Fitxer, Edita, Classe, Boto };

struct Accio {
    const char16_t* nom;  // the action's or the button's objectName
    const char16_t* text;
    QKeyCombination tecla;
    void (frmAlumnes::*ordre)();
    bool ambFitxer;  // greyed out while no file is open (buttons stay, and do nothing)
    bool unCop;      // a held key runs it once, not at every repeat
    Lloc lloc;
    bool separadorAbans = false;
};

constexpr QKeyCombination kCap{};

// clang-format off
const Accio kAccions[] = {
    {u"mnuCrear", u"&Crear", Qt::CTRL | Qt::SHIFT | Qt::Key_N, &frmAlumnes::Crear, false, true, Lloc::Fitxer},
    {u"mnuObrir", u"&Obrir", Qt::CTRL | Qt::Key_O, &frmAlumnes::Obrir, false, true, Lloc::Fitxer},
    {u"mnuTancar", u"&Tancar", Qt::CTRL | Qt::Key_W, &frmAlumnes::Tancar, false, true, Lloc::Fitxer},
    {u"mnuSortir", u"&Sortir", Qt::CTRL | Qt::Key_Q, &frmAlumnes::Sortir, false, true, Lloc::Fitxer},
    {u"mnuDesfes", u"&Desfés", Qt::CTRL | Qt::Key_Z, &frmAlumnes::Desfes, true, false, Lloc::Edita},
    {u"mnuRefes", u"&Refés", Qt::CTRL | Qt::SHIFT | Qt::Key_Z, &frmAlumnes::Refes, true, false, Lloc::Edita},
    {u"mnuCerca", u"&Cerca un alumne…", Qt::CTRL | Qt::Key_F, &frmAlumnes::Cerca, true, true, Lloc::Edita, true},
    {u"mnuVesA", u"&Ves al número…", Qt::CTRL | Qt::Key_G, &frmAlumnes::VesA, true, true, Lloc::Edita},
    {u"mnuElimina", u"&Elimina l'alumne", Qt::CTRL | Qt::SHIFT | Qt::Key_Delete, &frmAlumnes::Elimina, true, true, Lloc::Edita, true},
    {u"mnuExporta", u"&Exporta…", Qt::CTRL | Qt::Key_E, &frmAlumnes::Exporta, true, true, Lloc::Classe},
    {u"mnuImporta", u"&Importa…", Qt::CTRL | Qt::Key_I, &frmAlumnes::Importa, true, true, Lloc::Classe},
    {u"mnuEnganxa", u"E&nganxa alumnes", Qt::CTRL | Qt::SHIFT | Qt::Key_V, &frmAlumnes::EnganxaAlumnes, true, true, Lloc::Classe},
    {u"mnuImprimeix", u"Im&primeix…", Qt::CTRL | Qt::Key_P, &frmAlumnes::Imprimeix, true, true, Lloc::Classe, true},
    {u"mnuOrdena", u"&Ordena per nom", kCap, &frmAlumnes::Ordena, true, true, Lloc::Classe, true},
    // Moves repeat with a held key: walking a file that way adds nothing, and costs nothing.
    {u"cmdNou", nullptr, Qt::CTRL | Qt::Key_N, &frmAlumnes::Nou, false, true, Lloc::Boto},
    {u"cmdGravar", nullptr, Qt::CTRL | Qt::Key_S, &frmAlumnes::GravarPantalla, false, true, Lloc::Boto},
    {u"cmdSegüent", nullptr, QKeyCombination(Qt::Key_PageDown), &frmAlumnes::Següent, false, false, Lloc::Boto},
    {u"cmdAnterior", nullptr, QKeyCombination(Qt::Key_PageUp), &frmAlumnes::Anterior, false, false, Lloc::Boto},
    {u"cmdPrimer", nullptr, Qt::CTRL | Qt::Key_Home, &frmAlumnes::Primer, false, false, Lloc::Boto},
    {u"cmdÚltim", nullptr, Qt::CTRL | Qt::Key_End, &frmAlumnes::Últim, false, false, Lloc::Boto},
};
// clang-format on

QString ambAmpersandsVisibles(QString text) {
    return text.replace(u'&', QStringLiteral("&&"));
}

}  // namespace

void frmAlumnes::creaAccions() {
    QMenu* menus[] = {menuBar()->addMenu(QStringLiteral("&Fitxer")),
                      menuBar()->addMenu(QStringLiteral("&Edita")),
                      menuBar()->addMenu(QStringLiteral("&Classe"))};
    menus[0]->setObjectName(QStringLiteral("mnuFitxer"));
    menus[1]->setObjectName(QStringLiteral("mnuEdita"));
    menus[2]->setObjectName(QStringLiteral("mnuClasse"));

    platform::NomesUnCop& nomesUnCop = platform::NomesUnCop::instancia();
    for (const Accio& fila : kAccions) {
        const QString nom = QString::fromUtf16(fila.nom);
        const QKeySequence tecla = fila.tecla == kCap ? QKeySequence() : QKeySequence(fila.tecla);
        // The one guard of every command: it is under way until it returns, and what needs a
        // file does nothing without one.
        const auto ordre = [this, ordre = fila.ordre, ambFitxer = fila.ambFitxer] {
            const OrdreEnCurs enCurs(*this);
            if (ambFitxer && !fitxerObert())
                return;
            (this->*ordre)();
        };
        if (fila.lloc == Lloc::Boto) {
            auto* boto = findChild<QPushButton*>(nom);
            connect(boto, &QPushButton::clicked, this, ordre);
            auto* drecera = new QShortcut(tecla, this);
            connect(drecera, &QShortcut::activated, boto, &QPushButton::click);
            boto->setToolTip(tecla.toString(QKeySequence::NativeText));
            if (fila.unCop) {
                nomesUnCop.protegeix(drecera);
                nomesUnCop.protegeix(boto);
            }
            m_teclesDeBotons << tecla;
        } else {
            QMenu* menu = menus[int(fila.lloc)];
            if (fila.separadorAbans)
                menu->addSeparator();
            QAction* accio = menu->addAction(QString::fromUtf16(fila.text));
            accio->setObjectName(nom);
            accio->setShortcut(tecla);
            connect(accio, &QAction::triggered, this, ordre);
            if (fila.unCop)
                nomesUnCop.protegeix(accio);
            if (fila.ambFitxer)
                m_ambFitxer << accio;
        }
    }
    mnuDesfes = findChild<QAction*>(QStringLiteral("mnuDesfes"));
    mnuRefes = findChild<QAction*>(QStringLiteral("mnuRefes"));
    const QUndoStack& historia = m_classe.historia();
    for (auto senyal : {&QUndoStack::canUndoChanged, &QUndoStack::canRedoChanged})
        connect(&historia, senyal, this, [this] { actualitzaMenus(); });
    for (auto senyal : {&QUndoStack::undoTextChanged, &QUndoStack::redoTextChanged})
        connect(&historia, senyal, this, [this] { actualitzaMenus(); });
    // Typing changes what Desfés takes back first.
    for (const auto& [camp, caixa] : campsDePantalla())
        connect(caixa, &QLineEdit::textChanged, this, [this] { actualitzaMenus(); });
    actualitzaMenus();

    // The session may be taking a checkpoint rather than ending: save, and stay. Its end comes
    // by its own signal or quit, which go through Sortir.
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this, [this] { DesarPerALaSessio(); });
}

// What works on the open file is greyed out without one; Desfés and Refés also while there is
// nothing to undo or redo, and otherwise name the change.
// The two name what the next Ctrl+Z and Ctrl+Shift+Z will do: typing on screen comes first.
void frmAlumnes::actualitzaMenus() {
    if (m_omplintPantalla)
        return;
    for (QAction* accio : std::as_const(m_ambFitxer))
        accio->setEnabled(fitxerObert());
    const QUndoStack& historia = m_classe.historia();
    const bool tocada = pantallaTocada();
    const bool refaPantalla = fitxerObert() && refaLaPantalla();
    const bool desfaHistoria = fitxerObert() && !tocada && historia.canUndo();
    const bool refaHistoria = fitxerObert() && !tocada && !refaPantalla && historia.canRedo();
    const QString pantalla = u"els canvis de la pantalla"_qs;
    mnuDesfes->setEnabled(tocada || desfaHistoria);
    mnuRefes->setEnabled(refaPantalla || refaHistoria);
    mnuDesfes->setText(tocada ? u"&Desfés: "_qs + pantalla
                       : desfaHistoria
                           ? u"&Desfés: "_qs + ambAmpersandsVisibles(historia.undoText())
                           : u"&Desfés"_qs);
    mnuRefes->setText(refaPantalla   ? u"&Refés: "_qs + pantalla
                      : refaHistoria ? u"&Refés: "_qs + ambAmpersandsVisibles(historia.redoText())
                                     : u"&Refés"_qs);
}

// The window's keys work while the caret is in a text box, which would otherwise keep Ctrl+Home
// and Ctrl+End for itself. Ctrl+Z and Ctrl+Shift+Z undo and redo the box's own typing first.
bool frmAlumnes::eventFilter(QObject* objecte, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const QKeySequence premuda(static_cast<QKeyEvent*>(event)->keyCombination());
        const auto* caixa = qobject_cast<QLineEdit*>(objecte);
        if (caixa && premuda == mnuDesfes->shortcut())
            return !caixa->isUndoAvailable();
        if (caixa && premuda == mnuRefes->shortcut())
            return !caixa->isRedoAvailable();
        if (m_teclesDeBotons.contains(premuda))
            return true;  // not taken by the box: the shortcut goes ahead
    }
    return QMainWindow::eventFilter(objecte, event);
}
