#pragma once

// The window's navigation: the status bar's description of the cell under the cursor,
// the find bar (編集 → 検索, 次を検索, 前を検索), 移動, and the shaded row labels of the
// battle blocks. The decisions are the core's (core/navigate); here they move onto the controls.

#include "core/document/CellRef.h"

#include <QObject>

#include <vector>

namespace zor {

class FindBar;
class Form1;
class StatusText;

class Navigation : public QObject {
public:
    explicit Navigation(Form1& form);

    // What the status bar says of the cell under the cursor, refreshed after every handler.
    void refresh();
    // The grid was filled with a table of tab.
    void tableFilled(int tab);
    // Written cells whose record's class changed: its row label and the find's labels follow at once.
    void labelsTouched(const std::vector<CellRef>& cells);

    void Search_Click();
    void SearchNext_Click() { findNext(false); }
    void SearchPrevious_Click() { findNext(true); }
    void GoTo_Click();

private:
    void findNext(bool backwards);

    Form1& form_;
    StatusText* cellStatus_ = nullptr;
    FindBar* findBar_ = nullptr;
};

} // namespace zor
