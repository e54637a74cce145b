#include "core/compare/ChangeList.h"

#include "core/value/CellValue.h"

#include "core/codec/CodecError.h"
#include "core/document/CellBytes.h"
#include "core/files/Text.h"
#include "core/view/Grid.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace zor {

namespace {

// Table order: the tabs in turn, deleted records last; then data set, row, column.
using Key = std::tuple<int, int, int, int>;

Key KeyOf(const ChangeEntry& entry)
{
    const int group = entry.kind == ChangeEntry::RowDeleted ? TabBattle + 1 : entry.tab;
    return {group, entry.dataSet, entry.row, entry.col};
}

bool Before(const ChangeEntry& entry, const Key& key) { return KeyOf(entry) < key; }

// Grid coordinates as the entries keep them: tab 2 in column 1, tabs 2 and 3 without a data set.
CellRef Normalized(CellRef cell)
{
    if (cell.tab != TabIdSection)
        cell.dataSet = 0;
    if (cell.tab == TabIndividual)
        cell.col = 1;
    return cell;
}

ChangeEntry CellEntry(const DocumentState& doc, const CellRef& cell)
{
    ChangeEntry entry;
    static_cast<ChangedCell&>(entry) =
        DescribeChangedCell(doc, cell, doc.History->BaselineValue(doc, cell).value_or(0), *CellValueOf(doc, cell));
    return entry;
}

ChangeEntry AddedRowEntry(const DocumentState& doc, int row)
{
    ChangeEntry entry;
    entry.kind = ChangeEntry::RowAdded;
    entry.tab = TabBattle;
    entry.row = row;
    entry.label = BattleRowLabel(doc, row);
    return entry;
}

// Walks a table's cells in order until it has found as many as the history counts.
void AppendTable(const DocumentState& doc, int tab, int dataSet, int rows, int cols, std::vector<ChangeEntry>& out)
{
    int left = doc.History->ChangedCellCount(tab, dataSet);
    for (int row = 1; row <= rows && left > 0; ++row)
        for (int col = 1; col <= cols && left > 0; ++col)
            if (CellChanged(doc, tab, dataSet, col, row)) {
                out.push_back(CellEntry(doc, {tab, dataSet, col, row}));
                --left;
            }
}

} // namespace

void ChangeList::appendBattle(const DocumentState& doc, std::vector<ChangeEntry>& out) const
{
    const EditHistory& history = *doc.History;
    for (int row = 1; row <= doc.BattleCount(); ++row) {
        if (history.BaselineRecordOf(row) == 0) {
            out.push_back(AddedRowEntry(doc, row));
            continue;
        }
        for (int col = 1; col <= kBattleRecordSize; ++col)
            if (CellChanged(doc, TabBattle, 0, col, row))
                out.push_back(CellEntry(doc, {TabBattle, 0, col, row}));
    }
    for (const int record : history.DeletedBaselineRecords()) {
        ChangeEntry entry;
        entry.kind = ChangeEntry::RowDeleted;
        entry.tab = TabBattle;
        entry.row = record;
        out.push_back(entry);
    }
}

void ChangeList::rebuild(const DocumentState& doc)
{
    std::vector<ChangeEntry> entries;
    for (int d = 1; d <= doc.DataSetCount; ++d)
        AppendTable(doc, TabIdSection, d, doc.DataSets(d).IdCount, doc.DataSets(d).SectionCount, entries);
    AppendTable(doc, TabIndividual, 0, doc.IndividualCount, 1, entries);
    appendBattle(doc, entries);
    if (listener_)
        listener_->entriesResetting();
    entries_ = std::move(entries);
    if (listener_)
        listener_->entriesReset();
}

void ChangeList::rebuildBattle(const DocumentState& doc)
{
    std::vector<ChangeEntry> battle;
    appendBattle(doc, battle);
    if (listener_)
        listener_->entriesResetting();
    const auto first = std::lower_bound(entries_.begin(), entries_.end(), Key{TabBattle, 0, 0, 0}, Before);
    entries_.erase(first, entries_.end());
    entries_.insert(entries_.end(), battle.begin(), battle.end());
    if (listener_)
        listener_->entriesReset();
}

void ChangeList::refresh(const DocumentState& doc, const std::vector<CellRef>& cells)
{
    for (const CellRef& cell : cells)
        refreshCell(doc, Normalized(cell));
}

void ChangeList::refreshCell(const DocumentState& doc, CellRef cell)
{
    if (!CellByte(doc, cell.tab, cell.dataSet, cell.col, cell.row))
        return;
    if (cell.tab == TabBattle && doc.History->BaselineRecordOf(cell.row) == 0)
        cell.col = 0; // an added row is one entry whatever its cells hold
    const Key key{cell.tab, cell.dataSet, cell.row, cell.col};
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), key, Before);
    const std::size_t index = static_cast<std::size_t>(it - entries_.begin());
    const bool found = it != entries_.end() && KeyOf(*it) == key;
    const bool changed = cell.col == 0 || CellChanged(doc, cell.tab, cell.dataSet, cell.col, cell.row);
    if (changed) {
        ChangeEntry entry = cell.col == 0 ? AddedRowEntry(doc, cell.row) : CellEntry(doc, cell);
        if (!found) {
            insertAt(index, std::move(entry));
        } else if (!(*it == entry)) {
            *it = std::move(entry);
            if (listener_)
                listener_->entryUpdated(static_cast<int>(index));
        }
    } else if (found) {
        removeAt(index);
    }
    // A battle row's first byte is its class, whose name labels every entry of the row.
    if (cell.tab == TabBattle && cell.col == 1) {
        const QString label = BattleRowLabel(doc, cell.row);
        auto from = std::lower_bound(entries_.begin(), entries_.end(), Key{TabBattle, 0, cell.row, 0}, Before);
        for (; from != entries_.end() && from->kind != ChangeEntry::RowDeleted && from->row == cell.row; ++from)
            if (from->label != label) {
                from->label = label;
                if (listener_)
                    listener_->entryUpdated(static_cast<int>(from - entries_.begin()));
            }
    }
}

void ChangeList::insertAt(std::size_t index, ChangeEntry entry)
{
    if (listener_)
        listener_->entryInserting(static_cast<int>(index));
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index), std::move(entry));
    if (listener_)
        listener_->entryInserted();
}

void ChangeList::removeAt(std::size_t index)
{
    if (listener_)
        listener_->entryRemoving(static_cast<int>(index));
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    if (listener_)
        listener_->entryRemoved();
}

std::optional<CellRef> ChangeList::cellOf(int index) const
{
    if (index < 0 || index >= size())
        return std::nullopt;
    const ChangeEntry& entry = at(index);
    switch (entry.kind) {
    case ChangeEntry::Cell:
        return CellRef{entry.tab, entry.dataSet, entry.col, entry.row};
    case ChangeEntry::RowAdded:
        return CellRef{TabBattle, 0, 1, entry.row};
    default:
        return std::nullopt;
    }
}

namespace {

const QString kAdded = QStringLiteral("追加");
const QString kDeleted = QStringLiteral("削除");


} // namespace

ChangeText DescribeChangeParts(const DocumentState& doc, const ChangeEntry& entry)
{
    if (entry.kind == ChangeEntry::RowDeleted)
        return {QStringLiteral("戦闘パラメータ / 元のレコード %1").arg(entry.row), kDeleted};
    if (entry.kind == ChangeEntry::RowAdded)
        return {QStringLiteral("戦闘パラメータ / %1").arg(Named(QStringLiteral("レコード %1").arg(entry.row), entry.label)), kAdded};
    return ChangedCellText(doc, entry);
}

QString DescribeChange(const DocumentState& doc, const ChangeEntry& entry)
{
    const ChangeText text = DescribeChangeParts(doc, entry);
    return text.place + QStringLiteral(": ") + text.values;
}

QStringList WidestChangeValueCandidates(int size)
{
    // A values text is two values' texts around an arrow, so the widest holds the widest
    // value twice; a byte's text depends only on its section's notation.
    QStringList candidates{kAdded, kDeleted};
    for (const int notation : {NotationHex, NotationUnsigned, NotationSigned})
        for (int value = 0; value < 256; ++value) {
            const QString byte = FormatByteIn(notation, static_cast<std::uint8_t>(value));
            candidates << ChangeValues(byte, byte);
        }
    // A wider value is at most as wide as one digit repeated as often as its longest form has digits.
    for (int n = 2; n <= std::min(size, 4); ++n)
        for (const QChar digit : QStringLiteral("0123456789ABCDEF")) {
            const QString hex = QStringLiteral("0x") + QString(2 * n, digit);
            const QString decimal = QString(static_cast<qsizetype>(QString::number(MaxUnsigned(n)).size()), digit);
            for (const QString& text : {hex, decimal, QStringLiteral("-") + decimal})
                candidates << ChangeValues(text, text);
        }
    return candidates;
}

int WidestCellSize(const DocumentState& doc)
{
    int widest = 1;
    const auto take = [&widest](const NdArray<CellType, 1>& types) {
        for (int i = 0; i <= types.upper(); ++i)
            widest = std::max(widest, types(i).Size);
    };
    for (int d = 1; d <= doc.DataSetCount; ++d)
        take(doc.DataSets(d).SectionTypes);
    take(doc.IndividualTypes);
    take(doc.BattleTypes);
    return widest;
}

std::vector<CellRef> NewestStepCells(const EditHistory& history, JournalSide side)
{
    const std::deque<JournalStep>& steps = history.Steps(side);
    std::vector<CellRef> cells;
    if (steps.empty() || steps.back().row)
        return cells;
    cells.reserve(steps.back().cells.size());
    for (const JournalRecord& record : steps.back().cells)
        cells.push_back({record.Tab, record.DataSet, record.Col, record.Row});
    return cells;
}

} // namespace zor
