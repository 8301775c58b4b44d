#include "platform/diari.h"

#include <cstdio>

namespace platform {

namespace {

class DiariEstandard final : public Diari {
  public:
    void escriu(const QString& linia) override {
        std::fprintf(stderr, "q2x7: %s\n", linia.toUtf8().constData());
        std::fflush(stderr);
    }
};

}  // namespace

Diari& Diari::estandard() {
    static DiariEstandard diari;
    return diari;
}

}  // namespace platform
