// .xls: the binary spreadsheet that school management programs still export. Read through
// FreeXL, which opens a file by its path: the input is handed to it as an anonymous file in
// memory, whatever it came from (a file, standard input).
#include "exchange/entrada.h"
#include "exchange/format.h"
#include "exchange/full_de_calcul.h"
#include "exchange/importacio.h"

#include <freexl.h>

#include <sys/mman.h>
#include <unistd.h>

namespace exchange {

namespace {

class LectorXls final : public LectorFiles {
  public:
    // The format's own limit: 65536 rows of 256 columns.
    static constexpr unsigned kMaximColumnes = 256;

    LectorXls(Entrada& entrada, const Avisos& avisa)
        : m_font(entrada.nom(), QStringLiteral("un full de càlcul .xls")) {
        obre(entrada);
        unsigned fulls = 0;
        if (freexl_get_info(m_llibre, FREEXL_BIFF_SHEET_COUNT, &fulls) != FREEXL_OK || fulls == 0)
            m_font.refusa(QStringLiteral("no té cap full"));
        // The library does not tell a hidden sheet from a shown one: the class is the first
        // sheet whose first rows name a column, and the sheets before it (drop-down lists'
        // values, most often) are named. Without any header anywhere, the first sheet.
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

    ~LectorXls() override {
        if (m_llibre)
            freexl_close(m_llibre);
        if (m_memoria >= 0)
            ::close(m_memoria);
    }

    const Fila* seguent() override {
        if (m_seguent >= m_files)
            return nullptr;
        llegeix(m_seguent, m_fila);
        m_fila.linia = int(++m_seguent);
        return &m_fila;
    }

  private:
    void obre(Entrada& entrada) {
        const std::unique_ptr<QIODevice> dispositiu = entrada.comArxiu();
        const QByteArray bytes = dispositiu->read(Entrada::kMaxim + 1);
        if (bytes.size() > Entrada::kMaxim)
            m_font.refusa(QStringLiteral("passa de %1 MiB").arg(Entrada::kMaxim >> 20));
        m_memoria = memfd_create("q2x7-xls", MFD_CLOEXEC);
        if (m_memoria < 0 || ::write(m_memoria, bytes.constData(), std::size_t(bytes.size())) !=
                                 ssize_t(bytes.size()))
            m_font.refusa(QStringLiteral("no hi ha memòria per llegir-lo"));
        const QByteArray cami = "/proc/self/fd/" + QByteArray::number(m_memoria);
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

    bool teCapcalera() {
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

    FontDeFull m_font;
    int m_memoria = -1;
    const void* m_llibre = nullptr;
    unsigned m_files = 0;
    unsigned m_columnes = 0;
    unsigned m_seguent = 0;
    Fila m_fila;
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
