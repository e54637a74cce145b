#pragma once

// What a Names or a Bits cell offers besides its text editor: the list it opens under
// itself (the IDs of its data set with their names, one to choose; or its bits, to check),
// and the completions its editor offers from those names.

#include "core/view/CellInput.h"

#include <QCompleter>
#include <QListWidget>

#include <cstdint>
#include <optional>
#include <vector>

namespace zor {

// A popup list under a cell. Of IDs: Enter or a click takes the current one. Of bits: Space
// toggles the current bit, a click its box, Enter takes the bits checked. Escape, or a click
// elsewhere, takes nothing. It hides once it took a value or nothing.
class CellChoices : public QListWidget {
    Q_OBJECT

public:
    explicit CellChoices(QWidget* parent);

    // Opens under cell (global coordinates) with the IDs choices offer, the one current chosen.
    void showNames(const std::vector<NameChoice>& choices, std::optional<std::uint32_t> current, const QRect& cell);
    // Opens under cell with a check box for each bit labels names, checked as value's bits are.
    void showBits(const QStringList& labels, std::uint32_t value, const QRect& cell);

Q_SIGNALS:
    // The value taken: the ID chosen, or the bits checked.
    void taken(std::uint32_t value);
    // Hidden, whether a value was taken or not.
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void showUnder(const QRect& cell);
    void take();

    bool bits_ = false;
};

// Completions of the names of a Names cell's data set in its editor: a name matches when the
// typed text lies in it, both compared as the core compares names (NameKey), and completes
// to the name as the data set writes it. A name two IDs share is offered once.
class NameCompleter : public QCompleter {
public:
    NameCompleter(const std::vector<NameChoice>& choices, QObject* parent);

    QStringList splitPath(const QString& path) const override;
    QString pathFromIndex(const QModelIndex& index) const override;
};

} // namespace zor
