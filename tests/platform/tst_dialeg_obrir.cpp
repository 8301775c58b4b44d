#include "platform/dialeg_obrir.h"
#include "platform/proveidor_icones.h"
#include "support/fitxers.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>

#include <sys/stat.h>

// The Open-file dialog never reads a listed file: a FIFO nobody writes to would block the read
// for ever. A hang here is the failure (the suite's time limit ends it).
class TestDialegObrir : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { QDir::setCurrent(m_abans); }
    void lesIconesNoLlegeixenElContingut();
    void elDialegLlistaUnFifoSenseBloquejar();
    void datesIMidesEnCatala();

  private:
    QTemporaryDir m_temporal;
    QString m_abans = QDir::currentPath();
};

void TestDialegObrir::initTestCase() {
    QVERIFY(m_temporal.isValid());
    QCOMPARE(::mkfifo(QFile::encodeName(m_temporal.filePath(u"fifo"_qs)).constData(), 0600), 0);
    proves::escriuFitxer(m_temporal.filePath(u"3r A"_qs), "Anna");
    QVERIFY(QDir(m_temporal.path()).mkdir(u"sub"_qs));
    QDir::setCurrent(m_temporal.path());
}

void TestDialegObrir::lesIconesNoLlegeixenElContingut() {
    const platform::ProveidorIcones icones;
    for (const QString& nom : {u"fifo"_qs, u"3r A"_qs, u"sub"_qs}) {
        const QFileInfo info(m_temporal.filePath(nom));
        QVERIFY(!icones.icon(info).isNull());
        QCOMPARE(icones.type(info), nom == u"sub"_qs ? u"Carpeta"_qs : u"Fitxer"_qs);
    }
}

void TestDialegObrir::elDialegLlistaUnFifoSenseBloquejar() {
    QStringList llistats;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()));
        auto* dialeg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* vista = dialeg->findChild<QAbstractItemView*>(u"listView"_qs);
        QVERIFY(vista);
        // The FIFO is gathered with the rest, but a file dialog lists no system entries.
        QTRY_COMPARE(vista->model()->rowCount(vista->rootIndex()), 2);
        for (int i = 0; i < 2; ++i)
            llistats << vista->model()->index(i, 0, vista->rootIndex()).data().toString();
        dialeg->reject();
    });
    platform::DialegObrirQt dialeg;
    QCOMPARE(dialeg.obre(u"Tots els fitxers(*.*)|*.*"_qs), QString());
    llistats.sort();
    QCOMPARE(llistats, QStringList({u"3r A"_qs, u"sub"_qs}));
}

void TestDialegObrir::datesIMidesEnCatala() {
    proves::escriuFitxer(m_temporal.filePath(u"gran"_qs), QByteArray(1500, 'x'));
    const QDateTime data(QDate(2026, 3, 14), QTime(9, 5));
    QFile fitxer(m_temporal.filePath(u"gran"_qs));
    QVERIFY(fitxer.open(QIODevice::ReadWrite));
    QVERIFY(fitxer.setFileTime(data, QFileDevice::FileModificationTime));
    fitxer.close();

    QStringList columnes;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()));
        auto* dialeg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        dialeg->setViewMode(QFileDialog::Detail);
        auto* vista = dialeg->findChild<QTreeView*>(u"treeView"_qs);
        QVERIFY(vista);
        QTRY_COMPARE(vista->model()->rowCount(vista->rootIndex()), 3);
        for (int i = 0; i < 3; ++i) {
            const QModelIndex nom = vista->model()->index(i, 0, vista->rootIndex());
            if (nom.data().toString() == u"gran"_qs) {
                for (int c = 1; c < 4; ++c)
                    columnes << nom.siblingAtColumn(c).data().toString();
            }
        }
        dialeg->reject();
    });
    platform::DialegObrirQt dialeg;
    dialeg.obre(u"Tots els fitxers(*.*)|*.*"_qs);
    const QLocale catala(QLocale::Catalan, QLocale::Spain);
    QCOMPARE(columnes, QStringList({catala.formattedDataSize(1500), u"Fitxer"_qs,
                                    catala.toString(data, QLocale::ShortFormat)}));
    QCOMPARE(columnes.first(), u"1,46 KiB"_qs);
}

// The program's own start: the dialog's locale and the toolkit's Catalan catalogue.
int main(int argc, char** argv) {
    platform::dataINombresEnCatala();
    QApplication app(argc, argv);
    QTranslator traduccio;
    if (traduccio.load(QLocale(QLocale::Catalan), u"qtbase"_qs, u"_"_qs,
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traduccio);
    TestDialegObrir prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_dialeg_obrir.moc"
