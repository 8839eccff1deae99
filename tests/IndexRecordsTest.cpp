// The bookmarks section in front of the index: its records, its size and who owns what.
#include "IndexFixture.h"
#include "content/ArticleRecords.h"

namespace {

const BYTE kHeading[] = {0x77, 0x88, 0xC1, 0x01, 'B', 'o', 'o', 'k', 'm', 'a', 'r', 'k', 's', 0};

std::vector<IndexEntry> Entries(const BYTE* index) {
    std::vector<IndexEntry> entries;
    IndexWalker walker = StartIndexWalk(index);
    IndexEntry entry;
    while (NextIndexEntry(&walker, &entry)) entries.push_back(entry);
    return entries;
}

// Bytes of the records before the end record.
size_t RecordsLength(const BYTE* index) {
    size_t length = 0;
    for (const IndexEntry& e : Entries(index)) length += e.textLength + 5;
    return length;
}

std::string Caption(const IndexEntry& e) { return std::string((const char*)e.text, e.textLength); }

// The caption of the article's link in the index.
std::string LinkCaption(const BYTE* index, uint16_t article) {
    for (const IndexEntry& e : Entries(index))
        if (e.key == (article | kKeyLink)) return Caption(e);
    return {};
}

class BookmarkSection : public ::testing::Test {
  protected:
    void SetUp() override { ResetAppState(); }
    void TearDown() override { ClearBookmarks(); }
};

TEST_F(BookmarkSection, WithoutBookmarksTheIndexComesBackUnchanged) {
    BYTE* index = MakeIndex({{0xBFFE, 0x8C, 1, "Part"}});
    EXPECT_EQ(AddBookmarkSection(index), index);  // no list at all
    SetBookmarks({5});
    gApp.bookmarkCount = 0;  // a stored list of two zero bytes
    EXPECT_EQ(AddBookmarkSection(index), index);
    free(index);
}

TEST_F(BookmarkSection, EntriesFollowTheBookmarkOrderWithTheLinksCaptions) {
    BYTE* stored = LoadStoredIndex();
    ASSERT_NE(stored, nullptr);
    size_t storedLength = RecordsLength(stored);
    std::string caption5 = LinkCaption(stored, 5), caption3 = LinkCaption(stored, 3);
    ASSERT_FALSE(caption5.empty());
    std::vector<BYTE> copy(stored, stored + storedLength);
    SetBookmarks({5, 3});

    BYTE* joined = AddBookmarkSection(stored);  // stored is taken over and freed
    ASSERT_NE(joined, nullptr);
    EXPECT_EQ(memcmp(joined, kHeading, sizeof kHeading), 0);
    std::vector<IndexEntry> entries = Entries(joined);
    ASSERT_GE(entries.size(), 3u);
    EXPECT_EQ(entries[1].key, 0x4005);
    EXPECT_EQ(entries[1].style, 0x81);
    EXPECT_EQ(entries[1].level, 2);
    EXPECT_EQ(Caption(entries[1]), caption5);
    EXPECT_EQ(entries[2].key, 0x4003);
    EXPECT_EQ(Caption(entries[2]), caption3);
    EXPECT_EQ(entries[3].key, 0xBFFE);  // then the index itself, unchanged

    size_t sectionLength = sizeof kHeading + 2 * 5 + caption5.size() + caption3.size();
    ASSERT_EQ(RecordsLength(joined), sectionLength + storedLength);
    EXPECT_EQ(memcmp(joined + sectionLength, copy.data(), storedLength), 0);
    const BYTE zeros[5] = {};
    EXPECT_EQ(memcmp(joined + sectionLength + storedLength, zeros, 5), 0);
    free(joined);
}

TEST_F(BookmarkSection, UnlinkedArticlesAreLeftOutButTheHeadingStays) {
    BYTE* index = MakeIndex({{0xBFFE, 0x8C, 1, "Part"}, {0x4007, 0x01, 2, "Seven"}});
    SetBookmarks({9, 7});
    BYTE* joined = AddBookmarkSection(index);
    std::vector<IndexEntry> entries = Entries(joined);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].key, kBookmarksKey);
    EXPECT_EQ(entries[1].key, 0x4007);
    free(joined);

    SetBookmarks({9});
    BYTE* section = CreateBookmarkSection(nullptr);  // no index: the heading alone
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(Entries(section).size(), 1u);
    EXPECT_EQ(memcmp(section, kHeading, sizeof kHeading), 0);
    free(section);
    BYTE* shown = AddBookmarkSection(nullptr);  // and that is what is shown
    EXPECT_EQ(Entries(shown).size(), 1u);
    free(shown);
}

TEST_F(BookmarkSection, MeasuredSizeMatchesWhatIsWritten) {
    BYTE* index = MakeIndex({{0x4009, 0x01, 2, "Twelve bytes"}});
    SetBookmarks({9});
    EXPECT_EQ(BuildBookmarkSection(index, nullptr), 31);  // 14 + 12 + 5; the end record not counted

    // The section needs exactly 36 bytes: 31 and the five-byte end record.
    std::vector<BYTE> out(64, 0xAA);
    EXPECT_EQ(BuildBookmarkSection(index, out.data()), 31);
    EXPECT_EQ(out[14], 0x09);
    EXPECT_EQ(out[15], 0x40);
    EXPECT_EQ(std::string((const char*)out.data() + 18), "Twelve bytes");
    for (int i = 31; i < 36; i++) EXPECT_EQ(out[i], 0) << i;
    EXPECT_EQ(out[36], 0xAA);
    free(index);
}

TEST_F(BookmarkSection, HostileListsStayInsideTheirBuffers) {
    BYTE* index = MakeIndex({{0x4009, 0x01, 2, std::string(80, 'x')}});
    // Far more entries than 16-bit sizes can hold: the section is cut short, and
    // what is written is what was measured.
    SetBookmarks(std::vector<uint16_t>(2000, 9));
    uint16_t size = BuildBookmarkSection(index, nullptr);
    EXPECT_GT(size, 60000);
    BYTE* section = CreateBookmarkSection(index);
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(RecordsLength(section), size);
    // Joined with the index it would pass 16-bit offsets: the index is shown alone.
    BYTE* joined = AddBookmarkSection(index);
    EXPECT_EQ(joined, index);
    free(section);

    // A list whose terminator went missing ends at its count.
    SetBookmarks({9, 9, 9});
    gApp.bookmarkCount = 1;
    EXPECT_EQ(BuildBookmarkSection(index, nullptr), 14 + 85);
    free(index);
}

TEST_F(BookmarkSection, JoinTakesBothInputsOrGivesTheOneThereIs) {
    BYTE* first = MakeIndex({{0x8001, 0xC1, 1, "A"}});
    EXPECT_EQ(JoinIndexSections(first, nullptr), first);
    EXPECT_EQ(JoinIndexSections(nullptr, first), first);
    BYTE* second = MakeIndex({{0x4002, 0x81, 2, "BB"}, {0x4003, 0x81, 2, "C"}});
    BYTE* joined = JoinIndexSections(first, second);
    std::vector<IndexEntry> entries = Entries(joined);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(Caption(entries[0]), "A");
    EXPECT_EQ(Caption(entries[2]), "C");
    EXPECT_EQ(RecordsLength(joined), 6u + 7u + 6u);
    free(joined);
}

}  // namespace
