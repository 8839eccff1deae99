// The article as an RTF document, for Unicode Hebrew: one Hebrew font, each record a
// paragraph of its own direction, alignment and type (bold, heading colour, size),
// presentation forms spelt out as their letters and marks.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <iterator>

#include "AppState.h"
#include "Export.h"
#include "Memory.h"

namespace {

const char kRtfHeader[] =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset177\\cpg1255 David;}}"
    "{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red255\\green0\\blue0;\\red0\\green0\\blue255;"
    // the highlights' day colours: yellow, green, blue, pink
    "\\red255\\green240\\blue120;\\red170\\green230\\blue160;\\red160\\green205\\blue255;\\red255\\green180\\blue210;}"
    "\\rtldoc\\pard\\rtlpar\\qr\\lang1033\\f0\\fs20\\uc0\r\n";
// A centred row of red asterisks between an earlier document and the appended one.
const char kAppendSeparator[] = "\\qc\\cf2\\fs72\\b*  *  *  *  *\\b0\\par\\par\\qr\\fs20\\cf0\r\n";
const char kParagraphEnd[] = "\\par\\par\r\n";
const char kClosing[] = "}\r\n";
static_assert(sizeof kAppendSeparator - 1 == 52);

constexpr WCHAR kLastPlainHebrew = 1514;
constexpr uint16_t kDagesh = 0x05BC;

const PresentationForm kPresentationForms[] = {
    {0xFB2A, {0x05E9, 0x05C1, 0}},       {0xFB2B, {0x05E9, 0x05C2, 0}},
    {0xFB2C, {0x05E9, kDagesh, 0x05C1}}, {0xFB2D, {0x05E9, kDagesh, 0x05C2}},
    {0xFB30, {0x05D0, kDagesh, 0}},      {0xFB31, {0x05D1, kDagesh, 0}},
    {0xFB32, {0x05D2, kDagesh, 0}},      {0xFB33, {0x05D3, kDagesh, 0}},
    {0xFB34, {0x05D4, kDagesh, 0}},      {0xFB35, {0x05D5, kDagesh, 0}},
    {0xFB36, {0x05D6, kDagesh, 0}},      {0xFB38, {0x05D8, kDagesh, 0}},
    {0xFB39, {0x05D9, kDagesh, 0}},      {0xFB3A, {0x05DA, kDagesh, 0}},
    {0xFB3B, {0x05DB, kDagesh, 0}},      {0xFB3C, {0x05DC, kDagesh, 0}},
    {0xFB3E, {0x05DE, kDagesh, 0}},      {0xFB40, {0x05E0, kDagesh, 0}},
    {0xFB41, {0x05E1, kDagesh, 0}},      {0xFB43, {0x05E3, kDagesh, 0}},
    {0xFB44, {0x05E4, kDagesh, 0}},      {0xFB46, {0x05E6, kDagesh, 0}},
    {0xFB47, {0x05E7, kDagesh, 0}},      {0xFB48, {0x05E8, kDagesh, 0}},
    {0xFB49, {0x05E9, kDagesh, 0}},      {0xFB4A, {0x05EA, kDagesh, 0}},
    {0xFB4B, {0x05D5, 0x05B9, 0}},       {0, {0, 0, 0}},
};
static_assert(sizeof(PresentationForm) == 8 && std::size(kPresentationForms) == 28);

// Sizing and writing share every decision: without output only the bound grows.
struct RtfSink {
    char* out;
    size_t length;
    bool afterUnicode;  // the last thing written was a \uN control word
    bool inBreak;       // inside a run of CR and LF units
    int highlight;      // the colour-table entry of the highlight in force, 0 for none
};

constexpr int kMostHighlights = 512;
constexpr int kFirstHighlightColour = 4;

void Emit(RtfSink& sink, const char* bytes, size_t count, size_t bound) {
    if (!sink.out) {
        sink.length += bound;
        return;
    }
    memcpy(sink.out + sink.length, bytes, count);
    sink.length += count;
}

// "\u" and the unit's decimal value; the bound allows for its digits.
void EmitUnicode(RtfSink& sink, unsigned value, size_t bound) {
    char escape[8];
    int n = snprintf(escape, sizeof escape, "\\u%u", value);
    Emit(sink, escape, (size_t)n, bound);
    sink.afterUnicode = true;
}

void EmitOther(RtfSink& sink, WCHAR unit) {
    if (const PresentationForm* form = FindPresentationForm(unit)) {
        for (uint16_t component : form->components)
            if (component) EmitUnicode(sink, component, 6);
        return;
    }
    EmitUnicode(sink, unit, unit < 1000 ? 5 : unit < 10000 ? 6 : 7);
}

bool IsLineBreak(WCHAR unit) { return unit == '\r' || unit == '\n'; }

// A \uN control word swallows the one space that ends it, and would take a digit
// behind it for its own: before either, it gets a space of its own to end it.
void EndControlWord(RtfSink& sink, WCHAR next) {
    if (sink.afterUnicode && (next == ' ' || (next >= '0' && next <= '9'))) Emit(sink, " ", 1, 1);
    sink.afterUnicode = false;
}

void EmitUnit(RtfSink& sink, WCHAR unit) {
    if (IsLineBreak(unit)) {
        // A run of line ends, whatever its mix, ends the paragraph once.
        if (!sink.inBreak) Emit(sink, kParagraphEnd, sizeof kParagraphEnd - 1, 12);
        sink.inBreak = true;
        sink.afterUnicode = false;
        return;
    }
    sink.inBreak = false;
    if (unit > 0x7E || unit < 0x20) {
        EmitOther(sink, unit);
        return;
    }
    EndControlWord(sink, unit);
    if (unit == '\\' || unit == '{' || unit == '}') {
        char escaped[2] = {'\\', (char)unit};
        Emit(sink, escaped, 2, 2);
    } else {
        char plain = (char)unit;
        Emit(sink, &plain, 1, 1);
    }
}

// The character formatting of a record's paragraph, as the view draws it: bold,
// headings (large and bold) in the heading colour (3 in the colour table), large
// and small print at the view's proportions of the 10-point text. Right-to-left
// runs take the associated (\\ab, \\afs) forms, set under \\rtlch.
void EmitType(RtfSink& sink, BYTE style) {
    bool rule = IsSeparatorStyle(style);
    bool bold = !rule && (style & kStyleBold);
    bool large = !rule && (style & kStyleLarge);
    int halfPoints = large ? 25 : (!rule && (style & kStyleSmall)) ? 15 : 20;
    int colour = large && bold ? 3 : 0;
    const char* b = bold ? "" : "0";
    char type[64];
    int n = snprintf(type, sizeof type, "\\rtlch\\ab%s\\afs%d\\ltrch\\b%s\\cf%d\\fs%d ", b, halfPoints, b, colour,
                     halfPoints);
    Emit(sink, type, (size_t)n, 40);
}

// A record's paragraph takes the record's direction, and its alignment as the view
// draws it; a right-to-left record that is not centred stands at the right. A
// rule has no direction of its own.
void EmitParagraphStart(RtfSink& sink, BYTE style) {
    bool rtl = (style & kStyleRtl) && !IsSeparatorStyle(style);
    BYTE align = style & kStyleAlignMask;
    const char* direction = rtl ? "\\pard\\rtlpar" : "\\pard\\ltrpar";
    const char* alignment = align == kStyleCentre ? "\\qc" : (rtl || align == kStyleRight) ? "\\qr" : "\\ql";
    Emit(sink, direction, strlen(direction), 12);
    Emit(sink, alignment, strlen(alignment), 3);
    EmitType(sink, style);
    sink.afterUnicode = false;
    sink.inBreak = false;
}

bool IsTrailingSpace(BYTE c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

// Drops the white space and the closing brace that end an earlier document.
size_t OpenDocumentLength(const BYTE* document, size_t length) {
    while (length && IsTrailingSpace(document[length - 1])) length--;
    if (length && document[length - 1] == '}') length--;
    return length;
}

// The new clipboard block: the header or the earlier document and the separator,
// then the body and the closing.
char* BuildDocument(const BYTE* old, size_t oldLength, const char* body, size_t bodyLength) {
    size_t size = bodyLength + (oldLength ? oldLength + sizeof kAppendSeparator : sizeof kRtfHeader) + sizeof kClosing;
    auto* block = (char*)LocalAlloc(LMEM_MOVEABLE, size);
    if (!block) return nullptr;
    char* p = block;
    if (oldLength) {
        size_t kept = OpenDocumentLength(old, oldLength);
        memcpy(p, old, kept);
        p += kept;
        memcpy(p, kAppendSeparator, sizeof kAppendSeparator - 1);
        p += sizeof kAppendSeparator - 1;
    } else {
        memcpy(p, kRtfHeader, sizeof kRtfHeader - 1);
        p += sizeof kRtfHeader - 1;
    }
    memcpy(p, body, bodyLength);
    p += bodyLength;
    memcpy(p, kClosing, sizeof kClosing);  // with its NUL
    return block;
}

// The article offset the unit at position k of a record's line shows; SIZE_MAX for
// its indent, a rule and the line ends. Right-to-left text goes out in reading
// order, turned round when Reverse is on.
size_t UnitOffset(const BYTE* article, const ArticleRecord& record, size_t k) {
    bool rtl = record.style & kStyleRtl;
    size_t indent = rtl ? 0 : (size_t)IndentOf(record.indent);
    if (IsSeparatorStyle(record.style) || k < indent || k - indent >= record.textLength) return SIZE_MAX;
    size_t i = k - indent;
    if (rtl && (gApp.Flags & kFlagReverse)) i = record.textLength - 1 - i;
    return (size_t)(record.text - article) + i;
}

int HighlightAt(const RtfHighlight* marks, int count, size_t offset) {
    int colour = 0;
    for (int i = 0; i < count && offset != SIZE_MAX; i++)
        if (offset >= marks[i].start && offset < marks[i].end) colour = kFirstHighlightColour + marks[i].colour;
    return colour;
}

void EmitHighlight(RtfSink& sink, int colour) {
    if (colour == sink.highlight) return;
    char word[16];
    int n = snprintf(word, sizeof word, "\\highlight%d ", colour);
    Emit(sink, word, (size_t)n, 13);
    sink.highlight = colour;
    sink.afterUnicode = false;
}

}  // namespace

int (*gRtfHighlights)(const BYTE* article, RtfHighlight* out, int capacity);

const PresentationForm* FindPresentationForm(WCHAR unit) {
    if (unit <= kLastPlainHebrew) return nullptr;
    for (const PresentationForm* form = kPresentationForms; form->unit; form++)
        if (form->unit == unit) return form;
    return nullptr;
}

size_t BuildRtfBody(const ArticleRange& range, const WCHAR* text, char* output) {
    RtfSink sink = {output, 0, false, false, 0};
    RtfHighlight marks[kMostHighlights];
    int marked = gRtfHighlights ? std::clamp(gRtfHighlights(range.article, marks, kMostHighlights), 0, kMostHighlights) : 0;
    RangeWalker walker = StartRangeWalk(range);
    ArticleRecord record;
    while (*text && NextRangeRecord(&walker, &record)) {
        EmitParagraphStart(sink, record.style);
        for (size_t k = 0, n = PlainLineLength(record); k < n && *text; k++) {
            if (marked) EmitHighlight(sink, HighlightAt(marks, marked, UnitOffset(range.article, record, k)));
            EmitUnit(sink, *text++);
        }
    }
    // Text beyond the records' lines stays in the last paragraph.
    EmitHighlight(sink, 0);
    while (*text) EmitUnit(sink, *text++);
    // The closing paragraph end; the bound also counts the NUL and a little more.
    Emit(sink, kParagraphEnd, sizeof kParagraphEnd - 1, 13);
    if (output) output[sink.length] = 0;
    return sink.length;
}

HLOCAL BuildRtfBlock(const ArticleRange& range, const WCHAR* text, const BYTE* old, size_t oldLength) {
    auto* body = (char*)CheckedAlloc(BuildRtfBody(range, text, nullptr) + 1);
    if (!body) return nullptr;
    size_t bodyLength = BuildRtfBody(range, text, body);
    char* block = BuildDocument(old, oldLength, body, bodyLength);
    free(body);
    return block;
}

HLOCAL BuildRtfDocument(const char* body, size_t bodyLength) { return BuildDocument(nullptr, 0, body, bodyLength); }
