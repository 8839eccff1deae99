// The box naming the article, drawn at the bottom of the view after a search hit.
#include "../content/ArticleRecords.h"
#include "ArticleView.h"
#include "Palette.h"
#include "TextMapping.h"

// Cuts the text to what fits the view width and keeps its extent in `width`.
static void MeasureHeader(ArticleView* view, ArticleHeaderEntry* entry) {
    if (!entry->textLength) return;
    int width = view->width;
    int count = (int)entry->textLength;
    SetRunBase(entry->style);
    MeasureText(view->surface, entry->text, &width, &count);
    ResetRunBase();
    entry->textLength = (uint32_t)count;
    entry->width = (uint32_t)width;
}

static void DrawHeader(ArticleView* view, const ArticleHeaderEntry& entry, const RECT& box, int height) {
    int room = box.right - box.left;
    int x = box.left + (room - (int)entry.width) / 2;
    SetRunBase(entry.style);
    const ViewPalette& palette = ActivePalette();
    DrawTextRunColored(view->surface, entry.text, (int)entry.textLength, x, box.top, (int)entry.width, height,
                       palette.boxText, palette.boxFill);
    ResetRunBase();
}

void DrawTitleBox(ArticleView* view) {
    if (!view || !view->article) return;
    ArticleHeaderEntry title, subtitle;
    ReadArticleHeader(view->article, &title, &subtitle);
    if (!title.textLength && !subtitle.textLength) return;

    HDC surface = view->surface;
    HFONT previous = SelectStyleFont(FontStateOf(view, false), kStyleSmall | kColourRequest);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(surface, &metrics);
    int th = metrics.tmHeight;
    int rows = (title.textLength && subtitle.textLength) ? 2 : 1;
    MeasureHeader(view, &title);
    MeasureHeader(view, &subtitle);

    int widest = (int)(title.width > subtitle.width ? title.width : subtitle.width);
    int boxWidth = widest + 2 * th + 8;
    if (boxWidth > view->width) boxWidth = view->width;
    RECT box;
    box.left = view->left + (view->width - boxWidth) / 2;
    box.right = box.left + boxWidth;
    box.bottom = view->top + view->height - 2;
    box.top = view->top + view->height - rows * th - 12;
    const ViewPalette& palette = ActivePalette();
    DrawFrame(surface, &box, palette.boxOuter, 2);
    DrawFrame(surface, &box, palette.boxMiddle, 1);
    DrawFrame(surface, &box, palette.boxInner, 2);
    FillColourRect(surface, &box, palette.boxFill);
    if (title.textLength) {
        DrawHeader(view, title, box, th);
        box.top += th;
    }
    if (subtitle.textLength) DrawHeader(view, subtitle, box, th);
    RestoreFont(surface, previous);
}
