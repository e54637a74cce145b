// The status bar, the find bar, the go-to dialog and the shaded battle blocks, driven as a
// user would. What a find or a go-to finds and what the status bar says are the core's to
// check (tests/navigate); where one lands is a row of the command table.

#include "tests/window/Controls.h"
#include "tests/window/TestFolder.h"
#include "window/FindBar.h"
#include "window/GoToDialog.h"
#include "window/StatusText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;
using namespace zor::test;
using zor::Form1;

namespace {

QString CellStatus(const Form1& form) { return Control<zor::StatusText>(form, "CellStatus").text(); }
std::pair<int, int> Cursor(const Form1& form) { return {Grid(form).Row(), Grid(form).Col()}; }

// Types a query into the open find bar, replacing the last, presses Enter there and says where the cursor went.
std::pair<int, int> Find(const Form1& form, const QString& query)
{
    QLineEdit* field = Control<zor::FindBar>(form, "FindBar").field();
    field->selectAll();
    field->insert(query);
    QTest::keyClick(field, Qt::Key_Return);
    return Cursor(form);
}

} // namespace

class NavigateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theStatusBarDescribesTheCellUnderTheCursor()
    {
        QVERIFY(CellStatus(Form1(std::make_unique<FakeDialogs>())).isEmpty());
        auto o = Open();
        Form1& form = *o.form;
        ShowTable(form);
        Key(form, Qt::Key_Down);
        Key(form, Qt::Key_Right);
        QCOMPARE(CellStatus(form), u"ID 1 (0x01)「に」  とても長い見出し  オフセット 0x000211  $80:8211  値 0x05 / 5 / 5"_s);
        ClickTab(form, 2);
        QVERIFY2(CellStatus(form).startsWith(u"個別データ 1「お金」  オフセット 0x000300"_s), qPrintable(CellStatus(form)));
    }

    void theFindBarFindsAgainAndOverEveryDataSet()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FindBar& bar = Control<zor::FindBar>(form, "FindBar");
        ShowTable(form);
        Key(form, Qt::Key_F, Qt::ControlModifier);
        // Enter finds again from the bar, never opening the editor; what is nowhere marks the bar.
        QCOMPARE(Find(form, u"5"_s), std::pair(2, 2));
        QCOMPARE(Find(form, u"5"_s), std::pair(2, 2));
        QVERIFY(!Editor(form).isVisible() && bar.field()->hasFocus() && !bar.notFound());
        QCOMPARE(Find(form, u"ｶ"_s), std::pair(2, 2));
        QVERIFY(bar.notFound());
        // F3 from the grid, and Shift+F3 back: いち is the only one, either way.
        QCOMPARE(Find(form, u"いち"_s), std::pair(1, 2));
        for (const Qt::KeyboardModifier backwards : {Qt::NoModifier, Qt::ShiftModifier}) {
            Grid(form).setRow(3);
            QTest::keyClick(&Grid(form), Qt::Key_F3, backwards);
            QCOMPARE(Cursor(form), std::pair(1, 2));
        }
        // Escape closes the bar and gives the grid the focus.
        QTest::keyClick(bar.field(), Qt::Key_Escape);
        QVERIFY(!bar.isVisible() && Grid(form).hasFocus());
        // Over every data set the box follows the find; on the other tabs it has no say.
        Run(form, "Search");
        bar.allDataSets()->setChecked(true);
        QCOMPARE(Find(form, u"戦士"_s), std::pair(2, 1));
        QCOMPARE(DataSets(form).currentIndex(), 1);
        ClickTab(form, 3);
        QVERIFY(!bar.allDataSets()->isEnabled() && !Modified(form));
    }

    void aRecordsLabelAndFindFollowItsClassAtOnce()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = Grid(form);
        ClickTab(form, 3);
        int row = 1;
        while (row < grid.Rows() && grid.TextMatrix(row, 1) == u"0x01"_s)
            ++row;
        const QString before = grid.TextMatrix(row, 0);
        Run(form, "Search");
        Find(form, u"戦士"_s); // the find's labels are folded now
        grid.setRow(row);
        grid.setFocus();
        Type(form, "1\r");
        QCOMPARE(grid.TextMatrix(row, 0), u"戦士"_s);
        grid.setRow(row > 1 ? row - 1 : grid.Rows() - 1);
        Run(form, "SearchNext");
        QCOMPARE(grid.Row(), row);
        Key(form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(grid.TextMatrix(row, 0), before);
    }

    void theGoToDialogStaysOpenOnARefusedTextAndGrowsToShowIt()
    {
        QStringList asked;
        const QString refused = QStringLiteral("「bad」は移動先として読めません。番号（ID は 0x を付けて 16 進数でも）、"
                                               "「@」と 16 進数のオフセット、または $BB:AAAA の形の SNES アドレスを入力してください。");
        zor::GoToDialog dialog(nullptr, u"移動"_s,
                               QStringLiteral("移動先を入力してください:\n・ID（10 進数、または 0x を付けて 16 進数）\n"
                                              "・「@」と 16 進数のオフセット（例: @61002）\n・SNES アドレス（例: $8C:9002）"),
                               [&](const QString& text) {
                                   asked << text;
                                   return text == u"ok"_s ? QString() : refused;
                               });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClicks(dialog.field(), u"bad"_s);
        QTest::keyClick(dialog.field(), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.reason()->text(), refused);
        QCoreApplication::processEvents();
        // Every line shows: the labels have the height their text needs, the prompt above the field.
        const QLabel& prompt = Control<QLabel>(dialog, "GoToPrompt");
        for (const QLabel* label : {&prompt, static_cast<const QLabel*>(dialog.reason())})
            QVERIFY2(label->height() >= label->heightForWidth(label->width()), qPrintable(label->text()));
        QVERIFY(prompt.geometry().bottom() < dialog.field()->geometry().top());
        QVERIFY(dialog.field()->geometry().bottom() < dialog.reason()->geometry().top());
        QCOMPARE(dialog.field()->selectedText(), u"bad"_s); // ready to be typed over
        QTest::keyClicks(dialog.field(), u"ok"_s);
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(asked, (QStringList{u"bad"_s, u"ok"_s}));
    }

    void everyOtherBattleBlockHasShadedLabels()
    {
        auto o = Open();
        Form1& form = *o.form;
        ClickTab(form, 3);
        const QAbstractItemModel* model = Grid(form).model();
        const auto shaded = [&](int row) {
            return model->headerData(row - 1, Qt::Vertical, Qt::BackgroundRole).value<QBrush>().color() == zor::FlexGrid::shadeColour();
        };
        int second = 1; // the first row whose status names block 2
        for (Grid(form).setRow(1); !CellStatus(form).contains(u"ブロック 2"_s); Grid(form).setRow(++second)) {
        }
        int third = second;
        for (; !CellStatus(form).contains(u"ブロック 3"_s); Grid(form).setRow(++third)) {
        }
        QVERIFY(!shaded(1) && !shaded(second - 1) && shaded(second) && shaded(third - 1) && !shaded(third));
        // A copy inserted at the block's first record joins block 2, and the shading grows with it.
        Grid(form).setRow(second);
        Run(form, "NewRow");
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
