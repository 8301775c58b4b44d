#include "ordres.h"

#include "exchange/camps.h"
#include "exchange/csv.h"
#include "exchange/lectura.h"
#include "exchange/sortida.h"
#include "exchange/vcard.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <memory>

#include <unistd.h>

namespace {

using exchange::ErrorIntercanvi;

constexpr int kFet = 0;
constexpr int kFallat = 1;
constexpr int kUs = 2;

const char* const kAjuda = R"(Ús: q2x7 [FITXER]
       q2x7 exporta [opcions] FITXER [SORTIDA]
       q2x7 importa [opcions] ENTRADA FITXER

Fitxer de dades dels alumnes d'un grup: nom, adreça, codi postal, població i telèfon.

Sense cap ordre, obre la finestra «Dades alumnes», amb FITXER obert si se'n dona un.

Ordres (cap no necessita pantalla):
  exporta   escriu els alumnes de FITXER en CSV, vCard o PDF
  importa   fa un fitxer d'alumnes nou amb les files d'un CSV

Opcions:
  -h, --help     Mostra aquesta ajuda i surt.
  -v, --version  Mostra la versió i surt.

«q2x7 exporta --help» i «q2x7 importa --help» expliquen cada ordre.
)";

const char* const kAjudaExporta = R"(Ús: q2x7 exporta [opcions] FITXER [SORTIDA]

Escriu els alumnes del fitxer d'alumnes FITXER a SORTIDA, o a la sortida estàndard si no se'n
dona cap o és «-». El format surt de l'extensió de SORTIDA (.csv, .vcf, .pdf):
  .csv  per a un full de càlcul: UTF-8 amb marca d'ordre, «;», una fila per registre
  .vcf  per a un telèfon: vCard 3.0, una targeta per alumne
  .pdf  una llista de la classe per imprimir, A4 apaïsat
SORTIDA es fa sencera abans d'ocupar el lloc d'una d'anterior.

Opcions:
  --format csv|vcf|pdf   el format, sigui quina sigui l'extensió (a la sortida estàndard, CSV)
  --separador ,|;|tab    el separador del CSV (per defecte «;»)
  --sense-bom            el CSV sense marca d'ordre
  -h, --help             Mostra aquesta ajuda i surt.
)";

const char* const kAjudaImporta = R"(Ús: q2x7 importa [opcions] ENTRADA FITXER

Fa el fitxer d'alumnes FITXER amb les files del CSV ENTRADA («-» per a l'entrada estàndard),
un registre per fila. El CSV pot ser UTF-8 o Windows-1252, amb «;», «,» o tabulador. Si la
primera fila anomena alguna de les columnes Nom, Adreça, Població, Codi postal i Telèfon,
és la capçalera; si no, les columnes són en aquest ordre. Cada valor tallat o amb caràcters
que Windows-1252 no té es diu amb la línia i la columna.
FITXER no ha d'existir: es crea sencer o no es crea.

Opcions:
  --afegeix              afegeix els alumnes al final d'un FITXER que ja existeix
  --separador ,|;|tab    el separador, si no s'ha de deduir de la primera línia
  -h, --help             Mostra aquesta ajuda i surt.
)";

void escriuError(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

int errorDUs(const QString& problema) {
    escriuError(u"q2x7: "_qs + problema);
    escriuError(QStringLiteral("Proveu «q2x7 --help»."));
    return kUs;
}

int escriuText(const char* text) {
    std::fputs(text, stdout);
    return kFet;
}

std::optional<char> separadorDe(const QString& nom) {
    if (nom == u";"_qs || nom == u","_qs)
        return char(nom[0].unicode());
    if (nom == u"tab"_qs || nom == u"\t"_qs)
        return '\t';
    return std::nullopt;
}

// Options of a command: "--nom valor", "--nom=valor" or a flag; the rest are positionals.
struct Arguments {
    QStringList posicionals;
    QHash<QString, QString> valors;
    QSet<QString> senyals;
};

std::optional<Arguments> llegeixArguments(const QStringList& llista, const QSet<QString>& ambValor,
                                          const QSet<QString>& senyals, int& estat) {
    Arguments resultat;
    bool nomesPosicionals = false;
    for (qsizetype i = 0; i < llista.size(); ++i) {
        const QString& argument = llista[i];
        if (nomesPosicionals || argument == u"-"_qs || !argument.startsWith(u'-')) {
            resultat.posicionals << argument;
            continue;
        }
        if (argument == u"--"_qs) {
            nomesPosicionals = true;
            continue;
        }
        const qsizetype igual = argument.indexOf(u'=');
        const QString nom = igual < 0 ? argument : argument.first(igual);
        if (ambValor.contains(nom)) {
            if (igual >= 0) {
                resultat.valors[nom] = argument.sliced(igual + 1);
            } else if (i + 1 < llista.size()) {
                resultat.valors[nom] = llista[++i];
            } else {
                estat = errorDUs(QStringLiteral("falta el valor de %1").arg(nom));
                return std::nullopt;
            }
        } else if (senyals.contains(argument)) {
            resultat.senyals << argument;
        } else {
            estat = errorDUs(QStringLiteral("opció desconeguda: %1").arg(argument));
            return std::nullopt;
        }
    }
    return resultat;
}

bool demanaAjuda(const Arguments& arguments) {
    return arguments.senyals.contains(u"-h"_qs) || arguments.senyals.contains(u"--help"_qs);
}

// The separator of --separador, `perDefecte` without it; for one that is not known, the usage
// error is reported and its status left in `estat`.
std::optional<char> separadorDelsArguments(const Arguments& arguments,
                                           std::optional<char> perDefecte, int& estat) {
    const auto valor = arguments.valors.find(u"--separador"_qs);
    if (valor == arguments.valors.end())
        return perDefecte;
    const std::optional<char> separador = separadorDe(*valor);
    if (!separador)
        estat = errorDUs(QStringLiteral("separador desconegut: %1 (, ; o tab)").arg(*valor));
    return separador;
}

enum class Format { Csv, VCard, Pdf };

std::optional<Format> formatDelNom(const QString& nom) {
    const QString n = nom.toLower();
    if (n == u"csv"_qs)
        return Format::Csv;
    if (n == u"vcf"_qs || n == u"vcard"_qs)
        return Format::VCard;
    if (n == u"pdf"_qs)
        return Format::Pdf;
    return std::nullopt;
}

int exportaFitxer(const QString& fitxer, const QString& sortida, Format format, char separador,
                  bool ambMarca, EscriuPdf escriuPdf) {
    const bool estandard = sortida.isEmpty() || sortida == u"-"_qs;
    if (!estandard && exchange::mateixFitxer(fitxer, sortida))
        throw ErrorIntercanvi(
            QStringLiteral("%1 és el mateix fitxer d'alumnes: no s'hi exporta").arg(sortida));
    auto& crides = platform::CridesSistema::reals();
    exchange::LectorDAlumnes lector(fitxer, crides);
    if (lector.obertEnUnAltrePrograma())
        escriuError(QStringLiteral("q2x7: %1 és obert en un altre programa; s'exporta el que hi "
                                   "ha desat")
                        .arg(fitxer));
    const std::unique_ptr<exchange::Sortida> desti =
        estandard ? exchange::Sortida::estandard()
                  : exchange::Sortida::fitxer(sortida, exchange::Sortida::SiExisteix::Substitueix,
                                              crides);
    constexpr int kLongitud = record::TipusAlumne::kLongitud;
    qsizetype resta = 0;
    const auto perCadaRegistre = [&](auto&& fes) {
        QByteArray bloc;
        while (lector.seguent(bloc)) {
            const QByteArrayView bytes(bloc);
            for (qsizetype inici = 0; inici < bytes.size(); inici += kLongitud)
                fes(record::TipusAlumne::deBytes(bytes.sliced(inici).first(
                    std::min<qsizetype>(kLongitud, bytes.size() - inici))));
            resta = bytes.size() % kLongitud;
        }
    };
    switch (format) {
        case Format::Csv: {
            exchange::EscriptorCsv csv(*desti, separador, ambMarca);
            csv.capcalera();
            perCadaRegistre([&](const record::TipusAlumne& a) { csv.fila(a); });
            break;
        }
        case Format::VCard: {
            exchange::EscriptorVCard vcard(*desti, exchange::nomDelGrup(fitxer));
            perCadaRegistre([&](const record::TipusAlumne& a) { vcard.targeta(a); });
            break;
        }
        case Format::Pdf: {
            const QByteArray tot = lector.tot();
            resta = tot.size() % kLongitud;
            escriuPdf(*desti, tot, exchange::nomDelGrup(fitxer), QDate::currentDate());
            break;
        }
    }
    if (resta)
        escriuError(QStringLiteral("q2x7: l'últim registre de %1 és incomplet (%2 de %3 bytes); "
                                   "s'exporta fins on arriba")
                        .arg(fitxer)
                        .arg(resta)
                        .arg(kLongitud));
    desti->publica();
    return kFet;
}

// Empty when a PDF was asked for and only the graphical program can draw it.
std::optional<int> exporta(int argc, char* argv[], const QStringList& llista, EscriuPdf escriuPdf) {
    int estat = kFet;
    const auto arguments = llegeixArguments(llista, {u"--format"_qs, u"--separador"_qs},
                                            {u"--sense-bom"_qs, u"-h"_qs, u"--help"_qs}, estat);
    if (!arguments)
        return estat;
    if (demanaAjuda(*arguments))
        return escriuText(kAjudaExporta);
    const QStringList& posicionals = arguments->posicionals;
    if (posicionals.isEmpty())
        return errorDUs(QStringLiteral("exporta: falta el FITXER d'alumnes"));
    if (posicionals.size() > 2)
        return errorDUs(QStringLiteral("exporta: sobra «%1»").arg(posicionals[2]));
    const QString fitxer = posicionals[0];
    const QString sortida = posicionals.value(1);

    std::optional<Format> format = Format::Csv;
    if (arguments->valors.contains(u"--format"_qs)) {
        format = formatDelNom(arguments->valors[u"--format"_qs]);
        if (!format)
            return errorDUs(
                QStringLiteral("format desconegut: %1").arg(arguments->valors[u"--format"_qs]));
    } else if (!sortida.isEmpty() && sortida != u"-"_qs) {
        format = formatDelNom(QFileInfo(sortida).suffix());
        if (!format)
            return errorDUs(
                QStringLiteral("no se sap quin format vol dir l'extensió de %1 (.csv, .vcf, .pdf); "
                               "digueu-lo amb --format")
                    .arg(sortida));
    }
    const std::optional<char> separador = separadorDelsArguments(*arguments, ';', estat);
    if (estat != kFet)
        return estat;

    const bool ambMarca = !arguments->senyals.contains(u"--sense-bom"_qs);
    try {
        if (*format != Format::Pdf) {
            QCoreApplication app(argc, argv);
            return exportaFitxer(fitxer, sortida, *format, *separador, ambMarca, escriuPdf);
        }
        if (!escriuPdf)
            return std::nullopt;
        return exportaFitxer(fitxer, sortida, *format, *separador, ambMarca, escriuPdf);
    } catch (const ErrorIntercanvi& error) {
        escriuError(u"q2x7: "_qs + error.missatge());
        return kFallat;
    }
}

// The whole input. A file is mapped rather than copied; `fitxer` keeps the mapping.
QByteArray llegeixEntrada(const QString& entrada, QFile& fitxer) {
    const bool obert = entrada == u"-"_qs
                           ? fitxer.open(stdin, QIODevice::ReadOnly)
                           : (fitxer.setFileName(entrada), fitxer.open(QIODevice::ReadOnly));
    if (!obert)
        throw ErrorIntercanvi(
            QStringLiteral("no es pot llegir %1: %2").arg(entrada, exchange::descripcio(errno)));
    if (!fitxer.isSequential() && fitxer.size() > 0) {
        if (const uchar* mapa = fitxer.map(0, fitxer.size()))
            return QByteArray::fromRawData(reinterpret_cast<const char*>(mapa),
                                           qsizetype(fitxer.size()));
    }
    QByteArray bytes = fitxer.readAll();
    if (fitxer.error() != QFileDevice::NoError)
        throw ErrorIntercanvi(
            QStringLiteral("no es pot llegir %1: %2").arg(entrada, fitxer.errorString()));
    return bytes;
}

int importa(int argc, char* argv[], const QStringList& llista) {
    int estat = kFet;
    const auto arguments = llegeixArguments(llista, {u"--separador"_qs},
                                            {u"--afegeix"_qs, u"-h"_qs, u"--help"_qs}, estat);
    if (!arguments)
        return estat;
    if (demanaAjuda(*arguments))
        return escriuText(kAjudaImporta);
    const QStringList& posicionals = arguments->posicionals;
    if (posicionals.size() < 2)
        return errorDUs(posicionals.isEmpty()
                            ? QStringLiteral("importa: falten l'ENTRADA i el FITXER d'alumnes")
                            : QStringLiteral("importa: falta el FITXER d'alumnes"));
    if (posicionals.size() > 2)
        return errorDUs(QStringLiteral("importa: sobra «%1»").arg(posicionals[2]));
    const std::optional<char> separador = separadorDelsArguments(*arguments, std::nullopt, estat);
    if (estat != kFet)
        return estat;
    const QString& entrada = posicionals[0];
    const QString& fitxer = posicionals[1];
    const bool afegeix = arguments->senyals.contains(u"--afegeix"_qs);

    QCoreApplication app(argc, argv);
    try {
        const bool existeix = QFileInfo::exists(fitxer);
        if (existeix && !afegeix)
            throw ErrorIntercanvi(
                QStringLiteral("%1 ja existeix: no s'hi escriu (amb --afegeix, s'hi afegeixen "
                               "els alumnes al final)")
                    .arg(fitxer));
        QFile fitxerEntrada;
        const exchange::CsvLlegit llegit =
            exchange::llegeixCsv(llegeixEntrada(entrada, fitxerEntrada), separador);
        for (const QString& avis : llegit.avisos)
            escriuError(avis);
        auto& crides = platform::CridesSistema::reals();
        if (existeix) {
            exchange::afegeixRegistres(fitxer, llegit.registres, crides);
        } else {
            const auto desti =
                exchange::Sortida::fitxer(fitxer, exchange::Sortida::SiExisteix::Refusa, crides);
            desti->write(llegit.registres);
            desti->publica();
        }
        return kFet;
    } catch (const ErrorIntercanvi& error) {
        escriuError(u"q2x7: "_qs + error.missatge());
        return kFallat;
    }
}

}  // namespace

Peticio atenLiniaDOrdres(int argc, char* argv[], EscriuPdf escriuPdf) {
    QStringList llista;
    for (int i = 1; i < argc; ++i)
        llista << QString::fromLocal8Bit(argv[i]);
    if (!llista.isEmpty() && llista[0] == u"exporta"_qs) {
        const std::optional<int> estat = exporta(argc, argv, llista.mid(1), escriuPdf);
        return {estat, {}, !estat};
    }
    if (!llista.isEmpty() && llista[0] == u"importa"_qs)
        return {importa(argc, argv, llista.mid(1)), {}};

    int estat = kFet;
    const auto arguments = llegeixArguments(
        llista, {}, {u"-h"_qs, u"--help"_qs, u"-?"_qs, u"--help-all"_qs, u"-v"_qs, u"--version"_qs},
        estat);
    if (!arguments)
        return {estat, {}};
    for (const QString& ajuda : {u"-h"_qs, u"--help"_qs, u"-?"_qs, u"--help-all"_qs}) {
        if (arguments->senyals.contains(ajuda))
            return {escriuText(kAjuda), {}};
    }
    if (arguments->senyals.contains(u"-v"_qs) || arguments->senyals.contains(u"--version"_qs)) {
        std::printf("q2x7 %s\n", Q2X7_VERSIO);
        return {kFet, {}};
    }
    if (arguments->posicionals.size() > 1)
        return {errorDUs(QStringLiteral("sobra «%1»: la finestra obre un sol fitxer")
                             .arg(arguments->posicionals[1])),
                {}};
    return {std::nullopt, arguments->posicionals.value(0)};
}
