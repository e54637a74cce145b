#pragma once

// ファイル → パッチを作成…: a BPS or IPS patch from an unmodified original to the image as
// saved, unsaved changes asked about first.

#include <QObject>

namespace zor {

class Form1;

class PatchCommand : public QObject {
public:
    explicit PatchCommand(Form1& form) : form_(form) {}

    void MakePatch_Click();

    // The user's settings key of the original a patch was last made from.
    static constexpr char kPatchOriginalKey[] = "patch/original";

private:
    Form1& form_;
};

} // namespace zor
