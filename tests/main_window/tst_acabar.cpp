#include "support/entorn.h"

#include <functional>

using platform::Resposta;
using proves::alumneNumero;
using proves::Entorn;
using proves::Operacio;

// Told to end (a signal, the session's logout) at any moment, the program saves the record on
// screen once, shows nothing more, and closes its window.
class TestAcabar : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void acabarDesaUnCopINoMostraResMes_data();
    void acabarDesaUnCopINoMostraResMes();
    void laSessioDemanaDesarIElProgramaContinua();
};

using Preparacio = std::function<void(Entorn&)>;
Q_DECLARE_METATYPE(Preparacio)

void TestAcabar::acabarDesaUnCopINoMostraResMes_data() {
    QTest::addColumn<Preparacio>("prepara");
    QTest::addColumn<QStringList>("missatges");
    QTest::addColumn<int>("escriptures");

    QTest::newRow("sense res obert al davant")
        << Preparacio([](Entorn& e) { e.finestra->Acabar(); }) << QStringList() << 1;
    QTest::newRow("amb el diàleg d'obrir al davant") << Preparacio([](Entorn& e) {
        e.dialegObrir.mentre = [&e] { e.finestra->Acabar(); };
        e.obre(e.fitxer(u"altre"_qs, proves::bytesDe({alumneNumero(7)})));
    }) << QStringList() << 1;
    // The question was up when the end came: closing it answers No, and the end saves.
    QTest::newRow("amb una pregunta de reintent al davant") << Preparacio([](Entorn& e) {
        e.sistemaFitxers.falla(Operacio::Escriu);
        e.missatges.mentre = [&e] { e.finestra->Acabar(); };
        e.clica(u"cmdGravar"_qs);
    }) << QStringList(u"No desat. Ho torno a intentar?"_qs) << 2;
    QTest::newRow("amb una lectura que falla al davant") << Preparacio([](Entorn& e) {
        e.sistemaFitxers.falla(Operacio::Llegeix);
        e.missatges.mentre = [&e] { e.finestra->Acabar(); };
        e.clica(u"cmdSegüent"_qs);
    }) << QStringList(u"No llegit. Ho torno a intentar?"_qs)
                                                         << 2;
}

void TestAcabar::acabarDesaUnCopINoMostraResMes() {
    QFETCH(Preparacio, prepara);
    QFETCH(QStringList, missatges);
    QFETCH(int, escriptures);

    Entorn e;
    e.finestra->show();
    const QString cami = e.fitxer(u"grup"_qs, proves::bytesDe({alumneNumero(1), alumneNumero(2)}));
    e.obre(cami);
    e.control(u"txtNom"_qs)->setText(u"Escrit abans del final"_qs);
    const int abans = e.sistemaFitxers.crides(Operacio::Escriu);

    prepara(e);

    QCOMPARE(e.missatges.textos(), missatges);
    QCOMPARE(e.sistemaFitxers.crides(Operacio::Escriu) - abans, escriptures);
    QCOMPARE(proves::llegeixFitxer(cami).left(22), QByteArray("Escrit abans del final"));
    QCOMPARE(e.noms.NomFitxer, QString());
    QVERIFY(!e.finestra->isVisible());
    // Nothing after the end reaches the user or the file.
    e.clica(u"cmdNou"_qs);
    e.finestra->Obrir();
    QCOMPARE(e.missatges.textos(), missatges);
}

// A session's checkpoint (its commit request without an end): the record on screen reaches the
// disk, and the window, its file and the next move go on as before.
void TestAcabar::laSessioDemanaDesarIElProgramaContinua() {
    Entorn e;
    e.finestra->show();
    const QString cami = e.fitxer(u"grup"_qs, proves::bytesDe({alumneNumero(1), alumneNumero(2)}));
    e.obre(cami);
    e.control(u"txtNom"_qs)->setText(u"Escrit abans del punt"_qs);
    const int sincronitzacions = e.crides.crides(proves::Crida::Fdatasync);

    e.finestra->DesarPerALaSessio();

    QCOMPARE(proves::llegeixFitxer(cami).left(21), QByteArray("Escrit abans del punt"));
    QCOMPARE(e.crides.crides(proves::Crida::Fdatasync) - sincronitzacions, 1);
    QVERIFY(e.finestra->isVisible());
    QCOMPARE(e.noms.NomFitxer, cami);
    e.clica(u"cmdSegüent"_qs);
    QCOMPARE(e.etiqueta(), u"2"_qs);
    QVERIFY(e.missatges.textos().isEmpty());
    // Under a command's box nothing is saved: the command saves by itself.
    e.sistemaFitxers.falla(Operacio::Escriu);
    int desadesSotaLaPregunta = -1;
    e.missatges.mentre = [&e, &desadesSotaLaPregunta] {
        const int abans = e.sistemaFitxers.crides(Operacio::Escriu);
        e.finestra->DesarPerALaSessio();
        desadesSotaLaPregunta = e.sistemaFitxers.crides(Operacio::Escriu) - abans;
    };
    e.missatges.respostes = {Resposta::No, Resposta::Acceptar};
    e.clica(u"cmdGravar"_qs);
    QCOMPARE(desadesSotaLaPregunta, 0);
}

QTEST_MAIN(TestAcabar)
#include "tst_acabar.moc"
