#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class QPagedPaintDevice;
class QWidget;

namespace platform {

// The Save dialog, of the same kind as the Open one. `filtres` are "description (*.ext)" texts;
// `triat` is the one selected when it opens and, afterwards, the one the user left selected.
// The dialog asks before replacing a file. Returns the chosen path, "" when cancelled.
class DialegDesar {
  public:
    virtual ~DialegDesar() = default;
    virtual QString desa(const QStringList& filtres, int& triat, const QString& suggerit) = 0;
};

// The box after an import: what was added, its notes in a list that scrolls, and the buttons
// "D'acord" and, when `ambDesfes`, "Desfés la importació". True when the import is to be undone.
class CaixaImportacio {
  public:
    virtual ~CaixaImportacio() = default;
    virtual bool mostra(const QString& text, const QStringList& avisos, bool ambDesfes) = 0;
};

// What a spreadsheet leaves on the clipboard when cells are copied: its CSV where it offers one,
// else its text (tabs between cells, a line a row).
class Portaretalls {
  public:
    virtual ~Portaretalls() = default;
    virtual QByteArray files() = 0;
};

// The toolkit's print dialog with its preview. `dibuixa` draws pages `primera` to `darrera` (0:
// to the last) on the printer the user chose, as often as the preview asks.
class Impressio {
  public:
    virtual ~Impressio() = default;
    using Dibuixa = std::function<void(QPagedPaintDevice& dispositiu, int primera, int darrera)>;
    virtual void imprimeix(const QString& titol, const Dibuixa& dibuixa) = 0;
};

class DialegDesarQt final : public DialegDesar {
  public:
    QString desa(const QStringList& filtres, int& triat, const QString& suggerit) override;
};

class CaixaImportacioQt final : public CaixaImportacio {
  public:
    bool mostra(const QString& text, const QStringList& avisos, bool ambDesfes) override;
};

class PortaretallsQt final : public Portaretalls {
  public:
    QByteArray files() override;
};

// Through the module q2x7-impressio beside the program, loaded when first asked.
class ImpressioQt final : public Impressio {
  public:
    void imprimeix(const QString& titol, const Dibuixa& dibuixa) override;
};

}  // namespace platform

// What the module exports: the dialog over `pare`.
extern "C" void q2x7_imprimeix(const QString& titol, const platform::Impressio::Dibuixa& dibuixa,
                               QWidget* pare);
