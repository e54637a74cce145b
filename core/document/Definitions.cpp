#include "core/document/Definitions.h"

#include "core/files/Ini.h"
#include "core/files/ReadFile.h"
#include "core/files/ProgramFolder.h"
#include "core/files/Numbers.h"

#include <QFileInfo>

#include <algorithm>
#include <functional>

namespace zor {

namespace {

const QString kNotCp932 = QStringLiteral("Shift-JIS（CP932）として読めない文字があります。");
const QString kUtf8 = QStringLiteral("UTF-8 で保存されているようです。Shift-JIS で保存してください");
constexpr int kMaxBattleSectionNames = 26;
constexpr int kMaxCellSize = 4;

// A file saved as UTF-8 is said so once, not once more for each line it garbles; another
// file names each line that is not CP932. Either is still read as CP932.
void ReportEncoding(const QString& path, QByteArrayView bytes, const std::vector<int>& badLines, ProblemLog& log)
{
    if (LooksLikeUtf8(bytes)) {
        log.add(path, 0, kUtf8);
        return;
    }
    for (int line : badLines)
        log.add(path, line, kNotCp932);
}

// Line counts past the 16-bit limit are cut to it, and said so.
int LimitCount(int count, const QString& path, const QString& what, ProblemLog& log)
{
    if (count <= kMaxSixteenBit)
        return count;
    log.add(path, 0, QStringLiteral("%1が多すぎます。先頭の %2 個だけを読みます。").arg(what).arg(kMaxSixteenBit));
    return kMaxSixteenBit;
}

// Sections or entries counted from the line count past the pairs that could be read (an
// empty line ended them) have no offset: they are unusable, never read or written.
void MarkUnread(NdArray<std::uint8_t, 1>& unusable, int read, int count, const QString& path, const QString& what,
                ProblemLog& log)
{
    if (read >= count)
        return;
    for (int j = read + 1; j <= count; ++j)
        unusable(j) = 1;
    log.add(path, 2 * read + 1,
            QStringLiteral("組がここで途切れています。行数から数えた残りの %1 個の%2にはオフセットがないため、読みも書きもしません。")
                .arg(count - read)
                .arg(what));
}

// The data set a [Names] value names: the one of exactly that name, else the first whose
// name differs only in letter case, as the data set box shows them; 0 when none does.
int FindDataSet(const DocumentState& doc, const QString& name)
{
    int match = 0;
    for (int k = 1; k <= doc.DataSetCount; ++k) {
        if (doc.DataSets(k).Name == name)
            return k;
        if (match == 0 && doc.DataSets(k).Name.compare(name, Qt::CaseInsensitive) == 0)
            match = k;
    }
    return match;
}

// The most bytes a section's cell may take and, for a size past that, why.
struct SizeBound {
    int bytes = kMaxCellSize;
    QString why;
};

// The [Size], [Names] and [Bits] of one section of a table's .ini (key "SectionN"). The
// lists are read whole: 32 names of flags easily pass the 254 bytes of a [Step] value.
// Every problem is reported; a section with any is a one-byte number.
CellType ReadCellType(const DocumentState& doc, const IniFile& ini, const QString& path, const QString& key,
                      const SizeBound& bound, const QString& what, ProblemLog& log)
{
    const QString sizeText = ini.value(QStringLiteral("Size"), key);
    const QString namesText = ini.wholeValue(QStringLiteral("Names"), key);
    const QString bitsText = ini.wholeValue(QStringLiteral("Bits"), key);
    bool bad = false;
    const auto problem = [&](const QString& section, const QString& value, const QString& said) {
        log.add(path, 0,
                QStringLiteral("[%1] の %2 の「%3」%4この%5は 1 バイトの数として読みます。")
                    .arg(section, key, QuoteText(value), said, what));
        bad = true;
    };

    CellType type;
    if (!sizeText.isEmpty()) {
        const std::optional<std::int16_t> size = ToInt16(sizeText);
        if (!size || *size < 1 || *size > kMaxCellSize) {
            problem(QStringLiteral("Size"), sizeText, QStringLiteral("は大きさとして使えません。1、2、3、4 のどれかを書いてください。"));
        } else {
            type.Size = *size; // the bits are counted against the size written, whatever else is wrong
            if (*size > bound.bytes)
                problem(QStringLiteral("Size"), sizeText, bound.why);
        }
    }
    if (!namesText.isEmpty() && !bitsText.isEmpty()) {
        log.add(path, 0,
                QStringLiteral("%1 に [Names]「%2」と [Bits]「%3」の両方があります。どちらか一方だけにしてください。"
                               "この%4は 1 バイトの数として読みます。")
                    .arg(key, QuoteText(namesText), QuoteText(bitsText), what));
        bad = true;
    } else if (!namesText.isEmpty()) {
        type.NamesDataSet = FindDataSet(doc, namesText);
        if (type.NamesDataSet == 0)
            problem(QStringLiteral("Names"), namesText, QStringLiteral("という名前のデータセットはありません。"));
    } else if (!bitsText.isEmpty()) {
        QStringList names;
        for (QStringView name : QStringView(bitsText).split(u','))
            names.push_back(WithoutBlanks(name).toString());
        const int bits = 8 * type.Size;
        if (names.size() > bits)
            problem(QStringLiteral("Bits"), bitsText,
                    QStringLiteral("には名前が %1 個あり、%2 バイトのビットの数 %3 より多くなっています。")
                        .arg(names.size())
                        .arg(type.Size)
                        .arg(bits));
        while (names.size() < bits)
            names.push_back(QString());
        type.Bits = names;
    }
    return bad ? CellType{} : type;
}

// The types of sections 1..count of a table's .ini, each bounded by bound(section).
void ReadCellTypes(const DocumentState& doc, const IniFile& ini, const QString& path, int count,
                   const std::function<SizeBound(int)>& bound, const QString& what, NdArray<CellType, 1>& types,
                   ProblemLog& log)
{
    types.redim(count + 1);
    for (int j = 1; j <= count; ++j)
        types(j) = ReadCellType(doc, ini, path, QStringLiteral("Section%1").arg(j), bound(j), what, log);
}

// A battle field starting at byte j ends by byte 25 of its record.
SizeBound BattleBound(int j)
{
    return SizeBound{std::min(kMaxCellSize, kBattleRecordSize + 1 - j),
                     QStringLiteral("では %1 バイト目から始まる値が %2 バイト目を越えます。").arg(j).arg(kBattleRecordSize)};
}

// Byte and Notation settings and the types of the tab-2 or tab-3 table, sections 1..count,
// from its .ini.
void ReadTableSettings(const DocumentState& doc, NdArray<std::int16_t, 2>& settings, NdArray<CellType, 1>& types,
                       int count, const QString& iniPath, const std::function<SizeBound(int)>& bound,
                       const QString& what, ProblemLog& log)
{
    settings.redim(2, count + 1);
    const IniFile ini = iniPath.isEmpty() ? IniFile() : ReadSettingsFile(iniPath, log).value_or(IniFile());
    for (int setting : {SettingByte, SettingNotation})
        for (int j = 1; j <= count; ++j)
            settings(setting, j) = ToInt16(ini.value(doc.SettingKeys(setting), QStringLiteral("Section%1").arg(j)))
                                       .value_or(static_cast<std::int16_t>(doc.SettingDefaults(setting)));
    ReadCellTypes(doc, ini, iniPath, count, bound, what, types, log);
}

} // namespace

std::optional<TextLines> ReadDefinitionFile(const QString& path, const QString& missingMessage, ProblemLog& log)
{
    const Result<QByteArray> bytes = ReadRegularFile(path, kMaxTextFileSize);
    if (!bytes) {
        const Failure& failure = bytes.failure();
        log.add(path, 0, failure.missing() ? missingMessage : failure.said(QStringLiteral("ファイルを読めません")).message());
        return std::nullopt;
    }
    TextLines text = ToTextLines(*bytes);
    ReportEncoding(path, *bytes, text.badLines, log);
    return text;
}

Result<IniFile> ReadSettingsFile(const QString& path, ProblemLog& log)
{
    const Result<QByteArray> bytes = ReadRegularFile(path, kMaxTextFileSize);
    if (!bytes) {
        if (!bytes.failure().missing())
            log.add(path, 0, bytes.failure().said(QStringLiteral("設定ファイルを読めません")).message());
        return bytes.failure();
    }
    const IniFile ini = IniFile::fromBytes(*bytes);
    ReportEncoding(path, *bytes, ini.badLines(), log);
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
    const std::optional<std::int32_t> offset = ParseOffset(pair.offsetText);
    if (!offset)
        log.add(path, pair.line,
                QStringLiteral("オフセット「%1」を読めません。0 から 7FFFFFFF までの16進数だけを書いてください"
                               "（前に 0x か $ を付けてもかまいません）。")
                    .arg(QuoteText(pair.offsetText)));
    return offset;
}

bool IsModeFolderName(const QString& mode)
{
    // "." would make the program folder its own mode folder, ".." leave it; "a..b" is a name.
    return mode != u'.' && mode != QStringLiteral("..") && !mode.contains(u'/') && !mode.contains(u'\\');
}

QString DataSetFile(const DocumentState& doc, int dataSet, const QString& extension)
{
    return FindFileIgnoringCase(doc.ModeFolder, doc.DataSets(dataSet).Name + extension);
}

QString DataSetFile(const FolderListing& modeFiles, const DataSet& set, const QString& extension)
{
    return modeFiles.find(set.Name + extension);
}

void ScanModeFolder(DocumentState& doc, const FolderListing& modeFiles, ProblemLog& log)
{
    // A mode without a "クラス" data set has no class names, whatever an earlier mode had.
    doc.ClassDataSet = 0;
    doc.DataSetCount = 0;
    doc.DataSets.redim(1);

    if (doc.ModeFolder.isEmpty())
        return; // no mode folder: the problem is ZOR.ini's, already reported
    if (!QFileInfo(doc.ModeFolder).isDir()) {
        log.add(doc.ModeFolder, 0, QStringLiteral("モードフォルダが見つかりません。"));
        return;
    }
    QStringList files = modeFiles.files();
    // Sorted by name, ignoring letter case, so that data set numbers do not depend on the file system.
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    const QString idn = QStringLiteral(".idn");
    QStringList names;
    for (const QString& file : files)
        if (file.endsWith(idn, Qt::CaseInsensitive))
            names.push_back(file.chopped(idn.size()));
    const int count = LimitCount(static_cast<int>(names.size()), doc.ModeFolder, QStringLiteral("データセット"), log);

    doc.DataSets.redim(count + 1);
    for (int c = 1; c <= count; ++c) {
        doc.DataSets(c).Name = names[c - 1];
        if (names[c - 1] == QStringLiteral("クラス"))
            doc.ClassDataSet = c;
    }
    doc.DataSetCount = count;
}

void ReadSectionFiles(DocumentState& doc, const FolderListing& modeFiles, ProblemLog& log)
{
    for (int k = 1; k <= doc.DataSetCount; ++k) {
        DataSet& set = doc.DataSets(k);
        const QString path = DataSetFile(modeFiles, set, QStringLiteral(".sna"));
        const std::optional<TextLines> file =
            ReadDefinitionFile(path, QStringLiteral("データセットのセクション定義ファイル（.sna）がありません。"), log);
        set.SectionCount = file ? LimitCount(file->lineCount / 2, path, QStringLiteral("セクション"), log) : 0;
        set.SectionAddresses.redim(set.SectionCount + 1);
        set.SectionAddressUnusable.redim(set.SectionCount + 1);
        set.SectionNames.redim(set.SectionCount + 1);
        if (!file)
            continue;
        const SectionPairs read = ReadSectionPairs(*file);
        int j = 0;
        for (const SectionPair& pair : read.pairs) {
            if (++j > set.SectionCount)
                break;
            const std::optional<std::int32_t> offset = ReadOffset(path, pair, log);
            set.SectionAddresses(j) = offset.value_or(0);
            set.SectionAddressUnusable(j) = offset ? 0 : 1;
            set.SectionNames(j) = pair.caption;
        }
        if (read.unfinished) {
            log.add(path, read.unfinished->line + 1, QStringLiteral("ファイルがオフセットの行で終わり、見出しの行がありません。"));
            // The offset of the unfinished pair was read before the caption was missed.
            if (++j <= set.SectionCount) {
                const std::optional<std::int32_t> offset = ReadOffset(path, *read.unfinished, log);
                set.SectionAddresses(j) = offset.value_or(0);
                set.SectionAddressUnusable(j) = offset ? 0 : 1;
            }
        }
        MarkUnread(set.SectionAddressUnusable, std::min(j, set.SectionCount), set.SectionCount, path,
                   QStringLiteral("セクション"), log);
    }
}

void ReadIdFiles(DocumentState& doc, const FolderListing& modeFiles, ProblemLog& log)
{
    for (int k = 1; k <= doc.DataSetCount; ++k) {
        DataSet& set = doc.DataSets(k);
        const QString path = DataSetFile(modeFiles, set, QStringLiteral(".idn"));
        const std::optional<TextLines> file = ReadDefinitionFile(path, QStringLiteral("ID定義ファイル（.idn）がありません。"), log);
        set.IdCount = file ? LimitCount(file->lineCount, path, QStringLiteral("ID"), log) : 0;
        set.IdNames.redim(set.IdCount + 1);
        if (!file)
            continue;
        int n = 0;
        for (const QString& line : file->lines) {
            if (line.isEmpty() || n >= set.IdCount)
                break;
            set.IdNames(++n) = line;
        }
    }
}

void LimitTableSizes(DocumentState& doc, const FolderListing& modeFiles, ProblemLog& log)
{
    std::int64_t total = 0;
    for (int k = 1; k <= doc.DataSetCount; ++k) {
        DataSet& set = doc.DataSets(k);
        const std::int64_t cells = std::int64_t{set.IdCount + 1} * (set.SectionCount + 1);
        if (total + cells <= kMaxTableCells) {
            total += cells;
            continue;
        }
        log.add(DataSetFile(modeFiles, set, QStringLiteral(".idn")), 0,
                QStringLiteral("ID %1 個 × セクション %2 個の表を加えると、全部の表のセルが上限の %3 個を超えるため、"
                               "このデータセットは読みません。")
                    .arg(set.IdCount)
                    .arg(set.SectionCount)
                    .arg(kMaxTableCells));
        // Only the name stays: the arrays are released, not just emptied.
        DataSet refused;
        refused.Name = set.Name;
        set = std::move(refused);
    }
}

void ReadDataSetSettings(DocumentState& doc, const FolderListing& modeFiles, int defaultNotation, ProblemLog& log)
{
    doc.SettingKeys.redim(3);
    doc.SettingKeys(SettingByte) = QStringLiteral("Byte");
    doc.SettingKeys(SettingStep) = QStringLiteral("Step");
    doc.SettingKeys(SettingNotation) = QStringLiteral("Notation");
    doc.SettingDefaults.redim(3);
    doc.SettingDefaults(SettingByte) = 1;
    doc.SettingDefaults(SettingStep) = 1;
    doc.SettingDefaults(SettingNotation) = defaultNotation;

    for (int k = 1; k <= doc.DataSetCount; ++k) {
        DataSet& set = doc.DataSets(k);
        set.SectionSettings.redim(2, set.SectionCount + 1);
        const QString path = DataSetFile(modeFiles, set, QStringLiteral(".ini"));
        const Result<IniFile> read = ReadSettingsFile(path, log);
        // Its steps are unknown, so every cell's place is: nothing of it may be written.
        set.SettingsUnreadable = !read && !read.failure().missing();
        const IniFile ini = read.value_or(IniFile());
        for (int setting : {SettingStep, SettingNotation})
            for (int q = 1; q <= set.SectionCount; ++q)
                set.SectionSettings(setting, q) = static_cast<std::int16_t>(
                    ToInt16(ini.value(doc.SettingKeys(setting), QStringLiteral("Section%1").arg(q)))
                        .value_or(static_cast<std::int16_t>(doc.SettingDefaults(setting))));
        // A cell wider than the step would share bytes with the next ID's (every size is, at step 0).
        const auto bound = [&set](int q) {
            const int step = std::abs(set.SectionSettings(SettingStep, q));
            return SizeBound{step, QStringLiteral("はステップの幅 %1 バイトより大きく、隣り合う ID のセルがバイトを共有してしまいます。")
                                       .arg(step)};
        };
        ReadCellTypes(doc, ini, path, set.SectionCount, bound, QStringLiteral("セクション"), set.SectionTypes, log);
    }
}

void ReadIndividualDefinitions(DocumentState& doc, const FolderListing& modeFiles, ProblemLog& log)
{
    doc.IndividualCount = 0;
    doc.IndividualAddresses.redim(1);
    doc.IndividualAddressUnusable.redim(1);
    doc.IndividualNames.redim(1);
    if (doc.ModeFolder.isEmpty()) {
        doc.IndividualSettings.redim(2, 1);
        doc.IndividualTypes.redim(1);
        return;
    }

    const QString path = modeFiles.find(kIndividualSna);
    const std::optional<TextLines> text =
        ReadDefinitionFile(path, QStringLiteral("個別データの定義ファイルがありません。"), log);
    if (text) {
        int count = text->lineCount / 2;
        if (count > kMaxSixteenBit) {
            log.add(path, 0, QStringLiteral("個別データが多すぎます。先頭の %1 個だけを読みます。").arg(kMaxSixteenBit));
            count = kMaxSixteenBit;
        }
        doc.IndividualCount = count;
        doc.IndividualAddresses.redim(count + 1);
        doc.IndividualAddressUnusable.redim(count + 1);
        doc.IndividualNames.redim(count + 1);

        const SectionPairs read = ReadSectionPairs(*text);
        std::vector<SectionPair> pairs = read.pairs;
        if (read.unfinished) {
            log.add(path, read.unfinished->line + 1, QStringLiteral("ファイルがオフセットの行で終わり、名前の行がありません。"));
            pairs.push_back(*read.unfinished);
        }
        int j = 0;
        for (const SectionPair& pair : pairs) {
            if (++j > count)
                break;
            const std::optional<std::int32_t> offset = ReadOffset(path, pair, log);
            doc.IndividualAddresses(j) = offset.value_or(0);
            doc.IndividualAddressUnusable(j) = offset ? 0 : 1;
            doc.IndividualNames(j) = pair.caption;
        }
        MarkUnread(doc.IndividualAddressUnusable, std::min(j, count), count, path, QStringLiteral("項目"), log);
    }
    // Entries have no step: each is where its offset says, and may overlap another as sections may.
    ReadTableSettings(doc, doc.IndividualSettings, doc.IndividualTypes, doc.IndividualCount,
                      modeFiles.find(kIndividualIni), [](int) { return SizeBound{}; }, QStringLiteral("項目"), log);
}

void ReadBattleCaptions(DocumentState& doc, const FolderListing& modeFiles, ProblemLog& log)
{
    doc.BattleSectionNames.redim(kMaxBattleSectionNames);
    if (doc.ModeFolder.isEmpty()) {
        // No captions, but the decoded records still show in the notation of the default.
        ReadTableSettings(doc, doc.BattleSettings, doc.BattleTypes, kBattleRecordSize, QString(), BattleBound,
                          QStringLiteral("バイト"), log);
        return;
    }
    const QString path = modeFiles.find(kBattleSna);
    const std::optional<TextLines> text =
        ReadDefinitionFile(path, QStringLiteral("戦闘パラメータの見出しの定義ファイルがありません。"), log);
    if (text) {
        const SectionPairs read = ReadSectionPairs(*text);
        int i = 0;
        for (const SectionPair& pair : read.pairs) {
            if (++i > kMaxBattleSectionNames) {
                log.add(path, pair.line,
                        QStringLiteral("見出しは %1 組までです。ここから先は読みません。").arg(kMaxBattleSectionNames));
                break;
            }
            doc.BattleSectionNames(i) = pair.caption;
        }
        if (read.unfinished && i < kMaxBattleSectionNames)
            log.add(path, read.unfinished->line + 1, QStringLiteral("ファイルがオフセットの行で終わり、見出しの行がありません。"));
    }
    ReadTableSettings(doc, doc.BattleSettings, doc.BattleTypes, kBattleRecordSize, modeFiles.find(kBattleIni),
                      BattleBound, QStringLiteral("バイト"), log);
    // Fields lie one after another from byte 1; a type given to a byte inside a field is
    // said and dropped, since that byte is part of the field's value.
    for (int field = 1; field <= kBattleRecordSize; field += SectionType(doc, TabBattle, 0, field).Size)
        for (int k = 1; k < SectionType(doc, TabBattle, 0, field).Size && field + k <= kBattleRecordSize; ++k) {
            doc.BattleFieldBack[static_cast<std::size_t>(field + k)] = static_cast<std::uint8_t>(k);
            if (doc.BattleTypes.contains(field + k) && doc.BattleTypes(field + k) != CellType{}) {
                doc.BattleTypes(field + k) = CellType{};
                log.add(modeFiles.find(kBattleIni), 0,
                        QStringLiteral("「Section%1」はバイト %2 から始まる %3 バイトの値の中にあるため、その [Size]、[Names]、[Bits] は使わず、"
                                       "このバイトは 1 バイトの数として読みます。")
                            .arg(field + k)
                            .arg(field)
                            .arg(SectionType(doc, TabBattle, 0, field).Size));
            }
        }
}

ZorSettings ReadZorSettings(const QString& programFolder, ProblemLog& log)
{
    const QString zorIni = ZorIniPath(programFolder);
    ZorSettings settings;
    const Result<IniFile> read = ReadSettingsFile(zorIni, log);
    if (!read)
        settings.NotRead = read.failure().reason();
    const IniFile ini = read.value_or(IniFile());
    const QString option = QStringLiteral("Option");
    settings.Mode = ini.value(option, QStringLiteral("Mode"));
    settings.DefaultNotation = ToInt16(ini.value(option, QStringLiteral("DefaultNotation"))).value_or(0);
    settings.CSVNotation = ini.value(option, QStringLiteral("CSVNotation"));
    settings.FixChecksum = ini.value(option, QStringLiteral("FixChecksum")).trimmed() == u'1';
    return settings;
}

void LoadDefinitions(DocumentState& doc, const QString& programFolder, const ZorSettings& settings, ProblemLog& log)
{
    doc.ModeName = settings.Mode;
    doc.FixChecksum = settings.FixChecksum;
    // The mode folder lies directly inside the program folder; a name that leads elsewhere
    // gives no mode folder at all, never the program folder in its place.
    if (IsModeFolderName(settings.Mode)) {
        doc.ModeFolder = JoinPath(programFolder, doc.ModeName);
    } else {
        doc.ModeFolder.clear();
        log.add(ZorIniPath(programFolder), 0,
                QStringLiteral("Mode「%1」はプログラムフォルダの中のフォルダの名前ではありません"
                               "（「/」「\\」を含む名前と「.」「..」は使えません）。モードフォルダなしで読みます。")
                    .arg(QuoteText(settings.Mode)));
    }
    // Listed once: a lookup per file would list a folder of thousands of data sets
    // again for every file that is missing.
    const FolderListing modeFiles(doc.ModeFolder);
    ScanModeFolder(doc, modeFiles, log);
    ReadSectionFiles(doc, modeFiles, log);
    ReadIdFiles(doc, modeFiles, log);
    LimitTableSizes(doc, modeFiles, log);
    ReadDataSetSettings(doc, modeFiles, settings.DefaultNotation, log);
    ReadIndividualDefinitions(doc, modeFiles, log);
    ReadBattleCaptions(doc, modeFiles, log);
}

void LoadDefinitions(DocumentState& doc, const QString& programFolder, ProblemLog& log)
{
    LoadDefinitions(doc, programFolder, ReadZorSettings(programFolder, log), log);
}

} // namespace zor
