// A child process edits a student file through the real window and the real file channel, and
// logs each save once it has returned; the test kills it with SIGKILL at random moments. After
// every kill, each logged save is in the file, whole, and no record is torn.
#include "main_window/frm_alumnes.h"
#include "support/fakes.h"
#include "support/fitxers.h"

#include <QApplication>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Every field of a version's record names it, so that a record mixing two saves shows.
proves::Alumne alumneDeVersio(int registre, qint64 versio) {
    const QString r = QString::number(registre);
    const QString v = QString::number(versio);
    return {u"R"_qs + r + u" V"_qs + v, u"Carrer "_qs + v, v.right(5), u"R"_qs + r,
            u"V"_qs + v.right(11)};
}

// The child: edits and moves at random, for ever, logging "record version" after each save.
// It writes one byte to `llest` once the file is open, so that the kills land in the editing and
// not in a start-up slowed down by a loaded machine or a sanitizer.
int sessio(const QString& cami, const QString& registre, qint64 versio, int llest) {
    const int log = ::open(QFile::encodeName(registre).constData(),
                           O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    proves::MissatgesFals missatges;
    proves::DialegObrirFals dialeg;
    dialeg.cami = cami;
    platform::SistemaFitxersReal fs;
    record::NomsFitxer noms;
    frmAlumnes finestra({missatges, dialeg, fs}, noms);
    finestra.Obrir();
    if (::write(llest, "1", 1) != 1)
        std::abort();
    ::close(llest);
    const auto caixa = [&](const char16_t* nom) {
        return finestra.findChild<QLineEdit*>(QString::fromUtf16(nom));
    };
    for (;;) {
        const qint16 r = finestra.registreActual();
        const proves::Alumne a = alumneDeVersio(r, ++versio);
        caixa(u"txtNom")->setText(a.nom);
        caixa(u"txtAdreça")->setText(a.adreca);
        caixa(u"txtCodiPostal")->setText(a.codiPostal);
        caixa(u"txtPoblació")->setText(a.poblacio);
        caixa(u"txtTelèfon")->setText(a.telefon);
        bool desa = true;
        switch (QRandomGenerator::global()->bounded(6)) {
            case 0:
                finestra.GravarPantalla();
                break;
            case 1:
                desa = r < finestra.numRegistres();
                finestra.Següent();
                break;
            case 2:
                desa = r > 1;
                finestra.Anterior();
                break;
            case 3:
                finestra.Primer();
                break;
            case 4:
                finestra.Últim();
                break;
            default:
                if (finestra.numRegistres() < 40)
                    finestra.Nou();
                else
                    finestra.Primer();
        }
        if (!missatges.mostrats.isEmpty())
            std::abort();  // nothing may fail here
        if (desa) {
            const QByteArray linia =
                QByteArray::number(r) + ' ' + QByteArray::number(versio) + '\n';
            if (::write(log, linia.constData(), size_t(linia.size())) != linia.size())
                std::abort();
        }
    }
}

}  // namespace

class TestCaiguda : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void lesDesadesSobreviuenAUnSigkill();
};

void TestCaiguda::lesDesadesSobreviuenAUnSigkill() {
    QTemporaryDir temporal;
    const QString cami = temporal.filePath(u"grup"_qs);
    const QString registre = temporal.filePath(u"desades"_qs);
    proves::escriuFitxer(cami, proves::registre(alumneDeVersio(1, 0)).bytes());
    proves::escriuFitxer(registre, {});
    const QRegularExpression nom(u"^R(\\d+) V(\\d+) *$"_qs);
    qint64 versio = 0;
    int mortsAmbDesades = 0;
    qint64 liniesAbans = 0;

    for (int mort = 0; mort < 50; ++mort) {
        int llest[2];
        QCOMPARE(::pipe(llest), 0);
        const pid_t fill = ::fork();
        QVERIFY(fill >= 0);
        if (fill == 0) {
            ::close(llest[0]);
            ::execl("/proc/self/exe", "tst_caiguda", "--sessio", qPrintable(cami),
                    qPrintable(registre), qPrintable(QString::number(versio)),
                    qPrintable(QString::number(llest[1])), nullptr);
            ::_exit(127);
        }
        ::close(llest[1]);
        char byte = 0;
        const bool obert = ::read(llest[0], &byte, 1) == 1;
        ::close(llest[0]);
        if (!obert)
            ::kill(fill, SIGKILL);
        QVERIFY2(obert, "the session did not open the file");
        QTest::qSleep(QRandomGenerator::global()->bounded(240));
        ::kill(fill, SIGKILL);
        int estat = 0;
        QCOMPARE(::waitpid(fill, &estat, 0), fill);
        QVERIFY2(WIFSIGNALED(estat) && WTERMSIG(estat) == SIGKILL, "the session ended by itself");

        QMap<int, qint64> desades;
        for (const QByteArray& linia : proves::llegeixFitxer(registre).split('\n')) {
            const QList<QByteArray> parts = linia.split(' ');
            if (parts.size() == 2)
                desades[parts[0].toInt()] =
                    std::max(desades[parts[0].toInt()], parts[1].toLongLong());
        }
        const QByteArray bytes = proves::llegeixFitxer(cami);
        QCOMPARE(bytes.size() % 107, 0);
        for (int r = 1; r <= bytes.size() / 107; ++r) {
            const record::TipusAlumne llegit =
                record::TipusAlumne::deBytes(bytes.mid((r - 1) * 107, 107));
            const auto trobat = nom.match(llegit.text(record::Camp::Nom));
            QVERIFY2(trobat.hasMatch(), qPrintable(u"record %1 is torn"_qs.arg(r)));
            QCOMPARE(trobat.captured(1).toInt(), r);
            const qint64 v = trobat.captured(2).toLongLong();
            QCOMPARE(llegit, proves::registre(alumneDeVersio(r, v)));
            QVERIFY2(v >= desades.value(r), qPrintable(u"record %1 lost a save"_qs.arg(r)));
            versio = std::max(versio, v);
        }
        for (auto it = desades.cbegin(); it != desades.cend(); ++it) {
            QVERIFY(it.key() <= bytes.size() / 107);
            versio = std::max(versio, it.value());
        }
        const qint64 linies = proves::llegeixFitxer(registre).count('\n');
        mortsAmbDesades += linies > liniesAbans ? 1 : 0;
        liniesAbans = linies;
    }
    qInfo("%d of 50 sessions were killed after saving; last version %lld", mortsAmbDesades, versio);
    QVERIFY(mortsAmbDesades >= 10);
}

int main(int argc, char** argv) {
    if (argc == 6 && qstrcmp(argv[1], "--sessio") == 0) {
        QApplication app(argc, argv);
        return sessio(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                      QByteArray(argv[4]).toLongLong(), QByteArray(argv[5]).toInt());
    }
    QApplication app(argc, argv);
    TestCaiguda prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_caiguda.moc"
