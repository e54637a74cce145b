#include "window/FindBar.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>

namespace zor {

FindBar::FindBar(QWidget* parent) : QToolBar(parent), field_(new QLineEdit(this)), allDataSets_(new QCheckBox(this))
{
    setObjectName(QStringLiteral("FindBar"));
    setWindowTitle(QStringLiteral("検索"));
    setMovable(false);
    setFloatable(false);
    // Only 編集 → 検索 opens it, so the window's toolbar menu does not offer it.
    toggleViewAction()->setVisible(false);

    addWidget(new QLabel(QStringLiteral("検索: "), this));
    field_->setObjectName(QStringLiteral("FindField"));
    field_->setClearButtonEnabled(true);
    field_->setPlaceholderText(QStringLiteral("値（0x1F、31、-1）か、名前・見出しの一部"));
    field_->setMinimumWidth(field_->fontMetrics().averageCharWidth() * 36);
    addWidget(field_);
    QAction* next = addAction(QStringLiteral("次へ"));
    next->setObjectName(QStringLiteral("FindNext"));
    QAction* previous = addAction(QStringLiteral("前へ"));
    previous->setObjectName(QStringLiteral("FindPrevious"));
    allDataSets_->setObjectName(QStringLiteral("FindAllDataSets"));
    allDataSets_->setText(QStringLiteral("全データセット"));
    addWidget(allDataSets_);
    QAction* hide = addAction(QStringLiteral("閉じる"));
    hide->setObjectName(QStringLiteral("FindClose"));

    connect(field_, &QLineEdit::returnPressed, this, [this] { Q_EMIT findRequested(false); });
    connect(field_, &QLineEdit::textEdited, this, [this] { setNotFound(false); });
    connect(next, &QAction::triggered, this, [this] { Q_EMIT findRequested(false); });
    connect(previous, &QAction::triggered, this, [this] { Q_EMIT findRequested(true); });
    connect(hide, &QAction::triggered, this, &FindBar::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &FindBar::close);
}

QString FindBar::query() const { return field_->text(); }

void FindBar::open()
{
    show();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

void FindBar::setNotFound(bool notFound)
{
    if (notFound == notFound_)
        return;
    notFound_ = notFound;
    field_->setStyleSheet(notFound ? QStringLiteral("QLineEdit { background: #ffd6d6; color: #8b0000; }") : QString());
}

bool FindBar::onCaption(const FindFrom& from) const
{
    return lastHit_.kind == FindHit::Caption && lastHit_.tab == from.tab && lastHit_.dataSet == from.dataSet
           && lastHit_.row == from.row && lastHit_.col == from.col;
}

bool FindBar::onCell(const FindFrom& from) const
{
    return lastHit_.kind == FindHit::Cell && lastHit_.byName && lastHit_.tab == from.tab && lastHit_.dataSet == from.dataSet
           && lastHit_.row == from.row && lastHit_.col == from.col;
}

void FindBar::close()
{
    hide();
    Q_EMIT closed();
}

} // namespace zor
