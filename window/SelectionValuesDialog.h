#pragma once

// 編集 → 選択範囲の値: one value for every selected cell, a number added, a percentage
// taken, or a linear series down each column. OK hands the choice and text to apply; a
// text it can't read keeps the dialog open with the reason under the field.

#include "window/Dialogs.h"

#include <QDialog>

#include <functional>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace zor {

class SelectionValuesDialog : public QDialog {
    Q_OBJECT

public:
    using Apply = std::function<QString(SelectionOperation, const QString&)>;

    SelectionValuesDialog(QWidget* parent, Apply apply);

    QLineEdit* field() const { return field_; }
    QLabel* reason() const { return reason_; }
    SelectionOperation operation() const;
    void setOperation(SelectionOperation operation);

    void accept() override;

private:
    void operationChanged();

    Apply apply_;
    QButtonGroup* choices_;
    QLineEdit* field_;
    QLabel* hint_;
    QLabel* reason_;
};

} // namespace zor
