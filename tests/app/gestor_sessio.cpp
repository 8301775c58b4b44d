// A session manager of the X session protocol, as small as a test needs: it starts a program as
// its one client and, on each line "punt" read from standard input, asks it for a checkpoint
// (save your data and your state, no shutdown). On standard output, one line for each thing the
// client does: "registrat", "desat 1" (or "desat 0" when it could not save), "tancat", and at the
// end "acabat N" with the program's exit status, which is also this one's.
//   gestor_sessio PROGRAMA [ARGUMENT…]
#include <X11/SM/SMlib.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<IceConn> connexions;
SmsConn clientActual = nullptr;

void diu(const char* linia) {
    std::printf("%s\n", linia);
    std::fflush(stdout);
}

// The test's own server in its own folder: any local client may join.
Bool acceptaTothom(char*) {
    return True;
}

Status registra(SmsConn client, SmPointer, char* idAnterior) {
    char* id = SmsGenerateClientID(client);
    SmsRegisterClientReply(client, id ? id : const_cast<char*>("1q2x7-prova"));
    std::free(id);
    // A new client's first request, as the protocol has it: a local save, with no shutdown.
    if (!idAnterior)
        SmsSaveYourself(client, SmSaveLocal, False, SmInteractStyleNone, False);
    std::free(idAnterior);
    diu("registrat");
    return 1;
}

void desat(SmsConn client, SmPointer, Bool fet) {
    diu(fet ? "desat 1" : "desat 0");
    SmsSaveComplete(client);
}

void tanca(SmsConn client, SmPointer, int, char** motius) {
    IceConn connexio = SmsGetIceConnection(client);
    SmFreeReasons(0, motius);
    SmsCleanUp(client);
    IceSetShutdownNegotiation(connexio, False);
    IceCloseConnection(connexio);
    std::erase(connexions, connexio);
    clientActual = nullptr;
    diu("tancat");
}

void propietats(SmsConn, SmPointer, int quantes, SmProp** llista) {
    for (int i = 0; i < quantes; ++i)
        SmFreeProperty(llista[i]);
    std::free(llista);
}

void esborraPropietats(SmsConn, SmPointer, int quantes, char** noms) {
    for (int i = 0; i < quantes; ++i)
        std::free(noms[i]);
    std::free(noms);
}

Status nouClient(SmsConn client, SmPointer, unsigned long* mascara, SmsCallbacks* crides, char**) {
    clientActual = client;
    *crides = {};
    crides->register_client.callback = registra;
    crides->interact_request.callback = [](SmsConn client, SmPointer, int) { SmsInteract(client); };
    crides->interact_done.callback = [](SmsConn, SmPointer, Bool) {};
    crides->save_yourself_request.callback = [](SmsConn, SmPointer, int, Bool, int, Bool, Bool) {};
    crides->save_yourself_phase2_request.callback = [](SmsConn client, SmPointer) {
        SmsSaveYourselfPhase2(client);
    };
    crides->save_yourself_done.callback = desat;
    crides->close_connection.callback = tanca;
    crides->set_properties.callback = propietats;
    crides->delete_properties.callback = esborraPropietats;
    crides->get_properties.callback = [](SmsConn client, SmPointer) {
        SmsReturnProperties(client, 0, nullptr);
    };
    *mascara = ~0UL;
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "ús: gestor_sessio PROGRAMA [ARGUMENT…]\n");
        return 2;
    }
    // The library's own handler ends the process when a client goes away without a word.
    IceSetIOErrorHandler([](IceConn) {});
    char error[256];
    if (!SmsInitialize("q2x7-proves", "1.0", nouClient, nullptr, acceptaTothom, sizeof error,
                       error)) {
        std::fprintf(stderr, "gestor_sessio: %s\n", error);
        return 1;
    }
    int escoltes = 0;
    IceListenObj* objectes = nullptr;
    if (!IceListenForConnections(&escoltes, &objectes, sizeof error, error)) {
        std::fprintf(stderr, "gestor_sessio: %s\n", error);
        return 1;
    }
    for (int i = 0; i < escoltes; ++i)
        IceSetHostBasedAuthProc(objectes[i], acceptaTothom);
    char* adreces = IceComposeNetworkIdList(escoltes, objectes);
    setenv("SESSION_MANAGER", adreces, 1);
    std::free(adreces);

    const pid_t programa = fork();
    if (programa == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int estat = 0;
    int ordres = STDIN_FILENO;  // -1 once it is closed: poll leaves it out
    std::string entrada;
    while (waitpid(programa, &estat, WNOHANG) == 0) {
        // A connection closed while its messages are read leaves the list: go by a copy.
        const std::vector<IceConn> obertes = connexions;
        std::vector<pollfd> espera{{ordres, POLLIN, 0}};
        for (int i = 0; i < escoltes; ++i)
            espera.push_back({IceGetListenConnectionNumber(objectes[i]), POLLIN, 0});
        for (IceConn connexio : obertes)
            espera.push_back({IceConnectionNumber(connexio), POLLIN, 0});
        if (poll(espera.data(), espera.size(), 100) <= 0)
            continue;
        if (espera[0].revents & (POLLIN | POLLHUP)) {
            char bloc[64];
            const ssize_t llegits = read(ordres, bloc, sizeof bloc);
            if (llegits <= 0)
                ordres = -1;
            else
                entrada.append(bloc, llegits);
            for (size_t fi; (fi = entrada.find('\n')) != std::string::npos;) {
                if (entrada.compare(0, fi, "punt") == 0 && clientActual)
                    SmsSaveYourself(clientActual, SmSaveBoth, False, SmInteractStyleAny, False);
                entrada.erase(0, fi + 1);
            }
        }
        for (int i = 0; i < escoltes; ++i) {
            if (!(espera[1 + i].revents & POLLIN))
                continue;
            IceAcceptStatus acceptat;
            IceConn connexio = IceAcceptConnection(objectes[i], &acceptat);
            if (!connexio)
                continue;
            while (IceConnectionStatus(connexio) == IceConnectPending)
                IceProcessMessages(connexio, nullptr, nullptr);
            if (IceConnectionStatus(connexio) == IceConnectAccepted)
                connexions.push_back(connexio);
            else
                IceCloseConnection(connexio);
        }
        for (size_t i = 1 + escoltes; i < espera.size(); ++i) {
            if (!(espera[i].revents & (POLLIN | POLLHUP)))
                continue;
            IceConn connexio = obertes[i - 1 - escoltes];
            if (std::find(connexions.begin(), connexions.end(), connexio) == connexions.end())
                continue;
            if (IceProcessMessages(connexio, nullptr, nullptr) == IceProcessMessagesIOError) {
                if (clientActual && SmsGetIceConnection(clientActual) == connexio) {
                    SmsCleanUp(clientActual);
                    clientActual = nullptr;
                }
                IceSetShutdownNegotiation(connexio, False);
                IceCloseConnection(connexio);
                std::erase(connexions, connexio);
                diu("tancat");
            }
        }
    }
    IceFreeListenObjs(escoltes, objectes);
    const int sortida = WIFEXITED(estat) ? WEXITSTATUS(estat) : 128 + WTERMSIG(estat);
    std::printf("acabat %d\n", sortida);
    return sortida;
}
