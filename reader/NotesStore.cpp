// The notes file is written by a thread of its own: the window's thread only copies
// the list and hands it over; formatting it (tens of milliseconds for ten thousand
// notes) and an fsync that takes long on a slow disk never hold up input. A newer
// list replaces one still waiting; the writer always writes the newest.
#include "NotesStore.h"

#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

#include "../platform/Utf16.h"
#include "../shell/AppState.h"
#include "../shell/Memory.h"
#include "Notes.h"
#include "NotesAnchor.h"
#include "NotesFile.h"

namespace {

struct Writer {
    std::mutex lock;
    std::condition_variable changed;
    std::string path;      // where the newest file goes
    std::vector<Note> notes;  // the newest list, while waiting
    bool waiting = false;     // notes are not written yet
    bool busy = false;     // a file is being written
    std::string error;     // why the last write failed
    pid_t owner = 0;       // a forked child has no writer thread
};

Writer* gWriter = nullptr;  // lives for the whole run: its thread may still be writing at the end
bool gReadOnly = false;     // the damaged file could not be moved aside
bool gDirty = false;        // changed since the last hand-over
bool gTimerSet = false;
bool gFailureSaid = false;
std::u16string gStartReport;  // said once the window shows
bool gNoMemoryAtStart = false;  // the file was not read for want of memory

void WriteLoop(Writer* w) {
    std::unique_lock<std::mutex> hold(w->lock);
    for (;;) {
        w->changed.wait(hold, [w] { return w->waiting; });
        std::string path = std::move(w->path);
        std::vector<Note> notes = std::move(w->notes);
        w->waiting = false;
        w->busy = true;
        hold.unlock();
        bool written = false;
        int why = ENOMEM;
        try {
            written = WriteNotesFile(path, FormatNotes(notes));
            why = errno;
        } catch (const std::bad_alloc&) {
        }
        notes = std::vector<Note>();
        hold.lock();
        w->busy = false;
        try {
            w->error = written ? std::string() : std::string(strerror(why));
        } catch (const std::bad_alloc&) {
            w->error = "?";  // fits the string's own buffer
        }
        w->changed.notify_all();
    }
}

Writer* TheWriter() {
    if (gWriter && gWriter->owner == getpid()) return gWriter;
    try {
        auto w = std::make_unique<Writer>();
        w->owner = getpid();
        std::thread(WriteLoop, w.get()).detach();
        gWriter = w.release();
    } catch (const std::exception&) {
        return nullptr;  // memory or threads ran out: the next change tries again
    }
    return gWriter;
}

// Hands the list over; false (still dirty) when memory or the writer is missing.
bool HandOver() {
    if (gReadOnly) return true;
    Writer* w = TheWriter();
    if (!w) return false;
    try {
        std::string path = NotesFilePath();
        std::vector<Note> notes = AllNotes();
        std::lock_guard<std::mutex> hold(w->lock);
        w->path = std::move(path);
        w->notes = std::move(notes);
        w->waiting = true;
    } catch (const std::bad_alloc&) {
        return false;
    }
    w->changed.notify_all();
    gDirty = false;
    return true;
}

void Arm(UINT_PTR id, UINT delay) {
    if (gApp.mainWindow) SetTimer(gApp.mainWindow, id, delay, nullptr);
}

void OnNotesChanged() {
    gDirty = true;
    if (gTimerSet) return;
    Arm(kNotesSaveTimerId, kNotesSaveDelayMs);
    gTimerSet = true;
}

void Say(HWND window, const std::u16string& text) {
    MessageBoxW(window, text.c_str(), TEXT("Velun"), MB_OK | MB_ICONEXCLAMATION);
}

// The start's report, then a failed save, each said once.
void Report(HWND window) {
    if (gNoMemoryAtStart) {
        gNoMemoryAtStart = false;
        MessageBoxW(window, u"There is not enough memory to read the notes file; this run saves no notes.",
                    TEXT("Velun"), MB_OK | MB_ICONEXCLAMATION);
    }
    if (!gStartReport.empty()) {
        std::u16string text = std::move(gStartReport);
        gStartReport.clear();
        Say(window, text);
    }
    std::string why = NotesSaveError();
    if (why.empty() || gFailureSaid) {
        gFailureSaid = !why.empty();
        return;
    }
    gFailureSaid = true;
    Say(window, Utf8ToUtf16("Notes could not be saved to " + NotesFilePath() + ": " + why));
}

std::u16string DamagedReport(const std::string& path, const std::string& why, const std::string& aside) {
    std::string text = "The notes file " + path + " could not be read (" + why + ").\n\n";
    text += aside.empty() ? "It could not be moved aside either, so this run saves no notes."
                          : "It was kept as " + aside + "; new notes go to a new file.";
    return Utf8ToUtf16(text);
}

// The list becomes the file's notes: none when there is no file or it is damaged.
void ReadAtStart() {
    std::string path = NotesFilePath(), text, why;
    std::vector<Note> notes;
    int read = ReadNotesFile(path, &text, &why);
    bool usable = read == 1 || (read == 0 && ParseNotes(text, &notes, &why));
    if (!usable) {
        notes.clear();
        std::string aside = SetNotesFileAside(path);
        gReadOnly = aside.empty();
        gStartReport = DamagedReport(path, why, aside);
    }
    AnchorNotes(&notes);
    ReplaceNotes(std::move(notes));
}

}  // namespace

void LoadNotesAtStart(HWND window) {
    gNotesStoreChanged = nullptr;
    gReadOnly = false;
    gDirty = gTimerSet = false;
    try {
        ReadAtStart();
    } catch (const std::bad_alloc&) {
        // The file is whole but does not fit: kept as it is, and not replaced this run.
        gReadOnly = gNoMemoryAtStart = true;
    }
    gNotesStoreChanged = OnNotesChanged;
    if (!gStartReport.empty() || gNoMemoryAtStart) SetTimer(window, kNotesReportTimerId, 0, nullptr);
}

bool NotesStoreMessage(HWND window, UINT message, WPARAM wParam) {
    if (message != WM_TIMER || (wParam != kNotesSaveTimerId && wParam != kNotesReportTimerId)) return false;
    KillTimer(window, wParam);
    if (wParam == kNotesReportTimerId) {
        try {
            Report(window);
        } catch (const std::bad_alloc&) {
            ReportOutOfMemory();
        }
        return true;
    }
    gTimerSet = false;
    if (!HandOver()) {
        OnNotesChanged();
        return true;
    }
    // The writer's outcome is known well within a second.
    SetTimer(window, kNotesReportTimerId, 1000, nullptr);
    return true;
}

void FlushNotes() {
    if (gApp.mainWindow) KillTimer(gApp.mainWindow, kNotesSaveTimerId);
    gTimerSet = false;
    if (gDirty) HandOver();
    if (!gWriter || gWriter->owner != getpid()) return;
    std::unique_lock<std::mutex> hold(gWriter->lock);
    gWriter->changed.wait(hold, [] { return !gWriter->waiting && !gWriter->busy; });
}

std::string NotesSaveError() {
    if (!gWriter || gWriter->owner != getpid()) return "";
    std::lock_guard<std::mutex> hold(gWriter->lock);
    return gWriter->error;
}
