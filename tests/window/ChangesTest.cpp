// What follows the document's changes: 表示 → 変更一覧, told by every command that writes
// cells, with its model, its two columns and a double-click that shows the cell; 表示 →
// 値で色分け, whose shades follow an edit with the marks still seen; and 表示 → グラフ, which
// follows the cursor's column and moves the cursor when clicked. What the list holds, the
// ranges and the chart's column are the core's to check (tests/compare, shade, chart).

#include "tests/window/Controls.h"
#include "tests/window/TestFolder.h"
#include "window/ChangesPanel.h"
#include "window/ChartDock.h"
#include "window/ValueColours.h"

#include <QAbstractItemModelTester>
#include <QChart>
#include <QChartView>
#include <QGraphicsEllipseItem>
#include <QLineSeries>
#include <QListView>
#include <QSettings>

using namespace Qt::Literals::StringLiterals;
using namespace zor::test;
using zor::Form1;

namespace {

zor::ChangesPanel& Changes(const Form1& form) { return Control<zor::ChangesPanel>(form, "ChangesPanel"); }

QStringList Lines(const Form1& form)
{
    QStringList lines;
    const QAbstractItemModel* model = Changes(form).view()->model();
    for (int i = 0; i < model->rowCount(); ++i)
        lines << model->index(i, 0).data().toString();
    return lines;
}

void DoubleClick(const Form1& form, int line)
{
    QListView* view = Changes(form).view();
    const QPoint at = view->visualRect(view->model()->index(line, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at); // the press a double-click follows
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
}

QColor Background(const zor::FlexGrid& grid, int row, int col)
{
    return grid.model()->index(row - 1, col - 1).data(Qt::BackgroundRole).value<QBrush>().color();
}

} // namespace

class ChangesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theListFollowsEditsUndoNotationAndSave()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = Grid(form);
        QAbstractItemModelTester tester(Changes(form).model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        Run(form, "ShowChanges");
        QVERIFY(Item(form, "ShowChanges").isChecked() && !Changes(form).isHidden());
        QCOMPARE(Lines(form), QStringList{zor::ChangeListModel::EmptyText()});

        // Its last line taken away by an undo, the list shows that there are none.
        ClickTab(form, 2);
        Type(form, "9\r");
        Key(form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Lines(form), QStringList{zor::ChangeListModel::EmptyText()});
        Key(form, Qt::Key_Y, Qt::ControlModifier);
        ClickTab(form, 1);
        ShowTable(form, 2, 1);
        Type(form, "7\r");
        const QStringList lines = Lines(form);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].contains(u"ID 1「に」"_s) && lines[0].endsWith(u"0x00 → 0x07"_s), qPrintable(lines[0]));
        QVERIFY2(lines[1].contains(u"お金"_s) && lines[1].endsWith(u"0x0A → 0x09"_s), qPrintable(lines[1]));
        // At the pane's first width a line is too long to show whole: the place is cut short,
        // its values keep a column of their own, and the whole line is the tooltip.
        QListView* view = Changes(form).view();
        QVERIFY(view->fontMetrics().horizontalAdvance(lines[0]) > view->viewport()->width());
        for (int i = 0; i < lines.size(); ++i) {
            const QModelIndex index = view->model()->index(i, 0);
            const QString values = index.data(zor::ChangeListModel::ValuesRole).toString();
            QCOMPARE(index.data(zor::ChangeListModel::PlaceRole).toString() + u": "_s + values, lines[i]);
            QCOMPARE(index.data(Qt::ToolTipRole).toString(), lines[i]);
            const QRect room = Changes(form).valuesRect(i);
            QVERIFY2(room.width() >= view->fontMetrics().horizontalAdvance(values) && view->viewport()->rect().contains(room),
                     qPrintable(values));
        }

        // The undo of the edit of 表 takes its line away; the redo brings it back.
        Key(form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Lines(form), lines.mid(1));
        Key(form, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Lines(form), lines);
        // A change of notation shows the lines again in it.
        QSignalSpy repainted(Changes(form).model(), &QAbstractItemModel::dataChanged);
        Run(form, "NotationDec");
        QCOMPARE(repainted.count(), 1);
        QVERIFY2(Lines(form)[0].endsWith(u": 0 → 7"_s), qPrintable(Lines(form)[0]));
        Run(form, "NotationHex");

        // From another data set and tab, a double-click goes back to the cell.
        DataSets(form).setCurrentIndex(1);
        ClickTab(form, 3);
        DoubleClick(form, 0);
        QCOMPARE(std::tuple(Tabs(form).SelectedIndex(), DataSets(form).currentIndex(), grid.Row(), grid.Col()), std::tuple(1, 2, 2, 1));
        DoubleClick(form, 1);
        QCOMPARE(std::pair(Tabs(form).SelectedIndex(), grid.Row()), std::pair(2, 1));

        Run(form, "Save");
        QCOMPARE(Lines(form), QStringList{zor::ChangeListModel::EmptyText()});
        DoubleClick(form, 0); // the empty line shows nothing
        QCOMPARE(Tabs(form).SelectedIndex(), 2);
    }

    void aClosedListCatchesUpAndFollowsRowCommands()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = Grid(form);
        QAbstractItemModelTester tester(Changes(form).model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        Run(form, "ShowChanges");
        Changes(form).close(); // as its own close button does
        QVERIFY(!Item(form, "ShowChanges").isChecked());
        ClickTab(form, 3);
        grid.setRow(2);
        Run(form, "NewRow");
        grid.setRow(4);
        grid.setCol(2);
        Type(form, grid.TextMatrix(4, 2) == u"0x01"_s ? "2\r" : "1\r");
        Run(form, "ShowChanges");
        const QStringList caught = Lines(form);
        QCOMPARE(caught.size(), 2);
        QVERIFY2(caught[0].contains(u"レコード 2"_s) && caught[0].endsWith(u"追加"_s), qPrintable(caught[0]));
        QVERIFY2(caught[1].contains(u"レコード 4"_s) && caught[1].contains(u"項目2"_s), qPrintable(caught[1]));

        // While shown, a row command moves the lines with their rows, and its undo moves them back.
        // What a paste or a cut adds is the change list's to check (tests/compare).
        grid.setRow(1);
        Run(form, "NewRow");
        const QStringList lines = Lines(form);
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[1].contains(u"レコード 3"_s) && lines[2].contains(u"レコード 5"_s), qPrintable(lines.join(u'\n')));
        DoubleClick(form, 2);
        QCOMPARE(std::pair(grid.Row(), grid.Col()), std::pair(5, 2));
        Key(form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Lines(form), caught);
    }

    void colourByValueFollowsAnEditAndKeepsTheMarks()
    {
        QSettings().setValue(QLatin1StringView(zor::ValueViews::kColourByValueKey), false);
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = Grid(form);
        ShowTable(form, 2, 1); // 力 holds 0x80, 0, 0
        QVERIFY(!Item(form, "ColourByValue").isChecked() && !grid.model()->index(0, 0).data(Qt::BackgroundRole).isValid());
        Run(form, "ColourByValue");
        QVERIFY(QSettings().value(QLatin1StringView(zor::ValueViews::kColourByValueKey)).toBool());
        QCOMPARE(Background(grid, 1, 1), zor::ValueColours::colourOf(1.0));
        QCOMPARE(Background(grid, 2, 1), zor::ValueColours::colourOf(0.0));

        // 0xFF widens the range: the whole column is drawn again, and 0x80 is no longer its top.
        const Redraws redrawn(grid);
        Type(form, "0xff\r");
        QVERIFY(redrawn.of(1, 1) && redrawn.of(3, 1));
        QCOMPARE(Background(grid, 1, 1), zor::ValueColours::colourOf(128.0 / 255.0));
        QCOMPARE(Background(grid, 2, 1), zor::ValueColours::colourOf(1.0));
        // The changed cell keeps its shade and shows its mark in the corner, over the highlight too.
        const QImage shot = grid.viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(grid.visualRect(grid.model()->index(1, 0)).topLeft() + QPoint(1, 1)), zor::FlexGrid::markCornerColour());

        Key(form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Background(grid, 1, 1), zor::ValueColours::colourOf(1.0));
        Run(form, "ColourByValue"); // off again: colour is no change of the document
        QVERIFY(!Modified(form) && !grid.model()->index(0, 0).data(Qt::BackgroundRole).isValid());
        Run(form, "ColourByValue");
        QVERIFY(Item(*Open().form, "ColourByValue").isChecked()); // a window made later remembers it
        QSettings().setValue(QLatin1StringView(zor::ValueViews::kColourByValueKey), false);
    }

    void theChartFollowsTheCursorsColumnEditsAndUndo()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = Grid(form);
        zor::ChartDock& chart = Control<zor::ChartDock>(form, "ChartDock");
        ShowTable(form, 2, 2); // とても長い見出し (unsigned) holds 0, 5, 0
        const int height = form.height();
        Run(form, "ShowChart");
        QCoreApplication::processEvents();
        QVERIFY(Item(form, "ShowChart").isChecked() && form.height() > height);
        QCOMPARE(chart.chart()->title(), u"表 / とても長い見出し"_s);
        QCOMPARE(chart.line()->points(), (QList<QPointF>{{0, 0}, {1, 5}, {2, 0}}));
        QCOMPARE(chart.markedPoint(), QPointF(1, 5));
        QCOMPARE(chart.marker()->pos(), chart.chart()->mapToPosition(QPointF(1, 5), chart.line()));

        // Down moves the marker alone; an edit and its undo move the line.
        QSignalSpy lineReplaced(chart.line(), &QXYSeries::pointsReplaced);
        Key(form, Qt::Key_Down);
        QCoreApplication::processEvents();
        QCOMPARE(chart.markedPoint(), QPointF(2, 0));
        QCOMPARE(lineReplaced.count(), 0);
        Type(form, "48\r");
        QCoreApplication::processEvents();
        QCOMPARE(chart.line()->points().last(), QPointF(2, 48));
        QCOMPARE(chart.markedPoint(), QPointF(2, 48));
        Key(form, Qt::Key_Z, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(chart.line()->points().last(), QPointF(2, 0));

        grid.setCol(1);
        QCoreApplication::processEvents();
        QCOMPARE(chart.chart()->title(), u"表 / 力"_s);
        QCOMPARE(chart.line()->points().first(), QPointF(0, 128));
        // A click near ID 1's point puts the cursor on its row.
        const QPointF at = chart.chart()->mapToPosition(QPointF(1.2, 100), chart.line());
        QTest::mouseClick(chart.view()->viewport(), Qt::LeftButton, {}, chart.view()->mapFromScene(chart.chart()->mapToScene(at)));
        QCOMPARE(std::pair(grid.Row(), grid.Col()), std::pair(2, 1));

        chart.close();
        QVERIFY(!Item(form, "ShowChart").isChecked() && !Modified(form));
    }
};

int RunChangesTests(int argc, char** argv)
{
    ChangesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ChangesTest.moc"
