#include "window/ChangesPanel.h"

#include <QListView>

namespace zor {

namespace {

// A list view that repaints a changed line only where it shows: the base class would
// lay out and repaint the whole view for a line out of sight.
class ChangesView : public QListView {
public:
    using QListView::QListView;

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
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    if (list_.empty())
        return EmptyText();
    if (index.row() >= list_.size())
        return {};
    // Formed when shown, so that a change of notation shows at once.
    return DescribeChange(doc_, list_.at(index.row()));
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
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWidget(view_);
    connect(view_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (const std::optional<CellRef> cell = model_->list().cellOf(index.row()))
            Q_EMIT revealRequested(cell->tab, cell->dataSet, cell->row, cell->col);
    });
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
