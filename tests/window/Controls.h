#pragma once

// The window as its user meets it: controls and menu items found by their names, what
// the title and the status bar say, and keys typed where the focus is. Doc() is the one
// way in to the document, for the few checks no control shows.

#include "core/document/DocumentState.h"
#include "window/CellEditor.h"
#include "window/FlexGrid.h"
#include "window/FolderChoice.h"
#include "window/Form1.h"
#include "window/HelpMenu.h"
#include "window/NoteEdit.h"
#include "window/TabStrip.h"
#include "window/ValueViews.h"
#include "window/WindowPlace.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include <stdexcept>

namespace zor::test {

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

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

inline void Key(const Form1& form, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(form.focusWidget(), key, modifiers);
}

inline QPoint CellCenter(const FlexGrid& grid, int row, int col)
{
    return grid.visualRect(grid.model()->index(row - 1, col - 1)).center();
}

// What the grid was told to draw again since this was made: everything (a reset of its
// model), or ranges of data cells.
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
