// Form1's navigation: the status bar's description of the cell under the cursor, the
// find bar, go to, and the shaded row labels of the battle blocks. The decisions are the
// core's (core/navigate); here they move onto the controls.

#include "window/Form1.h"

#include "core/document/BattleRecords.h"
#include "core/navigate/CellDescription.h"
#include "core/navigate/GoTo.h"
#include "core/view/Conversions.h"
#include "core/view/Grid.h"
#include "window/FindBar.h"
#include "window/FlexGrid.h"
#include "window/StatusText.h"
#include "window/TabStrip.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStatusBar>

namespace zor {

namespace {

constexpr int kMessageMilliseconds = 5000;

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

void Form1::createNavigation()
{
    // A normal widget, not a permanent one: a message (showMessage) takes the whole bar
    // for its few seconds, and the description comes back after it.
    CellStatus = new StatusText(this);
    CellStatus->setObjectName(QStringLiteral("CellStatus"));
    statusBar()->addWidget(CellStatus, 1);

    FindBar1 = new FindBar(this);
    addToolBar(Qt::BottomToolBarArea, FindBar1);
    FindBar1->hide();
    connect(FindBar1, &FindBar::findRequested, this, [this](bool backwards) { runGuarded([&] { findNext(backwards); }); });
    connect(FindBar1, &FindBar::closed, this, [this] {
        if (FGrid1->isEnabled())
            FGrid1->setFocus(Qt::OtherFocusReason);
    });
}

void Form1::refreshNavigation()
{
    if (!CellStatus || statusBar()->isHidden() || FGrid1->isFilling())
        return;
    const int tab = Tab1->SelectedIndex();
    const QString text = FGrid1->isEnabled() ? DescribeCell(doc, tab, session.table(tab).dataSet,
                                                            FGrid1->Row(), FGrid1->Col())
                                             : QString();
    CellStatus->setText(text);
    FindBar1->allDataSets()->setEnabled(tab == TabIdSection);
}

void Form1::tableFilled(int tab)
{
    FindBar1->forget();
    // Every other battle block's labels shaded: where one block ends and the next begins.
    if (tab == TabBattle)
        FGrid1->setRowLabelShadeProvider([this](int row) { return BattleBlockOf(doc, row) % 2 == 0; });
    else
        FGrid1->setRowLabelShadeProvider({});
}

void Form1::labelsTouched(const std::vector<CellRef>& cells)
{
    // A battle record's first byte is its class, whose name is the row's label.
    const bool shown = Tab1->SelectedIndex() == TabBattle && FGrid1->isEnabled();
    for (const CellRef& cell : cells) {
        if (cell.tab != TabBattle || cell.col != 1)
            continue;
        FindBar1->finder.forget(TabBattle, 0);
        if (shown && cell.row >= 1 && cell.row < FGrid1->Rows())
            FGrid1->setTextMatrix(cell.row, 0, BattleRowLabel(doc, cell.row));
    }
}

void Form1::Search_Click()
{
    if (!CommitCellEditor())
        return;
    FindBar1->open();
}

void Form1::SearchNext_Click() { findNext(false); }
void Form1::SearchPrevious_Click() { findNext(true); }

void Form1::findNext(bool backwards)
{
    const FindQuery query(FindBar1->query());
    if (query.empty()) {
        FindBar1->open(); // nothing to look for yet: ask for it
        return;
    }
    if (!FGrid1->isEnabled() || !CommitCellEditor())
        return;
    const int tab = Tab1->SelectedIndex();
    FindFrom from{tab, session.table(tab).dataSet, FGrid1->Row(), FGrid1->Col()};
    from.onCaption = FindBar1->onCaption(from);
    const bool all = tab == TabIdSection && FindBar1->allDataSets()->isChecked();
    const FindHit hit = FindBar1->finder.find(doc, query, from, all, backwards);
    FindBar1->setNotFound(hit.kind == FindHit::None);
    // Every find says what it did, so no earlier find's word stays on the bar.
    statusBar()->showMessage(DescribeFind(doc, FindBar1->query(), from, hit, backwards), kMessageMilliseconds);
    if (hit.kind == FindHit::None)
        return;
    // Typed in the bar, the next Enter must find again rather than open the cell editor.
    const bool fromBar = FindBar1->isVisible() && FindBar1->isAncestorOf(QApplication::focusWidget());
    FindBar1->lastHit = RevealCell(hit.tab, hit.dataSet, hit.row, hit.col) ? hit : FindHit{};
    if (fromBar)
        FindBar1->field()->setFocus(Qt::OtherFocusReason);
}

void Form1::GoTo_Click()
{
    if (!FGrid1->isEnabled() && Combo1->count() < 1)
        return; // no image open
    if (!CommitCellEditor())
        return;
    const int tab = Tab1->SelectedIndex();
    const int dataSet = session.table(tab).dataSet;
    const int firstDataSet = session.view().TabState(TabIdSection, ItemDataSet);
    const int col = FGrid1->Col();
    std::optional<CellRef> target;
    const QString text = dialogs_->askPlace(this, QStringLiteral("移動"), GoToPrompt(tab), [&](const QString& typed) {
        // Called from inside the dialog: nothing may be thrown through its event loop.
        try {
            const Result<CellRef> cell = ResolveGoTo(doc, tab, dataSet, firstDataSet, col, typed);
            target = cell ? std::optional(*cell) : std::nullopt;
            return cell ? QString() : cell.failure().message();
        } catch (const std::exception& e) {
            target.reset();
            return QStringLiteral("移動先を調べられませんでした（%1）。").arg(QString::fromLocal8Bit(e.what()));
        }
    });
    if (!text.isEmpty() && target)
        static_cast<void>(RevealCell(target->tab, target->dataSet, target->row, target->col));
}

} // namespace zor
