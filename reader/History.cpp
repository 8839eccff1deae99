#include "History.h"

#include <cstring>

#include "../shell/AppState.h"

History gHistory;

namespace {

void Push(HistoryEntry* list, int* count, HistoryEntry entry) {
    if (*count == kHistoryDepth) {
        std::memmove(list, list + 1, (kHistoryDepth - 1) * sizeof *list);
        --*count;
    }
    list[(*count)++] = entry;
}

}  // namespace

void ClearHistory() { gHistory = History{}; }

HistoryEntry CurrentPlace() {
    return {gApp.currentArticle, gApp.articleView ? gApp.articleView->topRow : (uint16_t)0};
}

void RecordVisit(HistoryEntry left) {
    Push(gHistory.back, &gHistory.backCount, left);
    gHistory.forwardCount = 0;
}

bool PeekHistoryStep(int direction, HistoryEntry* target) {
    const HistoryEntry* list = direction < 0 ? gHistory.back : gHistory.forward;
    int count = direction < 0 ? gHistory.backCount : gHistory.forwardCount;
    if (count == 0) return false;
    *target = list[count - 1];
    return true;
}

void CommitHistoryStep(int direction, HistoryEntry left) {
    if (direction < 0) {
        if (gHistory.backCount > 0) gHistory.backCount--;
        Push(gHistory.forward, &gHistory.forwardCount, left);
    } else {
        if (gHistory.forwardCount > 0) gHistory.forwardCount--;
        Push(gHistory.back, &gHistory.backCount, left);
    }
}
