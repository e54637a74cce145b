#include "tests/support/RomBuilder.h"

#include "core/codec/SnesAddress.h"
#include "core/document/BattleRecords.h"

#include <QScopeGuard>

#include <algorithm>
#include <gtest/gtest.h>

namespace zor::test {

BlockAssembler::BlockAssembler(int size)
{
    out_.append(static_cast<char>(size & 0xFF)).append(static_cast<char>((size >> 8) & 0xFF));
}

void BlockAssembler::closeGroup()
{
    if (itemCount_ == 0)
        return;
    out_.append(static_cast<char>(flags_));
    out_.append(items_);
    items_.clear();
    flags_ = 0;
    itemCount_ = 0;
}

BlockAssembler& BlockAssembler::item(QByteArrayView bytes, bool literal)
{
    if (literal)
        flags_ |= static_cast<std::uint8_t>(0x80u >> itemCount_);
    items_.append(bytes);
    if (++itemCount_ == 8)
        closeGroup();
    return *this;
}

BlockAssembler& BlockAssembler::literal(std::uint8_t byte) { return item(QByteArray(1, static_cast<char>(byte)), true); }

QByteArray ReferenceBytes(int length, int position)
{
    EXPECT_TRUE(length >= kMinReference && length <= kMaxReference) << length;
    EXPECT_TRUE(position >= 0 && position < kDictionarySize) << position;
    QByteArray xy;
    xy.append(static_cast<char>(((length - kMinReference) << 4) | (position >> 8)));
    xy.append(static_cast<char>(position & 0xFF));
    return xy;
}

BlockAssembler& BlockAssembler::reference(int length, int position) { return item(ReferenceBytes(length, position), false); }

BlockAssembler& BlockAssembler::raw(QByteArrayView bytes)
{
    closeGroup();
    out_.append(bytes);
    return *this;
}

QByteArray BlockAssembler::bytes() const
{
    BlockAssembler copy = *this;
    copy.closeGroup();
    return copy.out_;
}

RomBuilder::RomBuilder(qsizetype size, bool standardLayout) : image_(size, '\0')
{
    if (!standardLayout)
        return;
    dictionaryAt(kDictionaryBase);
    tableAt(kPointerTableOffset);
    blockBank(kRegionBank);
}

RomBuilder& RomBuilder::bytes(std::int32_t offset, QByteArrayView bytes)
{
    EXPECT_TRUE(offset >= 0 && offset + bytes.size() <= image_.size()) << "bytes outside the image at " << offset;
    if (offset >= 0 && offset + bytes.size() <= image_.size())
        std::copy(bytes.begin(), bytes.end(), image_.begin() + offset);
    return *this;
}

static QByteArray Bytes(std::initializer_list<std::uint8_t> bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.begin()), bytes.size());
}

static SnesAddress AddressOf(std::int32_t offset)
{
    const std::optional<SnesAddress> address = OffsetToSnesAddress(offset);
    EXPECT_TRUE(address.has_value()) << offset;
    return address.value_or(SnesAddress{});
}

RomBuilder& RomBuilder::dictionaryPointer(std::uint8_t low, std::uint8_t high, std::uint8_t bank)
{
    dictionaryBase_ = SnesAddressToOffset(low, high, bank);
    bytes(kDictionaryPointerLow, Bytes({low, high}));
    return bytes(kDictionaryPointerBank, Bytes({bank}));
}

RomBuilder& RomBuilder::dictionaryAt(std::int32_t base)
{
    const SnesAddress a = AddressOf(base);
    return dictionaryPointer(a.low, a.high, a.bank);
}

RomBuilder& RomBuilder::tablePointer(std::uint8_t low, std::uint8_t high, std::uint8_t bank)
{
    tableOffset_ = SnesAddressToOffset(low, high, bank);
    return bytes(kTablePointerLow, Bytes({low, high, bank}));
}

RomBuilder& RomBuilder::tableAt(std::int32_t offset)
{
    const SnesAddress a = AddressOf(offset);
    return tablePointer(a.low, a.high, a.bank);
}

RomBuilder& RomBuilder::blockBank(std::uint8_t bank)
{
    blockBank_ = bank;
    return bytes(kBlockBankOffset, Bytes({bank}));
}

RomBuilder& RomBuilder::dictionary(QByteArrayView dictionaryBytes) { return bytes(dictionaryBase_ + 2, dictionaryBytes); }

RomBuilder& RomBuilder::blockPointer(int n, std::uint8_t low, std::uint8_t high) { return bytes(tableOffset_ + 2 * n, Bytes({low, high})); }

RomBuilder& RomBuilder::block(int n, std::int32_t offset, QByteArrayView blockBytes)
{
    const std::int32_t address = offset - (blockBank_ - 0x80) * 0x8000 + 0x8000;
    EXPECT_TRUE(address >= 0 && address <= 0xFFFF) << "offset " << offset << " is out of the block bank's reach";
    blockPointer(n, static_cast<std::uint8_t>(address & 0xFF), static_cast<std::uint8_t>((address >> 8) & 0xFF));
    return bytes(offset, blockBytes);
}

RomBuilder& RomBuilder::blocks(const std::vector<QByteArray>& all, std::int32_t at)
{
    for (std::size_t n = 0; n < all.size(); ++n) {
        block(static_cast<int>(n), at, all[n]);
        at += static_cast<std::int32_t>(all[n].size());
    }
    return *this;
}

RomBuilder& RomBuilder::encode(const NdArray<std::uint8_t, 1>& stream)
{
    BattleCodec codec;
    codec.SetDictionaryBase(dictionaryBase_);
    try {
        codec.EncodeBattleBlocks(stream.Elements(), image_);
    } catch (const CodecError& e) {
        ADD_FAILURE() << "encode refused: " << e.what();
    }
    return *this;
}

void DecodeStream(BattleCodec& codec, NdArray<std::uint8_t, 1>& stream, const QByteArray& image)
{
    StreamArray bytes;
    const auto keep = qScopeGuard([&] { stream = NdArray<std::uint8_t, 1>::FromElements(std::move(bytes)); });
    codec.DecodeBattleBlocks(bytes, image);
}

NdArray<std::uint8_t, 1> StreamOf(const std::vector<Block>& blocks)
{
    std::vector<std::uint8_t> bytes;
    for (const Block& block : blocks) {
        for (const Record& record : block) {
            EXPECT_EQ(record.size(), static_cast<std::size_t>(kRecordSize));
            bytes.insert(bytes.end(), record.begin(), record.end());
        }
        bytes.push_back(0);
    }
    return StreamFromBytes(bytes);
}

std::vector<std::uint8_t> StreamBytes(const NdArray<std::uint8_t, 1>& stream) { return stream.Elements(); }

std::vector<qsizetype> Differences(const QByteArray& a, const QByteArray& b)
{
    std::vector<qsizetype> out;
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            out.push_back(i);
    return out;
}

} // namespace zor::test
