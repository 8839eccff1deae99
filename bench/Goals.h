// The goals the benchmarks are held to: each benchmark that measures one adds a
// row, and the benchmark program prints them all as one table at the end.
#pragma once

#include <string>
#include <vector>

struct GoalRow {
    std::string what;
    std::string ours;       // our figure, with its unit
    std::string reference;  // the reference's figure and what the reference is
    double ratio;           // as the goal states it
    std::string goal;       // e.g. ">= 1.5x its speed"
    bool met;
};

// Replaces an earlier row of the same name (a benchmark may run more than once).
void ReportGoal(const GoalRow& row);
// Formats a value with the given number of decimals.
std::string Fixed(double value, int decimals);

// The median of measurements and their spread, the lowest and the highest.
struct Spread {
    double median, low, high;
};
Spread SpreadOf(std::vector<double> values);
// "median unit (low-high)".
std::string Described(const Spread& spread, int decimals, const char* unit);
