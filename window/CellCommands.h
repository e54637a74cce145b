#pragma once

// The 編集 commands on the cells under the selection: セルを切り取り, セルをコピー and
// セルを貼り付け over the cell clipboard (with the selection as text on the system
// clipboard), and 行を追加する and 行を削除する on tab 3; and what every command that wrote
// cells does afterwards, or asks before it writes.

#include "core/edit/Clipboard.h"
#include "core/edit/Journal.h"

#include <QObject>

#include <optional>

namespace zor {

class Form1;

class CellCommands : public QObject {
public:
    explicit CellCommands(Form1& form) : form_(form) {}

    void cut_Click();
    void Cope_Click();
    void pest_Click();
    void NewRow_Click() { rowCommand(true); }
    void DeleteRow_Click() { rowCommand(false); }

    // After a command wrote cells: the change list, colours and chart told, the grid filled
    // on the cell the command left the cursor on, or with keep selected in the same view.
    void written(const std::optional<CellSelection>& keep = std::nullopt);
    // Asks whether a change the history can't keep (question: TooLargeToUndoQuestion) is
    // made all the same; true for yes.
    // Asks whether to make a change of records cells that can't be undone.
    [[nodiscard]] bool takeTooLargeStep(const QString& title, int records);
    // Says why a commit, cut or paste changed nothing: the read-only cell it names.
    void tellRefused(const Failure& why);

private:
    // Whether the grid shows cells the commands may take, with no text box focused.
    bool ready() const;
    // Insertion (true) or deletion (false) of the battle record under the cursor.
    void rowCommand(bool insert);
    // A cut or paste: asked about when too large, told when refused, shown when done.
    template <typename Write>
    bool write(const QString& title, Write&& write);

    Form1& form_;
};

} // namespace zor
