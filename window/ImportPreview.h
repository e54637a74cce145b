#pragma once

// データ → CSVから読み込む: what the files would change, a count per file and every cell
// as the change list shows it, with the import's notes; 読み込む or キャンセル.

#include "core/csv/ImportPreview.h"

#include <QDialog>

class QListView;

namespace zor {

class ImportPreviewDialog : public QDialog {
    Q_OBJECT

public:
    ImportPreviewDialog(QWidget* parent, const ImportPreview& preview);

    QListView* changes() const { return changes_; }

private:
    QListView* changes_;
};

} // namespace zor
