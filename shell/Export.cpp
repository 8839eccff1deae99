// Copy and Append to ClipBoard: the article as plain text, one line per record,
// placed as Unicode text (the RTF form is in RtfExport.cpp).
#include "Export.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "../content/ArticleRecords.h"
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

// A rule's length byte: pixels up to 160, a share of the width above.
int SeparatorDashes(BYTE length) { return length <= 160 ? length : ((length + 96) & 0xFF) * 2; }

int TextIndent(BYTE indent) { return indent & 0x3F; }

// Right-to-left text through the code point base, reversed or not as the Reverse
// option stands.
void PutRightToLeft(UnitWriter& w, const ArticleRecord& record) {
    SetRunBase(record.style);
    const WCHAR* mapped = MapText(record.text, (int)record.textLength, &gMapping);
    ResetRunBase();
    for (const WCHAR* u = mapped; u && *u; u++) Put(w, *u);
    PutRepeated(w, ' ', TextIndent(record.indent));
}

void PutRecord(UnitWriter& w, const ArticleRecord& record) {
    if (IsSeparatorStyle(record.style)) {
        PutRepeated(w, '-', SeparatorDashes(record.indent));
    } else if (record.style & kStyleRtl) {
        PutRightToLeft(w, record);
    } else {
        PutRepeated(w, ' ', TextIndent(record.indent));
        for (uint32_t i = 0; i < record.textLength; i++) Put(w, record.text[i]);
    }
    PutLineEnd(w);
    if (record.style & kStyleBlankAfter) PutLineEnd(w);
}

// Cuts a record to its part inside [start, end) of the article; false when none of
// it is. A cut start drops the indent, a cut end the blank line after.
bool ClipRecord(const BYTE* article, int start, int end, ArticleRecord* record) {
    int first = (int)(record->text - article), last = first + (int)record->textLength;
    if (IsSeparatorStyle(record->style)) return first >= start && first < end;
    int from = std::max(first, start), to = std::min(last, end);
    if (first >= end || last < start || (to <= from && record->textLength)) return false;
    if (from > first) record->indent &= ~0x3F;
    if (to < last) record->style &= ~kStyleBlankAfter;
    record->text += from - first;
    record->textLength = (uint32_t)(to - from);
    return true;
}

int RenderRange(const BYTE* article, int start, int end, WCHAR* buffer, size_t size) {
    UnitWriter w = {buffer, buffer + size / sizeof(WCHAR), false};
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    while (NextArticleRecord(&walker, &record))
        if (ClipRecord(article, start, end, &record)) PutRecord(w, record);
    Put(w, 0);
    if (!w.overflow) return 0;
    MessageBoxW(gApp.mainWindow, TEXT("(obuf > (start + size))"), nullptr, 0);
    return 1;
}

// A passage ends where the reader's selection ends, without the line end behind it.
void TrimLineEnds(WCHAR* text) {
    size_t n = wcslen(text);
    while (n >= 2 && text[n - 2] == '\r' && text[n - 1] == '\n') n -= 2;
    text[n] = 0;
}

}  // namespace

size_t PlainTextSize(const BYTE* article) {
    size_t length = 0, pairs = 0, dashes = 0, indents = 0;
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    while (NextArticleRecord(&walker, &record)) {
        length += 2 + record.textLength + 1;
        pairs += (record.style & kStyleBlankAfter) ? 2 : 1;
        if (IsSeparatorStyle(record.style)) {
            dashes += SeparatorDashes(record.indent);
        } else {
            indents += TextIndent(record.indent);
        }
    }
    return 2 * ((length + length / 2) + 2 * pairs + dashes + indents + 1);
}

int RenderPlainText(const BYTE* article, WCHAR* buffer, size_t size) {
    return RenderRange(article, 0, kWholeArticle, buffer, size);
}

WCHAR* RenderArticleText(const BYTE* article, int start, int end) {
    size_t size = PlainTextSize(article);
    auto* text = (WCHAR*)CheckedAlloc(size);
    if (!text) return nullptr;
    // Unicode Hebrew goes out in reading order: the Reverse option is inverted
    // for the rendering only.
    uint32_t flags = gApp.Flags;
    if (gApp.fontSettings.FontAsciiBase > 256) gApp.Flags ^= kFlagReverse;
    int overflow = RenderRange(article, start, end, text, size);
    gApp.Flags = flags;
    if (overflow) {
        free(text);
        return nullptr;
    }
    if (start > 0 || end < kWholeArticle) TrimLineEnds(text);
    return text;
}

void ExportPassage(ArticleView* view, int start, int end, int append) {
    if (!view || !view->article) return;
    WCHAR* text = RenderArticleText(view->article, start, end);
    if (text) PutTextOnClipboard(text, append);
    free(text);
}

void ExportArticle(ArticleView* view, int append) { ExportPassage(view, 0, kWholeArticle, append); }

BYTE* GetClipboardCopy(UINT format, size_t* size) {
    *size = 0;
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
    }
    CloseClipboard();
    return copy;
}

void PutTextOnClipboard(const WCHAR* text, int append) {
    if (gApp.fontSettings.FontAsciiBase >= 257) {
        PutRtfOnClipboard(text, append);
        return;
    }
    size_t oldSize = 0;
    BYTE* old = append ? GetClipboardCopy(CF_UNICODETEXT, &oldSize) : nullptr;
    size_t textSize = (wcslen(text) + 1) * sizeof(WCHAR);
    // A local block's handle is its address on this platform.
    auto* block = (BYTE*)LocalAlloc(LMEM_MOVEABLE, oldSize + textSize);
    if (block) {
        if (oldSize) memcpy(block, old, oldSize);
        memcpy(block + oldSize, text, textSize);
    }
    free(old);
    if (!OpenClipboard(nullptr)) {
        LocalFree(block);
        return;
    }
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}
