#include "create_dialog/fitxer_crear.h"
#include "main_window/caixa_camp.h"
#include "main_window/frm_alumnes.h"
#include "platform/finestres.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

using platform::Formulari;

frmAlumnes::frmAlumnes(platform::Serveis serveis, record::NomsFitxer& noms, QWidget* pare)
    : QMainWindow(pare), m_serveis(serveis), m_noms(noms), m_classe(serveis.sistemaFitxers) {
    // Load step: no file open, nothing on screen yet (the open class counts nothing).
    m_noms.NomFitxer.clear();
    LongRegistre = record::TipusAlumne::kLongitud;

    setObjectName(QStringLiteral("frmAlumnes"));
    setWindowTitle(QStringLiteral("Dades alumnes"));
    creaControls();
    creaAccions();
}

frmAlumnes::~frmAlumnes() = default;

void frmAlumnes::creaControls() {
    auto* area = new QWidget(this);
    area->setFont(platform::fontDelFormulari());
    setCentralWidget(area);

    Formulari f(area);
    area->setFixedSize(f.mida(7365, 3630));
    // The frames come first so that they lie beneath the controls they surround.
    // clang-format off
    Shape1 = f.afegeix<QFrame>(QStringLiteral("Shape1"), {0, 120, 4455, 3255});
    Shape2 = f.afegeix<QFrame>(QStringLiteral("Shape2"), {4560, 120, 1575, 3255});
    lblNomFitxer = f.afegeix<QLabel>(QStringLiteral("lblNomFitxer"), QStringLiteral("Nom fitxer:"), {120, 360, 1215, 255}, 18);
    txtNomFitxer = f.afegeix<QLineEdit>(QStringLiteral("txtNomFitxer"), {1440, 360, 1575, 285}, 5);
    lblNúmRegistreActual = f.afegeix<QLabel>(QStringLiteral("lblNúmRegistreActual"), QString(), {3840, 360, 495, 255}, 0);
    QLabel* Label1 = f.afegeix<QLabel>(QStringLiteral("Label1"), QStringLiteral("Nom:"), {120, 960, 1215, 255}, 13);
    txtNom = f.afegeix<CaixaDeCamp>(QStringLiteral("txtNom"), {1440, 960, 2895, 285}, 1);
    QLabel* Label2 = f.afegeix<QLabel>(QStringLiteral("Label2"), QStringLiteral("Adreça:"), {120, 1440, 1095, 255}, 14);
    txtAdreça = f.afegeix<CaixaDeCamp>(QStringLiteral("txtAdreça"), {1440, 1440, 2895, 285}, 2);
    QLabel* Label4 = f.afegeix<QLabel>(QStringLiteral("Label4"), QStringLiteral("Població:"), {120, 1920, 1215, 255}, 16);
    txtPoblació = f.afegeix<CaixaDeCamp>(QStringLiteral("txtPoblació"), {1440, 1920, 2895, 285}, 3);
    QLabel* Label3 = f.afegeix<QLabel>(QStringLiteral("Label3"), QStringLiteral("Codi postal:"), {120, 2400, 1215, 255}, 15);
    txtCodiPostal = f.afegeix<CaixaDeCamp>(QStringLiteral("txtCodiPostal"), {1440, 2400, 2895, 285}, 6);
    QLabel* Label5 = f.afegeix<QLabel>(QStringLiteral("Label5"), QStringLiteral("Telèfon:"), {120, 2880, 1215, 255}, 17);
    txtTelèfon = f.afegeix<CaixaDeCamp>(QStringLiteral("txtTelèfon"), {1440, 2880, 2895, 285}, 4);
    cmdPrimer = f.afegeix<QPushButton>(QStringLiteral("cmdPrimer"), QStringLiteral("Primer"), {4800, 480, 1095, 255}, 7);
    cmdÚltim = f.afegeix<QPushButton>(QStringLiteral("cmdÚltim"), QStringLiteral("Últim"), {4800, 960, 1095, 255}, 8);
    cmdSegüent = f.afegeix<QPushButton>(QStringLiteral("cmdSegüent"), QStringLiteral("Següent"), {4800, 1440, 1095, 255}, 9);
    cmdAnterior = f.afegeix<QPushButton>(QStringLiteral("cmdAnterior"), QStringLiteral("Anterior"), {4800, 1920, 1095, 255}, 10);
    cmdNou = f.afegeix<QPushButton>(QStringLiteral("cmdNou"), QStringLiteral("Nou"), {4800, 2400, 1095, 255}, 11);
    cmdGravar = f.afegeix<QPushButton>(QStringLiteral("cmdGravar"), QStringLiteral("Gravar pantalla"), {4560, 2880, 1575, 255}, 12);
    // clang-format on
    f.aplicaOrdreTabulacio();

    for (QFrame* forma : {Shape1, Shape2}) {
        forma->setFrameStyle(QFrame::Box | QFrame::Plain);
        forma->setLineWidth(1);
        forma->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    for (QLabel* etiqueta : area->findChildren<QLabel*>())
        etiqueta->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (QPushButton* boto : area->findChildren<QPushButton*>()) {
        boto->setAutoDefault(false);
        boto->setDefault(false);
        platform::premAmbEnter(boto);
    }
    // A screen reader announces each box by its label, without the colon.
    for (const auto& [etiqueta, caixa] : {std::pair{lblNomFitxer, txtNomFitxer},
                                          {Label1, txtNom},
                                          {Label2, txtAdreça},
                                          {Label4, txtPoblació},
                                          {Label3, txtCodiPostal},
                                          {Label5, txtTelèfon}}) {
        etiqueta->setBuddy(caixa);
        QString nom = etiqueta->text();
        if (nom.endsWith(u':'))
            nom.chop(1);
        caixa->setAccessibleName(nom);
        caixa->installEventFilter(this);
    }
    txtNom->setFocus();

    // The client area is fixed: the controls have fixed places, so resizing would add nothing.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        const QRect disponible = pantalla->availableGeometry();
        move(disponible.center() - QPoint(area->width() / 2, area->height() / 2));
    }
}
