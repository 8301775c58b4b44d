// How long the record layer takes: field conversion, the record count, and the file channel's
// reads and writes on a real file.
#include "platform/sistema_fitxers.h"
#include "record/recompte.h"
#include "record/tipus_alumne.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using record::Camp;

namespace {

const QString kNom = QStringLiteral("Maria Dolors Vilaseca i Puigdomènech");
const QString kAdreca = QStringLiteral("Passeig de Gràcia, 123, 4t 2a");

record::TipusAlumne alumneDeMostra() {
    record::TipusAlumne alumne;
    alumne.posa(Camp::Nom, kNom);
    alumne.posa(Camp::Adreca, kAdreca);
    alumne.posa(Camp::CodiPostal, QStringLiteral("08008"));
    alumne.posa(Camp::Poblacio, QStringLiteral("Barcelona"));
    alumne.posa(Camp::Telefon, QStringLiteral("934 56 78 90"));
    return alumne;
}

void BM_DesaCincCamps(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(alumneDeMostra());
}
BENCHMARK(BM_DesaCincCamps);

void BM_DesaCampAmbCaractersSenseLloc(benchmark::State& state) {
    const QString text = QStringLiteral("Łukasz Żółkiewski 😀 Ωmega");
    record::TipusAlumne alumne;
    for (auto _ : state) {
        alumne.posa(Camp::Nom, text);
        benchmark::DoNotOptimize(alumne.bytes().constData());
    }
}
BENCHMARK(BM_DesaCampAmbCaractersSenseLloc);

void BM_LlegeixCincCamps(benchmark::State& state) {
    const record::TipusAlumne alumne = alumneDeMostra();
    for (auto _ : state) {
        for (const auto& disposicio : record::kDisposicio)
            benchmark::DoNotOptimize(alumne.text(disposicio.camp));
    }
}
BENCHMARK(BM_LlegeixCincCamps);

void BM_Recompte(benchmark::State& state) {
    qint64 longitud = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(record::NombreDeRegistres(longitud, 107));
        longitud = (longitud + 107) % 3506069;
    }
}
BENCHMARK(BM_Recompte);

// A full file: 32767 records written one by one, then read back one by one.
void BM_FitxerPleEscritILlegit(benchmark::State& state) {
    QTemporaryDir dir;
    const QByteArray registre = alumneDeMostra().bytes();
    for (auto _ : state) {
        platform::SistemaFitxersReal fs;
        fs.obre(dir.filePath(QStringLiteral("ple")), 107);
        for (int n = 1; n <= 32767; ++n)
            fs.escriuRegistre(qint16(n), registre);
        for (int n = 1; n <= 32767; ++n)
            benchmark::DoNotOptimize(fs.llegeixRegistre(qint16(n)));
        fs.tanca();
        fs.esborra(dir.filePath(QStringLiteral("ple")));
    }
    state.SetItemsProcessed(state.iterations() * 2 * 32767);
}
BENCHMARK(BM_FitxerPleEscritILlegit)->Unit(benchmark::kMillisecond);

// Opening and counting, then closing with the records flushed to the disk.
void BM_ObreIComptaITanca(benchmark::State& state) {
    QTemporaryDir dir;
    const QString cami = dir.filePath(QStringLiteral("grup"));
    {
        platform::SistemaFitxersReal fs;
        fs.obre(cami, 107);
        fs.escriuRegistre(30, alumneDeMostra().bytes());
        fs.tanca();
    }
    for (auto _ : state) {
        platform::SistemaFitxersReal fs;
        fs.obre(cami, 107);
        benchmark::DoNotOptimize(record::NombreDeRegistres(fs.longitud(), 107));
        fs.tanca();
    }
}
BENCHMARK(BM_ObreIComptaITanca)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
