#include "core/view/Session.h"

#include "core/document/CellBytes.h"
#include "core/view/Grid.h"
#include "core/view/TabView.h"

#include <algorithm>
#include <utility>

namespace zor {

namespace {

bool IsTab(int tab) { return tab >= TabIdSection && tab <= TabBattle; }

} // namespace

int Session::Opened(int tab)
{
    // A new document: each tab's cursor and scroll start anew; the data set it showed stays.
    for (int t = TabIdSection; t <= TabBattle; ++t)
        for (int item = ItemCol; item <= ItemTopRow; ++item)
            view_.TabState(t, item) = 1;
    view_.CurrentDataSet = 0;
    view_.CurrentRow = 0;
    view_.CurrentCol = 0;
    noteEdited_ = false;
    noteTab_ = 0;
    justLoaded_ = tab == TabIdSection;
    if (!IsTab(tab))
        return 0;
    RestoreTabView(view_, tab);
    // A new document remembers no data set yet: the first one shows.
    return tab == TabIdSection ? DataSetToShow(doc_, 1) : 0;
}

void Session::RememberView(int tab, const GridPlace& grid)
{
    if (!IsTab(tab))
        return;
    const int col = grid.col > 0 || grid.cols < 2 ? grid.col : std::clamp(view_.CurrentCol, 1, grid.cols - 1);
    SaveTabView(view_, tab, col, grid.row, grid.leftCol, grid.topRow);
}

void Session::LeaveTab(int tab, const GridPlace& grid)
{
    RememberView(tab, grid);
    justLoaded_ = true;
}

int Session::EnterTab(int tab)
{
    if (!IsTab(tab))
        return 0;
    if (tab == TabIdSection)
        view_.TabState(TabIdSection, ItemDataSet) = DataSetToShow(doc_, view_.TabState(TabIdSection, ItemDataSet));
    RestoreTabView(view_, tab);
    return DataSetItem(tab);
}

bool Session::BeginDataSetChoice() { return !std::exchange(justLoaded_, false); }

bool Session::ChooseDataSet(int tab, int index)
{
    if (tab != TabIdSection)
        return tab == TabIndividual || tab == TabBattle;
    if (index < 1)
        return false;
    view_.CurrentDataSet = index;
    return true;
}

void Session::BeforeStep(int shownTab)
{
    justLoaded_ = true;
    if (IsTab(shownTab))
        view_.TabState(shownTab, ItemDataSet) = view_.CurrentDataSet;
}

bool Session::AfterStep(int shownTab, int shownDataSet, const CellRef& stepCell)
{
    view_.CurrentDataSet = stepCell.dataSet;
    view_.CurrentCol = stepCell.col;
    view_.CurrentRow = stepCell.row;
    const int stepTab = stepCell.tab;
    if (stepTab == shownTab || !IsTab(stepTab))
        return false;
    view_.TabState(stepTab, ItemDataSet) = view_.CurrentDataSet;
    view_.TabState(stepTab, ItemCol) = view_.CurrentCol;
    view_.TabState(stepTab, ItemRow) = view_.CurrentRow;
    view_.CurrentDataSet = shownDataSet;
    return true;
}

int Session::DataSetItem(int tab) const { return tab == TabIdSection ? view_.CurrentDataSet : 0; }

Result<void> Session::StorePendingNote(const QString& shown)
{
    if (!std::exchange(noteEdited_, false))
        return {};
    return StoreNote(doc_, view_, noteTab_, shown);
}

Session::Note Session::NoteOf(int tab) const
{
    return {LoadNote(doc_, view_, tab), !NotePlaceOf(doc_, view_, tab).file.isEmpty()};
}

void Session::NoteShown(int tab)
{
    noteTab_ = tab;
    noteEdited_ = false;
}

CellPlace PlaceOf(const CellRef& cell)
{
    switch (cell.tab) {
    case TabIdSection:
        return CellPlace{cell.tab, cell.dataSet, cell.col, cell.row - 1};
    case TabIndividual:
        return CellPlace{cell.tab, 0, cell.row, cell.row};
    default:
        return CellPlace{cell.tab, 0, cell.col, cell.row};
    }
}

std::optional<CellPlace> Session::CellAt(int row, int col) const
{
    const int tab = view_.CurrentTab;
    const int dataSet = tab == TabIdSection ? view_.CurrentDataSet : 0;
    // 個別データ has one value column, which the byte mapping does not check.
    if ((tab == TabIndividual && col != 1) || !CellByte(doc_, tab, dataSet, col, row))
        return std::nullopt;
    return PlaceOf(CellRef{tab, dataSet, col, row});
}

std::optional<int> Session::NotationAt(int row, int col) const
{
    const std::optional<CellPlace> cell = CellAt(row, col);
    if (!cell)
        return std::nullopt;
    return ShownNotation(doc_, cell->tab, cell->dataSet, cell->section);
}

QString Session::SectionCaption(const CellPlace& cell) const
{
    const NdArray<QString, 1>* names = nullptr;
    switch (cell.tab) {
    case TabIdSection:
        if (doc_.DataSets.contains(cell.dataSet))
            names = &doc_.DataSets(cell.dataSet).SectionNames;
        break;
    case TabIndividual:
        names = &doc_.IndividualNames;
        break;
    case TabBattle:
        names = &doc_.BattleSectionNames;
        break;
    default:
        break;
    }
    return names && names->contains(cell.section) ? (*names)(cell.section) : QString();
}

bool Session::RowCommandsApply() const { return !doc_.RomPath.isEmpty() && view_.CurrentTab == TabBattle; }

} // namespace zor
