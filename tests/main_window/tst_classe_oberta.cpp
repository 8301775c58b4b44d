// The open class without a window: removals, orderings and the history of changes, on real files
// whose system calls fail on demand.
#include "main_window/classe_oberta.h"
#include "record/noms.h"
#include "support/fakes.h"
#include "support/fitxers.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>

using proves::bytesDe;
using proves::Crida;
using proves::llegeixFitxer;

Q_DECLARE_METATYPE(std::function<void(const QString&)>)

namespace {

// The students of a file by name, "·" for a blank record, "~" for a partial last one.
QStringList noms(const QByteArray& bytes) {
    QStringList noms;
    for (qsizetype i = 0; i < bytes.size(); i += 107) {
        const QByteArray registre = bytes.mid(i, 107);
        const QString nom =
            record::TipusAlumne::deBytes(registre).text(record::Camp::Nom).trimmed();
        noms << (registre.size() < 107 ? u"~"_qs : nom.isEmpty() ? u"·"_qs : nom);
    }
    return noms;
}

QByteArray fitxerDe(const QStringList& noms) {
    QByteArray bytes;
    for (const QString& nom : noms)
        bytes +=
            nom == u"~"_qs ? QByteArray(40, 'p') : bytesDe({{nom == u"·"_qs ? QString() : nom}});
    return bytes;
}

// What another program does to the file behind the window.
using Altre = std::function<void(const QString& cami)>;

Altre afegeix(const QStringList& noms) {
    return [=](const QString& cami) {
        QFile fitxer(cami);
        QVERIFY(fitxer.open(QIODevice::Append));
        fitxer.write(fitxerDe(noms));
    };
}

// Rewrites record `numero` in place and sets the modification time back, as a copy that keeps it
// or a restored backup does.
Altre reescriuAmbLHoraDAbans(int numero, const QString& nom) {
    return [=](const QString& cami) {
        struct stat abans {};
        QCOMPARE(::stat(QFile::encodeName(cami).constData(), &abans), 0);
        // The system's clock for file times moves in ticks of a few milliseconds: a write in
        // the same tick as the window's last would leave the change time as it was.
        QThread::msleep(20);
        QFile fitxer(cami);
        QVERIFY(fitxer.open(QIODevice::ReadWrite));
        fitxer.seek((numero - 1) * 107);
        fitxer.write(fitxerDe({nom}));
        fitxer.close();
        const timespec hores[2] = {abans.st_atim, abans.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(cami).constData(), hores, 0), 0);
    };
}

Altre tallaA(qint64 longitud) {
    return [=](const QString& cami) { QVERIFY(QFile::resize(cami, longitud)); };
}

// Writes a new file beside it and renames it over the name.
Altre substitueix(const QStringList& noms) {
    return [=](const QString& cami) {
        const QString nou = cami + u".nou"_qs;
        proves::escriuFitxer(nou, fitxerDe(noms));
        QCOMPARE(::rename(QFile::encodeName(nou).constData(), QFile::encodeName(cami).constData()),
                 0);
    };
}

struct Classe {
    proves::CridesFalses crides;
    proves::SistemaFitxersFals fitxer{crides};
    ClasseOberta classe{fitxer};
    QTemporaryDir carpeta;
    QString cami = carpeta.filePath(u"3r B"_qs);

    explicit Classe(const QByteArray& bytes, qint16 actual = 1) {
        proves::escriuFitxer(cami, bytes);
        classe.obre(cami, 107);
        classe.compta();
        classe.posaActual(actual);
    }
    QByteArray bytes() const { return llegeixFitxer(cami); }
};

}  // namespace

class TestClasseOberta : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void elimina_data();
    void elimina();
    void ordena_data();
    void ordena();
    void desfesIRefesCadaCanvi_data();
    void desfesIRefesCadaCanvi();
    void unAltreProgramaHiHaEscrit_data();
    void unAltreProgramaHiHaEscrit();
    void desaDespresDUnAltrePrograma_data();
    void desaDespresDUnAltrePrograma();
    void laHistoriaTeUnLimit();
    void unaFalladaNoDeixaMaiUnaBarreja_data();
    void unaFalladaNoDeixaMaiUnaBarreja();
};

// The records after it move up; the screen shows the one that took its place, or the new last.
void TestClasseOberta::elimina_data() {
    QTest::addColumn<QStringList>("abans");
    QTest::addColumn<int>("actual");
    QTest::addColumn<QStringList>("despres");
    QTest::addColumn<int>("mostrat");
    QTest::addColumn<int>("registres");
    const QStringList abc{u"Anna"_qs, u"Bet"_qs, u"Carla"_qs};
    QTest::newRow("el primer") << abc << 1 << QStringList{u"Bet"_qs, u"Carla"_qs} << 1 << 2;
    QTest::newRow("un del mig") << abc << 2 << QStringList{u"Anna"_qs, u"Carla"_qs} << 2 << 2;
    QTest::newRow("el darrer") << abc << 3 << QStringList{u"Anna"_qs, u"Bet"_qs} << 2 << 2;
    QTest::newRow("l'únic") << QStringList{u"Anna"_qs} << 1 << QStringList() << 0 << 0;
    QTest::newRow("un abans d'un registre partit")
        << QStringList{u"Anna"_qs, u"Bet"_qs, u"~"_qs} << 1 << QStringList{u"Bet"_qs, u"~"_qs} << 1
        << 1;
    QTest::newRow("el registre partit")
        << QStringList{u"Anna"_qs, u"~"_qs} << 2 << QStringList{u"Anna"_qs} << 1 << 1;
}

void TestClasseOberta::elimina() {
    QFETCH(QStringList, abans);
    QFETCH(int, actual);
    QFETCH(QStringList, despres);
    QFETCH(int, mostrat);
    QFETCH(int, registres);
    Classe c(fitxerDe(abans), qint16(actual));
    const QByteArray original = c.bytes();

    QCOMPARE(c.classe.elimina(), mostrat);

    QCOMPARE(noms(c.bytes()), despres);
    QCOMPARE(c.bytes().size(),
             original.size() - std::min<qsizetype>(107, original.size() - (actual - 1) * 107));
    QCOMPARE(c.classe.numRegistres(), registres);
    QCOMPARE(c.classe.registreActual(), std::max(mostrat, 1));
    // The blank screen of an emptied class is not saved: the file stays as the teacher left it.
    if (mostrat == 0) {
        QCOMPARE(c.classe.desa(record::TipusAlumne()).escrit, false);
        QCOMPARE(c.bytes(), QByteArray());
    }
}

// Catalan order whatever the session's language; the student on screen keeps its place on screen.
void TestClasseOberta::ordena_data() {
    QTest::addColumn<QStringList>("abans");
    QTest::addColumn<QList<int>>("ordre");  // the records' first places, as ordered
    QTest::addColumn<int>("actual");        // the first place of the one on screen
    QTest::newRow("accents i ce trencada amb les seves lletres")
        << QStringList{u"Comas, Pere"_qs, u"Çanadell, Rosa"_qs, u"Bosch, Lluís"_qs,
                       u"Àlvarez, Pau"_qs, u"Alba, Joan"_qs}
        << QList<int>{4, 3, 2, 1, 0} << 0;
    QTest::newRow("ny amb les enes, com en català")
        << QStringList{u"Muntaner"_qs, u"Muñoz"_qs, u"Munoz"_qs} << QList<int>{2, 1, 0} << 1;
    QTest::newRow("ela geminada com a ela ela")
        << QStringList{u"Colom, Anna"_qs, u"Col·lell, Jordi"_qs, u"Coll, Marc"_qs}
        << QList<int>{2, 1, 0} << 2;
    QTest::newRow("cognoms abans de la coma, després el nom")
        << QStringList{u"Puig Ferrer, Joan"_qs, u"Puig, Marta"_qs, u"Puig, Jan"_qs}
        << QList<int>{2, 1, 0} << 1;
    QTest::newRow("majúscules només entre noms iguals; iguals en el seu ordre; blancs al final")
        << QStringList{{}, u"puig, marta"_qs, u"Pons"_qs, u"Puig, Marta"_qs,
                       {}, u"puig, marta"_qs, u"Abad"_qs}
        << QList<int>{6, 2, 1, 5, 3, 0, 4} << 6;
    QTest::newRow("l'accent no passa davant del nom")
        << QStringList{u"Garcia, Pau"_qs, u"García, Anna"_qs, u"Garcia, Marc"_qs}
        << QList<int>{1, 2, 0} << 0;
    QTest::newRow("les majúscules tampoc")
        << QStringList{u"Puig, Zoe"_qs, u"PUIG, Anna"_qs} << QList<int>{1, 0} << 0;
    QTest::newRow("l'apòstrof no compta")
        << QStringList{u"D'Amat, Pere"_qs, u"Dalmau, Rosa"_qs, u"d'Aragó, Ot"_qs}
        << QList<int>{1, 0, 2} << 0;
    QTest::newRow("un nom de bytes zero és blanc")
        << QStringList{QString(45, QChar(0)), u"Abad"_qs, {}} << QList<int>{1, 0, 2} << 1;
}

// Each record carries its first place as its telephone: the file after holds the very records
// in the order given.
void TestClasseOberta::ordena() {
    QFETCH(QStringList, abans);
    QFETCH(QList<int>, ordre);
    QFETCH(int, actual);
    QList<QByteArray> registres;
    for (int i = 0; i < abans.size(); ++i)
        registres << bytesDe({{abans[i], {}, {}, {}, QString::number(i)}});
    Classe c(registres.join(), qint16(actual + 1));

    const qint16 mostrat = c.classe.ordena();

    QByteArray esperat;
    for (const int i : ordre)
        esperat += registres[i];
    QCOMPARE(c.bytes(), esperat);
    QCOMPARE(mostrat, ordre.indexOf(actual) + 1);
    QCOMPARE(c.classe.registreActual(), mostrat);
}

// Each kind of change, undone, gives back the exact earlier bytes, and done again the same
// bytes it made; the screen goes to the student it concerned.
void TestClasseOberta::desfesIRefesCadaCanvi_data() {
    using Canvi = std::function<void(ClasseOberta&)>;
    QTest::addColumn<QByteArray>("abans");
    QTest::addColumn<Canvi>("canvi");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mostratDesfet");
    const QByteArray tres = bytesDe({{u"Puig, Marta"_qs}, {u"Abad, Pau"_qs}, {u"Mas, Joan"_qs}});
    const auto desa = [](qint16 numero, const QString& nom) {
        return Canvi([=](ClasseOberta& c) {
            c.posaActual(numero);
            c.desa(proves::registre({nom}));
        });
    };
    QTest::newRow("una desada") << tres << desa(2, u"Abad, Pere"_qs) << u"desa «Abad, Pere»"_qs
                                << 2;
    QTest::newRow("un alumne nou")
        << tres << desa(4, u"Nou, Nil"_qs) << u"alumne nou «Nou, Nil»"_qs << 3;
    QTest::newRow("una desada sobre un registre partit")
        << tres + "Sola" << desa(4, u"Sola, Rut"_qs) << u"desa «Sola, Rut»"_qs << 4;
    QTest::newRow("una desada més enllà d'un forat")
        << tres << desa(6, u"Lluny"_qs) << u"alumne nou «Lluny»"_qs << 3;
    QTest::newRow("una eliminació") << tres << Canvi([](ClasseOberta& c) {
        c.posaActual(2);
        c.elimina();
    }) << u"elimina «Abad, Pau»"_qs << 2;
    QTest::newRow("una ordenació amb un registre partit")
        << tres + "Zeta" << Canvi([](ClasseOberta& c) {
               c.posaActual(3);
               c.ordena();
           })
        << u"ordena per nom"_qs << 3;
    QTest::newRow("una importació") << tres + "xx" << Canvi([](ClasseOberta& c) {
        c.afegeix(bytesDe({{u"Nou, Nil"_qs}, {u"Nova, Ona"_qs}}), u"importa 2 alumnes"_qs);
    }) << u"importa 2 alumnes"_qs << 1;
}

void TestClasseOberta::desfesIRefesCadaCanvi() {
    QFETCH(QByteArray, abans);
    QFETCH(std::function<void(ClasseOberta&)>, canvi);
    QFETCH(QString, text);
    QFETCH(int, mostratDesfet);
    Classe c(abans);
    struct stat estat {};
    QCOMPARE(::chmod(QFile::encodeName(c.cami).constData(), 0640), 0);

    canvi(c.classe);
    const QByteArray despres = c.bytes();
    QVERIFY(despres != abans);
    QCOMPARE(c.classe.historia().undoText(), text);

    QCOMPARE(c.classe.desfes(), std::optional<qint16>(qint16(mostratDesfet)));
    QCOMPARE(c.bytes(), abans);
    QCOMPARE(c.classe.historia().redoText(), text);
    QCOMPARE(c.classe.desfes(), std::nullopt);
    QVERIFY(c.classe.refes());
    QCOMPARE(c.bytes(), despres);
    QVERIFY(c.classe.desfes());
    QCOMPARE(c.bytes(), abans);
    // Replaced whole or not, the file keeps its mode and stays where it was.
    QCOMPARE(::stat(QFile::encodeName(c.cami).constData(), &estat), 0);
    QCOMPARE(estat.st_mode & 07777, 0640u);
    QCOMPARE(QDir(c.carpeta.path()).entryList(QDir::Files | QDir::Hidden), QStringList(u"3r B"_qs));
}

// Bytes put back over what another program wrote would mix the two: refused, and nothing changes.
void TestClasseOberta::unAltreProgramaHiHaEscrit_data() {
    QTest::addColumn<Altre>("altre");
    QTest::newRow("hi afegeix un alumne") << afegeix({u"Forana"_qs});
    QTest::newRow("reescriu un registre i torna enrere l'hora")
        << reescriuAmbLHoraDAbans(1, u"Forana"_qs);
}

void TestClasseOberta::unAltreProgramaHiHaEscrit() {
    QFETCH(Altre, altre);
    Classe c(bytesDe({{u"Anna"_qs}, {u"Bet"_qs}}), 2);
    c.classe.elimina();
    altre(c.cami);
    const QByteArray alterat = c.bytes();
    QVERIFY_THROWS_EXCEPTION(ErrorCanviExtern, c.classe.desfes());
    QCOMPARE(c.bytes(), alterat);
    QVERIFY(!c.classe.historia().canUndo());
    // Said once; the history starts again from the file as it now is.
    QCOMPARE(c.classe.desfes(), std::nullopt);
    c.classe.posaActual(1);
    c.classe.elimina();
    QVERIFY(c.classe.desfes());
    QCOMPARE(c.bytes(), alterat);
}

// A save after another program changed the file counts again and never covers that program's
// records nor leaves zero bytes: a new student, or one past a cut end, goes after the last whole
// record. The typing is saved; a screen nothing was typed into is not written at all.
void TestClasseOberta::desaDespresDUnAltrePrograma_data() {
    QTest::addColumn<QStringList>("abans");
    QTest::addColumn<int>("actual");
    QTest::addColumn<bool>("nou");  // the screen is a new student (Nou)
    QTest::addColumn<Altre>("altre");
    QTest::addColumn<QString>("pantalla");  // typed on screen; empty: as read
    QTest::addColumn<QStringList>("despres");
    QTest::addColumn<int>("deFora");
    QTest::addColumn<int>("numero");  // where the screen is now
    const QStringList ab{u"Anna"_qs, u"Bet"_qs};
    const int canviat = int(CanviDeFora::Canviat);
    QTest::newRow("Nou, i un altre n'afegeix un")
        << ab << 2 << true << afegeix({u"Carla"_qs}) << u"Nil"_qs
        << QStringList{u"Anna"_qs, u"Bet"_qs, u"Carla"_qs, u"Nil"_qs} << canviat << 4;
    QTest::newRow("un altre el talla enmig d'un registre")
        << QStringList{u"Anna"_qs, u"Bet"_qs, u"Carla"_qs} << 3 << false << tallaA(160)
        << u"Cesc"_qs << QStringList{u"Anna"_qs, u"Cesc"_qs} << canviat << 2;
    QTest::newRow("un altre el substitueix")
        << ab << 2 << false << substitueix({u"Xènia"_qs, u"Yago"_qs, u"Zoe"_qs}) << u"Bet Mas"_qs
        << QStringList{u"Xènia"_qs, u"Bet Mas"_qs, u"Zoe"_qs} << int(CanviDeFora::Substituit) << 2;
    QTest::newRow("res escrit a la pantalla, amb l'hora d'abans")
        << ab << 2 << false << reescriuAmbLHoraDAbans(2, u"Forana"_qs) << QString()
        << QStringList{u"Anna"_qs, u"Forana"_qs} << canviat << 2;
    QTest::newRow("res escrit a la pantalla, i un altre el talla")
        << ab << 2 << false << tallaA(107) << QString() << QStringList{u"Anna"_qs} << canviat << 1;
}

void TestClasseOberta::desaDespresDUnAltrePrograma() {
    QFETCH(QStringList, abans);
    QFETCH(int, actual);
    QFETCH(bool, nou);
    QFETCH(Altre, altre);
    QFETCH(QString, pantalla);
    QFETCH(QStringList, despres);
    QFETCH(int, deFora);
    QFETCH(int, numero);
    Classe c(fitxerDe(abans), qint16(actual));
    const record::TipusAlumne mostrat = c.classe.llegeix(qint16(actual));
    if (nou)
        QVERIFY(c.classe.nou());
    altre(c.cami);

    const Desat desat = c.classe.desa(pantalla.isEmpty() ? mostrat : proves::registre({pantalla}));

    QCOMPARE(int(desat.deFora), deFora);
    QCOMPARE(desat.escrit, !pantalla.isEmpty());
    QCOMPARE(noms(c.bytes()), despres);
    QVERIFY(!c.bytes().contains(QByteArray(1, '\0')));
    QCOMPARE(c.classe.registreActual(), numero);
    QCOMPARE(c.classe.numRegistres(), despres.size());
    // Said once: the next save writes where it is, with nothing more to say.
    const Desat seguent = c.classe.desa(proves::registre({u"Altra"_qs}));
    QCOMPARE(seguent.deFora, CanviDeFora::Cap);
    QCOMPARE(noms(c.bytes()).value(numero - 1), u"Altra"_qs);
}

void TestClasseOberta::laHistoriaTeUnLimit() {
    Classe c(bytesDe({{u"Anna"_qs}}));
    for (int i = 0; i <= ClasseOberta::kLimitHistoria; ++i)
        c.classe.desa(proves::registre({QString::number(i)}));
    int desfets = 0;
    while (c.classe.desfes())
        ++desfets;
    QCOMPARE(desfets, ClasseOberta::kLimitHistoria);
    QCOMPARE(noms(c.bytes()), QStringList(u"0"_qs));
}

// Every system call of a removal, an ordering, and their undo and redo, failing in turn: the file
// holds the class before or after, and the history says which.
void TestClasseOberta::unaFalladaNoDeixaMaiUnaBarreja_data() {
    QTest::addColumn<QString>("pas");
    QTest::addColumn<Crida>("crida");
    const std::pair<const char*, Crida> crides[] = {
        {"open", Crida::Open},           {"stat", Crida::Stat},           {"fstat", Crida::Fstat},
        {"flock", Crida::Flock},         {"pread", Crida::Pread},         {"pwrite", Crida::Pwrite},
        {"fdatasync", Crida::Fdatasync}, {"ftruncate", Crida::Ftruncate}, {"fchmod", Crida::Fchmod},
        {"linkat", Crida::Linkat},       {"rename", Crida::Rename},       {"fsync", Crida::Fsync},
        {"close", Crida::Close}};
    for (const char* pas : {"elimina", "ordena", "desfés", "refés"}) {
        for (const auto& [nom, crida] : crides)
            QTest::addRow("%s, %s", pas, nom) << QString::fromUtf8(pas) << crida;
    }
}

void TestClasseOberta::unaFalladaNoDeixaMaiUnaBarreja() {
    QFETCH(QString, pas);
    QFETCH(Crida, crida);
    const QByteArray original = bytesDe({{u"Puig"_qs}, {u"Abad"_qs}, {u"Mas"_qs}});
    Classe c(original, 2);
    const bool ordena = pas == u"ordena"_qs;
    const auto fes = [&] { ordena ? c.classe.ordena() : c.classe.elimina(); };
    if (pas == u"desfés"_qs || pas == u"refés"_qs)
        fes();
    if (pas == u"refés"_qs)
        c.classe.desfes();
    const QByteArray abans = c.bytes();
    const int index = c.classe.historia().index();

    c.crides.falla(crida, EIO);
    try {
        if (pas == u"desfés"_qs)
            c.classe.desfes();
        else if (pas == u"refés"_qs)
            c.classe.refes();
        else
            fes();
    } catch (const std::exception&) {
    }
    c.crides.falla(crida, EIO, 0);

    const QByteArray ara = c.bytes();
    const bool fet = c.classe.historia().index() != index;
    QVERIFY(fet ? ara != abans : ara == abans);
    // What is there is one of the two classes, whole.
    QVERIFY(ara == original || noms(ara) == QStringList({u"Puig"_qs, u"Mas"_qs}) ||
            noms(ara) == QStringList({u"Abad"_qs, u"Mas"_qs, u"Puig"_qs}));
    // The channel goes on: the next change is made and undone.
    c.classe.posaActual(1);
    c.classe.desa(proves::registre({u"Vidal"_qs}));
    QVERIFY(c.classe.desfes());
    QCOMPARE(c.bytes(), ara);
}

QTEST_MAIN(TestClasseOberta)
#include "tst_classe_oberta.moc"
