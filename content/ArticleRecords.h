// Article records: style byte, indent byte, NUL-terminated text; the article ends
// at the first style byte 0.
#pragma once

#include "../platform/win32.h"

// Style byte bits.
constexpr BYTE kStylePlain = 0x01;
constexpr BYTE kStyleSmall = 0x02;
constexpr BYTE kStyleLarge = 0x04;
constexpr BYTE kStyleBold = 0x08;
constexpr BYTE kStyleRtl = 0x10;
constexpr BYTE kStyleRight = 0x20;
constexpr BYTE kStyleCentre = 0x40;
constexpr BYTE kStyleAlignMask = 0x60;
constexpr BYTE kStyleBlankAfter = 0x80;
constexpr BYTE kStyleSeparatorMask = 0x07;
constexpr BYTE kFontKeyMask = 0x1F;

constexpr BYTE kTitleStyle = 0xCC;
constexpr BYTE kRtlTitleStyle = 0xDC;
constexpr BYTE kSubtitleStyle = 0xC1;
constexpr BYTE kRtlSubtitleStyle = 0xD1;

inline bool IsSeparatorStyle(BYTE style) { return (style & kStyleSeparatorMask) == kStyleSeparatorMask; }

// The indent byte of a text record: the indent in its low six bits, the hang code
// (how far a list item's first line hangs out) in the top two.
constexpr BYTE kIndentMask = 0x3F;
inline int IndentOf(BYTE indent) { return indent & kIndentMask; }
inline int HangCodeOf(BYTE indent) { return indent >> 6; }

// A rule's length byte (the indent byte of a separator record): pixels up to 160,
// above that a share of `width` in steps of 2%.
inline int RuleLength(BYTE length, int width) { return length <= 160 ? length : ((length + 96) & 0xFF) * width * 2 / 100; }

struct ArticleHeaderEntry {
    uint32_t textLength;
    uint32_t width;
    BYTE style;
    const BYTE* text;
};

void ReadArticleHeader(const BYTE* article, ArticleHeaderEntry* title, ArticleHeaderEntry* subtitle);

// One record of an article, as the walker hands it out.
struct ArticleRecord {
    BYTE style;
    BYTE indent;
    const BYTE* text;     // the record's text inside the buffer
    uint32_t textLength;  // bytes before the text's NUL
};

// The record walker every reader of articles uses. It stops at the first style
// byte 0 and relies on the zero tail of every content buffer (kContentZeroTail,
// content/Content.h): a malformed last record ends inside that tail, so the walk
// never leaves the buffer. Buffers built elsewhere must end the same way.
struct ArticleWalker {
    const BYTE* next;  // start of the next record, null once the walk has ended
};

ArticleWalker StartArticleWalk(const BYTE* article);
// Fills the record and returns true, or returns false at the end of the article.
bool NextArticleRecord(ArticleWalker* walker, ArticleRecord* record);

// One index record (key 2 bytes little-endian, style, level, NUL-terminated text).
struct IndexEntry {
    uint16_t key;
    BYTE style;
    BYTE level;
    const BYTE* text;
    uint32_t textLength;
};

// The same walk over an index buffer: ends at the first style byte 0.
struct IndexWalker {
    const BYTE* next;
};

IndexWalker StartIndexWalk(const BYTE* index);
bool NextIndexEntry(IndexWalker* walker, IndexEntry* entry);
