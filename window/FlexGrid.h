#pragma once

// FGrid1: a grid with one fixed row and one fixed column, in the vocabulary the rest
// of the program uses. Row 0 is the horizontal header, column 0 the vertical header,
// cell (0, 0) the corner; data cell (r, c) is model cell (r - 1, c - 1).
//
// Only the fixed cells store text. Data cells are a view over the document: their
// texts come from the provider set with setCellTextProvider, asked for each cell as it
// is drawn, so a table of any size costs no memory here. Whoever changes the bytes
// behind the provider tells the grid by setting the provider again.
//
// Sizes are in twips (1/1440 inch) on this interface and converted to pixels only
// where they reach the view, with the screen's logical dpi. A bad row, column or
// value throws, as an index outside an array does.
//
// Rows, columns and the cursor are all in grid coordinates: the cursor (Row, Col) is
// always a data cell while there is one, and the selection is a rectangle with the
// cursor in one corner and (RowSel, ColSel) in the other.

#include <QColor>
#include <QString>
#include <QTableView>

#include <functional>
#include <utility>
#include <vector>

class QAbstractButton;
class QHeaderView;

namespace zor {

inline constexpr int kTwipsPerInch = 1440;

// Twips and pixels at a given logical dpi, rounded to the nearest unit.
int TwipsToPixels(int twips, int dpi);
int PixelsToTwips(int pixels, int dpi);

class FlexGridModel;

class FlexGrid : public QTableView {
    Q_OBJECT

public:
    using CellTextProvider = std::function<QString(int row, int col)>;
    using CellMarkProvider = std::function<bool(int row, int col)>;
    using RowShadeProvider = std::function<bool(int row)>;
    // A cell's own background; an invalid colour leaves the cell as it would be without one.
    using CellColourProvider = std::function<QColor(int row, int col)>;

    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    // Counts include the fixed row and column, so both are at least 1.
    int Rows() const { return static_cast<int>(rowHeights_.size()); }
    void setRows(int rows);
    int Cols() const { return static_cast<int>(colWidths_.size()); }
    void setCols(int cols);

    // Between these, the calls that change the table (counts, texts, sizes, alignments)
    // only record the change; endFill shows all of it with one model reset and puts the
    // cursor on (1, 1). Nothing should read the view in between. Fills may nest.
    void beginFill();
    void endFill();
    bool isFilling() const { return fillDepth_ > 0; }

    // beginFill now and endFill at end() or, should the fill be cut short by an
    // exception, when it goes out of scope: the view is never left half reset.
    class Fill {
    public:
        explicit Fill(FlexGrid& grid) : grid_(&grid) { grid.beginFill(); }
        ~Fill() { end(); }
        Fill(const Fill&) = delete;
        Fill& operator=(const Fill&) = delete;
        void end()
        {
            if (grid_)
                std::exchange(grid_, nullptr)->endFill();
        }

    private:
        FlexGrid* grid_;
    };

    // Fixed cells give their stored text, data cells the provider's.
    QString TextMatrix(int row, int col) const;
    // Row 0 or column 0 only: data cells have no text of their own. A heading of 7 or
    // more characters is drawn on two lines; this keeps and returns it as set.
    void setTextMatrix(int row, int col, const QString& text);

    // Called with grid coordinates (both at least 1) for every data cell drawn or read.
    // Setting it (even to the same function) redraws every data cell. What it throws
    // while the view draws shows as an empty cell; TextMatrix passes it on.
    void setCellTextProvider(CellTextProvider provider);

    // Asked like the text provider: a marked data cell is drawn on a soft background that
    // keeps its text and the cursor's highlight readable. None set: nothing is marked.
    void setCellMarkProvider(CellMarkProvider provider);
    static QColor markColour();

    // Asked for each data row's label (grid row, at least 1) as it is painted: a shaded
    // label is drawn on shadeColour(), so that groups of rows show at a glance. None
    // set: no label is shaded.
    void setRowLabelShadeProvider(RowShadeProvider provider);
    static QColor shadeColour();
    // Asked like the others for the background of every data cell drawn. Where it gives a
    // colour, a marked cell keeps that colour and shows its mark as a corner in
    // markCornerColour() instead, so that both can be read at once. None set: no colours.
    void setCellColourProvider(CellColourProvider provider);
    bool hasCellColours() const { return static_cast<bool>(colours_); }
    static QColor markCornerColour();

    // Column 0's width is the vertical header's width, row 0's height the horizontal header's.
    // The user may drag column widths (column 0's too); ColWidth reports the dragged width.
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);
    int RowHeight(int row) const;
    void setRowHeight(int row, int twips);

    // 0 left-top, 1 left-center, 2 left-bottom, 3 center-top, 4 center-center,
    // 5 center-bottom, 6 right-top, 7 right-center, 8 right-bottom. Data cells and row
    // labels take the horizontal part and are centred in their one-line rows.
    int ColAlignment(int col) const;
    void setColAlignment(int col, int value);
    // A greyed column's data cells are drawn in the disabled text colour: cells that can't
    // change on their own. None is greyed until set.
    bool ColGreyed(int col) const;
    void setColGreyed(int col, bool greyed);
    static Qt::Alignment alignmentFromCode(int value);

    // Empties every text: the fixed cells' and, by dropping the providers, the data cells', their marks and
    // colours, and the labels' shades.
    void Clear();

    // Redraws one data cell from the provider, after its byte changed.
    void refreshCell(int row, int col);
    // Redraws the data cells of a column, after something all of them are drawn by changed.
    void refreshColumn(int col);

    // The cursor: 0 while there is no data cell. Setting a row or column that is not a
    // data row or column throws std::out_of_range and changes nothing; setting one keeps
    // the other and collapses the selection to the cursor cell. The cursor is the cell
    // where a selection began: the mouse and Shift with the keys move only the
    // selection's other corner (RowSel, ColSel). A right click moves the cursor only
    // onto a cell outside the selection, so that a context menu acts on the selection.
    int Row() const;
    void setRow(int row);
    int Col() const;
    void setCol(int col);

    // The selection's corner opposite the cursor; the cursor itself when one cell is selected.
    // Setting one keeps the cursor and the other; the same rows and columns as above throw.
    int RowSel() const;
    void setRowSel(int row);
    int ColSel() const;
    void setColSel(int col);

    // The first data row and column in view (0 when there is none); setting them scrolls
    // as far towards them as the scroll range allows. A row or column outside the table
    // is taken as the nearest one; without data rows or columns nothing happens.
    int TopRow() const;
    void setTopRow(int row);
    int LeftCol() const;
    void setLeftCol(int col);
    // Whether any part of the row or column lies in the visible area; 0 is the fixed one.
    bool RowIsVisible(int row) const;
    bool ColIsVisible(int col) const;

    // The cursor cell inside its grid lines, in twips from the grid widget's top-left,
    // where the cell is now (it may be scrolled out of view); all 0 without a cursor.
    int CellLeft() const;
    int CellTop() const;
    int CellWidth() const;
    int CellHeight() const;

    // Both scroll bars as needed, or none.
    bool ScrollBars() const { return scrollBars_; }
    void setScrollBars(bool shown);
    // The selection drawn highlighted, whether or not the grid has the focus, or never.
    bool Highlight() const { return highlight_; }
    void setHighlight(bool shown);

    static constexpr int kDefaultRowHeight = 240;  // twips
    static constexpr int kDefaultColWidth = 960;   // twips
    static constexpr int kDefaultAlignment = 1;    // left-center

Q_SIGNALS:
    // The cursor moved to another cell, by the user, the program or a change of the table.
    void enterCell();
    // The view scrolled, either way.
    void scrolled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend class FlexGridModel;
    friend class FlexGridDelegate;

    struct SectionPixels {
        std::vector<int> pixels;  // by section, so column or row 1 first
        int common = 0;           // the commonest of them
    };

    void checkRow(int row) const;
    void checkCol(int col) const;
    void checkDataRow(int row) const;
    void checkDataCol(int col) const;
    QModelIndex dataIndex(int row, int col) const;
    int pixelsX(int twips) const;
    int pixelsY(int twips) const;
    void refreshDataCells();

    void applyHeaderSizes();
    static SectionPixels sectionPixels(const std::vector<int>& twips, int dpi);
    void resizeExceptions(QHeaderView* header, const SectionPixels& sizes);
    void giveNewSectionsTheDefault(QHeaderView* header, int first, int last, int pixels);
    void resizeQuietly(QHeaderView* header, const std::function<void()>& resize);

    void placeCursor(const QModelIndex& cell);
    void ensureCursor();
    void selectRectangle(int rowSel, int colSel);
    // Moves the selection's other corner, the cursor staying, and brings that corner into view.
    void extendSelection(int rowSel, int colSel);
    // The data cell at a point of the viewport, or the nearest one for a point beyond it.
    QModelIndex cellNear(const QPoint& point) const;
    // Shift with a moving key: where the selection's other corner goes; (0, 0) for another key.
    QPoint selectionStep(int key, Qt::KeyboardModifiers modifiers) const;
    QRect selectionBounds() const;
    QRect cursorRect() const;
    void settleLayout();
    void applyHighlight();
    // A focus change without the whole table drawn again.
    void changeFocusQuietly(const std::function<void()>& change);

    void columnResized(int section, int pixels);
    bool dragLabelEdge(QWidget* widget, QEvent* event);
    void paintCorner();
    // Whether data cell (row, col) is marked and has a colour of its own: its mark is a corner then.
    bool markedOverColour(int row, int col) const;

    FlexGridModel* model_;
    CellTextProvider provider_;
    CellMarkProvider marks_;
    RowShadeProvider shades_;
    CellColourProvider colours_;
    std::vector<int> rowHeights_{kDefaultRowHeight};
    std::vector<int> colWidths_{kDefaultColWidth};
    std::vector<int> colAlignments_{kDefaultAlignment};
    std::vector<bool> colGreyed_{false};
    std::vector<QString> rowHeaderTexts_{QString()};  // column 0 by row; [0] unused, the corner lives below
    std::vector<QString> colHeaderTexts_{QString()};  // row 0 by column; [0] is the corner
    QAbstractButton* corner_ = nullptr;
    int fillDepth_ = 0;
    bool resizingSections_ = false;  // our own resizes, which must not be taken for the user's
    int labelDragStartX_ = 0;
    int labelDragStartWidth_ = -1;   // pixels; -1 while column 0's edge is not being dragged
    bool selecting_ = false;         // the left button went down on a cell and is still held
    bool scrollBars_ = true;
    bool highlight_ = true;
};

} // namespace zor
