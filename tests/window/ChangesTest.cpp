// 表示 → 変更一覧: the dock follows edits on every tab in table order, undo, save and
// row commands, catches up when opened, and a double-click shows the cell.

#include "tests/window/TestFolder.h"
#include "core/document/CellBytes.h"
#include "window/CellEditor.h"
#include "window/ChangesPanel.h"
#include "window/FlexGrid.h"

#include <QComboBox>
#include <QListView>
#include <QSignalSpy>

using zor::Form1;
using zor::test::ClickTab;
using zor::test::Open;

namespace {

void Type(Form1& form, const QString& text)
{
    for (const QChar c : text)
        QTest::keyClick(form.focusWidget(), c.toLatin1());
    QTest::keyClick(form.txtForEdit, Qt::Key_Return);
}

QStringList Lines(const Form1& form)
{
    QStringList lines;
    const QAbstractItemModel* model = form.Changes->view()->model();
    for (int i = 0; i < model->rowCount(); ++i)
        lines << model->index(i, 0).data().toString();
    return lines;
}

void DoubleClick(Form1& form, int line)
{
    QListView* view = form.Changes->view();
    const QPoint at = view->visualRect(view->model()->index(line, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at); // the press a double-click follows
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
}

} // namespace

class ChangesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theListFollowsEditsUndoAndSave()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        const QString none = zor::ChangeListModel::EmptyText();
        form.ShowChanges->trigger();
        QVERIFY(form.ShowChanges->isChecked());
        QVERIFY(!form.Changes->isHidden());
        QCOMPARE(Lines(form), QStringList{none});

        // 個別データ first, then 表: the list is in table order, not in the order of the edits.
        ClickTab(form, 2);
        grid.setRow(1);
        grid.setFocus();
        Type(form, QStringLiteral("9"));
        QCOMPARE(form.doc.IndividualBytes(1), std::uint8_t(9));
        ClickTab(form, 1);
        form.Combo1->setCurrentIndex(2);
        grid.setRow(2);
        grid.setCol(1);
        grid.setFocus();
        Type(form, QStringLiteral("7"));
        QStringList lines = Lines(form);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].contains(QStringLiteral("表")) && lines[0].contains(QStringLiteral("ID 1「に」")) &&
                     lines[0].contains(QStringLiteral("0x00 → 0x07")),
                 qPrintable(lines[0]));
        QVERIFY2(lines[1].contains(QStringLiteral("個別データ")) && lines[1].contains(QStringLiteral("お金")) &&
                     lines[1].contains(QStringLiteral("0x0A → 0x09")),
                 qPrintable(lines[1]));

        // At the pane's first width a line is too long to show whole: the place is cut short,
        // its values keep a column of their own, and the whole line is the tooltip.
        QListView* view = form.Changes->view();
        const QAbstractItemModel* model = view->model();
        QVERIFY(view->fontMetrics().horizontalAdvance(lines[0]) > view->viewport()->width());
        for (int i = 0; i < lines.size(); ++i) {
            const QModelIndex index = model->index(i, 0);
            const QString values = index.data(zor::ChangeListModel::ValuesRole).toString();
            QCOMPARE(index.data(zor::ChangeListModel::PlaceRole).toString() + QStringLiteral(": ") + values, lines[i]);
            QCOMPARE(index.data(Qt::ToolTipRole).toString(), lines[i]);
            const QRect room = form.Changes->valuesRect(i);
            QVERIFY2(room.width() >= view->fontMetrics().horizontalAdvance(values) && view->viewport()->rect().contains(room),
                     qPrintable(values));
        }

        // The undo of the edit of 表 takes its line away; the redo brings it back.
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Lines(form).size(), 1);
        QVERIFY(Lines(form)[0].contains(QStringLiteral("個別データ")));
        QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Lines(form), lines);

        // A change of notation shows the lines again in it.
        QSignalSpy repainted(form.Changes->model(), &QAbstractItemModel::dataChanged);
        grid.setRow(2);
        grid.setCol(1);
        form.NotationDec->trigger();
        QCOMPARE(repainted.count(), 1);
        QVERIFY2(Lines(form)[0].endsWith(QStringLiteral(": 0 → 7")), qPrintable(Lines(form)[0]));
        form.NotationHex->trigger();
        QCOMPARE(Lines(form), lines);

        // From another data set and tab, a double-click goes back to the cell.
        form.Combo1->setCurrentIndex(1);
        ClickTab(form, 3);
        QCOMPARE(form.Tab1->SelectedIndex(), 3);
        DoubleClick(form, 0);
        QCOMPARE(form.Tab1->SelectedIndex(), 1);
        QCOMPARE(form.Combo1->currentIndex(), 2);
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(grid.Col(), 1);
        DoubleClick(form, 1);
        QCOMPARE(form.Tab1->SelectedIndex(), 2);
        QCOMPARE(grid.Row(), 1);

        form.Save->trigger();
        QVERIFY(!form.doc.History->Modified());
        QCOMPARE(Lines(form), QStringList{none});
        DoubleClick(form, 0); // the empty line shows nothing
        QCOMPARE(form.Tab1->SelectedIndex(), 2);
    }

    void aClosedListCatchesUpAndRowsAreOneLine()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        form.ShowChanges->trigger();
        form.Changes->close(); // as its own close button does
        QVERIFY(form.Changes->isHidden());
        QVERIFY(!form.ShowChanges->isChecked());
        ClickTab(form, 3);
        grid.setRow(2);
        grid.setCol(1);
        grid.setFocus();
        form.NewRow->trigger();
        QCOMPARE(form.doc.History->BaselineRecordOf(2), 0);
        grid.setRow(4);
        grid.setCol(2);
        grid.setFocus();
        const int before = *zor::CellByte(form.doc, zor::TabBattle, 0, 2, 4);
        Type(form, QString::number((before + 1) % 256));

        form.ShowChanges->trigger();
        QStringList lines = Lines(form);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].contains(QStringLiteral("レコード 2")) && lines[0].endsWith(QStringLiteral("追加")), qPrintable(lines[0]));
        QVERIFY2(lines[1].contains(QStringLiteral("レコード 4")) && lines[1].contains(QStringLiteral("項目2")),
                 qPrintable(lines[1]));

        // While shown, a row command moves the lines with their rows.
        grid.setRow(1);
        grid.setFocus();
        form.NewRow->trigger();
        lines = Lines(form);
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[1].contains(QStringLiteral("レコード 3")), qPrintable(lines[1]));
        QVERIFY2(lines[2].contains(QStringLiteral("レコード 5")), qPrintable(lines[2]));
        DoubleClick(form, 2);
        QCOMPARE(grid.Row(), 5);
        QCOMPARE(grid.Col(), 2);

        // A paste and a cut: the lines are those a list made anew would show.
        grid.setRowSel(6);
        grid.setColSel(3);
        form.Cope->trigger();
        grid.setRow(8);
        grid.setCol(2);
        form.pest->trigger();
        grid.setRow(9);
        grid.setCol(1);
        grid.setRowSel(9);
        grid.setColSel(1);
        form.cut->trigger();
        QCOMPARE(form.doc.History->UndoCount(), 8); // each row step counts as one
        zor::ChangeList fresh;
        fresh.rebuild(form.doc);
        QStringList expected;
        for (const zor::ChangeEntry& entry : fresh.entries())
            expected << zor::DescribeChange(form.doc, entry);
        QVERIFY(expected.size() > 3);
        QCOMPARE(Lines(form), expected);
    }
};

int RunChangesTests(int argc, char** argv)
{
    ChangesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ChangesTest.moc"
