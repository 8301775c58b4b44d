#pragma once

#include "platform/dialeg_obrir.h"
#include "platform/missatges.h"

#include <utility>

// Platform services that ask nobody, for the benchmarks.

// Questions never come in a benchmark; answering No keeps it from hanging if one did.
class SenseMissatges : public platform::Missatges {
  public:
    platform::Resposta mostra(const QString&, platform::Botons, platform::Icona,
                              platform::Resposta) override {
        return platform::Resposta::No;
    }
};

// The Open-file dialog, always choosing the same path.
class DialegFix : public platform::DialegObrir {
  public:
    explicit DialegFix(QString cami = {}) : m_cami(std::move(cami)) {}
    QString obre(const QString&) override { return m_cami; }

  private:
    QString m_cami;
};
