// The article view's life: creation, resizing, font changes, the scroll limit, destruction.
#include "ArticleView.h"

#include "../content/ArticleRecords.h"

ArticleView* CreateArticleView(HDC surface, const RECT* rect, const FontSettings* settings, int capacity) {
    if (!surface) return nullptr;
    auto* view = (ArticleView*)calloc(1, sizeof(ArticleView));
    if (!view) return nullptr;
    if (!SetUpView(view, surface, rect, settings, capacity, std::malloc)) {
        free(view);
        return nullptr;
    }
    return view;
}

int ResizeArticleView(ArticleView* view, int width, int height) {
    if (!view) return -1;
    if (width <= 0 || height <= 0) return -5;
    return LayOutAtSize(view, width, height, LayoutArticle, view->article);
}

int ComputeMaxTopRow(ArticleView* view) {
    return ComputeMaxTopRowBy(view, [](const ArticleLine& line) { return line.style & kStyleBlankAfter ? 2 : 1; });
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
    if (view) ReleaseView(view, &view->article, FontStateOf(view, false), freeView);
}
