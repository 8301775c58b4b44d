#include "exchange/entrada.h"

#include "exchange/errors.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace exchange {

namespace {

constexpr qsizetype kBloc = 64 * 1024;

// The first LF or CR in [inici, fi), or fi: each looked for with memchr, which goes far faster
// than a loop over the bytes.
const char* primerFinal(const char* inici, const char* fi) {
    const auto* lf = static_cast<const char*>(std::memchr(inici, '\n', size_t(fi - inici)));
    const char* finsA = lf ? lf : fi;
    const auto* cr = static_cast<const char*>(std::memchr(inici, '\r', size_t(finsA - inici)));
    return cr ? cr : finsA;
}

QString midaEnMiB(qint64 bytes) {
    return QStringLiteral("%1 MiB").arg(bytes >> 20);
}

}  // namespace

Entrada::Entrada(const QString& nom, platform::CridesSistema& crides)
    : m_crides(crides), m_nom(nom) {
    const QString perAlMissatge = nom.isEmpty() ? QStringLiteral("«»") : nom;
    const auto falla = [&](int error) {
        throw ErrorIntercanvi(
            QStringLiteral("no es pot llegir %1: %2").arg(perAlMissatge, descripcio(error)));
    };
    if (nom == u"-"_qs) {
        m_descriptor = STDIN_FILENO;
    } else {
        m_descriptor = crides.open(QFile::encodeName(nom).constData(), O_RDONLY | O_CLOEXEC, 0);
        if (m_descriptor < 0)
            falla(errno);
        m_propi = true;
    }
    struct stat estat {};
    if (crides.fstat(m_descriptor, &estat) != 0)
        falla(errno);
    if (S_ISDIR(estat.st_mode))
        falla(EISDIR);
    m_esFitxer = S_ISREG(estat.st_mode);
    if (S_ISREG(estat.st_mode) && estat.st_size > kMaxim)
        throw ErrorIntercanvi(QStringLiteral("%1 fa %2, i una importació en pot llegir %3 com a "
                                             "molt")
                                  .arg(perAlMissatge, midaEnMiB(estat.st_size), midaEnMiB(kMaxim)));
    m_bloc.reserve(kBloc);
}

Entrada::Entrada(const QByteArray& dades, const QString& nom)
    : m_crides(platform::CridesSistema::reals()), m_nom(nom), m_bloc(dades), m_final(true) {
    if (dades.size() > kMaxim)
        massaGran();
}

Entrada::~Entrada() {
    if (m_propi)
        m_crides.close(m_descriptor);
}

bool Entrada::llegeixMes() {
    if (m_final)
        return false;
    // What is left of the block moves to its start; the block grows only for a long line.
    m_bloc.remove(0, m_inici);
    m_inici = 0;
    // UTF-16 is read aside and decoded onto the block.
    QByteArray& desti = m_utf16 ? m_cru : m_bloc;
    const qsizetype abans = m_utf16 ? 0 : m_bloc.size();
    desti.resize(abans + kBloc);
    ssize_t n;
    do {
        n = m_crides.read(m_descriptor, desti.data() + abans, size_t(kBloc));
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        const int error = errno;
        desti.truncate(abans);
        throw ErrorIntercanvi(
            QStringLiteral("no s'ha pogut llegir %1: %2").arg(m_nom, descripcio(error)));
    }
    desti.truncate(abans + n);
    m_llegits += n;
    m_final = n == 0;
    if (m_llegits > kMaxim)
        massaGran();
    if (m_utf16)
        m_bloc += QString(m_utf16->decode(m_cru)).toUtf8();
    return n > 0;
}

void Entrada::massaGran() {
    throw ErrorIntercanvi(
        QStringLiteral("%1 passa de %2, que és el màxim que llegeix una importació (línia %3)")
            .arg(m_nom == u"-"_qs ? QStringLiteral("l'entrada") : m_nom, midaEnMiB(kMaxim))
            .arg(m_linia + 1));
}

QByteArrayView Entrada::inici(qsizetype mida) {
    while (m_bloc.size() < mida && llegeixMes()) {
    }
    return QByteArrayView(m_bloc).first(std::min(mida, m_bloc.size()));
}

void Entrada::descodificaUtf16(QStringConverter::Encoding ordre) {
    m_utf16.emplace(ordre);
    const QByteArray pendent = QByteArrayView(m_bloc).sliced(m_inici).toByteArray();
    m_bloc = QString(m_utf16->decode(pendent)).toUtf8();
    m_inici = 0;
}

std::unique_ptr<QIODevice> Entrada::comArxiu() {
    if (m_esFitxer) {
        auto fitxer = std::make_unique<QFile>();
        // The descriptor stays ours; the device reads it from its start.
        if (!fitxer->open(m_descriptor, QIODevice::ReadOnly, QFileDevice::DontCloseHandle) ||
            !fitxer->seek(0))
            throw ErrorIntercanvi(QStringLiteral("no es pot llegir %1").arg(m_nom));
        return fitxer;
    }
    while (llegeixMes()) {
    }
    auto memoria = std::make_unique<QBuffer>();
    memoria->setData(QByteArrayView(m_bloc).sliced(m_inici).toByteArray());
    m_bloc.clear();
    m_inici = 0;
    memoria->open(QIODevice::ReadOnly);
    return memoria;
}

bool Entrada::seguentLinia(QByteArrayView& linia) {
    const auto massaLlarga = [this] {
        return ErrorIntercanvi(
            QStringLiteral("línia %1: passa d'1 MiB, i cap fila d'alumne no en fa tant")
                .arg(m_linia + 1));
    };
    qsizetype cercat = m_inici;  // bytes before this hold no line end
    for (;;) {
        const char* inici = m_bloc.constData() + cercat;
        const char* fi = m_bloc.constData() + m_bloc.size();
        const char* final = primerFinal(inici, fi);
        // A CR as the block's last byte may be the start of a CRLF.
        if (final != fi && (*final == '\n' || final + 1 < fi || m_final)) {
            qsizetype mida = final + 1 - (m_bloc.constData() + m_inici);
            if (*final == '\r' && final + 1 < fi && final[1] == '\n')
                ++mida;
            if (mida > kMaximLinia)
                throw massaLlarga();
            linia = QByteArrayView(m_bloc.constData() + m_inici, mida);
            m_inici += mida;
            ++m_linia;
            return true;
        }
        cercat = final - m_bloc.constData();
        if (cercat - m_inici > kMaximLinia)
            throw massaLlarga();
        const qsizetype desplacament = m_inici;
        if (!llegeixMes()) {
            if (m_inici == m_bloc.size())
                return false;
            // The last line, without an end.
            if (m_bloc.size() - m_inici > kMaximLinia)
                throw massaLlarga();
            linia = QByteArrayView(m_bloc).sliced(m_inici);
            m_inici = m_bloc.size();
            ++m_linia;
            return true;
        }
        cercat -= desplacament;  // the block moved to its start
    }
}

}  // namespace exchange
