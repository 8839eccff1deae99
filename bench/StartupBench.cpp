// Start-up to first paint of the reader against a bare Qt Widgets window, each in a
// process of its own, and the latency of moving to the next article (load, layout
// and paint) in a window of the usual sizes.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "Goals.h"
#include "platform/RegistryStore.h"
#include "shell/AppState.h"
#include "shell/MainWindow.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"

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
    double totalMs = 0;        // from fork to its end
    double cpuMs = 0;          // user and system time of the whole run
    long peakRssKb = 0;
};

// Both programs print "first-paint-ns N" on the monotonic clock at their first paint and end.
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
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.totalMs = (NowNs() - start) / 1e6;
    run.peakRssKb = usage.ru_maxrss;
    run.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    size_t at = text.find("first-paint-ns ");
    if (at != std::string::npos && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        run.firstPaintMs = (std::stoll(text.substr(at + 15)) - start) / 1e6;
    return run;
}

void BM_StartupToFirstPaint(benchmark::State& state) {
    std::string config = MakeConfigDir();
    double velunMs = 0, bareMs = 0, velunTotal = 0, bareTotal = 0, velunCpu = 0, bareCpu = 0;
    long velunRss = 0, bareRss = 0;
    int runs = 0;
    for (auto _ : state) {
        ChildRun velun = RunUntilFirstPaint(VELUN_EXE, config);
        ChildRun bare = RunUntilFirstPaint(BARE_WINDOW_EXE, config);
        if (velun.firstPaintMs < 0 || bare.firstPaintMs < 0) {
            state.SkipWithError("a program ended without painting (is another reader running?)");
            break;
        }
        state.SetIterationTime(velun.firstPaintMs / 1000);
        velunMs += velun.firstPaintMs;
        bareMs += bare.firstPaintMs;
        velunTotal += velun.totalMs;
        velunCpu += velun.cpuMs;
        bareCpu += bare.cpuMs;
        bareTotal += bare.totalMs;
        velunRss = std::max(velunRss, velun.peakRssKb);
        bareRss = std::max(bareRss, bare.peakRssKb);
        runs++;
    }
    std::filesystem::remove_all(config);
    if (!runs) return;
    state.counters["velun_first_paint_ms"] = velunMs / runs;
    state.counters["bare_first_paint_ms"] = bareMs / runs;
    state.counters["first_paint_ratio"] = velunMs / bareMs;
    state.counters["velun_total_ms"] = velunTotal / runs;
    state.counters["bare_total_ms"] = bareTotal / runs;
    state.counters["velun_peak_rss_kb"] = (double)velunRss;
    state.counters["bare_peak_rss_kb"] = (double)bareRss;
    state.counters["rss_ratio"] = (double)velunRss / (double)bareRss;
    state.counters["cpu_ratio"] = velunCpu / bareCpu;
    const char* platform = getenv("QT_QPA_PLATFORM") ? getenv("QT_QPA_PLATFORM") : "offscreen";
    std::string on = std::string(" (") + platform + ")";
    ReportGoal({"exec to first paint" + on, Fixed(velunMs / runs, 1) + " ms",
                "bare window drawing one line: " + Fixed(bareMs / runs, 1) + " ms", velunMs / bareMs, "<= 1.2x",
                velunMs / bareMs <= 1.2});
    ReportGoal({"CPU time of the same runs" + on, Fixed(velunCpu / runs, 1) + " ms",
                "bare window: " + Fixed(bareCpu / runs, 1) + " ms", velunCpu / bareCpu, "<= 1.2x",
                velunCpu / bareCpu <= 1.2});
    ReportGoal({"peak RSS at first paint" + on, std::to_string(velunRss) + " KB",
                "bare window: " + std::to_string(bareRss) + " KB", (double)velunRss / (double)bareRss, "<= 1.2x",
                (double)velunRss <= 1.2 * (double)bareRss});
}
BENCHMARK(BM_StartupToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// A main window of the given client size, made as the start-up makes it.
HWND OpenReaderWindow(int width, int height) {
    ResetAppState();
    gApp.instance = GetModuleHandleW(nullptr);
    gApp.Flags = kDefaultFlags;
    LoadSettings();
    SetCurrentArticle(0);
    RegisterMainWindowClass(gApp.instance, kMainWindowClass);
    HWND window = CreateWindowExW(WS_EX_WINDOWEDGE, kMainWindowClass, kMainWindowTitle, WS_VISIBLE | WS_VSCROLL,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  gApp.instance, nullptr);
    if (!window) return nullptr;
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    MoveWindow(window, 0, 0, width + (frame.right - frame.left) - client.right,
               height + (frame.bottom - frame.top) - client.bottom, TRUE);
    return window;
}

void BM_NextArticle(benchmark::State& state) {
    std::string config = MakeConfigDir();
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ForgetRegistry();
    HWND window = OpenReaderWindow((int)state.range(0), (int)state.range(1));
    if (!window || !gApp.articleView) {
        state.SkipWithError("no main window");
        return;
    }
    for (auto _ : state) NextArticle(window);
    state.counters["view_width"] = gApp.articleView->width;
    state.counters["view_height"] = gApp.articleView->height;
    DestroyWindow(window);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    ForgetRegistry();
    std::filesystem::remove_all(config);
}
BENCHMARK(BM_NextArticle)->Args({240, 320})->Args({1024, 768})->Unit(benchmark::kMicrosecond);

}  // namespace
