#pragma once

#include "exchange/columnes.h"

#include <QByteArray>
#include <QDate>
#include <QIODevice>
#include <QString>
#include <QXmlStreamReader>

#include <memory>

class QuaZip;

namespace exchange {

class Entrada;

// What the two spreadsheet formats share: how a class is shown as a sheet, and how a zip of XML
// parts is read without trusting it.

// The class's name as a sheet's name: at most 31 characters, none of []:*?/\.
QString nomDelFull(const QString& grup);
// A column wide enough for its field and its header, in characters.
int ampladaDeColumna(const Columna& columna);

// A number as a spreadsheet shows it in its General form: 8001, 34932112233, 3.5, never 8001.0
// nor 3.49E+10.
QString textDelNombre(double nombre);
// A date as a user here reads it.
QString textDeLaData(QDate data);
QString textDelBoolea(bool valor);
// The note of a cell merged down over `files` rows, whose value each of them takes.
QString avisDeCombinada(qsizetype columna, const QString& valor, int files);

// A spreadsheet being read, as its refusals name it: "NOM no es pot llegir com a QUE: PER QUE".
class FontDeFull {
  public:
    FontDeFull(const QString& nom, const QString& queEs) : m_nom(nom), m_queEs(queEs) {}
    [[noreturn]] void refusa(const QString& perQue) const;

  private:
    QString m_nom;
    QString m_queEs;
};

// A spreadsheet's zip, read part by part. Every part is checked before it is inflated: encrypted,
// larger than kMaximPart once inflated, or inflating to more than kMaximRati times its size, and
// it is refused; and it is never inflated past what it said. Throws ErrorIntercanvi.
class ArxiuZip : public FontDeFull {
  public:
    static constexpr qint64 kMaximPart = 64 << 20;
    static constexpr qint64 kMaximRati = 100;

    ArxiuZip(Entrada& entrada, const QString& queEs);
    ~ArxiuZip();
    ArxiuZip(const ArxiuZip&) = delete;
    ArxiuZip& operator=(const ArxiuZip&) = delete;

    bool te(const QString& part);
    QByteArray llegeix(const QString& part);
    // The part as a device to read it as it inflates, for the large ones: only one at a time,
    // and until the next call. Its checksum is checked by tanca().
    QIODevice& obre(const QString& part);
    void tanca();

  private:
    std::unique_ptr<QIODevice> m_dispositiu;
    std::unique_ptr<QuaZip> m_zip;
    std::unique_ptr<QIODevice> m_part;  // the part open, a QuaZipFile
    QString m_nomDeLaPart;
};

// Reads the next token, refusing a document type: its entities could make a small part huge, and
// no spreadsheet needs one. Throws ErrorIntercanvi.
QXmlStreamReader::TokenType seguentToken(QXmlStreamReader& xml, const FontDeFull& font);

// Whether the input starts as a zip, and whether as an OpenDocument spreadsheet's (its first
// part, stored, is its type).
bool esZip(Entrada& entrada);
bool esZipOpenDocument(Entrada& entrada);
// Whether it starts as a flat OpenDocument spreadsheet: one XML document of that type.
bool esOpenDocumentPla(Entrada& entrada);

}  // namespace exchange
