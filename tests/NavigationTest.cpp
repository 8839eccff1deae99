// Paging by keys, taps and the scroll bar under the paging bits of Flags, and moving
// between articles with wrap-around.
#include "ShellFixture.h"
#include "platform/ResourceStore.h"
#include "tools/Collection.h"

namespace {

constexpr uint32_t kKeyHalfPage = 0x200000;  // key paging field = 2
constexpr uint32_t kTapHalfPage = 0x2000000;  // tap paging field = 2

class Navigation : public ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        // A long article in a small window, inset by a gutter of 10 so that taps in
        // the margin have room on every side.
        SetProduct(u"Lesson", REG_DWORD, DwordBytes(kLongArticle));
        gApp.SurroundingGutter = 10;
        ASSERT_NE(Start(), nullptr);
        SetClientSize(window, 240, 320);
        ASSERT_NE(View(), nullptr);
        ASSERT_GE(View()->maxTopRow, 60) << "article " << kLongArticle << " is too short for these tests";
    }

    // Every scroll repaints and so recounts the rows painted: each step sets the count it needs.
    int Key(WPARAM key, int rowsPainted, int from) {
        View()->topRow = (uint16_t)from;
        View()->rowsPainted = rowsPainted;
        EXPECT_EQ(Send(WM_KEYDOWN, key), 0);
        return View()->topRow - from;
    }
    int Scroll(int code, int rowsPainted, int from, int position = 0) {
        View()->topRow = (uint16_t)from;
        View()->rowsPainted = rowsPainted;
        EXPECT_EQ(Send(WM_VSCROLL, MAKEWPARAM(code, position)), 1);
        return View()->topRow - from;
    }
    int Tap(int x, int y, int rowsPainted = 11, int from = 30) {
        View()->topRow = (uint16_t)from;
        View()->rowsPainted = rowsPainted;
        EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)), 0);
        EXPECT_EQ(Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y)), 0);
        return View()->topRow - from;
    }
    int Left() const { return View()->left; }
    int Top() const { return View()->top; }
    int Right() const { return View()->left + View()->width; }
    int Bottom() const { return View()->top + View()->height; }
    int MidX() const { return View()->left + View()->width / 2; }
    int MidY() const { return View()->top + View()->height / 2; }

    static constexpr int kLongArticle = 142;
};

}  // namespace

TEST_F(Navigation, KeysPageByTheRowsPaintedLessOneOrByHalf) {
    ASSERT_EQ(gApp.Flags, kDefaultFlags);
    EXPECT_EQ(Key(VK_NEXT, 11, 20), 10);
    EXPECT_EQ(Key(VK_PRIOR, 11, 20), -10);
    EXPECT_EQ(Key(VK_DOWN, 11, 20), 1);
    EXPECT_EQ(Key(VK_UP, 11, 20), -1);
    for (uint32_t field : {2u, 4u}) {
        gApp.Flags = (kDefaultFlags & ~0x700000u) | field << 20;
        EXPECT_EQ(Key(VK_NEXT, 11, 20), 5) << field;
        EXPECT_EQ(Key(VK_PRIOR, 11, 20), -5) << field;
    }
    for (uint32_t field : {0u, 3u, 7u}) {
        gApp.Flags = (kDefaultFlags & ~0x700000u) | field << 20;
        EXPECT_EQ(Key(VK_NEXT, 11, 20), 10) << field;
    }
    // The scroll bar always pages by a full page.
    gApp.Flags = (kDefaultFlags & ~0x700000u) | kKeyHalfPage;
    EXPECT_EQ(Key(VK_NEXT, 11, 20), 5);
    EXPECT_EQ(Scroll(SB_PAGEDOWN, 11, 20), 10);
    EXPECT_EQ(Scroll(SB_PAGEUP, 11, 20), -10);
}

TEST_F(Navigation, PagesOfOneAndOfNoRowsPainted) {
    EXPECT_EQ(Key(VK_NEXT, 1, 20), 0);
    EXPECT_EQ(Key(VK_PRIOR, 1, 20), 0);
    EXPECT_EQ(Scroll(SB_PAGEDOWN, 1, 20), 0);
    EXPECT_EQ(Scroll(SB_PAGEUP, 1, 20), 0);
    // A full page of no rows is -1: the keys step against their direction, a tap with it.
    EXPECT_EQ(Key(VK_NEXT, 0, 20), -1);
    EXPECT_EQ(Key(VK_PRIOR, 0, 20), 1);
    EXPECT_EQ(Tap(MidX(), Bottom() - 2, 0), 1);
    EXPECT_EQ(Tap(MidX(), Top() + 2, 0), -1);
}

TEST_F(Navigation, HomeEndAndTheKeysThatAreNotPaging) {
    EXPECT_EQ(Key(VK_HOME, 11, 7), -7);
    EXPECT_EQ(Key(VK_HOME, 11, 0), 0);
    Key(VK_END, 11, 0);
    EXPECT_EQ(View()->topRow, View()->maxTopRow);
    EXPECT_EQ(Key(VK_RETURN, 11, 5), 0);  // no search string: nothing
    View()->rowsPainted = 11;
    EXPECT_EQ(Send(WM_KEYDOWN, 'A'), 1);
    EXPECT_EQ(Send(WM_KEYDOWN, VK_F3), 1);
}

TEST_F(Navigation, TapsPageForwardOrBackByTheirHalfOfTheView) {
    // Bit 28 set (the default): the vertical halves decide, whatever the x.
    EXPECT_EQ(Tap(Left() + 1, Bottom() - 2), 10);
    EXPECT_EQ(Tap(Right() - 1, Top() + 2), -10);
    EXPECT_EQ(Tap(Left() + 1, MidY()), 10);  // on the middle line: forward
    EXPECT_EQ(Tap(Left() + 1, MidY() - 1), -10);
    // Bit 28 clear: the horizontal halves decide.
    gApp.Flags = kDefaultFlags & ~kFlagTapVertical;
    EXPECT_EQ(Tap(Left() + 1, Bottom() - 2), -10);
    EXPECT_EQ(Tap(Right() - 1, Top() + 2), 10);
    EXPECT_EQ(Tap(MidX(), Top() + 2), 10);
    gApp.Flags = (kDefaultFlags & ~0x7000000u) | kTapHalfPage;
    EXPECT_EQ(Tap(MidX(), Bottom() - 2), 5);
    EXPECT_EQ(Key(VK_NEXT, 11, 30), 10);  // the key field is separate
    // Bit 31 clear: taps do nothing, anywhere.
    gApp.Flags = kDefaultFlags & ~kFlagTapPaging;
    EXPECT_EQ(Tap(MidX(), Bottom() - 2), 0);
    EXPECT_EQ(Tap(MidX(), Top() + 2), 0);
}

TEST_F(Navigation, TapsInTheGutterPageButNotBelowTheView) {
    gApp.SurroundingGutter = 8;
    EXPECT_EQ(Tap(Left() - 8, Bottom() - 2), 10);
    EXPECT_EQ(Tap(Left() - 9, Bottom() - 2), 0);
    EXPECT_EQ(Tap(Right() + 8, Bottom() - 2), 10);
    EXPECT_EQ(Tap(Right() + 9, Bottom() - 2), 0);
    EXPECT_EQ(Tap(MidX(), Top() - 8), -10);
    EXPECT_EQ(Tap(MidX(), Top() - 9), 0);
    EXPECT_EQ(Tap(MidX(), Bottom()), 10);
    EXPECT_EQ(Tap(MidX(), Bottom() + 1), 0);
}

TEST_F(Navigation, ScrollBarCodes) {
    EXPECT_EQ(Scroll(SB_LINEDOWN, 11, 20), 1);
    EXPECT_EQ(Scroll(SB_LINEUP, 11, 20), -1);
    EXPECT_EQ(Scroll(SB_THUMBTRACK, 11, 20, 30), 10);
    EXPECT_EQ(Scroll(SB_THUMBPOSITION, 11, 20, 12), -8);
    EXPECT_EQ(Scroll(SB_TOP, 11, 20), -20);
    EXPECT_EQ(Scroll(SB_BOTTOM, 11, 20), 1);  // one row, not the end
    EXPECT_EQ(Scroll(SB_ENDSCROLL, 11, 20), 0);
    EXPECT_EQ(Scroll(SB_THUMBTRACK, 11, 20, 0xFFFF), -20);  // a negative position: clamped at 0
}

TEST_F(Navigation, StepsWrapAroundAndStartAtTheTop) {
    ASSERT_EQ(ShowArticle(window, 187), 0);
    EXPECT_TRUE(HoldsArticle(View(), 187));
    View()->topRow = 3;
    Send(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(gApp.currentArticle, 1);
    EXPECT_EQ(View()->topRow, 0);
    EXPECT_TRUE(HoldsArticle(View(), 1));
    Send(WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(gApp.currentArticle, 187);
    EXPECT_TRUE(HoldsArticle(View(), 187));
    Send(WM_COMMAND, kCmdPreviousArticle);
    EXPECT_EQ(gApp.currentArticle, 186);
    Send(WM_COMMAND, kCmdNextArticle);
    Send(WM_COMMAND, kCmdNextArticle);
    EXPECT_EQ(gApp.currentArticle, 1);
    EXPECT_EQ(gApp.lastPosition, 0);
}

TEST_F(Navigation, MovingSetsTheBookmarkCheckForTheNewArticle) {
    gApp.currentArticle = 1;
    AddBookmark();
    ShowArticle(window, 2);
    EXPECT_FALSE(Checked(kCmdBookmark, kCmdGoMenu));
    Send(WM_KEYDOWN, VK_LEFT);
    EXPECT_TRUE(Checked(kCmdBookmark, kCmdGoMenu));
}

TEST_F(Navigation, AnArticleThatCannotBeLoadedChangesNothing) {
    View()->topRow = 9;
    BYTE* article = View()->article;
    EXPECT_EQ(ShowArticle(window, 500), 1);
    EXPECT_EQ(gApp.currentArticle, kLongArticle);
    EXPECT_EQ(View()->article, article);
    EXPECT_EQ(View()->topRow, 9);
    EXPECT_TRUE(RecordedMessageBoxes().empty());
    EXPECT_EQ(Send(WM_COMMAND, 4242), 0);  // not a command: DefWindowProcW's answer
}

TEST_F(Navigation, AnArticleTheViewRefusesIsFreedOnceAndChangesNothing) {
    // Article 5 served with an empty first paragraph, which the layout refuses.
    PackedResource packed;
    ASSERT_TRUE(PackResource(kContentIdBase + 5, Bytes{0x81, 0, 0, 0, 0, 0}, &packed));
    ResourceEntry entry = {10, kContentIdBase + 5, packed.resource.data(), (uint32_t)packed.resource.size()};
    ResourceTable table = {&entry, 1};
    SetOverrideResourceTable(&table);
    View()->topRow = 9;
    BYTE* article = View()->article;
    EXPECT_EQ(ShowArticle(window, 5), 1);
    SetOverrideResourceTable(nullptr);
    EXPECT_EQ(gApp.currentArticle, kLongArticle);
    EXPECT_EQ(View()->article, article);
    EXPECT_EQ(View()->topRow, 9);
}
