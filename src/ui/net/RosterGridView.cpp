#include "net/RosterGridView.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>

namespace {

// Draws the active cell, the one the keyboard moves, in bold.
class ActiveCellDelegate : public QStyledItemDelegate {
public:
    explicit ActiveCellDelegate(QAbstractItemView* view) : QStyledItemDelegate(view), m_view(view) { }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index == m_view->currentIndex())
            option->font.setBold(true);
    }

private:
    QAbstractItemView* m_view;
};

} // namespace

RosterGridView::RosterGridView(QWidget* parent) : QTableView(parent)
{
    setItemDelegate(new ActiveCellDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The arrow keys move the active cell; Tab goes on to the next control of the page.
    setTabKeyNavigation(false);

    QFont cells(QStringLiteral("Tahoma"));
    cells.setPointSize(9);
    setFont(cells);
    QFont fixed = cells;
    fixed.setBold(true);
    for (QHeaderView* header : { horizontalHeader(), verticalHeader() }) {
        header->setVisible(true);
        header->setFont(fixed);
        header->setHighlightSections(false);
    }
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setFixedHeight(22);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setDefaultSectionSize(22);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionsClickable(true);
    connect(verticalHeader(), &QHeaderView::sectionClicked, this, [this](int row) {
        if (model())
            emit clicked(model()->index(row, 0));
    });

    // The top left cell holds the title of the name column (its click selects nothing: a
    // single row is selected at a time).
    if (auto* corner = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly))
        corner->installEventFilter(this);
}

void RosterGridView::setModel(QAbstractItemModel* model)
{
    if (QAbstractItemModel* old = this->model())
        disconnect(old, nullptr, this, nullptr);
    QTableView::setModel(model);
    if (model) {
        connect(model, &QAbstractItemModel::modelReset, this, &RosterGridView::placeFixedCells);
        if (auto* corner = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly))
            connect(model, &QAbstractItemModel::headerDataChanged, corner, qOverload<>(&QWidget::update));
    }
    placeFixedCells();
}

void RosterGridView::placeFixedCells()
{
    QAbstractItemModel* const m = model();
    if (!m)
        return;
    if (m->rowCount() > 0)
        setRowHidden(0, true);
    if (m->columnCount() > 0)
        setColumnHidden(0, true);
    if (m->rowCount() > 1 && m->columnCount() > 1)
        selectionModel()->setCurrentIndex(m->index(1, 1), QItemSelectionModel::NoUpdate);
}

bool RosterGridView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && watched->isWidgetType() && qobject_cast<QAbstractButton*>(watched)
        && watched->parent() == this) {
        paintCorner(static_cast<QWidget*>(watched));
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void RosterGridView::paintCorner(QWidget* corner)
{
    // Drawn as one more header section, with the model's text for row 0, column 0.
    QStyleOptionHeader option;
    option.initFrom(corner);
    option.rect = corner->rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    if (QAbstractItemModel* m = model()) {
        option.text = m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString();
        const QVariant background = m->headerData(0, Qt::Horizontal, Qt::BackgroundRole);
        if (background.canConvert<QBrush>()) {
            option.palette.setBrush(QPalette::Button, background.value<QBrush>());
            option.palette.setBrush(QPalette::Window, background.value<QBrush>());
        }
    }
    QPainter painter(corner);
    painter.setFont(horizontalHeader()->font());
    style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
}
