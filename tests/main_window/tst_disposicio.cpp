#include "platform/finestres.h"
#include "support/entorn.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QFrame>
#include <QImage>
#include <QMenuBar>
#include <QScreen>

#include <limits>

using proves::Entorn;

class TestDisposicio : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase();
    void controls_data();
    void controls();
    void areaDeClientIFont();
    void elsTextosHiCaben_data();
    void elsTextosHiCaben();
    void ordreDeTabulacioIFocusInicial();
    void menuFitxer();
    void estatDespresDeCarregar();
};

void TestDisposicio::initTestCase() {
    // Positions are checked at 96 dpi, 15 twips to the pixel.
    QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0);
}

void TestDisposicio::controls_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("classe");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("twips");

    const auto fila = [](const char16_t* nom, const char* classe, const char16_t* text, int l,
                         int t, int w, int h) {
        QTest::newRow(QString::fromUtf16(nom).toUtf8().constData())
            << QString::fromUtf16(nom) << QString::fromLatin1(classe) << QString::fromUtf16(text)
            << QRect(l, t, w, h);
    };
    fila(u"Shape1", "QFrame", u"", 0, 120, 4455, 3255);
    fila(u"Shape2", "QFrame", u"", 4560, 120, 1575, 3255);
    fila(u"lblNomFitxer", "QLabel", u"Nom fitxer:", 120, 360, 1215, 255);
    fila(u"txtNomFitxer", "QLineEdit", u"", 1440, 360, 1575, 285);
    fila(u"lblNúmRegistreActual", "QLabel", u"", 3840, 360, 495, 255);
    fila(u"Label1", "QLabel", u"Nom:", 120, 960, 1215, 255);
    fila(u"txtNom", "QLineEdit", u"", 1440, 960, 2895, 285);
    fila(u"Label2", "QLabel", u"Adreça:", 120, 1440, 1095, 255);
    fila(u"txtAdreça", "QLineEdit", u"", 1440, 1440, 2895, 285);
    fila(u"Label4", "QLabel", u"Població:", 120, 1920, 1215, 255);
    fila(u"txtPoblació", "QLineEdit", u"", 1440, 1920, 2895, 285);
    fila(u"Label3", "QLabel", u"Codi postal:", 120, 2400, 1215, 255);
    fila(u"txtCodiPostal", "QLineEdit", u"", 1440, 2400, 2895, 285);
    fila(u"Label5", "QLabel", u"Telèfon:", 120, 2880, 1215, 255);
    fila(u"txtTelèfon", "QLineEdit", u"", 1440, 2880, 2895, 285);
    fila(u"cmdPrimer", "QPushButton", u"Primer", 4800, 480, 1095, 255);
    fila(u"cmdÚltim", "QPushButton", u"Últim", 4800, 960, 1095, 255);
    fila(u"cmdSegüent", "QPushButton", u"Següent", 4800, 1440, 1095, 255);
    fila(u"cmdAnterior", "QPushButton", u"Anterior", 4800, 1920, 1095, 255);
    fila(u"cmdNou", "QPushButton", u"Nou", 4800, 2400, 1095, 255);
    fila(u"cmdGravar", "QPushButton", u"Gravar pantalla", 4560, 2880, 1575, 255);
}

void TestDisposicio::controls() {
    QFETCH(QString, nom);
    QFETCH(QString, classe);
    QFETCH(QString, text);
    QFETCH(QRect, twips);

    Entorn entorn;
    QWidget* control = entorn.control<QWidget>(nom);
    QCOMPARE(QString::fromLatin1(control->metaObject()->className()), classe);
    QCOMPARE(control->parentWidget(), entorn.finestra->centralWidget());
    const QRect esperat(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
    QCOMPARE(control->geometry(), esperat);
    if (auto* etiqueta = qobject_cast<QLabel*>(control)) {
        QCOMPARE(etiqueta->text(), text);
        QVERIFY(etiqueta->alignment() & Qt::AlignLeft);
        QCOMPARE(etiqueta->frameShape(), QFrame::NoFrame);
    } else if (auto* boto = qobject_cast<QPushButton*>(control)) {
        QCOMPARE(boto->text(), text);
        QVERIFY(!boto->isDefault() && !boto->autoDefault());
    } else if (auto* caixa = qobject_cast<QLineEdit*>(control)) {
        QCOMPARE(caixa->text(), QString());
        QCOMPARE(caixa->maxLength(), std::numeric_limits<int>::max());
    } else if (auto* forma = qobject_cast<QFrame*>(control)) {
        QCOMPARE(forma->frameShape(), QFrame::Box);
        QCOMPARE(forma->lineWidth(), 1);
        QVERIFY(forma->testAttribute(Qt::WA_TransparentForMouseEvents));
    }
}

void TestDisposicio::areaDeClientIFont() {
    Entorn entorn;
    QCOMPARE(entorn.finestra->windowTitle(), u"Dades alumnes"_qs);
    QCOMPARE(entorn.finestra->objectName(), u"frmAlumnes"_qs);
    QWidget* area = entorn.finestra->centralWidget();
    QCOMPARE(area->size(), QSize(491, 242));
    for (QWidget* control : area->findChildren<QWidget*>()) {
        QVERIFY(control->font().bold());
        QCOMPARE(control->font().pointSizeF(), 8.25);
    }
    entorn.finestra->show();
    QVERIFY(QTest::qWaitForWindowExposed(entorn.finestra.get()));
    // The client area lies right below the menu bar and the window cannot be resized.
    QCOMPARE(area->y(), entorn.finestra->menuBar()->height());
    QCOMPARE(entorn.finestra->minimumSize(), entorn.finestra->maximumSize());
}

void TestDisposicio::elsTextosHiCaben_data() {
    QTest::addColumn<int>("punts");
    QTest::newRow("96 ppp") << 96;
    QTest::newRow("192 ppp") << 192;
}

// Every caption, and the widest record number, fits its control when the letters are measured
// at that resolution; the controls grow with it, since they are placed in twips.
void TestDisposicio::elsTextosHiCaben() {
    QFETCH(int, punts);
    const QFont font = platform::fontDelFormulari();
    const QString familia = QFontInfo(font).family();
    QVERIFY2(
        QStringList({u"MS Sans Serif"_qs, u"Liberation Sans"_qs, u"Arimo"_qs}).contains(familia),
        qPrintable(familia));

    QImage pintura(1, 1, QImage::Format_RGB32);
    pintura.setDotsPerMeterX(qRound(punts / 0.0254));
    pintura.setDotsPerMeterY(qRound(punts / 0.0254));
    const QFontMetricsF mesura(font, &pintura);
    const qreal escala = punts / 96.0;

    Entorn entorn;
    QList<std::pair<QWidget*, QString>> textos;
    for (auto* etiqueta : entorn.finestra->centralWidget()->findChildren<QLabel*>())
        textos.append({etiqueta, etiqueta->text()});
    textos.append({entorn.control<QLabel>(u"lblNúmRegistreActual"_qs), u"32767"_qs});
    for (auto* boto : entorn.finestra->centralWidget()->findChildren<QPushButton*>())
        textos.append({boto, boto->text()});
    for (const auto& [control, text] : textos) {
        // A button keeps a margin on each side of its caption.
        const qreal marge = qobject_cast<QPushButton*>(control) ? 2 * 3 * escala : 0;
        const qreal lloc = control->width() * escala - marge;
        QVERIFY2(mesura.horizontalAdvance(text) <= lloc,
                 qPrintable(u"%1 \"%2\": %3 > %4"_qs.arg(control->objectName(), text)
                                .arg(mesura.horizontalAdvance(text))
                                .arg(lloc)));
    }
    // The buttons of "Crear fitxer", 975 twips wide.
    for (const QString& text : {u"D'acord"_qs, u"Cancel.lar"_qs})
        QVERIFY(mesura.horizontalAdvance(text) <= 975 * punts / 1440.0 - 2 * 3 * escala);
}

void TestDisposicio::ordreDeTabulacioIFocusInicial() {
    Entorn entorn;
    entorn.finestra->show();
    QVERIFY(QTest::qWaitForWindowActive(entorn.finestra.get()));
    QCOMPARE(QApplication::focusWidget(), entorn.control(u"txtNom"_qs));

    const QStringList esperat = {u"txtNom"_qs,      u"txtAdreça"_qs,    u"txtPoblació"_qs,
                                 u"txtTelèfon"_qs,  u"txtNomFitxer"_qs, u"txtCodiPostal"_qs,
                                 u"cmdPrimer"_qs,   u"cmdÚltim"_qs,     u"cmdSegüent"_qs,
                                 u"cmdAnterior"_qs, u"cmdNou"_qs,       u"cmdGravar"_qs,
                                 u"txtNom"_qs};
    QStringList recorregut{QApplication::focusWidget()->objectName()};
    for (int i = 1; i < esperat.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        recorregut << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(recorregut, esperat);
}

// "&Fitxer" as it always was, then "&Edita" and "&Classe": their items, keys and separators,
// greyed out until a file is open and again once it is closed; Desfés and Refés also while there
// is nothing to undo or redo, and otherwise named after the change.
void TestDisposicio::menuFitxer() {
    Entorn entorn;
    const QList<QAction*> menus = entorn.finestra->menuBar()->actions();
    QCOMPARE(menus.size(), 3);
    const auto elements = [&menus] {
        QStringList textos;
        for (const QAction* titol : menus) {
            textos << titol->menu()->objectName() + u'=' + titol->text();
            for (const QAction* accio : titol->menu()->actions()) {
                textos << (accio->isSeparator()
                               ? u"-"_qs
                               : accio->objectName() + u'=' + accio->text() +
                                     (accio->shortcut().isEmpty()
                                          ? QString()
                                          : u' ' + accio->shortcut().toString()) +
                                     (accio->isEnabled() ? QString() : u" (gris)"_qs));
            }
        }
        return textos;
    };
    const QStringList grisos = {
        u"mnuFitxer=&Fitxer"_qs,
        u"mnuCrear=&Crear Ctrl+Shift+N"_qs,
        u"mnuObrir=&Obrir Ctrl+O"_qs,
        u"mnuTancar=&Tancar Ctrl+W"_qs,
        u"mnuSortir=&Sortir Ctrl+Q"_qs,
        u"mnuEdita=&Edita"_qs,
        u"mnuDesfes=&Desfés Ctrl+Z (gris)"_qs,
        u"mnuRefes=&Refés Ctrl+Shift+Z (gris)"_qs,
        u"-"_qs,
        u"mnuCerca=&Cerca un alumne… Ctrl+F (gris)"_qs,
        u"mnuVesA=&Ves al número… Ctrl+G (gris)"_qs,
        u"-"_qs,
        u"mnuElimina=&Elimina l'alumne Ctrl+Shift+Del (gris)"_qs,
        u"mnuClasse=&Classe"_qs,
        u"mnuExporta=&Exporta… Ctrl+E (gris)"_qs,
        u"mnuImporta=&Importa… Ctrl+I (gris)"_qs,
        u"mnuEnganxa=E&nganxa alumnes Ctrl+Shift+V (gris)"_qs,
        u"-"_qs,
        u"mnuImprimeix=Im&primeix… Ctrl+P (gris)"_qs,
        u"-"_qs,
        u"mnuOrdena=&Ordena per nom (gris)"_qs,
    };
    QCOMPARE(elements(), grisos);
    entorn.obre(entorn.fitxer(u"grup"_qs, proves::bytesDe({{u"Puig & Fill, Marta"_qs}, {}})));
    QStringList actius = grisos;
    actius.replaceInStrings(u" (gris)"_qs, QString());
    actius[6] += u" (gris)"_qs;
    actius[7] += u" (gris)"_qs;
    QCOMPARE(elements(), actius);

    entorn.finestra->Elimina();
    actius[6] = u"mnuDesfes=&Desfés: elimina «Puig && Fill, Marta» Ctrl+Z"_qs;
    QCOMPARE(elements(), actius);
    entorn.finestra->Desfes();
    actius[6] = u"mnuDesfes=&Desfés Ctrl+Z (gris)"_qs;
    actius[7] = u"mnuRefes=&Refés: elimina «Puig && Fill, Marta» Ctrl+Shift+Z"_qs;
    QCOMPARE(elements(), actius);
    entorn.finestra->Tancar();
    QCOMPARE(elements(), grisos);
}

void TestDisposicio::estatDespresDeCarregar() {
    Entorn entorn;
    entorn.noms.NomFitxer = u"brossa"_qs;
    entorn.finestra = std::make_unique<frmAlumnes>(
        platform::Serveis{entorn.missatges, entorn.dialegObrir, entorn.sistemaFitxers},
        entorn.noms);
    QCOMPARE(entorn.noms.NomFitxer, QString());
    QCOMPARE(entorn.finestra->registreActual(), 0);
    QCOMPARE(entorn.finestra->numRegistres(), 0);
    QCOMPARE(entorn.finestra->longRegistre(), 107);
    QCOMPARE(entorn.etiqueta(), QString());
    QCOMPARE(entorn.pantalla(), QStringList(5, QString()));
    QCOMPARE(entorn.sistemaFitxers.crides(proves::Operacio::Obre), 0);
}

QTEST_MAIN(TestDisposicio)
#include "tst_disposicio.moc"
