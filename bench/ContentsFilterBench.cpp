// The Contents filter through the real window on the offscreen platform: from the
// box's change to the tree painted, for every prefix of a dozen filters, against
// a proxy model filtering a standard item tree of the same captions in a tree view,
// expanded to its matches and painted, in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTreeView>

#include "Goals.h"
#include "PanelStart.h"
#include "content/IndexRecords.h"
#include "platform/TestHooks.h"
#include "platform/qt/QtWindow.h"
#include "reader/ContentsTab.h"
#include "resources/Commands.h"
#include "shell/AppState.h"

namespace {

const char16_t* const kFilters[] = {u"tav",   u"gimel", u"12",    u"punctuation", u"alphabet", u"keys glance",
                                    u"greek", u"roman", u"zzzz",  u"letters",     u"type",     u"hebrew"};

double Seconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Every prefix of every filter, in the order typed.
std::vector<std::u16string> Prefixes() {
    std::vector<std::u16string> typed;
    for (const char16_t* filter : kFilters)
        for (size_t n = 1; filter[n - 1]; n++) typed.emplace_back(filter, n);
    return typed;
}

// One key: the box's text changes, the tree is filtered and painted, and whatever
// else of the window the key changed (not inlined, so that a profiler can count it
// alone).
[[gnu::noinline]] double TimeKey(HWND box, const std::u16string& typed) {
    double start = Seconds();
    SetWindowTextW(box, typed.c_str());
    PumpMessages();
    QWidget* tree = WindowOf(ContentsTreeWindow())->client;
    tree->repaint();
    PaintWhatIsLeft(tree);
    return Seconds() - start;
}

// The index's records as a standard item tree: a record's parent is the nearest
// record before it standing further left.
void FillModel(const IndexView* view, QStandardItemModel* model) {
    std::vector<std::pair<int, QStandardItem*>> open;  // x and item of the records above
    for (const IndexLine* m = view->lines; m->style; m++) {
        if (m != view->lines && m[-1].key == m->key) continue;
        auto* item = new QStandardItem(QString::fromLatin1((const char*)view->index + m->offset));
        while (!open.empty() && open.back().first >= m->x) open.pop_back();
        (open.empty() ? model->invisibleRootItem() : open.back().second)->appendRow(item);
        open.push_back({m->x, item});
    }
}

void BM_ContentsFilterKeyAgainstAProxyModel(benchmark::State& state) {
    ResetAppState();
    HWND window = StartAtPanelTab(kCmdContentsTab);
    if (!window) {
        state.SkipWithError("no main window");
        return;
    }
    HWND box = GetFocus();
    QStandardItemModel model;
    FillModel(ContentsTree(), &model);
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.setRecursiveFilteringEnabled(true);
    proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
    QTreeView reference;
    reference.setModel(&proxy);
    reference.resize(300, 700);
    reference.show();
    std::vector<double> ours, theirs;
    for (auto _ : state) {
        ours.clear();
        theirs.clear();
        // Each side types every prefix in a pass of its own: what one leaves behind
        // (timers, layouts, a cache filled with its data) is not timed as the other's.
        for (const std::u16string& typed : Prefixes()) ours.push_back(TimeKey(box, typed));
        SetWindowTextW(box, u"");
        PumpMessages();
        for (const std::u16string& typed : Prefixes()) {
            double start = Seconds();
            proxy.setFilterFixedString(QString::fromUtf16(typed.data(), (qsizetype)typed.size()));
            reference.expandAll();
            reference.repaint();
            QCoreApplication::processEvents();  // what the view left for later is its own work
            PaintWhatIsLeft(&reference);
            theirs.push_back(Seconds() - start);
        }
    }
    double worst = *std::max_element(ours.begin(), ours.end()), median = Median(ours), other = Median(theirs);
    state.counters["keys"] = (double)ours.size();
    state.counters["worst_key_ms"] = 1000 * worst;
    state.counters["median_key_ms"] = 1000 * median;
    state.counters["proxy_model_ms"] = 1000 * other;
    ReportGoal({"contents filter: key to tree painted, worst of " + std::to_string(ours.size()) + " keys",
                Fixed(1000 * worst, 3) + " ms", "1 ms", worst / 0.001, "<= 1x", worst <= 0.001});
    ReportGoal({"contents filter: key to tree painted, median", Fixed(1000 * median, 3) + " ms",
                "QSortFilterProxyModel tree in a QTreeView: " + Fixed(1000 * other, 3) + " ms", median / other,
                "<= 1x and <= 1 ms", median <= other && median <= 0.001});
    DestroyWindow(window);
    PumpMessages();
    StopMessageBoxScript();
}
BENCHMARK(BM_ContentsFilterKeyAgainstAProxyModel)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
