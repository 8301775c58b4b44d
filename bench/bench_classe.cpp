// The Classe menu's costs: Exporta… from the window beside the command's own path (the same
// writer, output and read, without the process), an import of 30 rows from the window and its
// undo, and the print preview laid out and drawn for a class of 30 and for a full file, with its
// peak memory. Runs on the offscreen platform unless told otherwise.
#include "exchange/exportacio.h"
#include "exchange/fitxer_alumnes.h"
#include "exchange/pdf.h"
#include "exchange/sortida.h"
#include "main_window/frm_alumnes.h"
#include "principal.h"
#include "serveis_fixos.h"

#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

// A class of `n` made-up students.
QByteArray classe(int n) {
    QByteArray registres;
    for (int i = 1; i <= n; ++i) {
        record::TipusAlumne a;
        a.posa(record::Camp::Nom, QStringLiteral("Alumne %1 Puig i Ferrà").arg(i));
        a.posa(record::Camp::Adreca, QStringLiteral("Carrer Major, %1").arg(i % 200));
        a.posa(record::Camp::CodiPostal,
               QStringLiteral("%1").arg(8000 + i % 900, 5, 10, QChar(u'0')));
        a.posa(record::Camp::Poblacio, QStringLiteral("Girona"));
        a.posa(record::Camp::Telefon, QStringLiteral("972%1").arg(i, 6, 10, QChar(u'0')));
        registres += a.bytes();
    }
    return registres;
}

class DesaFix : public platform::DialegDesar {
  public:
    explicit DesaFix(QString cami) : m_cami(std::move(cami)) {}
    QString desa(const QStringList&, int& triat, const QString&) override {
        triat = 0;
        return m_cami;
    }

  private:
    QString m_cami;
};

class DesfesSempre : public platform::CaixaImportacio {
  public:
    bool mostra(const QString&, const QStringList&, bool ambDesfes) override { return ambDesfes; }
};

struct Entorn {
    QTemporaryDir carpeta;
    QString fitxer = carpeta.filePath(QStringLiteral("classe"));
    QString sortida = carpeta.filePath(QStringLiteral("llista.xlsx"));
    SenseMissatges missatges;
    DialegFix dialegObrir;
    platform::SistemaFitxersReal sistemaFitxers;
    DesaFix dialegDesar{sortida};
    DesfesSempre caixa;
    record::NomsFitxer noms;
    std::unique_ptr<frmAlumnes> finestra;

    explicit Entorn(int alumnes, const QString& entrada = {}) : dialegObrir(entrada) {
        QFile f(fitxer);
        f.open(QIODevice::WriteOnly);
        f.write(classe(alumnes));
        f.close();
        finestra = std::make_unique<frmAlumnes>(
            platform::Serveis{missatges, dialegObrir, sistemaFitxers, platform::Diari::estandard(),
                              &dialegDesar, &caixa, nullptr, nullptr},
            noms);
        finestra->ObrirFitxer(fitxer);
    }
};

void BM_ExportaXlsxDesDeLaFinestra(benchmark::State& estat) {
    Entorn e(int(estat.range(0)));
    for (auto _ : estat)
        e.finestra->Exporta();
}
BENCHMARK(BM_ExportaXlsxDesDeLaFinestra)->Arg(30)->Arg(32767)->Unit(benchmark::kMillisecond);

void BM_ExportaXlsxComLOrdre(benchmark::State& estat) {
    Entorn e(int(estat.range(0)));
    auto& crides = platform::CridesSistema::reals();
    for (auto _ : estat) {
        const auto sortida = exchange::Sortida::fitxer(
            e.sortida, exchange::Sortida::SiExisteix::Substitueix, crides);
        exchange::exportaAlumnes(e.fitxer, *exchange::formatPerNom(QStringLiteral("xlsx")),
                                 *sortida, {QStringLiteral("classe"), QDate::currentDate()}, crides,
                                 [](const QString&) {});
        sortida->publica();
    }
}
BENCHMARK(BM_ExportaXlsxComLOrdre)->Arg(30)->Arg(32767)->Unit(benchmark::kMillisecond);

// 30 rows after the last of 32000 students, and undone, as many times as it takes.
void BM_ImportaIDesfes30(benchmark::State& estat) {
    QTemporaryDir carpeta;
    const QString csv = carpeta.filePath(QStringLiteral("nous.csv"));
    QFile f(csv);
    f.open(QIODevice::WriteOnly);
    f.write("Nom;Telèfon\n");
    for (int i = 0; i < 30; ++i)
        f.write(QStringLiteral("Nou %1;600%1\n").arg(i).toUtf8());
    f.close();
    Entorn e(32000, csv);
    for (auto _ : estat)
        e.finestra->Importa();
}
BENCHMARK(BM_ImportaIDesfes30)->Unit(benchmark::kMillisecond);

// The preview as the dialog makes it: every page laid out and drawn for the printer.
void BM_Previsualitzacio(benchmark::State& estat) {
    const QByteArray registres = classe(int(estat.range(0)));
    for (auto _ : estat) {
        QPrinter impressora(QPrinter::HighResolution);
        impressora.setPageLayout(exchange::paginaDeLaLlista());
        impressora.setFullPage(true);
        QPrintPreviewWidget previsualitzacio(&impressora);
        QObject::connect(&previsualitzacio, &QPrintPreviewWidget::paintRequested, [&](QPrinter* p) {
            exchange::dibuixaLlista(*p, registres, QStringLiteral("classe"), QDate::currentDate());
        });
        previsualitzacio.updatePreview();
        benchmark::DoNotOptimize(previsualitzacio.pageCount());
    }
    rusage us{};
    getrusage(RUSAGE_SELF, &us);
    estat.counters["pic_MiB"] = double(us.ru_maxrss) / 1024;
}
BENCHMARK(BM_Previsualitzacio)
    ->Args({30, 1})
    ->Args({32767, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    return executaAmbFinestres(argc, argv);
}
