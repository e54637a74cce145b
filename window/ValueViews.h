#pragma once

// The views of the cells' values around the grid: 表示 → 変更一覧 (the change list beside
// the tables), 値で色分け (remembered in the user's settings) and グラフ (the chart under
// them). They are told of every fill and every cell a command wrote; a pane shown grows
// the window by its room within the screen, and shrinks it again by as much when it goes.

#include "core/document/CellRef.h"

#include <QObject>

#include <map>
#include <memory>
#include <vector>

class QDockWidget;

namespace zor {

class ChangesPanel;
class ChartDock;
class Form1;
class ValueColours;

class ValueViews : public QObject {
public:
    explicit ValueViews(Form1& form);
    ~ValueViews() override;

    // The grid shows the table of tab and dataSet.
    void shown(int tab, int dataSet);
    // A command wrote these cells (grid coordinates).
    void touched(const std::vector<CellRef>& cells);
    // The baseline moved (a read, a save), or only battle rows were added or deleted.
    void reset(bool battleOnly = false);
    // A section's notation changed.
    void notationChanged();

    void ShowChanges_Click();
    void ColourByValue_Click();
    void ShowChart_Click();

    // The user's settings key of 値で色分け.
    static constexpr char kColourByValueKey[] = "view/colourByValue";
    static constexpr int kChartPaneHeight = 3000;  // twips: the chart's first height
    static constexpr int kChangesPaneWidth = 4500; // twips: the change list's first width

private:
    void showPane(QDockWidget* pane, bool show, int firstPixels, Qt::Orientation orientation);
    void chartRowClicked(int row);

    Form1& form_;
    ChangesPanel* changes_ = nullptr;
    ChartDock* chart_ = nullptr;
    std::unique_ptr<ValueColours> colours_;
    std::map<const QDockWidget*, int> paneGrowth_; // pixels the window grew for each shown pane
};

} // namespace zor
