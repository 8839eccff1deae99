// The index source (index.txt): an outline of headings and article links.
#pragma once

#include "../content/IndexRecords.h"
#include "PackTypes.h"

struct IndexSourceEntry {
    uint16_t key;
    uint8_t style;
    uint8_t level;
    std::string caption;
    int line;  // source line, for messages
};

constexpr uint8_t kIndexTopHeadingStyle = 0x8C;  // visible, bold, larger
constexpr uint8_t kIndexEntryStyle = 0x01;       // hidden until its heading opens
constexpr size_t kMaxCaptionSize = 80;

// The heading at record position k carries this key.
inline uint16_t IndexHeadingKey(size_t position) { return (uint16_t)(0xC000 - (position + 2)); }
inline uint16_t IndexLinkKey(int article) { return (uint16_t)(kKeyLink | article); }

// Parses index.txt; checks every article 1..187 is linked exactly once.
std::vector<IndexSourceEntry> ParseIndexSource(const std::string& text, const std::string& file, Diagnostics* diag);
// The stored index: the records, then five zero bytes.
Bytes IndexBytes(const std::vector<IndexSourceEntry>& entries);
