#pragma once

// The 314 compressed blocks that hold the battle records. Each block is a 2-byte size
// and flag groups of literal bytes and references; a reference copies a run out of a
// fixed 4096-byte dictionary elsewhere in the image, never out of the output.
//
// Stream convention shared with the loader and the save: data from element 1, the
// blocks one after the other, each one or more 25-byte records and a single 0 byte;
// no record begins with 0; one spare element after the last block.

#include "core/codec/CodecError.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <vector>

namespace zor {

// Fixed places of the image (0-based offsets).
inline constexpr std::int32_t kDictionaryPointerLow = 0x15A92;
inline constexpr std::int32_t kDictionaryPointerHigh = 0x15A93;
inline constexpr std::int32_t kDictionaryPointerBank = 0x15A95; // 0x15A94 is not part of the pointer
inline constexpr std::int32_t kTablePointerLow = 0x15AAB;
inline constexpr std::int32_t kTablePointerHigh = 0x15AAC;
inline constexpr std::int32_t kTablePointerBank = 0x15AAD;
inline constexpr std::int32_t kBlockBankOffset = 0x15AB2;
// The block bank byte and three more places that hold the same bank; the encoder sets all four.
inline constexpr std::array<std::int32_t, 4> kBankByteOffsets{kBlockBankOffset, 0x31323, 0x407F6, 0xD99C4};
inline constexpr std::int32_t kPointerTableOffset = 0x1E8000; // bank $BD, $8000
inline constexpr std::int32_t kRegionOffset = 0x3F8000;       // bank $FF, $8000
inline constexpr std::int32_t kRegionLastWritten = 0x7FFE;    // region offsets 0..0x7FFE; 0x3FFFFF is left alone
inline constexpr std::uint8_t kRegionBank = 0xFF;
inline constexpr std::int32_t kEncodedImageSize = 0x400000;   // the region ends the 4 MB image
inline constexpr int kDictionarySize = 4096;
inline constexpr int kBlockCount = 314;
inline constexpr int kRecordSize = 25;
inline constexpr int kMinReference = 3;
inline constexpr int kMaxReference = 18;
inline constexpr int kMinEncodedReference = 4; // the encoder never writes a 3-byte reference

// Number of 25-byte records in a stream with this upper bound: (upper - 314) / 25 to
// the nearest integer. 25 is odd, so there is never a half to break.
int BattleRecordCount(int streamUpper);

// Where the image's table pointer says the pointer table lies (bytes past the end read
// as 0). The encoder writes the table at kPointerTableOffset only, so an image whose
// table lies elsewhere can't have its blocks written back.
std::int32_t PointerTableOffsetIn(const QByteArray& image);

// A battle stream indexed the way the document's stream array is: element 0 carries
// nothing, the bytes stand in 1..L, and element L + 1 is a spare 0.
using StreamArray = std::vector<std::uint8_t>;

// One per document owner; decode and encode of one instance must not overlap.
class BattleCodec {
public:
    // The dictionary pointer's offset: set by every decode (as soon as the pointer is
    // read), kept until the next one, and what the encoder compresses against.
    std::int32_t DictionaryBase() const { return dictionaryBase_; }
    // For images made in code, which were never decoded.
    void SetDictionaryBase(std::int32_t base) { dictionaryBase_ = base; }

    // Clears the values of one run; DictionaryBase stays.
    void ResetCodecState();

    // Decodes the 314 blocks of image into output: bounds 0..total + 1, the bytes in
    // 1..total, element total + 1 is 0. Throws CodecError when a read falls outside the
    // image or a size does not fit 15 bits, naming the block and the offset; output
    // then holds the blocks decoded completely before it (none: bounds 0..1).
    void DecodeBattleBlocks(StreamArray& output, const QByteArray& image);

    // Compresses the blocks of stream against the dictionary at DictionaryBase + 2 and
    // writes them to the region at 0x3F8000, the pointer table at 0x1E8000 and the four
    // bank bytes; an image shorter than 0x3FFFFF bytes grows to that length, with zeros.
    // The whole stream is checked and encoded before the first write: on CodecError the
    // image is untouched.
    void EncodeBattleBlocks(const StreamArray& stream, QByteArray& image);

private:
    std::int32_t dictionaryBase_ = 0;

    // The values of one decode or encode; ResetCodecState clears them.
    struct Scratch {
        std::int32_t tableOffset = 0;   // decode: the pointer table
        int blockBank = 0;
        int block = 0;                  // current block, 0-based
        std::int64_t readPosition = 0;  // decode: next image offset to read
        int blockSize = 0;
        std::int64_t outputCount = 0;   // decode: bytes decoded; encode: region bytes written
        std::int64_t blockStart = 0;    // the same at the start of the current block
        int recordIndex = 0;            // encode: record counter k
        int blockNumber = 1;            // encode: finished blocks + 1 (J)
        int blockFirst = 1;             // encode: first stream element of the current block (S)
    };
    Scratch scratch_;
};

} // namespace zor
