#pragma once

#include "platform/crides_sistema.h"

#include <QByteArray>
#include <QString>

namespace exchange {

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

    bool obertEnUnAltrePrograma() const { return m_obertEnUnAltre; }
    // The next block into `bloc`: whole records, but for a partial last one. False at the end.
    bool seguent(QByteArray& bloc);
    // Everything left, for formats that lay out the whole list first.
    QByteArray tot();

  private:
    void llegeixA(QByteArray& bytes, qint64 inici, qsizetype mida);

    platform::CridesSistema& m_crides;
    QString m_cami;
    int m_descriptor = -1;
    qint64 m_posicio = 0;
    bool m_obertEnUnAltre = false;
    QByteArray m_comprova;
};

// Whether two paths name the same file, by any path or link; false when either does not exist.
bool mateixFitxer(const QString& a, const QString& b);

}  // namespace exchange
