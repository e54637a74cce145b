// The battle codec on the sample image: our encoder, a straightforward one that
// searches the whole dictionary anew for every candidate length, and the decoder.
// Prints how many times faster our encoder is than the straightforward one.

#include "core/sample/Sample.h"
#include "core/codec/BattleCodec.h"
#include "tests/codec/ReferenceEncoder.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

struct Sample {
    QByteArray image = zor::MakeSampleImage();
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

// Keeps the time of every benchmark so that the ratio can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                seconds_[run.run_name.function_name] = run.real_accumulated_time / static_cast<double>(run.iterations);
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatio() const
    {
        const auto ours = seconds_.find("EncodeSample");
        const auto plain = seconds_.find("EncodeSampleStraightforward");
        if (ours != seconds_.end() && plain != seconds_.end() && ours->second > 0)
            std::printf("straightforward encoder / our encoder: %.1f times the time\n", plain->second / ours->second);
    }

private:
    std::map<std::string, double> seconds_;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio();
    benchmark::Shutdown();
    return 0;
}
