#pragma once

// The round trip through spreadsheets: 全データをCSVで保存 and CSVから読み込む, the
// selection as text on the system clipboard and pasted back from it (テキストを貼り付け,
// or セルを貼り付け after another program's copy), and 選択範囲の値. The core (core/csv,
// core/selection) decides and writes; here its results reach the controls.

#include <QObject>
#include <QString>

#include <optional>

namespace zor {

class Form1;

class Spreadsheet : public QObject {
public:
    explicit Spreadsheet(Form1& form) : form_(form) {}

    void OpCSV_Click();
    void ImportCSV_Click();
    void PasteText_Click();
    void SelectionValues_Click();

    // Text ZOR puts on the system clipboard.
    void putSelectionText(const QString& text);
    // Whether the system clipboard holds text another program put there since ZOR's own last one.
    bool clipboardTextIsForeign() const;
    // Pastes the system clipboard's text at the selection.
    void pasteClipboardText();

private:
    Form1& form_;
    std::optional<QString> copiedText_; // what ZOR last put on the system clipboard
};

} // namespace zor
