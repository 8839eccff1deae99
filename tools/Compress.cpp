// Codes: a byte 0x00 or 0x09..0x7F stands for itself; 0x01..0x08 start a literal run of
// that many bytes; 0xC0..0xFF are a space and the byte XOR 0x80; 0x80..0xBF with one more
// byte copy 3..10 bytes from up to 2047 bytes back.
#include "Compress.h"

#include <algorithm>
#include <limits>

namespace {
constexpr int kHashBits = 14;
constexpr int kMaxChainSteps = 1024;

struct Match {
    uint8_t length = 0;  // 0 when no match of kMinMatch bytes exists
    uint16_t distance = 0;
};

bool IsSingleCode(uint8_t b) { return b == 0x00 || (b >= 0x09 && b <= 0x7F); }

bool IsSpacePair(const Bytes& in, size_t i) {
    return in[i] == 0x20 && i + 1 < in.size() && in[i + 1] >= 0x40 && in[i + 1] <= 0x7F;
}

uint32_t Hash3(const Bytes& in, size_t i) {
    uint32_t v = in[i] | in[i + 1] << 8 | in[i + 2] << 16;
    return (v * 2654435761u) >> (32 - kHashBits);
}

// The longest match at every position, from hash chains over the window.
std::vector<Match> FindMatches(const Bytes& in) {
    size_t n = in.size();
    std::vector<Match> matches(n);
    std::vector<int32_t> head(1 << kHashBits, -1), prev(n, -1);
    for (size_t i = 0; i + kMinMatch <= n; i++) {
        uint32_t h = Hash3(in, i);
        size_t limit = std::min(kMaxMatch, n - i);
        int steps = 0;
        for (int32_t c = head[h]; c >= 0 && i - c <= kMaxDistance && steps < kMaxChainSteps; c = prev[c], steps++) {
            size_t len = 0;
            while (len < limit && in[c + len] == in[i + len]) len++;
            if (len >= kMinMatch && len > matches[i].length) {
                matches[i] = {(uint8_t)len, (uint16_t)(i - c)};
                if (len == limit) break;
            }
        }
        prev[i] = head[h];
        head[h] = (int32_t)i;
    }
    return matches;
}

enum class Step : uint8_t { Single, SpacePair, Run, Reference };

struct Choice {
    Step step;
    uint8_t length;  // bytes of input this code covers
};

void EmitCode(const Bytes& in, size_t i, Choice c, const std::vector<Match>& matches, Bytes* out) {
    switch (c.step) {
    case Step::Single:
        out->push_back(in[i]);
        break;
    case Step::SpacePair:
        out->push_back(in[i + 1] ^ 0x80);
        break;
    case Step::Run:
        out->push_back(c.length);
        out->insert(out->end(), in.begin() + i, in.begin() + i + c.length);
        break;
    case Step::Reference: {
        uint16_t d = matches[i].distance;
        out->push_back((uint8_t)(0x80 | d >> 5));
        out->push_back((uint8_t)((d & 0x1F) << 3 | (c.length - kMinMatch)));
        break;
    }
    }
}
}  // namespace

Bytes Compress(const Bytes& in) {
    size_t n = in.size();
    std::vector<Match> matches = FindMatches(in);
    // cost[i]: fewest stream bytes that encode in[i..n); choice[i]: the first code of them.
    std::vector<uint32_t> cost(n + 1, std::numeric_limits<uint32_t>::max());
    std::vector<Choice> choice(n);
    cost[n] = 0;
    for (size_t i = n; i-- > 0;) {
        auto consider = [&](Step step, size_t length, uint32_t codeSize) {
            if (cost[i + length] + codeSize < cost[i]) {
                cost[i] = cost[i + length] + codeSize;
                choice[i] = {step, (uint8_t)length};
            }
        };
        if (IsSingleCode(in[i])) consider(Step::Single, 1, 1);
        if (IsSpacePair(in, i)) consider(Step::SpacePair, 2, 1);
        for (size_t len = kMinMatch; len <= matches[i].length; len++) consider(Step::Reference, len, 2);
        for (size_t len = 1; len <= kMaxLiteralRun && i + len <= n; len++) consider(Step::Run, len, 1 + (uint32_t)len);
    }
    Bytes out;
    out.reserve(cost[0]);
    for (size_t i = 0; i < n; i += choice[i].length) EmitCode(in, i, choice[i], matches, &out);
    return out;
}

Bytes CompressGreedy(const Bytes& in) {
    std::vector<Match> matches = FindMatches(in);
    Bytes out;
    for (size_t i = 0; i < in.size();) {
        Choice c;
        if (matches[i].length >= kMinMatch) {
            c = {Step::Reference, matches[i].length};
        } else if (IsSpacePair(in, i)) {
            c = {Step::SpacePair, 2};
        } else if (IsSingleCode(in[i])) {
            c = {Step::Single, 1};
        } else {
            size_t len = 1;
            while (len < kMaxLiteralRun && i + len < in.size() && !IsSingleCode(in[i + len])) len++;
            c = {Step::Run, (uint8_t)len};
        }
        EmitCode(in, i, c, matches, &out);
        i += c.length;
    }
    return out;
}
