#include "core/recent/RecentFiles.h"

#include "tests/support/ModeFolder.h"

#include <QSettings>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

QStringList Images(const RecentFiles& list)
{
    QStringList images;
    for (const RecentFile& e : list.entries())
        images << e.image;
    return images;
}

TEST(RecentFiles, NewestFirstEachOnceAtMostEight)
{
    RecentFiles list;
    for (int i = 2; i <= 10; ++i)
        list.add(u"/r/%1.sfc"_s.arg(i), u"/pf"_s);
    ASSERT_EQ(list.entries().size(), std::size_t(RecentFiles::kLimit));
    EXPECT_EQ(std::pair(list.entries().front().image, list.entries().back().image), std::pair(u"/r/10.sfc"_s, u"/r/3.sfc"_s)); // 2 fell off

    // Opened again, with another folder: to the top, once, with the new folder.
    list.add(u"/r/5.sfc"_s, u"/sample"_s);
    EXPECT_EQ(Images(list), (QStringList{u"/r/5.sfc"_s, u"/r/10.sfc"_s, u"/r/9.sfc"_s, u"/r/8.sfc"_s, u"/r/7.sfc"_s, u"/r/6.sfc"_s,
                                         u"/r/4.sfc"_s, u"/r/3.sfc"_s})); // the oldest stays: nothing was added
    EXPECT_EQ(list.entries().front().programFolder, u"/sample"_s);

    // The same file by another spelling is the same entry.
    list.add(u"/r/x/../3.sfc"_s, u"/pf"_s);
    EXPECT_EQ(std::pair(Images(list).count(u"/r/3.sfc"_s), list.entries().front().image), std::pair(qsizetype{1}, u"/r/3.sfc"_s));

    EXPECT_TRUE(list.remove(u"/r/10.sfc"_s));
    EXPECT_FALSE(list.remove(u"/r/10.sfc"_s) || Images(list).contains(u"/r/10.sfc"_s));
    list.add(QString(), u"/pf"_s);
    EXPECT_EQ(list.entries().size(), std::size_t(RecentFiles::kLimit - 1));
}

TEST(RecentFiles, SettingsRoundTripAndDistrustedEntries)
{
    test::ProgramFolder dir;
    const QString file = dir.file(u"zor.conf"_s);
    RecentFiles list;
    list.add(u"/r/a.sfc"_s, u"/pf"_s);
    list.add(u"/r/b.sfc"_s, u"/sample"_s);
    const auto stored = [&] {
        QSettings settings(file, QSettings::IniFormat);
        return RecentFiles::Load(settings);
    };
    const auto store = [&](const RecentFiles& l) {
        QSettings settings(file, QSettings::IniFormat);
        l.store(settings);
    };
    store(list);
    EXPECT_EQ(stored().entries(), list.entries());
    // A shorter list leaves none of the longer one behind.
    RecentFiles one;
    one.add(u"/r/c.sfc"_s, u"/pf"_s);
    store(one);
    EXPECT_EQ(Images(stored()), QStringList{u"/r/c.sfc"_s});

    // Edited by hand: a blank entry, a repeated one and too many; the first copy is the newest.
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.beginWriteArray(u"recentFiles"_s, 12);
        for (int i = 0; i < 12; ++i) {
            settings.setArrayIndex(i);
            settings.setValue(u"image"_s, i == 1 ? QString() : i == 3 ? u"/r/0.sfc"_s : u"/r/%1.sfc"_s.arg(i));
            settings.setValue(u"programFolder"_s, u"/pf%1"_s.arg(i));
        }
        settings.endArray();
    }
    const RecentFiles loaded = stored();
    EXPECT_EQ(Images(loaded), (QStringList{u"/r/0.sfc"_s, u"/r/2.sfc"_s, u"/r/4.sfc"_s, u"/r/5.sfc"_s, u"/r/6.sfc"_s,
                                           u"/r/7.sfc"_s, u"/r/8.sfc"_s, u"/r/9.sfc"_s}));
    EXPECT_EQ(loaded.entries().front().programFolder, u"/pf0"_s);
}

} // namespace
} // namespace zor
