// Start-up to first paint of the reader against a bare Qt Widgets window, each in a
// process of its own.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <cstdio>
#include <string>
#include <vector>

#include "Goals.h"

namespace {

long long NowNs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

std::string MakeConfigDir() {
    char pattern[] = "/tmp/velun-bench-XXXXXX";
    return mkdtemp(pattern);
}

struct ChildRun {
    double firstPaintMs = -1;  // from fork to the program's first paint
    double cpuMs = 0;          // user and system time until the first paint
    long peakRssKb = 0;        // peak RSS until the first paint
};

// Both programs print "first-paint-ns N cpu-us N rss-kb N" at their first paint and end.
ChildRun RunUntilFirstPaint(const char* program, const std::string& configDir) {
    ChildRun run;
    int out[2];
    if (pipe(out) != 0) return run;
    long long start = NowNs();
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        setenv("VELUN_EXIT_AFTER_FIRST_PAINT", "1", 1);
        setenv("XDG_CONFIG_HOME", configDir.c_str(), 1);
        if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execl(program, program, (char*)nullptr);
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buf[256];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) text.append(buf, (size_t)n);
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long long paintNs = 0, cpuUs = 0;
    size_t at = text.find("first-paint-ns ");
    if (at == std::string::npos || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(text.c_str() + at, "first-paint-ns %lld cpu-us %lld rss-kb %ld", &paintNs, &cpuUs,
                    &run.peakRssKb) != 3)
        return run;
    run.firstPaintMs = (paintNs - start) / 1e6;
    run.cpuMs = cpuUs / 1e3;
    return run;
}

// One goal row from paired runs: the median of each program and of the ratios of the pairs.
void ReportPaired(const std::string& what, const std::vector<double>& ours, const std::vector<double>& bare,
                  int decimals, const char* unit, double goal) {
    std::vector<double> ratios;
    for (size_t i = 0; i < ours.size(); i++) ratios.push_back(ours[i] / bare[i]);
    Spread ratio = SpreadOf(ratios);
    ReportGoal({what, Described(SpreadOf(ours), decimals, unit),
                "bare window drawing one line: " + Described(SpreadOf(bare), decimals, unit) + "; pair ratios " +
                    Fixed(ratio.low, 2) + "-" + Fixed(ratio.high, 2),
                ratio.median, "<= " + Fixed(goal, 2) + "x", ratio.median <= goal});
}

// Started in turn, the order changing every pair, so that neither profits from the
// other's warm caches; figures are the medians of the runs with their spread.
void BM_StartupToFirstPaint(benchmark::State& state) {
    std::string config = MakeConfigDir();
    std::vector<double> velunMs, bareMs, velunCpu, bareCpu, velunRss, bareRss;
    for (auto _ : state) {
        bool bareFirst = velunMs.size() % 2;
        ChildRun bare = bareFirst ? RunUntilFirstPaint(BARE_WINDOW_EXE, config) : ChildRun{};
        ChildRun velun = RunUntilFirstPaint(VELUN_EXE, config);
        if (!bareFirst) bare = RunUntilFirstPaint(BARE_WINDOW_EXE, config);
        if (velun.firstPaintMs < 0 || bare.firstPaintMs < 0) {
            state.SkipWithError("a program ended without painting (is another reader running?)");
            break;
        }
        state.SetIterationTime(velun.firstPaintMs / 1000);
        velunMs.push_back(velun.firstPaintMs);
        bareMs.push_back(bare.firstPaintMs);
        velunCpu.push_back(velun.cpuMs);
        bareCpu.push_back(bare.cpuMs);
        velunRss.push_back((double)velun.peakRssKb / 1024);
        bareRss.push_back((double)bare.peakRssKb / 1024);
    }
    std::filesystem::remove_all(config);
    if (velunMs.empty()) return;
    state.counters["velun_first_paint_ms"] = SpreadOf(velunMs).median;
    state.counters["bare_first_paint_ms"] = SpreadOf(bareMs).median;
    const char* platform = getenv("QT_QPA_PLATFORM") ? getenv("QT_QPA_PLATFORM") : "offscreen";
    std::string on = std::string(" (") + platform + ", " + std::to_string(velunMs.size()) + " pairs)";
    ReportPaired("exec to first paint" + on, velunMs, bareMs, 1, " ms", 1.10);
    ReportPaired("CPU to first paint" + on, velunCpu, bareCpu, 1, " ms", 1.25);
    ReportPaired("peak RSS at first paint" + on, velunRss, bareRss, 1, " MB", 1.10);
}
BENCHMARK(BM_StartupToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
