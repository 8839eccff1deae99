// The index tree view on the fake surface: layout and wrapping, painting with icons,
// taps, expanding and collapsing, opening the tree to an article, and keeping the
// tree's state across a relayout.
#include <map>
#include <set>
#include <utility>

#include "IndexFixture.h"
#include "platform/fake/FakeSurface.h"
#include "views/IndexView.h"
#include "views/TextMapping.h"

namespace {

// Fake metrics: every unit 8 px; cell height 16 for plain text, 20 for the large headings.
class IndexViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAppState();
        gMapping.base = kRestingBase;
        for (int i = 0; i < 3; i++) gApp.indexIcons[i] = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(201 + i));
        dc = CreateFakeDC(metrics);
    }
    void TearDown() override {
        DestroyIndexView(view, TRUE);
        DeleteDC(dc);
        for (HBITMAP icon : gApp.indexIcons) DeleteObject(icon);
        ClearBookmarks();
    }

    IndexView* Open(int width, int height, int left = 0, int top = 0, int capacity = 100) {
        DestroyIndexView(view, TRUE);
        RECT rect = {left, top, left + width, top + height};
        FontSettings settings = {{}, 0, kRestingBase};
        view = CreateIndexView(dc, &rect, &settings, capacity);
        return view;
    }
    int Layout(const std::vector<TestIndexRecord>& records) { return LayoutIndex(view, MakeIndex(records), FALSE); }
    int LayoutStored() { return LayoutIndex(view, AddBookmarkSection(LoadStoredIndex()), FALSE); }

    IndexLine& Line(int i) { return view->lines[i]; }
    int FirstLineOf(uint16_t key) {
        for (int i = 0; i < view->lineCount; i++)
            if (Line(i).key == key) return i;
        ADD_FAILURE() << "no line with key " << key;
        return 0;
    }
    bool Shown(uint16_t key) { return Line(FirstLineOf(key)).style & kIndexShown; }
    bool Expanded(uint16_t key) { return Line(FirstLineOf(key)).style & kIndexExpanded; }
    std::string Text(int i) { return std::string((const char*)view->index + Line(i).offset, Line(i).count); }
    int CountShown() {
        int n = 0;
        for (int i = 0; i < view->lineCount; i++) n += (Line(i).style & kIndexShown) ? 1 : 0;
        return n;
    }
    // The row count must always be the number of shown lines.
    void ExpectRowsConsistent() { EXPECT_EQ(view->rowCount, CountShown()); }

    FakeMetrics metrics;
    HDC dc = nullptr;
    IndexView* view = nullptr;
};

// One: Two (Ten), Eleven; Three: Twelve. Only the top headings are shown at first.
const std::vector<TestIndexRecord> kTree = {
    {0x8001, 0x81, 1, "One"},  {0x8002, 0x01, 2, "Two"},   {0x400A, 0x01, 3, "Ten"},
    {0x400B, 0x01, 2, "Eleven"}, {0x8003, 0x81, 1, "Three"}, {0x400C, 0x01, 2, "Twelve"},
};
constexpr int kOne = 0, kTwo = 1, kTen = 2, kEleven = 3, kThree = 4;

// ---- Layout ----

TEST_F(IndexViewTest, StoredIndexOpensWithOnlyItsTopHeadingsShown) {
    Open(240, 320);
    ASSERT_EQ(LayoutStored(), 0);
    std::set<uint16_t> shownKeys;
    for (int i = 0; i < view->lineCount; i++) {
        if (!(Line(i).style & kIndexShown)) continue;
        shownKeys.insert(Line(i).key);
        EXPECT_EQ(Line(i).style, 0x8C);
    }
    EXPECT_EQ(shownKeys.size(), 4u);  // Welcome and the three parts
    ExpectRowsConsistent();
    EXPECT_EQ(view->maxTopRow, 0);
    EXPECT_GE(view->lineCount, 221);
    EXPECT_EQ((view->capacity - 100) % 128, 0);  // the dialog's 100 entries grew in steps

    PaintIndexView(view, TRUE);
    auto runs = FakeCallsOf(dc, FakeCallKind::Text);
    ASSERT_EQ((int)runs.size(), view->rowCount);
    for (const FakeCall& run : runs) {
        EXPECT_EQ(run.textColour, kBlue);
        EXPECT_EQ(run.fontHeight, 20);
        EXPECT_EQ(run.fontWeight, FW_BOLD);
    }
    EXPECT_EQ(view->rowsPainted, view->rowCount);
}

TEST_F(IndexViewTest, CaptionsBreakAfterTheLastWordThatFits) {
    Open(117, 100, 5);  // level 1: 13 px indent, room for 13 characters
    ASSERT_EQ(Layout({{0x8001, 0x81, 1, "alpha beta gamma"}, {0x8002, 0x81, 1, "abcdefghijklmnopq"}}), 0);
    ASSERT_EQ(view->lineCount, 4);
    EXPECT_EQ(Text(0), "alpha beta");
    EXPECT_EQ(Line(0).width, 80);
    EXPECT_EQ(Line(0).x, 18);
    EXPECT_EQ(Text(1), "gamma");  // the space at the break is on neither line
    EXPECT_EQ(Line(1).offset, Line(0).offset + 11);
    EXPECT_EQ(Text(2), "abcdefghijklm");  // one word wider than the line breaks inside it
    EXPECT_EQ(Text(3), "nopq");
    for (int i = 0; i < 4; i++) EXPECT_EQ(Line(i).height, 16);
    EXPECT_EQ(view->rowCount, 4);

    PaintIndexView(view, FALSE);
    auto runs = FakeCallsOf(dc, FakeCallKind::Text);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, u"alpha beta");
    EXPECT_EQ(runs[1].text, u"gamma");
    EXPECT_EQ(runs[1].y, 16);
    EXPECT_EQ(FakeCallsOf(dc, FakeCallKind::Blit).size(), 2u);  // one icon per record
}

TEST_F(IndexViewTest, IndentsThatDoNotFitTheViewBecomeZero) {
    Open(60, 100, 3);
    ASSERT_EQ(Layout({{0x8001, 0x81, 4, "a"}, {0x4002, 0x81, 5, "b"}}), 0);
    EXPECT_EQ(Line(0).x, 3 + 52);
    EXPECT_EQ(Line(1).x, 3);  // 5 x 13 = 65 is not less than 60

    // Narrower than one character: each line still takes one, and the layout ends.
    Open(5, 100);
    ASSERT_EQ(Layout({{0x8001, 0x81, 1, "abc"}}), 0);
    ASSERT_EQ(view->lineCount, 3);
    EXPECT_EQ(Text(2), "c");
    EXPECT_EQ(Line(2).width, 8);
}

TEST_F(IndexViewTest, EmptyOrMissingIndexesAreRefused) {
    Open(200, 100);
    ASSERT_EQ(Layout(kTree), 0);
    BYTE* own = view->index;
    int lines = view->lineCount;
    BYTE* empty = MakeIndex({});
    BYTE* blank = MakeIndex({{0x8001, 0x81, 1, ""}});
    EXPECT_EQ(LayoutIndex(view, empty, TRUE), 0xFFFC);
    EXPECT_EQ(LayoutIndex(view, blank, TRUE), 0xFFFC);
    EXPECT_EQ(view->index, own);  // untouched, and still its own
    EXPECT_EQ(view->lineCount, lines);
    free(empty);
    free(blank);
    EXPECT_EQ(LayoutIndex(view, nullptr, FALSE), 2);
    EXPECT_EQ(view->index, own);
    EXPECT_EQ(LayoutIndex(view, nullptr, TRUE), 2);
    EXPECT_EQ(view->index, nullptr);
    EXPECT_EQ(PaintIndexView(view, TRUE), -1);
    EXPECT_EQ(HitTestIndex(view, 10, 10), 0);
    EXPECT_EQ(LayoutIndex(nullptr, nullptr, FALSE), -1);
}

TEST_F(IndexViewTest, GrowingTheLineTableKeepsEveryLine) {
    Open(240, 320, 0, 0, 0);
    ASSERT_EQ(LayoutStored(), 0);
    std::vector<IndexLine> fresh(view->lines, view->lines + view->lineCount + 1);
    Open(240, 320, 0, 0, 1);
    ASSERT_EQ(LayoutStored(), 0);
    ASSERT_EQ(view->lineCount + 1, (int)fresh.size());
    for (size_t i = 0; i < fresh.size(); i++) {
        const IndexLine &a = view->lines[i], &b = fresh[i];
        EXPECT_TRUE(a.offset == b.offset && a.count == b.count && a.x == b.x && a.width == b.width &&
                    a.height == b.height && a.key == b.key && a.style == b.style)
            << i;
    }
}

// ---- Painting and scrolling ----

TEST_F(IndexViewTest, IconsSitBesideTheTextAndFollowTheState) {
    Open(200, 100, 4, 10);
    ASSERT_EQ(Layout({{0x8001, 0xC1, 1, "Open"}, {0x4002, 0x81, 2, "Link"}, {0x8003, 0x81, 1, "Shut"}}), 0);
    PaintIndexView(view, TRUE);
    auto blits = FakeCallsOf(dc, FakeCallKind::Blit);
    ASSERT_EQ(blits.size(), 3u);
    EXPECT_EQ(blits[0].bitmapId, 202);
    EXPECT_EQ(blits[1].bitmapId, 203);
    EXPECT_EQ(blits[2].bitmapId, 201);
    EXPECT_EQ(blits[1].rect.left, 4 + 26 - 13);  // the first 9 of the 13 pixels left of the text
    EXPECT_EQ(blits[1].rect.top, 10 + 16 + 3);   // (16 - 9) / 2 below the row's top
    EXPECT_EQ(blits[1].rect.right - blits[1].rect.left, 9);
    EXPECT_EQ(blits[1].rect.bottom - blits[1].rect.top, 9);
    EXPECT_EQ(blits[1].source.left, 0);
    EXPECT_EQ(blits[1].source.right, 9);

    // Rows no taller than the icon: the icon starts at the row's top.
    metrics.cellHeightOf = [](int, int) { return 9; };
    DeleteDC(dc);
    dc = CreateFakeDC(metrics);
    Open(200, 100, 4, 10);
    ASSERT_EQ(Layout({{0x8001, 0x81, 1, "One"}, {0x8003, 0x81, 1, "Two"}}), 0);
    PaintIndexView(view, TRUE);
    blits = FakeCallsOf(dc, FakeCallKind::Blit);
    ASSERT_EQ(blits.size(), 2u);
    EXPECT_EQ(blits[1].rect.top, 10 + 9);
}

TEST_F(IndexViewTest, OnlyWholeRowsArePaintedAndTheTopRowIsKeptInRange) {
    Open(200, 40);
    ASSERT_EQ(Layout({{0x8001, 0x81, 1, "a"}, {0x8002, 0x81, 1, "b"}, {0x8003, 0x01, 1, "hidden"},
                      {0x8004, 0x81, 1, "c"}, {0x8005, 0x81, 1, "d"}}),
              0);
    EXPECT_EQ(view->maxTopRow, 2);
    PaintIndexView(view, TRUE);
    EXPECT_EQ(view->rowsPainted, 2);  // a third row would need 16 of the 8 px left
    EXPECT_EQ(FakeCallsOf(dc, FakeCallKind::Text).size(), 2u);

    ClearFakeRecord(dc);
    view->topRow = 9;
    PaintIndexView(view, TRUE);
    EXPECT_EQ(view->topRow, 2);
    auto runs = FakeCallsOf(dc, FakeCallKind::Text);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, u"c");  // the hidden line takes no row

    EXPECT_EQ(ScrollIndexView(view, 5, 1, 1), 1);  // already at the maximum: nothing to paint
    EXPECT_EQ(ScrollIndexView(view, -1, 1, 1), 0);
    EXPECT_EQ(view->topRow, 1);
    ScrollIndexView(view, -7, 1, 1);
    EXPECT_EQ(view->topRow, 0);
    EXPECT_EQ(ScrollIndexView(nullptr, 1, 1, 1), -1);
}

// ---- Taps ----

TEST_F(IndexViewTest, TapsChooseLinksAndToggleHeadings) {
    Open(200, 100);
    ASSERT_EQ(Layout(kTree), 0);
    EXPECT_EQ(HitTestIndex(view, 1, 8), -1);  // in the heading's indent: expands One
    ASSERT_TRUE(Line(kEleven).style & kIndexShown);
    // Rows: One 0-16, Two 16-32, Eleven 32-48, Three 48-64. Eleven's text starts at 26.
    int right = 26 + Line(kEleven).width;
    EXPECT_EQ(HitTestIndex(view, 26 - 13, 40), 11);  // on the icon's left edge
    EXPECT_EQ(HitTestIndex(view, 26 - 14, 40), 0);
    EXPECT_EQ(HitTestIndex(view, right, 40), 11);
    EXPECT_EQ(HitTestIndex(view, right + 1, 40), 0);
    EXPECT_EQ(HitTestIndex(view, 30, 48), 11);  // the bottom edge belongs to the row
    EXPECT_EQ(HitTestIndex(view, 30, 70), kTapBelowLastRow);
    EXPECT_EQ(HitTestIndex(view, 30, 100), kTapBelowLastRow);  // the view's bottom edge is inside
    EXPECT_EQ(HitTestIndex(view, 30, 101), 0);
    EXPECT_EQ(HitTestIndex(view, 201, 8), 0);
    ExpectRowsConsistent();
}

TEST_F(IndexViewTest, HeadingTapsReturnTheNegatedSectionIdentifier) {
    Open(240, 320);
    SetBookmarks({5, 3});
    ASSERT_EQ(LayoutStored(), 0);
    EXPECT_EQ(HitTestIndex(view, 1, 5), -2167);
    EXPECT_FALSE(Shown(0x4005));  // the bookmarks collapsed
    EXPECT_EQ(HitTestIndex(view, 1, 16 + 5), -16382);
    EXPECT_TRUE(Expanded(0xBFFE));
    ExpectRowsConsistent();
}

// ---- Expanding and collapsing ----

TEST_F(IndexViewTest, ExpandShowsChildrenCollapseHidesTheSubtree) {
    Open(200, 100);
    ASSERT_EQ(Layout(kTree), 0);
    EXPECT_EQ(ToggleHeading(view, &Line(kOne)), -1);
    EXPECT_TRUE(Line(kTwo).style & kIndexShown);
    EXPECT_TRUE(Line(kEleven).style & kIndexShown);
    EXPECT_FALSE(Line(kTen).style & kIndexShown);  // direct children only
    EXPECT_FALSE(Line(kThree + 1).style & kIndexShown);
    EXPECT_FALSE(FakeCallsOf(dc, FakeCallKind::Text).empty());  // repainted
    ToggleHeading(view, &Line(kTwo));
    EXPECT_TRUE(Line(kTen).style & kIndexShown);
    ExpectRowsConsistent();

    ToggleHeading(view, &Line(kOne));
    for (int i : {kTwo, kTen, kEleven}) EXPECT_FALSE(Line(i).style & kIndexShown) << i;
    EXPECT_EQ(view->rowCount, 2);

    ToggleHeading(view, &Line(kOne));
    EXPECT_TRUE(Line(kTwo).style & kIndexShown);
    EXPECT_FALSE(Line(kTwo).style & kIndexExpanded);  // a child heading comes back collapsed
    EXPECT_FALSE(Line(kTen).style & kIndexShown);
    ExpectRowsConsistent();
}

// Styles with no bit beside shown and expanded: hiding or collapsing such a line must
// not leave a 0 style, which would end the line table there.
TEST_F(IndexViewTest, LinesOfRecordsWithOnlyStateBitsStayInTheTable) {
    Open(200, 100);
    ASSERT_EQ(Layout({{0x8001, 0xC0, 1, "Open"}, {0x8002, 0x80, 2, "Shown"}, {0x4003, 0x40, 3, "x"},
                      {0x8004, 0x81, 1, "Last"}}),
              0);
    ToggleHeading(view, &Line(0));  // collapses: the child headings are hidden
    ToggleHeading(view, &Line(0));
    ToggleHeading(view, &Line(1));
    int lines = 0;
    while (view->lines[lines].style) lines++;
    EXPECT_EQ(lines, 4);
    EXPECT_EQ(view->lineCount, 4);
    EXPECT_TRUE(Line(3).style & kIndexShown);
    ExpectRowsConsistent();
}

TEST_F(IndexViewTest, AWrappedHeadingKeepsAllItsLines) {
    Open(13 + 64, 200);  // eight characters a line
    ASSERT_EQ(Layout({{0x8001, 0x81, 1, "Long long heading"}, {0x4002, 0x01, 2, "x"}, {0x8003, 0x81, 1, "Next"}}), 0);
    ASSERT_EQ(Line(1).key, 0x8001);
    ASSERT_EQ(Line(2).key, 0x8001);
    ToggleHeading(view, &Line(0));
    EXPECT_TRUE(Line(3).style & kIndexShown);
    ToggleHeading(view, &Line(0));
    for (int i = 0; i < 3; i++) EXPECT_TRUE(Line(i).style & kIndexShown) << i;
    EXPECT_FALSE(Line(3).style & kIndexShown);
    ToggleHeading(view, &Line(2));  // a tap on a further line toggles that line's flag
    for (int i = 0; i < 4; i++) EXPECT_TRUE(Line(i).style & kIndexShown) << i;
    EXPECT_TRUE(Line(2).style & kIndexExpanded);
    EXPECT_FALSE(Line(0).style & kIndexExpanded);
    ExpectRowsConsistent();
}

TEST_F(IndexViewTest, AHeadingWithoutChildrenLeavesItsSiblingsAlone) {
    Open(200, 100);
    ASSERT_EQ(Layout({{kBookmarksKey, 0xC1, 1, "Bookmarks"}, {0xBFFE, 0x8C, 1, "Part"}, {0x4001, 0x01, 2, "x"}}), 0);
    ToggleHeading(view, &Line(0));
    ToggleHeading(view, &Line(0));
    EXPECT_TRUE(Line(1).style & kIndexShown);
    EXPECT_FALSE(Line(2).style & kIndexShown);
    EXPECT_EQ(view->rowCount, 2);
}

// ---- Opening the tree to an article ----

TEST_F(IndexViewTest, RevealShowsALevelFourLinkAndItsHeadingsCollapsed) {
    Open(240, 100);
    ASSERT_EQ(LayoutStored(), 0);
    int rows = view->rowCount;
    RevealArticle(view, 6);
    int link = FirstLineOf(0x4006);
    EXPECT_TRUE(Line(link).style & kIndexShown);
    EXPECT_TRUE(Line(link + 1).style & kIndexShown);  // the record after the link as well
    // Walking up: the level-3 and level-2 headings are shown, collapsed; their
    // siblings stay hidden.
    int level3 = link - 1, level2 = link - 2;
    EXPECT_EQ(Line(level3).x, 39);
    EXPECT_EQ(Line(level2).x, 26);
    for (int i : {level3, level2}) {
        EXPECT_TRUE(Line(i).style & kIndexShown) << i;
        EXPECT_FALSE(Line(i).style & kIndexExpanded) << i;
    }
    EXPECT_FALSE(Shown(0x4002));  // under the level-2 sibling before
    EXPECT_EQ(view->rowCount, rows + 4);
    ExpectRowsConsistent();

    // The maximum top row now brings the last shown row to the bottom of the view.
    ASSERT_GT(view->maxTopRow, 0);
    view->topRow = view->maxTopRow;
    PaintIndexView(view, TRUE);
    EXPECT_EQ(view->topRow + view->rowsPainted, view->rowCount);
}

TEST_F(IndexViewTest, RevealOfALevelFiveLinkAndOfABookmark) {
    Open(240, 320);
    ASSERT_EQ(LayoutStored(), 0);
    RevealArticle(view, 7);
    int link = FirstLineOf(0x4007);
    EXPECT_TRUE(Line(link).style & kIndexShown);
    // Above it: its level-4 heading, the link of article 6 (hidden), then levels 3 and 2.
    for (int up : {1, 3, 4}) EXPECT_TRUE(Line(link - up).style & kIndexShown) << up;
    EXPECT_FALSE(Shown(0x4006));
    EXPECT_TRUE(Shown(0x4008));
    EXPECT_FALSE(Shown(0x4009));
    ExpectRowsConsistent();

    // A bookmarked article is found in the section first, which is always shown.
    Open(240, 320);
    SetBookmarks({7});
    ASSERT_EQ(LayoutStored(), 0);
    int rows = view->rowCount;
    RevealArticle(view, 7);
    RevealArticle(view, 0);
    EXPECT_EQ(view->rowCount, rows);
}

TEST_F(IndexViewTest, ExpansionSurvivesAResizeToAnotherWidth) {
    Open(240, 320);
    SetBookmarks({5});
    ASSERT_EQ(LayoutStored(), 0);
    RevealArticle(view, 7);
    ToggleHeading(view, &Line(FirstLineOf(0x4007) - 1));  // expand "Letters A to M"
    auto snapshot = [&] {
        std::map<uint16_t, std::pair<bool, bool>> state;  // shown, expanded, by record
        for (int i = 0; i < view->lineCount; i++)
            if (!state.count(Line(i).key))
                state[Line(i).key] = {Line(i).style & kIndexShown, Line(i).style & kIndexExpanded};
        return state;
    };
    auto before = snapshot();
    int linesBefore = view->lineCount;
    uint16_t* saved = SaveExpansion(view);
    ASSERT_NE(saved, nullptr);
    ASSERT_EQ(ResizeIndexView(view, 90, 200), 0);
    ASSERT_NE(view->lineCount, linesBefore);  // the captions wrap differently now
    EXPECT_EQ(RestoreExpansion(view, saved), 0);
    free(saved);
    EXPECT_EQ(snapshot(), before);
    for (int i = 1; i < view->lineCount; i++)  // every line of a shown record is shown
        if (Line(i).key == Line(i - 1).key) {
            EXPECT_EQ(Line(i).style, Line(i - 1).style) << i;
        }
    ExpectRowsConsistent();

    EXPECT_EQ(RestoreExpansion(view, nullptr), -1);
    EXPECT_EQ(SaveExpansion(nullptr), nullptr);
}

}  // namespace
