#include "support/entorn.h"

using platform::Resposta;
using proves::alumneNumero;
using proves::Entorn;
using proves::Operacio;
using proves::pantallaDe;

namespace {
const QStringList kBotons = {u"cmdPrimer"_qs,   u"cmdÚltim"_qs, u"cmdSegüent"_qs,
                             u"cmdAnterior"_qs, u"cmdNou"_qs,   u"cmdGravar"_qs};
}

class TestNavegacio : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init();
    void senseFitxerCapBotoFaRes_data();
    void senseFitxerCapBotoFaRes();
    void recorreUnFitxerDeDosRegistres();
    void foraDeLimitsNoEsFaRes();
    void ultimDesaIRellegeixElDarrer();
    void anteriorDesaITornaAlPrimer();
    void primerRellegeixFinsITotEnUnFitxerBuit();
    void ultimEnUnFitxerBuitPreguntaPerLaLectura();
    void nouDesaINetejaSenseEscriure();
    void nouEnUnFitxerBuitNoRepeteixElNumero();
    void nouAmbElFitxerPle();
    void unaDesadaAbandonadaAturaElMoviment_data();
    void unaDesadaAbandonadaAturaElMoviment();
    void unaLecturaAbandonadaNoMouLaPosicio();
    void gravarPantallaAbandonatDiuNoDesat();

  private:
    void obreAmb(int registres);
    std::unique_ptr<Entorn> m_entorn;
    QString m_cami;
};

void TestNavegacio::init() {
    m_entorn = std::make_unique<Entorn>();
    m_entorn->finestra->show();
}

void TestNavegacio::obreAmb(int registres) {
    QByteArray bytes;
    for (int i = 1; i <= registres; ++i)
        bytes += proves::registre(alumneNumero(i)).bytes();
    m_cami = m_entorn->fitxer(u"grup"_qs, bytes);
    m_entorn->obre(m_cami);
    QCOMPARE(m_entorn->finestra->numRegistres(), registres);
}

void TestNavegacio::senseFitxerCapBotoFaRes_data() {
    QTest::addColumn<QString>("boto");
    QTest::addColumn<bool>("tancat");
    for (const QString& boto : kBotons) {
        QTest::newRow(qPrintable(boto + u", mai obert"_qs)) << boto << false;
        QTest::newRow(qPrintable(boto + u", després de Tancar"_qs)) << boto << true;
    }
}

void TestNavegacio::senseFitxerCapBotoFaRes() {
    QFETCH(QString, boto);
    QFETCH(bool, tancat);
    if (tancat) {
        obreAmb(3);
        m_entorn->clica(u"cmdSegüent"_qs);
        m_entorn->finestra->Tancar();
    }
    const QByteArray abans = tancat ? proves::llegeixFitxer(m_cami) : QByteArray();
    const int llegides = m_entorn->sistemaFitxers.crides(Operacio::Llegeix);
    m_entorn->posaPantalla(alumneNumero(9));
    const qint16 registre = m_entorn->finestra->registreActual();
    const qint16 registres = m_entorn->finestra->numRegistres();

    m_entorn->clica(boto);

    QCOMPARE(m_entorn->missatges.textos(), QStringList());
    QCOMPARE(m_entorn->pantalla(),
             QStringList({alumneNumero(9).nom, alumneNumero(9).adreca, alumneNumero(9).codiPostal,
                          alumneNumero(9).poblacio, alumneNumero(9).telefon}));
    QCOMPARE(m_entorn->etiqueta(), QString());
    QCOMPARE(m_entorn->finestra->registreActual(), registre);
    QCOMPARE(m_entorn->finestra->numRegistres(), registres);
    QCOMPARE(m_entorn->sistemaFitxers.crides(Operacio::Llegeix), llegides);
    if (tancat)
        QCOMPARE(proves::llegeixFitxer(m_cami), abans);
}

void TestNavegacio::recorreUnFitxerDeDosRegistres() {
    obreAmb(2);
    QCOMPARE(m_entorn->etiqueta(), u"1"_qs);
    QCOMPARE(m_entorn->pantalla(), pantallaDe(alumneNumero(1)));

    m_entorn->clica(u"cmdSegüent"_qs);
    QCOMPARE(m_entorn->etiqueta(), u"2"_qs);
    QCOMPARE(m_entorn->pantalla(), pantallaDe(alumneNumero(2)));
    QCOMPARE(m_entorn->finestra->registreActual(), 2);

    m_entorn->clica(u"cmdÚltim"_qs);
    QCOMPARE(m_entorn->etiqueta(), u"2"_qs);
    QCOMPARE(m_entorn->finestra->registreActual(), 2);
    QCOMPARE(proves::llegeixFitxer(m_cami), proves::bytesDe({alumneNumero(1), alumneNumero(2)}));
}

void TestNavegacio::foraDeLimitsNoEsFaRes() {
    obreAmb(3);
    m_entorn->control(u"txtNom"_qs)->setText(u"sense desar"_qs);
    const int escrites = m_entorn->sistemaFitxers.crides(Operacio::Escriu);
    m_entorn->clica(u"cmdAnterior"_qs);  // on record 1
    m_entorn->clica(u"cmdÚltim"_qs);
    m_entorn->control(u"txtNom"_qs)->setText(u"sense desar"_qs);
    const int escritesAlDarrer = m_entorn->sistemaFitxers.crides(Operacio::Escriu);
    m_entorn->clica(u"cmdSegüent"_qs);  // on the last record

    QCOMPARE(escritesAlDarrer, escrites + 1);  // only "Últim" saved
    QCOMPARE(m_entorn->sistemaFitxers.crides(Operacio::Escriu), escritesAlDarrer);
    QCOMPARE(m_entorn->finestra->registreActual(), 3);
    QCOMPARE(m_entorn->control(u"txtNom"_qs)->text(), u"sense desar"_qs);
    QVERIFY(m_entorn->missatges.mostrats.isEmpty());
}

void TestNavegacio::ultimDesaIRellegeixElDarrer() {
    obreAmb(3);
    m_entorn->clica(u"cmdÚltim"_qs);
    m_entorn->control(u"txtTelèfon"_qs)->setText(u"600111222"_qs);
    m_entorn->clica(u"cmdÚltim"_qs);
    QCOMPARE(m_entorn->etiqueta(), u"3"_qs);
    QCOMPARE(m_entorn->control(u"txtTelèfon"_qs)->text(), proves::ple(u"600111222"_qs, 12));
    QCOMPARE(proves::llegeixFitxer(m_cami).mid(2 * 107 + 95, 12), QByteArray("600111222   "));
}

void TestNavegacio::anteriorDesaITornaAlPrimer() {
    obreAmb(3);
    m_entorn->clica(u"cmdSegüent"_qs);
    m_entorn->control(u"txtNom"_qs)->setText(u"Segon canviat"_qs);
    m_entorn->clica(u"cmdAnterior"_qs);
    QCOMPARE(m_entorn->etiqueta(), u"1"_qs);
    QCOMPARE(m_entorn->finestra->registreActual(), 1);
    QCOMPARE(m_entorn->pantalla(), pantallaDe(alumneNumero(1)));
    QCOMPARE(proves::llegeixFitxer(m_cami).mid(107, 45),
             proves::ple(u"Segon canviat"_qs, 45).toLatin1());
}

void TestNavegacio::primerRellegeixFinsITotEnUnFitxerBuit() {
    obreAmb(0);
    m_entorn->posaPantalla(alumneNumero(1));
    m_entorn->clica(u"cmdPrimer"_qs);
    // The screen was saved as record 1 and read back from it.
    QCOMPARE(m_entorn->pantalla(), pantallaDe(alumneNumero(1)));
    QCOMPARE(m_entorn->etiqueta(), u"1"_qs);
    QCOMPARE(proves::llegeixFitxer(m_cami), proves::bytesDe({alumneNumero(1)}));
    QCOMPARE(m_entorn->finestra->numRegistres(), 0);
}

void TestNavegacio::ultimEnUnFitxerBuitPreguntaPerLaLectura() {
    obreAmb(0);
    m_entorn->clica(u"cmdÚltim"_qs);
    QCOMPARE(m_entorn->missatges.textos(), QStringList(u"No llegit. Ho torno a intentar?"_qs));
    QCOMPARE(m_entorn->finestra->registreActual(), 1);
    QCOMPARE(m_entorn->etiqueta(), u"1"_qs);
}

void TestNavegacio::nouDesaINetejaSenseEscriure() {
    obreAmb(3);
    m_entorn->clica(u"cmdÚltim"_qs);
    m_entorn->control(u"txtAdreça"_qs)->setText(u"Rambla 3"_qs);
    m_entorn->clica(u"cmdNou"_qs);

    QCOMPARE(m_entorn->pantalla(), QStringList(5, QString()));
    QCOMPARE(m_entorn->etiqueta(), u"4"_qs);
    QCOMPARE(m_entorn->finestra->numRegistres(), 4);
    QCOMPARE(m_entorn->finestra->registreActual(), 4);
    QByteArray bytes = proves::llegeixFitxer(m_cami);
    QCOMPARE(bytes.size(), 321);
    QCOMPARE(bytes.mid(2 * 107 + 45, 8), QByteArray("Rambla 3"));

    m_entorn->posaPantalla(alumneNumero(4));
    m_entorn->clica(u"cmdGravar"_qs);
    QCOMPARE(proves::llegeixFitxer(m_cami).mid(321), proves::bytesDe({alumneNumero(4)}));
}

void TestNavegacio::nouEnUnFitxerBuitNoRepeteixElNumero() {
    obreAmb(0);
    m_entorn->posaPantalla(alumneNumero(1));
    m_entorn->clica(u"cmdGravar"_qs);
    m_entorn->clica(u"cmdNou"_qs);
    QCOMPARE(m_entorn->etiqueta(), u"2"_qs);
    QCOMPARE(m_entorn->finestra->numRegistres(), 2);
    m_entorn->posaPantalla(alumneNumero(2));
    m_entorn->clica(u"cmdNou"_qs);
    QCOMPARE(m_entorn->etiqueta(), u"3"_qs);
    QCOMPARE(proves::llegeixFitxer(m_cami), proves::bytesDe({alumneNumero(1), alumneNumero(2)}));
    // The first student is still there, not overwritten by the second.
    m_entorn->clica(u"cmdPrimer"_qs);
    QCOMPARE(m_entorn->pantalla(), pantallaDe(alumneNumero(1)));
}

void TestNavegacio::nouAmbElFitxerPle() {
    QByteArray bytes = proves::bytesDe({alumneNumero(1)}).repeated(32767);
    bytes.replace(32766 * 107, 107, proves::registre(alumneNumero(7)).bytes());
    m_cami = m_entorn->fitxer(u"ple"_qs, bytes);
    m_entorn->obre(m_cami);
    m_entorn->clica(u"cmdÚltim"_qs);
    QCOMPARE(m_entorn->etiqueta(), u"32767"_qs);
    m_entorn->control(u"txtNom"_qs)->setText(u"Darrer"_qs);

    m_entorn->clica(u"cmdNou"_qs);

    QCOMPARE(m_entorn->missatges.textos(), QStringList(u"El fitxer és ple"_qs));
    QCOMPARE(m_entorn->missatges.mostrats.first().botons, platform::Botons::Acceptar);
    QCOMPARE(m_entorn->finestra->numRegistres(), 32767);
    QCOMPARE(m_entorn->finestra->registreActual(), 32767);
    QCOMPARE(m_entorn->etiqueta(), u"32767"_qs);
    QCOMPARE(m_entorn->control(u"txtNom"_qs)->text(), u"Darrer"_qs);
    const QByteArray despres = proves::llegeixFitxer(m_cami);
    QCOMPARE(despres.size(), bytes.size());
    QCOMPARE(despres.mid(32766 * 107, 6), QByteArray("Darrer"));
}

void TestNavegacio::unaDesadaAbandonadaAturaElMoviment_data() {
    QTest::addColumn<QString>("boto");
    for (const QString& boto :
         {u"cmdPrimer"_qs, u"cmdÚltim"_qs, u"cmdSegüent"_qs, u"cmdAnterior"_qs, u"cmdNou"_qs})
        QTest::newRow(qPrintable(boto)) << boto;
}

void TestNavegacio::unaDesadaAbandonadaAturaElMoviment() {
    QFETCH(QString, boto);
    obreAmb(3);
    m_entorn->clica(u"cmdSegüent"_qs);
    const QByteArray abans = proves::llegeixFitxer(m_cami);
    m_entorn->control(u"txtNom"_qs)->setText(u"no es desa"_qs);
    m_entorn->sistemaFitxers.falla(Operacio::Escriu, proves::SistemaFitxersFals::kSempre);
    const int llegides = m_entorn->sistemaFitxers.crides(Operacio::Llegeix);

    m_entorn->clica(boto);

    QCOMPARE(m_entorn->missatges.textos(), QStringList(u"No desat. Ho torno a intentar?"_qs));
    QCOMPARE(m_entorn->sistemaFitxers.crides(Operacio::Llegeix), llegides);
    QCOMPARE(m_entorn->finestra->registreActual(), 2);
    QCOMPARE(m_entorn->finestra->numRegistres(), 3);
    QCOMPARE(m_entorn->etiqueta(), u"2"_qs);
    QCOMPARE(m_entorn->control(u"txtNom"_qs)->text(), u"no es desa"_qs);
    QCOMPARE(proves::llegeixFitxer(m_cami), abans);
}

void TestNavegacio::unaLecturaAbandonadaNoMouLaPosicio() {
    obreAmb(3);
    m_entorn->control(u"txtNom"_qs)->setText(u"Primer desat"_qs);
    m_entorn->sistemaFitxers.falla(Operacio::Llegeix);
    m_entorn->clica(u"cmdSegüent"_qs);
    QCOMPARE(m_entorn->missatges.textos(), QStringList(u"No llegit. Ho torno a intentar?"_qs));
    QCOMPARE(m_entorn->finestra->registreActual(), 1);
    QCOMPARE(m_entorn->etiqueta(), u"1"_qs);
    QCOMPARE(proves::llegeixFitxer(m_cami).left(12), QByteArray("Primer desat"));

    // Answered Yes, the same move goes through.
    m_entorn->sistemaFitxers.falla(Operacio::Llegeix);
    m_entorn->missatges.respostes = {Resposta::Si};
    m_entorn->clica(u"cmdSegüent"_qs);
    QCOMPARE(m_entorn->finestra->registreActual(), 2);
    QCOMPARE(m_entorn->pantalla(), pantallaDe(alumneNumero(2)));
}

void TestNavegacio::gravarPantallaAbandonatDiuNoDesat() {
    obreAmb(1);
    m_entorn->sistemaFitxers.falla(Operacio::Escriu);
    m_entorn->clica(u"cmdGravar"_qs);
    QCOMPARE(m_entorn->missatges.textos(),
             QStringList({u"No desat. Ho torno a intentar?"_qs, u"No desat"_qs}));
    QCOMPARE(m_entorn->missatges.mostrats.last().botons, platform::Botons::Acceptar);
    QCOMPARE(m_entorn->missatges.mostrats.last().icona, platform::Icona::Cap);

    m_entorn->missatges.mostrats.clear();
    m_entorn->sistemaFitxers.falla(Operacio::Escriu);
    m_entorn->missatges.respostes = {Resposta::Si};
    m_entorn->control(u"txtNom"_qs)->setText(u"Desat"_qs);
    m_entorn->clica(u"cmdGravar"_qs);
    QCOMPARE(m_entorn->missatges.textos(), QStringList(u"No desat. Ho torno a intentar?"_qs));
    QCOMPARE(proves::llegeixFitxer(m_cami).left(5), QByteArray("Desat"));
}

QTEST_MAIN(TestNavegacio)
#include "tst_navegacio.moc"
