// The content stream decoded a byte at a time, straight from the rules: the judge
// of the decoder's output in the fuzzer and the yardstick of its speed in the
// benchmarks. Checked, it refuses what the decoder refuses; unchecked, it trusts
// the stream as the plainest decoders do (stored resources only).
#pragma once

#include <cstddef>

#include "platform/win32.h"

template <bool kChecked>
bool ReferenceDecode(const BYTE* in, const BYTE* inEnd, BYTE* out, BYTE* outEnd) {
    BYTE* start = out;
    while (out < outEnd && in < inEnd) {
        BYTE n = *in++;
        if (n >= 0x01 && n <= 0x08) {
            if (kChecked && n > inEnd - in) return false;
            const BYTE* runEnd = in + n;
            while (in < runEnd && out < outEnd) *out++ = *in++;
            in = runEnd;
        } else if (n < 0x80) {
            *out++ = n;
        } else if (n < 0xC0) {
            if (kChecked && in == inEnd) return false;
            BYTE m = *in++;
            ptrdiff_t distance = (n & 0x3F) << 5 | m >> 3;
            if (kChecked && (distance == 0 || distance > out - start)) return false;
            for (int count = (m & 7) + 3; count > 0 && out < outEnd; count--, out++) *out = out[-distance];
        } else {
            *out++ = 0x20;
            if (out < outEnd) *out++ = n ^ 0x80;
        }
    }
    return out == outEnd;
}
