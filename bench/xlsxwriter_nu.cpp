// The floor of an .xlsx export: libxlsxwriter alone, in its constant-memory mode, writing every
// record of a student file as five text cells, nothing else. bench/intercanvi.sh times it beside
// `q2x7 exporta` to .xlsx.
//   xlsxwriter_nu FITXER SORTIDA
#include <xlsxwriter.h>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    if (argc != 3)
        return 2;
    std::FILE* entrada = std::fopen(argv[1], "rb");
    if (!entrada)
        return 1;
    lxw_workbook_options opcions{};
    opcions.constant_memory = LXW_TRUE;
    lxw_workbook* llibre = workbook_new_opt(argv[2], &opcions);
    lxw_worksheet* full = workbook_add_worksheet(llibre, nullptr);
    const int amplades[] = {45, 30, 5, 15, 12};
    char registre[107];
    for (lxw_row_t fila = 1; std::fread(registre, 1, sizeof registre, entrada) == sizeof registre;
         ++fila) {
        int inici = 0;
        for (lxw_col_t c = 0; c < 5; ++c) {
            std::string camp(registre + inici, std::size_t(amplades[c]));
            camp.erase(camp.find_last_not_of(' ') + 1);
            inici += amplades[c];
            if (!camp.empty())
                worksheet_write_string(full, fila, c, camp.c_str(), nullptr);
        }
    }
    std::fclose(entrada);
    return workbook_close(llibre) == LXW_NO_ERROR ? 0 : 1;
}
