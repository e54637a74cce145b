// The grid widget and the tab strip on their own: the twips interface, the mapping
// between grid cells and model cells, the model contract, filling, the cursor and
// scrolling, dragging column edges, and the tab strip's page frame. Pixel sizes assume
// the 96 dpi of the offscreen platform, where 15 twips are one pixel.

#include "window/FlexGrid.h"
#include "window/TabStrip.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QBrush>
#include <QStandardItemModel>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <stdexcept>
#include <utility>

using zor::FlexGrid;

namespace {

QString CellName(int row, int col) { return QStringLiteral("%1,%2").arg(row).arg(col); }

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

using Corner = std::pair<int, int>;  // (row, col)

} // namespace

class FlexGridTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twipsConvertAtTheScreensDpi()
    {
        QCOMPARE(zor::TwipsToPixels(15, 96), 1);
        QCOMPARE(zor::TwipsToPixels(1440, 96), 96);
        QCOMPARE(zor::TwipsToPixels(1440, 120), 120);
        QCOMPARE(zor::TwipsToPixels(22, 96), 1);  // 1.47 px rounds to 1
        QCOMPARE(zor::TwipsToPixels(23, 96), 2);
        QCOMPARE(zor::PixelsToTwips(569, 96), 8535);
        QCOMPARE(zor::PixelsToTwips(120, 120), 1440);
    }

    void sizesReachTheViewInPixels()
    {
        FlexGrid grid;
        grid.setRows(4);
        grid.setCols(3);
        grid.setColWidth(2, 1500);
        grid.setRowHeight(3, 450);
        grid.setRowHeight(0, 600);
        grid.setColWidth(0, 900);
        QCOMPARE(grid.ColWidth(2), 1500);
        QCOMPARE(grid.RowHeight(3), 450);
        QCOMPARE(grid.horizontalHeader()->sectionSize(1), 100);
        QCOMPARE(grid.verticalHeader()->sectionSize(2), 30);
        QCOMPARE(grid.horizontalHeader()->height(), 40);
        QCOMPARE(grid.verticalHeader()->width(), 60);
        // Untouched rows and columns keep the defaults, and a new row gets the default too.
        QCOMPARE(grid.ColWidth(1), FlexGrid::kDefaultColWidth);
        grid.setRows(5);
        QCOMPARE(grid.RowHeight(4), FlexGrid::kDefaultRowHeight);
        QCOMPARE(grid.verticalHeader()->sectionSize(3), zor::TwipsToPixels(FlexGrid::kDefaultRowHeight, 96));
        QCOMPARE(grid.RowHeight(3), 450);
    }

    void cellsMapOntoTheModelPlusOne()
    {
        FlexGrid grid;
        grid.setRows(3);
        grid.setCols(4);
        QCOMPARE(grid.model()->rowCount(), 2);
        QCOMPARE(grid.model()->columnCount(), 3);
        grid.setCellTextProvider([](int row, int col) { return QStringLiteral("%1,%2").arg(row).arg(col); });
        QCOMPARE(grid.model()->index(0, 0).data().toString(), QStringLiteral("1,1"));
        QCOMPARE(grid.model()->index(1, 2).data().toString(), QStringLiteral("2,3"));
        QCOMPARE(grid.TextMatrix(2, 3), QStringLiteral("2,3"));

        grid.setTextMatrix(0, 0, QStringLiteral("ID"));
        grid.setTextMatrix(0, 2, QStringLiteral("col 2"));
        grid.setTextMatrix(2, 0, QStringLiteral("row 2"));
        QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("col 2"));
        QCOMPARE(grid.model()->headerData(1, Qt::Vertical).toString(), QStringLiteral("row 2"));
        QCOMPARE(grid.TextMatrix(0, 0), QStringLiteral("ID"));
        QCOMPARE(grid.TextMatrix(0, 2), QStringLiteral("col 2"));
        QCOMPARE(grid.TextMatrix(2, 0), QStringLiteral("row 2"));
        QCOMPARE(grid.TextMatrix(1, 0), QString());
    }

    void alignmentCodesAndTheirColumns()
    {
        QCOMPARE(FlexGrid::alignmentFromCode(0), Qt::AlignLeft | Qt::AlignTop);
        QCOMPARE(FlexGrid::alignmentFromCode(1), Qt::AlignLeft | Qt::AlignVCenter);
        QCOMPARE(FlexGrid::alignmentFromCode(2), Qt::AlignLeft | Qt::AlignBottom);
        QCOMPARE(FlexGrid::alignmentFromCode(3), Qt::AlignHCenter | Qt::AlignTop);
        QCOMPARE(FlexGrid::alignmentFromCode(4), Qt::AlignHCenter | Qt::AlignVCenter);
        QCOMPARE(FlexGrid::alignmentFromCode(5), Qt::AlignHCenter | Qt::AlignBottom);
        QCOMPARE(FlexGrid::alignmentFromCode(6), Qt::AlignRight | Qt::AlignTop);
        QCOMPARE(FlexGrid::alignmentFromCode(7), Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(FlexGrid::alignmentFromCode(8), Qt::AlignRight | Qt::AlignBottom);

        FlexGrid grid;
        grid.setRows(3);
        grid.setCols(3);
        grid.setColAlignment(0, 0);
        grid.setColAlignment(2, 6);
        QCOMPARE(grid.ColAlignment(2), 6);
        const auto alignment = [](const QVariant& value) { return Qt::Alignment(value.toInt()); };
        // Values and row labels sit on their row's line, whatever the code's vertical part; headings keep it.
        QCOMPARE(alignment(grid.model()->index(1, 1).data(Qt::TextAlignmentRole)), Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(alignment(grid.model()->index(1, 0).data(Qt::TextAlignmentRole)),
                 FlexGrid::alignmentFromCode(FlexGrid::kDefaultAlignment));
        QCOMPARE(alignment(grid.model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole)), Qt::AlignRight | Qt::AlignTop);
        // The row labels are column 0's cells.
        QCOMPARE(alignment(grid.model()->headerData(0, Qt::Vertical, Qt::TextAlignmentRole)), Qt::AlignLeft | Qt::AlignVCenter);
    }

    void badArgumentsThrowAndChangeNothing()
    {
        FlexGrid grid;
        grid.setRows(3);
        grid.setCols(3);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.TextMatrix(3, 0));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setTextMatrix(0, 3, QString()));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.ColWidth(-1));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setRowHeight(3, 100));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, grid.setTextMatrix(1, 1, QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, grid.setRows(0));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, grid.setColWidth(1, -15));
        grid.setColAlignment(1, 6);
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, grid.setColAlignment(1, 9));
        QCOMPARE(grid.ColAlignment(1), 6);
        QCOMPARE(grid.Rows(), 3);
    }

    void clearEmptiesEveryTextAndRowCountsKeepTheRest()
    {
        FlexGrid grid;
        grid.setRows(4);
        grid.setCols(3);
        grid.setTextMatrix(0, 0, QStringLiteral("ID"));
        grid.setTextMatrix(0, 1, QStringLiteral("A"));
        grid.setTextMatrix(3, 0, QStringLiteral("02"));
        grid.setCellTextProvider([](int, int) { return QStringLiteral("FF"); });
        grid.setRowHeight(1, 300);

        grid.setRows(2);
        grid.setRows(4);
        QCOMPARE(grid.RowHeight(1), 300);
        QCOMPARE(grid.TextMatrix(3, 0), QString());  // dropped with its row
        QCOMPARE(grid.TextMatrix(0, 1), QStringLiteral("A"));

        grid.Clear();
        QCOMPARE(grid.TextMatrix(0, 0), QString());
        QCOMPARE(grid.TextMatrix(0, 1), QString());
        QCOMPARE(grid.TextMatrix(1, 1), QString());
        QCOMPARE(grid.model()->index(0, 0).data().toString(), QString());
        QCOMPARE(grid.Rows(), 4);
        QCOMPARE(grid.RowHeight(1), 300);
    }

    void modelKeepsQtsContractThroughEveryChange()
    {
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.setCellTextProvider(CellName);
        grid.setRows(6);
        grid.setCols(4);
        grid.setRows(3);
        grid.setCols(1);
        grid.Clear();
        grid.beginFill();
        grid.setRows(40);
        grid.setCols(5);
        grid.endFill();
        grid.setRows(1);
    }

    void questionsOutsideTheTableGetNothing()
    {
        FlexGrid grid;
        grid.setRows(3);
        grid.setCols(3);
        const QAbstractItemModel& model = *grid.model();
        for (const int section : {5, 2, -1})  // 1 is the last
            QVERIFY(!model.headerData(section, Qt::Horizontal).isValid());
        QVERIFY(!model.headerData(0, Qt::Orientation(0)).isValid());
        const QStandardItemModel other(3, 3);
        QVERIFY(!model.data(other.index(0, 0)).isValid());

        // What the provider throws shows as an empty cell, also while the view paints.
        grid.setCellTextProvider([](int row, int) -> QString {
            if (row == 2)
                throw std::runtime_error("no such byte");
            return QStringLiteral("ok");
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
        QVERIFY(!model.index(0, 0).data(Qt::BackgroundRole).isValid());
        QVERIFY(!model.index(1, 1).data(Qt::BackgroundRole).isValid());
        grid.Clear();
        QVERIFY(!model.index(0, 1).data(Qt::BackgroundRole).isValid());
    }

    void longHeadingsDrawOnTwoLines()
    {
        FlexGrid grid;
        grid.setCols(4);
        const QString headings[] = {QStringLiteral(u"防御力ボーナ"), QStringLiteral(u"防御力ボーナス"), QStringLiteral("ABCDEFGH")};
        const QString shown[] = {headings[0], QStringLiteral(u"防御力 \nボーナス"), QStringLiteral("ABCD \nEFGH")};
        for (int c = 1; c <= 3; ++c) {
            grid.setTextMatrix(0, c, headings[c - 1]);
            QCOMPARE(grid.model()->headerData(c - 1, Qt::Horizontal).toString(), shown[c - 1]);
            QCOMPARE(grid.TextMatrix(0, c), headings[c - 1]);
        }
    }

    void fillShowsEverythingWithOneReset()
    {
        FlexGrid grid;
        grid.setRows(4);
        grid.setCols(3);
        grid.setRowHeight(2, 600);
        grid.setColWidth(1, 1500);
        QSignalSpy resets(grid.model(), &QAbstractItemModel::modelReset);
        QSignalSpy others[] = {{grid.model(), &QAbstractItemModel::rowsInserted},
                               {grid.model(), &QAbstractItemModel::headerDataChanged}};
        grid.beginFill();
        grid.setRows(1001);
        grid.setCols(5);
        for (int r = 1; r < grid.Rows(); ++r)
            grid.setRowHeight(r, r == 500 ? 450 : 300);
        grid.setColWidth(1, 1000);  // 66.7 px, which must not come back as 67 px' 1005 twips
        grid.setColWidth(0, 600);
        grid.endFill();
        QCOMPARE(resets.count(), 1);
        for (const QSignalSpy& spy : others)
            QCOMPARE(spy.count(), 0);

        const QHeaderView& rows = *grid.verticalHeader();
        QCOMPARE(rows.sectionSize(1), 20);  // 40 before the fill, which a reset alone keeps
        QCOMPARE(rows.sectionSize(499), 30);
        QCOMPARE(rows.length(), 999 * 20 + 30);
        QCOMPARE(grid.horizontalHeader()->sectionSize(0), 67);
        QCOMPARE(grid.ColWidth(1), 1000);
        QCOMPARE(rows.width(), 40);

        // Outside a fill sizes apply at once, and new rows get the default height.
        grid.setRowHeight(3, 150);
        QCOMPARE(rows.sectionSize(2), 10);
        grid.setRows(1003);
        QCOMPARE(rows.sectionSize(1001), 16);
        QVERIFY_THROWS_EXCEPTION(std::logic_error, grid.endFill());
    }

    // The fill's speed is measured in bench/; this checks what it leaves behind.
    void bigTableFillGivesEveryRowItsHeight()
    {
        auto grid = ShownGrid(1, 1);
        QVERIFY(grid);
        for (const int height : {300, FlexGrid::kDefaultRowHeight}) {
            grid->beginFill();
            grid->setRows(32768);
            grid->setCols(65);
            for (int r = 1; r < 32768; ++r) {
                grid->setRowHeight(r, height);
                grid->setTextMatrix(r, 0, QString::number(r - 1, 16).toUpper());
            }
            for (int c = 1; c < 65; ++c)
                grid->setTextMatrix(0, c, QStringLiteral("Section %1").arg(c));
            grid->endFill();
            QCoreApplication::processEvents();
            QCOMPARE(grid->verticalHeader()->length(), 32767 * zor::TwipsToPixels(height, 96));
        }
    }

    void aFillCutShortStillEnds()
    {
        FlexGrid grid;
        try {
            FlexGrid::Fill fill(grid);
            grid.setRows(5);
            grid.setCols(3);
            throw std::runtime_error("cut short");
        } catch (const std::runtime_error&) {
        }
        QVERIFY(!grid.isFilling());
        QCOMPARE(grid.model()->rowCount(), 4); // the view shows what the fill had set
        QCOMPARE(grid.Row(), 1);
    }

    void cursorMovesOnlyToDataCells()
    {
        FlexGrid grid;
        QSignalSpy entered(&grid, &FlexGrid::enterCell);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setRow(1));
        grid.setRows(6);
        grid.setCols(4);
        QCOMPARE(Corner(grid.Row(), grid.Col()), Corner(1, 1));  // it comes with the first data cell
        grid.setRow(4);
        grid.setCol(3);
        grid.setRow(5);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setRow(0));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setRow(6));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setCol(4));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setRowSel(0));
        QCOMPARE(Corner(grid.Row(), grid.Col()), Corner(5, 3));
        QCOMPARE(entered.count(), 4);

        grid.setRowSel(2);
        grid.setColSel(1);
        QCOMPARE(Corner(grid.RowSel(), grid.ColSel()), Corner(2, 1));
        QCOMPARE(grid.selectionModel()->selectedIndexes().size(), 4 * 3);
        grid.setCol(2);  // collapses the selection
        QCOMPARE(Corner(grid.RowSel(), grid.ColSel()), Corner(5, 2));
        grid.setRows(3);  // takes the cursor's row away
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(entered.count(), 6);
    }

    void shiftArrowsSelectARectangle()
    {
        auto grid = ShownGrid(10, 6);
        QVERIFY(grid);
        grid->setFocus();
        grid->setRow(3);
        grid->setCol(2);
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Left})
            QTest::keyClick(grid.get(), key, Qt::ShiftModifier);
        QCOMPARE(Corner(grid->Row(), grid->Col()), Corner(3, 2));  // the cursor stays where the selection began
        QCOMPARE(Corner(grid->RowSel(), grid->ColSel()), Corner(5, 1));
        QCOMPARE(grid->selectionModel()->selectedIndexes().size(), 3 * 2);
    }

    void scrollingReportsTheFirstRowAndColumnInView()
    {
        auto grid = ShownGrid(20, 30);
        QVERIFY(grid);
        QSignalSpy scrolled(grid.get(), &FlexGrid::scrolled);
        grid->setRows(201);
        grid->setTopRow(50);  // before the view has laid the new rows out
        grid->setLeftCol(7);
        QCOMPARE(Corner(grid->TopRow(), grid->LeftCol()), Corner(50, 7));
        QCOMPARE(scrolled.count(), 2);
        const int partlyInView = (grid->viewport()->height() + 15) / 16;
        QVERIFY(grid->RowIsVisible(50) && grid->RowIsVisible(50 + partlyInView - 1) && grid->RowIsVisible(0));
        QVERIFY(!grid->RowIsVisible(49) && !grid->RowIsVisible(50 + partlyInView));
        QVERIFY(grid->ColIsVisible(7) && !grid->ColIsVisible(6));

        // At the end the last row sits at the bottom, and the first in view may be cut; a
        // row past the table is taken as the last, one before it as the first.
        grid->setTopRow(999);
        QCOMPARE(grid->TopRow(), 200 - partlyInView + 1);
        QVERIFY(grid->RowIsVisible(200));
        grid->setRow(2);  // out of view: both ways
        QCOMPARE(Corner(grid->TopRow(), grid->LeftCol()), Corner(2, 1));
        grid->setTopRow(-5);
        grid->setLeftCol(0);
        QCOMPARE(Corner(grid->TopRow(), grid->LeftCol()), Corner(1, 1));
        QCOMPARE(scrolled.count(), 6);
        FlexGrid empty;
        empty.setTopRow(3);  // no data rows: nothing to scroll to
        empty.setLeftCol(3);
        QCOMPARE(Corner(empty.TopRow(), empty.LeftCol()), Corner(0, 0));
    }

    void cursorCellGeometryIsInTwipsFromTheGridsCorner()
    {
        auto grid = ShownGrid(20, 8);
        QVERIFY(grid);
        grid->setColWidth(0, 900);   // 60 px
        grid->setColWidth(1, 1500);  // 100 px
        grid->setRowHeight(0, 450);  // 30 px
        grid->setRowHeight(1, 300);  // 20 px
        grid->setRow(2);
        grid->setCol(3);
        const int frame = grid->frameWidth();
        QCOMPARE(grid->CellLeft(), 15 * (frame + 60 + 100 + 64));
        QCOMPARE(grid->CellTop(), 15 * (frame + 30 + 20));
        // Inside its grid lines: the cell lacks the line on its right and bottom.
        QCOMPARE(grid->CellWidth(), FlexGrid::kDefaultColWidth - 15);
        QCOMPARE(grid->CellHeight(), FlexGrid::kDefaultRowHeight - 15);
        grid->setLeftCol(2);
        QCOMPARE(grid->CellLeft(), 15 * (frame + 60 + 64));
    }

    void columnEdgesDragWithTheMouse()
    {
        auto grid = ShownGrid(5, 4);
        QVERIFY(grid);
        QWidget& headings = *grid->horizontalHeader()->viewport();
        const auto drag = [](QWidget& widget, int fromX, int toX) {
            QTest::mousePress(&widget, Qt::LeftButton, {}, QPoint(fromX, 10));
            QTest::mouseMove(&widget, QPoint(toX, 10));
            QTest::mouseRelease(&widget, Qt::LeftButton, {}, QPoint(toX, 10));
        };
        const int edge = 2 * 64 - 1;  // column 2's right edge
        drag(headings, edge, edge + 30);
        QCOMPARE(grid->ColWidth(2), FlexGrid::kDefaultColWidth + 30 * 15);
        drag(headings, edge + 30, 0);
        QCOMPARE(grid->ColWidth(2), 0);

        // Column 0 is the row labels' width, with a handle of ours at its right edge.
        grid->setColWidth(0, 900);
        grid->setRow(3);
        QWidget& labels = *grid->verticalHeader()->viewport();
        QTest::mouseMove(&labels, QPoint(59, 10));
        QCOMPARE(labels.cursor().shape(), Qt::SplitHCursor);
        drag(labels, 59, 59 + 25);
        QCOMPARE(grid->ColWidth(0), 900 + 25 * 15);
        QCOMPARE(grid->Row(), 3);  // the press, in row 1, did not select that row
    }

    void highlightAndScrollBarsCanBeTurnedOff()
    {
        auto grid = ShownGrid(40, 20);
        QVERIFY(grid);
        grid->setRowSel(2);
        const auto pixelAt = [&](int row, int col) {
            return grid->viewport()->grab().toImage().pixel(grid->visualRect(grid->model()->index(row, col)).center());
        };
        QVERIFY(pixelAt(1, 0) != pixelAt(1, 2));  // selected and not
        grid->setHighlight(false);
        QCOMPARE(pixelAt(1, 0), pixelAt(1, 2));

        QVERIFY(grid->verticalScrollBar()->isVisible());
        grid->setScrollBars(false);
        QVERIFY(!grid->verticalScrollBar()->isVisible() && !grid->horizontalScrollBar()->isVisible());
    }

    void tabStripDrawsAPageBelowItsTabs()
    {
        zor::TabStrip tabs;
        QCOMPARE(tabs.count(), 3);
        QCOMPARE(tabs.tabText(0), QStringLiteral(u"ID-セクション"));
        QCOMPARE(tabs.tabText(1), QStringLiteral(u"個別データ"));
        QCOMPARE(tabs.tabText(2), QStringLiteral(u"戦闘パラメータ"));
        QCOMPARE(tabs.SelectedIndex(), 1);
        tabs.setCurrentIndex(2);
        QCOMPARE(tabs.SelectedIndex(), 3);

        // A plain tab bar leaves the room below its tabs empty; the strip frames it.
        const QSize size(300, 200);
        const auto frameSeenAtLeftEdge = [&](QTabBar& bar) {
            bar.resize(size);
            const QImage image = bar.grab().toImage();
            const int y = size.height() / 2;
            const QRgb inside = image.pixel(size.width() / 2, y);
            for (int x = 0; x < 4; ++x)
                if (image.pixel(x, y) != inside)
                    return true;
            return false;
        };
        QTabBar plain;
        plain.addTab(QStringLiteral("a"));
        QVERIFY(!frameSeenAtLeftEdge(plain));
        QVERIFY(frameSeenAtLeftEdge(tabs));
    }

    void narrowTallStripKeepsItsTabsInTheRow()
    {
        // Narrower than its tabs and taller than wide, as in a narrow window.
        zor::TabStrip tabs;
        tabs.resize(550, 520);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        tabs.resize(tabs.tabRect(2).right() - 40, 280);
        QCoreApplication::processEvents();
        QCOMPARE(tabs.tabRect(0).topLeft(), QPoint(0, 0));
        const QList<QToolButton*> buttons = tabs.findChildren<QToolButton*>();
        QVERIFY(!buttons.isEmpty());
        for (const QToolButton* button : buttons) {
            QVERIFY(button->isVisible());
            QCOMPARE(button->height(), tabs.tabsHeight());
            QVERIFY(button->geometry().right() < tabs.width());
        }
    }
};

int RunFlexGridTests(int argc, char** argv)
{
    FlexGridTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FlexGridTest.moc"
