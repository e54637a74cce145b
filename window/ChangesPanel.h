#pragma once

// 変更一覧: a dock beside the grid listing every cell that differs from the file, one
// line each, in table order. Form1 tells it what each command touched; while it is
// closed it only notes that it fell behind, and catches up when it opens.

#include "core/compare/ChangeList.h"

#include <QAbstractListModel>
#include <QDockWidget>

class QListView;
class QStyledItemDelegate;

namespace zor {

// The change list as one column of lines; "変更はありません" as its only row when empty.
// Each line is also given in its two parts, which the view shows as two columns.
class ChangeListModel : public QAbstractListModel, private ChangeListListener {
    Q_OBJECT

public:
    enum Role { PlaceRole = Qt::UserRole, ValuesRole };

    ChangeListModel(const DocumentState& doc, QObject* parent = nullptr);

    ChangeList& list() { return list_; }
    const ChangeList& list() const { return list_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    static QString EmptyText();

private:
    void entryInserting(int index) override;
    void entryInserted() override;
    void entryRemoving(int index) override;
    void entryRemoved() override;
    void entryUpdated(int index) override;
    void entriesResetting() override;
    void entriesReset() override;

    const DocumentState& doc_;
    ChangeList list_;
    bool resetting_ = false; // the placeholder row comes or goes: a reset, not a row change
};

class ChangesPanel : public QDockWidget {
    Q_OBJECT

public:
    ChangesPanel(const DocumentState& doc, QWidget* parent = nullptr);

    // After a command wrote these cells (grid coordinates).
    void touched(const std::vector<CellRef>& cells);
    // After the baseline moved (a read, a save), or battle rows were added or deleted.
    void reset(bool battleOnly = false);
    // A section's notation changed: the lines are shown again in it.
    void notationChanged();

    ChangeListModel* model() const { return model_; }
    QListView* view() const { return view_; }
    // Where a line's values are drawn, in the view's viewport: a column at the line's
    // right, as wide as any values can be; the place takes the rest, cut short with "…".
    QRect valuesRect(int line) const;

Q_SIGNALS:
    // An entry was double-clicked: show its cell.
    void revealRequested(int tab, int dataSet, int row, int col);

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool following() const { return !isHidden(); }

    const DocumentState& doc_;
    ChangeListModel* model_ = nullptr;
    QListView* view_ = nullptr;
    class LineDelegate;
    LineDelegate* delegate_ = nullptr;
    bool stale_ = true;
};

} // namespace zor
