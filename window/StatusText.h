#pragma once

// The status bar's description of the cell under the cursor. It changes with every cursor
// move, so it only repaints: a QLabel would lay the status bar out again each time, which
// costs more than the move itself on a large table. The text is cut at the right edge, and
// a right click offers to copy it whole (offsets and addresses are wanted elsewhere).

#include <QString>
#include <QWidget>

namespace zor {

class StatusText : public QWidget {
    Q_OBJECT

public:
    explicit StatusText(QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QString text_;
};

} // namespace zor
