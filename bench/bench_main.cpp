// The benchmarks' main: Google Benchmark's, except that with repetitions
// only the median of each benchmark is shown (the machine is shared, so a
// mean would carry other programs' bursts), and the load is shown at the
// end as Google Benchmark shows it at the start.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include <unistd.h>

namespace {

class MedianReporter : public benchmark::ConsoleReporter {
public:
    MedianReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown;
        for (const Run& run : runs) {
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (single || median) shown.push_back(run);
        }
        if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
    }
};

void PrintLoad(const char* when) {
    std::FILE* file = std::fopen("/proc/loadavg", "r");
    if (file == nullptr) return;
    double one = 0, five = 0, fifteen = 0;
    if (std::fscanf(file, "%lf %lf %lf", &one, &five, &fifteen) == 3)
        std::printf("Load Average %s: %.2f, %.2f, %.2f\n", when, one, five, fifteen);
    std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintLoad("at the end");
    return 0;
}
