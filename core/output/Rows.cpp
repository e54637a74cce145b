#include "core/output/Rows.h"

#include "core/document/BattleRecords.h"
#include "core/document/CellBytes.h"
#include "core/edit/EditHistory.h"
#include "core/edit/RowChanges.h"
#include "core/view/TabView.h"

#include <algorithm>
#include <vector>

namespace zor {

namespace {

Failure Refused(const QString& message) { return Failure::Of(Failure::Kind::Refused, QString(), message); }

// Whether a block begins at record r: record 1 begins the first, GroupStarts the others.
bool BlockStartsAt(const DocumentState& doc, int r)
{
    if (r == 1)
        return true;
    for (int k = 1; k <= kBattleBlockCount; ++k)
        if (doc.GroupStarts(k) == r)
            return true;
    return false;
}

RowResult Done(const DocumentState& doc, const ViewState& view, int cursorRow)
{
    RowResult result;
    result.kind = RowResult::Done;
    result.cursorRow = cursorRow;
    result.leftCol = std::clamp(view.TabState(TabBattle, ItemLeftCol), 1, kBattleRecordSize);
    result.topRow = std::clamp(view.TabState(TabBattle, ItemTopRow), 1, std::max(doc.BattleCount(), 1));
    return result;
}

// The change as one undo step that brings the view back to the row, scrolled as the tab is now.
RowResult Make(DocumentState& doc, const ViewState& view, const RowChange& change, int cursorRow)
{
    const JournalRecord place{TabBattle,
                              0,
                              std::clamp(view.CurrentCol, 1, kBattleRecordSize),
                              change.row,
                              std::clamp(view.TabState(TabBattle, ItemTopRow), 1, doc.BattleCount()),
                              std::clamp(view.TabState(TabBattle, ItemLeftCol), 1, kBattleRecordSize),
                              0};
    MakeRowChange(doc, change, place);
    return Done(doc, view, cursorRow);
}

RowChange Change(const DocumentState& doc, RowChange::Kind kind, int row)
{
    RowChange change;
    change.kind = kind;
    change.row = row;
    for (int c = 1; c <= kBattleRecordSize; ++c)
        change.bytes[static_cast<std::size_t>(c - 1)] = doc.BattleParams(c, row);
    return change;
}

} // namespace

Result<RowResult> InsertBattleRow(DocumentState& doc, const ViewState& view, int tab, int row)
{
    if (tab != TabBattle)
        return RowResult{};
    // A new record starting with 0 would end its block in the stream, so an empty table
    // has nothing to copy rather than a blank record to add.
    if (doc.BattleCount() == 0)
        return Refused(QStringLiteral("戦闘パラメータにレコードがないので、コピーして追加できません。"));
    if (row < 1 || row > doc.BattleCount())
        return RowResult{};
    if (const std::optional<QString> why = ReadOnlyReason(doc, TabBattle, 0, 1, row))
        return Refused(*why);
    if (doc.BattleCount() >= kMaxSixteenBit)
        return Refused(QStringLiteral("戦闘パラメータのレコードは %1 件までです。これ以上追加できません。").arg(kMaxSixteenBit));

    // The copy joins the block of the record it copies: a start at row stays, so the copy
    // becomes that block's first record and the record copied its second.
    RowChange change = Change(doc, RowChange::Kind::Inserted, row);
    change.blockStartsAtRow = true;
    return Make(doc, view, change, row);
}

Result<RowResult> DeleteBattleRow(DocumentState& doc, const ViewState& view, int tab, int row)
{
    if (tab != TabBattle)
        return RowResult{};
    if (doc.BattleCount() == 0)
        return Refused(QStringLiteral("戦闘パラメータにレコードがないので、削除できません。"));
    if (row < 1 || row > doc.BattleCount())
        return RowResult{};
    if (const std::optional<QString> why = ReadOnlyReason(doc, TabBattle, 0, 1, row))
        return Refused(*why);
    // The stream can't hold an empty block, and two equal starts would lose every later boundary.
    if (BlockStartsAt(doc, row) && (row == doc.BattleCount() || BlockStartsAt(doc, row + 1)))
        return Refused(QStringLiteral("レコード %1 はブロック %2 のただ 1 件のレコードです。ブロックを空にはできないので、削除できません。")
                           .arg(row)
                           .arg(BattleBlockOf(doc, row)));

    // A start at row stays: the record that follows becomes the block's first. Taken back,
    // the record becomes that block's first again.
    RowChange change = Change(doc, RowChange::Kind::Deleted, row);
    change.origin = doc.History->BaselineRecordOf(row);
    change.blockStartsAtRow = row > 1 && BlockStartsAt(doc, row);
    return Make(doc, view, change, std::min(row, doc.BattleCount() - 1));
}

} // namespace zor
