#include "window/Menus.h"

#include "core/edit/EditHistory.h"
#include "window/CellCommands.h"
#include "window/CellEditing.h"
#include "window/CellEditor.h"
#include "window/PatchCommand.h"
#include "window/FlexGrid.h"
#include "window/Form1.h"
#include "window/Navigation.h"
#include "window/Spreadsheet.h"
#include "window/ValueViews.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace zor {

Menus::Menus(Form1& form) : form_(form)
{
    const QKeySequence none;
    const auto key = [](auto combination) { return QKeySequence(combination); };
    Form1* f = &form;

    QMenu* file = addMenu("File", QStringLiteral(u"ファイル"));
    addItem(file, "Read", QStringLiteral(u"読み込む"), key(Qt::CTRL | Qt::Key_O), [f] { f->Read_Click(); });
    addItem(file, "SaveAs", QStringLiteral(u"名前を付けて保存"), none, [f] { f->SaveAs_Click(); });
    addItem(file, "Save", QStringLiteral(u"上書き保存"), key(Qt::CTRL | Qt::Key_S), [f] { static_cast<void>(f->Save_Click()); });
    file->addSeparator();
    addItem(file, "MakePatch", QStringLiteral(u"パッチを作成…"), none, [f] { f->patch().MakePatch_Click(); });
    file->addSeparator();
    addItem(file, "Quit", QStringLiteral(u"終了"), none, [f] { f->Quit_Click(); });

    QMenu* edit = addMenu("Edit", QStringLiteral(u"編集"));
    addItem(edit, "andou", QStringLiteral(u"セルを元に戻す"), key(Qt::CTRL | Qt::Key_Z), [f] { f->andou_Click(); });
    addItem(edit, "redou", QStringLiteral(u"セルをやり直す"), key(Qt::CTRL | Qt::Key_Y), [f] { f->redou_Click(); })
        ->setShortcuts({key(Qt::CTRL | Qt::Key_Y), key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    addItem(edit, "cut", QStringLiteral(u"セルを切り取り"), key(Qt::CTRL | Qt::Key_X), [f] { f->cells().cut_Click(); });
    addItem(edit, "Cope", QStringLiteral(u"セルをコピー"), key(Qt::CTRL | Qt::Key_C), [f] { f->cells().Cope_Click(); });
    addItem(edit, "pest", QStringLiteral(u"セルを貼り付け"), key(Qt::CTRL | Qt::Key_V), [f] { f->cells().pest_Click(); });
    // テキストを貼り付け: the system clipboard's text.
    addItem(edit, "PasteText", QStringLiteral(u"テキストを貼り付け"), key(Qt::CTRL | Qt::SHIFT | Qt::Key_V),
            [f] { f->spreadsheet().PasteText_Click(); });
    addItem(edit, "SelectionValues", QStringLiteral(u"選択範囲の値…"), none, [f] { f->spreadsheet().SelectionValues_Click(); });
    addItem(edit, "NewRow", QStringLiteral(u"行を追加する"), none, [f] { f->cells().NewRow_Click(); });
    addItem(edit, "DeleteRow", QStringLiteral(u"行を削除する"), none, [f] { f->cells().DeleteRow_Click(); });
    edit->addSeparator();
    addItem(edit, "Search", QStringLiteral(u"検索"), key(Qt::CTRL | Qt::Key_F), [f] { f->navigation().Search_Click(); });
    addItem(edit, "SearchNext", QStringLiteral(u"次を検索"), key(Qt::Key_F3), [f] { f->navigation().SearchNext_Click(); });
    addItem(edit, "SearchPrevious", QStringLiteral(u"前を検索"), key(Qt::SHIFT | Qt::Key_F3),
            [f] { f->navigation().SearchPrevious_Click(); });
    addItem(edit, "GoTo", QStringLiteral(u"移動"), key(Qt::CTRL | Qt::Key_G), [f] { f->navigation().GoTo_Click(); });
    edit->addSeparator();
    QAction* hexColumns = addItem(edit, "HexColumns", QStringLiteral(u"16進の列は16進で入力"), none, [f] { f->editing().HexColumns_Click(); });
    hexColumns->setCheckable(true);
    hexColumns->setChecked(form.editing().hexColumns() == BareDigits::Hexadecimal);

    QMenu* view = addMenu("Hyo", QStringLiteral(u"表示"));
    // Exclusive: a click on the checked item keeps it checked and still runs its command.
    notations_ = new QActionGroup(this);
    for (const auto& [name, caption, code] :
         {std::tuple("NotationHex", QStringLiteral(u"選択セクションを16進数表記"), int{NotationHex}),
          {"NotationCodeDec", QStringLiteral(u"選択セクションを符号付き10進数表記"), int{NotationSigned}},
          {"NotationDec", QStringLiteral(u"選択セクションを符号無し10進数表記"), int{NotationUnsigned}}}) {
        QAction* notation = addItem(view, name, caption, none, [f, code] { f->SetNotation(code); });
        notation->setCheckable(true);
        notations_->addAction(notation);
    }
    addItem(view, "ShowChanges", QStringLiteral(u"変更一覧"), none, [f] { f->views().ShowChanges_Click(); });
    view->addSeparator();
    addItem(view, "ColourByValue", QStringLiteral(u"値で色分け"), none, [f] { f->views().ColourByValue_Click(); });
    addItem(view, "ShowChart", QStringLiteral(u"グラフ"), none, [f] { f->views().ShowChart_Click(); });

    QMenu* data = addMenu("Date", QStringLiteral(u"データ"));
    addItem(data, "OpCSV", QStringLiteral(u"全データをCSVで保存"), none, [f] { f->spreadsheet().OpCSV_Click(); });
    addItem(data, "ImportCSV", QStringLiteral(u"CSVから読み込む…"), none, [f] { f->spreadsheet().ImportCSV_Click(); });
}

QAction* Menus::action(const char* name) const { return form_.menuBar()->findChild<QAction*>(QLatin1StringView(name)); }

QMenu* Menus::menu(const char* name) const { return form_.menuBar()->findChild<QMenu*>(QLatin1StringView(name)); }

QMenu* Menus::addMenu(const char* name, const QString& caption)
{
    QMenu* created = form_.menuBar()->addMenu(caption);
    created->setObjectName(QLatin1StringView(name));
    // A menu closed without a command gives the focus back to an open editor, where the
    // menu bar would keep it and take the next keys.
    connect(created, &QMenu::aboutToHide, this, [this] {
        QTimer::singleShot(0, this, [this] {
            CellEditor& editor = form_.editor();
            if (editor.isVisible() && !editor.hasFocus() && !QApplication::activePopupWidget())
                editor.setFocus(Qt::PopupFocusReason);
        });
    });
    return created;
}

QAction* Menus::addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                        std::function<void()> handler)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1StringView(name));
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, handler = std::move(handler)] { form_.runGuarded(handler); });
    return action;
}

void Menus::showState()
{
    const FlexGrid& grid = form_.grid();
    const Controller& control = form_.control();
    const std::optional<int> notation =
        grid.isEnabled() ? control.session().NotationAt(grid.Row(), grid.Col()) : std::nullopt;
    const char* checked = notation == NotationHex        ? "NotationHex"
                          : notation == NotationSigned   ? "NotationCodeDec"
                          : notation == NotationUnsigned ? "NotationDec"
                                                         : nullptr;
    if (checked)
        action(checked)->setChecked(true);
    else if (QAction* shown = notations_->checkedAction())
        shown->setChecked(false);
    notations_->setEnabled(notation.has_value());
    const bool rows = control.session().RowCommandsApply();
    action("NewRow")->setEnabled(rows);
    action("DeleteRow")->setEnabled(rows);
    action("PasteText")->setEnabled(grid.isEnabled());
    action("SelectionValues")->setEnabled(grid.isEnabled());
    action("andou")->setEnabled(control.document().History->UndoCount() > 0);
    action("redou")->setEnabled(control.document().History->RedoCount() > 0);
}

} // namespace zor
