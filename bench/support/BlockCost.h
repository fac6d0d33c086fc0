#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

/** What the benchmarks of device callbacks share: a count of every allocation the program makes
    (linking this replaces the global operator new), the allocations per iteration as a counter,
    and a console reporter that keeps each run's time per iteration for a summary of its own. */
namespace BlockCost
{
/** Allocations made so far by the whole program, on every thread. */
long allocationsSoFar();

/** Sets the counter "allocs_per_block": allocations since `before`, per iteration of the state. */
void reportAllocations(benchmark::State& state, long before);

struct Result
{
    std::string name;
    double seconds = 0.0;
    double allocations = 0.0;
};

/** Prints the runs as usual and keeps them; the summary is printed after them by summarise. */
class Reporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

protected:
    virtual void summarise() = 0;

    /** The time per iteration of the run of that name, or 0 when there is none. */
    double secondsOf(const std::string& name) const;

    std::vector<Result> results;
};
} // namespace BlockCost
