#include "platform/dialeg_obrir.h"
#include "platform/sistema_fitxers.h"
#include "support/crides_falses.h"
#include "support/fitxers.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>

using platform::ErrorFitxer;
using platform::SistemaFitxersReal;

Q_DECLARE_METATYPE(proves::Crida)

class TestSistemaFitxers : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init() {
        m_temporal = std::make_unique<QTemporaryDir>();
        QVERIFY(m_temporal->isValid());
    }
    void obrirCreaElFitxerBuit();
    void escriureMesEnllaAllargaElFitxer();
    void llegirMesEnllaDonaEspais();
    void registreQueEsTornaALlegir();
    void unRegistreEntreDuesPaginesVaSencer_data();
    void unRegistreEntreDuesPaginesVaSencer();
    void errorsDelCanal_data();
    void errorsDelCanal();
    void refusaElQueNoEsUnFitxerNormal();
    void unSegonTitularNoPotObrirElMateixFitxer();
    void obrirEsborraLesCopiesDeixades();
    void esborrar();
    void unEsborratQueFallaDeixaElFitxer_data();
    void unEsborratQueFallaDeixaElFitxer();
    void elDirectoriArribaAlDisc_data();
    void elDirectoriArribaAlDisc();
    void directoriActualIPerUnitat();
    void unitatDe_data();
    void unitatDe();
    void llistes();
    void filtreDelDialeg();

  private:
    QString cami(const QString& nom) const { return m_temporal->filePath(nom); }
    std::unique_ptr<QTemporaryDir> m_temporal;
};

void TestSistemaFitxers::obrirCreaElFitxerBuit() {
    SistemaFitxersReal fs;
    fs.obre(cami(u"nou"_qs), 107);
    QCOMPARE(fs.longitud(), 0);
    fs.tanca();
    QVERIFY(QFileInfo::exists(cami(u"nou"_qs)));
    QCOMPARE(QFileInfo(cami(u"nou"_qs)).size(), 0);
}

// A kill between the two pages of one write would leave record 39 (bytes 4066 to 4172) half
// old: it goes into a new file that takes the name. Records within a page, and a file with a
// second name, are written in place.
void TestSistemaFitxers::unRegistreEntreDuesPaginesVaSencer_data() {
    QTest::addColumn<int>("numero");
    QTest::addColumn<bool>("enllac");
    QTest::addColumn<bool>("nouFitxer");
    QTest::newRow("el 39, entre dues pàgines") << 39 << false << true;
    QTest::newRow("el 38, dins d'una pàgina") << 38 << false << false;
    QTest::newRow("el 39 d'un fitxer amb dos noms") << 39 << true << false;
    QTest::newRow("el 77, més enllà del final, entre dues pàgines") << 77 << false << true;
}

void TestSistemaFitxers::unRegistreEntreDuesPaginesVaSencer() {
    QFETCH(int, numero);
    QFETCH(bool, enllac);
    QFETCH(bool, nouFitxer);
    const QByteArray abans(40 * 107, 'a');
    proves::escriuFitxer(cami(u"grup"_qs), abans);
    if (enllac)
        QCOMPARE(::link(QFile::encodeName(cami(u"grup"_qs)).constData(),
                        QFile::encodeName(cami(u"segon"_qs)).constData()),
                 0);
    struct stat estat {};
    ::stat(QFile::encodeName(cami(u"grup"_qs)).constData(), &estat);
    const ino_t inode = estat.st_ino;
    SistemaFitxersReal fs;
    fs.obre(cami(u"grup"_qs), 107);

    fs.escriuRegistre(qint16(numero), QByteArray(107, 'N'));

    QByteArray esperat = abans;
    esperat.append(std::max<qsizetype>(0, (numero - 1) * 107 - esperat.size()), '\0');
    esperat.replace((numero - 1) * 107, 107, QByteArray(107, 'N'));
    QCOMPARE(proves::llegeixFitxer(cami(u"grup"_qs)), esperat);
    QCOMPARE(fs.llegeixRegistre(qint16(numero)), QByteArray(107, 'N'));
    ::stat(QFile::encodeName(cami(u"grup"_qs)).constData(), &estat);
    QCOMPARE(estat.st_ino != inode, nouFitxer);
}

void TestSistemaFitxers::escriureMesEnllaAllargaElFitxer() {
    SistemaFitxersReal fs;
    fs.obre(cami(u"f"_qs), 107);
    const QByteArray registre = proves::registre({u"Tercer"_qs}).bytes();
    fs.escriuRegistre(3, registre);
    QCOMPARE(fs.longitud(), 321);
    fs.tanca();

    const QByteArray bytes = proves::llegeixFitxer(cami(u"f"_qs));
    QCOMPARE(bytes.size(), 321);
    QCOMPARE(bytes.mid(214), registre);
    // The gap holds what the file system gives: zeros.
    QCOMPARE(bytes.left(214), QByteArray(214, '\0'));
}

void TestSistemaFitxers::llegirMesEnllaDonaEspais() {
    proves::escriuFitxer(cami(u"f"_qs), QByteArray(160, 'a'));
    SistemaFitxersReal fs;
    fs.obre(cami(u"f"_qs), 107);
    QCOMPARE(fs.llegeixRegistre(2), QByteArray(53, 'a') + QByteArray(54, ' '));
    QCOMPARE(fs.llegeixRegistre(9), QByteArray(107, ' '));
}

void TestSistemaFitxers::registreQueEsTornaALlegir() {
    SistemaFitxersReal fs;
    fs.obre(cami(u"f"_qs), 107);
    const QByteArray primer = proves::registre({u"Anna"_qs, u"Pl. Vella 1"_qs}).bytes();
    const QByteArray segon = proves::registre({u"Berta"_qs}).bytes();
    fs.escriuRegistre(1, primer);
    fs.escriuRegistre(2, segon);
    fs.escriuRegistre(1, primer);
    QCOMPARE(fs.llegeixRegistre(1), primer);
    QCOMPARE(fs.llegeixRegistre(2), segon);
    QCOMPARE(fs.longitud(), 214);
}

void TestSistemaFitxers::errorsDelCanal_data() {
    QTest::addColumn<bool>("obert");
    QTest::addColumn<int>("numero");
    QTest::addColumn<ErrorFitxer::Tipus>("tipus");
    QTest::newRow("registre 0") << true << 0 << ErrorFitxer::Tipus::NumeroRegistreIncorrecte;
    QTest::newRow("registre negatiu") << true << -5 << ErrorFitxer::Tipus::NumeroRegistreIncorrecte;
    QTest::newRow("canal tancat") << false << 1 << ErrorFitxer::Tipus::NumeroFitxerIncorrecte;
}

void TestSistemaFitxers::errorsDelCanal() {
    QFETCH(bool, obert);
    QFETCH(int, numero);
    QFETCH(ErrorFitxer::Tipus, tipus);

    SistemaFitxersReal fs;
    if (obert)
        fs.obre(cami(u"f"_qs), 107);
    const auto esperaError = [&](auto&& operacio) {
        try {
            operacio();
            QFAIL("no ha fallat");
        } catch (const ErrorFitxer& error) {
            QCOMPARE(error.tipus(), tipus);
        }
    };
    esperaError([&] { fs.escriuRegistre(qint16(numero), QByteArray(107, 'x')); });
    esperaError([&] { fs.llegeixRegistre(qint16(numero)); });
    if (!obert) {
        esperaError([&] { fs.longitud(); });
        fs.tanca();  // harmless on a closed channel
    } else {
        QCOMPARE(fs.longitud(), 0);  // nothing was written
    }
}

void TestSistemaFitxers::refusaElQueNoEsUnFitxerNormal() {
    QVERIFY(QDir(m_temporal->path()).mkdir(u"sub"_qs));
    QCOMPARE(::mkfifo(QFile::encodeName(cami(u"fifo"_qs)).constData(), 0600), 0);
    SistemaFitxersReal fs;
    for (const QString& nom : {u"sub"_qs, u"fifo"_qs, u"no/existeix/f"_qs})
        QVERIFY_THROWS_EXCEPTION(ErrorFitxer, fs.obre(cami(nom), 107));
    QVERIFY_THROWS_EXCEPTION(ErrorFitxer, fs.obre(QString(), 107));
    // The channel stays free after a refused open.
    fs.obre(cami(u"bo"_qs), 107);
}

void TestSistemaFitxers::unSegonTitularNoPotObrirElMateixFitxer() {
    SistemaFitxersReal primer;
    SistemaFitxersReal segon;
    primer.obre(cami(u"f"_qs), 107);
    QVERIFY_THROWS_EXCEPTION(ErrorFitxer, segon.obre(cami(u"f"_qs), 107));
    primer.tanca();
    segon.obre(cami(u"f"_qs), 107);
}

// An ordering killed before its copy took the name left it beside the class; the next open takes
// it away, and nothing else: not a newer copy (another run's, under way), not another class's.
void TestSistemaFitxers::obrirEsborraLesCopiesDeixades() {
    const auto posaHora = [](const QString& nom, qint64 segons) {
        const timespec hores[2] = {{segons, 0}, {segons, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(nom).constData(), hores, 0), 0);
    };
    const qint64 ara = QDateTime::currentSecsSinceEpoch();
    for (const auto& [nom, hora] : {std::pair{u".3r B.k2x9q"_qs, qint64(1000000000)},
                                    {u".3r B.k2x9r"_qs, ara + 3600},
                                    {u".3r B.notes.txt"_qs, qint64(1000000000)},
                                    {u".4t A.k2x9q"_qs, qint64(1000000000)}}) {
        proves::escriuFitxer(cami(nom), QByteArray(107, 'x'));
        posaHora(cami(nom), hora);
    }
    SistemaFitxersReal fitxer;
    fitxer.obre(cami(u"3r B"_qs), 107);
    QCOMPARE(
        QDir(m_temporal->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
        QStringList({u".3r B.k2x9r"_qs, u".3r B.notes.txt"_qs, u".4t A.k2x9q"_qs, u"3r B"_qs}));
}

void TestSistemaFitxers::esborrar() {
    proves::escriuFitxer(cami(u"vell"_qs), "x");
    SistemaFitxersReal fs;
    fs.esborra(cami(u"vell"_qs));
    QVERIFY(!QFileInfo::exists(cami(u"vell"_qs)));
    QVERIFY_THROWS_EXCEPTION(ErrorFitxer, fs.esborra(cami(u"vell"_qs)));

    // A file another holder has open is busy and stays.
    SistemaFitxersReal altre;
    altre.obre(cami(u"obert"_qs), 107);
    QVERIFY_THROWS_EXCEPTION(ErrorFitxer, fs.esborra(cami(u"obert"_qs)));
    QVERIFY(QFileInfo::exists(cami(u"obert"_qs)));
}

void TestSistemaFitxers::unEsborratQueFallaDeixaElFitxer_data() {
    QTest::addColumn<proves::Crida>("crida");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("esborrat");
    QTest::newRow("unlink: permís denegat") << proves::Crida::Unlink << EACCES << false;
    QTest::newRow("unlink: ocupat") << proves::Crida::Unlink << EBUSY << false;
    // Without a descriptor the lock cannot be asked for; the delete still goes ahead.
    QTest::newRow("open per al bloqueig") << proves::Crida::Open << EACCES << true;
}

void TestSistemaFitxers::unEsborratQueFallaDeixaElFitxer() {
    QFETCH(proves::Crida, crida);
    QFETCH(int, error);
    QFETCH(bool, esborrat);
    proves::escriuFitxer(cami(u"vell"_qs), "x");
    proves::CridesFalses crides;
    crides.falla(crida, error);
    SistemaFitxersReal fs(crides);
    if (esborrat)
        fs.esborra(cami(u"vell"_qs));
    else
        QVERIFY_THROWS_EXCEPTION(ErrorFitxer, fs.esborra(cami(u"vell"_qs)));
    QCOMPARE(QFileInfo::exists(cami(u"vell"_qs)), !esborrat);
}

// A file made or removed is only safe from a power cut once its folder is flushed too; a folder
// that cannot be flushed fails the command.
void TestSistemaFitxers::elDirectoriArribaAlDisc_data() {
    QTest::addColumn<QString>("ordre");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("sincronitzacions");
    QTest::addColumn<bool>("falla");
    QTest::newRow("crear") << u"crear"_qs << 0 << 1 << false;
    QTest::newRow("crear, EIO") << u"crear"_qs << EIO << 1 << true;
    QTest::newRow("crear, EINVAL: no en sap") << u"crear"_qs << EINVAL << 1 << false;
    QTest::newRow("obrir un que existeix") << u"obrir"_qs << EIO << 0 << false;
    QTest::newRow("esborrar") << u"esborrar"_qs << 0 << 1 << false;
    QTest::newRow("esborrar, EIO") << u"esborrar"_qs << EIO << 1 << true;
}

void TestSistemaFitxers::elDirectoriArribaAlDisc() {
    QFETCH(QString, ordre);
    QFETCH(int, error);
    QFETCH(int, sincronitzacions);
    QFETCH(bool, falla);
    const bool esborra = ordre == u"esborrar"_qs;
    if (ordre != u"crear"_qs)
        proves::escriuFitxer(cami(u"grup"_qs), "x");
    proves::CridesFalses crides;
    if (error)
        crides.falla(proves::Crida::Fsync, error);
    SistemaFitxersReal fs(crides);
    const auto executa = [&] {
        if (esborra)
            fs.esborra(cami(u"grup"_qs));
        else
            fs.obre(cami(u"grup"_qs), 107);
    };
    if (falla)
        QVERIFY_THROWS_EXCEPTION(ErrorFitxer, executa());
    else
        executa();
    QCOMPARE(crides.crides(proves::Crida::Fsync), sincronitzacions);
    // A failed open leaves nothing open behind it.
    if (!esborra && falla)
        QVERIFY_THROWS_EXCEPTION(ErrorFitxer, fs.longitud());
}

void TestSistemaFitxers::directoriActualIPerUnitat() {
    const QString abans = QDir::currentPath();
    QVERIFY(QDir(m_temporal->path()).mkpath(u"a/b"_qs));
    SistemaFitxersReal fs;
    const QString b = QDir(cami(u"a/b"_qs)).canonicalPath();
    fs.canviaDirectoriActual(b);
    QCOMPARE(fs.directoriActual(), b);
    QCOMPARE(fs.directoriDeUnitat(platform::unitatDe(fs.unitats(), b)), b);
    QVERIFY_THROWS_EXCEPTION(ErrorFitxer, fs.canviaDirectoriActual(cami(u"cap"_qs)));
    QCOMPARE(fs.directoriActual(), b);
    QVERIFY(fs.unitats().startsWith(u"/"_qs));
    QDir::setCurrent(abans);
}

void TestSistemaFitxers::unitatDe_data() {
    QTest::addColumn<QString>("cami");
    QTest::addColumn<QString>("unitat");
    QTest::newRow("arrel") << u"/"_qs << u"/"_qs;
    QTest::newRow("sota l'arrel") << u"/usr/lib"_qs << u"/"_qs;
    QTest::newRow("muntatge") << u"/media/usb/dades"_qs << u"/media/usb"_qs;
    QTest::newRow("el muntatge mateix") << u"/media/usb"_qs << u"/media/usb"_qs;
    QTest::newRow("nom que comença igual") << u"/media/usb2/x"_qs << u"/"_qs;
}

void TestSistemaFitxers::unitatDe() {
    QFETCH(QString, cami);
    QFETCH(QString, unitat);
    QCOMPARE(platform::unitatDe({u"/"_qs, u"/media/usb"_qs}, cami), unitat);
}

void TestSistemaFitxers::llistes() {
    QDir dir(m_temporal->path());
    QVERIFY(dir.mkdir(u"zeta"_qs) && dir.mkdir(u"Alfa"_qs));
    for (const QString& nom : {u"Text1"_qs, u"b.dat"_qs, u"a.dat"_qs, u"C"_qs})
        proves::escriuFitxer(dir.filePath(nom), {});
    SistemaFitxersReal fs;
    QCOMPARE(fs.fitxers(dir.path()), QStringList({u"a.dat"_qs, u"b.dat"_qs, u"C"_qs, u"Text1"_qs}));
    QCOMPARE(fs.subdirectoris(dir.path()), QStringList({u"Alfa"_qs, u"zeta"_qs}));
    QVERIFY_THROWS_EXCEPTION(ErrorFitxer, fs.fitxers(dir.filePath(u"cap"_qs)));
}

void TestSistemaFitxers::filtreDelDialeg() {
    // "*.*" must list names without a dot too.
    QCOMPARE(platform::filtresDelDialeg(u"Tots els fitxers(*.*)|*.*"_qs),
             QStringList(u"Tots els fitxers(*.*) (*)"_qs));
    QCOMPARE(platform::filtresDelDialeg(u"Dades|*.dat;*.txt|Tots|*.*"_qs),
             QStringList({u"Dades (*.dat *.txt)"_qs, u"Tots (*)"_qs}));
}

QTEST_GUILESS_MAIN(TestSistemaFitxers)
#include "tst_sistema_fitxers.moc"
