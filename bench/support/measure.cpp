#include "bench/support/measure.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace bench {

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

double Seconds(const std::function<void()>& body) {
    const double start = Now();
    body();
    return Now() - start;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Report(const Result& r) {
    printf("%-40s %12.3f %-6s %-44s %12.3f %-6s ratio %.2f%s%s (median of %d rounds)\n", r.job, r.candidate, r.unit,
           r.baseline, r.baselineValue, r.unit, r.ratio, r.goal ? ", goal " : "", r.goal ? r.goal : "", r.rounds);
    printf("RESULT\t%s\t%.3f\t%s\t%.3f\t%s\t%.3f\t%s\t%d\n", r.job, r.candidate, r.baseline, r.baselineValue, r.unit,
           r.ratio, r.goal ? r.goal : "-", r.rounds);
    fflush(stdout);
}

}  // namespace bench
