// Checking notes against the articles, and finding a moved passage again.
#include "NotesAnchor.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "../content/ArticleRecords.h"
#include "../content/Content.h"
#include "../shell/AppState.h"
#include "../shell/Export.h"

namespace {

constexpr int32_t kUnicodeHebrewBase = 1488;

// Quotes compare by their words: line ends and runs of blanks are one space.
std::u16string Words(const std::u16string& text) {
    std::u16string out;
    bool blank = false;
    for (char16_t c : text) {
        bool space = c == u' ' || c == u'\r' || c == u'\n' || c == u'\t';
        if (!space && blank && !out.empty()) out += u' ';
        if (!space) out += c;
        blank = space;
    }
    return out;
}

// Offset of the style byte 0 that ends the article.
size_t ArticleEnd(const BYTE* article) {
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    size_t end = 0;
    while (NextArticleRecord(&walker, &record)) end = (size_t)(record.text - article) + record.textLength + 1;
    return end;
}

uint16_t RecordOf(const BYTE* article, size_t offset) {
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    uint16_t index = 0;
    while (NextArticleRecord(&walker, &record) && (size_t)(record.text - article) + record.textLength < offset) index++;
    return index;
}

bool ReadsAt(const BYTE* article, size_t start, size_t end, const std::u16string& words) {
    return Words(QuoteOfPassage(article, (int)start, (int)end)) == words;
}

// The nearest start to the old one where a passage of the same length reads as the
// quote; a quote without Hebrew only tries where its first letter is stored.
bool FindAgain(const BYTE* article, size_t articleEnd, Note& note, const std::u16string& words) {
    size_t length = note.end - note.start;
    if (words.empty() || length > articleEnd) return false;
    size_t last = articleEnd - length;
    char16_t first = words[0];
    bool latin = std::all_of(words.begin(), words.end(), [](char16_t c) { return c < 0x590; });
    for (size_t distance = 0; distance <= std::max<size_t>(note.start, last); distance++) {
        for (int side = 0; side < (distance ? 2 : 1); side++) {
            if (side == 0 ? distance > note.start : note.start + distance > last) continue;
            size_t at = side == 0 ? note.start - distance : note.start + distance;
            if (at > last || (latin && first < 0x80 && article[at] != first)) continue;
            if (!ReadsAt(article, at, at + length, words)) continue;
            note.start = (uint16_t)at;
            note.end = (uint16_t)(at + length);
            return true;
        }
    }
    return false;
}

void AnchorInArticle(const BYTE* article, Note& note) {
    size_t end = ArticleEnd(article);
    std::u16string words = Words(note.quote);
    note.detached = !(note.end <= end && ReadsAt(article, note.start, note.end, words)) &&
                    !FindAgain(article, end, note, words);
    if (!note.detached) note.record = RecordOf(article, note.start);
}

}  // namespace

std::u16string QuoteOfPassage(const BYTE* article, int start, int end) {
    uint32_t flags = gApp.Flags;
    int32_t base = gApp.fontSettings.FontAsciiBase;
    gApp.Flags &= ~kFlagReverse;
    gApp.fontSettings.FontAsciiBase = kUnicodeHebrewBase;
    std::unique_ptr<WCHAR, decltype(&free)> text(RenderExportText({article, (size_t)start, (size_t)end}), free);
    gApp.Flags = flags;
    gApp.fontSettings.FontAsciiBase = base;
    return text ? std::u16string(text.get()) : std::u16string();
}

void AnchorNotes(std::vector<Note>* notes) {
    // Each article is inflated once.
    std::stable_sort(notes->begin(), notes->end(), [](const Note& a, const Note& b) { return a.article < b.article; });
    std::unique_ptr<BYTE, decltype(&free)> article(nullptr, free);
    int loaded = 0;
    for (Note& note : *notes) {
        if (note.article != loaded) {
            int status = 0;
            article.reset(LoadContent(note.article, &status));
            loaded = note.article;
        }
        if (article) AnchorInArticle(article.get(), note);
        else note.detached = true;
    }
}
