#pragma once

#include "platform/crides_sistema.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

namespace platform {

// What tells whether the open file changed behind the channel: a write by another program moves
// its length or its times, and a file put in its place has another inode. The change time is
// looked at too: a program may set the modification time back (a copy that keeps it, a restored
// backup), but nothing can set the change time back.
struct Empremta {
    qint64 longitud = 0;
    qint64 modificat = 0;  // nanoseconds
    qint64 canviat = 0;    // nanoseconds
    quint64 dispositiu = 0;
    quint64 inode = 0;      // of the file at the name, 0 when the name is gone
    bool alSeuLloc = true;  // the name still names the open file
    bool operator==(const Empremta&) const = default;
    // Another file took the name: the open one was renamed away or deleted, and replaced.
    bool substituit() const { return !alSeuLloc && inode != 0; }
};

// What a record's write found and left: the length the file had and has, and the bytes the
// record covered before (fewer than a record where the file ended inside it, none past its end;
// nothing when they could not be read), so that the write can be undone.
struct Escrit {
    qint64 longitudAbans = 0;
    qint64 longitud = 0;
    std::optional<QByteArray> anteriors;
};

class ErrorFitxer : public std::runtime_error {
  public:
    enum class Tipus {
        NumeroRegistreIncorrecte,  // a record number below 1
        NumeroFitxerIncorrecte,    // the channel is not open
        Disc,                      // anything the system refused
    };
    ErrorFitxer(Tipus tipus, const QString& detall)
        : std::runtime_error(detall.toStdString()), m_tipus(tipus) {}
    Tipus tipus() const { return m_tipus; }

  private:
    Tipus m_tipus;
};

// The file system the windows work on: one random-access record file open at a time (the
// channel), deleting files, and drives and directories. Every failure throws ErrorFitxer.
class SistemaFitxers {
  public:
    virtual ~SistemaFitxers() = default;

    // Opens for reading and writing, creating the file empty when it does not exist; a created
    // file's name is on stable storage before the open counts as done.
    virtual void obre(const QString& cami, qint16 longRegistre) = 0;
    virtual qint64 longitud() = 0;
    // Record numbers count from 1; writing past the end lengthens the file. A write counts as
    // done once it is on stable storage; one that fails leaves the file as it was, its length
    // included. Writing into a file that is no longer reachable by its name (deleted or renamed
    // away) fails. The lengths are as the write found them: another program may have lengthened
    // the file meanwhile.
    virtual Escrit escriuRegistre(qint16 numero, QByteArrayView registre) = 0;
    virtual QByteArray llegeixRegistre(qint16 numero) = 0;
    // Adds whole records after every record whose bytes lie in the open file, a partial last one
    // completed with spaces first; done once on stable storage, and a failure leaves the file as
    // it was. Returns the file's length before, to which tallaA can bring it back.
    virtual qint64 afegeixRegistres(QByteArrayView registres) = 0;
    // Cuts the open file back to `longitud` bytes, on stable storage before it counts as done.
    virtual void tallaA(qint64 longitud) = 0;
    // The open file's bytes, all of them.
    virtual QByteArray contingut() = 0;
    // Gives the open file new bytes all at once: a locked file beside it takes them, reaches the
    // disk with the old one's mode and owner, and then takes its name, so a failure or a kill at
    // any moment leaves the old bytes or the new, and no other program can open it in between.
    // The channel goes on with the new file. A failure before the name moved leaves everything as
    // it was; a failure to flush the folder afterwards is thrown too, with the new bytes in place.
    virtual void substitueix(QByteArrayView bytes) = 0;
    // Of the open file as the channel sees it, the inode being that of the file at its name.
    virtual Empremta empremta() = 0;
    // The system calls the channel goes through: what reads or writes files beside it uses them.
    virtual CridesSistema& cridesDelSistema() = 0;
    // Harmless when nothing is open.
    virtual void tanca() = 0;

    // Done once the removal is on stable storage.
    virtual void esborra(const QString& cami) = 0;
    // Whether `cami` names an existing regular file (links followed).
    virtual bool esFitxer(const QString& cami) = 0;

    virtual QString directoriActual() = 0;
    virtual void canviaDirectoriActual(const QString& directori) = 0;

    // Drives are the mount points a user would pick from, "/" first.
    virtual QStringList unitats() = 0;
    // The last directory made current on the drive in this run, else the process's current
    // directory when it lies there, else the drive's root.
    virtual QString directoriDeUnitat(const QString& unitat) = 0;
    virtual QStringList subdirectoris(const QString& directori) = 0;
    virtual QStringList fitxers(const QString& directori) = 0;
};

// The drive among `unitats` whose mount point holds `cami` (the longest such), "" for none.
QString unitatDe(const QStringList& unitats, const QString& cami);

class SistemaFitxersReal : public SistemaFitxers {
  public:
    explicit SistemaFitxersReal(CridesSistema& crides = CridesSistema::reals())
        : m_crides(crides) {}
    ~SistemaFitxersReal() override;
    SistemaFitxersReal(const SistemaFitxersReal&) = delete;
    SistemaFitxersReal& operator=(const SistemaFitxersReal&) = delete;

    void obre(const QString& cami, qint16 longRegistre) override;
    qint64 longitud() override;
    Escrit escriuRegistre(qint16 numero, QByteArrayView registre) override;
    QByteArray llegeixRegistre(qint16 numero) override;
    qint64 afegeixRegistres(QByteArrayView registres) override;
    void tallaA(qint64 longitud) override;
    QByteArray contingut() override;
    void substitueix(QByteArrayView bytes) override;
    Empremta empremta() override;
    CridesSistema& cridesDelSistema() override { return m_crides; }
    void tanca() override;
    void esborra(const QString& cami) override;
    bool esFitxer(const QString& cami) override;
    QString directoriActual() override;
    void canviaDirectoriActual(const QString& directori) override;
    QStringList unitats() override;
    QString directoriDeUnitat(const QString& unitat) override;
    QStringList subdirectoris(const QString& directori) override;
    QStringList fitxers(const QString& directori) override;

  private:
    int descriptorObert() const;
    qint64 posicio(qint16 numero) const;
    qint64 longitudSiEsAlSeuLloc(int descriptor);
    void escriuTot(int descriptor, QByteArrayView bytes, qint64 inici);
    void escriuIDesa(int descriptor, const QByteArray& bytes, qint64 inici, qint64 longitudAbans,
                     const std::optional<QByteArray>& anteriors);
    QByteArray llegeix(int descriptor, qint64 inici, qsizetype mida);
    [[noreturn]] void refusaObertura(int descriptor, const QString& motiu, const QString& cami);
    bool sincronitzaDirectoriDe(const QString& cami);
    bool bloqueja(int descriptor);

    CridesSistema& m_crides;
    int m_descriptor = -1;
    QString m_cami;  // absolute: the current directory moves while the file is open
    qint16 m_longRegistre = 0;
    QHash<QString, QString> m_directoriPerUnitat;
};

}  // namespace platform
