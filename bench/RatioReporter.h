#pragma once

// The console report, keeping each benchmark's time per iteration so that a program can
// print how its benchmarks compare once they have run. With --benchmark_repetitions the
// median repetition counts: on a busy machine run the ratios with repetitions, interleaved
// so that both sides of a ratio meet the same load
// (--benchmark_repetitions=9 --benchmark_enable_random_interleaving=true).

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zor::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                seconds_[run.run_name.function_name].push_back(run.real_accumulated_time / static_cast<double>(run.iterations));
        ConsoleReporter::ReportRuns(runs);
    }

    // Seconds per iteration of a benchmark that ran (the median of its repetitions); nothing for one that didn't.
    std::optional<double> seconds(const std::string& name) const
    {
        const auto found = seconds_.find(name);
        if (found == seconds_.end())
            return std::nullopt;
        std::vector<double> runs = found->second;
        std::nth_element(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(runs.size() / 2), runs.end());
        return runs[runs.size() / 2];
    }

    // "label: R times (target: at most T)" when both benchmarks ran; nothing otherwise.
    void printRatio(const std::string& ours, const std::string& baseline, const char* label, double target) const
    {
        const std::optional<double> a = seconds(ours);
        const std::optional<double> b = seconds(baseline);
        if (a && b && *b > 0)
            std::printf("%s: %.2f times (target: at most %.1f)\n", label, *a / *b, target);
    }

    // Runs the benchmarks chosen on the command line with this report; false on bad arguments.
    bool run(int* argc, char** argv)
    {
        benchmark::Initialize(argc, argv);
        if (benchmark::ReportUnrecognizedArguments(*argc, argv))
            return false;
        benchmark::RunSpecifiedBenchmarks(this);
        benchmark::Shutdown();
        return true;
    }

private:
    std::map<std::string, std::vector<double>> seconds_; // by benchmark, each repetition's
};

} // namespace zor::bench
