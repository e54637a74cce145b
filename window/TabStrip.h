#pragma once

// Tab1: the tab strip that chooses the table kind. It is a tab bar that also draws a
// tab page's frame in the room below its tabs, so that the grid, a sibling placed
// over that room, sits inside what looks like the selected page. Before a mouse
// click, a key or a wheel step changes the tab it says so, while the old tab is
// still the selected one, and the change can be cancelled; a change made by code is not announced.

#include <QTabBar>

namespace zor {

class TabStrip : public QTabBar {
    Q_OBJECT

public:
    explicit TabStrip(QWidget* parent = nullptr);

    // 1 "ID-セクション", 2 "個別データ", 3 "戦闘パラメータ".
    int SelectedIndex() const { return currentIndex() + 1; }

    // Height of the row of tabs; the rest of the strip is the page.
    int tabsHeight() const { return sizeHint().height(); }

    // Selects the tab at a 0-based position, as the program does for undo and redo.
    void FocusTab(int position) { setCurrentIndex(position); }

Q_SIGNALS:
    // The user is about to change the selected tab; currentIndex() is still the old one.
    // A receiver that sets *cancel to true keeps the tab as it is.
    void beforeChange(bool* cancel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void drawPage(QPainter& painter, const QRect& clip);
    // Announces the change when index is a selectable tab other than the current one;
    // true when a receiver cancelled it.
    bool cancelled(int index);
};

} // namespace zor
