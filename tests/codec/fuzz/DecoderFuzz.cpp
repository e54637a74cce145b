// Feeds arbitrary images to the block decoder and the record split: they may refuse with CodecError, but must never
// read outside the image or leave a malformed stream.
//
// The input's first 7 bytes go to the fixed places (dictionary pointer, table pointer, block bank), the rest is the image
// from offset 0, at least large enough for them; pointers in bank $80 reach the input's bytes, so mutations decode.

#include "core/codec/BattleCodec.h"
#include "core/document/BattleRecords.h"

#include <algorithm>
#include <array>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::array<std::int32_t, 7> kFixedPlaces{zor::kDictionaryPointerLow, zor::kDictionaryPointerHigh, zor::kDictionaryPointerBank,
                                                       zor::kTablePointerLow,      zor::kTablePointerHigh,      zor::kTablePointerBank,
                                                       zor::kBlockBankOffset};
    if (size < kFixedPlaces.size())
        return 0;
    QByteArray image(std::max<qsizetype>(static_cast<qsizetype>(size - kFixedPlaces.size()), zor::kBlockBankOffset + 1), '\0');
    std::copy(data + kFixedPlaces.size(), data + size, image.begin());
    for (std::size_t i = 0; i < kFixedPlaces.size(); ++i)
        image[kFixedPlaces[i]] = static_cast<char>(data[i]);

    zor::BattleCodec codec;
    zor::StreamArray bytes;
    bool decoded = true;
    try {
        codec.DecodeBattleBlocks(bytes, image);
    } catch (const zor::CodecError&) {
        decoded = false;
    }
    const auto stream = zor::NdArray<std::uint8_t, 1>::FromElements(std::move(bytes));
    // Whole blocks only, and always the closing 0 element.
    if (stream.upper() < 1 || stream(stream.upper()) != 0)
        std::abort();
    if (decoded && stream.upper() < zor::kBlockCount + 1)
        std::abort();
    try {
        const zor::BattleRecords records = zor::SplitBattleStream(stream);
        if (records.params.upper(1) != records.count + 1)
            std::abort();
    } catch (const zor::CodecError&) {
    }
    return 0;
}
