#include "core/edit/EditHistory.h"

#include "core/document/CellBytes.h"
#include "core/document/DocumentState.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace zor {

HistoryHandle::HistoryHandle() : history_(std::make_unique<EditHistory>()) {}
HistoryHandle::HistoryHandle(const HistoryHandle& other) : history_(std::make_unique<EditHistory>(*other.history_)) {}
// The moved-from document keeps a usable, empty history.
HistoryHandle::HistoryHandle(HistoryHandle&& other)
    : history_(std::exchange(other.history_, std::make_unique<EditHistory>()))
{
}
HistoryHandle& HistoryHandle::operator=(const HistoryHandle& other)
{
    if (this != &other)
        *history_ = *other.history_;
    return *this;
}
HistoryHandle& HistoryHandle::operator=(HistoryHandle&& other) noexcept
{
    std::swap(history_, other.history_);
    return *this;
}
HistoryHandle::~HistoryHandle() = default;

void HistoryHandle::StartWithBaseline(const DocumentState& doc)
{
    history_ = std::make_unique<EditHistory>();
    history_->TakeBaseline(doc);
}

int EditHistory::NewestStepSize(JournalSide side) const
{
    const Side& s = side_(side);
    return s.steps.empty() ? 0 : static_cast<int>(s.steps.back().records());
}

void EditHistory::Push(JournalSide side, JournalStep step)
{
    Side& s = side_(side);
    if (step.records() > limit_) {
        Clear(side);
        return;
    }
    s.records += step.records();
    s.steps.push_back(std::move(step));
    while (s.records > limit_) {
        s.records -= s.steps.front().records();
        s.steps.pop_front();
    }
}

std::optional<JournalStep> EditHistory::TakeNewest(JournalSide side)
{
    Side& s = side_(side);
    if (s.steps.empty())
        return std::nullopt;
    JournalStep step = std::move(s.steps.back());
    s.steps.pop_back();
    s.records -= step.records();
    return step;
}

void EditHistory::Clear(JournalSide side)
{
    Side& s = side_(side);
    s.steps.clear();
    s.records = 0;
}

void EditHistory::TakeBaseline(const DocumentState& doc)
{
    idSections_.assign(static_cast<std::size_t>(doc.DataSetCount) + 1, {});
    for (int d = 1; d <= doc.DataSetCount; ++d)
        idSections_[static_cast<std::size_t>(d)] = doc.IdBytes(d);
    individual_ = doc.IndividualBytes();
    battle_ = doc.BattleParams();
    baselineBattleCount_ = doc.BattleCount();
    origin_.resize(static_cast<std::size_t>(doc.BattleCount()) + 1);
    for (int r = 0; r <= doc.BattleCount(); ++r)
        origin_[static_cast<std::size_t>(r)] = r;
    Recount(doc);
}

void EditHistory::TakeBaselineFromImage(const DocumentState& doc, const QByteArray& image)
{
    TakeBaseline(doc);
    // The file on disk decides: a byte the save did not write (changed by someone else)
    // is the baseline, and a cell whose document value differs from it shows as changed.
    const auto fromImage = [&](const CellRef& cell, auto&& byteAt) {
        const std::optional<std::int64_t> offset = CellOffset(doc, cell.tab, cell.dataSet, cell.col, cell.row);
        if (!offset)
            return;
        for (int k = 0; k < CellTypeOf(doc, cell).Size; ++k) {
            const std::int64_t at = *offset + k;
            byteAt(k) = at >= 0 && at < image.size() ? static_cast<std::uint8_t>(image[static_cast<qsizetype>(at)]) : 0;
        }
    };
    for (int d = 1; d <= doc.DataSetCount; ++d) {
        const DataSet& set = doc.DataSets(d);
        NdArray<std::uint8_t, 2>& bytes = idSections_[static_cast<std::size_t>(d)];
        for (int id = 0; id < set.IdCount; ++id)
            for (int c = 1; c <= set.SectionCount; ++c)
                fromImage({TabIdSection, d, c, id + 1}, [&](int k) -> std::uint8_t& { return bytes(doc.IdColumn(d, c) + k, id); });
    }
    for (int e = 1; e <= doc.IndividualCount; ++e)
        fromImage({TabIndividual, 0, 1, e}, [&](int k) -> std::uint8_t& { return individual_(doc.IndividualIndex(e) + k); });
    Recount(doc);
}

void EditHistory::Recount(const DocumentState& doc)
{
    idSectionChangedBySet_.assign(idSections_.size(), 0);
    idSectionChanged_ = 0;
    for (int d = 1; d <= doc.DataSetCount && d < static_cast<int>(idSections_.size()); ++d) {
        const DataSet& set = doc.DataSets(d);
        int changed = 0;
        for (int id = 0; id < set.IdCount; ++id)
            for (int c = 1; c <= set.SectionCount; ++c)
                changed += CellChanged(doc, TabIdSection, d, c, id + 1);
        idSectionChangedBySet_[static_cast<std::size_t>(d)] = changed;
        idSectionChanged_ += changed;
    }
    individualChanged_ = 0;
    for (int e = 1; e <= doc.IndividualCount; ++e)
        individualChanged_ += CellChanged(doc, TabIndividual, 0, 1, e);
    recountBattle(doc);
}

void EditHistory::recountBattle(const DocumentState& doc)
{
    battleChanged_ = 0;
    recordListChanged_ = doc.BattleCount() != baselineBattleCount_;
    for (int r = 1; r <= doc.BattleCount(); ++r) {
        if (BaselineRecordOf(r) != r)
            recordListChanged_ = true;
        for (int c = 1; c <= kBattleRecordSize; ++c)
            battleChanged_ += CellChanged(doc, TabBattle, 0, c, r);
    }
}

std::optional<std::uint32_t> EditHistory::BaselineValue(const DocumentState& doc, const CellRef& cell) const
{
    if (cell.row < 1 || cell.col < 1)
        return std::nullopt;
    const int size = CellTypeOf(doc, cell).Size;
    // The baseline's arrays are laid out as the document's: the cell's bytes lie where they
    // do there, read as CellSpanOf reads the document's.
    switch (cell.tab) {
    case TabIdSection: {
        if (cell.dataSet < 1 || cell.dataSet >= static_cast<int>(idSections_.size()))
            return std::nullopt;
        const NdArray<std::uint8_t, 2>& bytes = idSections_[static_cast<std::size_t>(cell.dataSet)];
        const int column = doc.IdColumn(cell.dataSet, cell.col);
        if (column < 1 || !bytes.contains(column + size - 1, cell.row - 1))
            return std::nullopt;
        return CellSpan{&bytes(column, cell.row - 1), bytes.upper(1) + 1, size}.value();
    }
    case TabIndividual: {
        const int index = doc.IndividualIndex(cell.row);
        if (index < 1 || !individual_.contains(index + size - 1))
            return std::nullopt;
        return CellSpan{&individual_(index), 1, size}.value();
    }
    case TabBattle: {
        const int record = BaselineRecordOf(cell.row);
        if (record == 0 || cell.col > kBattleRecordSize || !battle_.contains(cell.col + size - 1, record))
            return std::nullopt;
        return CellSpan{&battle_(cell.col, record), battle_.upper(1) + 1, size}.value();
    }
    default:
        return std::nullopt;
    }
}

int EditHistory::BaselineRecordOf(int row) const
{
    return row >= 1 && row < static_cast<int>(origin_.size()) ? origin_[static_cast<std::size_t>(row)] : 0;
}

std::vector<int> EditHistory::DeletedBaselineRecords() const
{
    std::vector<bool> kept(static_cast<std::size_t>(baselineBattleCount_) + 1, false);
    for (std::size_t r = 1; r < origin_.size(); ++r)
        kept[static_cast<std::size_t>(origin_[r])] = true;
    std::vector<int> deleted;
    for (int b = 1; b <= baselineBattleCount_; ++b)
        if (!kept[static_cast<std::size_t>(b)])
            deleted.push_back(b);
    return deleted;
}

void EditHistory::CellWritten(const DocumentState& doc, const CellRef& cell, std::uint32_t old, std::uint32_t now)
{
    if (old == now)
        return;
    const std::optional<std::uint32_t> baseline = BaselineValue(doc, cell);
    if (!baseline)
        return; // an inserted row's cells count as changed whatever they hold
    const int delta = (now != *baseline) - (old != *baseline);
    switch (cell.tab) {
    case TabIdSection:
        idSectionChangedBySet_[static_cast<std::size_t>(cell.dataSet)] += delta;
        idSectionChanged_ += delta;
        break;
    case TabIndividual:
        individualChanged_ += delta;
        break;
    case TabBattle:
        battleChanged_ += delta;
        break;
    default:
        break;
    }
}

void EditHistory::BattleRowInserted(const DocumentState& doc, int row, int origin)
{
    origin_.insert(origin_.begin() + row, origin);
    recountBattle(doc);
}

void EditHistory::BattleRowDeleted(const DocumentState& doc, int row)
{
    origin_.erase(origin_.begin() + row);
    recountBattle(doc);
}

int EditHistory::ChangedCellCount(int tab, int dataSet) const
{
    switch (tab) {
    case TabIdSection:
        return dataSet >= 1 && dataSet < static_cast<int>(idSectionChangedBySet_.size())
                   ? idSectionChangedBySet_[static_cast<std::size_t>(dataSet)]
                   : 0;
    case TabIndividual:
        return individualChanged_;
    case TabBattle:
        return battleChanged_;
    default:
        return 0;
    }
}

bool CellChanged(const DocumentState& doc, int tab, int dataSet, int col, int row)
{
    const CellRef cell{tab, dataSet, col, row};
    const std::optional<std::uint32_t> value = CellValueOf(doc, cell);
    if (!value || (tab == TabBattle && BattleFieldOf(doc, col) != col))
        return false;
    const std::optional<std::uint32_t> baseline = doc.History->BaselineValue(doc, cell);
    if (!baseline)
        return tab == TabBattle && doc.History->BaselineRecordOf(row) == 0; // an inserted row
    return *baseline != *value;
}

std::vector<CellRef> ChangedCells(const DocumentState& doc, std::size_t limit)
{
    const EditHistory& history = *doc.History;
    std::vector<CellRef> cells;
    // Walks a table's cells in order until it has given as many as the table counts.
    const auto walk = [&](int tab, int dataSet, int rows, int cols) {
        int left = history.ChangedCellCount(tab, dataSet);
        for (int row = 1; row <= rows && left > 0 && cells.size() < limit; ++row)
            for (int col = 1; col <= cols && left > 0 && cells.size() < limit; ++col)
                if (CellChanged(doc, tab, dataSet, col, row)) {
                    cells.push_back({tab, dataSet, col, row});
                    --left;
                }
    };
    for (int d = 1; d <= doc.DataSetCount; ++d)
        walk(TabIdSection, d, doc.DataSets(d).IdCount, doc.DataSets(d).SectionCount);
    walk(TabIndividual, 0, doc.IndividualCount, 1);
    walk(TabBattle, 0, doc.BattleCount(), kBattleRecordSize);
    return cells;
}

} // namespace zor
