#include "FontSize.h"

#include <algorithm>

#include "../content/ArticleRecords.h"
#include "../shell/AppState.h"
#include "../shell/FontDialog.h"
#include "../shell/MainWindow.h"
#include "KeepPlace.h"

namespace {

// The cell height the platform gives plain text when no size is stored.
int DefaultCellHeight(ArticleView* view) {
    HFONT replaced = SelectStyleFont(FontStateOf(view, false), kStylePlain);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(view->surface, &metrics);
    RestoreFont(view->surface, replaced);
    return metrics.tmHeight;
}

void ApplyFontSize(HWND window, int size) {
    ArticleView* view = gApp.articleView;
    if (!view || size == gApp.fontSettings.size) return;
    gApp.fontSettings.size = size;
    KeepingPlace(view, [&] { SetViewFonts(view, &gApp.fontSettings); });
    PaintArticleView(view, TRUE);
    UpdateScrollBar(window);
}

}  // namespace

int SteppedFontSize(int current, int defaultHeight, int steps) {
    int size = current ? current : defaultHeight;
    int at = 0;  // the first listed size at or above the current one
    while (at < kFontSizeCount && kSizes[at] < size) at++;
    int target;
    if (steps > 0) {
        target = at + steps - (at < kFontSizeCount && kSizes[at] == size ? 0 : 1);
    } else {
        target = at + steps;
    }
    // Beyond the list's end in the direction asked, the size stays.
    if (target < 0) return std::min(size, kSizes[0]);
    if (target >= kFontSizeCount) return std::max(size, kSizes[kFontSizeCount - 1]);
    return kSizes[target];
}

void StepFontSize(HWND window, int steps) {
    ArticleView* view = gApp.articleView;
    if (!view || !steps) return;
    ApplyFontSize(window, SteppedFontSize(gApp.fontSettings.size, DefaultCellHeight(view), steps));
}

void ResetFontSize(HWND window) { ApplyFontSize(window, 0); }

int TakeWheelSteps(int* rest, int delta, int perNotch) {
    // A turn the other way starts afresh.
    if ((*rest > 0 && delta < 0) || (*rest < 0 && delta > 0)) *rest = 0;
    long long total = (long long)*rest + (long long)delta * perNotch;
    long long steps = total / WHEEL_DELTA;
    *rest = (int)(total - steps * WHEEL_DELTA);
    return (int)steps;
}
