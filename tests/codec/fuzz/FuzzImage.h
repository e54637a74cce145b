#pragma once

// How a fuzz input becomes an image: its first 7 bytes are the bytes of the fixed
// places (dictionary pointer, table pointer, block bank), the rest is the image from
// offset 0. The image is at least large enough for the fixed places; pointers in bank
// $80 reach the input's bytes directly, so mutations get to the block decoding.

#include "core/codec/BattleCodec.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace zor::fuzz {

inline constexpr std::array<std::int32_t, 7> kFixedPlaces{kDictionaryPointerLow, kDictionaryPointerHigh, kDictionaryPointerBank,
                                                         kTablePointerLow,      kTablePointerHigh,      kTablePointerBank,
                                                         kBlockBankOffset};
inline constexpr qsizetype kMinImageSize = kBlockBankOffset + 1;

inline QByteArray ImageFromInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kFixedPlaces.size())
        return QByteArray();
    const auto body = static_cast<qsizetype>(size - kFixedPlaces.size());
    QByteArray image(std::max(body, kMinImageSize), '\0');
    std::copy(data + kFixedPlaces.size(), data + size, image.begin());
    for (std::size_t i = 0; i < kFixedPlaces.size(); ++i)
        image[kFixedPlaces[i]] = static_cast<char>(data[i]);
    return image;
}

} // namespace zor::fuzz
