#include "core/recent/RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace zor {

namespace {

QString Absolute(const QString& path) { return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

constexpr char kGroup[] = "recentFiles";
constexpr char kImage[] = "image";
constexpr char kFolder[] = "programFolder";

} // namespace

void RecentFiles::add(const QString& image, const QString& programFolder)
{
    const QString path = Absolute(image);
    if (path.isEmpty())
        return;
    remove(path);
    entries_.insert(entries_.begin(), RecentFile{path, Absolute(programFolder)});
    if (entries_.size() > std::size_t(kLimit))
        entries_.resize(kLimit);
}

bool RecentFiles::remove(const QString& image)
{
    const QString path = Absolute(image);
    const auto gone = std::remove_if(entries_.begin(), entries_.end(), [&](const RecentFile& e) { return e.image == path; });
    const bool found = gone != entries_.end();
    entries_.erase(gone, entries_.end());
    return found;
}

RecentFiles RecentFiles::Load(QSettings& settings)
{
    std::vector<RecentFile> stored;
    const int count = settings.beginReadArray(QLatin1StringView(kGroup));
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        stored.push_back({settings.value(QLatin1StringView(kImage)).toString(),
                          settings.value(QLatin1StringView(kFolder)).toString()});
    }
    settings.endArray();
    // Oldest first through add(), so that the first of two copies ends up on top.
    RecentFiles list;
    for (auto it = stored.rbegin(); it != stored.rend(); ++it)
        list.add(it->image, it->programFolder);
    return list;
}

void RecentFiles::store(QSettings& settings) const
{
    settings.remove(QLatin1StringView(kGroup));
    settings.beginWriteArray(QLatin1StringView(kGroup), int(entries_.size()));
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        settings.setArrayIndex(int(i));
        settings.setValue(QLatin1StringView(kImage), entries_[i].image);
        settings.setValue(QLatin1StringView(kFolder), entries_[i].programFolder);
    }
    settings.endArray();
}

} // namespace zor
