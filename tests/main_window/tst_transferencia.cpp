#include "support/entorn.h"

using platform::Resposta;
using proves::Alumne;
using proves::Entorn;
using proves::Operacio;

Q_DECLARE_METATYPE(QList<Resposta>)

namespace {
const QString kNoDesat = u"No desat. Ho torno a intentar?"_qs;
const QString kNoLlegit = u"No llegit. Ho torno a intentar?"_qs;
const Alumne kPrimer = proves::alumneNumero(1);
const Alumne kSegon = proves::alumneNumero(2);
}  // namespace

class TestTransferencia : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init();
    void reintents_data();
    void gravarAmbReintents_data() { reintents_data(); }
    void gravarAmbReintents();
    void llegirAmbReintents_data() { reintents_data(); }
    void llegirAmbReintents();
    void unNomMassaLlargEsTalla();
    void elsCampsArribenAmbElsSeusEspais();
    void cadaFilaVaAlSeuCamp();
    void netejarPantalla();

  private:
    std::unique_ptr<Entorn> m_entorn;
    QString m_cami;
};

void TestTransferencia::init() {
    m_entorn = std::make_unique<Entorn>();
    m_cami = m_entorn->fitxer(u"grup"_qs, proves::bytesDe({kPrimer, kSegon}));
    m_entorn->obre(m_cami);
    QCOMPARE(m_entorn->pantalla(), proves::pantallaDe(kPrimer));
}

void TestTransferencia::reintents_data() {
    QTest::addColumn<int>("fallades");
    QTest::addColumn<QList<Resposta>>("respostes");
    QTest::addColumn<bool>("resultat");
    QTest::addColumn<int>("preguntes");

    QTest::newRow("sense fallada") << 0 << QList<Resposta>{} << true << 0;
    QTest::newRow("falla un cop, Sí") << 1 << QList<Resposta>{Resposta::Si} << true << 1;
    QTest::newRow("falla dos cops, Sí, Sí")
        << 2 << QList<Resposta>{Resposta::Si, Resposta::Si} << true << 2;
    QTest::newRow("falla, No") << 1 << QList<Resposta>{Resposta::No} << false << 1;
    QTest::newRow("falla sempre, Sí i després No")
        << proves::SistemaFitxersFals::kSempre
        << QList<Resposta>{Resposta::Si, Resposta::Si, Resposta::No} << false << 3;
}

void TestTransferencia::gravarAmbReintents() {
    QFETCH(int, fallades);
    QFETCH(QList<Resposta>, respostes);
    QFETCH(bool, resultat);
    QFETCH(int, preguntes);

    const Alumne nou{u"Nova"_qs, u"Av. Diagonal 1"_qs, u"08001"_qs, u"Barcelona"_qs,
                     u"931234567"_qs};
    m_entorn->posaPantalla(nou);
    m_entorn->sistemaFitxers.falla(Operacio::Escriu, fallades);
    m_entorn->missatges.respostes = respostes;

    QCOMPARE(m_entorn->finestra->GravarRegistre(), resultat);

    QCOMPARE(m_entorn->missatges.textos(), QStringList(preguntes, kNoDesat));
    for (const auto& missatge : m_entorn->missatges.mostrats) {
        QCOMPARE(missatge.botons, platform::Botons::SiNo);
        QCOMPARE(missatge.icona, platform::Icona::Cap);
    }
    const QByteArray esperat = proves::bytesDe({resultat ? nou : kPrimer, kSegon});
    QCOMPARE(proves::llegeixFitxer(m_cami), esperat);
    if (resultat)  // written once, after the failed tries
        QCOMPARE(m_entorn->sistemaFitxers.crides(Operacio::Escriu), preguntes + 1);
}

void TestTransferencia::llegirAmbReintents() {
    QFETCH(int, fallades);
    QFETCH(QList<Resposta>, respostes);
    QFETCH(bool, resultat);
    QFETCH(int, preguntes);

    m_entorn->sistemaFitxers.falla(Operacio::Llegeix, fallades);
    m_entorn->missatges.respostes = respostes;

    QCOMPARE(m_entorn->finestra->LlegirRegistre(2), resultat);

    QCOMPARE(m_entorn->missatges.textos(), QStringList(preguntes, kNoLlegit));
    // The label changes only once the whole record is on screen; the position never does.
    QCOMPARE(m_entorn->etiqueta(), resultat ? u"2"_qs : u"1"_qs);
    QCOMPARE(m_entorn->pantalla(), proves::pantallaDe(resultat ? kSegon : kPrimer));
    QCOMPARE(m_entorn->finestra->registreActual(), 1);
}

void TestTransferencia::unNomMassaLlargEsTalla() {
    const QString seixanta = QString(45, u'L') + QString(15, u'm');
    m_entorn->control(u"txtNom"_qs)->setText(seixanta);
    QVERIFY(m_entorn->finestra->GravarRegistre());
    QCOMPARE(proves::llegeixFitxer(m_cami).left(45), QByteArray(45, 'L'));
    QCOMPARE(proves::llegeixFitxer(m_cami).size(), 214);

    QVERIFY(m_entorn->finestra->LlegirRegistre(1));
    QCOMPARE(m_entorn->control(u"txtNom"_qs)->text(), QString(45, u'L'));
}

void TestTransferencia::elsCampsArribenAmbElsSeusEspais() {
    m_entorn->fitxer(u"grup"_qs, proves::bytesDe({{u"Pau"_qs, {}, {}, u"Olot"_qs, {}}}));
    QVERIFY(m_entorn->finestra->LlegirRegistre(1));
    QCOMPARE(m_entorn->control(u"txtPoblació"_qs)->text(), u"Olot"_qs + QString(11, u' '));
    QCOMPARE(m_entorn->control(u"txtNom"_qs)->text(), u"Pau"_qs + QString(42, u' '));
    QCOMPARE(m_entorn->control(u"txtTelèfon"_qs)->text(), QString(12, u' '));
}

void TestTransferencia::cadaFilaVaAlSeuCamp() {
    // The user types into the rows as labelled; on screen the town comes before the postal code.
    const auto filaDe = [&](const QString& etiqueta) {
        for (QLabel* l : m_entorn->finestra->findChildren<QLabel*>()) {
            if (l->text() == etiqueta)
                return l->y();
        }
        return -1;
    };
    QLineEdit* poblacio = m_entorn->control(u"txtPoblació"_qs);
    QLineEdit* codi = m_entorn->control(u"txtCodiPostal"_qs);
    QCOMPARE(poblacio->y(), filaDe(u"Població:"_qs));
    QCOMPARE(codi->y(), filaDe(u"Codi postal:"_qs));
    QVERIFY(poblacio->y() < codi->y());

    poblacio->setText(u"Vilafranca del Penedès"_qs);
    codi->setText(u"08720"_qs);
    QVERIFY(m_entorn->finestra->GravarRegistre());
    const QByteArray bytes = proves::llegeixFitxer(m_cami);
    QCOMPARE(bytes.mid(75, 5), QByteArray("08720"));
    QCOMPARE(bytes.mid(80, 15), QByteArray("Vilafranca del "));
}

void TestTransferencia::netejarPantalla() {
    m_entorn->control(u"txtNomFitxer"_qs)->setText(u"queda"_qs);
    m_entorn->finestra->NetejarPantalla();
    QCOMPARE(m_entorn->pantalla(), QStringList(5, QString()));
    QCOMPARE(m_entorn->etiqueta(), QString());
    QCOMPARE(m_entorn->control(u"txtNomFitxer"_qs)->text(), u"queda"_qs);
    QCOMPARE(m_entorn->finestra->registreActual(), 1);
    QCOMPARE(proves::llegeixFitxer(m_cami), proves::bytesDe({kPrimer, kSegon}));
}

QTEST_MAIN(TestTransferencia)
#include "tst_transferencia.moc"
