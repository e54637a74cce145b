// The status bar, 編集 → 検索 and 移動, and the shaded battle blocks, driven as a user would.

#include "tests/window/TestFolder.h"
#include "core/document/BattleRecords.h"
#include "core/edit/EditHistory.h"
#include "window/CellEditor.h"
#include "window/FindBar.h"
#include "window/StatusText.h"
#include "window/FlexGrid.h"
#include "window/GoToDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

using zor::Form1;
using zor::test::ClickTab;
using zor::test::Open;

namespace {

// Types a query into the open find bar, replacing the last, and presses Enter there.
void FindByEnter(Form1& form, const QString& query)
{
    QLineEdit* field = form.FindBar1->field();
    QVERIFY(field->hasFocus());
    field->selectAll();
    field->insert(query);
    QTest::keyClick(field, Qt::Key_Return);
}

std::pair<int, int> Cursor(const Form1& form) { return {form.FGrid1->Row(), form.FGrid1->Col()}; }

} // namespace

class NavigateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theStatusBarDescribesTheCellUnderTheCursor()
    {
        {
            Form1 empty(std::make_unique<zor::test::FakeDialogs>());
            QVERIFY(empty.CellStatus->text().isEmpty());
        }
        auto o = Open();
        Form1& form = *o.form;
        form.Combo1->setCurrentIndex(2); // 表
        QTest::keyClick(form.FGrid1, Qt::Key_Down);
        QTest::keyClick(form.FGrid1, Qt::Key_Right);
        QCOMPARE(form.CellStatus->text(),
                 QStringLiteral("ID 1 (0x01)「に」  とても長い見出し  オフセット 0x000211  $80:8211  値 0x05 / 5 / 5"));
        ClickTab(form, 2);
        QVERIFY2(form.CellStatus->text().startsWith(QStringLiteral("個別データ 1「お金」  オフセット 0x000300")),
                 qPrintable(form.CellStatus->text()));
    }

    void findLandsOnBytesLabelsAndCaptionsWithoutChangingTheDocument()
    {
        auto o = Open();
        Form1& form = *o.form;
        form.Combo1->setCurrentIndex(2);
        form.FGrid1->setFocus();
        QTest::keyClick(form.FGrid1, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(form.FindBar1->isVisible());
        // The byte 5 lies in one cell only: Enter lands there and again there, never opening the editor.
        QTest::keyClicks(form.FindBar1->field(), QStringLiteral("0x05"));
        QTest::keyClick(form.FindBar1->field(), Qt::Key_Return);
        QCOMPARE(Cursor(form), std::make_pair(2, 2));
        QVERIFY2(form.CellStatus->text().contains(QStringLiteral("オフセット 0x000211")), qPrintable(form.CellStatus->text()));
        FindByEnter(form, QStringLiteral("5"));
        QCOMPARE(Cursor(form), std::make_pair(2, 2));
        QVERIFY(!form.txtForEdit->isVisible());
        // A label keeps the column, a caption the row; then F3 from the grid, and Shift+F3 back.
        FindByEnter(form, QStringLiteral("さん"));
        QCOMPARE(Cursor(form), std::make_pair(3, 2));
        FindByEnter(form, QStringLiteral("ｶ"));
        QCOMPARE(Cursor(form), std::make_pair(3, 2)); // no label or caption has カ: the cursor stays
        QVERIFY(form.FindBar1->notFound());
        QCOMPARE(form.statusBar()->currentMessage(), QStringLiteral("「ｶ」は見つかりません"));
        FindByEnter(form, QStringLiteral("見出"));
        QVERIFY(!form.FindBar1->notFound());
        QCOMPARE(form.statusBar()->currentMessage(), QStringLiteral("見出しの「見出」を見つけました"));
        QCOMPARE(Cursor(form), std::make_pair(3, 2));
        form.FGrid1->setCol(1);
        QTest::keyClick(form.FGrid1, Qt::Key_F3);
        QCOMPARE(Cursor(form), std::make_pair(3, 2));
        FindByEnter(form, QStringLiteral("い"));
        QCOMPARE(Cursor(form), std::make_pair(1, 2));
        QTest::keyClick(form.FGrid1, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(Cursor(form), std::make_pair(1, 2)); // いち is the only one, either way
        // Escape closes the bar and gives the grid the focus.
        QTest::keyClick(form.FindBar1->field(), Qt::Key_Escape);
        QVERIFY(!form.FindBar1->isVisible());
        QVERIFY(form.FGrid1->hasFocus());
        QVERIFY(!form.doc.History->Modified());
        QCOMPARE(form.doc.History->UndoCount(), 0);
    }

    void findOverEveryDataSetChangesItAsTheUserWould()
    {
        auto o = Open();
        Form1& form = *o.form;
        form.Combo1->setCurrentIndex(2);
        form.Search->trigger();
        form.FindBar1->allDataSets()->setChecked(true);
        FindByEnter(form, QStringLiteral("戦士"));
        QCOMPARE(form.Combo1->currentIndex(), 1);
        QCOMPARE(form.session.view().CurrentDataSet, 1);
        QCOMPARE(Cursor(form), std::make_pair(2, 1));
        // Back to 表 by its caption; on tab 3 the box has no say.
        FindByEnter(form, QStringLiteral("力"));
        QCOMPARE(std::make_pair(form.Combo1->currentIndex(), Cursor(form)), std::make_pair(2, std::make_pair(2, 1)));
        ClickTab(form, 3);
        QVERIFY(!form.FindBar1->allDataSets()->isEnabled());
        QVERIFY(!form.doc.History->Modified());
    }

    void aRecordsLabelAndFindFollowItsClassAtOnce()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        ClickTab(form, 3);
        int row = 1;
        while (row < grid.Rows() && form.doc.BattleParams(1, row) == 1)
            ++row;
        QVERIFY(row < grid.Rows());
        const QString before = grid.TextMatrix(row, 0);
        form.Search->trigger();
        FindByEnter(form, QStringLiteral("戦士")); // the find's labels are folded now
        grid.setRow(row);
        grid.setCol(1);
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_1);
        QTest::keyClick(form.txtForEdit, Qt::Key_Return);
        QCOMPARE(form.doc.BattleParams(1, row), std::uint8_t(1));
        QCOMPARE(grid.TextMatrix(row, 0), QStringLiteral("戦士"));
        grid.setRow(row > 1 ? row - 1 : grid.Rows() - 1);
        form.SearchNext->trigger();
        QCOMPARE(grid.Row(), row);
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(grid.TextMatrix(row, 0), before);
    }

    void goToTakesPlacesAndRefusesBadOnesInTheDialog()
    {
        auto o = Open();
        Form1& form = *o.form;
        ClickTab(form, 2);
        // From 個別データ, an address in 表: the tab changes as a click on it would.
        o.dialogs->places = {QStringLiteral("$80:7FFF"), QStringLiteral("@213"), QStringLiteral("$80:8211")};
        QTest::keyClick(form.FGrid1, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(o.dialogs->placeErrors.size(), std::size_t(2));
        QVERIFY2(o.dialogs->placeErrors[0].contains(QStringLiteral("$7FFF")), qPrintable(o.dialogs->placeErrors[0]));
        QVERIFY2(o.dialogs->placeErrors[1].contains(QStringLiteral("0x000213")), qPrintable(o.dialogs->placeErrors[1]));
        QCOMPARE(form.Tab1->SelectedIndex(), 1);
        QCOMPARE(form.Combo1->currentIndex(), 2);
        QCOMPARE(Cursor(form), std::make_pair(2, 2));
        QVERIFY(form.CellStatus->text().contains(QStringLiteral("$80:8211")));
        // A number is an ID here; a record on tab 3, keeping the column.
        o.dialogs->places = {QStringLiteral("0x2")};
        form.GoTo->trigger();
        QCOMPARE(Cursor(form), std::make_pair(3, 2));
        ClickTab(form, 3);
        form.FGrid1->setCol(4);
        o.dialogs->places = {QStringLiteral("0"), QStringLiteral("7")};
        form.GoTo->trigger();
        QCOMPARE(Cursor(form), std::make_pair(7, 4));
        QVERIFY(!form.doc.History->Modified());
    }

    void theGoToDialogStaysOpenOnARefusedTextAndGrowsToShowIt()
    {
        QStringList asked;
        const QString refused = QStringLiteral("「bad」は移動先として読めません。番号（ID は 0x を付けて 16 進数でも）、"
                                               "「@」と 16 進数のオフセット、または $BB:AAAA の形の SNES アドレスを入力してください。");
        zor::GoToDialog dialog(nullptr, QStringLiteral("移動"),
                               QStringLiteral("移動先を入力してください:\n・ID（10 進数、または 0x を付けて 16 進数）\n"
                                              "・「@」と 16 進数のオフセット（例: @61002）\n・SNES アドレス（例: $8C:9002）"),
                               [&](const QString& text) {
                                   asked << text;
                                   return text == QStringLiteral("ok") ? QString() : refused;
                               });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClicks(dialog.field(), QStringLiteral("bad"));
        QTest::keyClick(dialog.field(), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.reason()->text(), refused);
        QCoreApplication::processEvents();
        // Every line shows: the labels have the height their text needs, the prompt above the field.
        const QLabel* prompt = dialog.findChild<QLabel*>(QStringLiteral("GoToPrompt"));
        QVERIFY(prompt);
        for (const QLabel* label : {prompt, static_cast<const QLabel*>(dialog.reason())})
            QVERIFY2(label->height() >= label->heightForWidth(label->width()), qPrintable(label->text()));
        QVERIFY(prompt->geometry().bottom() < dialog.field()->geometry().top());
        QVERIFY(dialog.field()->geometry().bottom() < dialog.reason()->geometry().top());
        QCOMPARE(dialog.field()->selectedText(), QStringLiteral("bad")); // ready to be typed over
        QTest::keyClicks(dialog.field(), QStringLiteral("ok"));
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(asked, (QStringList{QStringLiteral("bad"), QStringLiteral("ok")}));
    }

    void everyOtherBattleBlockHasShadedLabels()
    {
        auto o = Open();
        Form1& form = *o.form;
        ClickTab(form, 3);
        const QAbstractItemModel* model = form.FGrid1->model();
        const auto shaded = [&](int row) {
            return model->headerData(row - 1, Qt::Vertical, Qt::BackgroundRole).value<QBrush>().color() == zor::FlexGrid::shadeColour();
        };
        const int second = form.doc.GroupStarts(1);
        const int third = form.doc.GroupStarts(2);
        QVERIFY(second > 1 && third > second);
        QVERIFY(!shaded(1) && !shaded(second - 1) && shaded(second) && shaded(third - 1) && !shaded(third));
        form.FGrid1->setRow(second);
        QVERIFY2(form.CellStatus->text().contains(QStringLiteral("ブロック 2")), qPrintable(form.CellStatus->text()));
        // A copy inserted at the block's first record joins block 2, and the shading grows with it.
        form.NewRow->trigger();
        QVERIFY(!shaded(second - 1) && shaded(second) && shaded(third) && !shaded(third + 1));
        ClickTab(form, 2);
        QVERIFY(!model->headerData(0, Qt::Vertical, Qt::BackgroundRole).isValid());
    }
};

int RunNavigateTests(int argc, char** argv)
{
    NavigateTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "NavigateTest.moc"
