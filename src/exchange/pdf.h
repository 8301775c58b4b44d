#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QPageLayout>
#include <QString>

class QPagedPaintDevice;

namespace exchange {

// The class list on paper: A4 landscape, the class's name, the date and the number of students
// at the top; a table of the students, its header on every page; "Pàgina n de m" at each foot.
// Blank records are left out and the numbers keep their gaps; a value too long for its column
// wraps within its row. Draws on a PDF writer or a printer alike, pages `primera` to `darrera`
// (0: to the last). Needs a QGuiApplication (the offscreen platform will do).
void dibuixaLlista(QPagedPaintDevice& dispositiu, QByteArrayView registres, const QString& grup,
                   QDate data, int primera = 1, int darrera = 0);

// A4 landscape without margins: the list keeps its own.
QPageLayout paginaDeLaLlista();

}  // namespace exchange
