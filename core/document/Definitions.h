#pragma once

// The definition files of a mode folder: name.idn (ID names), name.sna (offset and
// caption pairs) and name.ini (per-section settings) for each data set, 個別データ.sna
// and .ini for the individual data, 敵パラメータ.sna and .ini for the battle captions.

#include "core/files/Ini.h"
#include "core/files/ProgramFolder.h"
#include "core/files/Text.h"
#include "core/document/DocumentState.h"
#include "core/document/Problems.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace zor {

// Reads a definition file, reporting a missing or unreadable file with missingMessage,
// a file saved as UTF-8 once, and otherwise every line that is not valid CP932.
std::optional<TextLines> ReadDefinitionFile(const QString& path, const QString& missingMessage, ProblemLog& log);

// A settings file (ZOR.ini, a table's .ini), its encoding reported as a definition file's
// is; or why it wasn't read: a missing one quietly (missing(), which callers read as
// empty), one that exists but can't be read reported to the log as well.
[[nodiscard]] Result<IniFile> ReadSettingsFile(const QString& path, ProblemLog& log);

// The offset and caption pairs of a section list, read from the start up to the first
// empty line that stands where a pair begins.
struct SectionPair {
    QString offsetText;
    QString caption;
    int line = 0; // 1-based line of the offset
};
struct SectionPairs {
    std::vector<SectionPair> pairs; // complete pairs
    std::optional<SectionPair> unfinished; // an offset line whose caption line is missing
};
SectionPairs ReadSectionPairs(const TextLines& text);

// Offset text of a section list as a file offset (ParseOffset); an unusable one is reported,
// naming the file, the line and the text, and read as nullopt.
std::optional<std::int32_t> ReadOffset(const QString& path, const SectionPair& pair, ProblemLog& log);

// [Option] of ZOR.ini, read once per load.
struct ZorSettings {
    QString Mode;            // the mode folder's name; empty: the program folder is the mode folder
    int DefaultNotation = 0; // notation of sections without their own; 0 when missing or not a 16-bit number
    QString CSVNotation;     // as written; the CSV export compares it as text
    bool FixChecksum = false; // FixChecksum=1: a save writes the header checksum anew
    QString NotRead{};       // why ZOR.ini could not be read ("ファイルが見つかりません" …); empty when it was
};
ZorSettings ReadZorSettings(const QString& programFolder, ProblemLog& log);

// Whether a Mode names a folder directly inside the program folder (or, when empty, the
// program folder itself): no '/', no '\\', and neither "." nor "..".
bool IsModeFolderName(const QString& mode);

// Cells the tables of tab 1 may hold together. A data set counts (IDs + 1) × (sections + 1)
// cells, its names and headings included.
inline constexpr std::int64_t kMaxTableCells = std::int64_t{64} * 1024 * 1024;

// The definition files of tabs 2 and 3.
inline const QString kIndividualSna = QStringLiteral("個別データ.sna");
inline const QString kIndividualIni = QStringLiteral("個別データ.ini");
inline const QString kBattleSna = QStringLiteral("敵パラメータ.sna");
inline const QString kBattleIni = QStringLiteral("敵パラメータ.ini");

// Steps of a definitions load, in this order, with ModeFolder set and modeFiles its listing,
// in which every definition file is looked up.
void ScanModeFolder(DocumentState& doc, const FolderListing& modeFiles, ProblemLog& log);
void ReadSectionFiles(DocumentState& doc, const FolderListing& modeFiles, ProblemLog& log);
void ReadIdFiles(DocumentState& doc, const FolderListing& modeFiles, ProblemLog& log);
void LimitTableSizes(DocumentState& doc, const FolderListing& modeFiles, ProblemLog& log);
void ReadDataSetSettings(DocumentState& doc, const FolderListing& modeFiles, int defaultNotation, ProblemLog& log);
// 個別データ.sna and .ini: the entries' offsets, names and settings.
void ReadIndividualDefinitions(DocumentState& doc, const FolderListing& modeFiles, ProblemLog& log);
// 敵パラメータ.sna and .ini: the battle table's captions and settings.
void ReadBattleCaptions(DocumentState& doc, const FolderListing& modeFiles, ProblemLog& log);

// LimitTableSizes refuses, in order, each data set that would take the cells of all
// tables past kMaxTableCells: it keeps its name but gets no IDs and no sections.

// Mode name and folder from the settings, then the steps. A Mode that is no folder name
// is reported against ZOR.ini and leaves ModeFolder empty: no definition file is read.
void LoadDefinitions(DocumentState& doc, const QString& programFolder, const ZorSettings& settings, ProblemLog& log);
// The same with ZOR.ini read here.
void LoadDefinitions(DocumentState& doc, const QString& programFolder, ProblemLog& log);

// ModeFolder/name + extension, for a data set's files, found as FindFileIgnoringCase finds it.
QString DataSetFile(const DocumentState& doc, int dataSet, const QString& extension);
// The same, from a listing of the mode folder.
QString DataSetFile(const FolderListing& modeFiles, const DataSet& set, const QString& extension);

} // namespace zor
