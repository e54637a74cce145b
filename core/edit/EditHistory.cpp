#include "core/edit/EditHistory.h"

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

bool EditHistory::Push(JournalSide side, const JournalRecord& record)
{
    if (!HasRoom(side, 1))
        return false;
    JournalList& journal = list(side);
    ++journal.Count;
    journal.Entries.redimPreserve(journal.Count + 1);
    journal.Entries(journal.Count) = record;
    return true;
}

void EditHistory::Withdraw(JournalSide side)
{
    JournalList& journal = list(side);
    if (journal.Count > 0)
        --journal.Count; // the record stays in the spare slot
}

void EditHistory::SetNewestGroupSize(JournalSide side, int n)
{
    JournalList& journal = list(side);
    if (journal.Count > 0)
        journal.Entries(journal.Count).GroupSize = n;
}

int EditHistory::NewestStepSize(JournalSide side) const
{
    const JournalList& journal = Journal(side);
    if (journal.Count == 0)
        return 0;
    return std::max(1, std::min(journal.Entries(journal.Count).GroupSize, journal.Count));
}

void EditHistory::Clear(JournalSide side) { list(side).Count = 0; }

namespace {

void AdjustJournal(JournalList& journal, int from, int delta, int removed)
{
    int& count = journal.Count;
    NdArray<JournalRecord, 1>& entries = journal.Entries;
    if (count == 0)
        return;
    // Steps newest first, as undo finds them.
    std::vector<std::pair<int, int>> steps;
    for (int end = count; end >= 1;) {
        const int n = std::clamp(entries(end).GroupSize, 1, end);
        steps.emplace_back(end - n + 1, end);
        end -= n;
    }
    std::vector<JournalRecord> kept;
    kept.reserve(static_cast<std::size_t>(count));
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        const std::size_t before = kept.size();
        for (int i = step->first; i <= step->second; ++i) {
            JournalRecord record = entries(i);
            if (record.Tab == TabBattle) {
                if (record.Row == removed)
                    continue;
                if (record.Row >= from)
                    record.Row += delta;
                if (record.TopRow >= from)
                    record.TopRow += delta;
            }
            kept.push_back(record);
        }
        const int size = static_cast<int>(kept.size() - before);
        if (size > 0 && size < step->second - step->first + 1)
            kept.back().GroupSize = size;
    }
    for (std::size_t i = 0; i < kept.size(); ++i)
        entries(static_cast<int>(i) + 1) = kept[i];
    if (static_cast<int>(kept.size()) != count) {
        count = static_cast<int>(kept.size());
        entries.redimPreserve(count + 1);
    }
}

} // namespace

void EditHistory::AdjustForBattleRows(int from, int delta, int removed)
{
    AdjustJournal(undo_, from, delta, removed);
    AdjustJournal(redo_, from, delta, removed);
}

} // namespace zor
