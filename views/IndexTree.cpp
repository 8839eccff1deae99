// The tree's state in the line table: expanding and collapsing headings, opening
// the tree down to an article, and keeping the state across a relayout. The tree
// is read from the order of the lines and their x, which grows with the level.
#include "../content/IndexRecords.h"
#include "../shell/Memory.h"
#include "IndexView.h"

namespace {

void ShowLine(IndexView* view, IndexLine& line, BYTE bits) {
    if (!(line.style & kIndexShown)) view->rowCount++;
    line.style |= bits | kIndexShown;
}

}  // namespace

int32_t ToggleHeading(IndexView* view, IndexLine* line) {
    if (!view || !view->lines || !line) return 0;
    IndexLine* lines = view->lines;
    int at = (int)(line - lines);
    int n = line->key & kKeyNumberMask;
    uint16_t rows = view->rowCount;
    int column = lines[at + 1].x;  // where the children stand
    bool collapsing = line->style & kIndexExpanded;
    line->style ^= kIndexExpanded;
    for (int i = at + 1; lines[i].style; i++) {
        IndexLine& m = lines[i];
        if (m.x < column) break;
        if (m.key == line->key && m.x == column) {  // a further line of the heading's own caption
            column = lines[i + 1].x;
            continue;
        }
        // A heading without children: the lines after it are its siblings, not its subtree.
        if (m.x <= line->x) break;
        if (collapsing) {
            if (m.style & kIndexShown) {
                m.style &= ~kIndexShown;
                view->rowCount--;
            }
        } else if (m.x == column && !(m.style & kIndexShown)) {
            m.style |= kIndexShown;
            view->rowCount++;
            if (m.key & kKeyHeading) m.style &= ~kIndexExpanded;  // a child heading opens collapsed
        }
    }
    if (view->rowCount != rows) ComputeIndexMaxTopRow(view);
    PaintIndexView(view, TRUE);
    return -n;
}

void ShowRecordLines(IndexView* view, IndexLine* line, int direction) {
    uint16_t key = line->key;
    for (int i = (int)(line - view->lines); i >= 0 && view->lines[i].style && view->lines[i].key == key;
         i += direction) {
        IndexLine& m = view->lines[i];
        if (m.style & kIndexShown) continue;
        m.style |= kIndexShown;
        view->rowCount++;
        if (key & kKeyHeading) m.style &= ~kIndexExpanded;
    }
}

void RevealArticle(IndexView* view, int article) {
    if (!view || !view->index || !view->lines || article == 0) return;
    IndexLine* lines = view->lines;
    int at = 0;
    while (lines[at].style && ((lines[at].key & kKeyNumberMask) != article || (lines[at].key & kKeyHeading))) at++;
    if (!lines[at].style || (lines[at].style & kIndexShown)) return;
    ShowRecordLines(view, &lines[at], +1);
    int next = at;
    while (lines[next].style && lines[next].key == lines[at].key) next++;
    ShowRecordLines(view, &lines[next], +1);  // the record after the link as well
    // Every line left of the column so far, going up, is an enclosing heading (its last line first).
    int column = lines[at].x;
    for (int i = at - 1; i >= 0; i--) {
        if (lines[i].x >= column) continue;
        ShowRecordLines(view, &lines[i], -1);
        column = lines[i].x;
    }
    ComputeIndexMaxTopRow(view);
}

uint16_t* SaveExpansion(IndexView* view) {
    if (!view || !view->index || !view->lines || !view->lines[0].style) return nullptr;
    // Each shown record gives one pair, taken from its first shown line.
    int pairs = 0;
    uint16_t lastKey = 0;
    for (const IndexLine* m = view->lines; m->style; m++) {
        if (!(m->style & kIndexShown) || m->key == lastKey) continue;
        pairs++;
        lastKey = m->key;
    }
    if (!pairs) return nullptr;
    auto* list = (uint16_t*)CheckedAlloc(sizeof(uint16_t) * 2 * ((size_t)pairs + 1));
    if (!list) return nullptr;
    uint16_t* out = list;
    lastKey = 0;
    for (const IndexLine* m = view->lines; m->style; m++) {
        if (!(m->style & kIndexShown) || m->key == lastKey) continue;
        *out++ = m->key;
        *out++ = m->style & kIndexExpanded;
        lastKey = m->key;
    }
    *out = 0;
    return list;
}

int RestoreExpansion(IndexView* view, const uint16_t* list) {
    if (!view || !view->index || !view->lines || !list) return -1;
    IndexLine* lines = view->lines;
    int cursor = 0;
    for (const uint16_t* pair = list; pair[0]; pair += 2) {
        uint16_t key = pair[0];
        BYTE bits = (BYTE)(pair[1] & kIndexExpanded);
        // Forward only: the list comes from the same index in the same order.
        while (lines[cursor].style && lines[cursor].key != key) cursor++;
        if (!lines[cursor].style) break;
        for (; lines[cursor].style && lines[cursor].key == key; cursor++) ShowLine(view, lines[cursor], bits);
        cursor--;  // rests on the run's last line
    }
    ComputeIndexMaxTopRow(view);
    return 0;
}
