// Feeds arbitrary images to the block decoder and the record split: they may refuse
// with CodecError, but must never read outside the image or leave a malformed stream.

#include "core/codec/BattleCodec.h"
#include "core/document/BattleRecords.h"
#include "tests/codec/fuzz/FuzzImage.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray image = zor::fuzz::ImageFromInput(data, size);
    if (image.isEmpty())
        return 0;
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
