// Every article opens where it was left, by its text; it is read once its last line
// was shown; Next Unread walks the unread ones; a damaged list of places gives the
// defaults. (Across runs and a kill: SaveSoonTest.)
#include <functional>

#include "ShellFixture.h"
#include "reader/ArticlePositions.h"
#include "reader/KeepPlace.h"
#include "reader/ReadMarks.h"
#include "resources/Commands.h"

using Places = ReaderTest;

TEST_F(Places, EachWayBackOpensTheArticleAtTheTextItWasLeftAtWhateverTheWidth) {
    ASSERT_NO_FATAL_FAILURE(StartOn(142, 400, 500));
    std::pair<const char*, std::function<void()>> ways[] = {
        {"Left", [&] { Key(VK_LEFT); }},
        {"the index, Go To, a link", [&] { ShowArticle(window, 142); }},
        {"Next Unread", [&] {
             for (int n = 1; n <= kArticleCount; n++) SetArticleRead(n, n != 142);
             Send(WM_COMMAND, kCmdNextUnread);
         }},
    };
    int width = 400;
    for (auto& [name, back] : ways) {
        for (int i = 0; i < 3; i++) Key(VK_NEXT);
        int place = PlaceOf(View());
        Key(VK_RIGHT);
        EXPECT_EQ(View()->topRow, 0) << name << ": 143 was never paged";
        SetClientSize(window, width += 150, 500);
        back();
        ASSERT_TRUE(HoldsArticle(View(), 142)) << name;
        EXPECT_GT(View()->topRow, 0) << name;
        EXPECT_EQ(PlaceOf(View()), place) << name;
    }
    // Reading straight through goes on at the next article's top, wherever it was left.
    for (WPARAM key : {VK_RIGHT, VK_NEXT, VK_LEFT, VK_END, VK_SPACE}) Key(key);
    EXPECT_TRUE(HoldsArticle(View(), 143));
    EXPECT_EQ(View()->topRow, 0);
}

TEST_F(Places, AnArticleIsReadOnlyOnceItsLastLineWasOnScreen) {
    ASSERT_NO_FATAL_FAILURE(StartOn(142, 400, 500));
    Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, View()->maxTopRow - 1));
    EXPECT_FALSE(IsArticleRead(142));
    Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_TRUE(IsArticleRead(142));
    // A short article is read as soon as it is shown, but not in a hidden window.
    SetClientSize(window, 700, 1000);
    ShowWindow(window, SW_HIDE);
    ShowArticle(window, 23);
    ASSERT_EQ(View()->maxTopRow, 0);
    EXPECT_FALSE(IsArticleRead(23));
    ShowWindow(window, SW_SHOW);
    RepaintNow(window, kPaintAll);
    char text[32];
    ReadCountText(text, sizeof text);
    EXPECT_STREQ(text, "2 of 187 read");
}

TEST_F(Places, NextUnreadGoesOnInTheIndexOrderRoundTheEndAndSaysWhenNoneIsLeft) {
    ASSERT_NO_FATAL_FAILURE(StartOn(1, 400, 500));
    struct Case {
        std::vector<int> read;
        int from, next;
    } cases[] = {{{}, 5, 6}, {{6, 7}, 5, 8}, {{1}, 187, 2}, {{}, 0, 1}};
    for (const Case& c : cases) {
        ClearReadMarks();
        for (int n : c.read) SetArticleRead(n, true);
        EXPECT_EQ(NextUnreadArticle(c.from), c.next) << c.from;
    }
    for (int n = 1; n <= kArticleCount; n++) SetArticleRead(n, true);
    Send(WM_COMMAND, kCmdNextUnread);
    ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(RecordedMessageBoxes()[0].text, u"All 187 articles are read.");
    EXPECT_TRUE(HoldsArticle(View(), 1));
}

TEST_F(Places, ADamagedListKeepsItsWholeEntriesAndGivesTheRestTheirDefaults) {
    struct Case {
        const char* name;
        std::vector<BYTE> list;
        int place12, read;
    } cases[] = {
        {"whole", {0x0C, 0x80, 0x1E, 0x03, 0x0D, 0x00, 0x05, 0x00}, 0x31E, 1},
        {"cut off", {0x0C, 0x80, 0x1E, 0x03, 0x0D, 0x00, 0x05}, 0x31E, 1},
        {"no such articles", {0x00, 0x80, 0x01, 0x00, 0xBC, 0x00, 0x02, 0x00, 0xFF, 0xFF, 0x03, 0x00}, 0, 0},
        {"a byte", {0xFF}, 0, 0},
    };
    for (const Case& c : cases) {
        DecodePlaces(c.list.data(), c.list.size());
        EXPECT_EQ(RememberedPlace(12), c.place12) << c.name;
        EXPECT_EQ(ReadArticleCount(), c.read) << c.name;
    }
    // A place no line holds opens the article at its top.
    ASSERT_NO_FATAL_FAILURE(StartOn(1, 400, 500));
    const BYTE beyond[] = {0x8E, 0x00, 0xFF, 0xFF};
    DecodePlaces(beyond, sizeof beyond);
    ShowArticle(window, 142);
    EXPECT_EQ(View()->topRow, 0);
}
