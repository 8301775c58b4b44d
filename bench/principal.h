#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

// The main() of the benchmarks that build windows: offscreen unless told otherwise, so that
// they run without a display. `informe` prints the figures (the usual table if none).
inline int executaAmbFinestres(int argc, char** argv,
                               benchmark::BenchmarkReporter* informe = nullptr) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(informe);
    benchmark::Shutdown();
    return 0;
}
