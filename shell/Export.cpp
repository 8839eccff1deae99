// Copy and Append to ClipBoard: the article as plain text, one line per record,
// placed as Unicode text (the RTF form is in RtfExport.cpp).
#include "Export.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "../platform/Utf16.h"
#include "../views/TextMapping.h"
#include "AppState.h"
#include "Memory.h"

namespace {

// A bounded writer: units past the end are dropped and remembered as overflow.
struct UnitWriter {
    WCHAR* next;
    WCHAR* end;
    bool overflow;
};

void Put(UnitWriter& w, WCHAR unit) {
    if (w.next < w.end) {
        *w.next++ = unit;
    } else {
        w.overflow = true;
    }
}

void PutRepeated(UnitWriter& w, WCHAR unit, int count) {
    for (int i = 0; i < count; i++) Put(w, unit);
}

void PutLineEnd(UnitWriter& w) {
    Put(w, '\r');
    Put(w, '\n');
}

// A text unit as the screen shows it: the C1 bytes (the list bullet 0x95 among
// them) as their Windows-1252 characters. A 0 unit, which only an odd base can
// make, would end the text early.
void PutShown(UnitWriter& w, WCHAR unit) { Put(w, unit ? (WCHAR)C1AsWindows1252(unit) : 0xFFFD); }

// A rule as dashes, one a pixel, its share of the width taken of 100.
int SeparatorDashes(BYTE length) { return RuleLength(length, 100); }

bool IsDigit(WCHAR unit) { return unit >= '0' && unit <= '9'; }
bool IsNumberSeparator(WCHAR unit) { return unit == '.' || unit == ',' || unit == ':'; }

}  // namespace

// The stored display order keeps numbers left to right inside right-to-left text,
// so turning a run round turns its numbers round too.
void RestoreNumbers(WCHAR* units, size_t count, uint16_t* order) {
    for (size_t i = 0; i < count;) {
        if (!IsDigit(units[i])) {
            i++;
            continue;
        }
        size_t end = i + 1;
        while (end < count && (IsDigit(units[end]) || (IsNumberSeparator(units[end]) && end + 1 < count &&
                                                       IsDigit(units[end + 1]))))
            end++;
        std::reverse(units + i, units + end);
        if (order) std::reverse(order + i, order + end);
        i = end;
    }
}

namespace {

// Right-to-left text through the code point base, reversed or not as the Reverse
// option stands. Without memory for the mapping the rendering cannot be trusted
// and counts as not fitting.
void PutRightToLeft(UnitWriter& w, const ArticleRecord& record) {
    SetRunBase(record.style);
    WCHAR* mapped = MapText(record.text, (int)record.textLength, &gMapping);
    bool reversed = MapReverses(&gMapping);
    ResetRunBase();
    if (!mapped) {
        w.overflow = true;
        return;
    }
    if (reversed) RestoreNumbers(mapped, record.textLength);
    for (uint32_t i = 0; i < record.textLength; i++) PutShown(w, mapped[i]);
    PutRepeated(w, ' ', IndentOf(record.indent));
}

void PutRecord(UnitWriter& w, const ArticleRecord& record) {
    if (IsSeparatorStyle(record.style)) {
        PutRepeated(w, '-', SeparatorDashes(record.indent));
    } else if (record.style & kStyleRtl) {
        PutRightToLeft(w, record);
    } else {
        PutRepeated(w, ' ', IndentOf(record.indent));
        for (uint32_t i = 0; i < record.textLength; i++) PutShown(w, record.text[i]);
    }
    PutLineEnd(w);
    if (record.style & kStyleBlankAfter) PutLineEnd(w);
}

// A passage ends where the reader's selection ends, without the line end behind it.
void TrimLineEnds(WCHAR* text) {
    size_t n = wcslen(text);
    while (n >= 2 && text[n - 2] == '\r' && text[n - 1] == '\n') n -= 2;
    text[n] = 0;
}

}  // namespace

RangeWalker StartRangeWalk(const ArticleRange& range) { return {StartArticleWalk(range.article), range}; }

bool NextRangeRecord(RangeWalker* walker, ArticleRecord* record) {
    const ArticleRange& range = walker->range;
    while (NextArticleRecord(&walker->records, record)) {
        size_t textStart = (size_t)(record->text - range.article);
        size_t textEnd = textStart + record->textLength;
        if (textStart - 2 >= range.end) return false;  // the record starts at its style byte
        if (textEnd + 1 <= range.begin) continue;       // and ends with its text's NUL
        size_t from = std::max(textStart, range.begin), to = std::min(textEnd, range.end);
        // A cut start drops the indent, a cut end the blank line after.
        if (from > textStart && !IsSeparatorStyle(record->style)) record->indent &= ~kIndentMask;
        if (to < textEnd) record->style &= ~kStyleBlankAfter;
        record->text = range.article + from;
        record->textLength = to > from ? (uint32_t)(to - from) : 0;
        return true;
    }
    return false;
}

size_t PlainLineLength(const ArticleRecord& record) {
    size_t length = IsSeparatorStyle(record.style) ? SeparatorDashes(record.indent)
                                                   : IndentOf(record.indent) + record.textLength;
    return length + ((record.style & kStyleBlankAfter) ? 4 : 2);
}

size_t PlainTextSize(const ArticleRange& range) {
    size_t length = 0, pairs = 0, dashes = 0, indents = 0;
    RangeWalker walker = StartRangeWalk(range);
    ArticleRecord record;
    while (NextRangeRecord(&walker, &record)) {
        length += 2 + record.textLength + 1;
        pairs += (record.style & kStyleBlankAfter) ? 2 : 1;
        if (IsSeparatorStyle(record.style)) {
            dashes += SeparatorDashes(record.indent);
        } else {
            indents += IndentOf(record.indent);
        }
    }
    return 2 * ((length + length / 2) + 2 * pairs + dashes + indents + 1);
}

int RenderPlainText(const ArticleRange& range, WCHAR* buffer, size_t size) {
    UnitWriter w = {buffer, buffer + size / sizeof(WCHAR), false};
    RangeWalker walker = StartRangeWalk(range);
    ArticleRecord record;
    while (NextRangeRecord(&walker, &record)) PutRecord(w, record);
    Put(w, 0);
    if (!w.overflow) return 0;
    MessageBoxW(gApp.mainWindow, TEXT("(obuf > (start + size))"), nullptr, 0);
    return 1;
}

WCHAR* RenderExportText(const ArticleRange& range) {
    size_t size = PlainTextSize(range);
    auto* text = (WCHAR*)CheckedAlloc(size);
    if (!text) return nullptr;
    // Unicode Hebrew goes out in reading order: the Reverse option is inverted
    // for the rendering only.
    uint32_t flags = gApp.Flags;
    if (IsUnicodeHebrewBase(gApp.fontSettings.FontAsciiBase)) gApp.Flags ^= kFlagReverse;
    int overflow = RenderPlainText(range, text, size);
    gApp.Flags = flags;
    if (overflow) {
        free(text);
        return nullptr;
    }
    if (range.begin > 0 || range.end != SIZE_MAX) TrimLineEnds(text);
    return text;
}

void ExportRange(const ArticleRange& range, int append) {
    WCHAR* text = RenderExportText(range);
    if (text) PutTextOnClipboard(range, text, append);
    free(text);
}

void ExportArticle(ArticleView* view, int append) {
    if (!view || !view->article) return;
    ExportRange(WholeArticle(view->article), append);
}

BYTE* GetClipboardCopy(UINT format, size_t* size, bool* outOfMemory) {
    *size = 0;
    if (outOfMemory) *outOfMemory = false;
    if (!OpenClipboard(nullptr)) return nullptr;
    HANDLE data = GetClipboardData(format);
    if (!data) {
        CloseClipboard();
        return nullptr;
    }
    // The scan for the terminator stays inside the block, whoever filled it.
    size_t capacity = LocalSize(data);
    size_t n = 0;
    if (format == CF_UNICODETEXT) {
        const WCHAR* units = (const WCHAR*)data;
        while (n < capacity / sizeof(WCHAR) && units[n]) n++;
        n *= sizeof(WCHAR);
    } else {
        const BYTE* bytes = (const BYTE*)data;
        while (n < capacity && bytes[n]) n++;
    }
    // Two zero bytes behind the copy end it as text of either kind.
    auto* copy = (BYTE*)CheckedAlloc(n + sizeof(WCHAR));
    if (copy) {
        memcpy(copy, data, n);
        memset(copy + n, 0, sizeof(WCHAR));
        *size = n;
    } else if (outOfMemory) {
        *outOfMemory = true;
    }
    CloseClipboard();
    return copy;
}

// Line ends the earlier text needs behind it so that one empty line parts it from
// the appended article: those it ends with already count (CR LF, or LF alone from
// a file).
size_t MissingLineEnds(const WCHAR* old, size_t units) {
    size_t have = 0;
    while (have < 2 && units && old[units - 1] == '\n') {
        units -= (units >= 2 && old[units - 2] == '\r') ? 2 : 1;
        have++;
    }
    return 2 - have;
}

HLOCAL BuildTextBlock(const WCHAR* text, const BYTE* old, size_t oldSize) {
    size_t textSize = (wcslen(text) + 1) * sizeof(WCHAR);
    size_t breaks = oldSize ? MissingLineEnds((const WCHAR*)old, oldSize / sizeof(WCHAR)) : 0;
    size_t breakSize = breaks * 2 * sizeof(WCHAR);
    // A local block's handle is its address on this platform.
    auto* block = (BYTE*)LocalAlloc(LMEM_MOVEABLE, oldSize + breakSize + textSize);
    if (block) {
        if (oldSize) memcpy(block, old, oldSize);
        auto* lineEnds = (WCHAR*)(block + oldSize);
        for (size_t i = 0; i < breaks; i++) {
            lineEnds[2 * i] = '\r';
            lineEnds[2 * i + 1] = '\n';
        }
        memcpy(block + oldSize + breakSize, text, textSize);
    }
    return block;
}

// Append extends each format from the clipboard's own data in that format, so
// every receiving program finds the whole of what was copied.
void PutTextOnClipboard(const ArticleRange& range, const WCHAR* text, int append) {
    // When memory runs out the exit sequence frees the article that range points into.
    size_t oldSize = 0;
    bool outOfMemory = false;
    BYTE* old = append ? GetClipboardCopy(CF_UNICODETEXT, &oldSize, &outOfMemory) : nullptr;
    if (outOfMemory) return;
    HLOCAL textBlock = BuildTextBlock(text, old, oldSize);
    free(old);
    UINT rtf = 0;
    HLOCAL rtfBlock = nullptr;
    if (IsUnicodeHebrewBase(gApp.fontSettings.FontAsciiBase)) {
        rtf = RegisterClipboardFormatW(TEXT("Rich Text Format"));
        size_t oldLength = 0;
        BYTE* oldRtf = append ? GetClipboardCopy(rtf, &oldLength, &outOfMemory) : nullptr;
        if (outOfMemory) {
            LocalFree(textBlock);
            return;
        }
        rtfBlock = BuildRtfBlock(range, text, oldRtf, oldLength);
        free(oldRtf);
    }
    if (!OpenClipboard(nullptr)) {
        LocalFree(textBlock);
        LocalFree(rtfBlock);
        return;
    }
    EmptyClipboard();
    // A block the clipboard could not take stays ours.
    if (!SetClipboardData(CF_UNICODETEXT, textBlock)) LocalFree(textBlock);
    if (rtf && !SetClipboardData(rtf, rtfBlock)) LocalFree(rtfBlock);
    CloseClipboard();
}
