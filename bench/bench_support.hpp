// Shared by every benchmark: an allocation counter and ratio reporting.
//
// Each speed goal is a ratio to a baseline measured in the same run, so that the
// figures mean the same on a fast and a slow machine.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

namespace brinewake_bench {

// Heap allocations made by this process so far (every operator new counts).
uint64_t allocation_count();

// Reports allocations per iteration made while `state` ran, as the counter "allocs".
class AllocationScope {
public:
    explicit AllocationScope(benchmark::State &p_state) : state(p_state), start(allocation_count()) {}
    ~AllocationScope() {
        const double iterations = state.iterations() > 0 ? double(state.iterations()) : 1.0;
        state.counters["allocs"] = double(allocation_count() - start) / iterations;
    }

private:
    benchmark::State &state;
    uint64_t start;
};

// After the run, prints `benchmark / baseline` of their CPU time per iteration,
// with the goal it is held to. Call at static-initialisation time through
// BRINEWAKE_RATIO, next to the benchmarks it compares.
int register_ratio(const char *p_benchmark, const char *p_baseline, double p_goal);

// After the run, prints the bytes per second that `benchmark` reported through SetBytesProcessed,
// against a floor. For goals stated as a throughput, such as a packet encoder's; call through
// BRINEWAKE_THROUGHPUT.
int register_throughput(const char *p_benchmark, double p_bytes_per_second);

} // namespace brinewake_bench

#define BRINEWAKE_RATIO_CONCAT_(a, b) a##b
#define BRINEWAKE_RATIO_NAME_(line) BRINEWAKE_RATIO_CONCAT_(brinewake_ratio_, line)
#define BRINEWAKE_RATIO(benchmark_name, baseline_name, goal)                                                 \
    static const int BRINEWAKE_RATIO_NAME_(__LINE__) =                                                       \
        ::brinewake_bench::register_ratio(benchmark_name, baseline_name, goal)
#define BRINEWAKE_THROUGHPUT(benchmark_name, bytes_per_second)                                               \
    static const int BRINEWAKE_RATIO_NAME_(__LINE__) =                                                       \
        ::brinewake_bench::register_throughput(benchmark_name, bytes_per_second)
