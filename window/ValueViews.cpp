#include "window/ValueViews.h"

#include "window/CellEditing.h"
#include "window/ChangesPanel.h"
#include "window/ChartDock.h"
#include "window/FlexGrid.h"
#include "window/Form1.h"
#include "window/Menus.h"
#include "window/Navigation.h"
#include "window/TabStrip.h"
#include "window/ValueColours.h"

#include <QAction>
#include <QComboBox>
#include <QScreen>
#include <QSettings>
#include <QStyle>

namespace zor {

namespace {

// A hidden dock at area of the window, its checkable menu item following it: closed by its
// own button, the item unchecks; tied to the item, which may go first when the window goes.
void DockWithItem(Form1& form, QDockWidget* dock, Qt::DockWidgetArea area, QAction* item)
{
    item->setCheckable(true);
    form.addDockWidget(area, dock);
    dock->hide();
    QObject::connect(dock, &QDockWidget::visibilityChanged, item, [item, dock] { item->setChecked(!dock->isHidden()); });
}

} // namespace

ValueViews::ValueViews(Form1& form) : form_(form), colours_(std::make_unique<ValueColours>())
{
    const DocumentState& doc = form.control().document();
    changes_ = new ChangesPanel(doc, &form);
    DockWithItem(form, changes_, Qt::RightDockWidgetArea, form.menus().action("ShowChanges"));
    connect(changes_, &ChangesPanel::revealRequested, this, [this](int tab, int dataSet, int row, int col) {
        form_.runGuarded([&] { static_cast<void>(form_.RevealCell({tab, dataSet, col, row})); });
    });

    QAction* colourByValue = form.menus().action("ColourByValue");
    colourByValue->setCheckable(true);
    colourByValue->setChecked(QSettings().value(QLatin1StringView(kColourByValueKey), false).toBool());

    chart_ = new ChartDock(doc, &form);
    DockWithItem(form, chart_, Qt::BottomDockWidgetArea, form.menus().action("ShowChart"));
    chart_->setPlaceProvider([this] {
        const FlexGrid& grid = form_.grid();
        const TableRef table = form_.shownTable();
        if (!grid.isEnabled() || grid.Row() < 1 || grid.Col() < 1)
            return CellRef{};
        return CellRef{table.tab, table.dataSet, table.tab == TabIndividual ? 1 : grid.Col(), grid.Row()};
    });
    connect(&form.grid(), &FlexGrid::enterCell, chart_, &ChartDock::follow);
    // Choosing no data set leaves no table, and no cursor to tell of it.
    connect(&form.dataSets(), &QComboBox::currentIndexChanged, chart_, &ChartDock::follow);
    connect(chart_, &ChartDock::rowRequested, this, [this](int row) { form_.runGuarded([&] { chartRowClicked(row); }); });
}

ValueViews::~ValueViews() = default;

void ValueViews::shown(int tab, int dataSet)
{
    const bool colours = form_.menus().action("ColourByValue")->isChecked();
    form_.grid().setCellColourProvider(colours ? colours_->provider(form_.control().document(), tab, dataSet)
                                               : FlexGrid::CellColourProvider());
    chart_->dataChanged();
}

void ValueViews::touched(const std::vector<CellRef>& cells)
{
    form_.navigation().labelsTouched(cells);
    changes_->touched(cells);
    FlexGrid& grid = form_.grid();
    if (grid.hasCellColours())
        for (const int col : colours_->touched(form_.control().document(), cells))
            grid.refreshColumn(col);
    chart_->touched(cells);
}

void ValueViews::reset(bool battleOnly)
{
    changes_->reset(battleOnly);
    if (form_.grid().hasCellColours()) {
        colours_->clear();
        form_.grid().viewport()->update();
    }
    chart_->dataChanged();
}

void ValueViews::notationChanged() { changes_->notationChanged(); }

void ValueViews::ShowChanges_Click()
{
    showPane(changes_, form_.menus().action("ShowChanges")->isChecked(), form_.PixelsX(kChangesPaneWidth), Qt::Horizontal);
}

void ValueViews::ColourByValue_Click()
{
    QSettings().setValue(QLatin1StringView(kColourByValueKey), form_.menus().action("ColourByValue")->isChecked());
    if (form_.grid().isEnabled())
        shown(form_.tabs().SelectedIndex(), form_.control().session().view().CurrentDataSet);
}

void ValueViews::ShowChart_Click()
{
    showPane(chart_, form_.menus().action("ShowChart")->isChecked(), form_.PixelsY(kChartPaneHeight), Qt::Vertical);
}

void ValueViews::chartRowClicked(int row)
{
    FlexGrid& grid = form_.grid();
    if (!grid.isEnabled() || row < 1 || row >= grid.Rows() || grid.Col() < 1 || !form_.editing().commit())
        return;
    // As a click on the row would: the cursor moves there, in view, and the note follows.
    grid.setRow(row);
    grid.scrollTo(grid.model()->index(row - 1, grid.Col() - 1));
    grid.setFocus();
}

void ValueViews::showPane(QDockWidget* pane, bool show, int firstPixels, Qt::Orientation orientation)
{
    if (show == !pane->isHidden())
        return;
    // The pane comes beside or under the tables: a window that isn't maximised grows by it
    // rather than squeezing the grid, and shrinks again when it goes. A pane floating apart
    // took no room from the window, and gives none back.
    Form1& window = form_;
    const bool across = orientation == Qt::Horizontal;
    const bool resizable = !window.isMaximized() && !window.isFullScreen() && !pane->isFloating();
    const auto grow = [&](int by) {
        across ? window.resize(window.width() + by, window.height()) : window.resize(window.width(), window.height() + by);
    };
    if (!show) {
        pane->hide();
        // Back by what the window grew for the pane, and no more.
        const int grown = std::exchange(paneGrowth_[pane], 0);
        if (resizable && grown > 0)
            grow(-grown);
        return;
    }
    // The window grows only as far as the screen's available area reaches; the rest of
    // the pane's room comes from the grid.
    int grown = 0;
    if (resizable) {
        const int room = firstPixels + window.style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, &window);
        const QRect available = window.screen()->availableGeometry();
        const QRect frame = window.frameGeometry();
        grown = std::clamp(across ? available.right() - frame.right() : available.bottom() - frame.bottom(), 0, room);
        grow(grown);
    }
    paneGrowth_[pane] = grown;
    pane->show();
    window.resizeDocks({pane}, {firstPixels}, orientation);
}

} // namespace zor
