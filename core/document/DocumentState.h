#pragma once

// The open image, one part for each kind of state: its definitions (fixed after a load),
// its tables (private bytes, core/document/Tables.h), its file and its edit history. The
// view (cursor, tab memory) belongs to Session, the cell clipboard to CellClipboard.
// Arrays run from 0 to count + 1 with the data in 1..count (ID numbers from 0), so code
// indexes them the way the tables number things. Counts that the file formats limit to
// 16 bits are kept in int and checked where set.

#include "core/codec/BattleCodec.h"
#include "core/document/NdArray.h"
#include "core/document/Problems.h"
#include "core/document/Tables.h"
#include "core/value/CellType.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

namespace zor {

enum Tab : int { TabIdSection = 1, TabIndividual = 2, TabBattle = 3 };

// Notation codes of a section.
enum Notation : int { NotationHex = 16, NotationUnsigned = 10, NotationSigned = -10 };

// Indices into SettingKeys, SettingDefaults and SectionSettings.
enum Setting : int { SettingByte = 0, SettingStep = 1, SettingNotation = 2 };

inline constexpr int kBattleBlockCount = 314;
inline constexpr int kBattleRecordSize = 25;
inline constexpr int kMaxSixteenBit = 32767;

// One data set of tab 1: its definitions, every array sized by its own counts, so that one
// large table does not make every other one as large. Its bytes are the tables'.
struct DataSet {
    QString Name;
    int SectionCount = 0;
    int IdCount = 0;
    NdArray<std::int32_t, 1> SectionAddresses;       // by section
    NdArray<std::uint8_t, 1> SectionAddressUnusable; // by section: 1 when the offset line is unreadable; never read or written
    NdArray<QString, 1> SectionNames;                // by section
    NdArray<QString, 1> IdNames;                     // by ID number + 1
    NdArray<std::int16_t, 2> SectionSettings;        // (setting, section)
    NdArray<CellType, 1> SectionTypes;               // by section
    bool SettingsUnreadable = false;                 // its .ini exists but can't be read: steps unknown, so read-only
};

class EditHistory;
struct DocumentState;

// Owns the document's one EditHistory (core/edit/EditHistory.h) and copies it with the
// document. Only declared here, and defined beside EditHistory, so that the document's
// record does not include the layer that edits it.
class HistoryHandle {
public:
    HistoryHandle();
    HistoryHandle(const HistoryHandle& other);
    HistoryHandle(HistoryHandle&& other);
    HistoryHandle& operator=(const HistoryHandle& other);
    HistoryHandle& operator=(HistoryHandle&& other) noexcept;
    ~HistoryHandle();

    EditHistory* operator->() { return history_.get(); }
    const EditHistory* operator->() const { return history_.get(); }
    EditHistory& operator*() { return *history_; }
    const EditHistory& operator*() const { return *history_; }

    // A new history, empty journals, whose baseline is the document as it is now: for the
    // read of an image.
    void StartWithBaseline(const DocumentState& doc);

private:
    std::unique_ptr<EditHistory> history_;
};

// What the mode folder says: where the tables lie, their names and their settings.
struct Definitions {
    QString ModeName;
    QString ModeFolder;                            // empty when ZOR.ini's Mode names no folder of the program folder
    int DataSetCount = 0;
    NdArray<DataSet, 1> DataSets;                  // 1..DataSetCount
    int ClassDataSet = 0;
    NdArray<QString, 1> SettingKeys;               // "Byte", "Step", "Notation", ""
    NdArray<int, 1> SettingDefaults;
    NdArray<std::int16_t, 2> IndividualSettings;   // (setting, entry)
    NdArray<std::int16_t, 2> BattleSettings;       // (setting, section)
    // The cells' types, as the settings: by entry, by battle byte. A type's Bits, when it
    // has them, always hold 8 × Size names.
    NdArray<CellType, 1> IndividualTypes;
    NdArray<CellType, 1> BattleTypes;
    // By battle byte: how many bytes before it its field starts (0: a field starts there),
    // laid out from BattleTypes once, as every battle cell asks.
    std::array<std::uint8_t, kBattleRecordSize + 1> BattleFieldBack{};
    int IndividualCount = 0;
    NdArray<std::int32_t, 1> IndividualAddresses;
    NdArray<std::uint8_t, 1> IndividualAddressUnusable;
    NdArray<QString, 1> IndividualNames;
    NdArray<QString, 1> BattleSectionNames{26};
};

// The image file the tables were read from, and what its read found.
struct ImageFile {
    QString RomPath;
    QByteArray Image;                              // the bytes read, or written by the last save
    BattleCodec Codec;                             // as the read left it: a save encodes against the dictionary it found
    ProblemLog Problems;                           // what the load found wrong, in the definitions or the image
    qint64 RomSizeAtRead = 0;                      // Image's length
    bool FixChecksum = false;                      // ZOR.ini's FixChecksum=1: saves write the header checksum anew
    NdArray<std::uint8_t, 1> BattleStream;         // the battle blocks as decoded, before the split into records
    bool BattleDecodeFailed = false;               // the blocks could not be decoded: the table is empty and must not be re-encoded
    // Why no cell of the image may change, said at the load (a copier's header shifts every
    // offset); empty when they may.
    QString ImageReadOnly;
    // Why the battle records may not change, said at the load (the encoder can't write where
    // the image keeps them); empty when they may.
    QString BattleReadOnly;
};

struct DocumentState : Definitions, Tables, ImageFile {
    HistoryHandle History;
};


// A tab's per-section definitions: its settings (setting, section) and its cells' types
// (on tab 2 each entry is a section; tabs 2 and 3 ignore dataSet); both null when the
// tab has no table.
struct SectionDefinitions {
    const NdArray<std::int16_t, 2>* settings = nullptr;
    const NdArray<CellType, 1>* types = nullptr;
};

inline SectionDefinitions SectionDefinitionsOf(const DocumentState& doc, int tab, int dataSet)
{
    switch (tab) {
    case TabIdSection:
        if (!doc.DataSets.contains(dataSet))
            return {};
        return {&doc.DataSets(dataSet).SectionSettings, &doc.DataSets(dataSet).SectionTypes};
    case TabIndividual:
        return {&doc.IndividualSettings, &doc.IndividualTypes};
    case TabBattle:
        return {&doc.BattleSettings, &doc.BattleTypes};
    default:
        return {};
    }
}

// The setting of a section of a tab's table; nullptr when the table has no such section.
inline const std::int16_t* SectionSetting(const DocumentState& doc, int setting, int tab, int dataSet, int section)
{
    const NdArray<std::int16_t, 2>* settings = SectionDefinitionsOf(doc, tab, dataSet).settings;
    return settings && settings->contains(setting, section) ? &(*settings)(setting, section) : nullptr;
}

inline std::int16_t* SectionSetting(DocumentState& doc, int setting, int tab, int dataSet, int section)
{
    return const_cast<std::int16_t*>(SectionSetting(static_cast<const DocumentState&>(doc), setting, tab, dataSet, section));
}

// The type of a section's cells; a one-byte number when the table has no such section or
// no types (a document built by hand).
inline const CellType& SectionType(const DocumentState& doc, int tab, int dataSet, int section)
{
    static const CellType byte;
    const NdArray<CellType, 1>* types = SectionDefinitionsOf(doc, tab, dataSet).types;
    return types && types->contains(section) ? (*types)(section) : byte;
}

} // namespace zor
