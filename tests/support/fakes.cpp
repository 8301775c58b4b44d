#include "support/fakes.h"

#include "exchange/pdf.h"

#include <QBuffer>
#include <QPdfWriter>

#include <QScopeGuard>

#include <utility>

namespace proves {

void ImpressioFals::imprimeix(const QString& titol, const Dibuixa& dibuixa) {
    titols << titol;
    QBuffer sortida(&pdf);
    sortida.open(QIODevice::WriteOnly);
    QPdfWriter escriptor(&sortida);
    escriptor.setResolution(300);  // not the PDF export's 72: the list must scale to any device
    escriptor.setPageLayout(exchange::paginaDeLaLlista());
    dibuixa(escriptor, primera, darrera);
}

using platform::ErrorFitxer;

platform::Resposta MissatgesFals::mostra(const QString& text, platform::Botons botons,
                                         platform::Icona icona, platform::Resposta perDefecte) {
    mostrats.append({text, botons, icona, perDefecte});
    if (mentre)
        std::exchange(mentre, nullptr)();
    if (botons == platform::Botons::Acceptar)
        return platform::Resposta::Acceptar;
    return respostes.isEmpty() ? platform::Resposta::No : respostes.takeFirst();
}

QStringList MissatgesFals::textos() const {
    QStringList textos;
    for (const MissatgeMostrat& missatge : mostrats)
        textos << missatge.text;
    return textos;
}

auto SistemaFitxersFals::comprova(Operacio operacio, const QString& directori) {
    ++m_crides[operacio];
    if (!directori.isEmpty() && directorisIllegibles.contains(directori))
        throw ErrorFitxer(ErrorFitxer::Tipus::Disc, QStringLiteral("no hi ha disc"));
    auto fallada = m_fallades.find(operacio);
    if (fallada != m_fallades.end() && *fallada != 0) {
        if (*fallada > 0)
            --*fallada;
        throw ErrorFitxer(ErrorFitxer::Tipus::Disc, QStringLiteral("fallada provocada"));
    }
    m_cridesFalses.operacioEnCurs = int(operacio);
    return qScopeGuard([this] { m_cridesFalses.operacioEnCurs = CridesFalses::kQualsevol; });
}

void SistemaFitxersFals::obre(const QString& cami, qint16 longRegistre) {
    const auto enCurs = comprova(Operacio::Obre);
    SistemaFitxersReal::obre(cami, longRegistre);
}

qint64 SistemaFitxersFals::longitud() {
    const auto enCurs = comprova(Operacio::Longitud);
    return SistemaFitxersReal::longitud();
}

platform::Escrit SistemaFitxersFals::escriuRegistre(qint16 numero, QByteArrayView registre) {
    const auto enCurs = comprova(Operacio::Escriu);
    return SistemaFitxersReal::escriuRegistre(numero, registre);
}

QByteArray SistemaFitxersFals::llegeixRegistre(qint16 numero) {
    const auto enCurs = comprova(Operacio::Llegeix);
    return SistemaFitxersReal::llegeixRegistre(numero);
}

void SistemaFitxersFals::tanca() {
    const auto enCurs = comprova(Operacio::Tanca);
    SistemaFitxersReal::tanca();
}

void SistemaFitxersFals::esborra(const QString& cami) {
    const auto enCurs = comprova(Operacio::Esborra);
    SistemaFitxersReal::esborra(cami);
}

void SistemaFitxersFals::canviaDirectoriActual(const QString& directori) {
    const auto enCurs = comprova(Operacio::CanviaDirectori, directori);
    SistemaFitxersReal::canviaDirectoriActual(directori);
}

QStringList SistemaFitxersFals::unitats() {
    return unitatsFalses ? *unitatsFalses : SistemaFitxersReal::unitats();
}

QString SistemaFitxersFals::directoriDeUnitat(const QString& unitat) {
    const auto enCurs = comprova(Operacio::DirectoriDeUnitat, unitat);
    return SistemaFitxersReal::directoriDeUnitat(unitat);
}

QStringList SistemaFitxersFals::subdirectoris(const QString& directori) {
    const auto enCurs = comprova(Operacio::Subdirectoris, directori);
    return SistemaFitxersReal::subdirectoris(directori);
}

QStringList SistemaFitxersFals::fitxers(const QString& directori) {
    const auto enCurs = comprova(Operacio::Fitxers, directori);
    return SistemaFitxersReal::fitxers(directori);
}

}  // namespace proves
