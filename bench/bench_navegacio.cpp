// What the window's commands cost on a real file: one press of "Següent" (save the screen and
// flush it, read the next record, show it) beside the bare pwrite+fdatasync+pread it rests on,
// and "Gravar pantalla", on disk and on tmpfs. Runs on the offscreen platform unless told
// otherwise. Q2X7_BENCH_DISC names a folder on disk (default: the current one).
#include "main_window/frm_alumnes.h"
#include "principal.h"
#include "serveis_fixos.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kRegistres = 1000;

QString carpetaDe(int lloc) {
    return lloc == 0 ? qEnvironmentVariable("Q2X7_BENCH_DISC", QDir::currentPath())
                     : QStringLiteral("/dev/shm");
}

QString fitxerDeProva(const QTemporaryDir& dir) {
    const QString cami = dir.filePath(QStringLiteral("grup"));
    platform::SistemaFitxersReal fs;
    fs.obre(cami, 107);
    fs.escriuRegistre(kRegistres, QByteArray(107, 'x'));
    fs.tanca();
    return cami;
}

// The window over a file of kRegistres records, the first one on screen.
struct Finestra {
    SenseMissatges missatges;
    DialegFix dialeg;
    platform::SistemaFitxersReal fs;
    record::NomsFitxer noms;
    frmAlumnes finestra{{missatges, dialeg, fs}, noms};
    explicit Finestra(const QString& cami) : dialeg(cami) { finestra.Obrir(); }
    ~Finestra() { finestra.Tancar(); }
};

void BM_Seguent(benchmark::State& state) {
    QTemporaryDir dir(carpetaDe(int(state.range(0))) + QStringLiteral("/q2x7-XXXXXX"));
    Finestra f(fitxerDeProva(dir));
    for (auto _ : state) {
        if (f.finestra.registreActual() == kRegistres)
            f.finestra.Primer();
        else
            f.finestra.Següent();
    }
}
BENCHMARK(BM_Seguent)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The floor under "Següent": write one record and flush it, read the next, nothing else.
void BM_PwriteSyncPread(benchmark::State& state) {
    QTemporaryDir dir(carpetaDe(int(state.range(0))) + QStringLiteral("/q2x7-XXXXXX"));
    const int descriptor = ::open(QFile::encodeName(fitxerDeProva(dir)).constData(), O_RDWR);
    char registre[107] = {};
    int actual = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(::pwrite(descriptor, registre, 107, off_t(actual - 1) * 107));
        benchmark::DoNotOptimize(::fdatasync(descriptor));
        actual = actual == kRegistres ? 1 : actual + 1;
        benchmark::DoNotOptimize(::pread(descriptor, registre, 107, off_t(actual - 1) * 107));
    }
    ::close(descriptor);
}
BENCHMARK(BM_PwriteSyncPread)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// "Gravar pantalla": the save, flushed like every save.
void BM_GravarPantalla(benchmark::State& state) {
    QTemporaryDir dir(carpetaDe(int(state.range(0))) + QStringLiteral("/q2x7-XXXXXX"));
    Finestra f(fitxerDeProva(dir));
    for (auto _ : state)
        f.finestra.GravarPantalla();
}
BENCHMARK(BM_GravarPantalla)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Prints the usual table, then "Següent" over its floor.
class AmbRatio : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            m_temps[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const char* lloc : {"0", "1"}) {
            const double seguent = m_temps["BM_Seguent/" + std::string(lloc)];
            const double terra = m_temps["BM_PwriteSyncPread/" + std::string(lloc)];
            if (terra > 0)
                std::printf("%s: Següent %.2f us, pwrite+fdatasync+pread %.2f us, ratio %.1f\n",
                            lloc[0] == '0' ? "disc " : "tmpfs", seguent, terra, seguent / terra);
        }
    }

  private:
    std::map<std::string, double> m_temps;
};

}  // namespace

int main(int argc, char** argv) {
    AmbRatio informe;
    return executaAmbFinestres(argc, argv, &informe);
}
