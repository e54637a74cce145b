#pragma once

// Synthetic ROM images made in code: the decoder's pointers, a dictionary, a pointer table and blocks, either assembled
// by hand (any flag, size, reference or pointer, also ones the encoder never writes) or compressed by our encoder.

#include "core/codec/BattleCodec.h"
#include "core/document/NdArray.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <random>
#include <vector>

namespace zor::test {

// One block written by hand: the 2-byte size, then flag groups of up to eight items, their flag bits computed.
// raw() appends bytes as they are after closing the open group, for flag bytes a test writes itself.
class BlockAssembler {
public:
    explicit BlockAssembler(int size = 0); // written as low and high byte, 0..0xFFFF

    BlockAssembler& literal(std::uint8_t byte);
    BlockAssembler& reference(int length, int position); // length 3..18, position 0..4095
    BlockAssembler& raw(QByteArrayView bytes);

    QByteArray bytes() const;

private:
    BlockAssembler& item(QByteArrayView bytes, bool literal);
    void closeGroup();

    QByteArray out_;
    QByteArray items_;
    std::uint8_t flags_ = 0;
    int itemCount_ = 0;
};

// X and Y of a reference item.
QByteArray ReferenceBytes(int length, int position);

class RomBuilder {
public:
    static constexpr std::int32_t kDictionaryBase = 0x100000; // bank $A0, $8000
    static constexpr std::int32_t kBlockArea = kRegionOffset; // hand-made blocks go here by default

    // A zeroed image; with standardLayout the dictionary at kDictionaryBase, the table at 0x1E8000, the block bank $FF.
    explicit RomBuilder(qsizetype size = kEncodedImageSize, bool standardLayout = true);

    RomBuilder& dictionaryPointer(std::uint8_t low, std::uint8_t high, std::uint8_t bank);
    RomBuilder& dictionaryAt(std::int32_t base);  // the pointer for this offset; base must be 0..0x3FFFFF
    RomBuilder& tablePointer(std::uint8_t low, std::uint8_t high, std::uint8_t bank);
    RomBuilder& tableAt(std::int32_t offset);
    RomBuilder& blockBank(std::uint8_t bank);

    // Bytes at DictionaryBase + 2 (the base last given to dictionaryAt).
    RomBuilder& dictionary(QByteArrayView bytes);
    RomBuilder& bytes(std::int32_t offset, QByteArrayView bytes);

    // Table entry n, as raw in-bank address bytes: they may point anywhere.
    RomBuilder& blockPointer(int n, std::uint8_t low, std::uint8_t high);
    // The block's bytes at offset (inside the block bank's reach) and entry n pointing there.
    RomBuilder& block(int n, std::int32_t offset, QByteArrayView bytes);
    // Blocks 0, 1, ... one after the other from at.
    RomBuilder& blocks(const std::vector<QByteArray>& blocks, std::int32_t at = kBlockArea);

    // Our encoder, against the dictionary at the base last given to dictionaryAt.
    RomBuilder& encode(const NdArray<std::uint8_t, 1>& stream);

    std::int32_t dictionaryBase() const { return dictionaryBase_; }
    QByteArray& image() { return image_; }

private:
    QByteArray image_;
    std::int32_t dictionaryBase_ = kDictionaryBase;
    std::int32_t tableOffset_ = kPointerTableOffset;
    std::uint8_t blockBank_ = kRegionBank;
};

// The codec's decode into a stream array as the document holds it; on a throw, the blocks decoded whole before it.
void DecodeStream(BattleCodec& codec, NdArray<std::uint8_t, 1>& stream, const QByteArray& image);

using Record = std::vector<std::uint8_t>; // 25 bytes
using Block = std::vector<Record>;

// The stream as the loader and the save see it: each block's records and a 0, one spare element at the end.
NdArray<std::uint8_t, 1> StreamOf(const std::vector<Block>& blocks);
std::vector<std::uint8_t> StreamBytes(const NdArray<std::uint8_t, 1>& stream); // elements 0..upper

// Offsets where two images differ, up to the shorter one's end.
std::vector<qsizetype> Differences(const QByteArray& a, const QByteArray& b);

} // namespace zor::test
