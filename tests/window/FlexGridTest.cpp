// The grid widget and the tab strip on their own: the twips interface, the mapping
// between grid cells and model cells, the model contract, filling, the cursor and
// scrolling, dragging column edges, and the tab strip's page frame. Pixel sizes assume
// the 96 dpi of the offscreen platform, where 15 twips are one pixel.

#include "window/FlexGrid.h"
#include "window/TabStrip.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <stdexcept>

using namespace Qt::Literals::StringLiterals;
using zor::FlexGrid;

namespace {

// A shown 400 x 300 px grid with the given data rows and columns; null if it never shows.
std::unique_ptr<FlexGrid> ShownGrid(int rows, int cols)
{
    auto grid = std::make_unique<FlexGrid>();
    grid->setRows(rows + 1);
    grid->setCols(cols + 1);
    grid->resize(400, 300);
    grid->show();
    return QTest::qWaitForWindowExposed(grid.get()) ? std::move(grid) : nullptr;
}

using Corner = std::pair<int, int>; // (row, col)
Corner Cursor(const FlexGrid& grid) { return {grid.Row(), grid.Col()}; }
Corner OtherCorner(const FlexGrid& grid) { return {grid.RowSel(), grid.ColSel()}; }

} // namespace

class FlexGridTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twipsConvertAtTheScreensDpi()
    {
        QCOMPARE((std::vector{zor::TwipsToPixels(15, 96), zor::TwipsToPixels(1440, 96), zor::TwipsToPixels(1440, 120),
                              zor::TwipsToPixels(22, 96), zor::TwipsToPixels(23, 96)}),
                 (std::vector{1, 96, 120, 1, 2})); // 1.47 px rounds to 1
        QCOMPARE(std::pair(zor::PixelsToTwips(569, 96), zor::PixelsToTwips(120, 120)), std::pair(8535, 1440));
    }

    void cellsMapOntoTheModelPlusOneWithTheirAlignments()
    {
        FlexGrid grid;
        grid.setRows(3);
        grid.setCols(4);
        QCOMPARE(std::pair(grid.model()->rowCount(), grid.model()->columnCount()), std::pair(2, 3));
        grid.setCellTextProvider([](int row, int col) { return u"%1,%2"_s.arg(row).arg(col); });
        QCOMPARE(std::tuple(grid.model()->index(0, 0).data().toString(), grid.model()->index(1, 2).data().toString(), grid.TextMatrix(2, 3)),
                 std::tuple(u"1,1"_s, u"2,3"_s, u"2,3"_s));
        grid.setTextMatrix(0, 0, u"ID"_s);
        grid.setTextMatrix(2, 0, u"row 2"_s);
        QCOMPARE(grid.model()->headerData(1, Qt::Vertical).toString(), u"row 2"_s);
        QCOMPARE(std::tuple(grid.TextMatrix(0, 0), grid.TextMatrix(2, 0), grid.TextMatrix(1, 0)), std::tuple(u"ID"_s, u"row 2"_s, QString()));
        // A long heading draws on two lines, broken in its middle; its text stays whole.
        const QString headings[] = {u"防御力ボーナ"_s, u"防御力ボーナス"_s, u"ABCDEFGH"_s};
        const QString drawn[] = {headings[0], u"防御力 \nボーナス"_s, u"ABCD \nEFGH"_s};
        for (int c = 1; c <= 3; ++c) {
            grid.setTextMatrix(0, c, headings[c - 1]);
            QCOMPARE(std::pair(grid.model()->headerData(c - 1, Qt::Horizontal).toString(), grid.TextMatrix(0, c)),
                     std::pair(drawn[c - 1], headings[c - 1]));
        }

        // Alignment codes: three across, each top, centre and bottom.
        const Qt::Alignment across[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
        const Qt::Alignment down[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
        for (int code = 0; code <= 8; ++code)
            QCOMPARE(FlexGrid::alignmentFromCode(code), across[code / 3] | down[code % 3]);
        grid.setColAlignment(0, 0);
        grid.setColAlignment(2, 6);
        QCOMPARE(grid.ColAlignment(2), 6);
        const auto alignment = [](const QVariant& value) { return Qt::Alignment(value.toInt()); };
        // Values and row labels sit on their row's line, whatever the code's vertical part; headings keep it.
        QCOMPARE(alignment(grid.model()->index(1, 1).data(Qt::TextAlignmentRole)), Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(alignment(grid.model()->index(1, 0).data(Qt::TextAlignmentRole)), FlexGrid::alignmentFromCode(FlexGrid::kDefaultAlignment));
        QCOMPARE(alignment(grid.model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole)), Qt::AlignRight | Qt::AlignTop);
        QCOMPARE(alignment(grid.model()->headerData(0, Qt::Vertical, Qt::TextAlignmentRole)), Qt::AlignLeft | Qt::AlignVCenter);
    }

    // Qt's tester checks the model through every change here and in the fill below.
    void clearEmptiesEveryTextAndRowCountsKeepTheRest()
    {
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.setRows(4);
        grid.setCols(4);
        grid.setTextMatrix(0, 1, u"A"_s);
        grid.setTextMatrix(3, 0, u"02"_s);
        grid.setCellTextProvider([](int, int) { return u"FF"_s; });
        grid.setRowHeight(1, 300);
        grid.setRows(2);
        grid.setCols(3);
        grid.setRows(4);
        QCOMPARE(std::tuple(grid.RowHeight(1), grid.TextMatrix(3, 0), grid.TextMatrix(0, 1)), std::tuple(300, QString(), u"A"_s));
        grid.Clear();
        QCOMPARE(std::tuple(grid.TextMatrix(0, 1), grid.TextMatrix(1, 1), grid.model()->index(0, 0).data().toString()),
                 std::tuple(QString(), QString(), QString()));
        QCOMPARE(std::pair(grid.Rows(), grid.RowHeight(1)), std::pair(4, 300));
    }

    void questionsOutsideTheTableGetNothingAndBadArgumentsThrow()
    {
        FlexGrid grid;
        grid.setRows(3);
        grid.setCols(3);
        grid.setColAlignment(1, 6);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.TextMatrix(3, 0));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setTextMatrix(0, 3, QString()));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.ColWidth(-1));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setRowHeight(3, 100));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, grid.setTextMatrix(1, 1, u"x"_s));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, grid.setRows(0));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, grid.setColWidth(1, -15));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, grid.setColAlignment(1, 9));
        QCOMPARE(std::pair(grid.ColAlignment(1), grid.Rows()), std::pair(6, 3)); // unchanged
        const QAbstractItemModel& model = *grid.model();
        for (const int section : {5, 2, -1}) // 1 is the last
            QVERIFY(!model.headerData(section, Qt::Horizontal).isValid());
        QVERIFY(!model.headerData(0, Qt::Orientation(0)).isValid());
        const QStandardItemModel other(3, 3);
        QVERIFY(!model.data(other.index(0, 0)).isValid());

        // What the provider throws shows as an empty cell, also while the view paints.
        grid.setCellTextProvider([](int row, int) -> QString {
            if (row == 2)
                throw std::runtime_error("no such byte");
            return u"ok"_s;
        });
        QCOMPARE(model.index(1, 0).data().toString(), QString());
        grid.resize(300, 200);
        QVERIFY(!grid.grab().isNull());
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, grid.TextMatrix(2, 1));
        // Marks are asked for the same way: a marked cell gets the soft background, a throw none.
        grid.setCellMarkProvider([](int row, int col) {
            if (row == 2)
                throw std::runtime_error("no such byte");
            return col == 2;
        });
        QCOMPARE(model.index(0, 1).data(Qt::BackgroundRole).value<QBrush>().color(), FlexGrid::markColour());
        QVERIFY(!model.index(0, 0).data(Qt::BackgroundRole).isValid() && !model.index(1, 1).data(Qt::BackgroundRole).isValid());
        grid.Clear();
        QVERIFY(!model.index(0, 1).data(Qt::BackgroundRole).isValid());
    }

    void sizesReachTheViewAndAFillResetsOnceEvenCutShort()
    {
        FlexGrid grid;
        grid.setRows(4);
        grid.setCols(3);
        grid.setColWidth(0, 900);
        grid.setRowHeight(0, 600);
        grid.setRowHeight(2, 600);
        grid.setColWidth(1, 1500);
        QCOMPARE(std::tuple(grid.horizontalHeader()->sectionSize(0), grid.verticalHeader()->sectionSize(1), grid.ColWidth(2)),
                 std::tuple(100, 40, FlexGrid::kDefaultColWidth));
        QCOMPARE(std::pair(grid.horizontalHeader()->height(), grid.verticalHeader()->width()), std::pair(40, 60));
        QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(grid.model(), &QAbstractItemModel::modelReset);
        QSignalSpy others[] = {{grid.model(), &QAbstractItemModel::rowsInserted}, {grid.model(), &QAbstractItemModel::headerDataChanged}};
        grid.beginFill();
        grid.setRows(1001);
        grid.setCols(5);
        for (int r = 1; r < grid.Rows(); ++r)
            grid.setRowHeight(r, r == 500 ? 450 : 300);
        grid.setColWidth(1, 1000); // 66.7 px, which must not come back as 67 px' 1005 twips
        grid.setColWidth(0, 600);
        grid.endFill();
        QCOMPARE(std::tuple(resets.count(), others[0].count(), others[1].count()), std::tuple(1, 0, 0));
        const QHeaderView& rows = *grid.verticalHeader();
        // 40 before the fill, which a reset alone keeps.
        QCOMPARE(std::tuple(rows.sectionSize(1), rows.sectionSize(499), rows.length(), rows.width()), std::tuple(20, 30, 999 * 20 + 30, 40));
        QCOMPARE(std::pair(grid.horizontalHeader()->sectionSize(0), grid.ColWidth(1)), std::pair(67, 1000));
        // Outside a fill sizes apply at once, and new rows get the default height.
        grid.setRowHeight(3, 150);
        grid.setRows(1003);
        QCOMPARE(std::tuple(rows.sectionSize(2), rows.sectionSize(1001), grid.RowHeight(1002)), std::tuple(10, 16, FlexGrid::kDefaultRowHeight));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, grid.endFill());
        // A fill cut short still ends: the view shows what it had set.
        try {
            FlexGrid::Fill fill(grid);
            grid.setRows(5);
            grid.setCols(3);
            throw std::runtime_error("cut short");
        } catch (const std::runtime_error&) {
        }
        QVERIFY(!grid.isFilling());
        QCOMPARE(std::pair(grid.model()->rowCount(), grid.Row()), std::pair(4, 1));
    }

    void cursorMovesOnlyToDataCells()
    {
        FlexGrid grid;
        QSignalSpy entered(&grid, &FlexGrid::enterCell);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setRow(1));
        grid.setRows(6);
        grid.setCols(4);
        QCOMPARE(Cursor(grid), Corner(1, 1)); // it comes with the first data cell
        grid.setRow(4);
        grid.setCol(3);
        grid.setRow(5);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setRow(0));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setRow(6));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setCol(4));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setRowSel(0));
        QCOMPARE(std::tuple(Cursor(grid), entered.count()), std::tuple(Corner(5, 3), 4));
        grid.setRowSel(2);
        grid.setColSel(1);
        QCOMPARE(std::tuple(OtherCorner(grid), grid.selectionModel()->selectedIndexes().size()), std::tuple(Corner(2, 1), 4 * 3));
        grid.setCol(2); // collapses the selection
        QCOMPARE(OtherCorner(grid), Corner(5, 2));
        grid.setRows(3); // takes the cursor's row away
        QCOMPARE(std::tuple(grid.Row(), entered.count()), std::tuple(2, 6));
    }

    void shiftAndTheMouseSelectARectangle()
    {
        auto grid = ShownGrid(10, 6);
        QVERIFY(grid);
        grid->setFocus();
        grid->setRow(3);
        grid->setCol(2);
        QSignalSpy entered(grid.get(), &FlexGrid::enterCell);
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Left})
            QTest::keyClick(grid.get(), key, Qt::ShiftModifier);
        // The cursor stays where the selection began.
        QCOMPARE(std::pair(Cursor(*grid), OtherCorner(*grid)), std::pair(Corner(3, 2), Corner(5, 1)));
        QCOMPARE(std::tuple(grid->selectionModel()->selectedIndexes().size(), entered.count()), std::tuple(3 * 2, 0));
        QTest::keyClick(grid.get(), Qt::Key_End, Qt::ShiftModifier); // to the last column
        QCOMPARE(OtherCorner(*grid), Corner(5, 6));
        // A drag: the cursor stays on the pressed cell, the other corner follows; so does Shift and a click.
        const auto at = [&](int row, int col) { return grid->visualRect(grid->model()->index(row - 1, col - 1)).center(); };
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, at(3, 4));
        QMouseEvent move(QEvent::MouseMove, at(2, 2), grid->viewport()->mapToGlobal(at(2, 2)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(grid->viewport(), &move);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, at(2, 2));
        QCOMPARE(std::tuple(Cursor(*grid), OtherCorner(*grid), entered.count()), std::tuple(Corner(3, 4), Corner(2, 2), 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, at(4, 5));
        QCOMPARE(std::pair(Cursor(*grid), OtherCorner(*grid)), std::pair(Corner(3, 4), Corner(4, 5)));
    }

    void scrollingReportsTheFirstRowAndColumnInView()
    {
        auto grid = ShownGrid(20, 30);
        QVERIFY(grid);
        QSignalSpy scrolled(grid.get(), &FlexGrid::scrolled);
        grid->setRows(201);
        grid->setTopRow(50); // before the view has laid the new rows out
        grid->setLeftCol(7);
        QCOMPARE(std::tuple(Corner(grid->TopRow(), grid->LeftCol()), scrolled.count()), std::tuple(Corner(50, 7), 2));
        const int partlyInView = (grid->viewport()->height() + 15) / 16;
        QVERIFY(grid->RowIsVisible(50) && grid->RowIsVisible(50 + partlyInView - 1) && grid->RowIsVisible(0));
        QVERIFY(!grid->RowIsVisible(49) && !grid->RowIsVisible(50 + partlyInView));
        QVERIFY(grid->ColIsVisible(7) && !grid->ColIsVisible(6));
        // At the end the last row sits at the bottom, and the first in view may be cut; a
        // row past the table is taken as the last, one before it as the first.
        grid->setTopRow(999);
        QCOMPARE(grid->TopRow(), 200 - partlyInView + 1);
        QVERIFY(grid->RowIsVisible(200));
        grid->setRow(2); // out of view: both ways
        QCOMPARE(Corner(grid->TopRow(), grid->LeftCol()), Corner(2, 1));
        grid->setTopRow(-5);
        grid->setLeftCol(0);
        QCOMPARE(std::tuple(Corner(grid->TopRow(), grid->LeftCol()), scrolled.count()), std::tuple(Corner(1, 1), 6));
        FlexGrid empty;
        empty.setTopRow(3); // no data rows: nothing to scroll to
        empty.setLeftCol(3);
        QCOMPARE(Corner(empty.TopRow(), empty.LeftCol()), Corner(0, 0));
    }

    void cursorCellGeometryIsInTwipsFromTheGridsCorner()
    {
        auto grid = ShownGrid(20, 8);
        QVERIFY(grid);
        grid->setColWidth(0, 900);  // 60 px
        grid->setColWidth(1, 1500); // 100 px
        grid->setRowHeight(0, 450); // 30 px
        grid->setRowHeight(1, 300); // 20 px
        grid->setRow(2);
        grid->setCol(3);
        const int frame = grid->frameWidth();
        QCOMPARE(std::pair(grid->CellLeft(), grid->CellTop()), std::pair(15 * (frame + 60 + 100 + 64), 15 * (frame + 30 + 20)));
        // Inside its grid lines: the cell lacks the line on its right and bottom.
        QCOMPARE(std::pair(grid->CellWidth(), grid->CellHeight()), std::pair(FlexGrid::kDefaultColWidth - 15, FlexGrid::kDefaultRowHeight - 15));
        grid->setLeftCol(2);
        QCOMPARE(grid->CellLeft(), 15 * (frame + 60 + 64));
    }

    void columnEdgesDragWithTheMouse()
    {
        auto grid = ShownGrid(5, 4);
        QVERIFY(grid);
        const auto drag = [](QWidget& widget, int fromX, int toX) {
            QTest::mousePress(&widget, Qt::LeftButton, {}, QPoint(fromX, 10));
            QTest::mouseMove(&widget, QPoint(toX, 10));
            QTest::mouseRelease(&widget, Qt::LeftButton, {}, QPoint(toX, 10));
        };
        const int edge = 2 * 64 - 1; // column 2's right edge
        drag(*grid->horizontalHeader()->viewport(), edge, edge + 30);
        QCOMPARE(grid->ColWidth(2), FlexGrid::kDefaultColWidth + 30 * 15);
        drag(*grid->horizontalHeader()->viewport(), edge + 30, 0);
        QCOMPARE(grid->ColWidth(2), 0);
        // Column 0 is the row labels' width, with a handle of ours at its right edge.
        grid->setColWidth(0, 900);
        grid->setRow(3);
        QWidget& labels = *grid->verticalHeader()->viewport();
        QTest::mouseMove(&labels, QPoint(59, 10));
        QCOMPARE(labels.cursor().shape(), Qt::SplitHCursor);
        drag(labels, 59, 59 + 25);
        QCOMPARE(std::pair(grid->ColWidth(0), grid->Row()), std::pair(900 + 25 * 15, 3)); // the press, in row 1, did not select that row
    }

    void highlightCanBeTurnedOff()
    {
        auto grid = ShownGrid(40, 20);
        QVERIFY(grid);
        grid->setRowSel(2);
        const auto pixelAt = [&](int row, int col) {
            return grid->viewport()->grab().toImage().pixel(grid->visualRect(grid->model()->index(row, col)).center());
        };
        QVERIFY(pixelAt(1, 0) != pixelAt(1, 2)); // selected and not
        grid->setHighlight(false);
        QCOMPARE(pixelAt(1, 0), pixelAt(1, 2));
    }

    void tabStripDrawsAPageBelowItsTabsInOneRow()
    {
        zor::TabStrip tabs;
        QCOMPARE((QStringList{tabs.tabText(0), tabs.tabText(1), tabs.tabText(2)}), (QStringList{u"ID-セクション"_s, u"個別データ"_s, u"戦闘パラメータ"_s}));
        QCOMPARE(tabs.SelectedIndex(), 1);
        tabs.setCurrentIndex(2);
        QCOMPARE(tabs.SelectedIndex(), 3);
        // A plain tab bar leaves the room below its tabs empty; the strip frames it.
        const auto frameSeenAtLeftEdge = [](QTabBar& bar) {
            bar.resize(300, 200);
            const QImage image = bar.grab().toImage();
            for (int x = 0; x < 4; ++x)
                if (image.pixel(x, 100) != image.pixel(150, 100))
                    return true;
            return false;
        };
        QTabBar plain;
        plain.addTab(u"a"_s);
        QVERIFY(!frameSeenAtLeftEdge(plain) && frameSeenAtLeftEdge(tabs));

        // Narrower than its tabs and taller than wide, as in a narrow window, it keeps its tabs in the row.
        tabs.setCurrentIndex(0);
        tabs.resize(550, 520);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        tabs.resize(tabs.tabRect(2).right() - 40, 280);
        QCoreApplication::processEvents();
        QCOMPARE(tabs.tabRect(0).topLeft(), QPoint(0, 0));
        const QList<QToolButton*> buttons = tabs.findChildren<QToolButton*>();
        QVERIFY(!buttons.isEmpty());
        for (const QToolButton* button : buttons)
            QVERIFY(button->isVisible() && button->height() == tabs.tabsHeight() && button->geometry().right() < tabs.width());
    }
};

int RunFlexGridTests(int argc, char** argv)
{
    FlexGridTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FlexGridTest.moc"
