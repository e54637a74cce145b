#pragma once

// 編集 → 移動: a small dialog asking for a place. OK (or Enter) asks check about the text;
// a text it refuses keeps the dialog open with the reason under the field, so that the
// user can correct it.

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;

namespace zor {

class GoToDialog : public QDialog {
    Q_OBJECT

public:
    // Empty text when the text can be used, else why not.
    using Check = std::function<QString(const QString& text)>;

    GoToDialog(QWidget* parent, const QString& title, const QString& prompt, Check check);

    QLineEdit* field() const { return field_; }
    QLabel* reason() const { return reason_; }

    void accept() override;

private:
    Check check_;
    QLineEdit* field_;
    QLabel* reason_;
};

} // namespace zor
