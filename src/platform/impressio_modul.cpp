// The module the window's program loads to print: the toolkit's print preview, then the printer.
#include "platform/classe.h"

#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrinter>

extern "C" [[gnu::visibility("default")]] void q2x7_imprimeix(
    const QString& titol, const platform::Impressio::Dibuixa& dibuixa, QWidget* pare) {
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setDocName(titol);
    impressora.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(), QPageLayout::Point));
    // The list keeps its own margins: the page is drawn whole.
    impressora.setFullPage(true);
    QPrintPreviewDialog previsualitzacio(&impressora, pare);
    // Wide enough for its whole toolbar, the print button included, and a landscape page.
    previsualitzacio.resize(1000, 720);
    QObject::connect(&previsualitzacio, &QPrintPreviewDialog::paintRequested, &previsualitzacio,
                     [&dibuixa](QPrinter* printer) {
                         const bool rang = printer->printRange() == QPrinter::PageRange;
                         dibuixa(*printer, rang ? printer->fromPage() : 1,
                                 rang ? printer->toPage() : 0);
                     });
    previsualitzacio.exec();
}
