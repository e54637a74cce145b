// Form1's colour by value (表示 → 値で色分け) and chart (表示 → グラフ): the window's side of
// both, kept apart from the handlers they hook into.

#include "window/Form1.h"

#include "window/ChartDock.h"
#include "window/FlexGrid.h"
#include "window/TabStrip.h"
#include "window/ValueColours.h"

#include <QAction>
#include <QComboBox>
#include <QSettings>

namespace zor {

void Form1::createValueViews()
{
    colours_ = std::make_unique<ValueColours>();
    ColourByValue->setCheckable(true);
    ColourByValue->setChecked(QSettings().value(QLatin1StringView(kColourByValueKey), false).toBool());

    ShowChart->setCheckable(true);
    Chart = new ChartDock(doc, this);
    addDockWidget(Qt::BottomDockWidgetArea, Chart);
    Chart->hide();
    // Closed by its own button, the menu item follows; tied to the item, which may go first when the window goes.
    connect(Chart, &QDockWidget::visibilityChanged, ShowChart,
            [item = ShowChart, dock = Chart] { item->setChecked(!dock->isHidden()); });
    Chart->setPlaceProvider([this] {
        const int tab = Tab1->SelectedIndex();
        if (!FGrid1->isEnabled() || FGrid1->Row() < 1 || FGrid1->Col() < 1)
            return ChartPlace{};
        return ChartPlace{tab, session.table(tab).dataSet, tab == TabIndividual ? 1 : FGrid1->Col(),
                          FGrid1->Row()};
    });
    connect(FGrid1, &FlexGrid::enterCell, Chart, &ChartDock::follow);
    // Choosing no data set leaves no table, and no cursor to tell of it.
    connect(Combo1, &QComboBox::currentIndexChanged, Chart, &ChartDock::follow);
}

void Form1::ColourByValue_Click()
{
    QSettings().setValue(QLatin1StringView(kColourByValueKey), ColourByValue->isChecked());
    if (FGrid1->isEnabled())
        valuesShown(Tab1->SelectedIndex(), session.view().CurrentDataSet);
}

void Form1::valuesShown(int tab, int dataSet)
{
    FGrid1->setCellColourProvider(ColourByValue->isChecked() ? colours_->provider(doc, tab, dataSet)
                                                             : FlexGrid::CellColourProvider());
    Chart->dataChanged();
}

void Form1::valuesTouched(const std::vector<CellRef>& cells)
{
    if (FGrid1->hasCellColours())
        for (const int col : colours_->touched(doc, cells))
            FGrid1->refreshColumn(col);
    Chart->touched(cells);
}

void Form1::valuesReset()
{
    if (FGrid1->hasCellColours()) {
        colours_->clear();
        FGrid1->viewport()->update();
    }
    Chart->dataChanged();
}

void Form1::ShowChart_Click() { showPane(Chart, ShowChart->isChecked(), PixelsY(kChartPaneHeight), Qt::Vertical); }

void Form1::chartRowClicked(int row)
{
    if (!FGrid1->isEnabled() || row < 1 || row >= FGrid1->Rows() || FGrid1->Col() < 1 || !CommitCellEditor())
        return;
    // As a click on the row would: the cursor moves there, in view, and the note follows.
    FGrid1->setRow(row);
    FGrid1->scrollTo(FGrid1->model()->index(row - 1, FGrid1->Col() - 1));
    FGrid1->setFocus();
}

} // namespace zor
