#include "platform/classe.h"
#include "platform/finestres.h"
#include "platform/modul.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPageLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace platform {

namespace {

// "Full de càlcul (*.xlsx)" → "xlsx".
QString extensioDe(const QString& filtre) {
    static const QRegularExpression extensio(u"\\*\\.(\\w+)"_qs);
    return extensio.match(filtre).captured(1);
}

}  // namespace

QString DialegDesarQt::desa(const QStringList& filtres, int& triat, const QString& suggerit) {
    QWidget* pare = finestraDelDavant();
    QFileDialog dialeg(pare, QStringLiteral("Exporta la classe"));
    dialeg.setAcceptMode(QFileDialog::AcceptSave);
    dialeg.setFileMode(QFileDialog::AnyFile);
    // The toolkit's own dialog, as the Open one: the same on every desktop.
    dialeg.setOption(QFileDialog::DontUseNativeDialog);
    dialeg.setNameFilters(filtres);
    dialeg.selectNameFilter(filtres.value(triat));
    // A name typed without an extension takes the filter's, before the dialog asks to replace.
    dialeg.setDefaultSuffix(extensioDe(filtres.value(triat)));
    QObject::connect(
        &dialeg, &QFileDialog::filterSelected, &dialeg,
        [&dialeg](const QString& filtre) { dialeg.setDefaultSuffix(extensioDe(filtre)); });
    dialeg.selectFile(suggerit);
    const bool desat = dialeg.exec() == QDialog::Accepted;
    triat = std::max(0, int(filtres.indexOf(dialeg.selectedNameFilter())));
    tornaElFocus(pare);
    return desat ? dialeg.selectedFiles().value(0) : QString();
}

bool CaixaImportacioQt::mostra(const QString& text, const QStringList& avisos, bool ambDesfes) {
    QWidget* pare = finestraDelDavant();
    QDialog caixa(pare);
    caixa.setWindowTitle(QStringLiteral("q2x7"));
    caixa.setMinimumWidth(480);  // a note is a line: line, column, what
    auto* disposicio = new QVBoxLayout(&caixa);
    auto* missatge = new QLabel(text, &caixa);
    missatge->setWordWrap(true);
    disposicio->addWidget(missatge);
    if (!avisos.isEmpty()) {
        auto* llista = new QListWidget(&caixa);
        llista->setObjectName(QStringLiteral("lstAvisos"));
        llista->setAccessibleName(QStringLiteral("Avisos de la importació"));
        llista->addItems(avisos);
        llista->setUniformItemSizes(true);
        disposicio->addWidget(llista);
    }
    auto* botons = new QDialogButtonBox(&caixa);
    QPushButton* dacord =
        botons->addButton(QStringLiteral("D'acord"), QDialogButtonBox::AcceptRole);
    dacord->setDefault(true);
    bool desfer = false;
    if (ambDesfes) {
        QPushButton* desfes = botons->addButton(QStringLiteral("Desfés la importació"),
                                                QDialogButtonBox::DestructiveRole);
        QObject::connect(desfes, &QPushButton::clicked, &caixa, [&] {
            desfer = true;
            caixa.accept();
        });
    }
    QObject::connect(botons, &QDialogButtonBox::accepted, &caixa, &QDialog::accept);
    disposicio->addWidget(botons);
    caixa.exec();
    tornaElFocus(pare);
    return desfer;
}

QByteArray PortaretallsQt::files() {
    const QMimeData* dades = QGuiApplication::clipboard()->mimeData();
    if (!dades)
        return {};
    if (dades->hasFormat(QStringLiteral("text/csv")))
        return dades->data(QStringLiteral("text/csv"));
    return dades->text().toUtf8();
}

void ImpressioQt::imprimeix(const QString& titol, const Dibuixa& dibuixa) {
    static const auto imprimeix = reinterpret_cast<decltype(&q2x7_imprimeix)>(
        simbolDelModul(Q2X7_MODUL_IMPRESSIO, "q2x7_imprimeix"));
    QWidget* pare = finestraDelDavant();
    if (imprimeix)
        imprimeix(titol, dibuixa, pare);
    else
        QMessageBox::warning(pare, QStringLiteral("q2x7"),
                             QStringLiteral("No es pot imprimir: no es troba %1, la part del "
                                            "programa que imprimeix.")
                                 .arg(QStringLiteral(Q2X7_MODUL_IMPRESSIO)));
    tornaElFocus(pare);
}

}  // namespace platform
