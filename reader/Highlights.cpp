#include "Highlights.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <cstring>
#include <new>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "../content/Content.h"
#include "../platform/Desktop.h"
#include "../resources/Accelerators.h"
#include "../resources/Commands.h"
#include "../shell/AppState.h"
#include "../shell/Export.h"
#include "../shell/MainWindow.h"
#include "../views/PageWalk.h"
#include "../views/TextMapping.h"
#include "../views/Palette.h"
#include "LinkView.h"
#include "NotesAnchor.h"
#include "NoteEditor.h"
#include "ReadingText.h"
#include "SidePanel.h"

namespace {

// COLORREF is 0x00BBGGRR. Night's shades keep the light text readable on them.
constexpr COLORREF kDayFills[kHighlightColourCount] = {0x78F0FF, 0xA0E6AA, 0xFFCDA0, 0xD2B4FF};
constexpr COLORREF kNightFills[kHighlightColourCount] = {0x145F6E, 0x2D5A28, 0x6E411E, 0x4B2869};
constexpr COLORREF kDayMark = 0x0066E0, kNightMark = 0x3C9CF0;  // orange, amber
constexpr int kMarkWidth = 4, kMarkReach = 12;  // drawn, and taken by the pointer
constexpr int kMostTip = 600;

struct HighlightState {
    void (*drawnBefore)(ArticleView*);  // the overlay this one chains to (links)
    HighlightColour lastColour;         // Highlight (Ctrl+H) marks in this one
    uint64_t hovered;                   // the note whose tooltip shows
    std::vector<Note> removed;          // for Undo Remove Note, the last at the back
};

HighlightState gHighlights = {nullptr, kHighlightYellow, 0, {}};

bool IsDrawn(const Note& note) { return !note.detached && note.end > note.start; }

// The notes of the current article that share characters with [start, end).
template <class Each>
void ForNotesIn(int start, int end, Each each) {
    for (const Note& note : AllNotes())
        if (note.article == gApp.currentArticle && IsDrawn(note) && note.start < end && note.end > start) each(note);
}

// The visible line holding an offset, with the y it is drawn at; false when none shows.
bool VisibleLineOf(ArticleView* view, int offset, PageWalk* found) {
    if (!view || !view->article || !view->lines) return false;
    for (PageWalk walk = FirstVisibleLine(view); Fits(walk); Advance(walk)) {
        const ArticleLine& line = *walk.line;
        if (IsSeparatorStyle(line.style)) continue;
        if (offset >= line.offset && offset < ArticleLineEnd(view->article, line)) {
            *found = walk;
            return true;
        }
    }
    return false;
}

constexpr int kMostLinks = 64;

struct PageLinks {
    TextLink links[kMostLinks];
    int count;
};

// Links keep their colour inside a highlight.
void RelightLinks(ArticleView* view, const PageLinks& page, const Note& note) {
    for (int i = 0; i < page.count; i++) {
        int a = std::max<int>(page.links[i].start, note.start), b = std::min<int>(page.links[i].end, note.end);
        if (a < b) LightSpan(view, a, b, LinkColour(), HighlightFill(note.colour));
    }
}

// The margin beside the view the marks stand in, 0 when it is too narrow for them.
int MarkMargin() { return gApp.SurroundingGutter >= kMarkWidth + 2 ? (int)gApp.SurroundingGutter : 0; }

void DrawMark(ArticleView* view, const Note& note) {
    RECT mark;
    if (note.text.empty() || !NoteMarkArea(view, note, &mark)) return;
    RECT bar = {mark.left + (mark.right - mark.left - kMarkWidth) / 2, mark.top + 2, 0, mark.bottom - 2};
    bar.right = bar.left + kMarkWidth;
    FillColourRect(view->surface, &bar, gNightReading ? kNightMark : kDayMark);
}

// The right edge of each unit of a line's main run, from the run's left: measured
// once for a page's lines and kept while the article, its fonts and width stay.
struct RunEdges {
    const BYTE* article;
    FontSettings fonts;
    uint32_t reverse;
    int width;
    std::unordered_map<uint32_t, std::vector<int>> lines;  // by offset and count
};

RunEdges gEdges = {};

const std::vector<int>* EdgesOf(ArticleView* view, const ArticleLine& line, const BYTE* run) {
    uint32_t reverse = gApp.Flags & kFlagReverse;
    if (gEdges.article != view->article || gEdges.reverse != reverse || gEdges.width != view->width ||
        memcmp(&gEdges.fonts, &view->fontSettings, sizeof gEdges.fonts) != 0) {
        gEdges.lines.clear();
        gEdges = {view->article, view->fontSettings, reverse, view->width, std::move(gEdges.lines)};
    }
    uint32_t key = (uint32_t)line.offset << 16 | line.count;
    auto found = gEdges.lines.find(key);
    if (found != gEdges.lines.end()) return &found->second;
    SetRunBase(line.style);
    const WCHAR* text = MapText(run, line.count, &gMapping);
    ResetRunBase();
    int n = text ? (int)wcslen(text) : 0;
    std::vector<int> edges((size_t)n);
    if (n && !GetTextExtentExPointW(view->surface, text, n, 0, nullptr, edges.data(), nullptr)) return nullptr;
    return &gEdges.lines.emplace(key, std::move(edges)).first->second;
}

// Fills the part of a line's main run that each note covers, in the note's colour.
void FillLine(ArticleView* view, const ArticleLine& line, int y, int start, int end) {
    const BYTE* run = MainRun(view->article, line);
    int from = (int)(run - view->article), to = from + line.count;
    bool any = false;
    ForNotesIn(std::max(start, from), std::min(end, to), [&](const Note&) { any = true; });
    if (!any) return;
    const std::vector<int>* edges = EdgesOf(view, line, run);
    if (!edges || edges->empty()) return;
    int n = (int)edges->size();
    // Reversed mapping shows the run's last stored unit first.
    bool reversed = (line.style & kStyleRtl) && (gApp.Flags & kFlagReverse) && gApp.fontSettings.FontAsciiBase != 97;
    auto edge = [&](int units) { return units <= 0 ? 0 : (*edges)[std::min(units, n) - 1]; };
    ForNotesIn(from, to, [&](const Note& note) {
        int a = std::max<int>(note.start, from) - from, b = std::min<int>(note.end, to) - from;
        if (reversed) std::tie(a, b) = std::pair(line.count - b, line.count - a);
        RECT part = {line.x + edge(a), y, line.x + edge(b), y + line.height};
        if (part.right > part.left) FillColourRect(view->surface, &part, HighlightFill(note.colour));
    });
}

// Under the text: the page's highlights, line by line in each line's font.
void FillHighlights(ArticleView* view) {
    int start = 0, end = 0;
    VisibleRange(view, &start, &end);
    ViewFontState fonts = FontStateOf(view, false);
    try {
        for (PageWalk walk = FirstVisibleLine(view); Fits(walk); Advance(walk)) {
            const ArticleLine& line = *walk.line;
            if (IsSeparatorStyle(line.style) || line.offset >= end || ArticleLineEnd(view->article, line) <= start)
                continue;
            HFONT previous = SelectStyleFont(fonts, line.style);
            FillLine(view, line, walk.y, start, end);
            RestoreFont(view->surface, previous);
        }
    } catch (const std::bad_alloc&) {
        gEdges.lines.clear();  // the marks go undrawn this time
    }
}

// Over the text: links keep their colour inside a highlight, and notes get their marks.
void PaintHighlights(ArticleView* view) {
    if (gHighlights.drawnBefore) gHighlights.drawnBefore(view);
    int start = 0, end = 0;
    VisibleRange(view, &start, &end);
    PageLinks page;
    page.count = VisibleLinks(view, page.links, kMostLinks);
    ForNotesIn(start, end, [&](const Note& note) { RelightLinks(view, page, note); });
    // The margins are cleared of the marks of the page before.
    if (int g = MarkMargin()) {
        EraseViewRect(view->surface, view->left - g, view->top, g, view->height);
        EraseViewRect(view->surface, view->left + view->width, view->top, g, view->height);
    }
    ForNotesIn(start, end, [&](const Note& note) { DrawMark(view, note); });
}

// The record index holding an offset, for finding the passage again in a changed article.
uint16_t RecordOf(const BYTE* article, int offset) {
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    uint16_t index = 0;
    while (NextArticleRecord(&walker, &record)) {
        if (record.text + record.textLength >= article + offset) return index;
        index++;
    }
    return index;
}

// Marks the selection; returns the new note's id, 0 without a selection or memory.
uint64_t HighlightSelection(HWND window, HighlightColour colour) {
    ArticleView* view = gApp.articleView;
    if (!HasSelection(view) || gApp.currentArticle < 1 || gApp.currentArticle > kArticleCount) return 0;
    gHighlights.lastColour = colour;
    Note note = {};
    note.article = gApp.currentArticle;
    note.start = view->selectionStart;
    note.end = view->selectionEnd;
    note.record = RecordOf(view->article, note.start);
    note.colour = colour;
    note.created = note.modified = (int64_t)time(nullptr);
    // Quoted as the notes file keeps it, whatever the base and Reverse, so that the
    // next start finds the passage where its offsets say.
    try {
        note.quote = QuoteOfPassage(view->article, note.start, note.end);
    } catch (const std::bad_alloc&) {
        note.quote.clear();
    }
    uint64_t id = AddNote(std::move(note));
    // The passage now shows in its colour, not the selection's.
    if (id && gApp.articleView) SetSelection(gApp.articleView, 0, 0);
    RepaintNow(window, kPaintAll);
    return id;
}

const Note* FindNote(uint64_t id) {
    for (const Note& note : AllNotes())
        if (note.id == id) return &note;
    return nullptr;
}

void Recolour(HWND window, uint64_t id, HighlightColour colour) {
    const Note* found = FindNote(id);
    if (!found) return;
    Note note = *found;
    note.colour = colour;
    note.modified = (int64_t)time(nullptr);
    gHighlights.lastColour = colour;
    ChangeNote(note);
    RepaintNow(window, kPaintAll);
}

void AddItem(HMENU menu, WORD command, const WCHAR* text, bool checked = false) {
    std::u16string label = text;
    std::u16string keys = ShortcutLabel(command);
    if (!keys.empty()) label += u"\b" + keys;
    AppendMenuW(menu, MF_STRING | (checked ? MF_CHECKED : 0), command, label.c_str());
}

void FillSelectionMenu(HMENU menu) {
    for (int c = 0; c < kHighlightColourCount; c++)
        AddItem(menu, (WORD)(kCmdHighlightYellow + c),
                (std::u16string(u"Highlight ") + HighlightColourName((HighlightColour)c)).c_str());
    AddItem(menu, kCmdAddNote, u"Add Note...");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AddItem(menu, kCmdCopy, u"Copy");
}

void FillHighlightMenu(HMENU menu, const Note& note) {
    for (int c = 0; c < kHighlightColourCount; c++)
        AddItem(menu, (WORD)(kCmdHighlightYellow + c), HighlightColourName((HighlightColour)c), note.colour == c);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AddItem(menu, kCmdEditNote, note.text.empty() ? u"Add Note..." : u"Edit Note...");
    AddItem(menu, kCmdRemoveHighlight, u"Remove Highlight");
}

// The client point of a WM_CONTEXTMENU; from the keyboard, the selection's start
// or the top of the article.
POINT MenuPoint(HWND window, ArticleView* view, LPARAM screenPoint) {
    POINT p = {(SHORT)LOWORD(screenPoint), (SHORT)HIWORD(screenPoint)};
    if (p.x != -1 || p.y != -1) {
        ScreenToClient(window, &p);
        return p;
    }
    p = {view->left + 8, view->top + 8};
    PageWalk walk;
    if (HasSelection(view) && VisibleLineOf(view, view->selectionStart, &walk))
        p = {walk.line->x + 8, walk.y + walk.line->height};
    return p;
}

// The passage under a client point: the row of the line holding it.
const Note* NoteAtPoint(ArticleView* view, int x, int y, RECT* row) {
    if (!view || !view->article || !HitTestView(view, x, y)) return nullptr;
    int offset = OffsetAtPoint(view, x, y);
    const Note* note = offset >= 0 ? NoteAtOffset(offset) : nullptr;
    PageWalk walk;
    if (!note || !VisibleLineOf(view, offset, &walk)) return note;
    *row = {view->left, walk.y, view->left + view->width, walk.y + walk.line->height};
    return note;
}

const Note* NoteOfMarkAt(ArticleView* view, int x, int y, RECT* area) {
    const Note* hit = nullptr;
    int start = 0, end = 0;
    VisibleRange(view, &start, &end);
    ForNotesIn(start, end, [&](const Note& note) {
        RECT mark;
        if (!note.text.empty() && NoteMarkArea(view, note, &mark) && x >= mark.left && x < mark.right &&
            y >= mark.top && y < mark.bottom) {
            hit = &note;
            *area = mark;
        }
    });
    return hit;
}

void ShowNoteTip(HWND window, const Note& note, const RECT& area) {
    std::u16string tip;
    try {
        tip = note.text.substr(0, kMostTip);
        if (note.text.size() > kMostTip) tip += u"\u2026";
    } catch (const std::bad_alloc&) {
        return;
    }
    ShowAreaTip(window, &area, tip.c_str());
}

// A copy of the article shown carries its highlights into the RTF.
int MarkedPassages(const BYTE* article, RtfHighlight* out, int capacity) {
    ArticleView* view = gApp.articleView;
    if (!view || view->article != article) return 0;
    int n = 0;
    ForNotesIn(0, 0x10000, [&](const Note& note) {
        if (n < capacity) out[n++] = {note.start, note.end, note.colour};
    });
    return n;
}

}  // namespace

COLORREF HighlightFill(HighlightColour colour) {
    int c = std::min<int>(colour, kHighlightColourCount - 1);
    return gNightReading ? kNightFills[c] : kDayFills[c];
}

const WCHAR* HighlightColourName(HighlightColour colour) {
    static const WCHAR* const kNames[kHighlightColourCount] = {u"Yellow", u"Green", u"Blue", u"Pink"};
    return kNames[std::min<int>(colour, kHighlightColourCount - 1)];
}

void EnableHighlights() {
    if (gArticleOverlay == PaintHighlights) return;
    gHighlights.drawnBefore = gArticleOverlay;
    gArticleOverlay = PaintHighlights;
    gArticleUnderlay = FillHighlights;
    gRtfHighlights = MarkedPassages;
}

bool RunNoteCommand(HWND window, WORD command, uint64_t target) {
    if (command >= kCmdHighlightYellow && command <= kCmdHighlightPink) {
        auto colour = (HighlightColour)(command - kCmdHighlightYellow);
        if (target)
            Recolour(window, target, colour);
        else
            HighlightSelection(window, colour);
        return true;
    }
    switch (command) {
        case kCmdHighlight: HighlightSelection(window, gHighlights.lastColour); return true;
        case kCmdAddNote:
            if (uint64_t id = target ? target : HighlightSelection(window, gHighlights.lastColour))
                EditNote(window, id);
            return true;
        case kCmdEditNote:
            if (target) EditNote(window, target);
            return true;
        case kCmdRemoveHighlight:
            if (target) RemoveNoteWithUndo(target);
            RepaintNow(window, kPaintAll);
            return true;
        case kCmdNotesTab: OpenPanelTab(kNotesTab, true); return true;
        case kCmdUndoRemoveNote: UndoRemoveNote(); return true;
    }
    return false;
}

void ShowArticleMenu(HWND window, LPARAM screenPoint) {
    ArticleView* view = gApp.articleView;
    if (!view || !view->article) return;
    POINT p = MenuPoint(window, view, screenPoint);
    RECT row;
    const Note* note = HasSelection(view) ? nullptr : NoteAtPoint(view, p.x, p.y, &row);
    if (!note && !HasSelection(view)) return;
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    uint64_t target = note ? note->id : 0;
    if (note)
        FillHighlightMenu(menu, *note);
    else
        FillSelectionMenu(menu);
    POINT screen = p;
    ClientToScreen(window, &screen);
    ShowAreaTip(window, nullptr, nullptr);
    WORD command = (WORD)TrackPopupMenu(menu, TPM_RETURNCMD, screen.x, screen.y, 0, window, nullptr);
    DestroyMenu(menu);
    if (command == kCmdCopy)
        PostMessageW(window, WM_COMMAND, kCmdCopy, 0);
    else if (command)
        RunNoteCommand(window, command, target);
}

const Note* NoteAtOffset(int offset) {
    const Note* found = nullptr;
    ForNotesIn(offset, offset + 1, [&](const Note& note) {
        if (!found || note.modified >= found->modified) found = &note;
    });
    return found;
}

void NarrowToHighlights(const ArticleView* view, int readingOffset, AccessibleTextRun* run) {
    int at = ArticleOffset(view, readingOffset);
    if (at < 0) return;
    if (const Note* note = NoteAtOffset(at)) run->background = HighlightFill(note->colour);
    // Where any passage begins or ends, the attributes may change.
    for (const Note& note : AllNotes()) {
        if (note.article != gApp.currentArticle || !IsDrawn(note)) continue;
        int start = 0, end = 0;
        ReadingSpan(view, note.start, note.end, &start, &end);
        for (int edge : {start, end}) {
            if (edge <= readingOffset) run->start = std::max(run->start, edge);
            else run->end = std::min(run->end, edge);
        }
    }
}

bool NoteMarkArea(ArticleView* view, const Note& note, RECT* area) {
    PageWalk walk;
    if (!VisibleLineOf(view, note.start, &walk)) return false;
    // At the end the line reads towards: the right, the left for right to left; in
    // the margin beside the view where there is one, else just inside the view.
    bool rtl = walk.line->style & kStyleRtl;
    int g = MarkMargin(), width = g ? g : kMarkReach;
    int left = rtl ? view->left - g : view->left + view->width + g - width;
    *area = {left, walk.y, left + width, walk.y + walk.line->height};
    return true;
}

void HoverNotes(HWND window, int x, int y) {
    ArticleView* view = gApp.articleView;
    RECT area = {};
    const Note* note = view ? NoteOfMarkAt(view, x, y, &area) : nullptr;
    if (!note) note = NoteAtPoint(view, x, y, &area);
    if (note && note->text.empty()) note = nullptr;
    uint64_t hovered = note ? note->id : 0;
    if (hovered == gHighlights.hovered) return;
    gHighlights.hovered = hovered;
    if (note)
        ShowNoteTip(window, *note, area);
    else
        ShowAreaTip(window, nullptr, nullptr);
}

bool OpenNoteAt(HWND window, int x, int y) {
    RECT area;
    const Note* note = gApp.articleView ? NoteOfMarkAt(gApp.articleView, x, y, &area) : nullptr;
    if (!note) return false;
    ShowAreaTip(window, nullptr, nullptr);
    gHighlights.hovered = 0;
    EditNote(window, note->id);
    return true;
}

void RemoveNoteWithUndo(uint64_t id) {
    const Note* note = FindNote(id);
    if (!note) return;
    try {
        gHighlights.removed.push_back(*note);
    } catch (const std::bad_alloc&) {
        return;  // not removed when it could not be brought back
    }
    RemoveNote(id);
}

bool UndoRemoveNote() {
    if (gHighlights.removed.empty()) return false;
    Note note = gHighlights.removed.back();
    if (!AddNote(std::move(note))) return false;
    gHighlights.removed.pop_back();
    if (gApp.mainWindow) RepaintNow(gApp.mainWindow, kPaintAll);
    return true;
}

void ShowNotePassage(HWND window, const Note& note) {
    int article = note.article, start = note.start;
    if (article != gApp.currentArticle && ShowArticle(window, article) != 0) return;
    ArticleView* view = gApp.articleView;
    if (!view || !ScrollToOffset(view, start)) return;
    // A third of the way down, with the text before it in sight.
    if (view->topRow < view->maxTopRow) view->topRow = (uint16_t)std::max(0, view->topRow - view->rowsPainted / 3);
    RepaintNow(window, kPaintAll);
}

int NoteCountOfArticle(int article) {
    const std::vector<Note>& notes = AllNotes();
    auto byArticle = [](const Note& n, int a) { return n.article < a; };
    auto first = std::lower_bound(notes.begin(), notes.end(), article, byArticle);
    int count = 0;
    for (auto it = first; it != notes.end() && it->article == article; ++it) count++;
    return count;
}
