#include "record/recompte.h"
#include "record/tipus_alumne.h"

#include <QTest>

#include <stdexcept>

using record::Camp;
using record::TipusAlumne;

class TestTipusAlumne : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void unCampOcupaElSeuLlocIAmpladaExactes_data();
    void unCampOcupaElSeuLlocIAmpladaExactes();
    void elsCampsNoEsTrepitgen();
    void caractersForaDeWindows1252_data();
    void caractersForaDeWindows1252();
    void totsElsBytesTornenIguals();
    void registreCurtOLlargDesdeBytes();
    void recompte_data();
    void recompte();
    void recompteQueNoCapEnUnNumeroDeRegistre();
};

void TestTipusAlumne::unCampOcupaElSeuLlocIAmpladaExactes_data() {
    QTest::addColumn<Camp>("camp");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("desplacament");
    QTest::addColumn<QByteArray>("bytesEsperats");
    QTest::addColumn<QString>("llegit");

    QTest::newRow("nom curt, 42 espais")
        << Camp::Nom << u"Ana"_qs << 0 << QByteArray("Ana") + QByteArray(42, ' ')
        << u"Ana"_qs + QString(42, u' ');
    const QString cinquanta = QString(45, u'x') + u"yyyyy"_qs;
    QTest::newRow("nom de 50, tallat a 45")
        << Camp::Nom << cinquanta << 0 << QByteArray(45, 'x') << QString(45, u'x');
    QTest::newRow("adreça amb ç") << Camp::Adreca << u"Plaça Major"_qs << 45
                                  << QByteArray(
                                         "Pla\xe7"
                                         "a Major") +
                                         QByteArray(19, ' ')
                                  << u"Plaça Major"_qs + QString(19, u' ');
    QTest::newRow("codi postal no numèric")
        << Camp::CodiPostal << u"AB-1234"_qs << 75 << QByteArray("AB-12") << u"AB-12"_qs;
    QTest::newRow("població de cinc, deu espais")
        << Camp::Poblacio << u"Reus!"_qs << 80 << QByteArray("Reus!") + QByteArray(10, ' ')
        << u"Reus!"_qs + QString(10, u' ');
    QTest::newRow("telèfon buit") << Camp::Telefon << QString() << 95 << QByteArray(12, ' ')
                                  << QString(12, u' ');
    QTest::newRow("euro i accents")
        << Camp::Telefon << u"€ àèò"_qs << 95
        << QByteArray("\x80 \xe0\xe8\xf2") + QByteArray(7, ' ') << u"€ àèò"_qs + QString(7, u' ');
}

void TestTipusAlumne::unCampOcupaElSeuLlocIAmpladaExactes() {
    QFETCH(Camp, camp);
    QFETCH(QString, text);
    QFETCH(int, desplacament);
    QFETCH(QByteArray, bytesEsperats);
    QFETCH(QString, llegit);

    TipusAlumne alumne;
    alumne.posa(camp, text);

    QCOMPARE(alumne.bytes().size(), 107);
    QCOMPARE(alumne.bytes().mid(desplacament, bytesEsperats.size()), bytesEsperats);
    QByteArray restaEnBlanc = alumne.bytes();
    restaEnBlanc.replace(desplacament, bytesEsperats.size(), QByteArray(bytesEsperats.size(), ' '));
    QCOMPARE(restaEnBlanc, QByteArray(107, ' '));
    QCOMPARE(alumne.text(camp), llegit);
}

void TestTipusAlumne::elsCampsNoEsTrepitgen() {
    TipusAlumne alumne;
    alumne.posa(Camp::Nom, QString(60, u'N'));
    alumne.posa(Camp::Adreca, QString(60, u'A'));
    alumne.posa(Camp::CodiPostal, QString(60, u'C'));
    alumne.posa(Camp::Poblacio, QString(60, u'P'));
    alumne.posa(Camp::Telefon, QString(60, u'T'));
    QCOMPARE(alumne.bytes(), QByteArray(45, 'N') + QByteArray(30, 'A') + QByteArray(5, 'C') +
                                 QByteArray(15, 'P') + QByteArray(12, 'T'));

    // Storing a shorter text later blanks the rest of that field only.
    alumne.posa(Camp::Adreca, u"c/ Nou"_qs);
    QCOMPARE(alumne.bytes().mid(45, 30), QByteArray("c/ Nou") + QByteArray(24, ' '));
    QCOMPARE(alumne.bytes().mid(75, 5), QByteArray(5, 'C'));
}

void TestTipusAlumne::caractersForaDeWindows1252_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("lletra sense lloc") << u"Łukasz"_qs << QByteArray("?ukas");
    QTest::newRow("fora del pla bàsic, un sol ?") << u"a😀b"_qs << QByteArray("a?b");
    QTest::newRow("U+001A de debò es manté") << u"a\x1a"
                                                "b"_qs
                                             << QByteArray(
                                                    "a\x1a"
                                                    "b");
    QTest::newRow("barreja") << u"\x1a"
                                "Ω€"_qs
                             << QByteArray("\x1a?\x80");
    // Five emoji are five characters: the cut counts characters, not UTF-16 units.
    QTest::newRow("tall per caràcters") << u"😀😀😀😀😀😀"_qs << QByteArray("?????");
    QTest::newRow("invisibles fora, sense ocupar lloc")
        << u"\u200B0\u200C8\u200D0\uFEFF0\u20601"_qs << QByteArray("08001");
    QTest::newRow("invisible i després un sense lloc")
        << u"\u200B\u0141\x1a"_qs << QByteArray("?\x1a");
    QTest::newRow("guionet tou, que sí que hi cap") << u"a\u00ADb"_qs
                                                    << QByteArray(
                                                           "a\xad"
                                                           "b");
    QTest::newRow("suplent alt sol") << u"a"_qs + QChar(0xD800) + u"b"_qs << QByteArray("a?b");
    // Composed before it is cut and stored: five decomposed "é" are five characters.
    QTest::newRow("accents descompostos") << u"e\u0301n\u0303"_qs << QByteArray("\xe9\xf1");
    QTest::newRow("descompostos, tall") << u"e\u0301"_qs.repeated(6) << QByteArray(5, '\xe9');
    QTest::newRow("signe d'angstrom") << u"\u212B"_qs << QByteArray("\xc5");
    QTest::newRow("suplent baix sol") << QString(QChar(0xDC00)) + u"bc"_qs << QByteArray("?bc");
}

void TestTipusAlumne::caractersForaDeWindows1252() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    TipusAlumne alumne;
    alumne.posa(Camp::CodiPostal, text);
    QCOMPARE(alumne.bytes().mid(75, 5), bytes.leftJustified(5, ' '));
}

void TestTipusAlumne::totsElsBytesTornenIguals() {
    // A record read and written back unchanged keeps every byte, the five that Windows-1252
    // leaves undefined included.
    QByteArray tots;
    for (int i = 0; i < 256; ++i)
        tots.append(char(i));
    for (int inici = 0; inici < 256; inici += 107) {
        const QByteArray bytes = (tots + tots).mid(inici, 107);
        const TipusAlumne llegit = TipusAlumne::deBytes(bytes);
        TipusAlumne reescrit;
        for (const auto& disposicio : record::kDisposicio)
            reescrit.posa(disposicio.camp, llegit.text(disposicio.camp));
        QCOMPARE(reescrit.bytes(), bytes);
    }
}

void TestTipusAlumne::registreCurtOLlargDesdeBytes() {
    QCOMPARE(TipusAlumne::deBytes("Ana").bytes(), QByteArray("Ana") + QByteArray(104, ' '));
    QCOMPARE(TipusAlumne::deBytes(QByteArray(200, 'z')).bytes(), QByteArray(107, 'z'));
}

void TestTipusAlumne::recompte_data() {
    QTest::addColumn<qint64>("longitud");
    QTest::addColumn<int>("registres");
    QTest::newRow("buit") << qint64(0) << 0;
    QTest::newRow("53 bytes") << qint64(53) << 0;
    QTest::newRow("54 bytes") << qint64(54) << 1;
    QTest::newRow("un registre") << qint64(107) << 1;
    QTest::newRow("160 bytes") << qint64(160) << 1;
    QTest::newRow("161 bytes") << qint64(161) << 2;
    QTest::newRow("214 bytes") << qint64(214) << 2;
    QTest::newRow("32767 registres") << qint64(3506069) << 32767;
    QTest::newRow("límit") << qint64(3506122) << 32767;
}

void TestTipusAlumne::recompte() {
    QFETCH(qint64, longitud);
    QFETCH(int, registres);
    QCOMPARE(int(record::NombreDeRegistres(longitud, 107)), registres);
}

void TestTipusAlumne::recompteQueNoCapEnUnNumeroDeRegistre() {
    for (const qint64 longitud : {qint64(3506123), qint64(7012138), qint64(1) << 40})
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, record::NombreDeRegistres(longitud, 107));
}

QTEST_APPLESS_MAIN(TestTipusAlumne)
#include "tst_tipus_alumne.moc"
