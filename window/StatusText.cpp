#include "window/StatusText.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

namespace zor {

namespace {
constexpr int kMargin = 2; // pixels left and right of the text
}

StatusText::StatusText(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void StatusText::setText(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    setToolTip(text_); // the whole text where the bar cuts it
    update();
}

QSize StatusText::sizeHint() const { return {0, fontMetrics().height() + 2}; }

QSize StatusText::minimumSizeHint() const { return sizeHint(); }

void StatusText::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect room = rect().adjusted(kMargin, 0, -kMargin, 0);
    painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter, fontMetrics().elidedText(text_, Qt::ElideRight, room.width()));
}

void StatusText::contextMenuEvent(QContextMenuEvent* event)
{
    if (text_.isEmpty())
        return;
    QMenu menu(this);
    menu.addAction(QStringLiteral("コピー"), this, [this] { QApplication::clipboard()->setText(text_); });
    menu.exec(event->globalPos());
}

} // namespace zor
