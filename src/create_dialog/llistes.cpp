#include "create_dialog/llistes.h"

#include <QDir>
#include <QStyle>

namespace create_dialog {

namespace {
constexpr int kRolCami = Qt::UserRole;
constexpr int kSagnat = 8;  // the list is narrow and paths can be deep
}  // namespace

void LlistaUnitats::omple(const QStringList& unitats) {
    const QSignalBlocker bloqueig(this);
    clear();
    addItems(unitats);
}

LlistaDirectoris::LlistaDirectoris(platform::SistemaFitxers& sistemaFitxers, QWidget* pare)
    : QTreeWidget(pare), m_sistemaFitxers(sistemaFitxers) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(kSagnat);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* element) {
        Q_EMIT directoriTriat(element->data(0, kRolCami).toString());
    });
}

void LlistaDirectoris::mostra(const QString& unitat, const QString& directori) {
    const QString cami = QDir::cleanPath(directori);
    const QStringList subdirectoris = m_sistemaFitxers.subdirectoris(cami);

    // From the drive's root down to the directory, one level deeper each.
    QStringList cadena{cami};
    while (cadena.first() != unitat && cadena.first().size() > 1)
        cadena.prepend(QFileInfo(cadena.first()).path());

    clear();
    const QIcon obert = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon tancat = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem* pare = nullptr;
    for (const QString& pas : cadena) {
        const QString nom = pare ? QFileInfo(pas).fileName() : pas;
        auto* element = pare ? new QTreeWidgetItem(pare, {nom}) : new QTreeWidgetItem(this, {nom});
        element->setIcon(0, obert);
        element->setData(0, kRolCami, pas);
        pare = element;
    }
    for (const QString& nom : subdirectoris) {
        auto* element = new QTreeWidgetItem(pare, {nom});
        element->setIcon(0, tancat);
        element->setData(0, kRolCami, cami.endsWith(u'/') ? cami + nom : cami + u'/' + nom);
    }
    expandAll();
    setCurrentItem(pare);
    // The list is short: keep the directory in the middle, its parent above, its first
    // subdirectories below.
    scrollToItem(pare, QAbstractItemView::PositionAtCenter);
    m_unitat = unitat;
    m_path = cami;
}

void LlistaDirectoris::focusInEvent(QFocusEvent* event) {
    QTreeWidget::focusInEvent(event);
    Q_EMIT focusRebut();
}

LlistaFitxers::LlistaFitxers(platform::SistemaFitxers& sistemaFitxers, QWidget* pare)
    : QListView(pare), m_sistemaFitxers(sistemaFitxers) {
    setModel(&m_noms);
    setEditTriggers(NoEditTriggers);
    // One line each: a directory of 100,000 files need not have every name measured.
    setUniformItemSizes(true);
}

void LlistaFitxers::mostra(const QString& directori) {
    m_noms.setStringList(m_sistemaFitxers.fitxers(directori));
}

}  // namespace create_dialog
