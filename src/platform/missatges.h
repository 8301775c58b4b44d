#pragma once

#include <QString>

namespace platform {

enum class Botons { Acceptar, SiNo };
enum class Icona { Cap, Atura };
enum class Resposta { Acceptar, Si, No };

// Modal message box. Every box carries the program's caption; callers give only the text.
class Missatges {
  public:
    virtual ~Missatges() = default;
    virtual Resposta mostra(const QString& text, Botons botons, Icona icona = Icona::Cap) = 0;

    bool preguntaSiNo(const QString& text, Icona icona = Icona::Cap) {
        return mostra(text, Botons::SiNo, icona) == Resposta::Si;
    }
    void avisa(const QString& text) { mostra(text, Botons::Acceptar); }
};

class MissatgesQt final : public Missatges {
  public:
    Resposta mostra(const QString& text, Botons botons, Icona icona) override;
};

}  // namespace platform
