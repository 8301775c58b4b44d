#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>

class QAbstractButton;
class QAction;
class QKeyEvent;
class QShortcut;

namespace platform {

// Tells a key's first press from the repeats of the same key held down. The toolkit's own mark
// can miss a repeat under X, whose repeats come as a release and a press with one timestamp, so
// the press is also a repeat when the key was never released, or was released at that moment.
class ClassificadorDeTecles {
  public:
    // A press, or the shortcut check the toolkit makes just before it: both belong to one
    // physical press and get one answer.
    bool esRepeticio(const QKeyEvent& premuda, bool esComprovacioDeDrecera);
    void amollada(const QKeyEvent& amollada);
    // Another window took the keyboard: the releases of the keys down now go to a window that
    // may drop them (one a modal dialog blocks), so no key is taken for held any more.
    void oblida();

  private:
    struct Estat {
        bool avall = false;
        quint64 amolladaA = ~quint64(0);
    };
    QHash<int, Estat> m_tecles;
    // The shortcut check last classified, which its press follows.
    int m_teclaComprovada = 0;
    quint64 m_momentComprovat = 0;
    bool m_comprovadaEsRepeticio = false;
};

// Commands that must run once for a held key: the first press runs them, the repeats do nothing.
// Their shortcuts, and Space and Enter on their focused buttons, are watched for the whole
// application. Moves are left out: walking a file with a held key adds nothing.
class NomesUnCop : public QObject {
  public:
    static NomesUnCop& instancia();

    void protegeix(QAction* accio);
    void protegeix(QShortcut* drecera);
    // Space and Enter press the button on their first press, as Enter does on any button here.
    void protegeix(QAbstractButton* boto);

  protected:
    bool eventFilter(QObject* objecte, QEvent* event) override;

  private:
    NomesUnCop();
    bool esProtegida(const QKeySequence& tecla) const;
    QAbstractButton* botoProtegit(QObject* objecte) const;

    struct Vist {
        const QEvent* event = nullptr;
        int tipus = 0;
        quint64 moment = 0;
        bool operator==(const Vist&) const = default;
    };

    ClassificadorDeTecles m_classificador;
    Vist m_darrer;
    bool m_darrerEsRepeticio = false;
    QList<QPointer<QAction>> m_accions;
    QList<QPointer<QShortcut>> m_dreceres;
    QList<QPointer<QAbstractButton>> m_botons;
};

}  // namespace platform
