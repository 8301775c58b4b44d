#pragma once

#include "exchange/format.h"

#include <memory>

// The formats' readers and writers that need libraries of their own (zip, CSV, the old
// spreadsheet format). The commands link them; the window's program, which may never use them,
// loads them from a module beside it when first asked (lectors_diferits.cpp), so that its
// start-up does not wait for those libraries.
namespace exchange {

std::unique_ptr<EscriptorAlumnes> escriptorCsv(QIODevice&, const DadesExportacio&);
std::unique_ptr<LectorFiles> lectorCsv(Entrada&, const DadesImportacio&, const Avisos&);
std::unique_ptr<EscriptorAlumnes> escriptorXlsx(QIODevice&, const DadesExportacio&);
std::unique_ptr<LectorFiles> lectorXlsx(Entrada&, const DadesImportacio&, const Avisos&);
bool esXlsx(Entrada&);
std::unique_ptr<EscriptorAlumnes> escriptorOds(QIODevice&, const DadesExportacio&);
std::unique_ptr<LectorFiles> lectorOds(Entrada&, const DadesImportacio&, const Avisos&);
bool esOds(Entrada&);
std::unique_ptr<LectorFiles> lectorFods(Entrada&, const DadesImportacio&, const Avisos&);
bool esFods(Entrada&);
std::unique_ptr<LectorFiles> lectorXls(Entrada&, const DadesImportacio&, const Avisos&);
bool esXls(Entrada&);

// All of them, as the module gives them.
struct Lectors {
    decltype(&escriptorCsv) deEscriptorCsv;
    decltype(&lectorCsv) deLectorCsv;
    decltype(&escriptorXlsx) deEscriptorXlsx;
    decltype(&lectorXlsx) deLectorXlsx;
    decltype(&esXlsx) deEsXlsx;
    decltype(&escriptorOds) deEscriptorOds;
    decltype(&lectorOds) deLectorOds;
    decltype(&esOds) deEsOds;
    decltype(&lectorFods) deLectorFods;
    decltype(&esFods) deEsFods;
    decltype(&lectorXls) deLectorXls;
    decltype(&esXls) deEsXls;
};

}  // namespace exchange

// What the module exports: its one symbol.
extern "C" const exchange::Lectors* q2x7_lectors();
