#include "Notes.h"

#include <algorithm>
#include <new>

void (*gNotesChanged)() = nullptr;
void (*gNotesStoreChanged)() = nullptr;

namespace {

std::vector<Note> gNotes;
uint64_t gNextId = 1;

void Changed() {
    if (gNotesChanged) gNotesChanged();
    if (gNotesStoreChanged) gNotesStoreChanged();
}

bool Before(const Note& a, const Note& b) {
    if (a.article != b.article) return a.article < b.article;
    return a.start < b.start;
}

}  // namespace

const std::vector<Note>& AllNotes() { return gNotes; }

std::vector<int> NotesOfArticle(int article) {
    std::vector<int> found;  // may throw bad_alloc: callers are inside CallProgram
    for (size_t i = 0; i < gNotes.size(); ++i)
        if (gNotes[i].article == article) found.push_back(static_cast<int>(i));
    return found;
}

uint64_t AddNote(Note note) {
    note.id = gNextId;
    try {
        auto at = std::upper_bound(gNotes.begin(), gNotes.end(), note, Before);
        gNotes.insert(at, std::move(note));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    Changed();
    return gNextId++;
}

bool ChangeNote(const Note& note) {
    for (Note& n : gNotes) {
        if (n.id != note.id) continue;
        try {
            n = note;
        } catch (const std::bad_alloc&) {
            return false;
        }
        std::stable_sort(gNotes.begin(), gNotes.end(), Before);
        Changed();
        return true;
    }
    return false;
}

bool RemoveNote(uint64_t id) {
    auto at = std::find_if(gNotes.begin(), gNotes.end(), [id](const Note& n) { return n.id == id; });
    if (at == gNotes.end()) return false;
    gNotes.erase(at);
    Changed();
    return true;
}

bool ReplaceNotes(std::vector<Note> notes) {
    try {
        std::stable_sort(notes.begin(), notes.end(), Before);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (Note& n : notes) n.id = gNextId++;
    gNotes = std::move(notes);
    Changed();
    return true;
}
