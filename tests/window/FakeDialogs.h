#pragma once

// Answers the window's message boxes and file dialogs from a script and records them.
// An unscripted question fails the test, and so does a message unless messages are expected.

#include "core/csv/ImportPreview.h"
#include "window/Dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <deque>
#include <stdexcept>
#include <utility>
#include <vector>

namespace zor::test {

struct Asked {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QString informative;
};

class FakeDialogs : public Dialogs {
public:
    std::vector<Asked> asked;
    std::deque<QMessageBox::StandardButton> answers;
    std::vector<Asked> messages;
    bool messagesExpected = false;
    std::deque<QString> openPaths; // what the open dialog answers; empty text: cancelled
    std::deque<QString> savePaths; // what the save dialog answers
    std::vector<QString> openStarts; // where each open dialog started
    std::vector<QString> saveStarts;
    bool failOpen = false;          // the open dialog throws, as a handler's fault would
    std::deque<QString> places;     // typed into the go-to dialog in turn, until one is taken; then cancelled
    std::deque<QString> folders;      // what the folder dialog answers; empty text: cancelled
    std::vector<QString> folderStarts;
    std::deque<bool> importAnswers;   // 読み込む (true) or キャンセル for each import preview
    std::vector<zor::ImportPreview> previews;
    // Chosen in the selection values dialog in turn, until one is taken; then cancelled.
    std::deque<std::pair<zor::SelectionOperation, QString>> selectionAnswers;

    QMessageBox::StandardButton ask(QWidget*, const QString& title, const QString& text, QMessageBox::Icon icon,
                                    QMessageBox::StandardButtons buttons, const QString& informative) override
    {
        asked.push_back({title, text, icon, buttons, informative});
        if (answers.empty()) {
            QTest::qFail("a question nobody expected", __FILE__, __LINE__);
            return QMessageBox::Cancel;
        }
        const QMessageBox::StandardButton answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showMessage(QWidget*, const QString& title, const QString& text, QMessageBox::Icon icon) override
    {
        messages.push_back({title, text, icon, QMessageBox::Ok, QString()});
        if (!messagesExpected)
            QTest::qFail(qPrintable(QStringLiteral("unexpected message: ") + title + u'\n' + text), __FILE__, __LINE__);
    }
    QString openFileName(QWidget*, const QString&, const QString&, const QString& start) override
    {
        openStarts.push_back(start);
        if (failOpen)
            throw std::runtime_error("the open dialog failed");
        if (openPaths.empty())
            return {};
        const QString path = openPaths.front();
        openPaths.pop_front();
        return path;
    }
    QString askPlace(QWidget*, const QString&, const QString&, const std::function<QString(const QString&)>& check) override
    {
        while (!places.empty()) {
            const QString text = places.front();
            places.pop_front();
            if (check(text).isEmpty())
                return text;
        }
        return {};
    }
    QString folderName(QWidget*, const QString&, const QString& start) override
    {
        folderStarts.push_back(start);
        if (folders.empty())
            return {};
        const QString folder = folders.front();
        folders.pop_front();
        return folder;
    }
    bool confirmImport(QWidget*, const zor::ImportPreview& preview) override
    {
        previews.push_back(preview);
        if (importAnswers.empty()) {
            QTest::qFail("an import preview nobody expected", __FILE__, __LINE__);
            return false;
        }
        const bool answer = importAnswers.front();
        importAnswers.pop_front();
        return answer;
    }
    void askSelectionValues(QWidget*, const std::function<QString(zor::SelectionOperation, const QString&)>& apply) override
    {
        while (!selectionAnswers.empty()) {
            const auto [operation, text] = selectionAnswers.front();
            selectionAnswers.pop_front();
            if (apply(operation, text).isEmpty())
                return;
        }
    }
    QString saveFileName(QWidget*, const QString&, const QString& filter, const QString& start, QString* chosenFilter) override
    {
        saveStarts.push_back(start);
        if (savePaths.empty())
            return {};
        const QString path = savePaths.front();
        savePaths.pop_front();
        if (chosenFilter) {
            // The pair whose pattern the path matches, as a user choosing it would; else the first.
            const QStringList pairs = filter.split(u'|');
            *chosenFilter = pairs.size() >= 2 ? pairs[0] + u'|' + pairs[1] : QString();
            for (qsizetype i = 0; i + 1 < pairs.size(); i += 2)
                if (QDir::match(pairs[i + 1], QFileInfo(path).fileName()))
                    *chosenFilter = pairs[i] + u'|' + pairs[i + 1];
        }
        return path;
    }
};

} // namespace zor::test
