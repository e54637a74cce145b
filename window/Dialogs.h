#pragma once

// Every message box and file dialog the window shows goes through this interface, so
// that tests can answer them. File filters are written as "description|pattern" pairs
// joined by '|', the form the program's own texts use.

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace zor {

struct ImportPreview;

// The four things 選択範囲の値 does to the selected cells.
enum class SelectionOperation { Set, Add, Scale, Series };

// Every file; the second filter of the image dialogs, and the one of the others.
inline constexpr char16_t kAllFilesFilter[] = u"全てのファイル(*.*)|*.*";
// The filters of the open and save dialogs of images: the usual image names first.
inline constexpr char16_t kRomFilter[] =
    u"ROM イメージ (*.sfc *.smc *.bin *.rom)|*.sfc;*.smc;*.bin;*.rom|全てのファイル(*.*)|*.*";
// The patch file's filters; the first is the default.
inline constexpr char16_t kPatchFilter[] = u"BPS パッチ (*.bps)|*.bps|IPS パッチ (*.ips)|*.ips";

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message box with the given icon and buttons, and informative text under the text
    // when there is any; returns the button chosen.
    virtual QMessageBox::StandardButton ask(QWidget* parent, const QString& title, const QString& text,
                                            QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                            const QString& informative = QString()) = 0;
    // A message with an OK button.
    virtual void showMessage(QWidget* parent, const QString& title, const QString& text, QMessageBox::Icon icon) = 0;

    // The chosen path, or empty text when the user cancelled. start, when given, is the
    // file or folder the dialog opens on; *chosenFilter, when asked for, gets the
    // "description|pattern" pair of the filter the user chose.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& start = QString()) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& start = QString(), QString* chosenFilter = nullptr) = 0;

    // Asks for a place to go to (window/GoToDialog.h): check says why a text can't be used
    // (empty: it can), and the question goes on until one can or the user cancels. The
    // text taken, or empty text when cancelled; without an answer to give, cancelled.
    virtual QString askPlace(QWidget* parent, const QString& title, const QString& prompt,
                             const std::function<QString(const QString&)>& check);

    // A folder, starting at start; empty text when cancelled, and without an answer to give.
    virtual QString folderName(QWidget* parent, const QString& title, const QString& start);

    // Shows what a CSV import would change (window/ImportPreview.h); true when the user
    // chose to read it in. Without an answer to give, cancelled.
    virtual bool confirmImport(QWidget* parent, const ImportPreview& preview);

    // Asks what to do to the selection (window/SelectionValuesDialog.h). apply does it and
    // says why a text can't be read (empty: done, or refused for another reason, which the
    // caller tells); the question goes on until apply takes one or the user cancels.
    virtual void askSelectionValues(QWidget* parent,
                                    const std::function<QString(SelectionOperation, const QString&)>& apply);
};

// "desc|pattern|desc|pattern" as Qt writes it: "desc (pattern);;desc (pattern)", with
// ';'-separated patterns turned into space-separated ones. "*.*" is meant as every file,
// so it becomes "*", which here also matches names without a dot. A description that
// ends with its own patterns in parentheses (';'- or space-separated) drops that copy, as
// Qt adds the patterns itself.
QString QtFileFilter(const QString& filter);

class QtDialogs : public Dialogs {
public:
    QMessageBox::StandardButton ask(QWidget* parent, const QString& title, const QString& text,
                                    QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                    const QString& informative) override;
    void showMessage(QWidget* parent, const QString& title, const QString& text, QMessageBox::Icon icon) override;
    QString openFileName(QWidget* parent, const QString& title, const QString& filter, const QString& start) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& filter, const QString& start,
                         QString* chosenFilter) override;
    QString askPlace(QWidget* parent, const QString& title, const QString& prompt,
                     const std::function<QString(const QString&)>& check) override;
    QString folderName(QWidget* parent, const QString& title, const QString& start) override;
    bool confirmImport(QWidget* parent, const ImportPreview& preview) override;
    void askSelectionValues(QWidget* parent,
                            const std::function<QString(SelectionOperation, const QString&)>& apply) override;
};

} // namespace zor
