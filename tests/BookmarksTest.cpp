// The bookmark list: loading damaged values safely, adding, removing with the
// question, and what the exit sequence stores.
#include "ShellFixture.h"

namespace {

class Bookmarks : public ShellTest {
protected:
    void Load(const std::vector<BYTE>& stored) {
        SetProduct(u"Bookmarks", REG_BINARY, stored);
        LoadSettings();
    }
    std::vector<uint16_t> List() const {
        std::vector<uint16_t> out;
        for (const uint16_t* p = gApp.bookmarkList; p && *p; p++) out.push_back(*p);
        return out;
    }
    std::vector<BYTE> StoredAfterExit() {
        ExitProgram();
        return Product(u"Bookmarks").data;
    }
    void Toggle(uint16_t article) {
        gApp.currentArticle = article;
        ToggleBookmark(IsBookmarked());
    }
};

}  // namespace

TEST_F(Bookmarks, FirstBookmarkWithoutAStoredValue) {
    LoadSettings();
    for (int a = 1; a <= 187; a++) {
        gApp.currentArticle = (uint16_t)a;
        ASSERT_EQ(IsBookmarked(), 0) << a;
    }
    gApp.currentArticle = 5;
    AddBookmark();
    EXPECT_EQ(gApp.bookmarkCount, 1);
    EXPECT_EQ(List(), (std::vector<uint16_t>{5}));
    EXPECT_EQ(gApp.bookmarkList[1], 0);
    EXPECT_EQ(IsBookmarked(), 1);
}

TEST_F(Bookmarks, AddingFiveThenThreeStoresSixBytes) {
    Load({0, 0});
    EXPECT_NE(gApp.bookmarkList, nullptr);
    EXPECT_EQ(gApp.bookmarkCount, 0);
    Toggle(5);
    Toggle(3);
    gApp.currentArticle = 5;
    AddBookmark();  // already there: nothing changes
    EXPECT_EQ(List(), (std::vector<uint16_t>{5, 3}));
    EXPECT_EQ(gApp.bookmarkCount, 2);
    EXPECT_TRUE(RecordedMessageBoxes().empty());
    EXPECT_EQ(StoredAfterExit(), (std::vector<BYTE>{5, 0, 3, 0, 0, 0}));
    EXPECT_EQ(gApp.bookmarkList, nullptr);
}

TEST_F(Bookmarks, RemovalAsksAndFollowsTheAnswer) {
    Load({5, 0, 3, 0, 7, 0, 0, 0});
    ScriptMessageBoxes({IDNO, IDYES, IDCANCEL});
    Toggle(3);
    EXPECT_EQ(List(), (std::vector<uint16_t>{5, 3, 7}));
    Toggle(3);
    EXPECT_EQ(List(), (std::vector<uint16_t>{5, 7}));
    EXPECT_EQ(gApp.bookmarkCount, 2);
    ASSERT_EQ(RecordedMessageBoxes().size(), 2u);
    const MessageBoxCall& box = RecordedMessageBoxes()[0];
    EXPECT_EQ(box.owner, gApp.mainWindow);
    EXPECT_EQ(box.text, u"Remove Bookmark?\n\nCancel - Don't ask again");
    EXPECT_EQ(box.caption, u"Bookmark");
    EXPECT_EQ(box.style, (UINT)MB_YESNOCANCEL);

    // Cancel removes and stops the question for the rest of the run.
    Toggle(5);
    EXPECT_EQ(List(), (std::vector<uint16_t>{7}));
    Toggle(7);
    EXPECT_EQ(List(), (std::vector<uint16_t>{}));
    EXPECT_EQ(gApp.bookmarkCount, 0);
    EXPECT_EQ(RecordedMessageBoxes().size(), 3u);
    EXPECT_EQ(StoredAfterExit(), (std::vector<BYTE>{0, 0}));

    // The next run asks again.
    ResetAppState();
    Load({9, 0, 0, 0});
    ScriptMessageBoxes({IDNO});
    Toggle(9);
    EXPECT_EQ(RecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(List(), (std::vector<uint16_t>{9}));
}

TEST_F(Bookmarks, AnArticleStoredTwiceGoesAtOnce) {
    Load({5, 0, 3, 0, 5, 0, 0, 0});
    EXPECT_EQ(gApp.bookmarkCount, 3);
    ScriptMessageBoxes({IDYES});
    Toggle(5);
    EXPECT_EQ(List(), (std::vector<uint16_t>{3}));
    EXPECT_EQ(gApp.bookmarkCount, 1);
    EXPECT_EQ(StoredAfterExit(), (std::vector<BYTE>{3, 0, 0, 0}));
}

// A value ending with its 0 entry holds size / 2 - 1 entries, zeros inside too, and
// goes back as it came. One of odd length or without its 0 entry is read to its end
// and no further, and every whole entry it held survives the next exit.
TEST_F(Bookmarks, StoredValuesAreCountedFromTheirSizeAndReadWithinTheirBytes) {
    struct Case {
        std::vector<BYTE> stored;
        std::vector<uint16_t> list;  // as the walks up to the first 0 see it
        uint16_t count;
        std::vector<BYTE> saved;
    };
    const Case cases[] = {
        {{5, 0, 0, 0, 3, 0, 0, 0}, {5}, 3, {5, 0, 0, 0, 3, 0, 0, 0}},
        {{0, 0, 5, 0, 0, 0}, {}, 2, {0, 0, 5, 0, 0, 0}},
        {{5, 0, 3, 0}, {5, 3}, 2, {5, 0, 3, 0, 0, 0}},
        {{5, 0, 3}, {5}, 1, {5, 0, 0, 0}},
        {{5}, {}, 0, {0, 0}},
        {{}, {}, 0, {0, 0}},
        {{0x2C, 0x01, 0, 0, 4, 0}, {300}, 3, {0x2C, 0x01, 0, 0, 4, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        ResetAppState();
        Load(c.stored);
        EXPECT_EQ(List(), c.list);
        EXPECT_EQ(gApp.bookmarkCount, c.count);
        gApp.currentArticle = 4;
        EXPECT_EQ(IsBookmarked(), 0);
        EXPECT_EQ(StoredAfterExit(), c.saved);
    }

    // A bookmark added behind a 0 inside keeps every stored entry.
    ResetAppState();
    Load({5, 0, 0, 0, 3, 0, 0, 0});
    gApp.currentArticle = 7;
    AddBookmark();
    EXPECT_EQ(gApp.bookmarkCount, 4);
    EXPECT_EQ(StoredAfterExit(), (std::vector<BYTE>{5, 0, 0, 0, 3, 0, 7, 0, 0, 0}));
}
