#include "window/FlexGrid.h"

#include <QAbstractButton>
#include <QAbstractTableModel>
#include <QEvent>
#include <QHeaderView>
#include <QStyleOptionHeader>
#include <QStylePainter>

#include <cmath>
#include <stdexcept>
#include <string>

namespace zor {

int TwipsToPixels(int twips, int dpi)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

int PixelsToTwips(int pixels, int dpi)
{
    return static_cast<int>(std::lround(static_cast<double>(pixels) * kTwipsPerInch / dpi));
}

// Holds no data: every answer is read from the grid, so the grid changes its
// vectors inside the begin/end brackets below.
class FlexGridModel : public QAbstractTableModel {
public:
    explicit FlexGridModel(FlexGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : grid_->Rows() - 1; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : grid_->Cols() - 1; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        if (role == Qt::DisplayRole)
            return grid_->provider_ ? grid_->provider_(index.row() + 1, index.column() + 1) : QString();
        if (role == Qt::TextAlignmentRole)
            return static_cast<int>(FlexGrid::alignmentFromCode(grid_->colAlignments_[index.column() + 1]));
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        const bool horizontal = orientation == Qt::Horizontal;
        if (role == Qt::DisplayRole)
            return horizontal ? grid_->colHeaderTexts_[section + 1] : grid_->rowHeaderTexts_[section + 1];
        if (role == Qt::TextAlignmentRole)
            return static_cast<int>(FlexGrid::alignmentFromCode(grid_->colAlignments_[horizontal ? section + 1 : 0]));
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    template <typename Change>
    void changeRowCount(int oldCount, int newCount, Change change)
    {
        if (newCount > oldCount) {
            beginInsertRows({}, oldCount, newCount - 1);
            change();
            endInsertRows();
        } else if (newCount < oldCount) {
            beginRemoveRows({}, newCount, oldCount - 1);
            change();
            endRemoveRows();
        }
    }

    template <typename Change>
    void changeColumnCount(int oldCount, int newCount, Change change)
    {
        if (newCount > oldCount) {
            beginInsertColumns({}, oldCount, newCount - 1);
            change();
            endInsertColumns();
        } else if (newCount < oldCount) {
            beginRemoveColumns({}, newCount, oldCount - 1);
            change();
            endRemoveColumns();
        }
    }

private:
    FlexGrid* grid_;
};

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), model_(new FlexGridModel(this))
{
    setModel(model_);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        // Sizes belong to the program (they are saved in twips), so the user cannot drag them.
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setMinimumSectionSize(0);
        header->setTextElideMode(Qt::ElideNone);
    }
    horizontalHeader()->setDefaultSectionSize(pixelsX(kDefaultColWidth));
    verticalHeader()->setDefaultSectionSize(pixelsY(kDefaultRowHeight));

    // The corner button draws an empty header section; cell (0, 0) needs its text.
    corner_ = findChild<QAbstractButton*>();
    if (corner_)
        corner_->installEventFilter(this);
    applyHeaderSizes();
}

FlexGrid::~FlexGrid() = default;

Qt::Alignment FlexGrid::alignmentFromCode(int value)
{
    static constexpr Qt::AlignmentFlag kHorizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static constexpr Qt::AlignmentFlag kVertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    if (value < 0 || value > 8)
        throw std::invalid_argument("FlexGrid: alignment code out of range: " + std::to_string(value));
    return kHorizontal[value / 3] | kVertical[value % 3];
}

void FlexGrid::checkRow(int row) const
{
    if (row < 0 || row >= Rows())
        throw std::out_of_range("FlexGrid: row out of range: " + std::to_string(row));
}

void FlexGrid::checkCol(int col) const
{
    if (col < 0 || col >= Cols())
        throw std::out_of_range("FlexGrid: column out of range: " + std::to_string(col));
}

int FlexGrid::pixelsX(int twips) const { return TwipsToPixels(twips, logicalDpiX()); }
int FlexGrid::pixelsY(int twips) const { return TwipsToPixels(twips, logicalDpiY()); }

void FlexGrid::applyHeaderSizes()
{
    horizontalHeader()->setFixedHeight(pixelsY(rowHeights_[0]));
    verticalHeader()->setFixedWidth(pixelsX(colWidths_[0]));
    updateGeometries();
}

void FlexGrid::refreshDataCells()
{
    if (Rows() > 1 && Cols() > 1)
        Q_EMIT model_->dataChanged(model_->index(0, 0), model_->index(Rows() - 2, Cols() - 2));
}

void FlexGrid::setRows(int rows)
{
    if (rows < 1)
        throw std::invalid_argument("FlexGrid: Rows must include the fixed row: " + std::to_string(rows));
    model_->changeRowCount(Rows() - 1, rows - 1, [&] {
        rowHeights_.resize(rows, kDefaultRowHeight);
        rowHeaderTexts_.resize(rows);
    });
}

void FlexGrid::setCols(int cols)
{
    if (cols < 1)
        throw std::invalid_argument("FlexGrid: Cols must include the fixed column: " + std::to_string(cols));
    model_->changeColumnCount(Cols() - 1, cols - 1, [&] {
        colWidths_.resize(cols, kDefaultColWidth);
        colAlignments_.resize(cols, kDefaultAlignment);
        colHeaderTexts_.resize(cols);
    });
}

QString FlexGrid::TextMatrix(int row, int col) const
{
    checkRow(row);
    checkCol(col);
    if (row == 0)
        return colHeaderTexts_[col];
    if (col == 0)
        return rowHeaderTexts_[row];
    return provider_ ? provider_(row, col) : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    checkRow(row);
    checkCol(col);
    if (row == 0) {
        colHeaderTexts_[col] = text;
        if (col == 0) {
            if (corner_)
                corner_->update();
        } else {
            Q_EMIT model_->headerDataChanged(Qt::Horizontal, col - 1, col - 1);
        }
    } else if (col == 0) {
        rowHeaderTexts_[row] = text;
        Q_EMIT model_->headerDataChanged(Qt::Vertical, row - 1, row - 1);
    } else {
        throw std::invalid_argument("FlexGrid: data cells take their text from the cell text provider");
    }
}

void FlexGrid::setCellTextProvider(CellTextProvider provider)
{
    provider_ = std::move(provider);
    refreshDataCells();
}

int FlexGrid::ColWidth(int col) const
{
    checkCol(col);
    return colWidths_[col];
}

void FlexGrid::setColWidth(int col, int twips)
{
    checkCol(col);
    if (twips < 0)
        throw std::invalid_argument("FlexGrid: negative column width: " + std::to_string(twips));
    colWidths_[col] = twips;
    if (col == 0)
        applyHeaderSizes();
    else
        horizontalHeader()->resizeSection(col - 1, pixelsX(twips));
}

int FlexGrid::RowHeight(int row) const
{
    checkRow(row);
    return rowHeights_[row];
}

void FlexGrid::setRowHeight(int row, int twips)
{
    checkRow(row);
    if (twips < 0)
        throw std::invalid_argument("FlexGrid: negative row height: " + std::to_string(twips));
    rowHeights_[row] = twips;
    if (row == 0)
        applyHeaderSizes();
    else
        verticalHeader()->resizeSection(row - 1, pixelsY(twips));
}

int FlexGrid::ColAlignment(int col) const
{
    checkCol(col);
    return colAlignments_[col];
}

void FlexGrid::setColAlignment(int col, int value)
{
    checkCol(col);
    alignmentFromCode(value); // throws on a bad code before anything changes
    colAlignments_[col] = value;
    if (col == 0) {
        if (Rows() > 1)
            Q_EMIT model_->headerDataChanged(Qt::Vertical, 0, Rows() - 2);
        if (corner_)
            corner_->update();
    } else {
        Q_EMIT model_->headerDataChanged(Qt::Horizontal, col - 1, col - 1);
        if (Rows() > 1)
            Q_EMIT model_->dataChanged(model_->index(0, col - 1), model_->index(Rows() - 2, col - 1));
    }
}

void FlexGrid::Clear()
{
    for (QString& text : rowHeaderTexts_)
        text.clear();
    for (QString& text : colHeaderTexts_)
        text.clear();
    provider_ = nullptr;
    if (Rows() > 1)
        Q_EMIT model_->headerDataChanged(Qt::Vertical, 0, Rows() - 2);
    if (Cols() > 1)
        Q_EMIT model_->headerDataChanged(Qt::Horizontal, 0, Cols() - 2);
    if (corner_)
        corner_->update();
    refreshDataCells();
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == corner_ && event->type() == QEvent::Paint) {
        paintCorner();
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void FlexGrid::paintCorner()
{
    QStyleOptionHeader option;
    option.initFrom(corner_);
    option.state = QStyle::State_None;
    if (corner_->isEnabled())
        option.state |= QStyle::State_Enabled;
    if (corner_->isActiveWindow())
        option.state |= QStyle::State_Active;
    option.rect = corner_->rect();
    option.position = QStyleOptionHeader::Beginning;  // so styles draw its edge towards column 1
    option.orientation = Qt::Horizontal;
    option.text = colHeaderTexts_[0];
    option.textAlignment = alignmentFromCode(colAlignments_[0]);
    QStylePainter painter(corner_);
    painter.drawControl(QStyle::CE_Header, option);
}

} // namespace zor
