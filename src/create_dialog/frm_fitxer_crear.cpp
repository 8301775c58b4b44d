#include "create_dialog/frm_fitxer_crear.h"

#include "create_dialog/llistes.h"
#include "platform/finestres.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

namespace create_dialog {

namespace {
const QString kErrorDisc = QStringLiteral("Hi ha un error de disc");
}  // namespace

frmFitxerCrear::frmFitxerCrear(platform::Serveis serveis, record::NomsFitxer& noms,
                               QString& discAnterior, QWidget* pare)
    : QDialog(pare), m_serveis(serveis), m_noms(noms), DiscAnterior(discAnterior) {
    setObjectName(QStringLiteral("frmFitxerCrear"));
    setWindowTitle(QStringLiteral("Crear fitxer"));
    setModal(true);
    creaControls();
    mostraDirectoriActual();

    connect(drvDiscDestí, &QComboBox::currentIndexChanged, this, &frmFitxerCrear::CanviDisc);
    connect(dirDirectoriDestí, &LlistaDirectoris::directoriTriat, this,
            &frmFitxerCrear::triaDirectori);
    connect(dirDirectoriDestí, &LlistaDirectoris::focusRebut, this,
            [this] { DiscAnterior = QString::number(drvDiscDestí->currentIndex()); });
    connect(cmdDacord, &QPushButton::clicked, this, &frmFitxerCrear::Dacord);
    connect(cmdCancelar, &QPushButton::clicked, this, &frmFitxerCrear::Cancelar);
    txtNomFitxer->installEventFilter(this);
}

void frmFitxerCrear::creaControls() {
    // The form's font goes on an inner area, so that message boxes over the dialog keep theirs.
    auto* area = new QWidget(this);
    area->setFont(platform::fontDelFormulari());
    auto* disposicio = new QVBoxLayout(this);
    disposicio->setContentsMargins(0, 0, 0, 0);
    disposicio->addWidget(area);

    auto& fs = m_serveis.sistemaFitxers;
    platform::Formulari f(area);
    area->setFixedSize(f.mida(4365, 2310));
    // clang-format off
    txtNomFitxer = f.afegeix<QLineEdit>(QStringLiteral("txtNomFitxer"), QStringLiteral("Text1"), {120, 240, 1815, 375}, 5);
    filLlistaFitxers = new LlistaFitxers(fs, area);
    dirDirectoriDestí = new LlistaDirectoris(fs, area);
    drvDiscDestí = new LlistaUnitats(area);
    f.situa(filLlistaFitxers, QStringLiteral("filLlistaFitxers"), {120, 720, 1815, 1395}, 4);
    f.situa(dirDirectoriDestí, QStringLiteral("dirDirectoriDestí"), {2040, 720, 2175, 930}, 2);
    f.situa(drvDiscDestí, QStringLiteral("drvDiscDestí"), {2040, 1800, 2175, 315}, 3);
    cmdDacord = f.afegeix<QPushButton>(QStringLiteral("cmdDacord"), QStringLiteral("D'acord"), {2040, 240, 975, 375}, 0);
    cmdCancelar = f.afegeix<QPushButton>(QStringLiteral("cmdCancelar"), QStringLiteral("Cancel.lar"), {3240, 240, 975, 375}, 1);
    // clang-format on
    f.aplicaOrdreTabulacio();

    // Neither button is the default: Enter means OK only in the name box.
    for (QPushButton* boto : {cmdDacord, cmdCancelar}) {
        boto->setAutoDefault(false);
        boto->setDefault(false);
        platform::premAmbEnter(boto);
    }
    // The dialog has no labels: the screen reader needs the lists' names from elsewhere.
    txtNomFitxer->setAccessibleName(QStringLiteral("Nom del fitxer"));
    filLlistaFitxers->setAccessibleName(QStringLiteral("Fitxers"));
    dirDirectoriDestí->setAccessibleName(QStringLiteral("Directoris"));
    // A drop-down list is announced by its value on Linux; its name goes in the description.
    drvDiscDestí->setAccessibleName(QStringLiteral("Unitat"));
    drvDiscDestí->setAccessibleDescription(QStringLiteral("Unitat"));
    disposicio->setSizeConstraint(QLayout::SetFixedSize);
    txtNomFitxer->setFocus();
}

// A showing starts on the process's current drive and directory.
void frmFitxerCrear::mostraDirectoriActual() {
    auto& fs = m_serveis.sistemaFitxers;
    try {
        const QStringList unitats = fs.unitats();
        drvDiscDestí->omple(unitats);
        const QString actual = fs.directoriActual();
        const QString unitat = platform::unitatDe(unitats, actual);
        {
            const QSignalBlocker bloqueig(drvDiscDestí);
            drvDiscDestí->setCurrentIndex(std::max(0, int(unitats.indexOf(unitat))));
        }
        dirDirectoriDestí->mostra(unitat, actual);
        CanviDirectori();  // also what the drive remembers as its current directory
    } catch (const std::exception&) {
        // The current directory is gone or unreadable: start from the first drive that works.
        provaUnitat();
    }
}

// Points the lists at the selected drive's current directory and makes it current.
bool frmFitxerCrear::provaUnitat(QString* motiu) {
    try {
        const QString unitat = drvDiscDestí->unitat();
        dirDirectoriDestí->mostra(unitat, m_serveis.sistemaFitxers.directoriDeUnitat(unitat));
        CanviDirectori();
        return true;
    } catch (const std::exception& error) {
        if (motiu)
            *motiu = QString::fromStdString(error.what());
        return false;
    }
}

// The box names the failure; its reason goes to the journal, where it can be looked up.
void frmFitxerCrear::avisaDelDisc(const std::exception& error) {
    avisaDelDisc(QString::fromStdString(error.what()));
}

void frmFitxerCrear::avisaDelDisc(const QString& motiu) {
    m_serveis.diari.escriu(QStringLiteral("«%1»: %2").arg(kErrorDisc, motiu));
    m_serveis.missatges.avisa(kErrorDisc);
}

void frmFitxerCrear::CanviDisc() {
    QString motiu;
    if (provaUnitat(&motiu))
        return;
    avisaDelDisc(motiu);

    // Back to the drive saved when the directory list last took the focus; when there is none,
    // or it fails too, the drive of the current directory, and last the root. One message only.
    QList<int> candidats;
    bool desat = false;
    const int anterior = DiscAnterior.toInt(&desat);
    if (desat)
        candidats << anterior;
    try {
        const QStringList unitats = m_serveis.sistemaFitxers.unitats();
        const QString actual = m_serveis.sistemaFitxers.directoriActual();
        candidats << drvDiscDestí->findText(platform::unitatDe(unitats, actual));
    } catch (const std::exception&) {
    }
    candidats << 0;
    for (const int index : candidats) {
        if (index < 0 || index >= drvDiscDestí->count())
            continue;
        {
            const QSignalBlocker bloqueig(drvDiscDestí);
            drvDiscDestí->setCurrentIndex(index);
        }
        if (provaUnitat())
            return;
    }
}

void frmFitxerCrear::CanviDirectori() {
    const QString directori = dirDirectoriDestí->path();
    m_serveis.sistemaFitxers.canviaDirectoriActual(directori);
    filLlistaFitxers->mostra(directori);
}

// The user opened an entry of the directory list.
void frmFitxerCrear::triaDirectori(const QString& directori) {
    const QString unitat = dirDirectoriDestí->unitat();
    const QString anterior = dirDirectoriDestí->path();
    try {
        dirDirectoriDestí->mostra(unitat, directori);
        CanviDirectori();
    } catch (const std::exception& error) {
        avisaDelDisc(error);
        try {
            dirDirectoriDestí->mostra(unitat, anterior);
            CanviDirectori();
        } catch (const std::exception&) {
        }
    }
}

void frmFitxerCrear::Dacord() {
    const QString nom = txtNomFitxer->text();
    if (nom.isEmpty())
        return;
    const QString directori = dirDirectoriDestí->path();
    // A drive's root already ends in the separator.
    m_noms.NomFitxerNou = directori.endsWith(u'/') ? directori + nom : directori + u'/' + nom;
    m_noms.NomFitxer = m_noms.NomFitxerNou;

    bool existeix = false;
    for (const QString& llistat : filLlistaFitxers->noms())
        existeix = existeix || llistat == nom;

    try {
        // No is the default: an Enter too many must not delete a class's file.
        if (existeix &&
            m_serveis.missatges.preguntaSiNo(QStringLiteral("Fitxer ja existent. L'esborro?"),
                                             platform::Icona::Atura, platform::Resposta::No))
            m_serveis.sistemaFitxers.esborra(m_noms.NomFitxerNou);
    } catch (const std::exception& error) {
        avisaDelDisc(error);
        return;
    }
    accept();
}

void frmFitxerCrear::Cancelar() {
    reject();
}

// Cancel, Escape and the window system's close all hand back "".
void frmFitxerCrear::reject() {
    m_noms.NomFitxerNou.clear();
    QDialog::reject();
}

bool frmFitxerCrear::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        txtNomFitxer->setFocus();
    return QDialog::event(event);
}

bool frmFitxerCrear::eventFilter(QObject* objecte, QEvent* event) {
    if (objecte == txtNomFitxer && event->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(event)->key();
        if (tecla == Qt::Key_Escape) {
            Cancelar();
            return true;
        }
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            Dacord();
            return true;
        }
    }
    return QDialog::eventFilter(objecte, event);
}

}  // namespace create_dialog
