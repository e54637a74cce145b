#include "window/FlexGrid.h"

#include <QAbstractButton>
#include <QAbstractTableModel>
#include <QApplication>
#include <QBrush>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace zor {

int TwipsToPixels(int twips, int dpi)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

int PixelsToTwips(int pixels, int dpi)
{
    return static_cast<int>(std::lround(static_cast<double>(pixels) * kTwipsPerInch / dpi));
}

namespace {

// A long heading breaks in the middle, the first line keeping a trailing space.
QString HeadingLines(const QString& text)
{
    const qsizetype n = text.size();
    if (n < 7)
        return text;
    const qsizetype k = n / 2;
    return text.left(k) + QStringLiteral(" \n") + text.right(n - k);
}

// A row is one line high, and a header section keeps a margin that a cell doesn't: row
// labels and values are both centred in their row, so that they share one baseline.
Qt::Alignment OnTheRowsLine(int code)
{
    return (FlexGrid::alignmentFromCode(code) & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
}

} // namespace

// Holds no data: every answer is read from the grid, so the grid changes its
// vectors inside the begin/end brackets below. Qt may ask about any section or index,
// so every question is checked against the table first.
class FlexGridModel : public QAbstractTableModel {
public:
    explicit FlexGridModel(FlexGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : grid_->Rows() - 1; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : grid_->Cols() - 1; }

    bool contains(const QModelIndex& index) const
    {
        return index.isValid() && index.model() == this && index.row() < rowCount() && index.column() < columnCount();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!contains(index))
            return {};
        const int col = index.column() + 1;
        if (role == Qt::DisplayRole) {
            if (!grid_->provider_)
                return QString();
            // Called from paint events: an exception must not unwind through Qt's event loop.
            try {
                return grid_->provider_(index.row() + 1, col);
            } catch (...) {
                return QString();
            }
        }
        if (role == Qt::TextAlignmentRole)
            return static_cast<int>(OnTheRowsLine(grid_->colAlignments_[col]));
        if (role == Qt::ForegroundRole && grid_->colGreyed_[col])
            return grid_->palette().brush(QPalette::Disabled, QPalette::Text);
        if (role == Qt::BackgroundRole && (grid_->colours_ || grid_->marks_)) {
            try {
                if (grid_->colours_) {
                    const QColor colour = grid_->colours_(index.row() + 1, col);
                    if (colour.isValid())
                        return QBrush(colour);
                }
                if (grid_->marks_ && grid_->marks_(index.row() + 1, col))
                    return QBrush(FlexGrid::markColour());
            } catch (...) {
            }
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        const bool horizontal = orientation == Qt::Horizontal;
        if (!horizontal && orientation != Qt::Vertical)
            return {};
        if (section < 0 || section >= (horizontal ? columnCount() : rowCount()))
            return {};
        const int cell = section + 1;
        if (role == Qt::DisplayRole)
            return horizontal ? HeadingLines(grid_->colHeaderTexts_[cell]) : grid_->rowHeaderTexts_[cell];
        if (role == Qt::TextAlignmentRole)
            return static_cast<int>(horizontal ? FlexGrid::alignmentFromCode(grid_->colAlignments_[cell])
                                               : OnTheRowsLine(grid_->colAlignments_[0]));
        if (role == Qt::BackgroundRole && !horizontal && grid_->shades_) {
            try {
                if (grid_->shades_(cell))
                    return QBrush(FlexGrid::shadeColour());
            } catch (...) {
            }
        }
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return contains(index) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    void beginReset() { beginResetModel(); }
    void endReset() { endResetModel(); }

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

// Draws a cell as the view would, then the corner that marks a changed cell over a colour of its own.
class FlexGridDelegate : public QStyledItemDelegate {
public:
    explicit FlexGridDelegate(FlexGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (!grid_->colours_ || !grid_->marks_ || !grid_->model_->contains(index)
            || !grid_->markedOverColour(index.row() + 1, index.column() + 1))
            return;
        // A triangle in the top left corner, over half the row high: seen on any shade and on the highlight.
        const QRect cell = option.rect;
        const int side = std::max(5, std::min(cell.width(), cell.height()) * 3 / 5);
        const QPoint corner = cell.topLeft();
        const QPoint triangle[] = {corner, corner + QPoint(side, 0), corner + QPoint(0, side)};
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(Qt::NoPen);
        painter->setBrush(FlexGrid::markCornerColour());
        painter->drawPolygon(triangle, 3);
        painter->restore();
    }

private:
    FlexGrid* grid_;
};

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), model_(new FlexGridModel(this))
{
    setModel(model_);
    setItemDelegate(new FlexGridDelegate(this));
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // TopRow and LeftCol count whole rows and columns, whatever the style prefers.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setMinimumSectionSize(0);
        header->setTextElideMode(Qt::ElideNone);
    }
    // The user may widen and narrow columns (down to nothing); row heights belong to the program.
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultSectionSize(pixelsX(kDefaultColWidth));
    verticalHeader()->setDefaultSectionSize(pixelsY(kDefaultRowHeight));
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int pixels) { columnResized(section, pixels); });

    // The corner button draws an empty header section; cell (0, 0) needs its text.
    corner_ = findChild<QAbstractButton*>();
    if (corner_) {
        corner_->installEventFilter(this);
        corner_->setMouseTracking(true);
    }
    // QHeaderView cannot change its own width, so column 0's right edge gets a handle here.
    verticalHeader()->viewport()->installEventFilter(this);
    verticalHeader()->viewport()->setMouseTracking(true);
    applyHeaderSizes();
    applyHighlight();
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

void FlexGrid::checkDataRow(int row) const
{
    if (row < 1 || row >= Rows())
        throw std::out_of_range("FlexGrid: not a data row: " + std::to_string(row));
}

void FlexGrid::checkDataCol(int col) const
{
    if (col < 1 || col >= Cols())
        throw std::out_of_range("FlexGrid: not a data column: " + std::to_string(col));
}

QModelIndex FlexGrid::dataIndex(int row, int col) const
{
    checkDataRow(row);
    checkDataCol(col);
    return model_->index(row - 1, col - 1);
}

int FlexGrid::pixelsX(int twips) const { return TwipsToPixels(twips, logicalDpiX()); }
int FlexGrid::pixelsY(int twips) const { return TwipsToPixels(twips, logicalDpiY()); }

void FlexGrid::applyHeaderSizes()
{
    horizontalHeader()->setFixedHeight(pixelsY(rowHeights_[0]));
    verticalHeader()->setFixedWidth(pixelsX(colWidths_[0]));
    updateGeometries();
}

// With its updates on, a header works out every section's position again after each
// resize, which makes resizing row after row quadratic; with them off the positions
// wait for the next paint. Our own resizes are also not to be taken for the user's.
void FlexGrid::resizeQuietly(QHeaderView* header, const std::function<void()>& resize)
{
    const bool updates = header->updatesEnabled();
    const bool resizing = resizingSections_;
    resizingSections_ = true;
    header->setUpdatesEnabled(false);
    resize();
    header->setUpdatesEnabled(updates);
    resizingSections_ = resizing;
}

FlexGrid::SectionPixels FlexGrid::sectionPixels(const std::vector<int>& twips, int dpi)
{
    SectionPixels sizes;
    sizes.pixels.reserve(twips.size());
    std::unordered_map<int, int> counts;
    int commonCount = 0;
    for (std::size_t i = 1; i < twips.size(); ++i) {
        const int size = TwipsToPixels(twips[i], dpi);
        sizes.pixels.push_back(size);
        const int count = ++counts[size];
        if (count > commonCount) {
            commonCount = count;
            sizes.common = size;
        }
    }
    return sizes;
}

// After a fill the header's default size is the commonest; these are the other sections.
void FlexGrid::resizeExceptions(QHeaderView* header, const SectionPixels& sizes)
{
    resizeQuietly(header, [&] {
        for (std::size_t section = 0; section < sizes.pixels.size(); ++section)
            if (sizes.pixels[section] != sizes.common)
                header->resizeSection(static_cast<int>(section), sizes.pixels[section]);
    });
}

// New sections come at the header's default size, which a fill may have changed.
void FlexGrid::giveNewSectionsTheDefault(QHeaderView* header, int first, int last, int pixels)
{
    if (header->defaultSectionSize() == pixels)
        return;
    resizeQuietly(header, [&] {
        for (int section = first; section <= last; ++section)
            header->resizeSection(section, pixels);
    });
}

void FlexGrid::columnResized(int section, int pixels)
{
    const int col = section + 1;
    if (resizingSections_ || isFilling() || col >= Cols())
        return;
    // Keep the twips that were set while they still give the same pixels.
    if (pixelsX(colWidths_[col]) != pixels)
        colWidths_[col] = PixelsToTwips(pixels, logicalDpiX());
}

void FlexGrid::refreshDataCells()
{
    if (!isFilling() && Rows() > 1 && Cols() > 1)
        Q_EMIT model_->dataChanged(model_->index(0, 0), model_->index(Rows() - 2, Cols() - 2));
}

void FlexGrid::refreshCell(int row, int col)
{
    if (isFilling() || row < 1 || row >= Rows() || col < 1 || col >= Cols())
        return;
    const QModelIndex cell = model_->index(row - 1, col - 1);
    Q_EMIT model_->dataChanged(cell, cell);
}

void FlexGrid::refreshColumn(int col)
{
    if (isFilling() || Rows() < 2 || col < 1 || col >= Cols())
        return;
    Q_EMIT model_->dataChanged(model_->index(0, col - 1), model_->index(Rows() - 2, col - 1));
}

void FlexGrid::beginFill()
{
    if (fillDepth_++ == 0)
        model_->beginReset();
}

void FlexGrid::endFill()
{
    if (fillDepth_ == 0)
        throw std::logic_error("FlexGrid: endFill without beginFill");
    if (--fillDepth_ > 0)
        return;
    const SectionPixels cols = sectionPixels(colWidths_, logicalDpiX());
    const SectionPixels rows = sectionPixels(rowHeights_, logicalDpiY());
    // A reset keeps the old sections' sizes and makes new ones at the default size, while
    // setDefaultSectionSize resizes every section there is: set before the reset, it
    // leaves all of them at the commonest size.
    for (auto [header, sizes] : {std::pair(horizontalHeader(), &cols), std::pair(verticalHeader(), &rows)})
        if (!sizes->pixels.empty())
            resizeQuietly(header, [&] { header->setDefaultSectionSize(sizes->common); });
    model_->endReset();
    resizeExceptions(horizontalHeader(), cols);
    resizeExceptions(verticalHeader(), rows);
    applyHeaderSizes();
    if (corner_)
        corner_->update();
    ensureCursor();
}

void FlexGrid::setRows(int rows)
{
    if (rows < 1)
        throw std::invalid_argument("FlexGrid: Rows must include the fixed row: " + std::to_string(rows));
    const int old = Rows();
    const auto change = [&] {
        rowHeights_.resize(rows, kDefaultRowHeight);
        rowHeaderTexts_.resize(rows);
    };
    if (isFilling()) {
        change();
        return;
    }
    model_->changeRowCount(old - 1, rows - 1, change);
    if (rows > old)
        giveNewSectionsTheDefault(verticalHeader(), old - 1, rows - 2, pixelsY(kDefaultRowHeight));
    ensureCursor();
}

void FlexGrid::setCols(int cols)
{
    if (cols < 1)
        throw std::invalid_argument("FlexGrid: Cols must include the fixed column: " + std::to_string(cols));
    const int old = Cols();
    const auto change = [&] {
        colWidths_.resize(cols, kDefaultColWidth);
        colAlignments_.resize(cols, kDefaultAlignment);
        colGreyed_.resize(cols, false);
        colHeaderTexts_.resize(cols);
    };
    if (isFilling()) {
        change();
        return;
    }
    model_->changeColumnCount(old - 1, cols - 1, change);
    if (cols > old)
        giveNewSectionsTheDefault(horizontalHeader(), old - 1, cols - 2, pixelsX(kDefaultColWidth));
    ensureCursor();
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
    if (row != 0 && col != 0)
        throw std::invalid_argument("FlexGrid: data cells take their text from the cell text provider");
    if (row == 0)
        colHeaderTexts_[col] = text;
    else
        rowHeaderTexts_[row] = text;
    if (isFilling())
        return;
    if (row == 0 && col == 0) {
        if (corner_)
            corner_->update();
    } else if (row == 0) {
        Q_EMIT model_->headerDataChanged(Qt::Horizontal, col - 1, col - 1);
    } else {
        Q_EMIT model_->headerDataChanged(Qt::Vertical, row - 1, row - 1);
    }
}

void FlexGrid::setCellTextProvider(CellTextProvider provider)
{
    provider_ = std::move(provider);
    refreshDataCells();
}

void FlexGrid::setCellMarkProvider(CellMarkProvider provider)
{
    marks_ = std::move(provider);
    refreshDataCells();
}

void FlexGrid::setRowLabelShadeProvider(RowShadeProvider provider)
{
    shades_ = std::move(provider);
    if (!isFilling() && Rows() > 1)
        Q_EMIT model_->headerDataChanged(Qt::Vertical, 0, Rows() - 2);
}

QColor FlexGrid::shadeColour() { return QColor(190, 206, 234); } // a cool blue-grey, apart from the amber marks

QColor FlexGrid::markColour() { return QColor(255, 232, 170); } // a soft amber, under black text and the blue highlight

void FlexGrid::setCellColourProvider(CellColourProvider provider)
{
    colours_ = std::move(provider);
    refreshDataCells();
}

QColor FlexGrid::markCornerColour() { return QColor(235, 140, 0); } // the marks' amber, deep enough to show on any shade

bool FlexGrid::markedOverColour(int row, int col) const
{
    // Called from paint events: an exception must not unwind through Qt's event loop.
    try {
        return marks_(row, col) && colours_(row, col).isValid();
    } catch (...) {
        return false;
    }
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
    if (isFilling())
        return;
    if (col == 0)
        applyHeaderSizes();
    else
        resizeQuietly(horizontalHeader(), [&] { horizontalHeader()->resizeSection(col - 1, pixelsX(twips)); });
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
    if (isFilling())
        return;
    if (row == 0)
        applyHeaderSizes();
    else
        resizeQuietly(verticalHeader(), [&] { verticalHeader()->resizeSection(row - 1, pixelsY(twips)); });
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
    if (isFilling())
        return;
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

bool FlexGrid::ColGreyed(int col) const
{
    checkCol(col);
    return colGreyed_[col];
}

void FlexGrid::setColGreyed(int col, bool greyed)
{
    checkCol(col);
    colGreyed_[col] = greyed;
    refreshColumn(col);
}

void FlexGrid::Clear()
{
    for (QString& text : rowHeaderTexts_)
        text.clear();
    for (QString& text : colHeaderTexts_)
        text.clear();
    provider_ = nullptr;
    marks_ = nullptr;
    shades_ = nullptr;
    colours_ = nullptr;
    if (isFilling())
        return;
    if (Rows() > 1)
        Q_EMIT model_->headerDataChanged(Qt::Vertical, 0, Rows() - 2);
    if (Cols() > 1)
        Q_EMIT model_->headerDataChanged(Qt::Horizontal, 0, Cols() - 2);
    if (corner_)
        corner_->update();
    refreshDataCells();
}

// ---- cursor and selection

int FlexGrid::Row() const
{
    const QModelIndex cursor = currentIndex();
    return cursor.isValid() ? cursor.row() + 1 : 0;
}

int FlexGrid::Col() const
{
    const QModelIndex cursor = currentIndex();
    return cursor.isValid() ? cursor.column() + 1 : 0;
}

void FlexGrid::setRow(int row)
{
    const int col = Col();
    placeCursor(dataIndex(row, col > 0 ? col : 1));
}

void FlexGrid::setCol(int col)
{
    const int row = Row();
    placeCursor(dataIndex(row > 0 ? row : 1, col));
}

// The view's own setter selects just the cell (with or without Shift held) before it
// tells of the move, and restarts its Shift+arrow anchor there.
void FlexGrid::placeCursor(const QModelIndex& cell)
{
    setCurrentIndex(cell);
}

void FlexGrid::ensureCursor()
{
    if (isFilling() || currentIndex().isValid() || model_->rowCount() == 0 || model_->columnCount() == 0)
        return;
    placeCursor(model_->index(0, 0));
}

// The selected rectangle in model coordinates (x columns, y rows); null when nothing is selected.
QRect FlexGrid::selectionBounds() const
{
    QRect bounds;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        bounds |= QRect(QPoint(range.left(), range.top()), QPoint(range.right(), range.bottom()));
    return bounds;
}

int FlexGrid::RowSel() const
{
    const QModelIndex cursor = currentIndex();
    if (!cursor.isValid())
        return 0;
    const QRect bounds = selectionBounds();
    if (bounds.isNull())
        return cursor.row() + 1;
    return (cursor.row() == bounds.top() ? bounds.bottom() : bounds.top()) + 1;
}

int FlexGrid::ColSel() const
{
    const QModelIndex cursor = currentIndex();
    if (!cursor.isValid())
        return 0;
    const QRect bounds = selectionBounds();
    if (bounds.isNull())
        return cursor.column() + 1;
    return (cursor.column() == bounds.left() ? bounds.right() : bounds.left()) + 1;
}

void FlexGrid::setRowSel(int row)
{
    dataIndex(row, Col());  // throws for a bad row, or when there is no cursor
    selectRectangle(row, ColSel());
}

void FlexGrid::setColSel(int col)
{
    dataIndex(Row(), col);
    selectRectangle(RowSel(), col);
}

void FlexGrid::selectRectangle(int rowSel, int colSel)
{
    const QModelIndex cursor = currentIndex();
    const QModelIndex topLeft = model_->index(std::min(cursor.row(), rowSel - 1), std::min(cursor.column(), colSel - 1));
    const QModelIndex bottomRight = model_->index(std::max(cursor.row(), rowSel - 1), std::max(cursor.column(), colSel - 1));
    selectionModel()->select(QItemSelection(topLeft, bottomRight), QItemSelectionModel::ClearAndSelect);
}

void FlexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid() && current != previous)
        Q_EMIT enterCell();
}

// Qt moves its current index with the moving end of a selection; here the current index
// is the cursor, where the selection began, so the mouse and Shift with the keys move
// the other corner themselves and leave the current index alone.
void FlexGrid::extendSelection(int rowSel, int colSel)
{
    selectRectangle(rowSel, colSel);
    scrollTo(model_->index(rowSel - 1, colSel - 1));
}

QModelIndex FlexGrid::cellNear(const QPoint& point) const
{
    if (model_->rowCount() == 0 || model_->columnCount() == 0)
        return {};
    const QRect area = viewport()->rect();
    // Beyond an edge of the view, the cell just past it, so that a drag there scrolls.
    auto nearest = [](int at, int size, int count, auto sectionAt) {
        const int clamped = std::clamp(at, 0, std::max(0, size - 1));
        int section = sectionAt(clamped);
        if (section < 0)
            return count - 1; // the empty room after the last row or column
        if (at < 0)
            --section;
        else if (at >= size)
            ++section;
        return std::clamp(section, 0, count - 1);
    };
    const int row = nearest(point.y(), area.height(), model_->rowCount(), [this](int y) { return rowAt(y); });
    const int col = nearest(point.x(), area.width(), model_->columnCount(), [this](int x) { return columnAt(x); });
    return model_->index(row, col);
}

QPoint FlexGrid::selectionStep(int key, Qt::KeyboardModifiers modifiers) const
{
    const int lastRow = Rows() - 1;
    const int lastCol = Cols() - 1;
    int row = RowSel();
    int col = ColSel();
    const int page = std::max(1, viewport()->height() / std::max(1, rowHeight(row - 1)));
    const bool control = modifiers & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Up: row -= 1; break;
    case Qt::Key_Down: row += 1; break;
    case Qt::Key_Left: col -= isRightToLeft() ? -1 : 1; break;
    case Qt::Key_Right: col += isRightToLeft() ? -1 : 1; break;
    case Qt::Key_PageUp: row -= page; break;
    case Qt::Key_PageDown: row += page; break;
    case Qt::Key_Home:
        col = 1;
        if (control)
            row = 1;
        break;
    case Qt::Key_End:
        col = lastCol;
        if (control)
            row = lastRow;
        break;
    default:
        return {};
    }
    return {std::clamp(col, 1, lastCol), std::clamp(row, 1, lastRow)};
}

void FlexGrid::keyPressEvent(QKeyEvent* event)
{
    if ((event->modifiers() & Qt::ShiftModifier) && currentIndex().isValid()) {
        const QPoint to = selectionStep(event->key(), event->modifiers());
        if (!to.isNull()) {
            extendSelection(to.y(), to.x());
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void FlexGrid::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex cell = indexAt(event->position().toPoint());
    const bool left = event->button() == Qt::LeftButton;
    if (event->button() == Qt::RightButton) {
        // The context menu acts on the selection: inside it the cursor stays where the
        // selection began (Qt would move it to the cell), outside it moves there as a
        // left click would.
        if (cell.isValid() && !selectionModel()->isSelected(cell))
            placeCursor(cell);
        event->accept();
        return;
    }
    if (left && (event->modifiers() & Qt::ShiftModifier) && cell.isValid() && currentIndex().isValid()) {
        extendSelection(cell.row() + 1, cell.column() + 1);
        selecting_ = true;
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
    selecting_ = left && cell.isValid();
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (!selecting_ || !(event->buttons() & Qt::LeftButton) || !currentIndex().isValid()) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    const QModelIndex cell = cellNear(event->position().toPoint());
    if (cell.isValid() && (cell.row() + 1 != RowSel() || cell.column() + 1 != ColSel()))
        extendSelection(cell.row() + 1, cell.column() + 1);
    event->accept();
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        selecting_ = false;
    QTableView::mouseReleaseEvent(event);
}

// ---- scrolling

int FlexGrid::TopRow() const
{
    const int row = rowAt(0);
    return row < 0 ? 0 : row + 1;
}

int FlexGrid::LeftCol() const
{
    const int col = columnAt(0);
    return col < 0 ? 0 : col + 1;
}

// A remembered scroll position may belong to a larger table than the one shown now
// (undo across tabs brings back the view of the moment of the edit), so it is clamped.
void FlexGrid::setTopRow(int row)
{
    if (Rows() < 2)
        return;
    settleLayout();
    // Scrolling is per item, so the scroll bar counts rows in their visual order.
    verticalScrollBar()->setValue(verticalHeader()->visualIndex(std::clamp(row, 1, Rows() - 1) - 1));
}

void FlexGrid::setLeftCol(int col)
{
    if (Cols() < 2)
        return;
    settleLayout();
    horizontalScrollBar()->setValue(horizontalHeader()->visualIndex(std::clamp(col, 1, Cols() - 1) - 1));
}

// The scroll ranges follow a change of the table only when the view next lays out its items.
void FlexGrid::settleLayout()
{
    executeDelayedItemsLayout();
    updateGeometries();
}

bool FlexGrid::RowIsVisible(int row) const
{
    checkRow(row);
    if (row == 0)
        return pixelsY(rowHeights_[0]) > 0;
    const int top = rowViewportPosition(row - 1);
    const int height = rowHeight(row - 1);
    return height > 0 && top < viewport()->height() && top + height > 0;
}

bool FlexGrid::ColIsVisible(int col) const
{
    checkCol(col);
    if (col == 0)
        return pixelsX(colWidths_[0]) > 0;
    const int left = columnViewportPosition(col - 1);
    const int width = columnWidth(col - 1);
    return width > 0 && left < viewport()->width() && left + width > 0;
}

void FlexGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (dx != 0 || dy != 0)
        Q_EMIT scrolled();
}

void FlexGrid::setScrollBars(bool shown)
{
    scrollBars_ = shown;
    const Qt::ScrollBarPolicy policy = shown ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
}

// ---- the cursor cell's geometry

// visualRect is what Qt gives its own in-place editors: the cell inside its grid lines.
QRect FlexGrid::cursorRect() const
{
    const QModelIndex cursor = currentIndex();
    if (!cursor.isValid())
        return {};
    return visualRect(cursor).translated(viewport()->pos());
}

int FlexGrid::CellLeft() const { return PixelsToTwips(cursorRect().x(), logicalDpiX()); }
int FlexGrid::CellTop() const { return PixelsToTwips(cursorRect().y(), logicalDpiY()); }
int FlexGrid::CellWidth() const { return PixelsToTwips(cursorRect().width(), logicalDpiX()); }
int FlexGrid::CellHeight() const { return PixelsToTwips(cursorRect().height(), logicalDpiY()); }

// ---- highlight

void FlexGrid::setHighlight(bool shown)
{
    highlight_ = shown;
    applyHighlight();
}

// Shown: unfocused, the selection keeps the focused colours. Never: it takes the cells' own.
void FlexGrid::changeFocusQuietly(const std::function<void()>& change)
{
    // The highlight looks the same with or without the focus (see applyHighlight), so a
    // focus change needs only the cursor cell drawn again, not every cell in view: the
    // commit of an edit moves the focus to the grid, and must not cost a repaint of the table.
    QWidget* view = viewport();
    const bool wasDisabled = view->testAttribute(Qt::WA_UpdatesDisabled);
    view->setAttribute(Qt::WA_UpdatesDisabled, true);
    change();
    view->setAttribute(Qt::WA_UpdatesDisabled, wasDisabled);
    if (currentIndex().isValid())
        update(currentIndex());
}

void FlexGrid::focusInEvent(QFocusEvent* event)
{
    changeFocusQuietly([&] { QTableView::focusInEvent(event); });
}

void FlexGrid::focusOutEvent(QFocusEvent* event)
{
    changeFocusQuietly([&] { QTableView::focusOutEvent(event); });
}

void FlexGrid::applyHighlight()
{
    QPalette colours = parentWidget() ? parentWidget()->palette() : QApplication::palette(this);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        if (!highlight_) {
            colours.setBrush(group, QPalette::Highlight, colours.brush(group, QPalette::Base));
            colours.setBrush(group, QPalette::HighlightedText, colours.brush(group, QPalette::Text));
        } else if (group == QPalette::Inactive) {
            colours.setBrush(group, QPalette::Highlight, colours.brush(QPalette::Active, QPalette::Highlight));
            colours.setBrush(group, QPalette::HighlightedText, colours.brush(QPalette::Active, QPalette::HighlightedText));
        }
    }
    setPalette(colours);
}

// ---- column 0's drag handle and the corner

bool FlexGrid::dragLabelEdge(QWidget* widget, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove
        && type != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const int x = mouse->position().toPoint().x();
    const int grip = std::max(2, style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, verticalHeader()));
    const bool onEdge = x >= widget->width() - grip && x < widget->width();

    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (mouse->button() != Qt::LeftButton || !onEdge)
            return false;
        labelDragStartX_ = x;
        labelDragStartWidth_ = verticalHeader()->width();
        return true;
    case QEvent::MouseMove:
        if (labelDragStartWidth_ >= 0) {
            // Never narrower than the handle, or it could not be taken again.
            const int width = std::max(2 * grip, labelDragStartWidth_ + x - labelDragStartX_);
            setColWidth(0, PixelsToTwips(width, logicalDpiX()));
            return true;
        }
        if (onEdge)
            widget->setCursor(Qt::SplitHCursor);
        else if (widget->testAttribute(Qt::WA_SetCursor))
            widget->unsetCursor();
        return false;
    default:  // release
        if (labelDragStartWidth_ < 0 || mouse->button() != Qt::LeftButton)
            return false;
        labelDragStartWidth_ = -1;
        return true;
    }
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == corner_ || watched == verticalHeader()->viewport()) {
        if (dragLabelEdge(static_cast<QWidget*>(watched), event))
            return true;
        if (watched == corner_ && event->type() == QEvent::Paint) {
            paintCorner();
            return true;
        }
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
