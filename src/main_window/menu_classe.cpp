// The Classe menu: the class to other programs and back, and on paper. Every item first saves
// the record on screen, as every move does, and goes no further when that save is given up.
#include "exchange/columnes.h"
#include "exchange/entrada.h"
#include "exchange/exportacio.h"
#include "exchange/fitxer_alumnes.h"
#include "exchange/importacio.h"
#include "exchange/pdf.h"
#include "exchange/sortida.h"
#include "main_window/frm_alumnes.h"

#include <QFileInfo>

#include <stdexcept>

namespace {

QString alumnes(qsizetype nombre) {
    return nombre == 1 ? QStringLiteral("1 alumne") : QStringLiteral("%1 alumnes").arg(nombre);
}

}  // namespace

void frmAlumnes::Exporta() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || !m_serveis.dialegDesar || !GravarRegistre())
        return;
    const std::vector<const exchange::Format*> escrits = exchange::formatsDExportacio();
    QStringList filtres;
    for (const exchange::Format* format : escrits)
        filtres << exchange::filtreDExportacio(*format);
    const QFileInfo classe(m_noms.NomFitxer);
    int triat = std::clamp(m_filtreExportacio, 0, int(escrits.size()) - 1);
    const QString cami =
        m_serveis.dialegDesar->desa(filtres, triat,
                                    classe.absolutePath() + u'/' + classe.completeBaseName() +
                                        u'.' + escrits[std::size_t(triat)]->extensions.front());
    if (m_acabant)
        return;
    m_filtreExportacio = std::clamp(triat, 0, int(escrits.size()) - 1);
    if (cami.isEmpty())
        return;
    // An extension the user typed wins over the filter.
    const exchange::Format* format = exchange::formatPerExtensio(cami);
    if (!exchange::seNExporta(format))
        format = escrits[std::size_t(m_filtreExportacio)];
    try {
        if (exchange::mateixFitxer(m_noms.NomFitxer, cami))
            throw exchange::ErrorIntercanvi(
                QStringLiteral("%1 és el fitxer d'alumnes obert").arg(cami));
        auto& crides = m_serveis.sistemaFitxers.cridesDelSistema();
        const auto sortida =
            exchange::Sortida::fitxer(cami, exchange::Sortida::SiExisteix::Substitueix, crides);
        // The one note the export could give is that this window holds the file.
        const int exportats =
            exchange::exportaAlumnes(m_noms.NomFitxer, *format, *sortida,
                                     {exchange::nomDelGrup(m_noms.NomFitxer), QDate::currentDate()},
                                     crides, [](const QString&) {});
        sortida->publica();
        avisa(QStringLiteral("%1 %2 a «%3».")
                  .arg(exportats == 1 ? u"S'ha exportat"_qs : u"S'han exportat"_qs,
                       alumnes(exportats), QFileInfo(cami).fileName()));
    } catch (const exchange::ErrorIntercanvi& error) {
        avisa(QStringLiteral("No s'ha exportat res: %1").arg(error.missatge()));
    }
}

void frmAlumnes::Importa() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || !GravarRegistre())
        return;
    const QString cami = m_serveis.dialegObrir.obre(exchange::filtreDImportacio());
    if (m_acabant || cami.isEmpty())
        return;
    importaDe(u"importa"_qs, [&](const exchange::Avisos& avisa, const QStringList& classe) {
        exchange::Entrada entrada(cami, m_serveis.sistemaFitxers.cridesDelSistema());
        const auto lector = exchange::formatDeLEntrada(entrada).lector(entrada, {}, avisa);
        return exchange::importaFiles(*lector, avisa, classe);
    });
}

void frmAlumnes::EnganxaAlumnes() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || !m_serveis.portaretalls || !GravarRegistre())
        return;
    const QByteArray files = m_serveis.portaretalls->files();
    if (files.trimmed().isEmpty()) {
        avisa(QStringLiteral("El porta-retalls no té cap fila d'alumnes."));
        return;
    }
    importaDe(u"enganxa"_qs, [&](const exchange::Avisos& avisa, const QStringList& classe) {
        exchange::Entrada entrada(files, QStringLiteral("el porta-retalls"));
        const auto lector = exchange::formatPerNom(u"csv"_qs)->lector(entrada, {}, avisa);
        return exchange::importaFiles(*lector, avisa, classe);
    });
}

// The rows go after the last student, through this window's own channel (it holds the lock).
// The box that follows can undo them while the file is as the import left it.
void frmAlumnes::importaDe(const QString& descripcio, const LlegeixFiles& llegeix) {
    exchange::RecullAvisos recull;
    exchange::Importats importats;
    QStringList classe;
    try {
        classe = exchange::nomsDeLaClasse(m_classe.registres());
    } catch (const std::exception& error) {
        avisaErrorDeDisc(error);
        return;
    }
    try {
        importats = llegeix(recull.avisos(), classe);
    } catch (const exchange::ErrorIntercanvi& error) {
        avisa(QStringLiteral("No s'ha importat res: %1").arg(error.missatge()));
        return;
    }
    if (importats.nombre == 0) {
        avisa(QStringLiteral("No s'ha importat res: no hi ha cap fila d'alumne."));
        return;
    }
    qint16 primer = 0;
    try {
        primer = m_classe.afegeix(importats.registres, QStringLiteral("%1 %2").arg(
                                                           descripcio, alumnes(importats.nombre)));
    } catch (const std::length_error&) {
        avisa(
            QStringLiteral("No s'ha importat res: en resultarien més de 32767 alumnes, que és el "
                           "màxim d'un fitxer."));
        return;
    } catch (const std::exception& error) {
        avisaErrorDeDisc(error);
        return;
    }
    if (LlegirRegistre(primer))
        m_classe.posaActual(primer);

    // The import is the newest change while nothing else has written the file since.
    const int index = m_classe.historia().index();
    const auto sensePerCanviar = [&] {
        return m_classe.historia().index() == index && m_classe.senseCanvisDeFora();
    };
    const QString text = QStringLiteral("%1 %2.").arg(
        importats.nombre == 1 ? u"S'ha afegit"_qs : u"S'han afegit"_qs, alumnes(importats.nombre));
    const bool desfer = m_serveis.caixaImportacio &&
                        m_serveis.caixaImportacio->mostra(text, recull.resum(), sensePerCanviar());
    if (!desfer || m_acabant)
        return;
    if (!sensePerCanviar()) {
        avisa(
            QStringLiteral("No es pot desfer la importació: el fitxer ha canviat des de llavors."));
        return;
    }
    desfesIMostra();
}

void frmAlumnes::Imprimeix() {
    const OrdreEnCurs ordre(*this);
    if (!fitxerObert() || !m_serveis.impressio || !GravarRegistre())
        return;
    QByteArray registres;
    try {
        exchange::LectorDAlumnes lector(m_noms.NomFitxer,
                                        m_serveis.sistemaFitxers.cridesDelSistema());
        QByteArray bloc;
        while (lector.seguent(bloc))
            registres += bloc;
    } catch (const exchange::ErrorIntercanvi& error) {
        avisa(QStringLiteral("No es pot imprimir: %1").arg(error.missatge()));
        return;
    }
    const QString grup = exchange::nomDelGrup(m_noms.NomFitxer);
    const QDate avui = QDate::currentDate();
    m_serveis.impressio->imprimeix(
        grup, [&](QPagedPaintDevice& dispositiu, int primera, int darrera) {
            exchange::dibuixaLlista(dispositiu, registres, grup, avui, primera, darrera);
        });
}
