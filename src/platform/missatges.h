#pragma once

#include <QString>

namespace platform {

enum class Botons { Acceptar, SiNo };
enum class Icona { Cap, Atura };
enum class Resposta { Acceptar, Si, No };

// Modal message box. Every box carries the program's caption; callers give only the text.
// `perDefecte` is the button Enter presses in a Yes/No box; Escape always answers No.
class Missatges {
  public:
    virtual ~Missatges() = default;
    virtual Resposta mostra(const QString& text, Botons botons, Icona icona,
                            Resposta perDefecte) = 0;

    bool preguntaSiNo(const QString& text, Icona icona = Icona::Cap,
                      Resposta perDefecte = Resposta::Si) {
        return mostra(text, Botons::SiNo, icona, perDefecte) == Resposta::Si;
    }
    void avisa(const QString& text) {
        mostra(text, Botons::Acceptar, Icona::Cap, Resposta::Acceptar);
    }
};

class MissatgesQt final : public Missatges {
  public:
    Resposta mostra(const QString& text, Botons botons, Icona icona, Resposta perDefecte) override;
};

}  // namespace platform
