// Start-up of programs that open a window: from fork until the X server maps the program's first
// top-level window, taken from the server's own MapNotify, not by polling. The commands run in
// turn, round after round, so a noisy machine weighs on all of them alike; each is killed once its
// window is up. Prints the median and the range of each, and each median against the first's.
//   arrencada VEGADES ORDRE… [-- ORDRE…]…
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Rellotge = std::chrono::steady_clock;

// Waits for a top-level window to be mapped; false after ten seconds without one.
bool esperaUnaFinestra(xcb_connection_t* connexio) {
    const auto limit = Rellotge::now() + std::chrono::seconds(10);
    while (Rellotge::now() < limit) {
        while (xcb_generic_event_t* esdeveniment = xcb_poll_for_event(connexio)) {
            const bool mapada = (esdeveniment->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(esdeveniment);
            if (mapada)
                return true;
        }
        pollfd espera{xcb_get_file_descriptor(connexio), POLLIN, 0};
        poll(&espera, 1, 100);
    }
    return false;
}

// A round trip first, so that every event of the last program has arrived before it is dropped.
void descartaEsdeveniments(xcb_connection_t* connexio) {
    std::free(xcb_get_input_focus_reply(connexio, xcb_get_input_focus(connexio), nullptr));
    while (xcb_generic_event_t* esdeveniment = xcb_poll_for_event(connexio))
        std::free(esdeveniment);
}

// Milliseconds from fork to the first map, or a negative number if the window never came.
double unaArrencada(xcb_connection_t* connexio, const std::vector<char*>& ordre) {
    descartaEsdeveniments(connexio);
    const auto inici = Rellotge::now();
    const pid_t fill = fork();
    if (fill == 0) {
        execvp(ordre[0], ordre.data());
        _exit(127);
    }
    const bool mapada = esperaUnaFinestra(connexio);
    const auto fi = Rellotge::now();
    kill(fill, SIGKILL);
    waitpid(fill, nullptr, 0);
    return mapada ? std::chrono::duration<double, std::milli>(fi - inici).count() : -1;
}

double mediana(std::vector<double> mostres) {
    std::sort(mostres.begin(), mostres.end());
    const size_t meitat = mostres.size() / 2;
    return mostres.size() % 2 ? mostres[meitat] : (mostres[meitat - 1] + mostres[meitat]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "ús: arrencada VEGADES ORDRE… [-- ORDRE…]…\n");
        return 2;
    }
    const int vegades = std::atoi(argv[1]);
    std::vector<std::vector<char*>> ordres(1);
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "--")
            ordres.emplace_back();
        else
            ordres.back().push_back(argv[i]);
    }
    for (auto& ordre : ordres) {
        if (ordre.empty()) {
            std::fprintf(stderr, "arrencada: una ordre buida\n");
            return 2;
        }
        ordre.push_back(nullptr);
    }

    xcb_connection_t* connexio = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connexio)) {
        std::fprintf(stderr, "arrencada: no hi ha cap servidor X\n");
        return 1;
    }
    const xcb_window_t arrel = xcb_setup_roots_iterator(xcb_get_setup(connexio)).data->root;
    const uint32_t mascara = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connexio, arrel, XCB_CW_EVENT_MASK, &mascara);
    xcb_flush(connexio);

    // One round unmeasured, so that each program's files are in the page cache for all.
    for (const auto& ordre : ordres)
        if (unaArrencada(connexio, ordre) < 0) {
            std::fprintf(stderr, "arrencada: %s no ha obert cap finestra\n", ordre[0]);
            return 1;
        }
    std::vector<std::vector<double>> mostres(ordres.size());
    for (int ronda = 0; ronda < vegades; ++ronda)
        for (size_t i = 0; i < ordres.size(); ++i) {
            const double temps = unaArrencada(connexio, ordres[i]);
            if (temps < 0) {
                std::fprintf(stderr, "arrencada: %s no ha obert cap finestra\n", ordres[i][0]);
                return 1;
            }
            mostres[i].push_back(temps);
        }

    const double primera = mediana(mostres[0]);
    for (size_t i = 0; i < ordres.size(); ++i) {
        const auto [minim, maxim] = std::minmax_element(mostres[i].begin(), mostres[i].end());
        std::string nom;
        for (char* paraula : ordres[i])
            if (paraula)
                nom += (nom.empty() ? "" : " ") + std::string(paraula);
        std::printf("%-48s %7.1f ms  (%.1f–%.1f)  %.2f ×\n", nom.c_str(), mediana(mostres[i]),
                    *minim, *maxim, mediana(mostres[i]) / primera);
    }
    xcb_disconnect(connexio);
    return 0;
}
