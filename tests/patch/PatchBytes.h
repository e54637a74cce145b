#pragma once

// Images for the patch tests.

#include <QByteArray>

#include <random>

namespace zor::test {

// size bytes that repeat nowhere nearby, from a fixed seed.
inline QByteArray NoisyImage(qsizetype size, unsigned seed = 1)
{
    std::mt19937 random(seed);
    QByteArray image(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        image[i] = static_cast<char>(random() & 0xFF);
    return image;
}

} // namespace zor::test
