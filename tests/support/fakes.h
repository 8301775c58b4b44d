#pragma once

#include "platform/dialeg_obrir.h"
#include "platform/missatges.h"
#include "platform/sistema_fitxers.h"

#include <QList>
#include <QMap>
#include <QStringList>

#include <optional>

namespace proves {

struct MissatgeMostrat {
    QString text;
    platform::Botons botons;
    platform::Icona icona;
    platform::Resposta perDefecte;
};

// Answers questions as the test scripts them (No once the script runs out) and records every
// box shown.
class MissatgesFals : public platform::Missatges {
  public:
    platform::Resposta mostra(const QString& text, platform::Botons botons, platform::Icona icona,
                              platform::Resposta perDefecte) override;

    QStringList textos() const;

    QList<platform::Resposta> respostes;
    QList<MissatgeMostrat> mostrats;
};

class DialegObrirFals : public platform::DialegObrir {
  public:
    QString obre(const QString& filtre) override {
        filtres << filtre;
        return cami;
    }

    QString cami;
    QStringList filtres;
};

enum class Operacio {
    Obre,
    Longitud,
    Escriu,
    Llegeix,
    Tanca,
    Esborra,
    CanviaDirectori,
    DirectoriDeUnitat,
    Subdirectoris,
    Fitxers,
};

// The real file system on real (temporary) files, with any operation made to fail on demand and
// the drives replaced when a test needs its own.
class SistemaFitxersFals : public platform::SistemaFitxersReal {
  public:
    static constexpr int kSempre = -1;

    // The next `vegades` calls of the operation fail (every call with kSempre).
    void falla(Operacio operacio, int vegades = 1) { m_fallades[operacio] = vegades; }
    int crides(Operacio operacio) const { return m_crides.value(operacio); }

    // Directories whose listing fails, as a drive with no disk would.
    QStringList directorisIllegibles;
    std::optional<QStringList> unitatsFalses;

    void obre(const QString& cami, qint16 longRegistre) override;
    qint64 longitud() override;
    void escriuRegistre(qint16 numero, QByteArrayView registre,
                        platform::Escriptura escriptura) override;
    QByteArray llegeixRegistre(qint16 numero) override;
    void tanca() override;
    void esborra(const QString& cami) override;
    void canviaDirectoriActual(const QString& directori) override;
    QStringList unitats() override;
    QString directoriDeUnitat(const QString& unitat) override;
    QStringList subdirectoris(const QString& directori) override;
    QStringList fitxers(const QString& directori) override;

  private:
    void comprova(Operacio operacio, const QString& directori = {});

    QMap<Operacio, int> m_fallades;
    QMap<Operacio, int> m_crides;
};

}  // namespace proves
