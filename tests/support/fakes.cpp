#include "support/fakes.h"

namespace proves {

using platform::ErrorFitxer;

platform::Resposta MissatgesFals::mostra(const QString& text, platform::Botons botons,
                                         platform::Icona icona, platform::Resposta perDefecte) {
    mostrats.append({text, botons, icona, perDefecte});
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

void SistemaFitxersFals::comprova(Operacio operacio, const QString& directori) {
    ++m_crides[operacio];
    if (!directori.isEmpty() && directorisIllegibles.contains(directori))
        throw ErrorFitxer(ErrorFitxer::Tipus::Disc, QStringLiteral("no hi ha disc"));
    auto fallada = m_fallades.find(operacio);
    if (fallada == m_fallades.end() || *fallada == 0)
        return;
    if (*fallada > 0)
        --*fallada;
    throw ErrorFitxer(ErrorFitxer::Tipus::Disc, QStringLiteral("fallada provocada"));
}

void SistemaFitxersFals::obre(const QString& cami, qint16 longRegistre) {
    comprova(Operacio::Obre);
    SistemaFitxersReal::obre(cami, longRegistre);
}

qint64 SistemaFitxersFals::longitud() {
    comprova(Operacio::Longitud);
    return SistemaFitxersReal::longitud();
}

void SistemaFitxersFals::escriuRegistre(qint16 numero, QByteArrayView registre,
                                        platform::Escriptura escriptura) {
    comprova(Operacio::Escriu);
    SistemaFitxersReal::escriuRegistre(numero, registre, escriptura);
}

QByteArray SistemaFitxersFals::llegeixRegistre(qint16 numero) {
    comprova(Operacio::Llegeix);
    return SistemaFitxersReal::llegeixRegistre(numero);
}

void SistemaFitxersFals::tanca() {
    comprova(Operacio::Tanca);
    SistemaFitxersReal::tanca();
}

void SistemaFitxersFals::esborra(const QString& cami) {
    comprova(Operacio::Esborra);
    SistemaFitxersReal::esborra(cami);
}

void SistemaFitxersFals::canviaDirectoriActual(const QString& directori) {
    comprova(Operacio::CanviaDirectori, directori);
    SistemaFitxersReal::canviaDirectoriActual(directori);
}

QStringList SistemaFitxersFals::unitats() {
    return unitatsFalses ? *unitatsFalses : SistemaFitxersReal::unitats();
}

QString SistemaFitxersFals::directoriDeUnitat(const QString& unitat) {
    comprova(Operacio::DirectoriDeUnitat, unitat);
    return SistemaFitxersReal::directoriDeUnitat(unitat);
}

QStringList SistemaFitxersFals::subdirectoris(const QString& directori) {
    comprova(Operacio::Subdirectoris, directori);
    return SistemaFitxersReal::subdirectoris(directori);
}

QStringList SistemaFitxersFals::fitxers(const QString& directori) {
    comprova(Operacio::Fitxers, directori);
    return SistemaFitxersReal::fitxers(directori);
}

}  // namespace proves
