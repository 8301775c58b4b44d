#pragma once

#include "record/tipus_alumne.h"

#include <QIODevice>
#include <QString>

namespace exchange {

// Cards for a phone or a mail program: vCard 3.0 (RFC 2426), the version phones import most
// reliably; UTF-8, CRLF, long lines folded. One card per student, grouped by the class's name.
class EscriptorVCard {
  public:
    EscriptorVCard(QIODevice& sortida, const QString& grup);

    // Blank records give no card.
    void targeta(const record::TipusAlumne& alumne);

  private:
    void linia(const QString& text);

    QIODevice& m_sortida;
    QString m_grup;
};

}  // namespace exchange
