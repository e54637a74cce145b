#include "window/ChartDock.h"

#include "core/chart/PixelReduction.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLineSeries>
#include <QMouseEvent>
#include <QGraphicsEllipseItem>
#include <QTimer>
#include <QValueAxis>

#include <cmath>

namespace zor {

ChartDock::ChartDock(const DocumentState& doc, QWidget* parent) : QDockWidget(QStringLiteral("グラフ"), parent), doc_(doc)
{
    setObjectName(QStringLiteral("ChartDock"));
    chart_ = new QChart;
    chart_->legend()->hide();
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->layout()->setContentsMargins(0, 0, 0, 0);
    chart_->setBackgroundRoundness(0);

    line_ = new QLineSeries(chart_);
    chart_->addSeries(line_);

    xAxis_ = new QValueAxis(chart_);
    xAxis_->setLabelFormat(QStringLiteral("%d"));
    xAxis_->setTickType(QValueAxis::TicksDynamic);
    xAxis_->setTickAnchor(0);
    yAxis_ = new QValueAxis(chart_);
    yAxis_->setTickType(QValueAxis::TicksDynamic);
    yAxis_->setTickAnchor(0);
    yAxis_->setTickInterval(64);
    chart_->addAxis(xAxis_, Qt::AlignBottom);
    chart_->addAxis(yAxis_, Qt::AlignLeft);
    line_->attachAxis(xAxis_);
    line_->attachAxis(yAxis_);
    constexpr double kMarkerSize = 9;
    marker_ = new QGraphicsEllipseItem(-kMarkerSize / 2, -kMarkerSize / 2, kMarkerSize, kMarkerSize, chart_);
    marker_->setBrush(QColor(220, 40, 40));
    marker_->setPen(Qt::NoPen);
    marker_->setZValue(100); // over the line
    marker_->hide();

    view_ = new QChartView(chart_, this);
    view_->setObjectName(QStringLiteral("ChartView"));
    view_->setRenderHint(QPainter::Antialiasing, false); // thousands of segments: plain lines draw far faster
    view_->viewport()->installEventFilter(this);
    // A handful of items: finding them needs no index, and a move of the marker then updates none.
    view_->scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
    setWidget(view_);
    // A plot much wider or narrower than the line was reduced for takes another reduction
    // of the same values; the few pixels that axis labels take or give back do not.
    connect(chart_, &QChart::plotAreaChanged, this, [this] {
        moveMarkerOnPlot();
        const int pixels = plotPixels();
        const bool allPoints = column_.rows() <= 2 * std::min(pixels, linePixels_);
        if (!isHidden() && !allPoints && (4 * pixels < 3 * linePixels_ || 4 * pixels > 5 * linePixels_))
            drawLine();
    });
}

void ChartDock::setPlaceProvider(std::function<CellRef()> place) { place_ = std::move(place); }

void ChartDock::follow()
{
    if (!isHidden())
        schedule();
}

void ChartDock::dataChanged()
{
    stale_ = true;
    follow();
}

void ChartDock::touched(const std::vector<CellRef>& cells)
{
    if (stale_)
        return;
    for (const CellRef& cell : cells) {
        if (cell.tab == shown_.tab && (cell.tab == TabIndividual || (cell.col == shown_.col && (cell.tab != TabIdSection || cell.dataSet == shown_.dataSet)))) {
            dataChanged();
            return;
        }
    }
}

void ChartDock::schedule()
{
    if (pending_)
        return;
    pending_ = true;
    QTimer::singleShot(0, this, &ChartDock::catchUp);
}

void ChartDock::catchUp()
{
    pending_ = false;
    if (isHidden())
        return;
    const CellRef place = place_ ? place_() : CellRef{};
    if (stale_ || place.tab != shown_.tab || place.dataSet != shown_.dataSet || place.col != shown_.col)
        showColumn(place);
    if (place.row != markedRow_)
        placeMarker(place.row);
}

void ChartDock::showColumn(const CellRef& place)
{
    column_ = place.tab == 0 ? ChartColumn{} : ReadChartColumn(doc_, place.tab, place.dataSet, place.col);
    shown_ = place;
    stale_ = false;
    chart_->setTitle(column_.title);
    const double first = column_.firstX;
    const double last = column_.rows() > 1 ? column_.xOfRow(column_.rows()) : first + 1;
    xAxis_->setRange(first, last);
    yAxis_->setRange(static_cast<qreal>(column_.axisMin), static_cast<qreal>(column_.axisMax));
    yAxis_->setTickInterval(static_cast<qreal>(column_.tick));
    yAxis_->setLabelFormat(AxisLabelFormat(column_));
    drawLine();
    markedRow_ = -1; // the marker's value may have changed with the bytes
}

void ChartDock::drawLine()
{
    linePixels_ = plotPixels();
    xAxis_->setTickInterval(TickStep(xAxis_->max() - xAxis_->min(), std::max(2, linePixels_ / 70)));
    line_->replace(ReducePerPixel(column_.values, column_.firstX, linePixels_));
}

void ChartDock::placeMarker(int row)
{
    markedRow_ = row;
    moveMarkerOnPlot();
}

std::optional<QPointF> ChartDock::markedPoint() const
{
    if (markedRow_ < 1 || markedRow_ > column_.rows())
        return std::nullopt;
    return QPointF(column_.xOfRow(markedRow_), static_cast<qreal>(column_.values[static_cast<std::size_t>(markedRow_ - 1)]));
}

void ChartDock::moveMarkerOnPlot()
{
    const std::optional<QPointF> point = markedPoint();
    marker_->setVisible(point.has_value());
    if (point)
        marker_->setPos(chart_->mapToPosition(*point, line_));
}

int ChartDock::plotPixels() const
{
    // Before its first layout the plot has no width yet: the view's stands in.
    const int plot = static_cast<int>(std::lround(chart_->plotArea().width()));
    return std::max(1, plot > 0 ? plot : view_->width());
}

void ChartDock::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    catchUp();
}

void ChartDock::hideEvent(QHideEvent* event)
{
    QDockWidget::hideEvent(event);
    stale_ = true; // nothing is followed while closed
}

bool ChartDock::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && column_.rows() > 0) {
            catchUp(); // the column clicked is the one shown, never one a moment old
            const QPointF inChart = chart_->mapFromScene(view_->mapToScene(mouse->position().toPoint()));
            const int row = NearestRow(column_, chart_->mapToValue(inChart, line_).x());
            if (row >= 1)
                Q_EMIT rowRequested(row);
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

} // namespace zor
