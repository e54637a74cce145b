// 表示 → 値で色分け and 表示 → グラフ in the window: the shades follow an edit and its undo
// with the marks still seen, the setting outlives the window, and the chart follows the
// cursor's column, edits and undo, and moves the cursor when clicked.

#include "tests/window/TestFolder.h"
#include "window/CellEditor.h"
#include "window/ChartDock.h"
#include "window/FlexGrid.h"
#include "window/ValueColours.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLineSeries>
#include <QGraphicsEllipseItem>
#include <QSettings>
#include <QSignalSpy>

using zor::Form1;
using zor::test::Open;

namespace {

void Type(Form1& form, const QString& text)
{
    form.FGrid1->setFocus();
    for (const QChar c : text)
        QTest::keyClick(form.focusWidget(), c.toLatin1());
    QTest::keyClick(form.txtForEdit, Qt::Key_Return);
    QCoreApplication::processEvents();
}

QColor Background(const zor::FlexGrid& grid, int row, int col)
{
    return grid.model()->index(row - 1, col - 1).data(Qt::BackgroundRole).value<QBrush>().color();
}

} // namespace

class ValueViewsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void colourByValueFollowsAnEditAndKeepsTheMarks()
    {
        QSettings().setValue(QLatin1StringView(Form1::kColourByValueKey), false);
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        form.Combo1->setCurrentIndex(2); // 表: 力 holds 0x80, 0, 0
        QVERIFY(!form.ColourByValue->isChecked());
        QVERIFY(!grid.model()->index(0, 0).data(Qt::BackgroundRole).isValid());
        form.ColourByValue->trigger();
        QVERIFY(QSettings().value(QLatin1StringView(Form1::kColourByValueKey)).toBool());
        QCOMPARE(Background(grid, 1, 1), zor::ValueColours::colourOf(1.0));
        QCOMPARE(Background(grid, 2, 1), zor::ValueColours::colourOf(0.0));

        // 0xFF widens the range: the column is drawn again and 0x80 is no longer its top.
        QSignalSpy repainted(grid.model(), &QAbstractItemModel::dataChanged);
        grid.setRow(2);
        grid.setCol(1);
        Type(form, QStringLiteral("0xff"));
        QVERIFY(std::any_of(repainted.begin(), repainted.end(), [](const QList<QVariant>& args) {
            return args[0].toModelIndex().row() == 0 && args[1].toModelIndex().row() == 2;
        }));
        QCOMPARE(Background(grid, 1, 1), zor::ValueColours::colourOf(128.0 / 255.0));
        QCOMPARE(Background(grid, 2, 1), zor::ValueColours::colourOf(1.0));
        // The changed cell keeps its shade and shows its mark in the corner, over the highlight too.
        grid.setRow(2);
        const QImage shot = grid.viewport()->grab().toImage();
        const QRect cell = grid.visualRect(grid.model()->index(1, 0));
        QCOMPARE(shot.pixelColor(cell.topLeft() + QPoint(1, 1)), zor::FlexGrid::markCornerColour());

        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Background(grid, 1, 1), zor::ValueColours::colourOf(1.0));
        QVERIFY(!form.doc.History->Modified());
        form.ColourByValue->trigger(); // off again: colour is no change of the document
        QVERIFY(!form.doc.History->Modified());
        QVERIFY(!grid.model()->index(0, 0).data(Qt::BackgroundRole).isValid());

        form.ColourByValue->trigger();
        auto again = Open();
        QVERIFY(again.form->ColourByValue->isChecked());
        QSettings().setValue(QLatin1StringView(Form1::kColourByValueKey), false);
    }

    void theChartFollowsTheCursorsColumnEditsAndUndo()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        zor::ChartDock& chart = *form.Chart;
        form.Combo1->setCurrentIndex(2); // 表: とても長い見出し (unsigned) holds 0, 5, 0
        const int height = form.height();
        form.ShowChart->trigger();
        QVERIFY(form.ShowChart->isChecked());
        QVERIFY(form.height() > height);
        grid.setCol(2);
        grid.setRow(2);
        QCoreApplication::processEvents();
        QCOMPARE(chart.chart()->title(), QStringLiteral("表 / とても長い見出し"));
        QCOMPARE(chart.line()->points(), (QList<QPointF>{{0, 0}, {1, 5}, {2, 0}}));
        QCOMPARE(chart.markedPoint(), QPointF(1, 5));
        QCOMPARE(chart.marker()->pos(), chart.chart()->mapToPosition(QPointF(1, 5), chart.line()));

        // Down moves the marker alone.
        QSignalSpy lineReplaced(chart.line(), &QXYSeries::pointsReplaced);
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Down);
        QCoreApplication::processEvents();
        QCOMPARE(chart.markedPoint(), QPointF(2, 0));
        QCOMPARE(lineReplaced.count(), 0);

        Type(form, QStringLiteral("48"));
        QCOMPARE(chart.line()->points().last(), QPointF(2, 48));
        QCOMPARE(chart.markedPoint(), QPointF(2, 48));
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(chart.line()->points().last(), QPointF(2, 0));
        QVERIFY(!form.doc.History->Modified());

        grid.setCol(1);
        QCoreApplication::processEvents();
        QCOMPARE(chart.chart()->title(), QStringLiteral("表 / 力"));
        QCOMPARE(chart.line()->points().first(), QPointF(0, 128));

        // A click near ID 1's point puts the cursor on its row.
        const QPointF at = chart.chart()->mapToPosition(QPointF(1.2, 100), chart.line());
        QTest::mouseClick(chart.view()->viewport(), Qt::LeftButton, {}, chart.view()->mapFromScene(chart.chart()->mapToScene(at)));
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(grid.Col(), 1);

        chart.close();
        QVERIFY(!form.ShowChart->isChecked());
        QVERIFY(!form.doc.History->Modified());
    }
};

int RunValueViewsTests(int argc, char** argv)
{
    ValueViewsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ValueViewsTest.moc"
