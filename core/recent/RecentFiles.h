#pragma once

// The images opened or saved lately, newest first, each with the program folder it was
// opened with: a folder chosen for one image (the sample's) stays with that image.

#include <QString>

#include <vector>

class QSettings;

namespace zor {

struct RecentFile {
    QString image;
    QString programFolder;

    bool operator==(const RecentFile&) const = default;
};

class RecentFiles {
public:
    static constexpr int kLimit = 8;

    const std::vector<RecentFile>& entries() const { return entries_; }

    // Puts image at the top with its folder; an entry for the same image goes, and the
    // oldest entries past kLimit too. Paths are made absolute; an empty image is ignored.
    void add(const QString& image, const QString& programFolder);
    // Takes the entry of image away; false when there was none.
    bool remove(const QString& image);
    void clear() { entries_.clear(); }

    // The list as the user's settings hold it. Settings are a file anyone can edit: empty,
    // repeated and surplus entries are dropped as add() would drop them.
    static RecentFiles Load(QSettings& settings);
    void store(QSettings& settings) const;

private:
    std::vector<RecentFile> entries_;
};

} // namespace zor
