#include "window/CellChoices.h"

#include "core/value/NamesText.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QStandardItemModel>

namespace zor {

namespace {

constexpr int kValueRole = Qt::UserRole;   // an item's ID or bit
constexpr int kMaxVisibleItems = 12;        // rows the list shows before it scrolls

} // namespace

CellChoices::CellChoices(QWidget* parent) : QListWidget(parent)
{
    setWindowFlags(Qt::Popup);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, [this] {
        if (!bits_)
            take();
    });
}

void CellChoices::showNames(const std::vector<NameChoice>& choices, std::optional<std::uint32_t> current, const QRect& cell)
{
    bits_ = false;
    clear();
    for (const NameChoice& choice : choices) {
        auto* item = new QListWidgetItem(choice.label, this);
        item->setData(kValueRole, choice.id);
    }
    // IDs are in order from 0, so the current one is its own row.
    const bool listed = current && *current < static_cast<std::uint32_t>(count());
    setCurrentRow(listed ? static_cast<int>(*current) : 0);
    showUnder(cell);
}

void CellChoices::showBits(const QStringList& labels, std::uint32_t value, const QRect& cell)
{
    bits_ = true;
    clear();
    for (int bit = 0; bit < labels.size(); ++bit) {
        auto* item = new QListWidgetItem(labels[bit], this);
        item->setData(kValueRole, 1U << bit);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(value >> bit & 1U ? Qt::Checked : Qt::Unchecked);
    }
    setCurrentRow(0);
    showUnder(cell);
}

void CellChoices::showUnder(const QRect& cell)
{
    const int rows = std::min(count(), kMaxVisibleItems);
    const int frame = 2 * frameWidth();
    const int width = std::max(cell.width(), sizeHintForColumn(0) + frame + verticalScrollBar()->sizeHint().width());
    const int height = std::max(rows, 1) * sizeHintForRow(0) + frame;
    // Below the cell, or above it where the screen ends.
    const QScreen* under = QGuiApplication::screenAt(cell.center());
    const QRect screen = (under ? under : this->screen())->availableGeometry();
    QPoint at = cell.bottomLeft() + QPoint(0, 1);
    if (at.y() + height > screen.bottom() && cell.top() - height >= screen.top())
        at.setY(cell.top() - height);
    at.setX(std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() - width)));
    setGeometry(QRect(at, QSize(width, height)));
    scrollToItem(currentItem(), QAbstractItemView::PositionAtCenter);
    show();
    setFocus(Qt::PopupFocusReason);
}

void CellChoices::take()
{
    std::uint32_t value = 0;
    if (bits_) {
        for (int row = 0; row < count(); ++row)
            if (item(row)->checkState() == Qt::Checked)
                value |= item(row)->data(kValueRole).toUInt();
    } else if (currentItem()) {
        value = currentItem()->data(kValueRole).toUInt();
    } else {
        hide();
        return;
    }
    hide();
    Q_EMIT taken(value);
}

void CellChoices::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        take();
        return;
    case Qt::Key_Escape:
        hide();
        return;
    case Qt::Key_Space:
        if (bits_ && currentItem()) {
            QListWidgetItem* bit = currentItem();
            bit->setCheckState(bit->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            return;
        }
        break;
    default:
        break;
    }
    QListWidget::keyPressEvent(event);
}

void CellChoices::hideEvent(QHideEvent* event)
{
    QListWidget::hideEvent(event);
    Q_EMIT closed();
}

NameCompleter::NameCompleter(const std::vector<NameChoice>& choices, QObject* parent) : QCompleter(parent)
{
    auto* names = new QStandardItemModel(this);
    QSet<QString> offered;
    for (const NameChoice& choice : choices) {
        if (choice.name.isEmpty() || offered.contains(choice.name))
            continue;
        offered.insert(choice.name);
        auto* item = new QStandardItem(choice.name);
        item->setData(choice.key, kValueRole);
        names->appendRow(item);
    }
    setModel(names);
    setCompletionRole(kValueRole);
    setCaseSensitivity(Qt::CaseSensitive);
    setFilterMode(Qt::MatchContains);
    setModelSorting(QCompleter::UnsortedModel);
}

QStringList NameCompleter::splitPath(const QString& path) const { return {NameKey(path)}; }

QString NameCompleter::pathFromIndex(const QModelIndex& index) const { return index.data(Qt::DisplayRole).toString(); }

} // namespace zor
