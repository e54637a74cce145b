#include "window/GoToDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace zor {

GoToDialog::GoToDialog(QWidget* parent, const QString& title, const QString& prompt, Check check)
    : QDialog(parent), check_(std::move(check)), field_(new QLineEdit(this)), reason_(new QLabel(this))
{
    setObjectName(QStringLiteral("GoToDialog"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(prompt, this);
    label->setObjectName(QStringLiteral("GoToPrompt"));
    label->setWordWrap(true);
    layout->addWidget(label);
    layout->addWidget(field_);
    reason_->setWordWrap(true);
    reason_->setStyleSheet(QStringLiteral("color: #b00020;"));
    reason_->hide();
    layout->addWidget(reason_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("移動"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &GoToDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GoToDialog::reject);
    layout->addWidget(buttons);
    // Wide enough for an address and a reason of two lines without growing on each refusal.
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
}

void GoToDialog::accept()
{
    const QString why = check_ ? check_(field_->text()) : QString();
    if (why.isEmpty()) {
        QDialog::accept();
        return;
    }
    reason_->setText(why);
    reason_->show();
    // Wrapped lines need more height than the layout's minimum: the dialog grows to show
    // every line of the prompt and of the reason rather than squeezing them.
    layout()->activate();
    const int needed = heightForWidth(width());
    if (needed > height())
        resize(width(), needed);
    field_->setFocus();
    field_->selectAll();
}

} // namespace zor
