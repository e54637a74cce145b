#include "core/document/Definitions.h"

#include "core/files/Ini.h"
#include "core/files/ReadFile.h"
#include "core/files/ProgramFolder.h"
#include "core/files/Numbers.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace zor {

namespace {

const QString kNotCp932 = QStringLiteral("Shift-JIS（CP932）として読めない文字があります。");
const QString kUtf8 = QStringLiteral("UTF-8 で保存されているようです。Shift-JIS で保存してください");

// Said once per file; the file is still read as CP932.
void ReportUtf8(const QString& path, QByteArrayView bytes, ProblemLog& log)
{
    if (LooksLikeUtf8(bytes))
        log.add(path, 0, kUtf8);
}

// Line counts past the 16-bit limit are cut to it, and said so.
int LimitCount(int count, const QString& path, const QString& what, ProblemLog& log)
{
    if (count <= kMaxSixteenBit)
        return count;
    log.add(path, 0, QStringLiteral("%1が多すぎます。先頭の %2 個だけを読みます。").arg(what).arg(kMaxSixteenBit));
    return kMaxSixteenBit;
}

} // namespace

std::optional<TextLines> ReadDefinitionFile(const QString& path, const QString& missingMessage, ProblemLog& log)
{
    FileError error;
    const std::optional<QByteArray> bytes = ReadRegularFile(path, kMaxTextFileSize, &error);
    if (!bytes) {
        log.add(path, 0, error.missing() ? missingMessage : QStringLiteral("ファイルを読めません（%1）。").arg(error.reason()));
        return std::nullopt;
    }
    ReportUtf8(path, *bytes, log);
    TextLines text = ToTextLines(*bytes);
    for (int line : text.badLines)
        log.add(path, line, kNotCp932);
    return text;
}

IniFile ReadSettingsFile(const QString& path, ProblemLog& log)
{
    FileError error;
    const std::optional<QByteArray> bytes = ReadRegularFile(path, kMaxTextFileSize, &error);
    if (error.failed() && !error.missing())
        log.add(path, 0, QStringLiteral("設定ファイルを読めません（%1）。").arg(error.reason()));
    if (!bytes)
        return IniFile();
    ReportUtf8(path, *bytes, log);
    const IniFile ini = IniFile::fromBytes(*bytes);
    for (int line : ini.badLines())
        log.add(path, line, kNotCp932);
    return ini;
}

SectionPairs ReadSectionPairs(const TextLines& text)
{
    SectionPairs out;
    const qsizetype count = text.lines.size();
    qsizetype i = 0;
    while (i < count && !text.lines[i].isEmpty()) {
        SectionPair pair{text.lines[i], QString(), static_cast<int>(i) + 1};
        if (i + 1 >= count) {
            out.unfinished = pair;
            break;
        }
        pair.caption = text.lines[i + 1];
        out.pairs.push_back(pair);
        i += 2;
    }
    return out;
}

std::optional<std::int32_t> ReadOffset(const QString& path, const SectionPair& pair, ProblemLog& log)
{
    const std::optional<std::int32_t> offset = HexTextToLong(pair.offsetText);
    if (!offset)
        log.add(path, pair.line,
                QStringLiteral("オフセット「%1」を読めません。16進数で 0 から 7FFFFFFF までを書いてください。")
                    .arg(pair.offsetText));
    return offset;
}

QString DataSetFile(const DocumentState& doc, int dataSet, const QString& extension)
{
    return FindFileIgnoringCase(doc.ModeFolder, doc.DataSetNames(dataSet) + extension);
}

int LargestSectionCount(const DocumentState& doc)
{
    int largest = 0;
    for (int k = 1; k <= doc.DataSetCount; ++k)
        largest = std::max(largest, doc.SectionCounts(k));
    return largest;
}

void ScanModeFolder(DocumentState& doc, ProblemLog& log)
{
    // A mode without a "クラス" data set has no class names, whatever an earlier mode had.
    doc.ClassDataSet = 0;
    doc.DataSetCount = 0;
    doc.DataSetNames.redim(1);

    const QDir folder(doc.ModeFolder);
    if (!QFileInfo(doc.ModeFolder).isDir()) {
        log.add(doc.ModeFolder, 0, QStringLiteral("モードフォルダが見つかりません。"));
        return;
    }
    QFileInfoList files = folder.entryInfoList(QDir::Files | QDir::Hidden, QDir::NoSort);
    // Sorted by name, ignoring letter case, so that data set numbers do not depend on the file system.
    std::sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
        const int c = a.fileName().compare(b.fileName(), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.fileName() < b.fileName();
    });
    QStringList names;
    for (const QFileInfo& file : files)
        if (file.suffix().compare(QStringLiteral("idn"), Qt::CaseInsensitive) == 0)
            names.push_back(file.completeBaseName());
    const int count = LimitCount(static_cast<int>(names.size()), doc.ModeFolder, QStringLiteral("データセット"), log);

    doc.DataSetNames.redim(count + 1);
    for (int c = 1; c <= count; ++c) {
        doc.DataSetNames(c) = names[c - 1];
        if (names[c - 1] == QStringLiteral("クラス"))
            doc.ClassDataSet = c;
    }
    doc.DataSetCount = count;
}

void ReadSectionFiles(DocumentState& doc, ProblemLog& log)
{
    const int s = doc.DataSetCount;
    std::vector<std::optional<TextLines>> files(static_cast<std::size_t>(s) + 1);
    std::vector<QString> paths(static_cast<std::size_t>(s) + 1);
    doc.SectionCounts.redim(s + 1);
    int largest = 0;
    for (int k = 1; k <= s; ++k) {
        const QString& path = paths[k] = DataSetFile(doc, k, QStringLiteral(".sna"));
        files[k] = ReadDefinitionFile(path, QStringLiteral("データセットのセクション定義ファイル（.sna）がありません。"), log);
        if (!files[k])
            continue;
        doc.SectionCounts(k) = LimitCount(files[k]->lineCount / 2, path, QStringLiteral("セクション"), log);
        largest = std::max(largest, doc.SectionCounts(k));
    }

    doc.SectionAddresses.redim(s + 1, largest + 1);
    doc.SectionAddressUnusable.redim(s + 1, largest + 1);
    doc.SectionNames.redim(s + 1, largest + 1);
    for (int k = 1; k <= s; ++k) {
        if (!files[k])
            continue;
        const QString& path = paths[k];
        const SectionPairs read = ReadSectionPairs(*files[k]);
        int j = 0;
        for (const SectionPair& pair : read.pairs) {
            if (++j > doc.SectionCounts(k))
                break;
            const std::optional<std::int32_t> offset = ReadOffset(path, pair, log);
            doc.SectionAddresses(k, j) = offset.value_or(0);
            doc.SectionAddressUnusable(k, j) = offset ? 0 : 1;
            doc.SectionNames(k, j) = pair.caption;
        }
        if (read.unfinished) {
            log.add(path, read.unfinished->line + 1, QStringLiteral("ファイルがオフセットの行で終わり、見出しの行がありません。"));
            // The offset of the unfinished pair was read before the caption was missed.
            if (++j <= doc.SectionCounts(k)) {
                const std::optional<std::int32_t> offset = ReadOffset(path, *read.unfinished, log);
                doc.SectionAddresses(k, j) = offset.value_or(0);
                doc.SectionAddressUnusable(k, j) = offset ? 0 : 1;
            }
        }
    }
}

void ReadIdFiles(DocumentState& doc, ProblemLog& log)
{
    const int s = doc.DataSetCount;
    std::vector<std::optional<TextLines>> files(static_cast<std::size_t>(s) + 1);
    doc.IdCounts.redim(s + 1);
    doc.MaxIdCount = 0;
    for (int k = 1; k <= s; ++k) {
        const QString path = DataSetFile(doc, k, QStringLiteral(".idn"));
        files[k] = ReadDefinitionFile(path, QStringLiteral("ID定義ファイル（.idn）がありません。"), log);
        if (!files[k])
            continue;
        doc.IdCounts(k) = LimitCount(files[k]->lineCount, path, QStringLiteral("ID"), log);
        doc.MaxIdCount = std::max(doc.MaxIdCount, doc.IdCounts(k));
    }

    doc.IdNames.redim(s + 1, doc.MaxIdCount + 1);
    for (int k = 1; k <= s; ++k) {
        if (!files[k])
            continue;
        int n = 0;
        for (const QString& line : files[k]->lines) {
            if (line.isEmpty() || n >= doc.IdCounts(k))
                break;
            doc.IdNames(k, ++n) = line;
        }
    }
}

void ReadDataSetSettings(DocumentState& doc, int defaultNotation, ProblemLog& log)
{
    doc.SettingKeys.redim(3);
    doc.SettingKeys(SettingByte) = QStringLiteral("Byte");
    doc.SettingKeys(SettingStep) = QStringLiteral("Step");
    doc.SettingKeys(SettingNotation) = QStringLiteral("Notation");
    doc.SettingDefaults.redim(3);
    doc.SettingDefaults(SettingByte) = 1;
    doc.SettingDefaults(SettingStep) = 1;
    doc.SettingDefaults(SettingNotation) = defaultNotation;

    const int s = doc.DataSetCount;
    doc.SectionSettings.redim(2, 4, s + 1, LargestSectionCount(doc) + 1);
    for (int k = 1; k <= s; ++k) {
        const QString path = DataSetFile(doc, k, QStringLiteral(".ini"));
        const IniFile ini = ReadSettingsFile(path, log);
        for (int setting : {SettingStep, SettingNotation})
            for (int q = 1; q <= doc.SectionCounts(k); ++q)
                doc.SectionSettings(setting, TabIdSection, k, q) = static_cast<std::int16_t>(
                    ToInt16(ini.value(doc.SettingKeys(setting), QStringLiteral("Section%1").arg(q)))
                        .value_or(static_cast<std::int16_t>(doc.SettingDefaults(setting))));
    }
}

ZorSettings ReadZorSettings(const QString& programFolder, ProblemLog& log)
{
    const QString zorIni = ZorIniPath(programFolder);
    const IniFile ini = ReadSettingsFile(zorIni, log);
    const QString option = QStringLiteral("Option");
    ZorSettings settings;
    settings.Mode = ini.value(option, QStringLiteral("Mode"));
    settings.DefaultNotation = ToInt16(ini.value(option, QStringLiteral("DefaultNotation"))).value_or(0);
    settings.CSVNotation = ini.value(option, QStringLiteral("CSVNotation"));
    return settings;
}

void LoadDefinitions(DocumentState& doc, const QString& programFolder, const ZorSettings& settings, ProblemLog& log)
{
    doc.ModeName = settings.Mode;
    doc.ModeFolder = JoinPath(programFolder, doc.ModeName);
    ScanModeFolder(doc, log);
    ReadSectionFiles(doc, log);
    ReadIdFiles(doc, log);
    ReadDataSetSettings(doc, settings.DefaultNotation, log);
}

void LoadDefinitions(DocumentState& doc, const QString& programFolder, ProblemLog& log)
{
    LoadDefinitions(doc, programFolder, ReadZorSettings(programFolder, log), log);
}

} // namespace zor
