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
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include <array>
#include <vector>

using record::Camp;

namespace {

struct Fila {
    qint16 numero;
    std::array<QString, 3> textos;  // name, town, telephone, as shown
    // Every word of the five fields, folded, each after a space: a word typed begins one of
    // them when " word" is found here.
    QString paraules;
};

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
        for (qsizetype i = 0; i < registres.nombre(); ++i) {
            const record::TipusAlumne alumne = registres.alumne(i);
            Fila fila{qint16(i + 1), {}, {}};
            QString tot;
            for (const auto& d : record::kDisposicio)
                tot += alumne.text(d.camp).trimmed() + u' ';
            if (tot.trimmed().isEmpty())
                continue;  // a blank record is nobody to find
            fila.textos = {alumne.text(Camp::Nom).trimmed(), alumne.text(Camp::Poblacio).trimmed(),
                           alumne.text(Camp::Telefon).trimmed()};
            for (const QString& paraula :
                 record::plegat(tot).split(separadors(), Qt::SkipEmptyParts))
                fila.paraules += u' ' + paraula;
            m_files.push_back(std::move(fila));
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
        for (const QString& paraula : record::plegat(text).split(separadors(), Qt::SkipEmptyParts))
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
    const int lletra = fontMetrics().averageCharWidth();
    for (const auto& [columna, amplada] : {std::pair{0, 7}, {1, 34}, {2, 16}})
        capcalera->resizeSection(columna, amplada * lletra);

    auto* disposicio = new QVBoxLayout(this);
    disposicio->addWidget(txtCerca);
    disposicio->addWidget(lstAlumnes);
    resize(76 * lletra, 30 * fontMetrics().height());

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
