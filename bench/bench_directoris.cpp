// How long the two file windows take over a directory of 100,000 files: "Crear fitxer" until it
// is shown with its lists filled, and the Open-file dialog until its list holds every name,
// beside the pass over the directory that dialog cannot do without.
// The directory is made once on tmpfs (or in Q2X7_BENCH_DIRECTORI's folder).
#include "create_dialog/frm_fitxer_crear.h"
#include "platform/dialeg_obrir.h"
#include "platform/missatges.h"
#include "platform/sistema_fitxers.h"
#include "principal.h"
#include "record/noms_fitxer.h"
#include "serveis_fixos.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFitxers = 100000;

QString directoriGran() {
    static QTemporaryDir dir(
        qEnvironmentVariable("Q2X7_BENCH_DIRECTORI", QStringLiteral("/dev/shm")) +
        QStringLiteral("/q2x7-XXXXXX"));
    static const bool fet = [] {
        for (int i = 0; i < kFitxers; ++i) {
            const QByteArray nom = QFile::encodeName(
                dir.filePath(QStringLiteral("alumnes%1.dat").arg(i, 6, 10, QLatin1Char('0'))));
            ::close(::open(nom.constData(), O_CREAT | O_WRONLY, 0644));
        }
        return true;
    }();
    Q_UNUSED(fet);
    return dir.path();
}

void BM_CrearFitxerMostrat(benchmark::State& state) {
    const QString dir = directoriGran();
    SenseMissatges missatges;
    DialegFix dialeg;
    platform::SistemaFitxersReal fs;
    record::NomsFitxer noms;
    QString discAnterior;
    for (auto _ : state) {
        QDir::setCurrent(dir);
        create_dialog::frmFitxerCrear finestra({missatges, dialeg, fs}, noms, discAnterior);
        finestra.show();
        QApplication::processEvents();
        if (finestra.findChild<QListView*>(QStringLiteral("filLlistaFitxers"))
                ->model()
                ->rowCount() != kFitxers)
            state.SkipWithError("the file list is short");
    }
}
BENCHMARK(BM_CrearFitxerMostrat)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The part of "Crear fitxer" that asks the file system: the names, sorted.
void BM_LlistaDeFitxers(benchmark::State& state) {
    const QString dir = directoriGran();
    platform::SistemaFitxersReal fs;
    for (auto _ : state)
        benchmark::DoNotOptimize(fs.fitxers(dir));
}
BENCHMARK(BM_LlistaDeFitxers)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DialegObrirLlistat(benchmark::State& state) {
    const QString dir = directoriGran();
    for (auto _ : state) {
        QFileDialog dialeg(nullptr, QString(), dir);
        platform::preparaDialegObrir(dialeg, QStringLiteral("Tots els fitxers(*.*)|*.*"));
        dialeg.show();
        auto* vista = dialeg.findChild<QAbstractItemView*>(QStringLiteral("listView"));
        if (!QTest::qWaitFor(
                [&] { return vista->model()->rowCount(vista->rootIndex()) == kFitxers; }, 60000))
            state.SkipWithError("the list never filled");
        QApplication::processEvents();
    }
}
BENCHMARK(BM_DialegObrirLlistat)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The dialog's floor: what the toolkit's file model does in its own thread before its list can
// be complete, one pass over the directory asking the system about each entry.
void BM_DialegObrirTerra(benchmark::State& state) {
    const QString dir = directoriGran();
    for (auto _ : state) {
        int directoris = 0;
        QDirIterator entrades(dir, QDir::AllEntries | QDir::System | QDir::Hidden);
        while (entrades.hasNext()) {
            QFileInfo entrada = entrades.nextFileInfo();
            entrada.stat();
            directoris += entrada.isDir() ? 1 : 0;
        }
        benchmark::DoNotOptimize(directoris);
    }
}
BENCHMARK(BM_DialegObrirTerra)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return executaAmbFinestres(argc, argv);
}
