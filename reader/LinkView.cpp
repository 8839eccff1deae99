#include "LinkView.h"

#include <algorithm>
#include <cstdlib>

#include "../content/Content.h"
#include "../platform/Desktop.h"
#include "../shell/AppState.h"
#include "../shell/MainWindow.h"
#include "../views/PageWalk.h"
#include "../views/Palette.h"
#include "../views/TextMapping.h"
#include "WindowTitle.h"

namespace {

constexpr int kMostLinks = 256;

// What the pointer and the keyboard marked, for the article it was marked in.
struct LinkMarks {
    int article;
    int hovered;  // start offset, or -1
    int focused;
};

LinkMarks gMarks = {0, -1, -1};

LinkMarks& Marks() {
    if (gMarks.article != gApp.currentArticle) gMarks = {gApp.currentArticle, -1, -1};
    return gMarks;
}

// Width of the first n units of the run, as LightSpan measures it.
int RunExtent(HDC surface, const BYTE* run, int n) {
    SIZE size = {0, 0};
    int length = (int)strlen((const char*)run);
    const WCHAR* text = MapText(run, length, &gMapping);
    if (text && n > 0) GetTextExtentPoint32W(surface, text, std::min(n, length), &size);
    return size.cx;
}

// The link's part of one line, or false; left-to-right lines only hold links.
bool LineArea(ArticleView* view, const ArticleLine& line, int y, const TextLink& link, RECT* area) {
    if (IsSeparatorStyle(line.style) || (line.style & kStyleRtl)) return false;
    const BYTE* run = MainRun(view->article, line);
    int from = (int)(run - view->article);
    int a = std::max<int>(link.start, from), b = std::min<int>(link.end, from + line.count);
    if (a >= b) return false;
    HFONT previous = SelectStyleFont(FontStateOf(view, false), line.style);
    int left = line.x + RunExtent(view->surface, run, a - from);
    int right = line.x + RunExtent(view->surface, run, b - from);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(view->surface, &metrics);
    RestoreFont(view->surface, previous);
    // The text is centred in a row spaced taller than it.
    int cell = metrics.tmHeight > 0 ? std::min<int>(metrics.tmHeight, line.height) : line.height;
    int top = y + (line.height - cell) / 2;
    *area = {left, top, right, top + cell};
    return true;
}

// Calls each(area) for every visible line part of the link until it returns true.
template <class Each>
bool ForEachArea(ArticleView* view, const TextLink& link, Each each) {
    if (!view || !view->article || !view->lines) return false;
    RECT area;
    for (PageWalk walk = FirstVisibleLine(view); Fits(walk); Advance(walk))
        if (LineArea(view, *walk.line, walk.y, link, &area) && each(area)) return true;
    return false;
}

void Underline(ArticleView* view, const TextLink& link) {
    ForEachArea(view, link, [&](const RECT& area) {
        RECT line = {area.left, area.bottom - 2, area.right, area.bottom - 1};
        FillColourRect(view->surface, &line, LinkColour());
        return false;
    });
}

// A frame one pixel wide round each part, the keyboard's mark.
void Frame(ArticleView* view, const TextLink& link) {
    ForEachArea(view, link, [&](const RECT& a) {
        RECT sides[4] = {{a.left - 1, a.top, a.right + 1, a.top + 1},
                         {a.left - 1, a.bottom - 1, a.right + 1, a.bottom},
                         {a.left - 1, a.top, a.left, a.bottom},
                         {a.right, a.top, a.right + 1, a.bottom}};
        for (const RECT& side : sides) FillColourRect(view->surface, &side, LinkColour());
        return false;
    });
}

void PaintLinks(ArticleView* view) {
    TextLink links[kMostLinks];
    int count = VisibleLinks(view, links, kMostLinks);
    const LinkMarks& marks = Marks();
    for (int i = 0; i < count; i++) {
        LightSpan(view, links[i].start, links[i].end, LinkColour(), ActivePalette().background);
        if (links[i].start == marks.hovered) Underline(view, links[i]);
        if (links[i].start == marks.focused) Frame(view, links[i]);
    }
}

void ShowTip(HWND window, ArticleView* view, const TextLink& link) {
    RECT area;
    if (!LinkArea(view, link, &area)) return;
    int status = 0;
    BYTE* target = LoadContent(link.target, &status);
    WCHAR title[160];
    int n = TitleTextOf(target, title, 160);
    free(target);
    ShowAreaTip(window, &area, n ? title : nullptr);
}

// Follows a link as Go To does: the place left goes into the history.
void Follow(HWND window, int target) {
    gMarks = {0, -1, -1};
    ShowArticle(window, target);
}

}  // namespace

COLORREF LinkColour() { return gNightReading ? kNightLinkColour : kDayLinkColour; }

void EnableArticleLinks() { gArticleOverlay = PaintLinks; }

int VisibleLinks(ArticleView* view, TextLink* out, int capacity) {
    if (!view || !view->article) return 0;
    int start = 0, end = 0;
    VisibleRange(view, &start, &end);
    TextLink all[kMostLinks];
    int count = FindArticleLinks(view->article, all, kMostLinks), n = 0;
    for (int i = 0; i < count && n < capacity; i++)
        if (all[i].end > start && all[i].start < end) out[n++] = all[i];
    return n;
}

bool LinkArea(ArticleView* view, const TextLink& link, RECT* area) {
    return ForEachArea(view, link, [&](const RECT& a) {
        *area = a;
        return true;
    });
}

bool LinkAtPoint(ArticleView* view, int x, int y, TextLink* link) {
    TextLink links[kMostLinks];
    int count = VisibleLinks(view, links, kMostLinks);
    for (int i = 0; i < count; i++) {
        bool inside = ForEachArea(view, links[i], [&](const RECT& a) {
            return x >= a.left && x < a.right && y >= a.top && y < a.bottom;
        });
        if (inside) {
            *link = links[i];
            return true;
        }
    }
    return false;
}

void HoverLinks(HWND window, int x, int y) {
    ArticleView* view = gApp.articleView;
    TextLink link = {};
    bool over = view && LinkAtPoint(view, x, y, &link);
    LinkMarks& marks = Marks();
    int hovered = over ? link.start : -1;
    if (hovered == marks.hovered) return;
    marks.hovered = hovered;
    SetPointingHand(window, over);
    if (over)
        ShowTip(window, view, link);
    else
        ShowAreaTip(window, nullptr, nullptr);
    RepaintNow(window, kPaintAll);
}

bool FollowLinkAt(HWND window, int x, int y) {
    TextLink link = {};
    if (!gApp.articleView || !LinkAtPoint(gApp.articleView, x, y, &link)) return false;
    SetPointingHand(window, false);
    ShowAreaTip(window, nullptr, nullptr);
    Follow(window, link.target);
    return true;
}

bool LinkKey(HWND window, WPARAM key) {
    ArticleView* view = gApp.articleView;
    if (!view || (key != VK_TAB && key != VK_RETURN)) return false;
    TextLink links[kMostLinks];
    int count = VisibleLinks(view, links, kMostLinks);
    LinkMarks& marks = Marks();
    int at = -1;
    for (int i = 0; i < count; i++)
        if (links[i].start == marks.focused) at = i;
    if (key == VK_RETURN) {
        if (at < 0) return false;
        Follow(window, links[at].target);
        return true;
    }
    if (count == 0) return true;
    bool back = GetKeyState(VK_SHIFT) < 0;
    // From no mark, Tab starts at the first link and Shift+Tab at the last.
    at = at < 0 ? (back ? count - 1 : 0) : (at + (back ? count - 1 : 1)) % count;
    marks.focused = links[at].start;
    RepaintNow(window, kPaintAll);
    return true;
}

int FocusedLinkStart() { return Marks().focused; }
