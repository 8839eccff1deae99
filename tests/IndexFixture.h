// Hand-made index buffers, the built-in index and bookmark lists for the index tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "content/Content.h"
#include "content/IndexRecords.h"
#include "shell/AppState.h"

struct TestIndexRecord {
    uint16_t key;
    BYTE style;
    BYTE level;
    std::string text;
};

// A malloc'd index as LoadContent hands it out: the records, the end record and the zero tail.
inline BYTE* MakeIndex(const std::vector<TestIndexRecord>& records) {
    std::vector<BYTE> bytes;
    for (const TestIndexRecord& r : records) {
        bytes.push_back((BYTE)(r.key & 0xFF));
        bytes.push_back((BYTE)(r.key >> 8));
        bytes.push_back(r.style);
        bytes.push_back(r.level);
        bytes.insert(bytes.end(), r.text.begin(), r.text.end());
        bytes.push_back(0);
    }
    bytes.insert(bytes.end(), kIndexEndLength + kContentZeroTail, 0);
    auto* index = (BYTE*)malloc(bytes.size());
    memcpy(index, bytes.data(), bytes.size());
    return index;
}

inline BYTE* LoadStoredIndex() {
    int status = 0;
    BYTE* index = LoadContent(kIndexContentNumber, &status);
    EXPECT_NE(index, nullptr) << "status " << status;
    return index;
}

// Sets the program's bookmark list (count = entries given); an empty list sets none.
inline void SetBookmarks(const std::vector<uint16_t>& numbers) {
    free(gApp.bookmarkList);
    gApp.bookmarkList = nullptr;
    gApp.bookmarkCount = (uint16_t)numbers.size();
    if (numbers.empty()) return;
    gApp.bookmarkList = (uint16_t*)calloc(numbers.size() + 1, sizeof(uint16_t));
    std::copy(numbers.begin(), numbers.end(), gApp.bookmarkList);
}

inline void ClearBookmarks() { SetBookmarks({}); }
