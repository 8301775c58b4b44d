#include "platform/peticions_final.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int kSenyals[] = {SIGTERM, SIGHUP, SIGINT};

// The handler may only write to a descriptor; the event loop reads the other end.
int s_parell[2] = {-1, -1};

extern "C" void avisaDelSenyal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t escrit = ::write(s_parell[0], &byte, 1);
}

std::function<void()> s_desaSensePantalla;
QtMessageHandler s_gestorAnterior = nullptr;

// The only word the toolkit gives before it ends the process is this warning (exit() follows it
// under X, an abort under Wayland).
bool esLaPantallaPerduda(const QString& missatge) {
    return missatge.contains(QLatin1String("connection broke")) ||
           missatge.contains(QLatin1String("connection experienced a fatal error"));
}

void vigilaLaPantalla(QtMsgType tipus, const QMessageLogContext& context, const QString& missatge) {
    if (s_gestorAnterior)
        s_gestorAnterior(tipus, context, missatge);
    const QCoreApplication* app = QCoreApplication::instance();
    if (!s_desaSensePantalla || !app || QThread::currentThread() != app->thread() ||
        !esLaPantallaPerduda(missatge))
        return;
    std::exchange(s_desaSensePantalla, nullptr)();
    std::fprintf(stderr, "q2x7: %s\n",
                 "s'ha perdut la pantalla; el registre que s'hi veia és desat.");
    // No exit handlers: what is left of the toolkit would only fail, or report leaks.
    std::_Exit(1);
}

}  // namespace

void enPerdreLaPantalla(std::function<void()> desa) {
    s_desaSensePantalla = std::move(desa);
    s_gestorAnterior = qInstallMessageHandler(vigilaLaPantalla);
}

PeticionsDeFinal::PeticionsDeFinal(std::function<void()> enFinal, QObject* pare)
    : QObject(pare), m_enFinal(std::move(enFinal)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, s_parell) != 0)
        return;  // the program still runs; it just cannot save on these signals
    m_notificador = new QSocketNotifier(s_parell[1], QSocketNotifier::Read, this);
    connect(m_notificador, &QSocketNotifier::activated, this, &PeticionsDeFinal::atenPeticio);

    struct sigaction accio {};
    accio.sa_handler = avisaDelSenyal;
    sigemptyset(&accio.sa_mask);
    accio.sa_flags = SA_RESTART;
    for (const int senyal : kSenyals)
        ::sigaction(senyal, &accio, nullptr);
}

PeticionsDeFinal::~PeticionsDeFinal() {
    if (!m_notificador)
        return;
    for (const int senyal : kSenyals)
        std::signal(senyal, SIG_DFL);
    delete m_notificador;
    for (int& descriptor : s_parell)
        ::close(std::exchange(descriptor, -1));
}

void PeticionsDeFinal::atenPeticio() {
    char bytes[16];
    while (::read(s_parell[1], bytes, sizeof bytes) > 0) {
    }
    m_enFinal();
}

}  // namespace platform
