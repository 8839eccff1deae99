#include "NoteEditor.h"

#include <ctime>
#include <new>
#include <string>

#include "../resources/Dialogs.h"
#include "../shell/MainWindow.h"
#include "Notes.h"

namespace {

constexpr size_t kMostQuoted = 240;

// What the dialog shows and, after OK, what was written.
struct NoteEdit {
    std::u16string quote;
    std::u16string text;
};

NoteEdit* gEditing;  // the one editor open: it is modal

// The passage on one line, cut where it grows long.
std::u16string Quoted(const std::u16string& quote) {
    std::u16string shown;
    for (char16_t c : quote.substr(0, kMostQuoted)) {
        bool space = c == u'\r' || c == u'\n' || c == u'\t' || c == u' ';
        if (!space || (!shown.empty() && shown.back() != u' ')) shown += space ? u' ' : c;
    }
    return u"\u201C" + shown + (quote.size() > kMostQuoted ? u"\u2026\u201D" : u"\u201D");
}

void InitNoteDialog(HWND dialog, NoteEdit* edit) {
    gEditing = edit;
    try {
        SetWindowTextW(GetDlgItem(dialog, kNoteQuoteId), Quoted(edit->quote).c_str());
    } catch (const std::bad_alloc&) {
    }
    HWND box = GetDlgItem(dialog, kNoteTextId);
    SetWindowTextW(box, edit->text.c_str());
    SetFocus(box);
}

// Keeps what the box holds; false when memory ran short.
bool KeepText(HWND dialog) {
    NoteEdit* edit = gEditing;
    HWND box = GetDlgItem(dialog, kNoteTextId);
    if (!edit) return false;
    try {
        std::u16string text((size_t)SendMessageW(box, WM_GETTEXTLENGTH, 0, 0) + 1, u'\0');
        text.resize((size_t)GetWindowTextW(box, text.data(), (int)text.size()));
        edit->text = std::move(text);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace

INT_PTR CALLBACK NoteDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: InitNoteDialog(dialog, (NoteEdit*)lParam); return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: return EndDialog(dialog, KeepText(dialog) ? IDOK : IDCANCEL);
                case IDCANCEL: return EndDialog(dialog, IDCANCEL);
            }
            return FALSE;
    }
    return FALSE;
}

bool EditNote(HWND window, uint64_t id) {
    NoteEdit edit;
    Note note = {};
    try {
        for (const Note& n : AllNotes())
            if (n.id == id) note = n;
        if (!note.id) return false;
        edit = {note.quote, note.text};
    } catch (const std::bad_alloc&) {
        return false;
    }
    INT_PTR answer = RunDialog(kNoteDialogId, window, NoteDialogProc, (LPARAM)&edit);
    gEditing = nullptr;
    if (answer != IDOK || edit.text == note.text) return false;
    note.text = std::move(edit.text);
    note.modified = (int64_t)time(nullptr);
    bool changed = ChangeNote(note);
    RepaintNow(window, kPaintAll);
    return changed;
}
