#include "support/BlockCost.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<long> allocations{0};

void* countedAllocation(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (auto* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* countedAllocation(std::size_t size, const std::nothrow_t&) noexcept
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}

double unitToSeconds(benchmark::TimeUnit unit)
{
    switch (unit)
    {
    case benchmark::kNanosecond:
        return 1e-9;
    case benchmark::kMicrosecond:
        return 1e-6;
    case benchmark::kMillisecond:
        return 1e-3;
    case benchmark::kSecond:
        return 1.0;
    }
    return 1e-9;
}
} // namespace

// Replaced for the whole program as soon as a benchmark uses this file (it asks for the count).
void* operator new(std::size_t size)
{
    return countedAllocation(size);
}
void* operator new[](std::size_t size)
{
    return countedAllocation(size);
}
void* operator new(std::size_t size, const std::nothrow_t& tag) noexcept
{
    return countedAllocation(size, tag);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return countedAllocation(size, tag);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace BlockCost
{
long allocationsSoFar()
{
    return allocations.load();
}

void reportAllocations(benchmark::State& state, long before)
{
    state.counters["allocs_per_block"] = (double)(allocationsSoFar() - before) /
                                         (double)std::max<benchmark::IterationCount>(1, state.iterations());
}

void Reporter::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs)
        if (run.run_type == Run::RT_Iteration && !run.error_occurred)
        {
            const auto allocs = run.counters.find("allocs_per_block");
            results.push_back({run.benchmark_name(), run.GetAdjustedRealTime() * unitToSeconds(run.time_unit),
                               allocs == run.counters.end() ? 0.0 : allocs->second.value});
        }
}

void Reporter::Finalize()
{
    ConsoleReporter::Finalize();
    summarise();
}

double Reporter::secondsOf(const std::string& name) const
{
    for (const auto& r : results)
        if (r.name == name)
            return r.seconds;
    return 0.0;
}
} // namespace BlockCost
