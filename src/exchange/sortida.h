#pragma once

#include "platform/crides_sistema.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>

#include <memory>
#include <optional>

#include <sys/stat.h>

namespace exchange {

// Where an export's bytes go: standard output, or a file that appears under its name only once
// it is whole. Until then the file has no name, so a failure or a kill leaves nothing behind and
// any earlier file of that name as it was. A file replaced keeps its mode (and its owner and group
// when the user may set them); a new one gets the mode the umask gives. A symbolic link is written
// through: the file it names is replaced in its own folder, and the link stays.
class Sortida : public QIODevice {
  public:
    enum class SiExisteix { Refusa, Substitueix };

    static std::unique_ptr<Sortida> estandard();
    // Made in the folder of the file `cami` names. A file that exists but the user may not write
    // is refused, as a shell's redirection would. Throws ErrorIntercanvi.
    static std::unique_ptr<Sortida> fitxer(const QString& cami, SiExisteix siExisteix,
                                           platform::CridesSistema& crides);
    ~Sortida() override;

    // Writes out what is held, flushes it to the disk and, for a file, puts it in place and
    // flushes its folder. Throws ErrorIntercanvi, leaving nothing in place.
    void publica();

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* dades, qint64 mida) override;

  private:
    Sortida(platform::CridesSistema& crides, int descriptor, QString cami, QByteArray temporal,
            SiExisteix siExisteix);
    void posaElModeDAbans();
    void buida();
    void escriu(QByteArrayView bytes);
    [[noreturn]] void falla(const QString& que);

    platform::CridesSistema& m_crides;
    int m_descriptor;
    QString m_cami;         // "" for standard output
    QByteArray m_temporal;  // the name it has while being written, "" when it has none
    SiExisteix m_siExisteix;
    std::optional<struct stat> m_anterior;  // the file being replaced
    QByteArray m_pendent;
    qint64 m_escrits = 0;
    int m_error = 0;  // the first write that failed; publica reports it
    bool m_publicada = false;
};

}  // namespace exchange
