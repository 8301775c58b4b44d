#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace platform {

// Turns the signals that ask a program to end (SIGTERM, SIGHUP, SIGINT) into a call on the
// event loop, so that the program can save what is on screen before it goes. One at a time.
class PeticionsDeFinal : public QObject {
    Q_OBJECT

  public:
    explicit PeticionsDeFinal(std::function<void()> enFinal, QObject* pare = nullptr);
    ~PeticionsDeFinal() override;

  private:
    void atenPeticio();

    std::function<void()> m_enFinal;
    QSocketNotifier* m_notificador = nullptr;
};

// When the connection to the display breaks (the X server or the compositor died, the ssh that
// carried the window dropped), the toolkit ends the process on the spot, from inside its event
// loop. `desa` runs first, once, on the user-interface thread; the program then ends at once
// with status 1, since nothing it could still do would reach a screen.
void enPerdreLaPantalla(std::function<void()> desa);

}  // namespace platform
