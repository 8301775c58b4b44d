#include "exchange/full_de_calcul.h"

#include "exchange/entrada.h"
#include "exchange/errors.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <cmath>

namespace exchange {

QString nomDelFull(const QString& grup) {
    QString nom = grup;
    for (QChar& c : nom) {
        if (QStringView(u"[]:*?/\\").contains(c))
            c = u'_';
    }
    nom.truncate(31);
    return nom.trimmed().isEmpty() ? QStringLiteral("Alumnes") : nom;
}

int ampladaDeColumna(const Columna& columna) {
    return int(std::max<qsizetype>(record::disposicio(columna.camp).amplada,
                                   capcalera(columna).size())) +
           2;
}

QString textDelNombre(double nombre) {
    if (!std::isfinite(nombre))
        return QString();
    // Whole numbers as they are, however many digits a telephone has.
    if (std::abs(nombre) < 1e15 && nombre == std::trunc(nombre))
        return QString::number(qint64(nombre));
    return QString::number(nombre, 'g', 15);
}

QString textDeLaData(QDate data) {
    return data.toString(u"dd/MM/yyyy");
}

QString avisDeCombinada(qsizetype columna, const QString& valor, int files) {
    return QStringLiteral(
               "columna %1: «%2», en una cel·la combinada de %3 files, es dona a "
               "cadascuna")
        .arg(lletresDeColumna(columna), valor)
        .arg(files);
}

QString textDelBoolea(bool valor) {
    return valor ? QStringLiteral("VERTADER") : QStringLiteral("FALS");
}

void FontDeFull::refusa(const QString& perQue) const {
    throw ErrorIntercanvi(
        QStringLiteral("%1 no es pot llegir com a %2: %3")
            .arg(m_nom == u"-"_qs ? QStringLiteral("l'entrada") : m_nom, m_queEs, perQue));
}

ArxiuZip::ArxiuZip(Entrada& entrada, const QString& queEs)
    : FontDeFull(entrada.nom(), queEs), m_dispositiu(entrada.comArxiu()) {
    m_zip = std::make_unique<QuaZip>(m_dispositiu.get());
    if (!m_zip->open(QuaZip::mdUnzip))
        refusa(QStringLiteral("no és un fitxer zip, o és malmès"));
}

ArxiuZip::~ArxiuZip() = default;

bool ArxiuZip::te(const QString& part) {
    return m_zip->setCurrentFile(part);
}

QIODevice& ArxiuZip::obre(const QString& part) {
    m_part.reset();
    if (!m_zip->setCurrentFile(part))
        refusa(QStringLiteral("li falta la part %1").arg(part));
    QuaZipFileInfo64 info;
    if (!m_zip->getCurrentFileInfo(&info))
        refusa(QStringLiteral("la part %1 és malmesa").arg(part));
    if (info.flags & 1)
        refusa(QStringLiteral("és xifrat"));
    const qint64 mida = qint64(info.uncompressedSize);
    if (mida > kMaximPart)
        refusa(QStringLiteral("la part %1 faria %2 MiB, i se'n llegeixen %3 com a molt")
                   .arg(part)
                   .arg(mida >> 20)
                   .arg(kMaximPart >> 20));
    // Small parts cannot hurt; a large one that grows more than any real sheet is a bomb.
    if (mida > (1 << 20) && mida > kMaximRati * qint64(info.compressedSize))
        refusa(QStringLiteral("la part %1 es faria %2 vegades més gran, i cap full no ho fa")
                   .arg(part)
                   .arg(info.compressedSize ? mida / qint64(info.compressedSize) : mida));
    // It inflates no further than the size it declares: the zip library stops there.
    auto fitxer = std::make_unique<QuaZipFile>(m_zip.get());
    if (!fitxer->open(QIODevice::ReadOnly))
        refusa(QStringLiteral("la part %1 és malmesa").arg(part));
    m_part = std::move(fitxer);
    m_nomDeLaPart = part;
    return *m_part;
}

void ArxiuZip::tanca() {
    if (!m_part)
        return;
    auto& fitxer = static_cast<QuaZipFile&>(*m_part);
    fitxer.close();
    const bool malmesa = fitxer.getZipError() != UNZ_OK;
    m_part.reset();
    if (malmesa)
        refusa(QStringLiteral("la part %1 és malmesa").arg(m_nomDeLaPart));
}

QByteArray ArxiuZip::llegeix(const QString& part) {
    QByteArray bytes = obre(part).readAll();
    tanca();
    return bytes;
}

QXmlStreamReader::TokenType seguentToken(QXmlStreamReader& xml, const FontDeFull& font) {
    const QXmlStreamReader::TokenType token = xml.readNext();
    if (token == QXmlStreamReader::DTD)
        font.refusa(
            QStringLiteral("té una declaració de tipus de document, que cap full de "
                           "càlcul no necessita"));
    if (token == QXmlStreamReader::Invalid)
        font.refusa(QStringLiteral("un XML malmès (%1)").arg(xml.lineNumber()));
    return token;
}

bool esZip(Entrada& entrada) {
    return entrada.inici(4) == QByteArrayView("PK\x03\x04");
}

bool esZipOpenDocument(Entrada& entrada) {
    // A local header is 30 bytes, then the part's name.
    const QByteArrayView inici = entrada.inici(128);
    return esZip(entrada) && inici.size() > 38 && inici.sliced(30).startsWith("mimetype") &&
           inici.sliced(38).startsWith("application/vnd.oasis.opendocument.spreadsheet");
}

bool esOpenDocumentPla(Entrada& entrada) {
    QByteArrayView inici = entrada.inici(4096);
    if (inici.startsWith("\xEF\xBB\xBF"))
        inici = inici.sliced(3);
    inici = inici.trimmed();
    // The root element carries the type, after the declaration and its namespaces.
    return (inici.startsWith("<?xml") || inici.startsWith("<office:document")) &&
           inici.indexOf("office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"") >= 0;
}

}  // namespace exchange
