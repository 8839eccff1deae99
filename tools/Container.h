// The container around every content resource: a 10-byte header, the stream, a trailer.
#pragma once

#include "PackTypes.h"

constexpr size_t kContainerHeaderSize = 10;
constexpr size_t kContainerTrailerSize = 4;
constexpr size_t kMaxStreamSize = 0xFFFF - 8;  // the payload length K + 8 must fit 16 bits

// number: the article number, or 1 for the index, whose repeated number is 255.
Bytes WrapContainer(const Bytes& stream, size_t contentSize, uint16_t number, uint16_t repeated);
