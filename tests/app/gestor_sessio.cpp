// A session manager of the X session protocol, as small as a test needs: it starts a program as
// its one client and, on each SIGUSR1, asks it for a checkpoint (save your data and your state,
// no shutdown). On standard output, a line for each step of the client: "registrat", "desat 1"
// (or "desat 0" when it could not save), "tancat", and "acabat N" with the program's exit status,
// which is also this one's.
//   gestor_sessio PROGRAMA [ARGUMENT…]
#include <X11/SM/SMlib.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

IceConn connexio = nullptr;  // the one client's
SmsConn client = nullptr;
volatile sig_atomic_t puntDemanat = 0;

void diu(const char* linia) {
    std::printf("%s\n", linia);
    std::fflush(stdout);
}

// The test's own server: any local client may join.
Bool acceptaTothom(char*) {
    return True;
}

void tanca() {
    if (client)
        SmsCleanUp(client);
    IceSetShutdownNegotiation(connexio, False);
    IceCloseConnection(connexio);
    client = nullptr;
    connexio = nullptr;
    diu("tancat");
}

Status nouClient(SmsConn nou, SmPointer, unsigned long* mascara, SmsCallbacks* crides, char**) {
    client = nou;
    *crides = {};
    crides->register_client.callback = [](SmsConn, SmPointer, char* idAnterior) -> Status {
        char* id = SmsGenerateClientID(client);
        SmsRegisterClientReply(client, id ? id : const_cast<char*>("1q2x7-prova"));
        std::free(id);
        // A new client's first request, as the protocol has it: a local save, no shutdown.
        if (!idAnterior)
            SmsSaveYourself(client, SmSaveLocal, False, SmInteractStyleNone, False);
        std::free(idAnterior);
        diu("registrat");
        return 1;
    };
    crides->save_yourself_done.callback = [](SmsConn, SmPointer, Bool fet) {
        diu(fet ? "desat 1" : "desat 0");
        SmsSaveComplete(client);
    };
    crides->close_connection.callback = [](SmsConn, SmPointer, int, char** motius) {
        SmFreeReasons(0, motius);
        tanca();
    };
    crides->interact_request.callback = [](SmsConn, SmPointer, int) { SmsInteract(client); };
    crides->interact_done.callback = [](SmsConn, SmPointer, Bool) {};
    crides->save_yourself_request.callback = [](SmsConn, SmPointer, int, Bool, int, Bool, Bool) {};
    crides->save_yourself_phase2_request.callback = [](SmsConn, SmPointer) {
        SmsSaveYourselfPhase2(client);
    };
    crides->set_properties.callback = [](SmsConn, SmPointer, int quantes, SmProp** llista) {
        for (int i = 0; i < quantes; ++i)
            SmFreeProperty(llista[i]);
        std::free(llista);
    };
    crides->delete_properties.callback = [](SmsConn, SmPointer, int quantes, char** noms) {
        for (int i = 0; i < quantes; ++i)
            std::free(noms[i]);
        std::free(noms);
    };
    crides->get_properties.callback = [](SmsConn, SmPointer) {
        SmsReturnProperties(client, 0, nullptr);
    };
    *mascara = ~0UL;
    return 1;
}

[[noreturn]] void falla(const char* error) {
    std::fprintf(stderr, "gestor_sessio: %s\n", error);
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        falla("ús: gestor_sessio PROGRAMA [ARGUMENT…]");
    // The library's own handler ends the process when a client goes away without a word.
    IceSetIOErrorHandler([](IceConn) {});
    char error[256];
    int escoltes = 0;
    IceListenObj* objectes = nullptr;
    if (!SmsInitialize("q2x7-proves", "1.0", nouClient, nullptr, acceptaTothom, sizeof error,
                       error) ||
        !IceListenForConnections(&escoltes, &objectes, sizeof error, error))
        falla(error);
    for (int i = 0; i < escoltes; ++i)
        IceSetHostBasedAuthProc(objectes[i], acceptaTothom);
    char* adreces = IceComposeNetworkIdList(escoltes, objectes);
    setenv("SESSION_MANAGER", adreces, 1);
    std::free(adreces);
    signal(SIGUSR1, [](int) { puntDemanat = 1; });

    const pid_t programa = fork();
    if (programa == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int estat = 0;
    while (waitpid(programa, &estat, WNOHANG) == 0) {
        if (puntDemanat && client)
            SmsSaveYourself(client, SmSaveBoth, False, SmInteractStyleAny, False);
        puntDemanat = 0;
        std::vector<pollfd> espera;
        for (int i = 0; i < escoltes; ++i)
            espera.push_back({IceGetListenConnectionNumber(objectes[i]), POLLIN, 0});
        if (connexio)
            espera.push_back({IceConnectionNumber(connexio), POLLIN, 0});
        if (poll(espera.data(), espera.size(), 100) <= 0)
            continue;
        for (int i = 0; i < escoltes; ++i) {
            IceAcceptStatus acceptat;
            IceConn nova = (espera[i].revents & POLLIN)
                               ? IceAcceptConnection(objectes[i], &acceptat)
                               : nullptr;
            while (nova && IceConnectionStatus(nova) == IceConnectPending)
                IceProcessMessages(nova, nullptr, nullptr);
            if (nova)
                connexio = nova;
        }
        if (connexio && espera.size() > size_t(escoltes) && espera.back().revents &&
            IceProcessMessages(connexio, nullptr, nullptr) == IceProcessMessagesIOError)
            tanca();
    }
    IceFreeListenObjs(escoltes, objectes);
    const int sortida = WIFEXITED(estat) ? WEXITSTATUS(estat) : 128 + WTERMSIG(estat);
    std::printf("acabat %d\n", sortida);
    return sortida;
}
