#include "ordres.h"

#include <cstdio>

namespace ordres {

std::optional<int> respon(const linia_ordres::Peticio& peticio) {
    if (const auto* error = std::get_if<linia_ordres::ErrorDUs>(&peticio)) {
        escriuError(u"q2x7: "_qs + error->problema);
        escriuError(QStringLiteral("Proveu «q2x7 --help»."));
        return kUs;
    }
    if (const auto* ajuda = std::get_if<linia_ordres::Ajuda>(&peticio)) {
        std::fputs(ajuda->text.toUtf8().constData(), stdout);
        return kFet;
    }
    if (std::holds_alternative<linia_ordres::Versio>(peticio)) {
        std::printf("q2x7 %s\n", Q2X7_VERSIO);
        return kFet;
    }
    return std::nullopt;
}

void escriuError(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

void silenciaLesEines() {
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}

}  // namespace ordres
