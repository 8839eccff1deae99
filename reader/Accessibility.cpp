// reader/ holds the desktop reader's additions, one feature per file pair named
// after it. They call shell/, views/, content/, resources/ and platform/.
// The article's title, shown lines and whole text, and the index's lines with their
// depth and state, handed to the platform's accessibility layer.
#include "Accessibility.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "../content/ArticleRecords.h"
#include "../content/IndexRecords.h"
#include "../platform/Desktop.h"
#include "../views/TextMapping.h"
#include "../shell/AppState.h"
#include "../shell/Export.h"

namespace {

// The whole text is rendered once per article (and per option it depends on).
struct WholeText {
    const BYTE* article;
    uint16_t number;
    uint32_t flags;
    int32_t base;
    WCHAR* text;
};

WholeText gWhole;

const WCHAR* WholeTextOf(const ArticleView* view) {
    WholeText key = {view->article, gApp.currentArticle, gApp.Flags, gApp.fontSettings.FontAsciiBase, nullptr};
    if (gWhole.text && gWhole.article == key.article && gWhole.number == key.number && gWhole.flags == key.flags &&
        gWhole.base == key.base)
        return gWhole.text;
    free(gWhole.text);
    gWhole = key;
    gWhole.text = RenderExportText(WholeArticle(view->article));
    return gWhole.text;
}

std::u16string Mapped(const BYTE* bytes, int count, BYTE style) {
    SetRunBase(style);
    const WCHAR* units = MapText(bytes, count, &gMapping);
    ResetRunBase();
    return units ? std::u16string(units) : std::u16string();
}

std::u16string TitleOf(const BYTE* article) {
    ArticleHeaderEntry title, subtitle;
    ReadArticleHeader(article, &title, &subtitle);
    return Mapped(title.text, (int)title.textLength, title.style);
}

// The index's lines as the tree's items, with their depth and state.
void PublishIndexLines(HWND dialog, const IndexView* view) {
    int left = 0xFFFF;
    for (const IndexLine* line = view->lines; line->style; line++) left = std::min<int>(left, line->x);
    std::vector<std::u16string> texts;
    std::vector<AccessibleTreeItem> items;
    uint16_t lastKey = 0;
    for (const IndexLine* line = view->lines; line->style; line++) {
        // One item per record, from its first shown line.
        if (!(line->style & kIndexShown) || line->key == lastKey) continue;
        lastKey = line->key;
        const BYTE* text = view->index + line->offset;
        texts.push_back(Mapped(text, (int)std::strlen((const char*)text), kStylePlain));
        bool heading = (line->key & kKeyHeading) != 0;
        items.push_back({nullptr, (line->x - left) / kIndexIndent, heading, (line->style & kIndexExpanded) != 0});
    }
    for (size_t i = 0; i < items.size(); i++) items[i].text = texts[i].c_str();
    SetAccessibleTree(dialog, items.data(), (int)items.size());
}

}  // namespace

// The strings made here may find no memory: the screen reader then keeps the text
// it had, and reading goes on.
void PublishArticleView(HWND window) {
    ArticleView* view = gApp.articleView;
    if (!view || !view->article) return;
    int start = 0, end = 0;
    VisibleRange(view, &start, &end);
    // Held so that it is freed also when making the title runs out of memory.
    std::unique_ptr<WCHAR, decltype(&free)> visible(RenderExportText({view->article, (size_t)start, (size_t)end}),
                                                    free);
    // Memory running out there ends the program, and the view with it.
    const WCHAR* whole = gApp.articleView == view ? WholeTextOf(view) : nullptr;
    if (gApp.articleView != view) return;
    try {
        std::u16string title = TitleOf(view->article);
        SetAccessibleText(window, title.c_str(), visible ? visible.get() : u"", whole ? whole : u"");
    } catch (const std::bad_alloc&) {
    }
}

// Likewise the tree keeps its items when there is no memory for the new ones.
void PublishIndexView(HWND dialog, const IndexView* view) {
    if (!view || !view->index || !view->lines) return;
    try {
        PublishIndexLines(dialog, view);
    } catch (const std::bad_alloc&) {
    }
}

void NameSearchDialog(HWND dialog) {
    // The heading is the dialog's first text without a control id of its own.
    constexpr int kNoId = 0xFFFF;
    WCHAR heading[64];
    if (GetDlgItemTextW(dialog, kNoId, heading, (int)std::size(heading)) > 0) SetAccessibleName(dialog, heading);
}
