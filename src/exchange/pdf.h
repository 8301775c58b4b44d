#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QIODevice>
#include <QString>

namespace exchange {

// A class list to print: A4 landscape, the class's name, the date and the number of students at
// the top; a table of the students, its header on every page; "Pàgina n de m" at each foot.
// Blank records are left out and the numbers keep their gaps; a value too long for its column
// wraps within its row. Needs a QGuiApplication (the offscreen platform will do).
void escriuLlistaPdf(QIODevice& sortida, QByteArrayView registres, const QString& grup, QDate data);

}  // namespace exchange
