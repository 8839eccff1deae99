// A search that finds nothing: Search Again decodes and scans every article of the
// collection. Measured in the same run against grep -F -c over a file holding the
// decoded collection, with and without case. Find All of a common word is measured
// against that miss.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "content/ArticleRecords.h"
#include "content/Content.h"
#include "platform/TestHooks.h"
#include "platform/fake/FakeSurface.h"
#include "shell/AppState.h"
#include "shell/FindAll.h"
#include "shell/Search.h"

namespace {

constexpr const char* kAbsent = "qzxv quill";

double Seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Every record's text on a line of its own.
std::string WriteDecodedCollection() {
    char path[] = "/tmp/velun-collection-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return "";
    FILE* file = fdopen(fd, "w");
    for (int n = 1; n <= kArticleCount; n++) {
        BYTE* article = LoadContent(n, nullptr);
        ArticleWalker walker = StartArticleWalk(article);
        ArticleRecord record;
        while (article && NextArticleRecord(&walker, &record)) {
            fwrite(record.text, 1, record.textLength, file);
            fputc('\n', file);
        }
        free(article);
    }
    fclose(file);
    return path;
}

// Seconds of one grep run, its process start included; negative when it failed.
double TimeGrep(const std::string& file, bool matchCase) {
    std::string command = std::string("grep -F -c ") + (matchCase ? "" : "-i ") + "'" + kAbsent + "' " + file +
                          " >/dev/null";
    double start = Seconds();
    int status = system(command.c_str());
    double seconds = Seconds() - start;
    // grep exits 1 when nothing matched, which is what is asked of it here.
    return WIFEXITED(status) && WEXITSTATUS(status) == 1 ? seconds : -1;
}

void BM_SearchCollectionFindingNothingAgainstGrep(benchmark::State& state) {
    bool matchCase = state.range(0) != 0;
    ResetAppState();
    gApp.fontSettings.FontAsciiBase = 97;
    gApp.Flags = matchCase ? kDefaultFlags | kFlagMatchCase : kDefaultFlags;
    strcpy(gApp.searchString, kAbsent);
    ScriptMessageBoxes({});
    HDC dc = CreateFakeDC();
    RECT rect = {0, 0, 240, 320};
    ArticleView* view = CreateArticleView(dc, &rect, &gApp.fontSettings, 100);
    gApp.articleView = view;
    gApp.currentArticle = 1;
    LayoutArticle(view, LoadContent(1, nullptr), TRUE);
    std::string file = WriteDecodedCollection();

    double searchSeconds = 0, grepSeconds = 0;
    for (auto _ : state) {
        double start = Seconds();
        int found = FindNext(nullptr);
        searchSeconds += Seconds() - start;
        if (found) state.SkipWithError("the absent string was found");
        double grep = TimeGrep(file, matchCase);
        if (grep < 0) state.SkipWithError("grep did not run or found the string");
        grepSeconds += grep;
    }
    double runs = (double)state.iterations();
    state.counters["search_ms"] = 1000 * searchSeconds / runs;
    state.counters["grep_ms"] = 1000 * grepSeconds / runs;
    state.counters["search/grep"] = searchSeconds / grepSeconds;

    unlink(file.c_str());
    StopMessageBoxScript();
    gApp.articleView = nullptr;
    DestroyArticleView(view, TRUE);
    DeleteDC(dc);
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
    ResetAppState();
    gApp.fontSettings.FontAsciiBase = 97;
    gApp.Flags = kDefaultFlags;
    ScriptMessageBoxes({});
    HDC dc = CreateFakeDC();
    RECT rect = {0, 0, 240, 320};
    ArticleView* view = CreateArticleView(dc, &rect, &gApp.fontSettings, 100);
    gApp.articleView = view;
    gApp.currentArticle = 1;
    LayoutArticle(view, LoadContent(1, nullptr), TRUE);

    double allSeconds = 0, missSeconds = 0;
    int hits = 0;
    for (auto _ : state) {
        strcpy(gApp.searchString, "the");
        double start = Seconds();
        hits = 0;
        FindAllHits(CountHit, &hits);
        allSeconds += Seconds() - start;
        strcpy(gApp.searchString, kAbsent);
        start = Seconds();
        if (FindNext(nullptr)) state.SkipWithError("the absent string was found");
        missSeconds += Seconds() - start;
    }
    double runs = (double)state.iterations();
    state.counters["hits"] = hits;
    state.counters["find_all_ms"] = 1000 * allSeconds / runs;
    state.counters["miss_ms"] = 1000 * missSeconds / runs;
    state.counters["find_all/miss"] = allSeconds / missSeconds;

    StopMessageBoxScript();
    gApp.articleView = nullptr;
    DestroyArticleView(view, TRUE);
    DeleteDC(dc);
}
BENCHMARK(BM_FindAllTheAgainstOneMiss)->Unit(benchmark::kMillisecond);

}  // namespace
