#include "window/SelectionValuesDialog.h"

#include "core/view/Conversions.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zor {

SelectionValuesDialog::SelectionValuesDialog(QWidget* parent, Apply apply)
    : QDialog(parent), apply_(std::move(apply)), choices_(new QButtonGroup(this)), field_(new QLineEdit(this)),
      hint_(new QLabel(this)), reason_(new QLabel(this))
{
    setObjectName(QStringLiteral("SelectionValuesDialog"));
    setWindowTitle(QStringLiteral("選択範囲の値"));
    auto* layout = new QVBoxLayout(this);
    const std::pair<SelectionOperation, QString> choices[] = {
        {SelectionOperation::Set, QStringLiteral("値にする")},
        {SelectionOperation::Add, QStringLiteral("数を足す（負の数は引く）")},
        {SelectionOperation::Scale, QStringLiteral("パーセントを掛ける")},
        {SelectionOperation::Series, QStringLiteral("各列を最初の行の値から最後の行の値まで直線で埋める")},
    };
    for (const auto& [operation, caption] : choices) {
        auto* button = new QRadioButton(caption, this);
        choices_->addButton(button, static_cast<int>(operation));
        layout->addWidget(button);
    }
    choices_->button(static_cast<int>(SelectionOperation::Set))->setChecked(true);
    layout->addWidget(field_);
    hint_->setWordWrap(true);
    layout->addWidget(hint_);
    reason_->setWordWrap(true);
    reason_->setStyleSheet(QStringLiteral("color: #b00020;"));
    reason_->hide();
    layout->addWidget(reason_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SelectionValuesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SelectionValuesDialog::reject);
    layout->addWidget(buttons);
    connect(choices_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            operationChanged();
    });
    operationChanged();
    // Wide enough for the hints on one line and a reason on two.
    setMinimumWidth(fontMetrics().averageCharWidth() * 80);
}

SelectionOperation SelectionValuesDialog::operation() const { return static_cast<SelectionOperation>(choices_->checkedId()); }

void SelectionValuesDialog::setOperation(SelectionOperation operation)
{
    choices_->button(static_cast<int>(operation))->setChecked(true);
}

void SelectionValuesDialog::operationChanged()
{
    switch (operation()) {
    case SelectionOperation::Set:
        hint_->setText(QStringLiteral("%1 のどれかで入力してください。").arg(CellTextForms()));
        break;
    case SelectionOperation::Add:
        hint_->setText(QStringLiteral("10 進数（小数可）、または 0x を付けて 16 進数。例: 5、-12、0x10"));
        break;
    case SelectionOperation::Scale:
        hint_->setText(QStringLiteral("パーセント（小数可）。例: 150、12.5"));
        break;
    case SelectionOperation::Series:
        hint_->setText(QStringLiteral("最初の行と最後の行の値はそのままです。"));
        break;
    }
    const bool typed = operation() != SelectionOperation::Series;
    field_->setEnabled(typed);
    reason_->hide();
    if (typed) {
        field_->setFocus();
        field_->selectAll();
    }
}

void SelectionValuesDialog::accept()
{
    const SelectionOperation chosen = operation();
    const QString why = apply_ ? apply_(chosen, chosen == SelectionOperation::Series ? QString() : field_->text()) : QString();
    if (why.isEmpty()) {
        QDialog::accept();
        return;
    }
    reason_->setText(why);
    reason_->show();
    adjustSize(); // room for the reason below the hint, not over it
    field_->setFocus();
    field_->selectAll();
}

} // namespace zor
