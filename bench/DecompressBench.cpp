// Decoding the whole built-in collection, measured in the same run against the
// plain byte-at-a-time decoder (unchecked, into a buffer made beforehand) and
// against copying the same bytes.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "Goals.h"
#include "content/Content.h"
#include "resources/ResourceTables.h"
#include "tests/ReferenceDecoder.h"

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
// reader gets them), then has the reference decode them into one buffer, then
// memcpy's the same number of bytes per resource.
void BM_DecodeCollection(benchmark::State& state) {
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

    double decodeSeconds = 0, referenceSeconds = 0, copySeconds = 0;
    for (auto _ : state) {
        double start = ThreadSeconds();
        for (const CompressedBlock& b : blocks) {
            BYTE* out = UnCompress(&b, nullptr);
            benchmark::DoNotOptimize(out);
            std::free(out);
        }
        double decoded1 = ThreadSeconds();
        for (const CompressedBlock& b : blocks) {
            ReferenceDecode<false>(b.source, b.source + b.compressedLength, target.data(),
                                   target.data() + b.uncompressedLength);
            benchmark::DoNotOptimize(target.data());
            benchmark::ClobberMemory();
        }
        double referenced = ThreadSeconds();
        for (const std::vector<BYTE>& d : decoded) {
            std::memcpy(target.data(), d.data(), d.size());
            benchmark::DoNotOptimize(target.data());
            benchmark::ClobberMemory();
        }
        copySeconds += ThreadSeconds() - referenced;
        referenceSeconds += referenced - decoded1;
        decodeSeconds += decoded1 - start;
    }
    double runs = (double)state.iterations();
    state.counters["resources"] = (double)blocks.size();
    state.counters["bytes"] = (double)total;
    state.counters["decode_ms"] = 1000 * decodeSeconds / runs;
    state.counters["reference_ms"] = 1000 * referenceSeconds / runs;
    state.counters["memcpy_ms"] = 1000 * copySeconds / runs;
    state.counters["speed_over_reference"] = referenceSeconds / decodeSeconds;
    state.counters["decode/memcpy"] = decodeSeconds / copySeconds;
    double speed = referenceSeconds / decodeSeconds;
    ReportGoal({"decode all " + std::to_string(blocks.size()) + " resources (" + std::to_string(total) + " bytes out)",
                Fixed(1000 * decodeSeconds / runs, 3) + " ms",
                "byte-at-a-time decoder (unchecked, preallocated): " + Fixed(1000 * referenceSeconds / runs, 3) +
                    " ms; memcpy " + Fixed(1000 * copySeconds / runs, 3) + " ms",
                speed, ">= 1.5x its speed", speed >= 1.5});
}
BENCHMARK(BM_DecodeCollection)->Unit(benchmark::kMicrosecond);

}  // namespace
