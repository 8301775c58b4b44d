// What one press of "Següent" costs in the real window: save the screen, read the next record,
// show it. Runs on the offscreen platform unless told otherwise.
#include "main_window/frm_alumnes.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// Questions never come in this benchmark; answering No keeps it from hanging if one did.
class SenseMissatges : public platform::Missatges {
  public:
    platform::Resposta mostra(const QString&, platform::Botons, platform::Icona,
                              platform::Resposta) override {
        return platform::Resposta::No;
    }
};

class DialegFix : public platform::DialegObrir {
  public:
    explicit DialegFix(QString cami) : m_cami(std::move(cami)) {}
    QString obre(const QString&) override { return m_cami; }

  private:
    QString m_cami;
};

void BM_Seguent(benchmark::State& state) {
    const int registres = int(state.range(0));
    QTemporaryDir dir;
    const QString cami = dir.filePath(QStringLiteral("grup"));
    {
        platform::SistemaFitxersReal fs;
        fs.obre(cami, 107);
        fs.escriuRegistre(qint16(registres), QByteArray(107, 'x'), platform::Escriptura::Normal);
        fs.tanca();
    }
    SenseMissatges missatges;
    DialegFix dialeg(cami);
    platform::SistemaFitxersReal fs;
    record::NomsFitxer noms;
    frmAlumnes finestra({missatges, dialeg, fs}, noms);
    finestra.Obrir();
    for (auto _ : state) {
        if (finestra.registreActual() == registres)
            finestra.Primer();
        else
            finestra.Següent();
    }
    finestra.Tancar();
}
BENCHMARK(BM_Seguent)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
