#include "platform/tecles_mantingudes.h"

#include <QKeyEvent>
#include <QTest>

// Each held key's repeats are told from new presses, whichever way the window system reports
// them. Events are written "S5" (the shortcut check before a press), "P5" (the press), "R5" (a
// release), "F" (another window takes the keyboard), the number being the event's timestamp, "*"
// the toolkit's own repeat mark; each S and P gets "1" when it is a repeat.
class TestTeclesMantingudes : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void repeticions_data();
    void repeticions();
};

void TestTeclesMantingudes::repeticions_data() {
    QTest::addColumn<QString>("events");
    QTest::addColumn<QString>("repeticions");
    QTest::newRow("marcades pel toolkit") << u"S1 P1 R2* S2* P2* R3"_qs << u"0011"_qs;
    QTest::newRow("sense marca: amollada i premuda al mateix moment")
        << u"S1 P1 R5 S5 P5 R9"_qs << u"0011"_qs;
    QTest::newRow("premudes sense amollar") << u"S1 S4 S7 R9"_qs << u"011"_qs;
    QTest::newRow("dues pulsacions") << u"S1 P1 R3 S8 P8 R9"_qs << u"0000"_qs;
    QTest::newRow("una drecera es queda la premuda") << u"S1 R3 S6 R7"_qs << u"00"_qs;
    QTest::newRow("l'amollada es perd sota un diàleg") << u"S1 F F S8 R9"_qs << u"00"_qs;
    QTest::newRow("sense moments, com als tests") << u"S0 P0 R0 S0 P0 R0"_qs << u"0000"_qs;
}

void TestTeclesMantingudes::repeticions() {
    QFETCH(QString, events);
    QFETCH(QString, repeticions);
    platform::ClassificadorDeTecles classificador;
    QString obtingudes;
    for (QString event : events.split(u' ')) {
        if (event == u"F"_qs) {
            classificador.oblida();
            continue;
        }
        const bool marcada = event.endsWith(u'*');
        if (marcada)
            event.chop(1);
        const QChar tipus = event[0];
        QKeyEvent tecla(tipus == u'R' ? QEvent::KeyRelease : QEvent::KeyPress, Qt::Key_N,
                        Qt::ControlModifier, QString(), marcada);
        tecla.setTimestamp(event.mid(1).toULongLong());
        if (tipus == u'R')
            classificador.amollada(tecla);
        else
            obtingudes += classificador.esRepeticio(tecla, tipus == u'S') ? u'1' : u'0';
    }
    QCOMPARE(obtingudes, repeticions);
}

QTEST_MAIN(TestTeclesMantingudes)
#include "tst_tecles_mantingudes.moc"
