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

}  // namespace platform
