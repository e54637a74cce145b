#include "window/ImportPreview.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>

#include <algorithm>

namespace zor {

ImportPreviewDialog::ImportPreviewDialog(QWidget* parent, const ImportPreview& preview)
    : QDialog(parent), changes_(new QListView(this))
{
    setObjectName(QStringLiteral("ImportPreviewDialog"));
    setWindowTitle(QStringLiteral("CSVから読み込む"));
    auto* layout = new QVBoxLayout(this);

    QStringList counts;
    for (const ImportPreviewFile& file : preview.files)
        counts << QStringLiteral("%1: %2 件").arg(file.file).arg(file.changes);
    auto* summary = new QLabel(QStringLiteral("次の %1 件の変更を読み込みます。イメージには保存するまで書き込みません。\n%2")
                                   .arg(preview.changes())
                                   .arg(counts.join(u'\n')),
                               this);
    summary->setWordWrap(true);
    layout->addWidget(summary);

    // A model over the lines rather than an item each: an import may change tens of thousands of cells.
    changes_->setModel(new QStringListModel(preview.lines, changes_));
    changes_->setUniformItemSizes(true);
    changes_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    changes_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(changes_, 1);

    if (!preview.notes.isEmpty()) {
        auto* notes = new QLabel(QStringLiteral("注意:\n") + preview.notes.join(u'\n'), this);
        notes->setWordWrap(true);
        notes->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(notes);
    }

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* read = buttons->addButton(QStringLiteral("読み込む"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    read->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // Tall enough for a short list whole, and for a long one to be read through.
    resize(fontMetrics().averageCharWidth() * 100,
           fontMetrics().height() * (std::clamp(static_cast<int>(preview.lines.size()), 5, 25) + 10));
}

} // namespace zor
