// The title bar names the article shown: "<title> - Velun".
#include <string>

#include "../content/ArticleRecords.h"
#include "../views/TextMapping.h"
#include "AppState.h"
#include "MainWindow.h"
#include "WinMain.h"

namespace {

const WCHAR kTitleSeparator[] = TEXT(" - ");
constexpr int kMaxTitleUnits = 200;

std::u16string ArticleTitle(const ArticleView* view) {
    if (!view || !view->article) return {};
    ArticleHeaderEntry title = {}, subtitle = {};
    ReadArticleHeader(view->article, &title, &subtitle);
    if (!title.text || !title.textLength) return {};
    int count = (int)std::min<uint32_t>(title.textLength, kMaxTitleUnits);
    SetRunBase(title.style);
    WCHAR* mapped = MapText(title.text, count, &gMapping);
    ResetRunBase();
    return mapped ? std::u16string(mapped, (size_t)count) : std::u16string();
}

}  // namespace

void UpdateWindowTitle(HWND window) {
    std::u16string title = ArticleTitle(gApp.articleView);
    title = title.empty() ? std::u16string(kMainWindowTitle) : title + kTitleSeparator + kMainWindowTitle;
    WCHAR current[kMaxTitleUnits + 16];
    GetWindowTextW(window, current, (int)(sizeof current / sizeof current[0]));
    if (title != current) SetWindowTextW(window, title.c_str());
}
