#include "window/Navigation.h"

#include "core/document/BattleRecords.h"
#include "core/navigate/CellDescription.h"
#include "core/navigate/GoTo.h"
#include "core/view/Grid.h"
#include "window/CellEditing.h"
#include "window/FindBar.h"
#include "window/FlexGrid.h"
#include "window/Form1.h"
#include "window/StatusText.h"
#include "window/TabStrip.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStatusBar>

namespace zor {

namespace {

QString GoToPrompt(int tab)
{
    const QString row = tab == TabIdSection    ? QStringLiteral("ID（10 進数、または 0x を付けて 16 進数）")
                        : tab == TabIndividual ? QStringLiteral("個別データの番号（1 から）")
                                               : QStringLiteral("レコードの番号（1 から）");
    return QStringLiteral("移動先を入力してください:\n・%1\n・「@」と 16 進数のオフセット（例: @61002）\n"
                          "・SNES アドレス（例: $8C:9002）")
        .arg(row);
}

} // namespace

Navigation::Navigation(Form1& form) : form_(form)
{
    // A normal widget, not a permanent one: a message (showMessage) takes the whole bar
    // for its few seconds, and the description comes back after it.
    cellStatus_ = new StatusText(&form);
    cellStatus_->setObjectName(QStringLiteral("CellStatus"));
    form.statusBar()->addWidget(cellStatus_, 1);

    findBar_ = new FindBar(&form);
    form.addToolBar(Qt::BottomToolBarArea, findBar_);
    findBar_->hide();
    connect(findBar_, &FindBar::findRequested, this, [this](bool backwards) { form_.runGuarded([&] { findNext(backwards); }); });
    connect(findBar_, &FindBar::closed, this, [this] {
        if (form_.grid().isEnabled())
            form_.grid().setFocus(Qt::OtherFocusReason);
    });
}

void Navigation::refresh()
{
    const FlexGrid& grid = form_.grid();
    if (form_.statusBar()->isHidden() || grid.isFilling())
        return;
    const TableRef table = form_.shownTable();
    cellStatus_->setText(grid.isEnabled() ? DescribeCell(form_.control().document(), table.tab, table.dataSet, grid.Row(), grid.Col())
                                          : QString());
    findBar_->allDataSets()->setEnabled(table.tab == TabIdSection);
}

void Navigation::tableFilled(int tab)
{
    findBar_->forget();
    // Every other battle block's labels shaded: where one block ends and the next begins.
    if (tab == TabBattle)
        form_.grid().setRowLabelShadeProvider(
            [&doc = form_.control().document()](int row) { return BattleBlockOf(doc, row) % 2 == 0; });
    else
        form_.grid().setRowLabelShadeProvider({});
}

void Navigation::labelsTouched(const std::vector<CellRef>& cells)
{
    // A battle record's first byte is its class, whose name is the row's label.
    FlexGrid& grid = form_.grid();
    const bool shown = form_.tabs().SelectedIndex() == TabBattle && grid.isEnabled();
    for (const CellRef& cell : cells) {
        if (cell.tab != TabBattle || cell.col != 1)
            continue;
        findBar_->finder().forget(TabBattle, 0);
        if (shown && cell.row >= 1 && cell.row < grid.Rows())
            grid.setTextMatrix(cell.row, 0, BattleRowLabel(form_.control().document(), cell.row));
    }
}

void Navigation::Search_Click()
{
    if (form_.editing().commit())
        findBar_->open();
}

void Navigation::findNext(bool backwards)
{
    const FindQuery query(findBar_->query());
    if (query.empty()) {
        findBar_->open(); // nothing to look for yet: ask for it
        return;
    }
    const FlexGrid& grid = form_.grid();
    if (!grid.isEnabled() || !form_.editing().commit())
        return;
    const TableRef table = form_.shownTable();
    FindFrom from{table.tab, table.dataSet, grid.Row(), grid.Col()};
    from.onCaption = findBar_->onCaption(from);
    from.onCell = findBar_->onCell(from);
    const bool all = table.tab == TabIdSection && findBar_->allDataSets()->isChecked();
    const DocumentState& doc = form_.control().document();
    const FindHit hit = findBar_->finder().find(doc, query, from, all, backwards);
    findBar_->setNotFound(hit.kind == FindHit::None);
    // Every find says what it did, so no earlier find's word stays on the bar.
    form_.tellDone(DescribeFind(doc, findBar_->query(), from, hit, backwards));
    if (hit.kind == FindHit::None)
        return;
    // Typed in the bar, the next Enter must find again rather than open the cell editor.
    const bool fromBar = findBar_->isVisible() && findBar_->isAncestorOf(QApplication::focusWidget());
    findBar_->setLastHit(form_.RevealCell({hit.tab, hit.dataSet, hit.col, hit.row}) ? hit : FindHit{});
    if (fromBar)
        findBar_->field()->setFocus(Qt::OtherFocusReason);
}

void Navigation::GoTo_Click()
{
    if (!form_.grid().isEnabled() && form_.dataSets().count() < 1)
        return; // no image open
    if (!form_.editing().commit())
        return;
    const TableRef table = form_.shownTable();
    const int firstDataSet = form_.control().session().view().TabState(TabIdSection, ItemDataSet);
    const int col = form_.grid().Col();
    std::optional<CellRef> target;
    const QString text = form_.dialogs().askPlace(&form_, QStringLiteral("移動"), GoToPrompt(table.tab), [&](const QString& typed) {
        // Called from inside the dialog: nothing may be thrown through its event loop.
        try {
            const Result<CellRef> cell = ResolveGoTo(form_.control().document(), table.tab, table.dataSet, firstDataSet, col, typed);
            target = cell ? std::optional(*cell) : std::nullopt;
            return cell ? QString() : cell.failure().message();
        } catch (const std::exception& e) {
            target.reset();
            return QStringLiteral("移動先を調べられませんでした（%1）。").arg(QString::fromLocal8Bit(e.what()));
        }
    });
    if (!text.isEmpty() && target)
        static_cast<void>(form_.RevealCell(*target));
}

} // namespace zor
