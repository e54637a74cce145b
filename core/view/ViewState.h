#pragma once

// Where the view is: the tab and data set shown, the cursor (grid coordinates) and what
// each tab remembers of its view. Session owns the one of the window; nothing of it is
// part of the document, so a load never has to carry it over.

#include "core/document/CellRef.h"
#include "core/document/DocumentState.h"
#include "core/document/NdArray.h"

namespace zor {

// TabState items.
enum TabItem : int { ItemDataSet = 0, ItemCol = 1, ItemRow = 2, ItemLeftCol = 3, ItemTopRow = 4 };

struct ViewState {
    int CurrentTab = TabIdSection;
    int CurrentDataSet = 0;
    int CurrentRow = 0;
    int CurrentCol = 0;
    NdArray<int, 2> TabState{4, 4}; // (tab, item): data set, column, row, left column, top row

    // The table of tab as the view shows it: the current data set on tab 1, none elsewhere.
    TableRef table(int tab) const { return {tab, tab == TabIdSection ? CurrentDataSet : 0}; }
};

} // namespace zor
