// The articles visited in this run, with their reading positions, for going back and
// forward as a browser does. Kept for the run only.
#pragma once

#include <cstdint>

struct HistoryEntry {
    uint16_t article;
    uint16_t topRow;
};

constexpr int kHistoryDepth = 100;

struct History {
    HistoryEntry back[kHistoryDepth];
    HistoryEntry forward[kHistoryDepth];
    int backCount;
    int forwardCount;
};

extern History gHistory;

void ClearHistory();
// The current article and its top row.
HistoryEntry CurrentPlace();
// The reader left this article for another: it goes onto the back list (the oldest
// entry makes room when the list is full) and the forward list is dropped.
void RecordVisit(HistoryEntry left);
// The place one step back (direction < 0) or forward (> 0), or false when there is none.
bool PeekHistoryStep(int direction, HistoryEntry* target);
// That step has been shown: it leaves its list, and the place left goes onto the other.
void CommitHistoryStep(int direction, HistoryEntry left);
