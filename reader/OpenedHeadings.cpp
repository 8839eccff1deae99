#include "OpenedHeadings.h"

#include <algorithm>

#include "../content/IndexRecords.h"
#include "../platform/LittleEndian.h"

namespace {

bool Shown(const IndexLine& line) { return (line.style & kIndexShown) != 0; }
bool Opened(const IndexLine& line) { return (line.style & kIndexExpanded) != 0; }
bool StartsRecord(const IndexLine* lines, int i) { return i == 0 || lines[i - 1].key != lines[i].key; }

bool Listed(const OpenedHeadings& list, uint16_t key) {
    return std::find(list.keys, list.keys + list.count, key) != list.keys + list.count;
}

void Add(OpenedHeadings* list, uint16_t key) {
    if ((key & kKeyHeading) && list->count < kMaxOpenedHeadings && !Listed(*list, key))
        list->keys[list->count++] = key;
}

}  // namespace

void NoteOpenedHeadings(const IndexView* view, OpenedHeadings* out) {
    if (!view || !view->lines) return;  // nothing shown: what was noted before stands
    out->known = true;
    out->count = 0;
    for (int i = 0; view->lines[i].style; i++) {
        const IndexLine& m = view->lines[i];
        if (StartsRecord(view->lines, i) && Shown(m) && Opened(m)) Add(out, m.key);
    }
}

void ApplyOpenedHeadings(IndexView* view, const OpenedHeadings* list) {
    if (!view || !view->lines || !list || !list->known) return;
    // A toggle shows or hides only lines after it, so one walk reaches the inner ones.
    for (int i = 0; view->lines[i].style; i++) {
        IndexLine& m = view->lines[i];
        if (!(m.key & kKeyHeading) || !StartsRecord(view->lines, i) || !Shown(m)) continue;
        if (Opened(m) != Listed(*list, m.key)) ToggleHeading(view, &m);
    }
}

void OpenWayTo(IndexView* view, int article) {
    if (!view || !view->lines || article <= 0) return;
    const IndexLine* lines = view->lines;
    int at = -1;
    for (int i = 0; lines[i].style; i++)
        if ((lines[i].key & kKeyLink) && (lines[i].key & kKeyNumberMask) == article) at = i;  // the last: not the bookmark
    if (at < 0) return;
    // Enclosing headings stand left of the column, going up; their last lines come first.
    int above[64], depth = 0, column = lines[at].x;
    for (int i = at - 1; i >= 0 && depth < 64; i--) {
        if (lines[i].x >= column) continue;
        column = lines[i].x;
        int start = i;
        while (!StartsRecord(lines, start)) start--;
        above[depth++] = start;
    }
    while (depth-- > 0) {
        IndexLine& heading = view->lines[above[depth]];
        if ((heading.key & kKeyHeading) && Shown(heading) && !Opened(heading)) ToggleHeading(view, &heading);
    }
}

void ReadOpenedHeadings(const BYTE* bytes, DWORD size, OpenedHeadings* out) {
    out->known = bytes != nullptr;
    out->count = 0;
    if (!bytes) return;
    for (DWORD i = 0; i + 1 < size; i += 2) Add(out, ReadWord(bytes + i));
}

DWORD StoreOpenedHeadings(const OpenedHeadings& list, BYTE* out) {
    int count = std::clamp(list.count, 0, kMaxOpenedHeadings);
    for (int i = 0; i < count; i++) {
        out[2 * i] = (BYTE)(list.keys[i] & 0xFF);
        out[2 * i + 1] = (BYTE)(list.keys[i] >> 8);
    }
    return (DWORD)count * 2;
}
