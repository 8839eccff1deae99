#include "ArticleText.h"

#include <QTextCursor>
#include <QTextEdit>
#include <cstdlib>

#include "content/ArticleRecords.h"
#include "content/Content.h"
#include "platform/qt/QtGdi.h"
#include "shell/AppState.h"
#include "views/ArticleView.h"
#include "views/TextMapping.h"

namespace {
size_t ArticleSize(const BYTE* article) {
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    const BYTE* end = article;
    while (NextArticleRecord(&walker, &record)) end = record.text + record.textLength + 1;
    return (size_t)(end - article);
}
}  // namespace

BYTE* LargestArticle(int* number) {
    BYTE* largest = nullptr;
    size_t largestSize = 0;
    for (int n = 1; n <= kArticleCount; n++) {
        BYTE* article = LoadContent(n, nullptr);
        if (article && ArticleSize(article) > largestSize) {
            free(largest);
            largest = article;
            largestSize = ArticleSize(article);
            *number = n;
        } else {
            free(article);
        }
    }
    return largest;
}

std::vector<QtParagraph> QtParagraphs(const BYTE* article) {
    std::vector<QtParagraph> paragraphs;
    FontSettings settings = {{}, 0, kRestingBase};
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    while (NextArticleRecord(&walker, &record)) {
        if (IsSeparatorStyle(record.style)) continue;
        FontCacheEntry entry = {};
        CreateStyleFont(&settings, &entry, record.style & kFontKeyMask);
        SetRunBase(record.style);
        const WCHAR* units = MapText(record.text, (int)record.textLength, &gMapping);
        ResetRunBase();
        paragraphs.push_back({QString::fromUtf16(units), QFontOfHandle(entry.font)});
        DeleteObject(entry.font);
    }
    return paragraphs;
}

void FillTextEdit(QTextEdit* edit, const std::vector<QtParagraph>& paragraphs) {
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    for (size_t i = 0; i < paragraphs.size(); i++) {
        if (i) cursor.insertBlock();
        QTextCharFormat format;
        format.setFont(paragraphs[i].font);
        cursor.insertText(paragraphs[i].text, format);
    }
}
