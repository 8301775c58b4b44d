#include "main_window/dialeg_cerca.h"

#include "exchange/fitxer_alumnes.h"
#include "record/noms.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QStringDecoder>
#include <QTableView>
#include <QVBoxLayout>

#include <array>
#include <vector>

using record::Camp;

namespace {

constexpr qsizetype kLongitud = record::TipusAlumne::kLongitud;

struct Fila {
    qint16 numero;
    std::array<QString, 3> textos;  // name, town, telephone, as shown
    // Every word of the five fields, folded, each after a space: a word typed begins one of
    // them when " word" is found here.
    QString paraules;
};

// What each byte of a record is to a search, asked of the folding once: its letters or digits
// folded (none for the middle dot, which joins "l·l"), or a space for what separates words.
const std::array<QString, 256>& plegatsPerByte() {
    static const std::array<QString, 256> taula = [] {
        std::array<QString, 256> plegats;
        QStringDecoder descodificador("windows-1252", QStringConverter::Flag::Stateless);
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString caracter = descodificador.decode(QByteArrayView(&byte, 1));
            const QString plegat = record::plegat(caracter);
            plegats[std::size_t(b)] = plegat.isEmpty() ? QString()
                                      : caracter.isEmpty() || !caracter[0].isLetterOrNumber()
                                          ? QStringLiteral(" ")
                                          : plegat;
        }
        return plegats;
    }();
    return taula;
}

bool esEla(char c) {
    return c == 'l' || c == 'L';
}

// Each word of a field's bytes, folded, after a space. "l.l" is how "l·l" is typed without the
// middle dot: it joins, as the dot does.
void afegeixParaules(QByteArrayView camp, const std::array<QString, 256>& plegats,
                     QString& paraules) {
    bool dinsDUnaParaula = false;
    for (qsizetype i = 0; i < camp.size(); ++i) {
        const char byte = camp[i];
        if (byte == '.' && i > 0 && i + 1 < camp.size() && esEla(camp[i - 1]) && esEla(camp[i + 1]))
            continue;
        const QString& plegat = plegats[quint8(byte)];
        if (plegat.isEmpty())
            continue;
        const bool separa = plegat == u' ';
        if (!separa && !dinsDUnaParaula)
            paraules += u' ';
        dinsDUnaParaula = !separa;
        if (!separa)
            paraules += plegat;
    }
}

// What is typed, as the words are kept: "col.lell" is "col·lell".
QString ambElesGeminades(const QString& text) {
    static const QRegularExpression kElaPuntEla(QStringLiteral("(?<=[lL])\\.(?=[lL])"));
    return QString(text).remove(kElaPuntEla);
}

const QRegularExpression& separadors() {
    static const QRegularExpression separador(QStringLiteral("[^\\p{L}\\p{N}]+"));
    return separador;
}

}  // namespace

class ModelClasse : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    void carrega(const QByteArray& bytes) {
        beginResetModel();
        m_files.clear();
        const exchange::VistaRegistres registres(bytes);
        m_files.reserve(std::size_t(registres.nombre()));
        // One decoding and one folding per record: the list of a full file must come up at once.
        QStringDecoder descodificador("windows-1252", QStringConverter::Flag::Stateless);
        const std::array<QString, 256>& plegats = plegatsPerByte();
        for (qsizetype i = 0; i < registres.nombre(); ++i) {
            QByteArray registre = registres.bytes(i).toByteArray();
            registre.append(kLongitud - registre.size(), ' ');
            const QString text = descodificador.decode(registre);
            const auto camp = [&text](Camp c) {
                const record::DisposicioCamp d = record::disposicio(c);
                return QStringView(text).sliced(d.desplacament, d.amplada).trimmed().toString();
            };
            QString paraules;
            paraules.reserve(kLongitud + 5);
            // Field by field: a full field (a postal code always is) runs into the next in the
            // record's bytes, and its words must not.
            for (const record::DisposicioCamp& d : record::kDisposicio)
                afegeixParaules(QByteArrayView(registre).sliced(d.desplacament, d.amplada), plegats,
                                paraules);
            if (paraules.isEmpty())
                continue;  // a blank record is nobody to find
            m_files.push_back({qint16(i + 1),
                               {camp(Camp::Nom), camp(Camp::Poblacio), camp(Camp::Telefon)},
                               paraules});
        }
        endResetModel();
    }

    const Fila& fila(int i) const { return m_files[std::size_t(i)]; }
    int filaDe(qint16 numero) const {
        const auto trobada =
            std::lower_bound(m_files.begin(), m_files.end(), numero,
                             [](const Fila& fila, qint16 n) { return fila.numero < n; });
        return trobada == m_files.end() || trobada->numero != numero
                   ? -1
                   : int(trobada - m_files.begin());
    }

    int rowCount(const QModelIndex& pare = {}) const override {
        return pare.isValid() ? 0 : int(m_files.size());
    }
    int columnCount(const QModelIndex& pare = {}) const override { return pare.isValid() ? 0 : 4; }

    QVariant data(const QModelIndex& index, int rol) const override {
        if (rol == Qt::TextAlignmentRole && index.column() == 0)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        if (rol != Qt::DisplayRole)
            return {};
        const Fila& f = fila(index.row());
        return index.column() == 0 ? QVariant(f.numero) : QVariant(f.textos[index.column() - 1]);
    }

    QVariant headerData(int seccio, Qt::Orientation orientacio, int rol) const override {
        static const char16_t* const kTitols[] = {u"Núm.", u"Nom", u"Població", u"Telèfon"};
        if (orientacio != Qt::Horizontal || rol != Qt::DisplayRole)
            return {};
        return QString::fromUtf16(kTitols[seccio]);
    }

  private:
    std::vector<Fila> m_files;
};

class FiltreClasse : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void posaText(const QString& text) {
        m_paraules.clear();
        for (const QString& paraula :
             record::plegat(ambElesGeminades(text)).split(separadors(), Qt::SkipEmptyParts))
            m_paraules << u' ' + paraula;
        invalidateFilter();
    }

  protected:
    bool filterAcceptsRow(int fila, const QModelIndex&) const override {
        const QString& paraules =
            static_cast<const ModelClasse*>(sourceModel())->fila(fila).paraules;
        for (const QString& paraula : m_paraules) {
            if (!paraules.contains(paraula))
                return false;
        }
        return true;
    }

  private:
    QStringList m_paraules;
};

DialegCerca::DialegCerca(QWidget* pare) : QDialog(pare) {
    setObjectName(QStringLiteral("frmCerca"));
    setWindowTitle(QStringLiteral("Cerca un alumne"));
    txtCerca = new QLineEdit(this);
    txtCerca->setObjectName(QStringLiteral("txtCerca"));
    txtCerca->setAccessibleName(QStringLiteral("Cerca"));
    txtCerca->setClearButtonEnabled(true);
    m_model = new ModelClasse(this);
    m_filtre = new FiltreClasse(this);
    m_filtre->setSourceModel(m_model);
    lstAlumnes = new QTableView(this);
    lstAlumnes->setObjectName(QStringLiteral("lstAlumnes"));
    lstAlumnes->setModel(m_filtre);
    lstAlumnes->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstAlumnes->setSelectionMode(QAbstractItemView::SingleSelection);
    lstAlumnes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstAlumnes->setTabKeyNavigation(false);
    lstAlumnes->setShowGrid(false);
    lstAlumnes->verticalHeader()->hide();
    // Rows of one height, laid out without measuring each of up to 32767 rows.
    lstAlumnes->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lstAlumnes->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView* capcalera = lstAlumnes->horizontalHeader();
    capcalera->setSectionResizeMode(QHeaderView::Interactive);
    capcalera->setStretchLastSection(true);
    // As wide as the fields it shows: a name of 45 characters, a town of 15, a telephone of 12.
    const int lletra = fontMetrics().averageCharWidth();
    int amplada = 0;
    for (const auto& [columna, lletres] : {std::pair{0, 6}, {1, 36}, {2, 16}, {3, 13}}) {
        capcalera->resizeSection(columna, lletres * lletra);
        amplada += lletres * lletra;
    }
    lstAlumnes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstAlumnes->setMinimumWidth(amplada + lstAlumnes->verticalScrollBar()->sizeHint().width() +
                                2 * lstAlumnes->frameWidth());

    auto* disposicio = new QVBoxLayout(this);
    disposicio->addWidget(txtCerca);
    disposicio->addWidget(lstAlumnes);
    resize(sizeHint().width(), 30 * fontMetrics().height());

    connect(txtCerca, &QLineEdit::textChanged, this, [this](const QString& text) { filtra(text); });
    connect(lstAlumnes, &QAbstractItemView::doubleClicked, this, [this] { tria(); });
    txtCerca->installEventFilter(this);
}

DialegCerca::~DialegCerca() = default;

void DialegCerca::carrega(const QByteArray& registres, qint16 actual) {
    m_triat = 0;
    txtCerca->blockSignals(true);
    txtCerca->clear();
    txtCerca->blockSignals(false);
    m_filtre->posaText(QString());
    m_model->carrega(registres);
    selecciona(std::max(m_model->filaDe(actual), 0));
    txtCerca->setFocus();
}

void DialegCerca::filtra(const QString& text) {
    m_filtre->posaText(text);
    selecciona(0);
}

void DialegCerca::selecciona(int fila) {
    if (fila >= m_filtre->rowCount()) {
        lstAlumnes->clearSelection();
        lstAlumnes->setCurrentIndex({});
        return;
    }
    const QModelIndex index = m_filtre->index(fila, 0);
    lstAlumnes->setCurrentIndex(index);
    lstAlumnes->selectionModel()->select(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    lstAlumnes->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void DialegCerca::tria() {
    const QModelIndex index = lstAlumnes->currentIndex();
    if (!index.isValid())
        return;  // nothing listed: Enter does nothing
    m_triat = m_model->fila(m_filtre->mapToSource(index).row()).numero;
    accept();
}

// The caret stays in the box while Up and Down (and the page keys) move through the list.
bool DialegCerca::eventFilter(QObject* objecte, QEvent* event) {
    if (objecte == txtCerca && event->type() == QEvent::KeyPress) {
        auto* tecla = static_cast<QKeyEvent*>(event);
        switch (tecla->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown: {
                QKeyEvent copia(QEvent::KeyPress, tecla->key(), tecla->modifiers());
                QCoreApplication::sendEvent(lstAlumnes, &copia);
                return true;
            }
            case Qt::Key_Return:
            case Qt::Key_Enter:
                tria();
                return true;
            default:
                break;
        }
    }
    return QDialog::eventFilter(objecte, event);
}

DialegVesA::DialegVesA(QWidget* pare) : QDialog(pare) {
    setObjectName(QStringLiteral("frmVesA"));
    setWindowTitle(QStringLiteral("Ves al número"));
    lblNumero = new QLabel(this);
    txtNumero = new QSpinBox(this);
    txtNumero->setObjectName(QStringLiteral("txtNumero"));
    lblNumero->setBuddy(txtNumero);
    auto* botons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(botons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(botons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* disposicio = new QVBoxLayout(this);
    disposicio->addWidget(lblNumero);
    disposicio->addWidget(txtNumero);
    disposicio->addWidget(botons);
}

void DialegVesA::prepara(qint16 actual, qint16 numRegistres) {
    const int darrer = std::max<int>(numRegistres, 1);
    lblNumero->setText(QStringLiteral("&Número de registre (1 a %1):").arg(darrer));
    txtNumero->setRange(1, darrer);
    txtNumero->setValue(std::clamp<int>(actual, 1, darrer));
    txtNumero->selectAll();
    txtNumero->setFocus();
}

qint16 DialegVesA::numero() const {
    return qint16(txtNumero->value());
}
