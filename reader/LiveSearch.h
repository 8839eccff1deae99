// Search as you type: every hit of the search string in the whole collection, in
// collection order and grouped by article, as the rows of the side panel's list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../platform/win32.h"
#include "../shell/AppState.h"

struct LiveHit {
    uint16_t article;
    uint16_t offset;  // article offset, as Search Again's hit start
};

struct LiveGroup {
    uint16_t article;
    int firstHit;
    int count;
};

struct LiveSearch {
    char query[kSearchStringSize];  // the search string and rules the hits are of
    int rules;
    std::vector<LiveHit> hits;
    std::vector<LiveHit> lastHits;  // those of the search before, which a longer string narrows
    std::vector<LiveGroup> groups;
    std::vector<int> rows;  // a hit's index, or -(group + 1) for a group's heading
    int chosen;             // index of the hit shown, -1 for none
    bool complete;          // every hit was kept (memory did not run out)
};

// Finds every hit of the current search string under the current rules.
void RunLiveSearch(LiveSearch* search);
// Whether the hits are of the current search string and rules.
bool LiveSearchIsCurrent(const LiveSearch& search);
// A row's text: a heading "number  title  (count)", a hit its context.
int LiveRowText(const LiveSearch& search, int row, WCHAR* out, int capacity, bool* heading);
// The hit a row leads to (a heading: its first hit), -1 for none; and back.
int HitOfRow(const LiveSearch& search, int row);
int RowOfHit(const LiveSearch& search, int hit);
// The index of the group a hit (a valid index) belongs to.
int GroupOfHit(const LiveSearch& search, int hit);
// "hit 4 of 31 in 12 articles"; without a chosen hit "31 hits in 12 articles".
std::u16string LiveStatusText(const LiveSearch& search);
// The chosen hit where there is little room: "4/31"; empty without one.
std::u16string LiveStatusBrief(const LiveSearch& search);
