// Benchmark driver: runs every benchmark, then prints the registered ratios.
#include "bench_support.hpp"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>
#include <vector>

namespace {

std::atomic<uint64_t> g_allocations{0};

struct Ratio {
    std::string benchmark;
    std::string baseline;
    double goal;
};

std::vector<Ratio> &ratios() {
    static std::vector<Ratio> list;
    return list;
}

struct Throughput {
    std::string benchmark;
    double floor; // bytes per second
};

std::vector<Throughput> &throughputs() {
    static std::vector<Throughput> list;
    return list;
}

// Forwards to the console and remembers each run's CPU time per iteration.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> cpu_ns;
    std::map<std::string, double> bytes_per_second;

    void ReportRuns(const std::vector<Run> &p_runs) override {
        for (const Run &run : p_runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                cpu_ns[run.benchmark_name()] = run.GetAdjustedCPUTime();
                const auto bytes = run.counters.find("bytes_per_second");
                if (bytes != run.counters.end()) {
                    bytes_per_second[run.benchmark_name()] = bytes->second.value;
                }
            }
        }
        ConsoleReporter::ReportRuns(p_runs);
    }
};

} // namespace

uint64_t brinewake_bench::allocation_count() {
    return g_allocations.load(std::memory_order_relaxed);
}

int brinewake_bench::register_ratio(const char *p_benchmark, const char *p_baseline, double p_goal) {
    ratios().push_back({p_benchmark, p_baseline, p_goal});
    return int(ratios().size());
}

int brinewake_bench::register_throughput(const char *p_benchmark, double p_bytes_per_second) {
    throughputs().push_back({p_benchmark, p_bytes_per_second});
    return int(throughputs().size());
}

void *operator new(std::size_t p_size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void *memory = std::malloc(p_size ? p_size : 1)) {
        return memory;
    }
    throw std::bad_alloc();
}
void *operator new[](std::size_t p_size) {
    return operator new(p_size);
}
void operator delete(void *p_memory) noexcept {
    std::free(p_memory);
}
void operator delete[](void *p_memory) noexcept {
    std::free(p_memory);
}
void operator delete(void *p_memory, std::size_t) noexcept {
    std::free(p_memory);
}
void operator delete[](void *p_memory, std::size_t) noexcept {
    std::free(p_memory);
}

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%-40s %-32s %8s %8s  %s\n", "benchmark", "baseline", "ratio", "goal", "");
    for (const Ratio &ratio : ratios()) {
        const auto measured = reporter.cpu_ns.find(ratio.benchmark);
        const auto base = reporter.cpu_ns.find(ratio.baseline);
        if (measured == reporter.cpu_ns.end() || base == reporter.cpu_ns.end() || base->second <= 0.0) {
            continue; // filtered out of this run
        }
        const double value = measured->second / base->second;
        std::printf("%-40s %-32s %8.3f %8.3f  %s\n", ratio.benchmark.c_str(), ratio.baseline.c_str(), value,
                    ratio.goal, value <= ratio.goal ? "ok" : "OVER GOAL");
    }

    bool heading = false;
    for (const Throughput &throughput : throughputs()) {
        const auto measured = reporter.bytes_per_second.find(throughput.benchmark);
        if (measured == reporter.bytes_per_second.end()) {
            continue; // filtered out of this run
        }
        if (!heading) {
            std::printf("\n%-40s %-32s %8s %8s  %s\n", "benchmark", "throughput", "GB/s", "goal", "");
            heading = true;
        }
        std::printf("%-40s %-32s %8.3f %8.3f  %s\n", throughput.benchmark.c_str(), "bytes per CPU second",
                    measured->second / 1e9, throughput.floor / 1e9,
                    measured->second >= throughput.floor ? "ok" : "UNDER GOAL");
    }
    return 0;
}
