// .xls: the binary spreadsheet that school management programs still export. Read through
// FreeXL, in a child process: the library has memory faults on crafted files (a fuzzer finds
// one in seconds), and a fault there must end a damaged file's import, not the program that
// holds the class. The child gets the input as a file in memory (the library opens a path) and
// sends back its rows and notes through another.
#include "exchange/entrada.h"
#include "exchange/format.h"
#include "exchange/full_de_calcul.h"
#include "exchange/importacio.h"

#include <QDataStream>
#include <QFile>

#include <freexl.h>

#include <csignal>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace exchange {

namespace {

// A file in memory, closed with its owner.
struct Memoria {
    int descriptor = ::memfd_create("q2x7-xls", MFD_CLOEXEC);
    ~Memoria() {
        if (descriptor >= 0)
            ::close(descriptor);
    }
    QByteArray cami() const { return "/proc/self/fd/" + QByteArray::number(descriptor); }
};

// The workbook as the library reads it, in the child.
class Llibre {
  public:
    // The format's own limit: 65536 rows of 256 columns.
    static constexpr unsigned kMaximColumnes = 256;

    Llibre(const QByteArray& cami, const FontDeFull& font) : m_font(font) {
        const int resultat = freexl_open(cami.constData(), &m_llibre);
        if (resultat == FREEXL_BIFF_WORKBOOK_NOT_FOUND)
            m_font.refusa(
                QStringLiteral("és un document de l'Office d'abans del 2007 sense cap "
                               "llibre de fulls (un .doc, potser)"));
        if (resultat != FREEXL_OK)
            m_font.refusa(QStringLiteral("és malmès o tallat"));
        unsigned xifrat = 0;
        if (freexl_get_info(m_llibre, FREEXL_BIFF_PASSWORD, &xifrat) == FREEXL_OK &&
            xifrat == FREEXL_BIFF_OBFUSCATED)
            m_font.refusa(QStringLiteral("és xifrat"));
    }
    ~Llibre() {
        if (m_llibre)
            freexl_close(m_llibre);
    }
    Llibre(const Llibre&) = delete;
    Llibre& operator=(const Llibre&) = delete;

    // The library does not tell a hidden sheet from a shown one: the class is the first sheet
    // whose first rows name a column, and the sheets before it (drop-down lists' values, most
    // often) are named. Without any header anywhere, the first sheet.
    void triaElFull(const Avisos& avisa) {
        unsigned fulls = 0;
        if (freexl_get_info(m_llibre, FREEXL_BIFF_SHEET_COUNT, &fulls) != FREEXL_OK || fulls == 0)
            m_font.refusa(QStringLiteral("no té cap full"));
        for (unsigned full = 0; full < fulls && full < 0xFFFF; ++full) {
            selecciona(full);
            if (!teCapcalera())
                continue;
            for (unsigned abans = 0; abans < full; ++abans)
                avisa(QStringLiteral("el full «%1» no té cap capçalera d'alumnes: no s'importa")
                          .arg(nomDelFull(abans)));
            return;
        }
        selecciona(0);
    }

    unsigned files() const { return m_files; }

    void llegeix(unsigned numero, Fila& fila) const {
        fila.nombre = 0;
        for (unsigned columna = 0; columna < m_columnes; ++columna) {
            FreeXL_CellValue cella{};
            if (freexl_get_cell_value(m_llibre, numero, static_cast<unsigned short>(columna),
                                      &cella) != FREEXL_OK)
                cella.type = FREEXL_CELL_NULL;
            switch (cella.type) {
                case FREEXL_CELL_INT:
                    fila.afegeix(TipusCella::Nombre) = textDelNombre(cella.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    fila.afegeix(TipusCella::Nombre) = textDelNombre(cella.value.double_value);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                    fila.afegeix(TipusCella::Text) = QString::fromUtf8(cella.value.text_value);
                    break;
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME: {  // 2023-03-15, with its time or not
                    const QString text = QString::fromUtf8(cella.value.text_value);
                    const QDate data = QDate::fromString(text.left(10), Qt::ISODate);
                    fila.afegeix(TipusCella::Altre) = data.isValid() ? textDeLaData(data) : text;
                    break;
                }
                case FREEXL_CELL_TIME:
                    fila.afegeix(TipusCella::Altre) = QString::fromUtf8(cella.value.text_value);
                    break;
                default:
                    fila.afegeix();
            }
        }
        // Trailing empty cells are no columns.
        while (fila.nombre > 0 && fila.celles[std::size_t(fila.nombre - 1)].isEmpty())
            --fila.nombre;
    }

  private:
    QString nomDelFull(unsigned full) const {
        const char* nom = nullptr;
        if (freexl_get_worksheet_name(m_llibre, static_cast<unsigned short>(full), &nom) !=
                FREEXL_OK ||
            !nom)
            return QString::number(full + 1);
        return QString::fromUtf8(nom);
    }

    void selecciona(unsigned full) {
        unsigned files = 0;
        unsigned short columnes = 0;
        if (freexl_select_active_worksheet(m_llibre, static_cast<unsigned short>(full)) !=
                FREEXL_OK ||
            freexl_worksheet_dimensions(m_llibre, &files, &columnes) != FREEXL_OK)
            m_font.refusa(QStringLiteral("el full «%1» és malmès").arg(nomDelFull(full)));
        m_files = files;
        m_columnes = std::min<unsigned>(columnes, kMaximColumnes);
    }

    bool teCapcalera() const {
        Fila fila;
        for (unsigned n = 0; n < m_files && n < kFilesPerLaCapcalera; ++n) {
            llegeix(n, fila);
            for (qsizetype i = 0; i < fila.nombre; ++i) {
                if (anomenaUnaColumna(fila.celles[std::size_t(i)]))
                    return true;
            }
        }
        return false;
    }

    const FontDeFull& m_font;
    const void* m_llibre = nullptr;
    unsigned m_files = 0;
    unsigned m_columnes = 0;
};

// What the child sends: each note (1, its text), each row (2, its cells' kinds and texts), and
// at the end nothing more (0) or the refusal (3, its text).
enum Missatge : qint8 { kFi, kNota, kFila, kRefusa };

void llegeixAlFill(const QByteArray& cami, int sortida, const FontDeFull& font) {
    QFile fitxer;
    fitxer.open(sortida, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    QDataStream dades(&fitxer);
    try {
        Llibre llibre(cami, font);
        llibre.triaElFull([&](const QString& nota) { dades << qint8(kNota) << nota; });
        Fila fila;
        for (unsigned n = 0; n < llibre.files(); ++n) {
            llibre.llegeix(n, fila);
            dades << qint8(kFila) << qint32(fila.nombre);
            for (qsizetype i = 0; i < fila.nombre; ++i)
                dades << qint8(fila.tipus[std::size_t(i)]) << fila.celles[std::size_t(i)];
        }
        dades << qint8(kFi);
    } catch (const ErrorIntercanvi& error) {
        dades << qint8(kRefusa) << error.missatge();
    }
    fitxer.close();
}

class LectorXls final : public LectorFiles {
  public:
    LectorXls(Entrada& entrada, const Avisos& avisa)
        : m_font(entrada.nom(), QStringLiteral("un full de càlcul .xls")) {
        const Memoria llibre;
        const std::unique_ptr<QIODevice> dispositiu = entrada.comArxiu();
        const QByteArray bytes = dispositiu->read(Entrada::kMaxim + 1);
        if (bytes.size() > Entrada::kMaxim)
            m_font.refusa(QStringLiteral("passa de %1 MiB").arg(Entrada::kMaxim >> 20));
        if (llibre.descriptor < 0 || m_files.descriptor < 0 ||
            ::write(llibre.descriptor, bytes.constData(), std::size_t(bytes.size())) !=
                ssize_t(bytes.size()))
            m_font.refusa(QStringLiteral("no hi ha memòria per llegir-lo"));
        llegeix(llibre.cami());
        m_fitxer.open(m_files.descriptor, QIODevice::ReadOnly, QFileDevice::DontCloseHandle);
        m_fitxer.seek(0);
        m_dades.setDevice(&m_fitxer);
        // The notes come before the rows.
        while (seguentMissatge() == kNota) {
            QString nota;
            m_dades >> nota;
            avisa(nota);
        }
    }

    const Fila* seguent() override {
        if (m_missatge != kFila)
            return nullptr;
        qint32 nombre = 0;
        m_dades >> nombre;
        m_fila.nombre = 0;
        for (qint32 i = 0; i < nombre && m_dades.status() == QDataStream::Ok; ++i) {
            qint8 tipus = 0;
            m_dades >> tipus;
            m_dades >> m_fila.afegeix(TipusCella(std::clamp<int>(tipus, 0, 3)));
        }
        m_fila.linia = ++m_linia;
        seguentMissatge();
        return &m_fila;
    }

  private:
    void llegeix(const QByteArray& cami) {
        // A child that loops is ended too.
        constexpr unsigned kSegons = 60;
        const pid_t fill = ::fork();
        if (fill == 0) {
            ::alarm(kSegons);
            llegeixAlFill(cami, m_files.descriptor, m_font);
            ::_exit(0);
        }
        if (fill < 0)
            m_font.refusa(QStringLiteral("no es pot començar a llegir"));
        int estat = 0;
        while (::waitpid(fill, &estat, 0) < 0 && errno == EINTR) {
        }
        if (!WIFEXITED(estat) || WEXITSTATUS(estat) != 0)
            m_font.refusa(QStringLiteral("és malmès o tallat"));
    }

    // The next message's kind; a refusal is thrown.
    Missatge seguentMissatge() {
        qint8 missatge = kFi;
        m_dades >> missatge;
        if (m_dades.status() != QDataStream::Ok)
            m_font.refusa(QStringLiteral("és malmès o tallat"));
        if (missatge == kRefusa) {
            QString motiu;
            m_dades >> motiu;
            throw ErrorIntercanvi(motiu);
        }
        m_missatge = Missatge(missatge);
        return m_missatge;
    }

    FontDeFull m_font;
    Memoria m_files;  // what the child sends
    QFile m_fitxer;
    QDataStream m_dades;
    Missatge m_missatge = kFi;
    Fila m_fila;
    int m_linia = 0;
};

}  // namespace

std::unique_ptr<LectorFiles> lectorXls(Entrada& entrada, const DadesImportacio&,
                                       const Avisos& avisa) {
    return std::make_unique<LectorXls>(entrada, avisa);
}

bool esXls(Entrada& entrada) {
    return entrada.inici(8) == QByteArrayView("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

}  // namespace exchange
