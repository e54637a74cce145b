#include "window/ChangesPanel.h"

#include <QApplication>
#include <QListView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace zor {

namespace {

// A list view that repaints a changed line only where it shows: the base class would
// lay out and repaint the whole view for a line out of sight.
class ChangesView : public QListView {
public:
    using QListView::QListView;

    QStyleOptionViewItem itemOption(const QModelIndex& index) const
    {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = visualRect(index);
        return option;
    }

protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) override
    {
        if (topLeft != bottomRight) {
            QListView::dataChanged(topLeft, bottomRight, roles);
            return;
        }
        const QRect line = visualRect(topLeft);
        if (line.intersects(viewport()->rect()))
            viewport()->update(line);
    }
};

} // namespace

// Paints a line as two columns: the place, cut short at the right with "…" where it is
// too long, and the values in a column wide enough for any, so they are never cut.
class ChangesPanel::LineDelegate : public QStyledItemDelegate {
public:
    LineDelegate(const DocumentState& doc, QObject* parent) : QStyledItemDelegate(parent), doc_(doc) {}

    // The values' column of an item as the view lays it out.
    QRect valuesRect(QStyleOptionViewItem option, const QModelIndex& index) const
    {
        initStyleOption(&option, index);
        return columns(option).second;
    }

    // The text's room of an item, split: the place's part and the values' column.
    std::pair<QRect, QRect> columns(const QStyleOptionViewItem& option) const
    {
        const QWidget* widget = option.widget;
        const QStyle* style = widget ? widget->style() : QApplication::style();
        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &option, widget);
        const int values = std::min(text.width(), valuesWidth(option));
        const int gap = option.fontMetrics.averageCharWidth() * 2;
        return {text.adjusted(0, 0, -std::min(text.width(), values + gap), 0),
                QRect(text.right() - values + 1, text.top(), values, text.height())};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem item(option);
        initStyleOption(&item, index);
        item.text.clear(); // the background, the selection and the focus, without the text
        const QWidget* widget = item.widget;
        const QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
        const auto [place, values] = columns(item);
        const QPalette::ColorGroup group = !(item.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (item.state & QStyle::State_Active) ? QPalette::Active
                                                                                  : QPalette::Inactive;
        painter->save();
        painter->setFont(item.font);
        painter->setPen(item.palette.color(group, item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        const Qt::Alignment middle = Qt::AlignLeft | Qt::AlignVCenter;
        painter->drawText(place, middle,
                          item.fontMetrics.elidedText(index.data(ChangeListModel::PlaceRole).toString(), Qt::ElideRight, place.width()));
        painter->drawText(values, middle, index.data(ChangeListModel::ValuesRole).toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        // As wide as the values: the place gives way to the pane's width, never asks for more.
        const QSize line = QStyledItemDelegate::sizeHint(option, index);
        return {valuesWidth(option) + option.fontMetrics.averageCharWidth() * 8, line.height()};
    }

    // After the list is made anew (another image or definitions), measured again at the next paint.
    void remeasure() { widest_ = -1; }

private:
    // Measured once for each font the view draws in, and the document's widest cell.
    int valuesWidth(const QStyleOptionViewItem& option) const
    {
        if (widest_ < 0 || option.font != measuredFont_) {
            widest_ = 0;
            for (const QString& candidate : WidestChangeValueCandidates(WidestCellSize(doc_)))
                widest_ = std::max(widest_, option.fontMetrics.horizontalAdvance(candidate));
            measuredFont_ = option.font;
        }
        return widest_;
    }

    const DocumentState& doc_;
    mutable int widest_ = -1;
    mutable QFont measuredFont_;
};

ChangeListModel::ChangeListModel(const DocumentState& doc, QObject* parent) : QAbstractListModel(parent), doc_(doc)
{
    list_.setListener(this);
}

QString ChangeListModel::EmptyText() { return QStringLiteral("変更はありません"); }

int ChangeListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(list_.size(), 1);
}

QVariant ChangeListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (list_.empty())
        return role == Qt::DisplayRole || role == PlaceRole ? QVariant(EmptyText()) : QVariant();
    // Formed when shown, so that a change of notation shows at once.
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: // the whole line where the place is cut short
        return DescribeChange(doc_, list_.at(index.row()));
    case PlaceRole:
        return DescribeChangeParts(doc_, list_.at(index.row())).place;
    case ValuesRole:
        return DescribeChangeParts(doc_, list_.at(index.row())).values;
    default:
        return {};
    }
}

Qt::ItemFlags ChangeListModel::flags(const QModelIndex& index) const
{
    return list_.empty() ? Qt::NoItemFlags : QAbstractListModel::flags(index);
}

void ChangeListModel::entryInserting(int index)
{
    resetting_ = list_.empty();
    if (resetting_)
        beginResetModel();
    else
        beginInsertRows({}, index, index);
}

void ChangeListModel::entryInserted()
{
    if (resetting_)
        endResetModel();
    else
        endInsertRows();
}

void ChangeListModel::entryRemoving(int index)
{
    resetting_ = list_.size() == 1;
    if (resetting_)
        beginResetModel();
    else
        beginRemoveRows({}, index, index);
}

void ChangeListModel::entryRemoved()
{
    if (resetting_)
        endResetModel();
    else
        endRemoveRows();
}

void ChangeListModel::entryUpdated(int index)
{
    const QModelIndex at = this->index(index);
    Q_EMIT dataChanged(at, at, {Qt::DisplayRole});
}

void ChangeListModel::entriesResetting() { beginResetModel(); }
void ChangeListModel::entriesReset() { endResetModel(); }

ChangesPanel::ChangesPanel(const DocumentState& doc, QWidget* parent)
    : QDockWidget(QStringLiteral("変更一覧"), parent), doc_(doc)
{
    setObjectName(QStringLiteral("ChangesPanel"));
    model_ = new ChangeListModel(doc, this);
    view_ = new ChangesView(this);
    view_->setObjectName(QStringLiteral("ChangesView"));
    view_->setModel(model_);
    view_->setUniformItemSizes(true); // a long list lays out without measuring every line
    delegate_ = new LineDelegate(doc, view_);
    view_->setItemDelegate(delegate_);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { delegate_->remeasure(); });
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // lines fit the pane's width
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWidget(view_);
    connect(view_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (const std::optional<CellRef> cell = model_->list().cellOf(index.row()))
            Q_EMIT revealRequested(cell->tab, cell->dataSet, cell->row, cell->col);
    });
}

QRect ChangesPanel::valuesRect(int line) const
{
    const QModelIndex index = model_->index(line);
    return delegate_->valuesRect(static_cast<const ChangesView*>(view_)->itemOption(index), index);
}

void ChangesPanel::touched(const std::vector<CellRef>& cells)
{
    if (following() && !stale_)
        model_->list().refresh(doc_, cells);
    else
        stale_ = true;
}

void ChangesPanel::reset(bool battleOnly)
{
    if (!following()) {
        stale_ = true;
    } else if (battleOnly && !stale_) {
        model_->list().rebuildBattle(doc_);
    } else {
        model_->list().rebuild(doc_);
        stale_ = false;
    }
}

void ChangesPanel::notationChanged()
{
    const int rows = model_->rowCount();
    Q_EMIT model_->dataChanged(model_->index(0), model_->index(rows - 1), {Qt::DisplayRole});
}

void ChangesPanel::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    if (stale_) {
        model_->list().rebuild(doc_);
        stale_ = false;
    }
}

} // namespace zor
