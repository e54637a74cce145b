#pragma once

#include "core/files/Failure.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

namespace zor {

// Where the program folder was found.
enum class ProgramFolderSource { Environment, Executable, UserData };

struct ProgramFolderChoice {
    QString path;
    ProgramFolderSource source = ProgramFolderSource::Environment;
    // Whether the folder can be written to; else why not (missing, not creatable,
    // read-only), naming it. Images open and save all the same.
    Result<void> writable;
};

// The rule that finds the program folder, from its three inputs: zorHome when it is
// not empty; else executableFolder when it holds definitions, so that the build folder
// and a portable copy work where they are; else dataFolder, created when missing.
ProgramFolderChoice ChooseProgramFolder(const QString& zorHome, const QString& executableFolder,
                                        const QString& dataFolder);

// The rule over ZOR_HOME, the running executable's folder and UserDataFolder().
// Needs a QCoreApplication.
ProgramFolderChoice ChooseProgramFolder();

// The same rule for a program that only reads: nothing is made and nothing checked
// (writable stays a success), so a data folder that is missing stays missing.
ProgramFolderChoice FindProgramFolder(const QString& zorHome, const QString& executableFolder,
                                      const QString& dataFolder);

// FindProgramFolder over ZOR_HOME, the running executable's folder and UserDataFolder(),
// as a path. Needs a QCoreApplication.
QString ProgramFolderToRead();

// The folder that holds ZOR.ini, the mode folders and the CSV files: ChooseProgramFolder().path.
QString ProgramFolder();

// The program folder of an image opened without one of its own (読み込む, a drop, the
// command line): the folder the user chose, else the open image's, else rule()'s, which
// is asked only then (the rule may make the user's data folder).
QString ProgramFolderToOpen(const QString& chosen, const QString& openImages, const std::function<QString()>& rule);

// The user's own data folder (~/.local/share/ZOR/zor once SetApplicationNames ran).
QString UserDataFolder();

// True when folder holds a ZOR.ini or a mode's definitions (.idn or .sna files) itself.
bool HoldsDefinitions(const QString& folder);

// The ZOR.ini of a program folder.
QString ZorIniPath(const QString& programFolder);

// Makes folder and the folders above it that are missing; refused when it can't be made
// or something else stands there.
[[nodiscard]] Result<void> MakeFolder(const QString& folder);

// A path inside a folder, with '/' separators whatever the user wrote.
QString JoinPath(const QString& folder, const QString& name);

// The file called name in folder, matched without regard to letter case as on the
// system the definition files come from; the exact name wins, and a file that does
// not exist yet is folder/name. Lists the folder when the exact name isn't there.
QString FindFileIgnoringCase(const QString& folder, const QString& name);

// A folder listed once, so that a load can look up thousands of names as
// FindFileIgnoringCase does without listing the folder again for each one that is missing.
// What changes in the folder afterwards is not seen.
class FolderListing {
public:
    FolderListing() = default; // no folder: every name is missing
    explicit FolderListing(const QString& folder);

    // FindFileIgnoringCase(folder, name), from the listing.
    QString find(const QString& name) const;

    // The names of the entries that are no folders, in no particular order: a pipe or a
    // device is listed, so that a read of it is refused with a message, not passed over.
    const QStringList& files() const { return files_; }

private:
    QString folder_;
    QSet<QString> entries_;               // every entry that exists, for the exact name
    QHash<QString, QString> filesByFold_; // a file's case-folded name to the first such name
    QStringList files_;
};

} // namespace zor
