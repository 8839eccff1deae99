// A search that finds nothing: Search Again scans every article of the collection.
// Measured in the same run against grep -F, with and without case, run once over a
// file holding the decoded text many times over, so that its start-up is a small
// share of its time. Both are CPU time (ours of this thread, grep's from wait4).
// Find All of a common word is measured against that miss, in the same run.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Goals.h"
#include "content/ArticleRecords.h"
#include "content/Content.h"
#include "platform/TestHooks.h"
#include "platform/fake/FakeSurface.h"
#include "shell/AppState.h"
#include "reader/FindAll.h"
#include "shell/Search.h"

extern char** environ;

namespace {

constexpr const char* kAbsent = "qzxv quill";
constexpr int kGrepCopies = 200;

double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

// Every record's text on a line of its own, the whole collection `copies` times.
std::string WriteDecodedCollection(int copies) {
    std::string text;
    for (int n = 1; n <= kArticleCount; n++) {
        BYTE* article = LoadContent(n, nullptr);
        ArticleWalker walker = StartArticleWalk(article);
        ArticleRecord record;
        while (article && NextArticleRecord(&walker, &record)) {
            text.append((const char*)record.text, record.textLength);
            text += '\n';
        }
        free(article);
    }
    char path[] = "/tmp/velun-collection-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return "";
    FILE* file = fdopen(fd, "w");
    for (int i = 0; i < copies; i++) fwrite(text.data(), 1, text.size(), file);
    fclose(file);
    return path;
}

// CPU seconds of one grep over the file; negative when it did not run or matched.
double TimeGrep(const std::string& file, bool matchCase) {
    std::vector<const char*> argv = {"grep", "-F", "-c"};
    if (!matchCase) argv.push_back("-i");
    for (const char* arg : {"-e", kAbsent, file.c_str()}) argv.push_back(arg);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    int failed = posix_spawnp(&pid, "grep", &actions, nullptr, (char* const*)argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) return -1;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    double seconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                     (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    // grep exits 1 when nothing matched, which is what is asked of it here.
    return WIFEXITED(status) && WEXITSTATUS(status) == 1 ? seconds : -1;
}

// Per copy of the collection, with grep's start-up (estimated from a run over one
// copy) given as its share of the whole run.
struct GrepFigures {
    double perCopy = -1;
    double startupShare = 0;
};

GrepFigures MeasureGrep(bool matchCase) {
    GrepFigures figures;
    std::string one = WriteDecodedCollection(1), many = WriteDecodedCollection(kGrepCopies);
    double single = TimeGrep(one, matchCase), whole = TimeGrep(many, matchCase);
    unlink(one.c_str());
    unlink(many.c_str());
    if (single < 0 || whole < 0) return figures;
    double scanPerCopy = (whole - single) / (kGrepCopies - 1);
    figures.perCopy = whole / kGrepCopies;
    figures.startupShare = std::max(0.0, single - scanPerCopy) / whole;
    return figures;
}

// The reader as the searches find it: article 1 shown at 240x320 on a fake surface,
// message boxes answered by script.
ArticleView* OpenReaderAtArticle1(uint32_t flags) {
    ResetAppState();
    gApp.fontSettings.FontAsciiBase = 97;
    gApp.Flags = flags;
    ScriptMessageBoxes({});
    RECT rect = {0, 0, 240, 320};
    ArticleView* view = CreateArticleView(CreateFakeDC(), &rect, &gApp.fontSettings, 100);
    gApp.articleView = view;
    gApp.currentArticle = 1;
    LayoutArticle(view, LoadContent(1, nullptr), TRUE);
    return view;
}

void CloseReader(ArticleView* view) {
    StopMessageBoxScript();
    gApp.articleView = nullptr;
    HDC dc = view->surface;
    DestroyArticleView(view, TRUE);
    DeleteDC(dc);
}

void BM_SearchCollectionFindingNothingAgainstGrep(benchmark::State& state) {
    bool matchCase = state.range(0) != 0;
    GrepFigures grep = MeasureGrep(matchCase);
    if (grep.perCopy < 0) {
        state.SkipWithError("grep did not run or found the string");
        return;
    }
    ReleaseSearchableArticles();
    ArticleView* view = OpenReaderAtArticle1(matchCase ? kDefaultFlags | kFlagMatchCase : kDefaultFlags);
    strcpy(gApp.searchString, kAbsent);
    double first = ThreadSeconds();
    FindNext(nullptr);  // the first search decodes the collection
    double firstSeconds = ThreadSeconds() - first;

    double searchSeconds = 0;
    for (auto _ : state) {
        double start = ThreadSeconds();
        int found = FindNext(nullptr);
        searchSeconds += ThreadSeconds() - start;
        if (found) state.SkipWithError("the absent string was found");
    }
    double search = searchSeconds / (double)state.iterations();
    state.counters["first_search_ms"] = 1000 * firstSeconds;
    state.counters["search_ms"] = 1000 * search;
    state.counters["grep_ms"] = 1000 * grep.perCopy;
    state.counters["grep_startup_share"] = grep.startupShare;
    state.counters["search/grep"] = search / grep.perCopy;
    ReportGoal({std::string("whole-collection search miss, Match Case ") + (matchCase ? "on" : "off"),
                Fixed(1000 * search, 3) + " ms (first search " + Fixed(1000 * firstSeconds, 2) + " ms)",
                std::string("grep -F") + (matchCase ? "" : " -i") + " over " + std::to_string(kGrepCopies) +
                    " copies: " + Fixed(1000 * grep.perCopy, 3) + " ms a copy (start-up " +
                    Fixed(100 * grep.startupShare, 1) + " %)",
                search / grep.perCopy, "<= 3x", search / grep.perCopy <= 3});

    CloseReader(view);
}
BENCHMARK(BM_SearchCollectionFindingNothingAgainstGrep)
    ->ArgName("match_case")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

void CountHit(const FoundHit&, void* context) { ++*(int*)context; }

// Find All of a common word, every hit with its title and context, against the
// single whole-collection miss, both in the same run.
void BM_FindAllTheAgainstOneMiss(benchmark::State& state) {
    ArticleView* view = OpenReaderAtArticle1(kDefaultFlags);

    double allSeconds = 0, missSeconds = 0;
    int hits = 0;
    for (auto _ : state) {
        strcpy(gApp.searchString, "the");
        double start = ThreadSeconds();
        hits = 0;
        FindAllHits(CountHit, &hits);
        allSeconds += ThreadSeconds() - start;
        strcpy(gApp.searchString, kAbsent);
        start = ThreadSeconds();
        if (FindNext(nullptr)) state.SkipWithError("the absent string was found");
        missSeconds += ThreadSeconds() - start;
    }
    double runs = (double)state.iterations();
    state.counters["hits"] = hits;
    state.counters["find_all_ms"] = 1000 * allSeconds / runs;
    state.counters["miss_ms"] = 1000 * missSeconds / runs;
    state.counters["find_all/miss"] = allSeconds / missSeconds;
    double ratio = allSeconds / missSeconds;
    ReportGoal({"Find All of \"the\", every hit with its title and context",
                Fixed(1000 * allSeconds / runs, 3) + " ms for " + std::to_string(hits) + " hits",
                "one whole-collection miss: " + Fixed(1000 * missSeconds / runs, 3) + " ms", ratio, "<= 3x",
                ratio <= 3});

    CloseReader(view);
}
BENCHMARK(BM_FindAllTheAgainstOneMiss)->Unit(benchmark::kMillisecond);

}  // namespace
