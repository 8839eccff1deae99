#include "NotesTab.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <new>
#include <vector>

#include "../platform/Panel.h"
#include "../resources/Commands.h"
#include "../shell/AppState.h"
#include "../shell/MainWindow.h"
#include "../shell/Search.h"
#include "FindAll.h"
#include "Highlights.h"
#include "Notes.h"
#include "SidePanel.h"

namespace {

enum : int { kFilterId = 2301, kCountId, kListId };
constexpr int kRowHeight = 24, kMargin = 4;
constexpr size_t kQuoteShown = 80, kNoteShown = 60;

struct NotesTab {
    HWND filter, count, list;
    std::vector<int> rows;      // a note's index in AllNotes(), or -article for its heading
    std::u16string query;       // the filter box, lower-cased
    void (*heardBefore)();      // the notes' change hook this tab chains to
};

NotesTab gTab = {};

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? (char16_t)(c + 32) : c; }

bool Contains(const std::u16string& text, const std::u16string& lowered) {
    if (lowered.empty()) return true;
    auto at = std::search(text.begin(), text.end(), lowered.begin(), lowered.end(),
                          [](char16_t a, char16_t b) { return Lower(a) == b; });
    return at != text.end();
}

// On one line, its runs of white space as one space, cut at most units.
std::u16string OneLine(const std::u16string& text, size_t most) {
    std::u16string line;
    for (char16_t c : text) {
        bool space = c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
        if (space && (line.empty() || line.back() == u' ')) continue;
        if (line.size() == most) return line + u"\u2026";
        line += space ? u' ' : c;
    }
    while (!line.empty() && line.back() == u' ') line.pop_back();
    return line;
}

std::u16string FirstLine(const std::u16string& text, size_t most) {
    return OneLine(text.substr(0, text.find(u'\n')), most);
}

std::u16string Ascii(const char* text) { return std::u16string(text, text + strlen(text)); }

std::u16string DateOf(int64_t seconds) {
    time_t t = (time_t)seconds;
    struct tm day = {};
    char text[16] = "";
    if (gmtime_r(&t, &day)) strftime(text, sizeof text, "%Y-%m-%d", &day);
    return Ascii(text);
}

std::u16string NoteRow(const Note& note) {
    std::u16string row = u"    " + std::u16string(HighlightColourName(note.colour)) + u"  \u201C" +
                         OneLine(note.quote, kQuoteShown) + u"\u201D";
    if (!note.text.empty()) row += u"  \u2014 " + FirstLine(note.text, kNoteShown);
    row += u"  \u00B7 " + DateOf(note.created);
    if (note.detached) row += u"  (detached)";
    return row;
}

std::u16string HeadingRow(int article) {
    const BYTE* text = SearchableArticle(article);
    char number[16];
    snprintf(number, sizeof number, "%d  ", article);
    return Ascii(number) + (text ? ArticleTitleOf(text) : u"");
}

int RowText(void*, int row, WCHAR* out, int capacity, bool* heading) {
    if (capacity < 1) return 0;
    out[0] = 0;
    if (row < 0 || row >= (int)gTab.rows.size()) return 0;
    *heading = gTab.rows[row] < 0;
    try {
        std::u16string text = NotesRowText(row);
        int n = std::min((int)text.size(), capacity - 1);
        std::copy(text.begin(), text.begin() + n, out);
        out[n] = 0;
        return n;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

void ShowCount(int notes) {
    char text[64];
    snprintf(text, sizeof text, "%d of %d", notes, (int)AllNotes().size());
    std::u16string count = Ascii(text);
    SetWindowTextW(gTab.count, count.c_str());
}

// The rows again from the notes and the filter; the current row stays where it was.
void Refill() {
    const std::vector<Note>& notes = AllNotes();
    int current = CurrentListRow(gTab.list), shown = 0;
    gTab.rows.clear();
    try {
        int article = 0;
        for (size_t i = 0; i < notes.size(); i++) {
            if (!Contains(notes[i].quote, gTab.query) && !Contains(notes[i].text, gTab.query)) continue;
            if (notes[i].article != article) gTab.rows.push_back(-(article = notes[i].article));
            gTab.rows.push_back((int)i);
            shown++;
        }
    } catch (const std::bad_alloc&) {
        gTab.rows.clear();
    }
    SetListRows(gTab.list, (int)gTab.rows.size(), RowText, nullptr);
    if (current >= 0 && !gTab.rows.empty()) SelectListRow(gTab.list, std::min(current, (int)gTab.rows.size() - 1));
    ShowCount(shown);
}

void NotesChanged() {
    if (gTab.heardBefore) gTab.heardBefore();
    Refill();
}

void Filter() {
    WCHAR text[256] = {};
    int n = GetWindowTextW(gTab.filter, text, 256);
    try {
        gTab.query.assign(text, text + std::max(n, 0));
        for (char16_t& c : gTab.query) c = Lower(c);
    } catch (const std::bad_alloc&) {
        gTab.query.clear();
    }
    Refill();
}

// A note's row, or the first note under a heading.
const Note* NoteOfRow(int row) {
    if (row < 0 || row >= (int)gTab.rows.size()) return nullptr;
    if (gTab.rows[row] < 0) row++;
    if (row >= (int)gTab.rows.size() || gTab.rows[row] < 0) return nullptr;
    return &AllNotes()[gTab.rows[row]];
}

void ShowRow(int row) {
    if (const Note* note = NoteOfRow(row)) ShowNotePassage(gApp.mainWindow, *note);
}

void RemoveRow(int row) {
    if (row >= 0 && row < (int)gTab.rows.size() && gTab.rows[row] >= 0)
        RemoveNoteWithUndo(AllNotes()[gTab.rows[row]].id);
    RepaintNow(gApp.mainWindow, kPaintAll);
}

HWND Control(HWND panel, const WCHAR* cls, const WCHAR* text, DWORD style, int id) {
    return CreateWindowExW(0, cls, text, WS_CHILD | style, 0, 0, 0, 0, panel, (HMENU)(INT_PTR)id, gApp.instance,
                           nullptr);
}

}  // namespace

void CreateNotesTab(HWND panel) {
    gTab.filter = Control(panel, TEXT("EDIT"), TEXT(""), ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kFilterId);
    gTab.count = Control(panel, TEXT("STATIC"), TEXT(""), SS_NOPREFIX, kCountId);
    gTab.list = Control(panel, kRowListClass, TEXT(""), WS_TABSTOP, kListId);
    SetAccessibleName(gTab.filter, TEXT("Filter the notes"));
    SetAccessibleName(gTab.list, TEXT("Highlights and notes"));
    if (gNotesChanged != NotesChanged) gTab.heardBefore = gNotesChanged;
    gNotesChanged = NotesChanged;
    Filter();
}

void ShowNotesTab(bool shown) {
    for (HWND control : {gTab.filter, gTab.count, gTab.list}) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

void LayoutNotesTab(int x, int y, int width, int height) {
    int w = std::max(width - 2 * kMargin, 0), left = x + kMargin, bottom = y + height - kMargin;
    y += kMargin;
    MoveWindow(gTab.filter, left, y, w, kRowHeight, TRUE);
    MoveWindow(gTab.count, left, y += kRowHeight + 2, w, kRowHeight - 4, TRUE);
    y += kRowHeight - 4;
    MoveWindow(gTab.list, left, y, w, std::max(bottom - y, 0), TRUE);
}

void FocusNotesTab() {
    SetFocus(gTab.filter);
    SendMessageW(gTab.filter, EM_SETSEL, 0, -1);
}

bool NotesTabCommand(WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case kFilterId:
            if (HIWORD(wParam) == EN_CHANGE) Filter();
            return true;
        case kListId:
            if (HIWORD(wParam) == LBN_SELCHANGE || HIWORD(wParam) == LBN_DBLCLK) ShowRow(CurrentListRow(gTab.list));
            if (HIWORD(wParam) == LBN_DBLCLK || HIWORD(wParam) == kRowClicked) SidePanelChoiceMade();
            return true;
        case kCmdUndoRemoveNote: UndoRemoveNote(); return true;
    }
    return false;
}

bool NotesTabKey(WPARAM key) {
    if (key == VK_DELETE) {
        RemoveRow(CurrentListRow(gTab.list));
        return true;
    }
    if (key == VK_RETURN) {
        ShowRow(std::max(CurrentListRow(gTab.list), 0));
        SidePanelChoiceMade();
        return true;
    }
    return false;
}

std::u16string NotesRowText(int row) {
    if (row < 0 || row >= (int)gTab.rows.size()) return u"";
    int entry = gTab.rows[row];
    return entry < 0 ? HeadingRow(-entry) : NoteRow(AllNotes()[entry]);
}

int NotesRowCount() { return (int)gTab.rows.size(); }
