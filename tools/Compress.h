// The content compressor: byte codes that the program's decoder turns back into the input.
#pragma once

#include "PackTypes.h"

constexpr size_t kMaxDistance = 2047;
constexpr size_t kMinMatch = 3;
constexpr size_t kMaxMatch = 10;
constexpr size_t kMaxLiteralRun = 8;

// The shortest stream: an optimal parse over the codes' costs.
Bytes Compress(const Bytes& input);
// The longest match or the cheapest single code at each step, for comparison.
Bytes CompressGreedy(const Bytes& input);
