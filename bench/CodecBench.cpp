// The battle codec on the sample image: our encoder, a straightforward one that
// searches the whole dictionary anew for every candidate length, and the decoder.
// Prints how many times faster our encoder is than the straightforward one.

#include "core/sample/Sample.h"
#include "core/codec/BattleCodec.h"
#include "tests/codec/ReferenceEncoder.h"

#include "bench/RatioReporter.h"

#include <benchmark/benchmark.h>


#include <cstdio>
#include <string>

namespace {

struct Sample {
    QByteArray image = *zor::MakeSampleImage();
    zor::NdArray<std::uint8_t, 1> stream = zor::SampleBattleStream();
    std::vector<std::uint8_t> streamBytes;
    std::vector<std::uint8_t> dictionary;

    Sample()
    {
        for (int i = 0; i <= stream.upper(); ++i)
            streamBytes.push_back(stream(i));
        const QByteArray d = zor::SampleDictionary();
        dictionary.assign(d.begin(), d.end());
    }
};

const Sample& TheSample()
{
    static const Sample sample;
    return sample;
}

void EncodeSample(benchmark::State& state)
{
    QByteArray image = TheSample().image;
    zor::BattleCodec codec;
    codec.SetDictionaryBase(zor::kSampleDictionaryBase);
    for (auto _ : state) {
        codec.EncodeBattleBlocks(TheSample().streamBytes, image);
        benchmark::DoNotOptimize(image.data());
    }
    state.counters["stream_bytes"] = TheSample().stream.upper();
}
BENCHMARK(EncodeSample)->Unit(benchmark::kMicrosecond);

void EncodeSampleStraightforward(benchmark::State& state)
{
    for (auto _ : state) {
        const zor::test::ReferenceEncoding encoded = zor::test::ReferenceEncode(TheSample().dictionary, TheSample().streamBytes);
        benchmark::DoNotOptimize(encoded.region.data());
    }
}
BENCHMARK(EncodeSampleStraightforward)->Unit(benchmark::kMillisecond);

void DecodeSample(benchmark::State& state)
{
    zor::BattleCodec codec;
    zor::StreamArray output;
    for (auto _ : state) {
        codec.DecodeBattleBlocks(output, TheSample().image);
        benchmark::DoNotOptimize(&output);
    }
}
BENCHMARK(DecodeSample)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    zor::bench::RatioReporter reporter;
    if (!reporter.run(&argc, argv))
        return 1;
    const auto ours = reporter.seconds("EncodeSample");
    const auto plain = reporter.seconds("EncodeSampleStraightforward");
    if (ours && plain && *ours > 0)
        std::printf("straightforward encoder / our encoder: %.1f times the time\n", *plain / *ours);
    return 0;
}
