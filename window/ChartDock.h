#pragma once

// グラフ: a dock under the grid with a line of the column under the cursor across all its
// rows, the cursor's row marked. Form1 tells it when the cursor moved or bytes changed;
// it catches up once control is back in the event loop, so that the many moves of one
// command cost one look. The line is read again only when its column or its bytes
// changed; a move to another row moves the marker alone. Closed, it costs nothing.

#include "core/chart/ChartColumn.h"
#include "core/document/CellRef.h"
#include "core/edit/EditHistory.h"

#include <QDockWidget>
#include <QPointF>

#include <functional>
#include <optional>
#include <vector>

class QChart;
class QChartView;
class QGraphicsEllipseItem;
class QLineSeries;
class QValueAxis;

namespace zor {

class ChartDock : public QDockWidget {
    Q_OBJECT

public:
    ChartDock(const DocumentState& doc, QWidget* parent = nullptr);

    // Asked for the cursor's cell whenever the chart catches up; tab 0 while no table shows.
    void setPlaceProvider(std::function<CellRef()> place);

    // The cursor may have moved.
    void follow();
    // Any byte may have changed (a fill, a read, a change of notation).
    void dataChanged();
    // These cells were written: the line is read again when one lies in its column.
    void touched(const std::vector<CellRef>& cells);
    // Brings the chart up to date at once, as the event loop would next.
    void catchUp();

    const ChartColumn& column() const { return column_; }
    int markedRow() const { return markedRow_; }
    // The point of the marked row in the axes' values; nullopt while no row is marked.
    std::optional<QPointF> markedPoint() const;
    QChart* chart() const { return chart_; }
    QChartView* view() const { return view_; }
    QLineSeries* line() const { return line_; }
    QGraphicsEllipseItem* marker() const { return marker_; }

Q_SIGNALS:
    // The chart was clicked nearest this row of the column shown.
    void rowRequested(int row);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void schedule();
    void showColumn(const CellRef& place);
    void drawLine();
    void placeMarker(int row);
    void moveMarkerOnPlot();
    int plotPixels() const;

    const DocumentState& doc_;
    std::function<CellRef()> place_;
    QChart* chart_ = nullptr;
    QChartView* view_ = nullptr;
    QLineSeries* line_ = nullptr;
    // A plain item over the plot rather than a series: moving it repaints only where it
    // was and where it goes, while a changed series repaints the whole plot.
    QGraphicsEllipseItem* marker_ = nullptr;
    QValueAxis* xAxis_ = nullptr;
    QValueAxis* yAxis_ = nullptr;

    ChartColumn column_;
    CellRef shown_;        // the column the line is of (its row unused)
    int markedRow_ = 0;       // 0: no marker
    int linePixels_ = 0;      // the plot width the line was reduced for
    bool stale_ = true;       // the line must be read again
    bool pending_ = false;    // a catch-up is on its way
};

} // namespace zor
