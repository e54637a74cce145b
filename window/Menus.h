#pragma once

// The menu bar's ファイル, 編集, 表示 and データ menus: their items under the names the
// handlers use, each running its handler guarded, and what the items say applies: the
// notation items check the notation of the section under the cursor (none, and disabled,
// without one), the row items need tab 3, undo and redo a step to take.

#include <QObject>

#include <functional>

class QAction;
class QActionGroup;
class QKeySequence;
class QMenu;
class QString;

namespace zor {

class Form1;

class Menus : public QObject {
public:
    explicit Menus(Form1& form);

    // The item or menu of that object name.
    QAction* action(const char* name) const;
    QMenu* menu(const char* name) const;
    // After every handler.
    void showState();

private:
    QMenu* addMenu(const char* name, const QString& caption);
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                     std::function<void()> handler);

    Form1& form_;
    QActionGroup* notations_ = nullptr; // the three notation items, one checked at most
};

} // namespace zor
