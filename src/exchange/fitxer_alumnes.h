#pragma once

#include "exchange/errors.h"
#include "platform/crides_sistema.h"
#include "record/tipus_alumne.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace exchange {

constexpr qint64 kLongitudRegistre = record::TipusAlumne::kLongitud;
constexpr qint64 kMaximRegistres = 32767;  // the largest record number

// Records with any byte in a file of `longitud` bytes, a partial last one included: a blank
// screen must never be saved over bytes the user was not shown.
constexpr qint64 registresAmbBytes(qint64 longitud) {
    return (longitud + kLongitudRegistre - 1) / kLongitudRegistre;
}

// A block of a student file's bytes seen as its records; the last may be partial.
class VistaRegistres {
  public:
    explicit VistaRegistres(QByteArrayView bytes) : m_bytes(bytes) {}

    qsizetype nombre() const { return qsizetype(registresAmbBytes(m_bytes.size())); }
    // Bytes of a partial last record, 0 when every record is whole.
    qsizetype bytesDeLaCua() const { return m_bytes.size() % kLongitudRegistre; }
    // Record `i`, counting from 0, as it lies in the block.
    QByteArrayView bytes(qsizetype i) const {
        const qsizetype inici = i * kLongitudRegistre;
        return m_bytes.sliced(inici, std::min(kLongitudRegistre, m_bytes.size() - inici));
    }
    // The same as a record; what a partial one lacks is blank.
    record::TipusAlumne alumne(qsizetype i) const { return record::TipusAlumne::deBytes(bytes(i)); }

  private:
    QByteArrayView m_bytes;
};

// Reads a student file a block of whole records at a time, without taking it from anyone: a file
// open in the window is read as it is saved. A save may land while a block is read, so each block
// is read until two reads agree, and no record is ever taken half-written.
class LectorDAlumnes {
  public:
    // Throws ErrorIntercanvi.
    LectorDAlumnes(const QString& cami, platform::CridesSistema& crides);
    ~LectorDAlumnes();
    LectorDAlumnes(const LectorDAlumnes&) = delete;
    LectorDAlumnes& operator=(const LectorDAlumnes&) = delete;

    // Whether the window (or another writer) holds the file's lock.
    bool obertEnUnAltrePrograma() const { return m_obertEnUnAltre; }
    // The next block into `bloc`: whole records, but for a partial last one. False at the end.
    bool seguent(QByteArray& bloc);

  private:
    void llegeixA(QByteArray& bytes, qint64 inici, qsizetype mida);

    platform::CridesSistema& m_crides;
    QString m_cami;
    int m_descriptor = -1;
    qint64 m_posicio = 0;
    bool m_obertEnUnAltre = false;
    QByteArray m_comprova;
};

// Adds whole records after every record whose bytes lie in the student file, all or nothing: the
// file with them is written whole beside it, flushed and renamed into its place (keeping its mode,
// owner and group), so a failure or a kill at any moment leaves either the file as it was or the
// file with every new record. A partial last record is completed with spaces first, and said so.
// Under the lock the window takes; a file with other names (hard links) is refused, since those
// would keep the earlier file. Throws ErrorIntercanvi.
void afegeixAlumnes(const QString& cami, QByteArrayView registres, platform::CridesSistema& crides,
                    const Avisos& avisa);

// Refuses a file whose name or first bytes say it is something else than a student file (a CSV,
// a vCard, a PDF, a spreadsheet), so that no record is ever written into it.
void comprovaQueEsDAlumnes(const QString& cami, QByteArrayView primersBytes);
// The same, reading the first bytes of the file when it exists.
void comprovaQueEsDAlumnes(const QString& cami, platform::CridesSistema& crides);

// Whether two paths name the same file, by any path or link; false when either does not exist.
bool mateixFitxer(const QString& a, const QString& b);
// Whether an open descriptor is the file `cami` names.
bool mateixFitxer(int descriptor, const QString& cami);

// The file a path names once its symbolic links are followed; the path itself when it is none.
QString senseEnllacos(const QString& cami);

}  // namespace exchange
