#pragma once

#include "platform/classe.h"
#include "platform/dialeg_obrir.h"
#include "platform/diari.h"
#include "platform/missatges.h"
#include "platform/sistema_fitxers.h"
#include "support/crides_falses.h"

#include <QList>
#include <QMap>
#include <QStringList>

#include <functional>
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
    // Runs while the box is up, as something that happens behind a modal window would.
    std::function<void()> mentre;
};

// Keeps the journal's lines.
class DiariFals : public platform::Diari {
  public:
    void escriu(const QString& linia) override { linies << linia; }
    QStringList linies;
};

// The Classe menu's dialogs, answered as the test scripts them.
class DialegDesarFals : public platform::DialegDesar {
  public:
    QString desa(const QStringList& filtres, int& triat, const QString& suggerit) override {
        obert = {filtres.value(triat), suggerit};
        if (filtre >= 0)
            triat = filtre;
        return cami;
    }
    QString cami;     // what the user chose, "" to cancel
    int filtre = -1;  // the filter the user leaves selected, -1 for the one offered
    std::pair<QString, QString> obert;  // the filter and the name the dialog opened with
};

class CaixaImportacioFals : public platform::CaixaImportacio {
  public:
    bool mostra(const QString& text, const QStringList& avisos, bool ambDesfes) override {
        mostrades << text;
        this->avisos = avisos;
        ambDesfer << ambDesfes;
        if (mentre)
            mentre();
        return desfes && ambDesfes;
    }
    bool desfes = false;  // the answer: undo the import
    QStringList mostrades;
    QStringList avisos;
    QList<bool> ambDesfer;
    std::function<void()> mentre;
};

class PortaretallsFals : public platform::Portaretalls {
  public:
    QByteArray files() override { return dades; }
    QByteArray dades;
};

// Prints to a PDF in memory, the pages the test asks for.
class ImpressioFals : public platform::Impressio {
  public:
    void imprimeix(const QString& titol, const Dibuixa& dibuixa) override;
    int primera = 1;
    int darrera = 0;
    QStringList titols;
    QByteArray pdf;
};

class DialegObrirFals : public platform::DialegObrir {
  public:
    QString obre(const QString& filtre) override {
        filtres << filtre;
        if (mentre)
            mentre();
        return cami;
    }

    QString cami;
    std::function<void()> mentre;  // runs while the dialog is up
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
// the drives replaced when a test needs its own. Its system calls go through `crides`, which
// learns which operation each call belongs to.
struct AmbCridesPropies {
    CridesFalses cridesPropies;  // a base, so that it exists before the channel takes it
};

class SistemaFitxersFals : private AmbCridesPropies, public platform::SistemaFitxersReal {
  public:
    static constexpr int kSempre = -1;

    SistemaFitxersFals() : SistemaFitxersReal(cridesPropies), m_cridesFalses(cridesPropies) {}
    explicit SistemaFitxersFals(CridesFalses& crides)
        : SistemaFitxersReal(crides), m_cridesFalses(crides) {}

    // The next `vegades` calls of the operation fail (every call with kSempre).
    void falla(Operacio operacio, int vegades = 1) { m_fallades[operacio] = vegades; }
    int crides(Operacio operacio) const { return m_crides.value(operacio); }

    // Directories whose listing fails, as a drive with no disk would.
    QStringList directorisIllegibles;
    std::optional<QStringList> unitatsFalses;

    void obre(const QString& cami, qint16 longRegistre) override;
    qint64 longitud() override;
    platform::Escrit escriuRegistre(qint16 numero, QByteArrayView registre) override;
    QByteArray llegeixRegistre(qint16 numero) override;
    void tanca() override;
    void esborra(const QString& cami) override;
    void canviaDirectoriActual(const QString& directori) override;
    QStringList unitats() override;
    QString directoriDeUnitat(const QString& unitat) override;
    QStringList subdirectoris(const QString& directori) override;
    QStringList fitxers(const QString& directori) override;

  private:
    // Counts the operation and throws when it must fail; the returned guard tells the system
    // calls which operation they belong to until it goes.
    [[nodiscard]] auto comprova(Operacio operacio, const QString& directori = {});

    CridesFalses& m_cridesFalses;

    QMap<Operacio, int> m_fallades;
    QMap<Operacio, int> m_crides;
};

}  // namespace proves
