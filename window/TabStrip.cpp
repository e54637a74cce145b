#include "window/TabStrip.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

#include <algorithm>

namespace zor {

namespace {

// Styles take a tab bar that is taller than wide for a vertical one when they place
// its scroll buttons, and then make them as tall as the bar and lay the tabs out
// wrongly. Asked about the tab row alone, they place the buttons at its end.
class TabRowStyle : public QProxyStyle {
public:
    QRect subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const override
    {
        const auto* strip = qobject_cast<const TabStrip*>(widget);
        if (strip && (element == SE_TabBarScrollLeftButton || element == SE_TabBarScrollRightButton)) {
            QStyleOption row(*option);
            row.rect.setHeight(std::min(row.rect.height(), strip->tabsHeight()));
            return QProxyStyle::subElementRect(element, &row, widget);
        }
        return QProxyStyle::subElementRect(element, option, widget);
    }
};

} // namespace

TabStrip::TabStrip(QWidget* parent) : QTabBar(parent)
{
    auto* rowStyle = new TabRowStyle;
    rowStyle->setParent(this);
    setStyle(rowStyle);
    addTab(QStringLiteral(u"ID-セクション"));
    addTab(QStringLiteral(u"個別データ"));
    addTab(QStringLiteral(u"戦闘パラメータ"));
    // Tabs keep their natural width, and the page frame replaces the bar's base line.
    setExpanding(false);
    setDrawBase(false);
    setCurrentIndex(0);
}

void TabStrip::drawPage(QPainter& painter, const QRect& clip)
{
    // Filled in the way a tab widget describes its own frame to the style.
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    frame.shape = shape();
    frame.tabBarSize = QSize(sizeHint().width(), tabsHeight());
    frame.tabBarRect = QRect(0, 0, width(), tabsHeight());
    frame.selectedTabRect = tabRect(currentIndex());
    frame.rect = style()->subElementRect(QStyle::SE_TabWidgetTabPane, &frame, this);
    painter.save();
    painter.setClipRect(clip);
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
    painter.restore();
}

bool TabStrip::cancelled(int index)
{
    bool cancel = false;
    if (index >= 0 && index < count() && index != currentIndex() && isTabEnabled(index))
        Q_EMIT beforeChange(&cancel);
    return cancel;
}

void TabStrip::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && cancelled(tabAt(event->position().toPoint()))) {
        event->accept();
        return;
    }
    QTabBar::mousePressEvent(event);
}

void TabStrip::keyPressEvent(QKeyEvent* event)
{
    // The arrows are the keys a tab bar moves its selection with; right to left swaps them.
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        const bool back = event->key() == (isRightToLeft() ? Qt::Key_Right : Qt::Key_Left);
        if (cancelled(currentIndex() + (back ? -1 : 1))) {
            event->accept();
            return;
        }
    }
    QTabBar::keyPressEvent(event);
}

void TabStrip::wheelEvent(QWheelEvent* event)
{
    // Where the style lets the wheel change tabs, one step moves to the neighbour.
    if (style()->styleHint(QStyle::SH_TabBar_AllowWheelScrolling, nullptr, this)) {
        const QPoint delta = event->angleDelta();
        const int step = std::abs(delta.y()) > std::abs(delta.x()) ? delta.y() : delta.x();
        if (step != 0 && cancelled(currentIndex() + (step > 0 ? -1 : 1))) {
            event->accept();
            return;
        }
    }
    QTabBar::wheelEvent(event);
}

void TabStrip::paintEvent(QPaintEvent* event)
{
    if (height() <= tabsHeight()) {
        QTabBar::paintEvent(event);
        return;
    }
    {
        QPainter painter(this);
        drawPage(painter, rect());
    }
    // The tabs go on top, so the selected one covers the frame's edge beneath it ...
    QTabBar::paintEvent(event);
    // ... but a tab's shape may reach further down, where in a tab widget the bar's
    // own edge would cut it off; the page below the tab row is drawn again over it.
    QPainter painter(this);
    drawPage(painter, QRect(0, tabsHeight(), width(), height() - tabsHeight()));
}

} // namespace zor
