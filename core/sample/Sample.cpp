#include "core/sample/Sample.h"

#include "core/files/ProgramFolder.h"
#include "core/files/Text.h"
#include "core/codec/BattleCodec.h"
#include "core/codec/CodecError.h"
#include "core/codec/SnesAddress.h"
#include "core/document/BattleRecords.h"
#include "core/files/SaveFile.h"
#include "core/output/HeaderChecksum.h"

#include <QDir>
#include <QFileInfo>

#include <functional>

namespace zor {

namespace {

// Fixed seed: the sample is the same on every run.
class SampleRandom {
public:
    int below(int n)
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<int>(state_ % static_cast<std::uint32_t>(n));
    }

private:
    std::uint32_t state_ = 0x5A4F5231;
};

// What a section's .ini says of its type besides the notation; empty: a one-byte number.
struct Typed {
    int size = 1;
    QString names; // the data set the value is an ID of
    QString bits;  // the flags' names, bit 0 first
};
Typed Sized(int size) { return Typed{size, QString(), QString()}; }
Typed NamesOf(const QString& dataSet) { return Typed{1, dataSet, QString()}; }
Typed BitsOf(const QString& names) { return Typed{1, QString(), names}; }

struct Section {
    QString caption;
    std::int32_t offset;
    int notation; // 0: the DefaultNotation of ZOR.ini
    std::function<int(int id)> value;
    Typed type = Sized(1);
};

struct SampleTable {
    QString name;
    QStringList ids;
    int step; // the same for every section of the set
    std::vector<Section> sections;
};

struct Entry {
    QString name;
    std::int32_t offset;
    int notation;
    int value; // the bytes of size, lowest first
    int size = 1;
};

// The class that wields each item (0: anyone), and each spell's elements and whether it
// reaches every foe (bit 7).
constexpr int kEquippedBy[] = {0, 9, 2, 1, 5, 3, 3, 5, 4, 10, 4, 6, 6, 7, 7, 11, 8, 8, 0, 0, 9, 12, 12, 0};
constexpr int kSpellElements[] = {0, 0x01, 0x01, 0x02, 0x82, 0x04, 0x04, 0x08, 0x88, 0x10, 0x90, 0x10};

// ID tables lie at 0x60000..0x62FFF, the individual data at 0x50000..0x500FF: away
// from the pointers at 0x15A92..0x15AB2, the bank bytes, the pointer table at
// 0x1E8000, the dictionary at 0x2A0002 and the block region at 0x3F8000.
std::vector<SampleTable> SampleDataSets()
{
    const QStringList classes{
        QStringLiteral("（なし）"), QStringLiteral("戦士"), QStringLiteral("剣士"), QStringLiteral("槍使い"),
        QStringLiteral("弓使い"), QStringLiteral("騎士"), QStringLiteral("重戦士"), QStringLiteral("魔法使い"),
        QStringLiteral("僧侶"), QStringLiteral("盗賊"), QStringLiteral("狩人"), QStringLiteral("賢者"),
        QStringLiteral("商人"), QStringLiteral("吟遊詩人"), QStringLiteral("魔獣"), QStringLiteral("将軍"),
    };
    const QStringList items{
        QStringLiteral("（なし）"), QStringLiteral("短剣"), QStringLiteral("長剣"), QStringLiteral("大剣"),
        QStringLiteral("細剣"), QStringLiteral("手槍"), QStringLiteral("長槍"), QStringLiteral("三叉槍"),
        QStringLiteral("短弓"), QStringLiteral("長弓"), QStringLiteral("弩"), QStringLiteral("手斧"),
        QStringLiteral("大斧"), QStringLiteral("火の巻物"), QStringLiteral("雷の巻物"), QStringLiteral("風の巻物"),
        QStringLiteral("癒しの杖"), QStringLiteral("祈りの杖"), QStringLiteral("回復薬"), QStringLiteral("解毒薬"),
        QStringLiteral("鍵"), QStringLiteral("宝石"), QStringLiteral("金塊"), QStringLiteral("地図"),
    };
    const QStringList spells{
        QStringLiteral("（なし）"), QStringLiteral("火球"), QStringLiteral("火柱"), QStringLiteral("氷槍"),
        QStringLiteral("吹雪"),     QStringLiteral("雷撃"), QStringLiteral("落雷"), QStringLiteral("旋風"),
        QStringLiteral("竜巻"),     QStringLiteral("治癒"), QStringLiteral("全体治癒"), QStringLiteral("蘇生"),
    };
    const int unsignedDec = 10;
    const int signedDec = -10;
    return {
        {QStringLiteral("クラス"), classes, 8,
         {
             {QStringLiteral("HP"), 0x60000, unsignedDec, [](int id) { return id == 0 ? 0 : 16 + 3 * id; }},
             {QStringLiteral("MP"), 0x60001, unsignedDec, [](int id) { return id == 0 ? 0 : 3 + id % 7 + id / 3; }},
             {QStringLiteral("攻撃力"), 0x60002, unsignedDec, [](int id) { return id == 0 ? 0 : 1 + (id * 5) % 11; }},
             {QStringLiteral("防御力"), 0x60003, unsignedDec, [](int id) { return id == 0 ? 0 : 2 + (id * 3) % 9; }},
             {QStringLiteral("敏捷"), 0x60004, unsignedDec, [](int id) { return id == 0 ? 0 : 4 + (id * 7) % 8; }},
             {QStringLiteral("知力"), 0x60005, unsignedDec, [](int id) { return id == 0 ? 0 : 1 + (id * 2) % 10; }},
             {QStringLiteral("幸運"), 0x60006, 0, [](int id) { return id == 0 ? 0 : (id == 5 || id == 10 ? 7 : 5); }},
             {QStringLiteral("成長型"), 0x60007, signedDec, [](int id) { return (id % 5 - 2) & 0xFF; }},
         }},
        {QStringLiteral("アイテム"), items, 6,
         {
             {QStringLiteral("威力"), 0x61000, unsignedDec, [](int id) { return id == 0 ? 0 : (id < 18 ? 3 + id % 6 * 2 : 0); }},
             {QStringLiteral("命中"), 0x61001, unsignedDec, [](int id) { return id == 0 || id >= 18 ? 0 : 60 + (id * 13) % 40; }},
             {QStringLiteral("重さ"), 0x61002, unsignedDec, [](int id) { return id == 0 ? 0 : 1 + id % 9; }},
             {QStringLiteral("価格"), 0x61003, unsignedDec, [](int id) { return id * 150; }, Sized(2)},
             {QStringLiteral("装備クラス"), 0x61005, 0, [](int id) { return kEquippedBy[id]; }, NamesOf(QStringLiteral("クラス"))},
         }},
        {QStringLiteral("魔法"), spells, 4,
         {
             {QStringLiteral("消費MP"), 0x62000, unsignedDec, [](int id) { return id == 0 ? 0 : 2 + id * 2; }},
             {QStringLiteral("威力"), 0x62001, unsignedDec, [](int id) { return id == 0 ? 0 : 5 + (id * 7) % 20; }},
             {QStringLiteral("射程"), 0x62002, signedDec, [](int id) { return id == 0 ? 0 : 1 + id % 3; }},
             {QStringLiteral("属性"), 0x62003, 0, [](int id) { return kSpellElements[id]; },
              BitsOf(QStringLiteral("火,氷,雷,風,聖,,,全体"))},
         }},
    };
}

std::vector<Entry> SampleEntries()
{
    return {
        {QStringLiteral("初期所持金"), 0x50010, 10, 10000, 2},
        {QStringLiteral("初期レベル"), 0x50020, 10, 1},
        {QStringLiteral("仲間の上限"), 0x50021, 10, 12},
        {QStringLiteral("難易度補正"), 0x50030, -10, -2 & 0xFFFF, 2},
        {QStringLiteral("曲の音量"), 0x50040, 10, 100},
    };
}

const QStringList& BattleCaptions()
{
    static const QStringList captions{
        QStringLiteral("クラス"), QStringLiteral("レベル"), QStringLiteral("HP"), QStringLiteral("MP"),
        QStringLiteral("攻撃力"), QStringLiteral("防御力"), QStringLiteral("敏捷"), QStringLiteral("知力"),
        QStringLiteral("幸運"), QStringLiteral("行動1"), QStringLiteral("行動2"), QStringLiteral("行動3"),
        QStringLiteral("行動4"), QStringLiteral("火への耐性"), QStringLiteral("氷への耐性"), QStringLiteral("雷への耐性"),
        QStringLiteral("経験値"), QStringLiteral("経験値（上位）"), QStringLiteral("所持金"), QStringLiteral("落とす物"),
        QStringLiteral("落とす率"), QStringLiteral("出現数"), QStringLiteral("隊列"), QStringLiteral("思考"),
        QStringLiteral("フラグ"),
    };
    return captions;
}

// Notations of the battle sections (1-based); the rest use DefaultNotation.
const std::vector<std::pair<int, int>>& BattleNotations()
{
    static const std::vector<std::pair<int, int>> notations{
        {2, 10}, {3, 10}, {4, 10}, {5, 10}, {6, 10}, {7, 10}, {8, 10}, {9, 10}, {10, 10}, {11, 10},
        {17, 10}, {19, 10}, {21, 10}, {23, 10}, {24, -10},
    };
    return notations;
}

// The battle fields wider than a byte or of another kind, by their first byte (1-based):
// experience needs two bytes, a dropped item is an ID of アイテム, and byte 25 holds flags.
const std::vector<std::pair<int, Typed>>& BattleTypes()
{
    static const std::vector<std::pair<int, Typed>> types{
        {17, Sized(2)},
        {20, NamesOf(QStringLiteral("アイテム"))},
        {25, BitsOf(QStringLiteral("逃走不可,ボス"))},
    };
    return types;
}

// CRLF after every line; for an .idn not after the last, as a final break there
// would count one more ID, a nameless one.
QString TextFile(const QStringList& lines, bool finalBreak = true)
{
    QString text = lines.join(QStringLiteral("\r\n"));
    if (finalBreak && !lines.isEmpty())
        text += QStringLiteral("\r\n");
    return text;
}

QString Hex(std::int32_t value) { return QString::number(value, 16).toUpper(); }

// The [Size], [Names] and [Bits] lines of a table's .ini for its typed sections (by
// number); a group none of them needs is left out.
QStringList TypeLines(const std::vector<std::pair<int, Typed>>& typed)
{
    QStringList size{QStringLiteral("[Size]")};
    QStringList names{QStringLiteral("[Names]")};
    QStringList bits{QStringLiteral("[Bits]")};
    for (const auto& [section, type] : typed) {
        const QString key = QStringLiteral("Section%1=").arg(section);
        if (type.size != 1)
            size << key + QString::number(type.size);
        if (!type.names.isEmpty())
            names << key + type.names;
        if (!type.bits.isEmpty())
            bits << key + type.bits;
    }
    QStringList lines;
    for (const QStringList* group : {&size, &names, &bits})
        if (group->size() > 1)
            lines << *group;
    return lines;
}

constexpr int kClassCount = 16;      // class IDs 0..15; records use 1..15
constexpr int kTemplateCount = 160;  // record bodies in the dictionary, 24 bytes each
constexpr int kBodySize = kRecordSize - 1;

// Bodies (bytes 2..25) of typical records; the dictionary is made of them so that
// the records, which vary a few bytes of a body, compress into references.
std::vector<std::array<std::uint8_t, kBodySize>> Templates()
{
    SampleRandom random;
    std::vector<std::array<std::uint8_t, kBodySize>> bodies(kTemplateCount);
    for (auto& body : bodies) {
        const int level = 1 + random.below(20);
        const int experience = 10 + 5 * level * level;
        const int values[kBodySize] = {
            level,
            14 + 2 * level + random.below(8),                // HP
            random.below(3) == 0 ? 2 + level / 2 : 0,        // MP
            3 + level / 2 + random.below(4),                 // 攻撃力
            1 + level / 3 + random.below(4),                 // 防御力
            3 + level / 2 + random.below(5),                 // 敏捷
            2 + level / 2 + random.below(4),                 // 知力
            random.below(8),                                 // 幸運
            random.below(4),                                 // 行動1
            random.below(4),                                 // 行動2
            random.below(3) == 0 ? 4 + random.below(4) : 0,  // 行動3
            random.below(4) == 0 ? 8 + random.below(4) : 0,  // 行動4
            random.below(3),                                 // 火への耐性
            random.below(3),                                 // 氷への耐性
            random.below(3),                                 // 雷への耐性
            experience & 0xFF,                               // 経験値, lowest byte first
            experience >> 8,
            random.below(5) * 10,                            // 所持金
            random.below(4) == 0 ? 18 + random.below(6) : 0, // 落とす物
            random.below(4) == 0 ? 25 * (1 + random.below(4)) : 0, // 落とす率
            1 + random.below(3),                             // 出現数
            random.below(2),                                 // 隊列
            random.below(4),                                 // 思考
            random.below(10) == 0 ? 1 : 0,                   // フラグ
        };
        for (int j = 0; j < kBodySize; ++j)
            body[j] = static_cast<std::uint8_t>(values[j]);
    }
    return bodies;
}

void Put(QByteArray& image, std::int32_t offset, int value) { image[offset] = static_cast<char>(value & 0xFF); }

// A value of size bytes, lowest first, as the console stores numbers.
void PutValue(QByteArray& image, std::int32_t offset, int value, int size)
{
    for (int k = 0; k < size; ++k)
        Put(image, offset + k, value >> (8 * k));
}

void PutPointer(QByteArray& image, std::int32_t low, std::int32_t high, std::int32_t bank, std::int32_t target)
{
    const SnesAddress address = OffsetToSnesAddress(target).value();
    Put(image, low, address.low);
    Put(image, high, address.high);
    Put(image, bank, address.bank);
}

} // namespace

QString SampleModeName() { return QStringLiteral("サンプル"); }
QString SampleImageName() { return QStringLiteral("sample.rom"); }

QByteArray SampleDictionary()
{
    QByteArray dictionary;
    dictionary.reserve(kDictionarySize);
    for (const auto& body : Templates())
        dictionary.append(reinterpret_cast<const char*>(body.data()), kBodySize);
    // The rest: short common runs, a leader's tail and empty item slots.
    SampleRandom random;
    while (dictionary.size() < kDictionarySize)
        dictionary.append(static_cast<char>(random.below(4) == 0 ? 0 : random.below(40)));
    return dictionary;
}

NdArray<std::uint8_t, 1> SampleBattleStream()
{
    const std::vector<std::array<std::uint8_t, kBodySize>> bodies = Templates();
    SampleRandom random;
    std::vector<std::uint8_t> bytes;
    for (int block = 0; block < kBlockCount; ++block) {
        const int records = 1 + random.below(3);
        for (int r = 0; r < records; ++r) {
            std::array<std::uint8_t, kBodySize> body = bodies[random.below(kTemplateCount)];
            // Vary a few bytes of the body; now and then a stronger one.
            body[7] = static_cast<std::uint8_t>(random.below(8)); // 幸運
            body[21] = static_cast<std::uint8_t>(random.below(4)); // 隊列
            if (random.below(4) == 0)
                body[0] = static_cast<std::uint8_t>(body[0] + 1 + random.below(3));
            bytes.push_back(static_cast<std::uint8_t>(1 + random.below(kClassCount - 1)));
            bytes.insert(bytes.end(), body.begin(), body.end());
        }
        bytes.push_back(0);
    }
    return StreamFromBytes(bytes);
}

Result<QByteArray> MakeSampleImage()
{
    QByteArray image(kEncodedImageSize, '\0');
    for (const SampleTable& set : SampleDataSets())
        for (const Section& section : set.sections)
            for (int id = 0; id < set.ids.size(); ++id)
                PutValue(image, section.offset + id * set.step, section.value(id), section.type.size);
    for (const Entry& entry : SampleEntries())
        PutValue(image, entry.offset, entry.value, entry.size);

    PutPointer(image, kDictionaryPointerLow, kDictionaryPointerHigh, kDictionaryPointerBank, kSampleDictionaryBase);
    PutPointer(image, kTablePointerLow, kTablePointerHigh, kTablePointerBank, kPointerTableOffset);
    image.replace(kSampleDictionaryBase + 2, kDictionarySize, SampleDictionary());

    BattleCodec codec;
    codec.SetDictionaryBase(kSampleDictionaryBase);
    try {
        codec.EncodeBattleBlocks(SampleBattleStream().Elements(), image);
    } catch (const CodecError& e) {
        return Failure::Of(Failure::Kind::Refused, SampleImageName(), e.message());
    }
    // Last, over every byte above: the sum stays right whatever the sample holds.
    if (const Result<void> summed = FixHeaderChecksum(image); !summed)
        return summed.failure();
    return image;
}

Result<std::vector<SampleFile>> MakeSampleFolder()
{
    const QString mode = SampleModeName() + u'/';
    std::vector<std::pair<QString, QString>> files; // the text files, by path
    files.push_back({QStringLiteral("ZOR.ini"),
                     TextFile({QStringLiteral("[Option]"), QStringLiteral("Mode=") + SampleModeName(),
                               QStringLiteral("DefaultNotation=16")})});

    for (const SampleTable& set : SampleDataSets()) {
        files.push_back({mode + set.name + QStringLiteral(".idn"), TextFile(set.ids, false)});
        QStringList sna;
        QStringList ini{QStringLiteral("[Step]")};
        QStringList notation{QStringLiteral("[Notation]")};
        std::vector<std::pair<int, Typed>> types;
        for (int q = 1; q <= static_cast<int>(set.sections.size()); ++q) {
            const Section& section = set.sections[q - 1];
            sna << Hex(section.offset) << section.caption;
            ini << QStringLiteral("Section%1=%2").arg(q).arg(set.step);
            if (section.notation != 0)
                notation << QStringLiteral("Section%1=%2").arg(q).arg(section.notation);
            types.emplace_back(q, section.type);
        }
        files.push_back({mode + set.name + QStringLiteral(".sna"), TextFile(sna)});
        files.push_back({mode + set.name + QStringLiteral(".ini"), TextFile(ini + notation + TypeLines(types))});
    }

    QStringList entrySna;
    QStringList entryIni{QStringLiteral("[Notation]")};
    std::vector<std::pair<int, Typed>> entryTypes;
    const std::vector<Entry> entries = SampleEntries();
    for (int j = 1; j <= static_cast<int>(entries.size()); ++j) {
        entrySna << Hex(entries[j - 1].offset) << entries[j - 1].name;
        entryIni << QStringLiteral("Section%1=%2").arg(j).arg(entries[j - 1].notation);
        entryTypes.emplace_back(j, Sized(entries[j - 1].size));
    }
    files.push_back({mode + QStringLiteral("個別データ.sna"), TextFile(entrySna)});
    files.push_back({mode + QStringLiteral("個別データ.ini"), TextFile(entryIni + TypeLines(entryTypes))});

    // The offset line of a battle pair is not read; it gives the byte's place in the record.
    QStringList battleSna;
    for (int j = 1; j <= kRecordSize; ++j)
        battleSna << Hex(j - 1) << BattleCaptions()[j - 1];
    QStringList battleIni{QStringLiteral("[Notation]")};
    for (const auto& [section, code] : BattleNotations())
        battleIni << QStringLiteral("Section%1=%2").arg(section).arg(code);
    files.push_back({mode + QStringLiteral("敵パラメータ.sna"), TextFile(battleSna)});
    files.push_back({mode + QStringLiteral("敵パラメータ.ini"), TextFile(battleIni + TypeLines(BattleTypes()))});

    std::vector<SampleFile> encoded;
    for (const auto& [path, text] : files) {
        const std::optional<QByteArray> bytes = EncodeCp932(text);
        if (!bytes)
            return Failure::Of(Failure::Kind::BadText, path, QStringLiteral("%1 に CP932 にない文字があります").arg(path));
        encoded.push_back({path, *bytes});
    }
    Result<QByteArray> image = MakeSampleImage();
    if (!image)
        return image.failure();
    encoded.push_back({SampleImageName(), std::move(*image)});
    return encoded;
}

namespace {

[[nodiscard]] Result<void> WriteSampleFile(const QString& folder, const SampleFile& file)
{
    const QString path = JoinPath(folder, file.path);
    const QString parent = QFileInfo(path).absolutePath();
    if (Result<void> made = MakeFolder(parent); !made) {
        Failure failure = made.failure();
        failure.detail = QStringLiteral("フォルダ %1 を作れません").arg(parent);
        return failure;
    }
    if (const Result<void> written = WriteFileAtomically(path, file.bytes); !written)
        return written.failure().said(QStringLiteral("%1 を書けません").arg(path));
    return {};
}

[[nodiscard]] Result<std::vector<SampleFile>> MakeSampleFiles()
{
    Result<std::vector<SampleFile>> files = MakeSampleFolder();
    if (!files)
        return files.failure().said(QStringLiteral("サンプルを作れません"));
    return files;
}

bool Present(const QString& folder, const SampleFile& file)
{
    const QFileInfo info(JoinPath(folder, file.path));
    return info.exists() || info.isSymLink();
}

} // namespace

Result<int> WriteSampleFolder(const QString& folder, bool overwrite)
{
    const Result<std::vector<SampleFile>> files = MakeSampleFiles();
    if (!files)
        return files.failure();
    if (!overwrite) {
        for (const SampleFile& file : *files) {
            const QString path = JoinPath(folder, file.path);
            if (Present(folder, file)) {
                Failure exists = Failure::Of(Failure::Kind::Exists, path, QStringLiteral("%1 はすでにあります").arg(path));
                exists.after = QStringLiteral("何も書いていません。");
                return exists;
            }
        }
    }
    for (const SampleFile& file : *files)
        if (const Result<void> written = WriteSampleFile(folder, file); !written)
            return written.failure();
    return static_cast<int>(files->size());
}

Result<int> CompleteSampleFolder(const QString& folder)
{
    const Result<std::vector<SampleFile>> files = MakeSampleFiles();
    if (!files)
        return files.failure();
    int written = 0;
    for (const SampleFile& file : *files) {
        if (Present(folder, file))
            continue;
        if (const Result<void> one = WriteSampleFile(folder, file); !one)
            return one.failure();
        ++written;
    }
    return written;
}

} // namespace zor
