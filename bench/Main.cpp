// Runs the benchmarks, then prints the goals they measured as one table.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "Goals.h"
#include "resources/Identity.h"

namespace {
std::vector<GoalRow>& Rows() {
    static std::vector<GoalRow> sRows;
    return sRows;
}

void PrintGoals() {
    if (Rows().empty()) return;
    std::printf("\n| what | Velun | reference | ratio | goal | met |\n|---|---|---|---|---|---|\n");
    for (const GoalRow& r : Rows())
        std::printf("| %s | %s | %s | %s | %s | %s |\n", r.what.c_str(), r.ours.c_str(), r.reference.c_str(),
                    Fixed(r.ratio, 2).c_str(), r.goal.c_str(), r.met ? "yes" : "NO");
}
}  // namespace

void ReportGoal(const GoalRow& row) {
    for (GoalRow& r : Rows()) {
        if (r.what == row.what) {
            r = row;
            return;
        }
    }
    Rows().push_back(row);
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

Spread SpreadOf(std::vector<double> values) {
    if (values.empty()) return {0, 0, 0};
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

std::string Described(const Spread& s, int decimals, const char* unit) {
    return Fixed(s.median, decimals) + unit + " (" + Fixed(s.low, decimals) + "-" + Fixed(s.high, decimals) + ")";
}

int main(int argc, char** argv) {
    RegisterProgramIdentity();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintGoals();
    return 0;
}
