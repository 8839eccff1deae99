// bench/ measures the program with Google Benchmark, each benchmark against a fair
// reference in the same run, ending with a table of goals (Goals.h).
// The collection compiler's cost: the whole collection, and the compressor on the
// largest article with the greedy parse for comparison.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "tools/Collection.h"
#include "tools/Compress.h"

namespace {

const std::string kCollectionDir = std::string(VELUN_SOURCE_DIR) + "/collection";

Bytes LargestArticle() {
    Diagnostics diag;
    std::vector<PackedResource> resources = PackCollection(kCollectionDir, &diag);
    Bytes largest;
    for (const PackedResource& r : resources) {
        if (r.id != kIndexId && r.content.size() > largest.size()) largest = r.content;
    }
    return largest;
}

void BM_PackCollection(benchmark::State& state) {
    for (auto _ : state) {
        Diagnostics diag;
        benchmark::DoNotOptimize(PackCollection(kCollectionDir, &diag));
    }
}
BENCHMARK(BM_PackCollection)->Unit(benchmark::kMillisecond);

void BM_CompressLargestArticle(benchmark::State& state) {
    Bytes input = LargestArticle();
    size_t size = 0;
    for (auto _ : state) {
        Bytes out = Compress(input);
        size = out.size();
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * input.size()));
    state.counters["in"] = (double)input.size();
    state.counters["out"] = (double)size;
}
BENCHMARK(BM_CompressLargestArticle)->Unit(benchmark::kMicrosecond);

void BM_CompressGreedyLargestArticle(benchmark::State& state) {
    Bytes input = LargestArticle();
    size_t size = 0;
    for (auto _ : state) {
        Bytes out = CompressGreedy(input);
        size = out.size();
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * input.size()));
    state.counters["out"] = (double)size;
}
BENCHMARK(BM_CompressGreedyLargestArticle)->Unit(benchmark::kMicrosecond);

// One byte repeated is the worst case for hash chains: every position matches.
void BM_CompressRepeatedByte(benchmark::State& state) {
    Bytes input(65535, 'a');
    for (auto _ : state) benchmark::DoNotOptimize(Compress(input));
    state.SetBytesProcessed((int64_t)(state.iterations() * input.size()));
}
BENCHMARK(BM_CompressRepeatedByte)->Unit(benchmark::kMicrosecond);

}  // namespace
