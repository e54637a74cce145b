#pragma once

// The ヘルプ menu: サンプルを開く, プログラムフォルダを開く and バージョン情報.

#include <QObject>
#include <QString>

namespace zor {

class Form1;

class HelpMenu : public QObject {
public:
    explicit HelpMenu(Form1& form);

    // What バージョン情報 says.
    QString AboutText() const;

private:
    void OpenSample_Click();
    void OpenProgramFolder_Click();
    void About_Click();

    Form1& form_;
};

} // namespace zor
