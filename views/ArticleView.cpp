// The article view's life: creation, resizing, font changes, the scroll limit, destruction.
#include "ArticleView.h"

#include "../content/ArticleRecords.h"

ArticleView* CreateArticleView(HDC surface, const RECT* rect, const FontSettings* settings, int capacity) {
    if (!surface) return nullptr;
    auto* view = (ArticleView*)calloc(1, sizeof(ArticleView));
    if (!view) return nullptr;
    view->surface = surface;
    if (settings) view->fontSettings = *settings;
    if (rect) {
        view->left = rect->left;
        view->top = rect->top;
        view->width = rect->right - rect->left;
        view->height = rect->bottom - rect->top;
    }
    if (capacity > 0 && !AllocateLineTable(view, capacity, std::malloc)) {
        free(view);
        return nullptr;
    }
    return view;
}

int ResizeArticleView(ArticleView* view, int width, int height) {
    if (!view) return -1;
    if (width <= 0 || height <= 0) return -5;
    view->width = width;
    view->height = height;
    return LayoutArticle(view, view->article, FALSE);
}

int ComputeMaxTopRow(ArticleView* view) {
    if (!view || !view->lines || !view->rowCount || !view->lineCount) return -1;
    int room = (int16_t)view->height;
    int rows = 0;
    for (int i = view->lineCount - 1; i >= 0; i--) {
        const ArticleLine& line = view->lines[i];
        if (line.height > room) break;
        room -= line.height;
        rows++;
        if (line.style & kStyleBlankAfter) {  // may overdraw: the check below takes it back
            room -= line.height;
            rows++;
        }
    }
    if (room < 0) rows--;
    view->maxTopRow = (uint16_t)(view->rowCount - rows);
    return view->maxTopRow;
}

int SetViewFonts(ArticleView* view, const FontSettings* settings) {
    if (!view) return -1;
    if (settings) view->fontSettings = *settings;
    for (FontCacheEntry* entry = view->fonts; entry; entry = entry->next) {
        if (entry->font) DeleteObject(entry->font);
        CreateStyleFont(&view->fontSettings, entry, entry->key);
    }
    if (LayoutArticle(view, view->article, FALSE) != kLayoutOk) return 1;
    return PaintArticleView(view, TRUE);
}

void DestroyArticleView(ArticleView* view, BOOL freeView) {
    if (!view) return;
    free(view->article);
    free(view->lines);
    view->article = nullptr;
    view->lines = nullptr;
    view->capacity = view->lineCount = view->rowCount = 0;
    ViewFontState fonts = FontStateOf(view, false);
    ReleaseViewFonts(fonts);
    FreeFontCache(&view->fonts);
    if (freeView) free(view);
}
