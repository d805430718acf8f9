// What every benchmark shares: a clock, the median of rounds, and the result line that
// scripts/bench.sh gathers into one table.
#pragma once

#include <functional>
#include <vector>

namespace bench {

// Seconds on a monotonic clock.
double Now();
// Seconds that body took.
double Seconds(const std::function<void()>& body);
// The middle value (of an odd count; the upper middle of an even one); 0 for none.
double Median(std::vector<double> values);

struct Result {
    const char* job;          // what is measured, such as "DeleteRegTree, 10,000 keys"
    const char* baseline;     // the platform doing the same work in the same run
    double candidate;         // median of the job's rounds, in unit
    double baselineValue;     // median of the baseline's rounds, in unit
    const char* unit;         // "ms", "us", "KiB/s", "s/hour"
    double ratio;             // median of the rounds' own ratios
    const char* goal;         // "<= 1.10", ">= 0.95", or nullptr when there is none
    int rounds;
};

// One readable line, then one tab-separated line beginning with "RESULT" for scripts/bench.sh.
void Report(const Result& result);

}  // namespace bench
