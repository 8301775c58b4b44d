#include "linia_ordres.h"

#include <QHash>
#include <QSet>

#include <span>
#include <vector>

namespace linia_ordres {

namespace {

const char16_t* const kAjuda =
    uR"(Ús: q2x7 [FITXER]
       q2x7 exporta [opcions] FITXER [SORTIDA]
       q2x7 importa [opcions] ENTRADA FITXER

Fitxer de dades dels alumnes d'un grup: nom, adreça, codi postal, població i telèfon.

Sense cap ordre, obre la finestra «Dades alumnes», amb FITXER obert si se'n dona un.

Ordres (cap no necessita pantalla):
  exporta   escriu els alumnes de FITXER en un full de càlcul, CSV, vCard o PDF
  importa   fa un fitxer d'alumnes amb les files d'un full de càlcul o d'un CSV

Opcions:
  -h, --help     Mostra aquesta ajuda i surt.
  -v, --version  Mostra la versió i surt.

«q2x7 exporta --help» i «q2x7 importa --help» expliquen cada ordre.
)";

// %1: each format written and what it is for; %2: their names; %3: the formats' options.
const char16_t* const kAjudaExporta =
    uR"(Ús: q2x7 exporta [opcions] FITXER [SORTIDA]

Escriu els alumnes del fitxer d'alumnes FITXER a SORTIDA, o a la sortida estàndard si no se'n
dona cap o és «-». El format surt de l'extensió de SORTIDA:
%1SORTIDA es fa sencera abans d'ocupar el lloc d'una d'anterior, i en conserva els permisos.

Opcions:
  --format %2
                         el format, sigui quina sigui l'extensió (a la sortida estàndard, CSV)
%3  -h, --help             Mostra aquesta ajuda i surt.
)";

// %1: the spreadsheets read; %2: the formats' options.
const char16_t* const kAjudaImporta =
    uR"(Ús: q2x7 importa [opcions] ENTRADA FITXER

Fa el fitxer d'alumnes FITXER amb les files d'ENTRADA («-» per a l'entrada estàndard), un
registre per fila: el primer full visible d'un %1, o un CSV en UTF-8,
UTF-16, Windows-1252, MS-DOS 850 o Mac Roman, amb «;», «,» o tabulador. La capçalera és la
primera de les 30 primeres files que anomena columnes (Nom, Cognoms, Primer cognom, Segon
cognom, Adreça, Població, Codi postal, Telèfon, o com ho diu la secretaria, en català o
castellà); les files de damunt i les columnes que no es fan servir es diuen. Sense capçalera,
les columnes són Nom, Adreça, Població, Codi postal i Telèfon. Cada valor tallat, amb caràcters
que Windows-1252 no té o corregit (un codi postal de quatre xifres) es diu amb la línia i la
columna. ENTRADA pot fer 64 MiB com a molt. FITXER no ha d'existir: es crea sencer o no es
crea.

Opcions:
  --afegeix              afegeix els alumnes al final d'un FITXER que ja existeix: el fitxer
                         queda amb tots els alumnes nous o tal com era, mai a mitges
%2  -h, --help             Mostra aquesta ajuda i surt.
)";

using OpcionsDelFormat = std::span<const exchange::Opcio> exchange::Format::*;

// Every format's options for a command, each name once (two formats may share one).
std::vector<const exchange::Opcio*> opcionsDe(OpcionsDelFormat quines) {
    std::vector<const exchange::Opcio*> opcions;
    QSet<QString> vistes;
    for (const exchange::Format& format : exchange::formats()) {
        for (const exchange::Opcio& opcio : format.*quines) {
            if (!vistes.contains(QString::fromUtf16(opcio.nom))) {
                vistes << QString::fromUtf16(opcio.nom);
                opcions.push_back(&opcio);
            }
        }
    }
    return opcions;
}

// Their lines in the help: the name and its values, then what it does, from column 26.
QString ajudaDeLesOpcions(OpcionsDelFormat quines) {
    const QString sagnat(25, u' ');
    QString text;
    for (const exchange::Opcio* opcio : opcionsDe(quines)) {
        QString nom = u"  --"_qs + QString::fromUtf16(opcio->nom);
        if (opcio->valors)
            nom += u' ' + QString::fromUtf16(opcio->valors);
        text += nom.size() < sagnat.size() - 1 ? nom.leftJustified(sagnat.size())
                                               : nom + u'\n' + sagnat;
        text += QString::fromUtf16(opcio->ajuda).replace(u'\n', u'\n' + sagnat) + u'\n';
    }
    return text;
}

// A command's words: its options (with a value, or flags) and its operands.
struct Arguments {
    QStringList operands;
    QHash<QString, QString> valors;
    QSet<QString> senyals;
};

std::variant<Arguments, ErrorDUs> separa(const QStringList& llista, QSet<QString> ambValor,
                                         QSet<QString> senyals,
                                         OpcionsDelFormat delFormat = nullptr) {
    if (delFormat) {
        for (const exchange::Opcio* opcio : opcionsDe(delFormat))
            (opcio->valors ? ambValor : senyals) << u"--"_qs + QString::fromUtf16(opcio->nom);
    }
    Arguments resultat;
    bool nomesOperands = false;
    for (qsizetype i = 0; i < llista.size(); ++i) {
        const QString& argument = llista[i];
        if (nomesOperands || argument == u"-"_qs || !argument.startsWith(u'-')) {
            resultat.operands << argument;
            continue;
        }
        if (argument == u"--"_qs) {
            nomesOperands = true;
            continue;
        }
        const qsizetype igual = argument.indexOf(u'=');
        const QString nom = igual < 0 ? argument : argument.first(igual);
        if (ambValor.contains(nom)) {
            if (igual >= 0)
                resultat.valors[nom] = argument.sliced(igual + 1);
            else if (i + 1 < llista.size())
                resultat.valors[nom] = llista[++i];
            else
                return ErrorDUs{QStringLiteral("falta el valor de %1").arg(nom)};
        } else if (senyals.contains(argument)) {
            resultat.senyals << argument;
        } else {
            return ErrorDUs{QStringLiteral("opció desconeguda: %1").arg(argument)};
        }
    }
    return resultat;
}

// The formats' options given, checked, by their names without "--".
std::variant<exchange::Opcions, ErrorDUs> opcionsDonades(const Arguments& arguments,
                                                         OpcionsDelFormat quines) {
    exchange::Opcions opcions;
    for (const exchange::Opcio* opcio : opcionsDe(quines)) {
        const QString nom = QString::fromUtf16(opcio->nom);
        const QString opcioDOrdre = u"--"_qs + nom;
        if (!opcio->valors) {
            if (arguments.senyals.contains(opcioDOrdre))
                opcions[nom] = QString();
            continue;
        }
        const auto valor = arguments.valors.find(opcioDOrdre);
        if (valor == arguments.valors.end())
            continue;
        if (const QString problema = opcio->comprova(*valor); !problema.isEmpty())
            return ErrorDUs{problema};
        opcions[nom] = *valor;
    }
    return opcions;
}

bool demanaAjuda(const Arguments& arguments) {
    return arguments.senyals.contains(u"-h"_qs) || arguments.senyals.contains(u"--help"_qs);
}

QString extensionsConegudes() {
    QStringList extensions;
    for (const exchange::Format* format : exchange::formatsDExportacio())
        extensions << u'.' + format->extensions.front();
    return extensions.join(u", "_qs);
}

QString ajudaExporta() {
    QString formats;
    QStringList noms;
    for (const exchange::Format* format : exchange::formatsDExportacio()) {
        formats += QStringLiteral("  %1 %2\n")
                       .arg(u'.' + format->extensions.front(), -6)
                       .arg(QString::fromUtf16(format->ajuda));
        noms << format->nom;
    }
    return QString::fromUtf16(kAjudaExporta)
        .arg(formats, noms.join(u'|'), ajudaDeLesOpcions(&exchange::Format::opcionsDExportacio));
}

QString ajudaImporta() {
    QStringList fulls;
    for (const exchange::Format& format : exchange::formats()) {
        if (format.lector && format.esDelFormat)
            fulls << u'.' + format.extensions.front();
    }
    const QString llista =
        fulls.size() < 2 ? fulls.join(QString())
                         : fulls.mid(0, fulls.size() - 1).join(u", "_qs) + u" o "_qs + fulls.back();
    return QString::fromUtf16(kAjudaImporta)
        .arg(llista, ajudaDeLesOpcions(&exchange::Format::opcionsDImportacio));
}

Peticio exporta(const QStringList& llista) {
    const auto separats = separa(llista, {u"--format"_qs}, {u"-h"_qs, u"--help"_qs},
                                 &exchange::Format::opcionsDExportacio);
    if (const auto* error = std::get_if<ErrorDUs>(&separats))
        return *error;
    const Arguments& arguments = std::get<Arguments>(separats);
    if (demanaAjuda(arguments))
        return Ajuda{ajudaExporta()};
    const QStringList& operands = arguments.operands;
    if (operands.isEmpty())
        return ErrorDUs{QStringLiteral("exporta: falta el FITXER d'alumnes")};
    if (operands.size() > 2)
        return ErrorDUs{QStringLiteral("exporta: sobra «%1»").arg(operands[2])};
    if (operands.size() == 2 && operands[1].isEmpty())
        return ErrorDUs{
            QStringLiteral("exporta: la SORTIDA no pot ser un nom buit (per a la "
                           "sortida estàndard, «-» o res)")};

    Exporta peticio;
    peticio.fitxer = operands[0];
    peticio.sortida = operands.value(1) == u"-"_qs ? QString() : operands.value(1);
    peticio.format = exchange::formatPerNom(u"csv"_qs);
    if (arguments.valors.contains(u"--format"_qs)) {
        const QString& nom = arguments.valors[u"--format"_qs];
        peticio.format = exchange::formatPerNom(nom);
        if (!exchange::seNExporta(peticio.format))
            return ErrorDUs{QStringLiteral("format desconegut: %1").arg(nom)};
    } else if (!peticio.sortida.isEmpty()) {
        peticio.format = exchange::formatPerExtensio(peticio.sortida);
        if (!exchange::seNExporta(peticio.format))
            return ErrorDUs{QStringLiteral("no se sap quin format vol dir l'extensió de %1 (%2); "
                                           "digueu-lo amb --format")
                                .arg(peticio.sortida, extensionsConegudes())};
    }
    const auto opcions = opcionsDonades(arguments, &exchange::Format::opcionsDExportacio);
    if (const auto* error = std::get_if<ErrorDUs>(&opcions))
        return *error;
    peticio.opcions = std::get<exchange::Opcions>(opcions);
    return peticio;
}

Peticio importa(const QStringList& llista) {
    const auto separats = separa(llista, {}, {u"--afegeix"_qs, u"-h"_qs, u"--help"_qs},
                                 &exchange::Format::opcionsDImportacio);
    if (const auto* error = std::get_if<ErrorDUs>(&separats))
        return *error;
    const Arguments& arguments = std::get<Arguments>(separats);
    if (demanaAjuda(arguments))
        return Ajuda{ajudaImporta()};
    const QStringList& operands = arguments.operands;
    if (operands.isEmpty())
        return ErrorDUs{QStringLiteral("importa: falten l'ENTRADA i el FITXER d'alumnes")};
    if (operands.size() == 1)
        return ErrorDUs{QStringLiteral("importa: falta el FITXER d'alumnes")};
    if (operands.size() > 2)
        return ErrorDUs{QStringLiteral("importa: sobra «%1»").arg(operands[2])};

    const auto opcions = opcionsDonades(arguments, &exchange::Format::opcionsDImportacio);
    if (const auto* error = std::get_if<ErrorDUs>(&opcions))
        return *error;
    return Importa{operands[0], operands[1], arguments.senyals.contains(u"--afegeix"_qs),
                   std::get<exchange::Opcions>(opcions)};
}

}  // namespace

Peticio llegeix(const QStringList& llista) {
    if (!llista.isEmpty() && llista[0] == u"exporta"_qs)
        return exporta(llista.mid(1));
    if (!llista.isEmpty() && llista[0] == u"importa"_qs)
        return importa(llista.mid(1));

    const auto separats =
        separa(llista, {},
               {u"-h"_qs, u"--help"_qs, u"-?"_qs, u"--help-all"_qs, u"-v"_qs, u"--version"_qs});
    if (const auto* error = std::get_if<ErrorDUs>(&separats))
        return *error;
    const Arguments& arguments = std::get<Arguments>(separats);
    for (const QString& ajuda : {u"-h"_qs, u"--help"_qs, u"-?"_qs, u"--help-all"_qs}) {
        if (arguments.senyals.contains(ajuda))
            return Ajuda{QString::fromUtf16(kAjuda)};
    }
    if (arguments.senyals.contains(u"-v"_qs) || arguments.senyals.contains(u"--version"_qs))
        return Versio{};
    if (arguments.operands.size() > 1)
        return ErrorDUs{QStringLiteral("sobra «%1»: la finestra obre un sol fitxer")
                            .arg(arguments.operands[1])};
    return Finestra{arguments.operands.value(0)};
}

}  // namespace linia_ordres
