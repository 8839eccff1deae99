// Decoding the whole built-in collection, measured against copying the same bytes.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "content/Content.h"
#include "platform/ResourceStore.h"

namespace {

// CPU time of this thread: the machine may be busy with other work.
double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

std::vector<CompressedBlock> CollectionBlocks() {
    std::vector<CompressedBlock> blocks;
    for (uint32_t i = 0; i < kContentResourceTable.count; i++) {
        const BYTE* r = kContentResourceTable.entries[i].data;
        blocks.push_back({r + 10, (uint32_t)(r[6] << 8 | r[7]), (uint32_t)(r[8] << 8 | r[9])});
    }
    return blocks;
}

// Each iteration decodes all resources (allocation and free included, as every
// reader gets them), then memcpy's the same number of bytes per resource; the
// counters give both throughputs and how many times slower decoding is.
void BM_DecodeCollectionVersusMemcpy(benchmark::State& state) {
    std::vector<CompressedBlock> blocks = CollectionBlocks();
    std::vector<std::vector<BYTE>> decoded;
    size_t total = 0;
    for (const CompressedBlock& b : blocks) {
        BYTE* out = UnCompress(&b, nullptr);
        if (!out) {
            state.SkipWithError("a built-in resource does not decode");
            return;
        }
        decoded.emplace_back(out, out + b.uncompressedLength);
        std::free(out);
        total += b.uncompressedLength;
    }
    std::vector<BYTE> target(65536 + kContentZeroTail);

    double decodeSeconds = 0, copySeconds = 0;
    for (auto _ : state) {
        double start = ThreadSeconds();
        for (const CompressedBlock& b : blocks) {
            BYTE* out = UnCompress(&b, nullptr);
            benchmark::DoNotOptimize(out);
            std::free(out);
        }
        double middle = ThreadSeconds();
        for (const std::vector<BYTE>& d : decoded) {
            std::memcpy(target.data(), d.data(), d.size());
            benchmark::DoNotOptimize(target.data());
            benchmark::ClobberMemory();
        }
        copySeconds += ThreadSeconds() - middle;
        decodeSeconds += middle - start;
    }
    double bytes = (double)total * (double)state.iterations();
    state.counters["resources"] = (double)blocks.size();
    state.counters["bytes"] = (double)total;
    state.counters["decode_B/s"] = benchmark::Counter(bytes / decodeSeconds, benchmark::Counter::kDefaults,
                                                      benchmark::Counter::kIs1024);
    state.counters["memcpy_B/s"] = benchmark::Counter(bytes / copySeconds, benchmark::Counter::kDefaults,
                                                      benchmark::Counter::kIs1024);
    state.counters["decode/memcpy"] = decodeSeconds / copySeconds;
}
BENCHMARK(BM_DecodeCollectionVersusMemcpy)->Unit(benchmark::kMicrosecond);

}  // namespace
