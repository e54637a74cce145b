// The window over a document: opening an image, the three tabs, data sets, widths,
// notations and notes, driven as a user would and checked in the grid and the files.

#include "core/view/TabView.h"
#include "tests/window/TestFolder.h"
#include "window/FlexGrid.h"
#include "window/Form1.h"
#include "window/NoteEdit.h"
#include "window/TabStrip.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using zor::Form1;
using zor::test::FakeDialogs;

using zor::test::ClickTab;
using zor::test::Folder;
using zor::test::Open;

class ViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void openingShowsTheFirstDataSet()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        QCOMPARE(form.windowTitle(), QStringLiteral("ZOR - x.rom"));
        QCOMPARE(form.Combo1->count(), 3);
        QCOMPARE(form.Combo1->itemText(0), QStringLiteral("m"));
        QCOMPARE(form.Combo1->currentIndex(), 1); // クラス
        form.Combo1->setCurrentIndex(2);           // 表
        QVERIFY(grid.isEnabled());
        QVERIFY(form.Text1->isEnabled());
        QCOMPARE(grid.Rows(), 4);
        QCOMPARE(grid.Cols(), 3);
        QCOMPARE(grid.TextMatrix(0, 0), QStringLiteral("ID"));
        QCOMPARE(grid.TextMatrix(2, 0), QStringLiteral("に"));
        QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("0x80"));
        QCOMPARE(grid.TextMatrix(2, 2), QStringLiteral("5"));
        QCOMPARE(grid.ColAlignment(0), 0);
        QCOMPARE(grid.ColAlignment(2), 6);
        QCOMPARE(grid.RowHeight(0), 2 * form.BaseRowHeight);
        // Section0 comes from the settings file: the labels are not measured.
        QCOMPARE(grid.ColWidth(0), 1500);
        // Without a stored width a short heading gets the minimum, a long one the two-line fit.
        QCOMPARE(grid.ColWidth(1), 600);
        QVERIFY(grid.ColWidth(2) > 380);
        const QString drawn = grid.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(drawn, QStringLiteral("とても長 \nい見出し"));
        QCOMPARE(grid.TextMatrix(0, 2), QStringLiteral("とても長い見出し"));
        // The data set without [ColWidth] measures its labels.
        form.Combo1->setCurrentIndex(1);
        QVERIFY(grid.ColWidth(0) > 90 && grid.ColWidth(0) < 1500);
    }

    void eachTabShowsItsTableAndWidthsGoToTheirOwnFile()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        form.Combo1->setCurrentIndex(2);
        grid.setColWidth(1, 2000); // as a drag would leave it
        grid.setColWidth(2, 100);

        ClickTab(form, 2);
        QCOMPARE(o.folder->ini(QStringLiteral("m/表.ini"), QStringLiteral("ColWidth"), QStringLiteral("Section1")), QStringLiteral("2000"));
        QCOMPARE(o.folder->ini(QStringLiteral("m/表.ini"), QStringLiteral("ColWidth"), QStringLiteral("Section2")), QStringLiteral("600"));
        QCOMPARE(form.Combo1->count(), 1);
        QCOMPARE(grid.Rows(), 3);
        QCOMPARE(grid.Cols(), 2);
        QCOMPARE(grid.TextMatrix(1, 0), QStringLiteral("お金"));
        QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("0x0A"));
        QCOMPARE(grid.TextMatrix(0, 0), QString());
        QCOMPARE(grid.ColWidth(1), 600);
        QCOMPARE(grid.RowHeight(0), 200);
        QCOMPARE(grid.ColAlignment(1), 6);

        // By keyboard this time: the widths are written before the tab changes too.
        form.Tab1->setFocus();
        QTest::keyClick(form.Tab1, Qt::Key_Right);
        QCOMPARE(form.Tab1->SelectedIndex(), 3);
        QVERIFY(!QFile::exists(o.folder->file(QStringLiteral("m/敵パラメータ.ini"))) ||
                o.folder->ini(QStringLiteral("m/敵パラメータ.ini"), QStringLiteral("ColWidth"), QStringLiteral("Section0")).isEmpty());
        QCOMPARE(o.folder->ini(QStringLiteral("m/個別データ.ini"), QStringLiteral("ColWidth"), QStringLiteral("Section1")), QStringLiteral("600"));
        QCOMPARE(grid.Cols(), 26);
        QCOMPARE(grid.TextMatrix(0, 25), QStringLiteral("項目25"));
        QCOMPARE(grid.RowHeight(0), 2 * form.BaseRowHeight);

        // Back on tab 1 the data set and its cell come back, with the widths it kept.
        ClickTab(form, 1);
        QCOMPARE(form.Combo1->count(), 3);
        QCOMPARE(form.Combo1->currentIndex(), 2);
        QCOMPARE(grid.ColWidth(1), 2000);
    }

    void revealingACellMovesAsTheUserWould()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        const auto ini = [&](const char* file, const char* group, const char* key) {
            return o.folder->ini(QString::fromUtf8(file), QString::fromUtf8(group), QString::fromUtf8(key));
        };
        form.Combo1->setCurrentIndex(2); // 表
        grid.setColWidth(1, 1800);
        grid.setCol(2);
        form.Text1->setFocus();
        QTest::keyClicks(form.Text1, QStringLiteral("left"));

        // Another tab: the place left keeps its widths and note, and the cursor lands on the cell.
        QVERIFY(form.RevealCell(zor::TabBattle, 0, 2, 5));
        QCOMPARE(ini("m/表.ini", "ColWidth", "Section1"), QStringLiteral("1800"));
        QCOMPARE(ini("m/表.ini", "Text", "Section2"), QStringLiteral("left"));
        QCOMPARE(form.Tab1->SelectedIndex(), 3);
        QCOMPARE(form.Combo1->count(), 1);
        QCOMPARE(std::make_pair(grid.Row(), grid.Col()), std::make_pair(2, 5));
        QCOMPARE(form.session.view().TabState(zor::TabIdSection, zor::ItemDataSet), 2);

        // Tab 1 and its other data set: the battle widths are stored, and the box follows.
        grid.setColWidth(5, 2100);
        QVERIFY(form.RevealCell(zor::TabIdSection, 1, 2, 1));
        QCOMPARE(ini("m/敵パラメータ.ini", "ColWidth", "Section5"), QStringLiteral("2100"));
        QCOMPARE(form.Tab1->SelectedIndex(), 1);
        QCOMPARE(form.Combo1->currentIndex(), 1);
        QCOMPARE(std::make_pair(grid.Row(), grid.Col()), std::make_pair(2, 1));

        // The same tab, another data set: the widths of the one left are stored.
        grid.setColWidth(1, 1700);
        QVERIFY(form.RevealCell(zor::TabIdSection, 2, 3, 2));
        QCOMPARE(ini("m/クラス.ini", "ColWidth", "Section1"), QStringLiteral("1700"));
        QCOMPARE(form.Combo1->currentIndex(), 2);
        QCOMPARE(std::make_pair(grid.Row(), grid.Col()), std::make_pair(3, 2));
        QCOMPARE(form.Text1->toPlainText(), QStringLiteral("left"));

        // No such cell: nothing moves.
        QVERIFY(!form.RevealCell(zor::TabIdSection, 2, 99, 1));
        QVERIFY(!form.RevealCell(zor::TabIdSection, 9, 1, 1));
        QCOMPARE(std::make_tuple(form.Tab1->SelectedIndex(), form.Combo1->currentIndex(), grid.Row(), grid.Col()),
                 std::make_tuple(1, 2, 3, 2));
    }

    void notesStayWithTheirSection()
    {
        auto o = Open();
        Form1& form = *o.form;
        form.Combo1->setCurrentIndex(2);
        form.FGrid1->setCol(2);
        form.Text1->setFocus();
        QTest::keyClicks(form.Text1, QStringLiteral("memo"));
        QTest::keyClick(form.Text1, Qt::Key_Return);
        QTest::keyClicks(form.Text1, QStringLiteral("two"));
        ClickTab(form, 3);
        QCOMPARE(o.folder->ini(QStringLiteral("m/表.ini"), QStringLiteral("Text"), QStringLiteral("Section2")), QStringLiteral("memo\\ntwo"));
        QCOMPARE(o.folder->ini(QStringLiteral("m/敵パラメータ.ini"), QStringLiteral("Text"), QStringLiteral("Section2")), QString());
        QCOMPARE(form.Text1->toPlainText(), QString());
        ClickTab(form, 1);
        QCOMPARE(form.FGrid1->Col(), 2);
        QCOMPARE(form.Text1->toPlainText(), QStringLiteral("memo\ntwo"));
        // Moving within the column shows the same note and stores nothing new.
        form.FGrid1->setRow(3);
        QCOMPARE(form.Text1->toPlainText(), QStringLiteral("memo\ntwo"));
        // A character CP932 can't hold is not taken; one it holds in another form is mapped.
        form.Text1->setFocus();
        form.Text1->moveCursor(QTextCursor::End);
        for (const QString& typed : {QStringLiteral("〜"), QStringLiteral("😀")}) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
            QCoreApplication::sendEvent(form.Text1, &press);
        }
        QCOMPARE(form.Text1->toPlainText().right(4), QStringLiteral("two～"));
        // A note stops at its limit, pasted, typed or broken into lines; what replaces a selection may fill it again.
        const QString kept = form.Text1->toPlainText();
        form.Text1->setPlainText(QString(zor::kMaxNoteLength - 2, u'x'));
        form.Text1->moveCursor(QTextCursor::End);
        QGuiApplication::clipboard()->setText(QStringLiteral("abcdef"));
        form.Text1->paste();
        QCOMPARE(form.Text1->toPlainText().size(), zor::kMaxNoteLength);
        QVERIFY(form.Text1->toPlainText().endsWith(QStringLiteral("xab")));
        QTest::keyClick(form.Text1, Qt::Key_Z);
        QTest::keyClick(form.Text1, Qt::Key_Return);
        QCOMPARE(form.Text1->toPlainText().size(), zor::kMaxNoteLength);
        QTest::keyClick(form.Text1, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(form.Text1, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClicks(form.Text1, QStringLiteral("yzw"));
        QVERIFY(form.Text1->toPlainText().endsWith(QStringLiteral("xyz")));
        form.Text1->setPlainText(kept);
        // Closing the window stores a note that the cursor has not yet moved away from.
        form.close();
        QCOMPARE(o.folder->ini(QStringLiteral("m/表.ini"), QStringLiteral("Text"), QStringLiteral("Section2")),
                 QStringLiteral("memo\\ntwo～"));
    }

    void aTableWithoutSectionsHasNoNote()
    {
        auto o = Open();
        o.folder->write(QStringLiteral("m/表.sna"), {}, false);
        o.dialogs->openPaths = {o.folder->file(QStringLiteral("x.rom"))};
        o.form->Read->trigger();
        o.form->Combo1->setCurrentIndex(2);
        QCOMPARE(o.form->FGrid1->Cols(), 1);
        QVERIFY(o.form->FGrid1->isEnabled());
        QVERIFY(!o.form->Text1->isEnabled());
        o.form->NotationHex->trigger(); // no section under the cursor: nothing happens
        QVERIFY(o.folder->ini(QStringLiteral("m/表.ini"), QStringLiteral("Notation"), QStringLiteral("Section0")).isEmpty());
        o.form->Combo1->setCurrentIndex(1);
        QVERIFY(o.form->Text1->isEnabled());
    }

    void notationCommandsActOnTheSectionUnderTheCursor()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        form.Combo1->setCurrentIndex(2);
        grid.setCol(1);
        form.NotationCodeDec->trigger();
        QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("-128"));
        QCOMPARE(grid.TextMatrix(2, 2), QStringLiteral("5"));
        QCOMPARE(o.folder->ini(QStringLiteral("m/表.ini"), QStringLiteral("Notation"), QStringLiteral("Section1")), QStringLiteral("-10"));
        QCOMPARE(grid.Col(), 1);
        QVERIFY(!form.doc.History->Modified());

        ClickTab(form, 2);
        grid.setRow(2);
        form.NotationDec->trigger();
        QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("0x0A")); // row 1 keeps its notation
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(o.folder->ini(QStringLiteral("m/個別データ.ini"), QStringLiteral("Notation"), QStringLiteral("Section2")), QStringLiteral("10"));

        // With the mode name chosen the commands do nothing.
        ClickTab(form, 1);
        form.Combo1->setCurrentIndex(0);
        QVERIFY(!grid.isEnabled());
        QVERIFY(!form.Text1->isEnabled());
        form.NotationHex->trigger();
        QCOMPARE(o.folder->ini(QStringLiteral("m/表.ini"), QStringLiteral("Notation"), QStringLiteral("Section1")), QStringLiteral("-10"));
    }

    void dataSetFallbacks()
    {
        auto o = Open();
        Form1& form = *o.form;
        form.Combo1->setCurrentIndex(2);
        ClickTab(form, 2);
        // The mode loses a data set while tab 2 is shown; tab 1 then falls back to the first.
        QFile::remove(o.folder->file(QStringLiteral("m/表.idn")));
        o.dialogs->openPaths = {o.folder->file(QStringLiteral("x.rom"))};
        form.Read->trigger();
        QCOMPARE(form.Combo1->count(), 1);
        ClickTab(form, 1);
        QCOMPARE(form.Combo1->count(), 2);
        QCOMPARE(form.Combo1->currentIndex(), 1);
        QVERIFY(form.FGrid1->isEnabled());
        QCOMPARE(form.FGrid1->TextMatrix(1, 0), QStringLiteral("なし"));

        // A mode without any data set leaves tab 1 empty and disabled.
        QFile::remove(o.folder->file(QStringLiteral("m/クラス.idn")));
        o.dialogs->openPaths = {o.folder->file(QStringLiteral("x.rom"))};
        form.Read->trigger();
        QCOMPARE(form.Combo1->count(), 1);
        QVERIFY(!form.FGrid1->isEnabled());
        QVERIFY(!form.Text1->isEnabled());
        ClickTab(form, 2);
        QVERIFY(form.FGrid1->isEnabled());
    }

    void badFilesAreToldAndChangeNothing()
    {
        auto o = Open(true);
        Form1& form = *o.form;
        QVERIFY(o.dialogs->messages.empty());
        for (const QString& bad : {o.folder->dir.path(), o.folder->file(QStringLiteral("none.rom"))}) {
            o.dialogs->openPaths = {bad};
            form.Read->trigger();
            QCOMPARE(o.dialogs->messages.size(), std::size_t(1));
            QVERIFY(o.dialogs->messages[0].text.contains(bad));
            o.dialogs->messages.clear();
            QCOMPARE(form.windowTitle(), QStringLiteral("ZOR - x.rom"));
            QCOMPARE(form.Combo1->count(), 3);
            QVERIFY(form.FGrid1->isEnabled());
        }
        // A tiny image loads with its problems told in one message.
        QFile tiny(o.folder->file(QStringLiteral("tiny.rom")));
        tiny.open(QIODevice::WriteOnly);
        tiny.write("\x01");
        tiny.close();
        o.dialogs->openPaths = {tiny.fileName()};
        form.Read->trigger();
        QCOMPARE(o.dialogs->messages.size(), std::size_t(1));
        const QStringList lines = o.dialogs->messages[0].text.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= 3);
        QVERIFY(lines.last().startsWith(QStringLiteral("tiny.rom: ")));
        QCOMPARE(form.windowTitle(), QStringLiteral("ZOR - tiny.rom"));
        QCOMPARE(form.FGrid1->TextMatrix(1, 1), QStringLiteral("0x00"));

        // Its battle blocks couldn't be read: sections without rows keep the label column's
        // width and show the note of the section under the cursor.
        o.folder->write(QStringLiteral("m/敵パラメータ.ini"), {QStringLiteral("[Text]"), QStringLiteral("Section1=一つ目")});
        const int labelWidth = form.FGrid1->ColWidth(0);
        QVERIFY(labelWidth > 0);
        ClickTab(form, 3);
        QCOMPARE(form.FGrid1->Rows(), 1);
        QCOMPARE(form.FGrid1->Cols(), 26);
        QCOMPARE(form.FGrid1->ColWidth(0), labelWidth);
        QVERIFY(form.Text1->isEnabled());
        QCOMPARE(form.Text1->toPlainText(), QStringLiteral("一つ目"));
    }
};

int RunViewTests(int argc, char** argv)
{
    ViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ViewTest.moc"
