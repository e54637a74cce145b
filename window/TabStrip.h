#pragma once

// Tab1: the tab strip that chooses the table kind. It is a tab bar that also draws a
// tab page's frame in the room below its tabs, so that the grid, a sibling placed
// over that room, sits inside what looks like the selected page.

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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawPage(QPainter& painter, const QRect& clip);
};

} // namespace zor
