#pragma once

#include <QString>

namespace platform {

// Where the program leaves the reason of a failure its boxes only name ("Hi ha un error de
// disc"): one line on standard error, which a session's journal keeps.
class Diari {
  public:
    virtual ~Diari() = default;
    virtual void escriu(const QString& linia) = 0;

    static Diari& estandard();
};

}  // namespace platform
