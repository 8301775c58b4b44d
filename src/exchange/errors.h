#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

namespace exchange {

// A failure of an export or an import, with the Catalan words the user reads.
class ErrorIntercanvi : public std::runtime_error {
  public:
    explicit ErrorIntercanvi(const QString& missatge)
        : std::runtime_error(missatge.toStdString()), m_missatge(missatge) {}
    const QString& missatge() const { return m_missatge; }

  private:
    QString m_missatge;
};

// Where the notes of an export or an import go as they arise: a command prints them at once, a
// window gathers them for its box.
using Avisos = std::function<void(const QString&)>;

// A system error in the user's words, never the system's English.
QString descripcio(int error);

}  // namespace exchange
