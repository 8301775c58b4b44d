#include "support/entorn.h"

#include <QAction>

#include <functional>

using platform::Resposta;
using proves::alumneNumero;
using proves::Crida;
using proves::CridesFalses;
using proves::Entorn;
using proves::Operacio;

namespace {

const QString kNoDesat = u"No desat. Ho torno a intentar?"_qs;
const QString kNoLlegit = u"No llegit. Ho torno a intentar?"_qs;
const QString kErrorDisc = u"Hi ha un error de disc"_qs;

// Where the user stands when the command runs: editing record 2 of three, or on a new record 4
// that is not in the file yet.
enum class Inici { EditantElSegon, NouQuart };

struct Ordre {
    QString nom;
    std::function<void(Entorn&)> executa;
};

const QList<Ordre>& ordres() {
    static const QList<Ordre> llista = {
        {u"Gravar pantalla"_qs, [](Entorn& e) { e.clica(u"cmdGravar"_qs); }},
        {u"Següent"_qs, [](Entorn& e) { e.clica(u"cmdSegüent"_qs); }},
        {u"Anterior"_qs, [](Entorn& e) { e.clica(u"cmdAnterior"_qs); }},
        {u"Primer"_qs, [](Entorn& e) { e.clica(u"cmdPrimer"_qs); }},
        {u"Últim"_qs, [](Entorn& e) { e.clica(u"cmdÚltim"_qs); }},
        {u"Nou"_qs, [](Entorn& e) { e.clica(u"cmdNou"_qs); }},
        {u"Tancar"_qs, [](Entorn& e) { e.finestra->Tancar(); }},
        {u"Obrir"_qs, [](Entorn& e) { e.obre(e.temporal.filePath(u"altre"_qs)); }},
    };
    return llista;
}

const Ordre& perNom(const QString& nom) {
    return *std::find_if(ordres().begin(), ordres().end(),
                         [&](const Ordre& o) { return o.nom == nom; });
}

// A save that cannot read back the bytes it covers still saves: only a failed write's put-back
// needs them.
bool lecturaDeRefer(Operacio operacio, Crida crida) {
    return operacio == Operacio::Escriu && crida == Crida::Pread;
}

// The messages the user must see, from the rules of the retry questions and the menu's traps.
QStringList missatgesEsperats(const QString& ordre, Operacio operacio, Crida crida,
                              bool perSempre) {
    if (lecturaDeRefer(operacio, crida))
        return {};
    switch (operacio) {
        case Operacio::Escriu:
            if (perSempre && ordre == u"Gravar pantalla"_qs)
                return {kNoDesat, u"No desat"_qs};
            return {kNoDesat};
        case Operacio::Llegeix:
            if (perSempre && ordre == u"Obrir"_qs)
                return {kNoLlegit, kErrorDisc};
            return {kNoLlegit};
        default:
            return {kErrorDisc};
    }
}

}  // namespace

Q_DECLARE_METATYPE(Inici)
Q_DECLARE_METATYPE(Operacio)
Q_DECLARE_METATYPE(Crida)

// Every command, with each system call it reaches failing once (answered Yes) and for good
// (answered No): what was saved stays saved, nothing else changes, the file never holds part of
// a record, and the user sees exactly the messages the command owes.
class TestFalladesDisc : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void totesLesOrdresAmbCadaFallada_data();
    void totesLesOrdresAmbCadaFallada();
    void cadaDesadaVaAlDisc_data();
    void cadaDesadaVaAlDisc();
    void unFitxerDesaparegutNoEsDesa_data();
    void unFitxerDesaparegutNoEsDesa();
};

void TestFalladesDisc::totesLesOrdresAmbCadaFallada_data() {
    QTest::addColumn<QString>("ordre");
    QTest::addColumn<Inici>("inici");
    QTest::addColumn<Operacio>("operacio");
    QTest::addColumn<Crida>("crida");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("curta");
    QTest::addColumn<bool>("perSempre");

    struct Fallada {
        Operacio operacio;
        Crida crida;
        int error;
        bool curta = false;
    };
    const QList<Fallada> desar = {{Operacio::Escriu, Crida::Fstat, EIO},
                                  {Operacio::Escriu, Crida::Stat, ENOENT},
                                  {Operacio::Escriu, Crida::Pread, EIO},
                                  {Operacio::Escriu, Crida::Pwrite, EIO}};
    const Fallada flush{Operacio::Escriu, Crida::Fdatasync, EIO};
    const Fallada llegir{Operacio::Llegeix, Crida::Pread, EIO};
    const QList<Fallada> tancar = {{Operacio::Tanca, Crida::Fdatasync, EIO},
                                   {Operacio::Tanca, Crida::Close, EIO}};
    const QList<Fallada> obrir = {{Operacio::Obre, Crida::Open, EACCES},
                                  {Operacio::Obre, Crida::Fstat, EIO},
                                  {Operacio::Obre, Crida::Flock, EWOULDBLOCK},
                                  {Operacio::Obre, Crida::Fcntl, EINVAL},
                                  {Operacio::Longitud, Crida::Fstat, EIO}};
    const Fallada discPle{Operacio::Escriu, Crida::Pwrite, ENOSPC, true};

    const auto afegeix = [](const Ordre& o, Inici inici, const Fallada& f) {
        for (const bool perSempre : {false, true}) {
            static const QStringList operacions = {u"obre"_qs, u"longitud"_qs, u"escriu"_qs,
                                                   u"llegeix"_qs, u"tanca"_qs};
            static const QStringList crides = {u"open"_qs,   u"stat"_qs,      u"fstat"_qs,
                                               u"flock"_qs,  u"fcntl"_qs,     u"pread"_qs,
                                               u"pwrite"_qs, u"fdatasync"_qs, u"ftruncate"_qs,
                                               u"close"_qs,  u"unlink"_qs};
            const QString nom =
                QStringLiteral("%1 al %2: %3/%4%5, %6")
                    .arg(o.nom, inici == Inici::NouQuart ? u"nou 4"_qs : u"2"_qs,
                         operacions.value(int(f.operacio)), crides.value(int(f.crida)),
                         f.curta ? u" curta"_qs : QString(),
                         perSempre ? u"per sempre, No"_qs : u"un cop, Sí"_qs);
            QTest::newRow(qPrintable(nom))
                << o.nom << inici << f.operacio << f.crida << f.error << f.curta << perSempre;
        }
    };
    for (const Ordre& o : ordres()) {
        for (const Fallada& f : desar)
            afegeix(o, Inici::EditantElSegon, f);
        afegeix(o, Inici::EditantElSegon, flush);
        if (o.nom != u"Gravar pantalla"_qs && o.nom != u"Nou"_qs && o.nom != u"Tancar"_qs)
            afegeix(o, Inici::EditantElSegon, llegir);
        if (o.nom == u"Tancar"_qs || o.nom == u"Obrir"_qs) {
            for (const Fallada& f : tancar)
                afegeix(o, Inici::EditantElSegon, f);
        }
        if (o.nom == u"Obrir"_qs) {
            for (const Fallada& f : obrir)
                afegeix(o, Inici::EditantElSegon, f);
        }
        // A save that lengthens the file, on a disk that fills up half-way through the record.
        if (o.nom != u"Següent"_qs && o.nom != u"Nou"_qs) {
            afegeix(o, Inici::NouQuart, discPle);
            afegeix(o, Inici::NouQuart, flush);
        }
    }
}

void TestFalladesDisc::totesLesOrdresAmbCadaFallada() {
    QFETCH(QString, ordre);
    QFETCH(Inici, inici);
    QFETCH(Operacio, operacio);
    QFETCH(Crida, crida);
    QFETCH(int, error);
    QFETCH(bool, curta);
    QFETCH(bool, perSempre);

    Entorn e;
    const QByteArray tres = proves::bytesDe({alumneNumero(1), alumneNumero(2), alumneNumero(3)});
    const QString cami = e.fitxer(u"grup"_qs, tres);
    const QByteArray altre = proves::bytesDe({alumneNumero(7), alumneNumero(8)});
    e.fitxer(u"altre"_qs, altre);
    e.obre(cami);
    proves::Alumne editat = alumneNumero(2);
    if (inici == Inici::EditantElSegon) {
        e.clica(u"cmdSegüent"_qs);
        editat.nom = u"Editat"_qs;
    } else {
        e.clica(u"cmdNou"_qs);
        editat = alumneNumero(4);
    }
    e.posaPantalla(editat);
    QVERIFY(e.missatges.mostrats.isEmpty());

    e.missatges.respostes = {perSempre ? Resposta::No : Resposta::Si};
    e.crides.falla(crida, error, perSempre ? CridesFalses::kSempre : 1, int(operacio), curta);
    perNom(ordre).executa(e);
    e.crides.falla(crida, 0, 0);

    QCOMPARE(e.missatges.textos(), missatgesEsperats(ordre, operacio, crida, perSempre));
    // Each disk error's reason is in the journal, in the user's words, naming the file.
    const QStringList discos = e.missatges.textos().filter(u"Hi ha un error de disc"_qs);
    QCOMPARE(e.diari.linies.size(), discos.size());
    for (const QString& linia : e.diari.linies) {
        const bool llegint = operacio == Operacio::Llegeix;  // the read's own question said it
        QVERIFY2(linia.startsWith(u"«Hi ha un error de disc»: no s'ha pogut "_qs) &&
                     (llegint || linia.endsWith(platform::descripcio(error))) &&
                     linia.contains(e.temporal.path()),
                 qPrintable(linia));
    }

    // A save is complete unless its own write was given up.
    const bool desat =
        !(perSempre && operacio == Operacio::Escriu) || lecturaDeRefer(operacio, crida);
    const QByteArray bytes = proves::llegeixFitxer(cami);
    const int registres = inici == Inici::NouQuart && desat ? 4 : 3;
    QCOMPARE(bytes.size(), registres * 107);
    QCOMPARE(bytes.left(107), tres.left(107));
    const QByteArray alQuart = proves::registre(editat).bytes();
    if (inici == Inici::EditantElSegon) {
        QCOMPARE(bytes.mid(107, 107), desat ? alQuart : tres.mid(107, 107));
        QCOMPARE(bytes.mid(214), tres.mid(214));
    } else {
        QCOMPARE(bytes.left(321), tres);
        if (desat)
            QCOMPARE(bytes.mid(321), alQuart);
    }
    QCOMPARE(proves::llegeixFitxer(e.temporal.filePath(u"altre"_qs)), altre);
}

void TestFalladesDisc::cadaDesadaVaAlDisc_data() {
    QTest::addColumn<QString>("ordre");
    QTest::addColumn<int>("sincronitzacions");
    for (const Ordre& o : ordres()) {
        // Tancar flushes its save, then the close flushes once more.
        const bool tanca = o.nom == u"Tancar"_qs || o.nom == u"Obrir"_qs;
        QTest::newRow(qPrintable(o.nom)) << o.nom << (tanca ? 2 : 1);
    }
}

void TestFalladesDisc::cadaDesadaVaAlDisc() {
    QFETCH(QString, ordre);
    QFETCH(int, sincronitzacions);
    Entorn e;
    e.fitxer(u"altre"_qs, proves::bytesDe({alumneNumero(7)}));
    // On the middle one of three, so that every move has somewhere to go.
    e.obre(
        e.fitxer(u"grup"_qs, proves::bytesDe({alumneNumero(1), alumneNumero(2), alumneNumero(3)})));
    e.clica(u"cmdSegüent"_qs);
    const int abans = e.crides.crides(Crida::Fdatasync);
    perNom(ordre).executa(e);
    QCOMPARE(e.crides.crides(Crida::Fdatasync) - abans, sincronitzacions);
}

void TestFalladesDisc::unFitxerDesaparegutNoEsDesa_data() {
    QTest::addColumn<bool>("reanomenat");
    QTest::newRow("esborrat per un altre programa") << false;
    QTest::newRow("reanomenat per un altre programa") << true;
}

void TestFalladesDisc::unFitxerDesaparegutNoEsDesa() {
    QFETCH(bool, reanomenat);
    Entorn e;
    const QByteArray bytes = proves::bytesDe({alumneNumero(1)});
    const QString cami = e.fitxer(u"grup"_qs, bytes);
    e.obre(cami);
    if (reanomenat)
        QVERIFY(QFile::rename(cami, e.temporal.filePath(u"vell"_qs)));
    else
        QVERIFY(QFile::remove(cami));
    e.control(u"txtNom"_qs)->setText(u"Perdut si no s'avisa"_qs);

    e.clica(u"cmdGravar"_qs);

    QCOMPARE(e.missatges.textos(), QStringList({kNoDesat, u"No desat"_qs}));
    if (reanomenat)
        QCOMPARE(proves::llegeixFitxer(e.temporal.filePath(u"vell"_qs)), bytes);
    else
        QVERIFY(!QFileInfo::exists(cami));
}

QTEST_MAIN(TestFalladesDisc)
#include "tst_fallades_disc.moc"
