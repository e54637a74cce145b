#pragma once

// A program folder made in code for the window tests, and a window that has opened its image.

#include "core/files/Ini.h"
#include "core/files/Text.h"
#include "core/sample/Sample.h"
#include "tests/support/ModeText.h"
#include "tests/window/FakeDialogs.h"
#include "window/Form1.h"
#include "window/TabStrip.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace zor::test {

// A program folder written in code: mode "m" with data sets クラス and 表, individual
// data and battle captions, and an image holding a few known bytes.
class Folder {
public:
    Folder()
    {
        WriteModeFolder(dir.path(), QStringLiteral("m"), QStringLiteral(R"(
            クラス.idn      なし|戦士
            クラス.sna      100|HP|
            表.idn          いち|に|さん
            表.sna          200|力|210|とても長い見出し|
            表.ini          [Notation]|Section2=10|[ColWidth]|Section0=1500|
            個別データ.sna  300|お金|301|レベル|
        )"));
        // The sample image, for its battle blocks; the tables lie where it holds nothing.
        QByteArray image = *zor::MakeSampleImage();
        image[0x200] = static_cast<char>(0x80);
        image[0x211] = 5;
        image[0x300] = 0x0A;
        QFile rom(file(QStringLiteral("x.rom")));
        rom.open(QIODevice::WriteOnly);
        rom.write(image);
        qputenv("ZOR_HOME", dir.path().toUtf8());
    }

    QString file(const QString& relative) const { return dir.filePath(relative); }

    void write(const QString& relative, const QStringList& lines, bool finalBreak = true) const
    {
        QDir().mkpath(QFileInfo(file(relative)).absolutePath());
        QFile out(file(relative));
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        out.write(*zor::EncodeCp932(lines.join(QStringLiteral("\r\n")) + (finalBreak ? QStringLiteral("\r\n") : QString())));
    }

    QString ini(const QString& relative, const QString& section, const QString& key) const
    {
        return zor::ReadIniWhole(section, key, file(relative));
    }

    QTemporaryDir dir;
};

struct Opened {
    std::unique_ptr<Folder> folder;
    FakeDialogs* dialogs;
    std::unique_ptr<zor::Form1> form;
};

inline Opened Open(bool expectMessages = false)
{
    Opened o{std::make_unique<Folder>(), nullptr, nullptr};
    auto dialogs = std::make_unique<FakeDialogs>();
    o.dialogs = dialogs.get();
    o.dialogs->messagesExpected = expectMessages;
    o.form = std::make_unique<zor::Form1>(std::move(dialogs));
    o.form->show();
    if (!QTest::qWaitForWindowExposed(o.form.get()))
        QTest::qFail("window not shown", __FILE__, __LINE__);
    o.dialogs->openPaths = {o.folder->file(QStringLiteral("x.rom"))};
    o.form->findChild<QAction*>(QStringLiteral("Read"))->trigger();
    return o;
}

inline void ClickTab(zor::Form1& form, int index)
{
    zor::TabStrip* tabs = form.findChild<zor::TabStrip*>(QStringLiteral("Tab1"));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index - 1).center());
    QCoreApplication::processEvents();
}

} // namespace zor::test
