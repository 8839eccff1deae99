#include "ContentsFilter.h"

#include <charconv>
#include <cstring>

#include "../content/IndexRecords.h"

namespace {

WCHAR Folded(WCHAR c) { return c >= 'A' && c <= 'Z' ? (WCHAR)(c + ('a' - 'A')) : c; }
bool IsSpace(WCHAR c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsWordUnit(WCHAR c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// Whether word starts the stored text at i (captions are single bytes, each its own unit).
bool StartsAt(const WCHAR* word, const BYTE* text, int length, int i) {
    for (int k = 0; word[k]; k++, i++)
        if (i >= length || Folded(text[i]) != word[k]) return false;
    return true;
}

bool BeginsAWord(const WCHAR* word, const BYTE* text, int length) {
    for (int i = 0; i < length; i++)
        if ((i == 0 || !IsWordUnit(text[i - 1])) && StartsAt(word, text, length, i)) return true;
    return false;
}

bool StartsRecord(const IndexLine* lines, int i) { return i == 0 || lines[i - 1].key != lines[i].key; }

void SetShown(IndexView* view, IndexLine& line, bool shown, bool opened) {
    bool was = (line.style & kIndexShown) != 0;
    line.style = (BYTE)((line.style & ~(kIndexShown | kIndexExpanded)) | (shown ? kIndexShown : 0) |
                        (opened ? kIndexExpanded : 0));
    if (was != shown) shown ? view->rowCount++ : view->rowCount--;
}

}  // namespace

void CompileFilter(const WCHAR* text, int count, ContentsFilter* out) {
    std::memset(out, 0, sizeof *out);
    for (int i = 0; text && i < count;) {
        while (i < count && IsSpace(text[i])) i++;
        if (i >= count) break;
        if (out->wordCount == kFilterWords) {
            out->impossible = true;
            return;
        }
        WCHAR* word = out->words[out->wordCount++];
        int n = 0;
        for (; i < count && !IsSpace(text[i]); i++) {
            if (n == kFilterWordUnits) out->impossible = true;
            else word[n++] = Folded(text[i]);
        }
    }
}

bool FilterIsEmpty(const ContentsFilter& filter) { return filter.wordCount == 0 && !filter.impossible; }

bool CaptionMatches(const ContentsFilter& filter, const BYTE* caption, int length, int number) {
    if (filter.impossible) return false;
    char digits[12];
    int n = (int)(std::to_chars(digits, digits + sizeof digits, number).ptr - digits);  // runs for every caption on every key
    for (int w = 0; w < filter.wordCount; w++) {
        const WCHAR* word = filter.words[w];
        if (!BeginsAWord(word, caption, length) && !StartsAt(word, (const BYTE*)digits, n, 0)) return false;
    }
    return true;
}

int ApplyContentsFilter(IndexView* view, const ContentsFilter& filter) {
    if (!view || !view->lines || !view->index) return 0;
    IndexLine* lines = view->lines;
    // The headings above the record being looked at, by their first line, outermost first.
    int above[64], depth = 0, matches = 0, first = 0;
    for (int i = 0; lines[i].style; i++) {
        IndexLine& m = lines[i];
        if (!StartsRecord(lines, i)) {  // a further line of a wrapped caption: as its first
            SetShown(view, m, (lines[i - 1].style & kIndexShown) != 0, (lines[i - 1].style & kIndexExpanded) != 0);
            continue;
        }
        while (depth > 0 && lines[above[depth - 1]].x >= m.x) depth--;
        if (m.key & kKeyHeading) {
            SetShown(view, m, false, false);  // shown later, when a match is found below it
            if (depth < 64) above[depth++] = i;
            continue;
        }
        const char* caption = (const char*)view->index + m.offset;
        bool wanted = (m.key & kKeyLink) &&
                 CaptionMatches(filter, (const BYTE*)caption, (int)std::strlen(caption), m.key & kKeyNumberMask);
        SetShown(view, m, wanted, false);
        if (!wanted) continue;
        if (!matches++) first = i + 1;
        for (int d = 0; d < depth; d++)
            for (int k = above[d]; lines[k].style && lines[k].key == lines[above[d]].key; k++)
                SetShown(view, lines[k], true, true);
    }
    view->focus = first;  // the first match is marked, for Enter
    ComputeIndexMaxTopRow(view);
    return matches;
}
