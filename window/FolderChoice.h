#pragma once

// The program folder in use: ファイル → プログラムフォルダを選ぶ…, its path at the status
// bar's right, and the empty window's hint while it holds no definitions and no image is open.

#include <QObject>

class QAction;
class QLabel;

namespace zor {

class Form1;
class HintLabel;

class FolderChoice : public QObject {
public:
    explicit FolderChoice(Form1& form);

    // Once the window shows: a program folder that can't take files is told, and the hint
    // shows as it should.
    void ShowProgramFolderState();
    // The folder in use and the hint, after a read or a choice.
    void showProgramFolder();
    // Another program folder for the images opened from now on; the open image is read
    // again with it (after the save question).
    void ChooseProgramFolder_Click();

    static constexpr int kStatusFolderChars = 28; // average characters the status bar's folder shows at most

private:
    Form1& form_;
    HintLabel* startHint_ = nullptr;
    QLabel* shown_ = nullptr;
};

} // namespace zor
