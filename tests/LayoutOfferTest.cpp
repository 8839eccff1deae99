// The layout offers each line only what can fit; its line tables must be those of
// offering the whole rest of the paragraph, on every article and on long paragraphs.
#include <gtest/gtest.h>

#include <QImage>
#include <memory>
#include <string>
#include <vector>

#include "ArticleFixture.h"
#include "CountingSurface.h"
#include "content/ArticleRecords.h"
#include "platform/qt/QtSurface.h"

namespace {

std::vector<ArticleLine> Lines(const ArticleView* view) {
    return std::vector<ArticleLine>(view->lines, view->lines + view->lineCount + 1);
}

bool SameLines(const std::vector<ArticleLine>& a, const std::vector<ArticleLine>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(ArticleLine)) == 0;
}

struct Layouts {
    std::vector<ArticleLine> bounded, whole;
    uint16_t rows[2];
};

// Lays the view's article out both ways.
Layouts LayBothWays(ArticleView* view) {
    Layouts out;
    LayoutArticle(view, view->article, FALSE);
    out.bounded = Lines(view);
    out.rows[0] = view->rowCount;
    gLayoutOffersWholeRest = true;
    LayoutArticle(view, view->article, FALSE);
    gLayoutOffersWholeRest = false;
    out.whole = Lines(view);
    out.rows[1] = view->rowCount;
    return out;
}

int TextRecords(const BYTE* article) {
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    int n = 0;
    while (NextArticleRecord(&walker, &record)) n += !IsSeparatorStyle(record.style);
    return n;
}

TEST(LayoutOffer, EveryArticleLaysOutAsWithTheWholeRestOffered) {
    ResetAppState();
    QImage image(1000, 320, QImage::Format_RGB32);
    auto counting = std::make_unique<CountingSurface>(std::make_unique<QtSurface>(&image, nullptr));
    CountingSurface* counter = counting.get();
    HDC dc = CreateSurfaceDC(std::move(counting));
    for (int base : {97, 224, 1488}) {
        gApp.fontSettings.FontAsciiBase = base;
        for (int width : {240, 800, 1000}) {
            RECT rect = {0, 0, width, 320};
            ArticleView* view = CreateArticleView(dc, &rect, &gApp.fontSettings, 100);
            for (int n = 1; n <= kArticleCount; n++) {
                ASSERT_EQ(LayoutArticle(view, LoadContent(n, nullptr), TRUE), kLayoutOk);
                counter->queries = 0;
                Layouts l = LayBothWays(view);
                ASSERT_TRUE(SameLines(l.bounded, l.whole)) << "article " << n << " width " << width << " base " << base;
                ASSERT_EQ(l.rows[0], l.rows[1]);
            }
            DestroyArticleView(view, TRUE);
        }
    }
    DeleteDC(dc);
}

// Two measurements a line at most (each asks the surface twice), and one look at
// the characters of each paragraph too long for a line.
TEST(LayoutOffer, AtMostTwoFitMeasurementsPerLine) {
    ResetAppState();
    QImage image(240, 320, QImage::Format_RGB32);
    auto counting = std::make_unique<CountingSurface>(std::make_unique<QtSurface>(&image, nullptr));
    CountingSurface* counter = counting.get();
    HDC dc = CreateSurfaceDC(std::move(counting));
    RECT rect = {0, 0, 240, 320};
    ArticleView* view = CreateArticleView(dc, &rect, &gApp.fontSettings, 100);
    for (int n = 1; n <= kArticleCount; n++) {
        ASSERT_EQ(LayoutArticle(view, LoadContent(n, nullptr), TRUE), kLayoutOk);
        counter->queries = 0;
        LayoutArticle(view, view->article, FALSE);
        EXPECT_LE(counter->queries, 4L * view->lineCount + TextRecords(view->article)) << "article " << n;
    }
    DestroyArticleView(view, TRUE);
    DeleteDC(dc);
}

// Long paragraphs with characters of very different widths, a hanging label and a
// right-to-left paragraph, on the fake surface.
class LongParagraphTest : public ArticleViewTest {
  protected:
    void ExpectSameBothWays(const std::vector<TestRecord>& records, int width) {
        Open(width, 320);
        ASSERT_EQ(LayoutArticle(view, MakeArticle(records), TRUE), kLayoutOk);
        Layouts l = LayBothWays(view);
        EXPECT_GT(l.bounded.size(), 3u);
        EXPECT_TRUE(SameLines(l.bounded, l.whole)) << "width " << width;
    }
};

std::string MixedText(size_t length) {
    static const char kWords[] = "iiii lll WWWWW mm-mm a,b.c iWiWiW ";
    std::string text;
    while (text.size() < length) text += kWords;
    text.resize(length);
    return text;
}

TEST_F(LongParagraphTest, VariableAdvancesGiveTheSameLines) {
    DeleteDC(dc);
    FakeMetrics metrics;
    metrics.advanceOf = [](WCHAR unit, int, int) {
        if (unit == u'i' || unit == u'l' || unit == u',') return 2;
        if (unit == u'W' || unit == 0x05D0) return 15;
        return 7;
    };
    dc = CreateFakeDC(metrics);
    gApp.fontSettings.FontAsciiBase = 1488;
    std::vector<TestRecord> records = {{0x81, 0, MixedText(5000)},
                                       {0x81, 0x45, "* " + MixedText(3000)},
                                       {0x91, 0, MixedText(4000) + "abc"},
                                       {0xA1, 3, MixedText(2000)}};
    for (int width : {37, 240, 1000}) ExpectSameBothWays(records, width);
}

TEST_F(LongParagraphTest, CharactersWithoutAdvanceGiveTheSameLines) {
    DeleteDC(dc);
    FakeMetrics metrics;
    metrics.advanceOf = [](WCHAR unit, int, int) { return unit == u'|' ? 0 : 6; };
    dc = CreateFakeDC(metrics);
    std::string text;
    for (int i = 0; i < 300; i++) text += "ab ||||||||||||||||||||||||||||||||||||||||||||||||||| ";
    for (int width : {50, 240}) ExpectSameBothWays({{0x81, 0, text}}, width);
}

}  // namespace
