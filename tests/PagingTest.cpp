// Paging both ways through the real window: Page Down then Page Up (and the other
// way, and taps in the lower then the upper half) come back to the very row they
// left; a page forward stops at the last full page; Space reads on across articles.
#include "ShellFixture.h"
#include "platform/qt/QtWindow.h"

namespace {

constexpr uint32_t kHalfPages = 0x2200000;  // key and tap paging fields = 2

class Paging : public ReaderTest, public testing::WithParamInterface<std::tuple<int, int, uint32_t>> {
  protected:
    void SetUp() override {
        ReaderTest::SetUp();
        auto [article, width, flags] = GetParam();
        ASSERT_NO_FATAL_FAILURE(StartOn(article, width, 320));
        gApp.Flags |= flags;
        ASSERT_TRUE(HoldsArticle(View(), article));
    }
    int From(int row) {
        View()->topRow = (uint16_t)row;
        RepaintNow(window, kPaintAll);
        return row;
    }
    int Top() const { return View()->topRow; }
    void Tap(bool lower) {
        int x = View()->left + 1;  // in the margin: a tap on a link would follow it
        int y = View()->top + (lower ? View()->height * 3 / 4 : View()->height / 4);
        Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
};

}  // namespace

TEST_P(Paging, AStepAndTheOppositeStepReturnToTheSameTopRowFromEveryRow) {
    // At either end the first step has nowhere to go, so there is nothing to undo.
    int max = View()->maxTopRow;
    for (int row = 0; row <= max; row += 1 + max / 80) {
        if (row < max) {
            From(row);
            Key(VK_NEXT);
            Key(VK_PRIOR);
            EXPECT_EQ(Top(), row) << "Page Down, Page Up from " << row;
            From(row);
            Tap(true);
            Tap(false);
            EXPECT_EQ(Top(), row) << "taps lower, upper from " << row;
        }
        if (row > 0) {
            From(row);
            Key(VK_PRIOR);
            Key(VK_NEXT);
            EXPECT_EQ(Top(), row) << "Page Up, Page Down from " << row;
        }
    }
}

TEST_P(Paging, PageDownStopsAtTheLastFullPageAndStaysInTheArticle) {
    From(0);
    for (int i = 0; i <= View()->rowCount; i++) Key(VK_NEXT);
    int last = Top();
    EXPECT_TRUE(HoldsArticle(View(), std::get<0>(GetParam())));
    Key(VK_HOME);
    Key(VK_END);
    EXPECT_EQ(last, Top());
    EXPECT_EQ(last, View()->maxTopRow);
    for (int i = 0; i <= View()->rowCount; i++) Key(VK_PRIOR);
    EXPECT_EQ(Top(), 0);
    EXPECT_TRUE(HoldsArticle(View(), std::get<0>(GetParam())));
}

TEST_P(Paging, SpaceReadsOnIntoTheNextArticleAndShiftSpaceBackFromTheTop) {
    int article = std::get<0>(GetParam());
    From(View()->maxTopRow);
    Key(VK_SPACE);
    EXPECT_TRUE(HoldsArticle(View(), article + 1));
    EXPECT_EQ(Top(), 0);
    Key(VK_SPACE, kKeyShift);
    EXPECT_TRUE(HoldsArticle(View(), article));
    EXPECT_EQ(Top(), View()->maxTopRow);
    // Within the article Space pages as Page Down does, and undoes itself.
    int row = From(View()->maxTopRow / 2);
    Key(VK_SPACE);
    EXPECT_GT(Top(), row);
    Key(VK_SPACE, kKeyShift);
    EXPECT_EQ(Top(), row);
}

INSTANTIATE_TEST_SUITE_P(WelcomeAndLong, Paging,
                         testing::Values(std::make_tuple(1, 240, 0u), std::make_tuple(142, 240, 0u),
                                         std::make_tuple(142, 700, 0u), std::make_tuple(33, 400, 0u),
                                         std::make_tuple(142, 240, kHalfPages)));
