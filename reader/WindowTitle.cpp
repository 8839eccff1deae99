// The title bar names the article shown: "<title> - Velun".
#include <algorithm>
#include <cstring>

#include "../content/ArticleRecords.h"
#include "../views/TextMapping.h"
#include "../shell/AppState.h"
#include "../shell/MainWindow.h"
#include "../shell/WinMain.h"
#include "WindowTitle.h"

namespace {

const WCHAR kTitleSeparator[] = TEXT(" - ");
constexpr int kMaxTitleUnits = 200;
constexpr int kTitleSize = kMaxTitleUnits + 16;

// Appends the units of text that fit, keeping the terminator.
int Append(WCHAR* out, int at, const WCHAR* text, int count) {
    int n = std::min(count, kTitleSize - 1 - at);
    memcpy(out + at, text, (size_t)n * sizeof(WCHAR));
    out[at + n] = 0;
    return at + n;
}

// The article's title record as the view maps it, then " - Velun"; just "Velun" without one.
void ComposeTitle(const ArticleView* view, WCHAR* out) {
    int at = ArticleTitleText(view, out, kTitleSize);
    if (at) at = Append(out, at, kTitleSeparator, (int)wcslen(kTitleSeparator));
    Append(out, at, kMainWindowTitle, (int)wcslen(kMainWindowTitle));
}

}  // namespace

int ArticleTitleText(const ArticleView* view, WCHAR* out, int capacity) {
    return TitleTextOf(view ? view->article : nullptr, out, capacity);
}

int TitleTextOf(const BYTE* article, WCHAR* out, int capacity) {
    if (capacity < 1) return 0;
    out[0] = 0;
    ArticleHeaderEntry title = {}, subtitle = {};
    if (article) ReadArticleHeader(article, &title, &subtitle);
    if (!title.text || !title.textLength) return 0;
    int count = (int)std::min<uint32_t>(title.textLength, std::min(kMaxTitleUnits, capacity - 1));
    SetRunBase(title.style);
    const WCHAR* mapped = MapText(title.text, count, &gMapping);
    ResetRunBase();
    if (!mapped) return 0;
    memcpy(out, mapped, (size_t)count * sizeof(WCHAR));
    out[count] = 0;
    return count;
}

void UpdateWindowTitle(HWND window) {
    WCHAR title[kTitleSize], current[kTitleSize];
    ComposeTitle(gApp.articleView, title);
    GetWindowTextW(window, current, kTitleSize);
    bool same = true;
    for (int i = 0; same && (title[i] || current[i]); i++) same = title[i] == current[i];
    if (!same) SetWindowTextW(window, title);
}
