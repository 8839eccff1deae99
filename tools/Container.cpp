#include "Container.h"

namespace {
void PutBigEndian16(Bytes* out, size_t value) {
    out->push_back((uint8_t)(value >> 8));
    out->push_back((uint8_t)value);
}
}  // namespace

Bytes WrapContainer(const Bytes& stream, size_t contentSize, uint16_t number, uint16_t repeated) {
    Bytes out;
    out.reserve(kContainerHeaderSize + stream.size() + kContainerTrailerSize);
    PutBigEndian16(&out, stream.size() + 8);
    PutBigEndian16(&out, number);
    PutBigEndian16(&out, repeated);
    PutBigEndian16(&out, stream.size());
    PutBigEndian16(&out, contentSize);
    out.insert(out.end(), stream.begin(), stream.end());
    out.insert(out.end(), kContainerTrailerSize, 0);
    return out;
}
