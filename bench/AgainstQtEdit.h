// Timing one piece of reader work against a QTextEdit doing the same in the same
// run: the medians of both, as counters and as a goal row (within 4 ms, faster).
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "Goals.h"

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

inline void ReportAgainstQtEdit(benchmark::State& state, const std::string& what, const std::vector<double>& ours,
                                const std::vector<double>& qt) {
    double ourMs = MedianOf(ours) * 1000, qtMs = MedianOf(qt) * 1000;
    state.counters["ours_ms"] = ourMs;
    state.counters["qtextedit_ms"] = qtMs;
    ReportGoal({what, Fixed(ourMs, 3) + " ms median", "QTextEdit: " + Fixed(qtMs, 3) + " ms", ourMs / qtMs,
                "<= 4 ms and < 1x", ourMs <= 4 && ourMs < qtMs});
}
