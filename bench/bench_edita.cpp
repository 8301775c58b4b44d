// The Edita menu's costs, for a class of 30 and a full file of 32767: Elimina and Ordena with
// their flush and each one's Desfés, on the open class as the window calls it; a save within a
// page and across two; and the search dialog shown with the class in it, and filtered again at
// each key typed.
#include "main_window/classe_oberta.h"
#include "main_window/dialeg_cerca.h"
#include "principal.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A class of `n` students in no order, with names of Catalan letters.
QByteArray classe(int n) {
    QRandomGenerator atzar(7);
    const QString lletres = QStringLiteral("abcçdefghijlmnñopqrstuvxzàéèíòóú");
    QByteArray registres;
    for (int i = 1; i <= n; ++i) {
        QString cognom;
        for (int j = 0; j < 7; ++j)
            cognom += lletres[int(atzar.bounded(lletres.size()))];
        cognom[0] = cognom[0].toUpper();
        record::TipusAlumne a;
        a.posa(record::Camp::Nom, QStringLiteral("%1 Puig, Alumne %2").arg(cognom).arg(i));
        a.posa(record::Camp::Adreca, QStringLiteral("Carrer Major, %1").arg(i % 200));
        a.posa(record::Camp::CodiPostal,
               QStringLiteral("%1").arg(8000 + i % 900, 5, 10, QChar(u'0')));
        a.posa(record::Camp::Poblacio, QStringLiteral("Girona"));
        a.posa(record::Camp::Telefon, QStringLiteral("972%1").arg(i, 6, 10, QChar(u'0')));
        registres += a.bytes();
    }
    return registres;
}

struct Oberta {
    QTemporaryDir carpeta;
    QString cami = carpeta.filePath(QStringLiteral("classe"));
    platform::SistemaFitxersReal fitxer;
    ClasseOberta classe{fitxer};

    explicit Oberta(int n) {
        QFile f(cami);
        f.open(QIODevice::WriteOnly);
        f.write(::classe(n));
        f.close();
        classe.obre(cami, 107);
        classe.compta();
        classe.posaActual(qint16(n / 2 + 1));
    }
};

// Times `pas`, then undoes or redoes it untimed with `torna`, and the reverse when `invers`.
template <class Pas, class Torna>
void alterna(benchmark::State& estat, bool invers, Pas&& pas, Torna&& torna) {
    for (auto _ : estat) {
        if (invers) {
            estat.PauseTiming();
            pas();
            estat.ResumeTiming();
            torna();
        } else {
            pas();
            estat.PauseTiming();
            torna();
            estat.ResumeTiming();
        }
    }
}

void BM_Elimina(benchmark::State& estat) {
    Oberta o(int(estat.range(0)));
    alterna(
        estat, estat.range(1), [&] { o.classe.elimina(); }, [&] { o.classe.desfes(); });
}
BENCHMARK(BM_Elimina)
    ->ArgsProduct({{30, 32767}, {0, 1}})
    ->ArgNames({"alumnes", "desfes"})
    ->Unit(benchmark::kMillisecond);

void BM_Ordena(benchmark::State& estat) {
    Oberta o(int(estat.range(0)));
    alterna(
        estat, estat.range(1), [&] { o.classe.ordena(); }, [&] { o.classe.desfes(); });
}
BENCHMARK(BM_Ordena)
    ->ArgsProduct({{30, 32767}, {0, 1}})
    ->ArgNames({"alumnes", "desfes"})
    ->Unit(benchmark::kMillisecond);

// A save of record 38 (within one page of the cache) and of record 39 (across two, so written
// whole to a new file that takes the name) of a full class.
void BM_Desa(benchmark::State& estat) {
    Oberta o(32767);
    o.classe.posaActual(qint16(estat.range(0)));
    record::TipusAlumne alumne;
    int versio = 0;
    for (auto _ : estat) {
        alumne.posa(record::Camp::Nom, QString::number(++versio));
        o.classe.desa(alumne);
    }
}
BENCHMARK(BM_Desa)->Arg(38)->Arg(39)->ArgName("registre")->Unit(benchmark::kMillisecond);

// From the file's bytes to the dialog on screen with its list laid out.
void BM_CercaMostra(benchmark::State& estat) {
    Oberta o(int(estat.range(0)));
    DialegCerca dialeg(nullptr);
    for (auto _ : estat) {
        dialeg.carrega(o.classe.registres(), o.classe.registreActual());
        dialeg.show();
        QApplication::processEvents();
        estat.PauseTiming();
        dialeg.hide();
        QApplication::processEvents();
        estat.ResumeTiming();
    }
}
BENCHMARK(BM_CercaMostra)->Arg(30)->Arg(32767)->ArgName("alumnes")->Unit(benchmark::kMillisecond);

// One key typed, the list filtered and drawn again: "p", "pu", "pui", "puig", "puig a".
void BM_CercaTecla(benchmark::State& estat) {
    Oberta o(int(estat.range(0)));
    DialegCerca dialeg(nullptr);
    dialeg.carrega(o.classe.registres(), o.classe.registreActual());
    dialeg.show();
    QApplication::processEvents();
    auto* caixa = dialeg.findChild<QLineEdit*>(QStringLiteral("txtCerca"));
    const QString escrit = QStringLiteral("puig a");
    qsizetype lletres = 0;
    for (auto _ : estat) {
        lletres = lletres % escrit.size() + 1;
        caixa->setText(escrit.first(lletres));
        QApplication::processEvents();
    }
}
BENCHMARK(BM_CercaTecla)->Arg(30)->Arg(32767)->ArgName("alumnes")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return executaAmbFinestres(argc, argv);
}
