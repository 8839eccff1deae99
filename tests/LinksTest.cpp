// Cross-references as links: the scanner over plain text and over the whole
// collection, and the article window drawing, pointing at and following them.
#include <QCursor>
#include <QToolTip>
#include <cstring>
#include <string>
#include <vector>

#include "ShellFixture.h"
#include "content/ArticleRecords.h"
#include "reader/History.h"
#include "reader/LinkView.h"
#include "reader/Links.h"
#include "reader/WindowTitle.h"
#include "resources/Commands.h"
#include "views/Palette.h"

namespace {

// "text|link|link" pieces: each link as "<its text>=<target>".
std::vector<std::string> Scan(const char* text) {
    TextLink links[8];
    int n = FindTextLinks((const BYTE*)text, (int)std::strlen(text), links, 8);
    std::vector<std::string> out;
    for (int i = 0; i < n; i++)
        out.push_back(std::string(text + links[i].start, text + links[i].end) + "=" + std::to_string(links[i].target));
    return out;
}

using Links = std::vector<std::string>;

}  // namespace

TEST(LinkScan, FindsEveryFormOfReferenceAndNothingThatNamesNoArticle) {
    const std::pair<const char*, Links> cases[] = {
        {"taken up again in article 121.", {"article 121=121"}},
        {"as before (article 31), the", {"article 31=31"}},
        {"see Article 139 tells more", {"Article 139=139"}},
        {"(articles 45 and 46)", {"articles 45=45", "46=46"}},
        {"articles 9, 13 and 22", {"articles 9=9", "13=13", "22=22"}},
        {"accents (articles 131-138)", {"articles 131=131", "138=138"}},
        {"After article 187 comes article 1", {"article 187=187", "article 1=1"}},
        {"article 0 and article 188", {}},
        {"article 1000 article 07 article 12b article", {}},
        {"particle 12, articled 12, article12, article  12", {}},
        {"article 5 and 6", {"article 5=5"}},  // only a plural goes on to a list
        {"articles 45 and 460", {"articles 45=45"}},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(Scan(text), expected) << text;
}

TEST(LinkScan, StopsAtTheTextsEndAndAtTheCapacity) {
    const char text[] = "articles 1, 2, 3, 4";
    TextLink links[2];
    EXPECT_EQ(FindTextLinks((const BYTE*)text, (int)sizeof text - 1, links, 2), 2);
    EXPECT_EQ(links[1].target, 2);
    // Cut inside the number: "article 1" is still whole, "article 12" cut to "article 1" is not read past.
    EXPECT_EQ(FindTextLinks((const BYTE*)"article 12", 9, links, 2), 1);
    EXPECT_EQ(links[0].target, 1);
    EXPECT_EQ(FindTextLinks((const BYTE*)"article ", 8, links, 2), 0);
}

TEST(LinkScan, RightToLeftRecordsHoldNoLinks) {
    // Title, a left-to-right record and a right-to-left one, each naming article 5.
    const BYTE article[] = "\xCC\x00T\x00\x01\x00see article 5\x00\x11\x00see article 5\x00\x00\x00\x00\x00\x00";
    TextLink links[4];
    ASSERT_EQ(FindArticleLinks(article, links, 4), 1);
    EXPECT_EQ(std::string((const char*)article + links[0].start, links[0].end - links[0].start), "article 5");
}

TEST(LinkScan, EveryLinkOfTheCollectionNamesAnArticleThatExists) {
    int total = 0;
    for (int number = 1; number <= kArticleCount; number++) {
        int status = 0;
        BYTE* article = LoadContent(number, &status);
        ASSERT_NE(article, nullptr) << number;
        TextLink links[64];
        int n = FindArticleLinks(article, links, 64);
        for (int i = 0; i < n; i++) {
            EXPECT_GE(links[i].target, 1);
            EXPECT_LE(links[i].target, kArticleCount);
            BYTE* target = LoadContent(links[i].target, &status);
            EXPECT_NE(target, nullptr) << number << " -> " << links[i].target;
            free(target);
            EXPECT_NE(article[links[i].start], ' ') << number;
        }
        total += n;
        free(article);
    }
    // The collection names articles by number 103 times (a pair or a range: two links).
    EXPECT_EQ(total, 103);
}

namespace {

// Article 26 names "(article 31)"; the window is wide enough to show it on the first page.
class LinkWindow : public ReaderTest {
  protected:
    TextLink link = {};
    RECT area = {};

    void SetUp() override {
        ReaderTest::SetUp();
        ClearHistory();
        ASSERT_NO_FATAL_FAILURE(StartOn(26, 1024, 768));
        ASSERT_TRUE(FindLinkTo(31));
    }
    void TearDown() override {
        gNightReading = FALSE;
        ReaderTest::TearDown();
    }
    bool FindLinkTo(int target) {
        for (int row = 0; row <= View()->maxTopRow; row++) {
            View()->topRow = (uint16_t)row;
            RepaintNow(window, kPaintAll);
            TextLink links[32];
            int n = VisibleLinks(View(), links, 32);
            for (int i = 0; i < n; i++)
                if (links[i].target == target && LinkArea(View(), links[i], &area)) {
                    link = links[i];
                    return true;
                }
        }
        return false;
    }
    int MiddleX() const { return (area.left + area.right) / 2; }
    int MiddleY() const { return (area.top + area.bottom) / 2; }
    void Click(int x, int y) {
        Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    // Pixels of the link's area drawn exactly in a colour.
    int PixelsOf(COLORREF colour, const RECT& r) { return WindowPixelsOf(window, colour, r); }
};

}  // namespace

TEST_F(LinkWindow, ALinkIsDrawnInTheLinkColourByDayAndByNight) {
    EXPECT_GT(PixelsOf(kDayLinkColour, area), 0);
    gNightReading = TRUE;
    RepaintNow(window, kPaintAll);
    EXPECT_GT(PixelsOf(kNightLinkColour, area), 0);
    EXPECT_EQ(PixelsOf(kDayLinkColour, area), 0);
}

TEST_F(LinkWindow, PointingAtALinkUnderlinesItWithTheHandAndTheTargetsTitle) {
    QWidget* client = WindowOf(window)->client;
    RECT underline = {area.left, area.bottom - 2, area.right, area.bottom - 1};
    int before = PixelsOf(kDayLinkColour, underline);
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(MiddleX(), MiddleY()));
    EXPECT_EQ(PixelsOf(kDayLinkColour, underline), area.right - area.left);
    EXPECT_GT(PixelsOf(kDayLinkColour, underline), before);
    EXPECT_EQ(client->cursor().shape(), Qt::PointingHandCursor);
    int status = 0;
    BYTE* target = LoadContent(31, &status);
    WCHAR title[160];
    TitleTextOf(target, title, 160);
    free(target);
    EXPECT_EQ(QToolTip::text(), QString::fromUtf16((const char16_t*)title));
    // Off the link: the underline and the hand go.
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(area.left - 40, area.bottom + 60));
    EXPECT_EQ(PixelsOf(kDayLinkColour, underline), before);
    EXPECT_EQ(client->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(LinkWindow, AClickFollowsTheLinkAndBackReturnsToThePlace) {
    uint16_t top = View()->topRow;
    Click(MiddleX(), MiddleY());
    EXPECT_TRUE(HoldsArticle(View(), 31));
    Send(WM_COMMAND, kCmdBack);
    EXPECT_TRUE(HoldsArticle(View(), 26));
    EXPECT_EQ(View()->topRow, top);
}

TEST_F(LinkWindow, ATapBesideALinkStillPages) {
    gApp.Flags |= kFlagTapPaging;
    SetClientSize(window, 240, 320);
    ASSERT_TRUE(FindLinkTo(31));
    uint16_t top = View()->topRow;
    int x = View()->left + View()->width / 2, y = View()->top + View()->height - 4;
    ASSERT_FALSE(LinkAtPoint(View(), x, y, &link));
    Click(x, y);
    EXPECT_TRUE(HoldsArticle(View(), 26));
    EXPECT_GT(View()->topRow, top);
}

TEST_F(LinkWindow, TabMarksTheLinksOnThePageInTurnAndEnterFollowsTheMarkedOne) {
    TextLink links[32];
    int n = VisibleLinks(View(), links, 32);
    ASSERT_GE(n, 1);
    EXPECT_EQ(FocusedLinkStart(), -1);
    Key(VK_TAB);
    EXPECT_EQ(FocusedLinkStart(), links[0].start);
    Key(VK_TAB, kKeyShift);
    Key(VK_TAB, kKeyShift);
    EXPECT_EQ(FocusedLinkStart(), links[n - 1].start);
    int target = links[n - 1].target;
    Key(VK_RETURN);
    EXPECT_TRUE(HoldsArticle(View(), target));
    EXPECT_EQ(FocusedLinkStart(), -1);
}
