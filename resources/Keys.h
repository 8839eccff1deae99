// The one list of the reader's keys. --help prints it; the manual page, the README
// and the guide's keys article name exactly these keys (a test compares them).
#pragma once

#include <string>
#include <vector>

// A row of the list: the keys, as a user types them ("Ctrl+Shift+N", "Page Down"),
// separated by ", ", and what they do there. A row without keys starts a group:
// its text is the group's heading ("Keys in the index ..."), saying where they work.
struct KeyRow {
    const char* keys;
    const char* does;
};

extern const KeyRow kKeyRows[];
extern const int kKeyRowCount;

// The key names of a row, in order ("Page Down, Page Up" gives both); none for a group's row.
std::vector<std::string> KeyNames(const KeyRow& row);
