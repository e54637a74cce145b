#pragma once

// The find bar at the bottom of the window (編集 → 検索): the query, next and previous,
// 全データセット on tab 1, and the search's memory: the folded labels (core/navigate/Find.h)
// and where the last match put the cursor.

#include "core/navigate/Find.h"

#include <QToolBar>

class QAction;
class QCheckBox;
class QLineEdit;

namespace zor {

class FindBar : public QToolBar {
    Q_OBJECT

public:
    explicit FindBar(QWidget* parent = nullptr);

    QLineEdit* field() const { return field_; }
    QCheckBox* allDataSets() const { return allDataSets_; }
    QString query() const;

    // Shows the bar with its query selected and the focus in it.
    void open();
    // A query that matched nothing is drawn red until it is changed or matches.
    void setNotFound(bool notFound);
    bool notFound() const { return notFound_; }

    // Labels, captions and the last match as the tables now are; forget() them on every fill.
    Finder& finder() { return finder_; }
    void setLastHit(const FindHit& hit) { lastHit_ = hit; }
    void forget() { finder_.forget(); }
    // Whether the last match put the cursor on this place's caption, or on the name its cell
    // shows: the search goes on from it.
    bool onCaption(const FindFrom& from) const;
    bool onCell(const FindFrom& from) const;

Q_SIGNALS:
    // Enter or 次へ (forwards), 前へ (backwards).
    void findRequested(bool backwards);
    // Escape or the close button: the bar is hidden and the grid should take the focus.
    void closed();

private:
    void close();

    QLineEdit* field_;
    QCheckBox* allDataSets_;
    bool notFound_ = false;
    Finder finder_;
    FindHit lastHit_;
};

} // namespace zor
