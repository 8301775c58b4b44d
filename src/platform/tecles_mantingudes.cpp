#include "platform/tecles_mantingudes.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QShortcut>
#include <QWindow>

#include <algorithm>

namespace platform {

bool ClassificadorDeTecles::esRepeticio(const QKeyEvent& premuda, bool esComprovacioDeDrecera) {
    const int tecla = premuda.key();
    const quint64 moment = premuda.timestamp();
    if (!esComprovacioDeDrecera && m_teclaComprovada == tecla && m_momentComprovat == moment) {
        m_teclaComprovada = 0;  // the press of the check just classified
        return m_comprovadaEsRepeticio;
    }
    Estat& estat = m_tecles[tecla];
    const bool repeticio =
        premuda.isAutoRepeat() || estat.avall || (moment != 0 && moment == estat.amolladaA);
    estat.avall = true;
    m_teclaComprovada = esComprovacioDeDrecera ? tecla : 0;
    m_momentComprovat = moment;
    m_comprovadaEsRepeticio = repeticio;
    return repeticio;
}

void ClassificadorDeTecles::amollada(const QKeyEvent& amollada) {
    if (amollada.isAutoRepeat())
        return;  // the key is still down
    Estat& estat = m_tecles[amollada.key()];
    estat.avall = false;
    estat.amolladaA = amollada.timestamp();
}

void ClassificadorDeTecles::oblida() {
    m_tecles.clear();
    m_teclaComprovada = 0;
}

NomesUnCop::NomesUnCop() {
    QCoreApplication::instance()->installEventFilter(this);
    // A quick Ctrl+F opens the search before its release comes, and the toolkit drops a release
    // addressed to the window the dialog blocks: the next tap must not look like a held key.
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::focusWindowChanged, this,
                [this] { m_classificador.oblida(); });
}

NomesUnCop& NomesUnCop::instancia() {
    // Parented to the application, so that it goes with it.
    static QPointer<NomesUnCop> unic;
    if (!unic) {
        unic = new NomesUnCop;
        unic->setParent(QCoreApplication::instance());
    }
    return *unic;
}

void NomesUnCop::protegeix(QAction* accio) {
    accio->setAutoRepeat(false);
    m_accions << accio;
}

void NomesUnCop::protegeix(QShortcut* drecera) {
    drecera->setAutoRepeat(false);
    m_dreceres << drecera;
}

void NomesUnCop::protegeix(QAbstractButton* boto) {
    m_botons << boto;
}

bool NomesUnCop::esProtegida(const QKeySequence& tecla) const {
    const auto coincideix = [&](const auto& objecte) {
        return objecte && objecte->isEnabled() && objecte->key() == tecla;
    };
    return std::any_of(m_accions.begin(), m_accions.end(),
                       [&](const QPointer<QAction>& a) {
                           return a && a->isEnabled() && a->shortcuts().contains(tecla);
                       }) ||
           std::any_of(m_dreceres.begin(), m_dreceres.end(), coincideix);
}

QAbstractButton* NomesUnCop::botoProtegit(QObject* objecte) const {
    const auto trobat = std::find(m_botons.begin(), m_botons.end(), objecte);
    return trobat == m_botons.end() ? nullptr : trobat->data();
}

bool NomesUnCop::eventFilter(QObject* objecte, QEvent* event) {
    const QEvent::Type tipus = event->type();
    if (tipus != QEvent::ShortcutOverride && tipus != QEvent::KeyPress &&
        tipus != QEvent::KeyRelease)
        return false;
    auto* tecla = static_cast<QKeyEvent*>(event);
    const int codi = tecla->key();
    QAbstractButton* boto = botoProtegit(objecte);
    if (tipus == QEvent::KeyRelease) {
        m_classificador.amollada(*tecla);
        m_darrer = {};
        return boto && codi == Qt::Key_Space;  // the press already pressed it
    }

    // One event reaches the window, the focus widget and its parents in turn: it is classified
    // once.
    const Vist vist{event, tipus, tecla->timestamp()};
    if (!(vist == m_darrer)) {
        m_darrer = vist;
        m_darrerEsRepeticio =
            m_classificador.esRepeticio(*tecla, tipus == QEvent::ShortcutOverride);
    }
    const bool repeticio = m_darrerEsRepeticio;
    if (repeticio && esProtegida(QKeySequence(tecla->keyCombination()))) {
        event->accept();  // taken here, so the shortcut does not fire
        return true;
    }
    if (!boto || tipus != QEvent::KeyPress ||
        (codi != Qt::Key_Space && codi != Qt::Key_Return && codi != Qt::Key_Enter))
        return false;
    if (!repeticio)
        boto->click();
    return true;
}

}  // namespace platform
