#pragma once

// The window as its user meets it: a folder made in code, dialogs answered by a script, controls
// found by their names, keys typed where the focus is. Doc() is for the few checks no control shows.

#include "core/csv/ImportPreview.h"
#include "core/document/DocumentState.h"
#include "core/files/Ini.h"
#include "core/sample/Sample.h"
#include "tests/support/ModeText.h"
#include "window/CellEditor.h"
#include "window/Dialogs.h"
#include "window/FlexGrid.h"
#include "window/Form1.h"
#include "window/NoteEdit.h"
#include "window/TabStrip.h"

#include <QAction>
#include <QComboBox>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <memory>
#include <stdexcept>
#include <tuple>
#include <utility>
#include <vector>

namespace zor::test {

struct Asked {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QString informative;
};

// An unscripted question fails the test, and so does a message unless messages are expected.
class FakeDialogs : public Dialogs {
public:
    std::vector<Asked> asked;
    std::deque<QMessageBox::StandardButton> answers;
    std::vector<Asked> messages;
    bool messagesExpected = false;
    std::deque<QString> openPaths; // what the open dialog answers; empty text: cancelled
    std::deque<QString> savePaths; // what the save dialog answers
    std::vector<QString> openStarts; // where each open dialog started
    std::vector<QString> saveStarts;
    bool failOpen = false;          // the open dialog throws, as a handler's fault would
    std::deque<QString> places;     // typed into the go-to dialog in turn, until one is taken; then cancelled
    std::deque<QString> folders;      // what the folder dialog answers; empty text: cancelled
    std::vector<QString> folderStarts;
    std::deque<bool> importAnswers;   // 読み込む (true) or キャンセル for each import preview
    std::vector<zor::ImportPreview> previews;
    std::deque<std::pair<zor::SelectionOperation, QString>> selectionAnswers; // as places, in the selection values dialog

    QMessageBox::StandardButton ask(QWidget*, const QString& title, const QString& text, QMessageBox::Icon icon,
                                    QMessageBox::StandardButtons buttons, const QString& informative) override
    {
        asked.push_back({title, text, icon, buttons, informative});
        if (answers.empty()) {
            QTest::qFail("a question nobody expected", __FILE__, __LINE__);
            return QMessageBox::Cancel;
        }
        return next(answers);
    }
    void showMessage(QWidget*, const QString& title, const QString& text, QMessageBox::Icon icon) override
    {
        messages.push_back({title, text, icon, QMessageBox::Ok, QString()});
        if (!messagesExpected)
            QTest::qFail(qPrintable(QStringLiteral("unexpected message: ") + title + u'\n' + text), __FILE__, __LINE__);
    }
    QString openFileName(QWidget*, const QString&, const QString&, const QString& start) override
    {
        openStarts.push_back(start);
        if (failOpen)
            throw std::runtime_error("the open dialog failed");
        return openPaths.empty() ? QString() : next(openPaths);
    }
    QString askPlace(QWidget*, const QString&, const QString&, const std::function<QString(const QString&)>& check) override
    {
        while (!places.empty()) {
            const QString text = next(places);
            if (check(text).isEmpty())
                return text;
        }
        return {};
    }
    QString folderName(QWidget*, const QString&, const QString& start) override
    {
        folderStarts.push_back(start);
        return folders.empty() ? QString() : next(folders);
    }
    bool confirmImport(QWidget*, const zor::ImportPreview& preview) override
    {
        previews.push_back(preview);
        if (importAnswers.empty()) {
            QTest::qFail("an import preview nobody expected", __FILE__, __LINE__);
            return false;
        }
        return next(importAnswers);
    }
    void askSelectionValues(QWidget*, const std::function<QString(zor::SelectionOperation, const QString&)>& apply) override
    {
        while (!selectionAnswers.empty()) {
            const auto [operation, text] = next(selectionAnswers);
            if (apply(operation, text).isEmpty())
                return;
        }
    }
    QString saveFileName(QWidget*, const QString&, const QString& filter, const QString& start, QString* chosenFilter) override
    {
        saveStarts.push_back(start);
        if (savePaths.empty())
            return {};
        if (chosenFilter)
            *chosenFilter = filter.section(u'|', 0, 1); // the dialog's first choice, left as it was
        return next(savePaths);
    }

private:
    template <typename T>
    static T next(std::deque<T>& script)
    {
        T answer = script.front();
        script.pop_front();
        return answer;
    }
};

// A program folder: mode "m" with data sets クラス and 表, individual data and battle captions.
class Folder {
public:
    Folder()
    {
        WriteModeFolder(dir.path(), QStringLiteral("m"), QStringLiteral(R"(
            クラス.idn      なし|戦士
            クラス.sna      100|HP|
            表.idn          いち|に|さん
            表.sna          200|力|210|とても長い見出し|
            表.ini          [Notation]|Section2=10|[ColWidth]|Section0=1500|
            個別データ.sna  300|お金|301|レベル|
        )"));
        // The sample image, for its battle blocks; the tables lie where it holds nothing.
        QByteArray image = *zor::MakeSampleImage();
        image[0x200] = static_cast<char>(0x80);
        image[0x211] = 5;
        image[0x300] = 0x0A;
        QFile rom(file(QStringLiteral("x.rom")));
        rom.open(QIODevice::WriteOnly);
        rom.write(image);
        qputenv("ZOR_HOME", dir.path().toUtf8());
    }

    QString file(const QString& relative) const { return dir.filePath(relative); }

    // Writes a file of the folder in the compact form: '|' ends a line.
    void write(const QString& relative, const QString& compact) const { QVERIFY(WriteCompactFile(dir.path(), relative, compact)); }

    QString ini(const char* relative, const char* section, const char* key) const
    {
        return zor::ReadIniWhole(QString::fromUtf8(section), QString::fromUtf8(key), file(QString::fromUtf8(relative)));
    }

    QTemporaryDir dir;
};

template <typename T>
T& Control(const QObject& form, const char* name)
{
    T* found = form.findChild<T*>(QLatin1StringView(name));
    if (!found)
        throw std::logic_error(std::string("no control named ") + name);
    return *found;
}

inline FlexGrid& Grid(const Form1& form) { return Control<FlexGrid>(form, "FGrid1"); }
inline TabStrip& Tabs(const Form1& form) { return Control<TabStrip>(form, "Tab1"); }
inline QComboBox& DataSets(const Form1& form) { return Control<QComboBox>(form, "Combo1"); }
inline NoteEdit& Note(const Form1& form) { return Control<NoteEdit>(form, "Text1"); }
inline CellEditor& Editor(const Form1& form) { return Control<CellEditor>(form, "txtForEdit"); }
inline QAction& Item(const Form1& form, const char* name) { return Control<QAction>(form, name); }
inline void Run(const Form1& form, const char* item) { Item(form, item).trigger(); }
inline QString Status(const Form1& form) { return form.statusBar()->currentMessage(); }
inline bool Modified(const Form1& form) { return form.windowTitle().endsWith(u'*'); }
inline DocumentState& Doc(Form1& form) { return form.control().document(); }

struct Opened {
    std::unique_ptr<Folder> folder;
    FakeDialogs* dialogs;
    std::unique_ptr<zor::Form1> form;

    // Opens the folder's image again, as 読み込む would, to see what was written into the folder since.
    void reread() const
    {
        dialogs->openPaths = {folder->file(QStringLiteral("x.rom"))};
        Run(*form, "Read");
    }
};

// A window with no image, and the fake that answers its dialogs.
inline std::pair<std::unique_ptr<Form1>, FakeDialogs*> MakeForm(bool expectMessages = false)
{
    auto dialogs = std::make_unique<FakeDialogs>();
    FakeDialogs* fake = dialogs.get();
    fake->messagesExpected = expectMessages;
    return {std::make_unique<Form1>(std::move(dialogs)), fake};
}

inline bool Exposed(QWidget& widget)
{
    widget.show();
    return QTest::qWaitForWindowExposed(&widget);
}

inline Opened Open(bool expectMessages = false)
{
    Opened o{std::make_unique<Folder>(), nullptr, nullptr};
    std::tie(o.form, o.dialogs) = MakeForm(expectMessages);
    if (!Exposed(*o.form))
        QTest::qFail("window not shown", __FILE__, __LINE__);
    o.reread();
    return o;
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void ClickTab(const Form1& form, int index)
{
    QTest::mouseClick(&Tabs(form), Qt::LeftButton, {}, Tabs(form).tabRect(index - 1).center());
    QCoreApplication::processEvents();
}

// The table 表 of the test folder with the cursor on (row, col) and the grid focused.
inline void ShowTable(const Form1& form, int row = 1, int col = 1)
{
    DataSets(form).setCurrentIndex(2);
    Grid(form).setRow(row);
    Grid(form).setCol(col);
    Grid(form).setFocus();
}

// Types text key by key, each to the widget that has the focus then; "\r" is Enter.
inline void Type(const Form1& form, const QString& text)
{
    for (const QChar c : text) {
        QWidget* at = form.focusWidget();
        if (c == u'\r')
            QTest::keyClick(at, Qt::Key_Return);
        else
            QTest::keyClick(at, c.toLatin1());
    }
}
inline void Type(const Form1& form, const char* text) { Type(form, QString::fromUtf8(text)); }

inline void Key(const Form1& form, Qt::Key key, Qt::KeyboardModifiers held = {}) { QTest::keyClick(form.focusWidget(), key, held); }

inline QPoint CellCenter(const FlexGrid& grid, int row, int col)
{
    return grid.visualRect(grid.model()->index(row - 1, col - 1)).center();
}

// Steps, separated by blanks: "#3" clicks tab 3; "@r,c" puts the cursor on a grid cell and
// "@r,c:r2,c2" also selects to the other corner; "=text" types text and Enter where the focus
// is; "!Item" runs a menu item; anything else is a key sequence pressed where the focus is.
inline void Perform(const Form1& form, const char* steps)
{
    for (const QString& step : QString::fromUtf8(steps).split(u' ', Qt::SkipEmptyParts)) {
        const QString rest = step.mid(1);
        if (step.startsWith(u'#')) {
            ClickTab(form, rest.toInt());
        } else if (step.startsWith(u'@')) {
            const QStringList at = rest.split(QRegularExpression(QStringLiteral("[,:]")));
            Grid(form).setRow(at[0].toInt());
            Grid(form).setCol(at[1].toInt());
            if (at.size() == 4) {
                Grid(form).setRowSel(at[2].toInt());
                Grid(form).setColSel(at[3].toInt());
            }
        } else if (step.startsWith(u'=')) {
            Type(form, rest + u'\r');
        } else if (step.startsWith(u'!')) {
            Item(form, rest.toLatin1().constData()).trigger();
        } else {
            QTest::keySequence(form.focusWidget(), QKeySequence(step));
        }
    }
}

// What the grid was told to draw again since this was made: everything (a model reset), or data cells.
class Redraws {
public:
    explicit Redraws(const FlexGrid& grid)
        : resets_(grid.model(), &QAbstractItemModel::modelReset), changes_(grid.model(), &QAbstractItemModel::dataChanged)
    {
    }
    bool of(int row, int col) const
    {
        for (const QList<QVariant>& args : changes_) {
            const QModelIndex from = args[0].toModelIndex(), to = args[1].toModelIndex();
            if (from.row() <= row - 1 && row - 1 <= to.row() && from.column() <= col - 1 && col - 1 <= to.column())
                return true;
        }
        return !resets_.isEmpty();
    }

private:
    QSignalSpy resets_, changes_;
};

} // namespace zor::test
