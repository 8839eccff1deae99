// Notes taken away: the Markdown and text documents keep the articles' order with
// each note under its passage, the command line and the menu write every format,
// and another reader's notes file merges in without duplicates.
#include <filesystem>
#include <fstream>

#include "HeadlessCall.h"
#include "ReaderProcess.h"
#include "ShellFixture.h"
#include "content/ArticleRecords.h"
#include "reader/Notes.h"
#include "reader/NotesAnchor.h"
#include "reader/NotesExport.h"
#include "reader/NotesFile.h"
#include "resources/Commands.h"

namespace {

// A note on the first text record past the title of an article, quoting length bytes.
Note NoteOn(int number, bool rightToLeft, int length, std::u16string text) {
    Note n{};
    BYTE* article = LoadContent(number, nullptr);
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    while (NextArticleRecord(&walker, &record)) {
        bool rtl = (record.style & kStyleRtl) != 0;
        if (rtl == rightToLeft && record.style != kTitleStyle && record.style != kRtlTitleStyle &&
            record.textLength > (uint32_t)length)
            break;
    }
    n.article = (uint16_t)number;
    n.start = (uint16_t)(record.text - article);
    n.end = (uint16_t)(n.start + length);
    n.quote = QuoteOfPassage(article, n.start, n.end);
    n.text = std::move(text);
    n.colour = kHighlightGreen;
    n.created = n.modified = 1796845932;
    free(article);
    return n;
}

std::vector<Note> Sample() {
    return {NoteOn(179, true, 20, u"\u05D4\u05E2\u05E8\u05D4 \u05D1\u05E2\u05D1\u05E8\u05D9\u05EA"),
            NoteOn(4, false, 30, u"# not a heading\nsecond line"), NoteOn(4, false, 12, u"")};
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start <= text.size();) {
        size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

class NotesExport : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        gApp.Flags = kDefaultFlags;
        ReplaceNotes(Sample());
    }
    std::string Exported(NotesFormat format) {
        std::string out;
        EXPECT_TRUE(ExportNotes(AllNotes(), format, &out));
        return out;
    }
};

}  // namespace

TEST_F(NotesExport, MarkdownHasTheArticlesInOrderEachNoteUnderItsQuote) {
    std::vector<std::string> lines = LinesOf(Exported(NotesFormat::kMarkdown));
    std::vector<std::string> headings, quotes;
    for (const std::string& line : lines) {
        if (line.rfind("## ", 0) == 0) headings.push_back(line);
        if (line.rfind("> ", 0) == 0) quotes.push_back(line);
    }
    ASSERT_EQ(lines[0], "# Notes");
    ASSERT_EQ(headings.size(), 2u);  // article 4, then 179
    EXPECT_LT(std::find(lines.begin(), lines.end(), headings[0]), std::find(lines.begin(), lines.end(), headings[1]));
    ASSERT_EQ(quotes.size(), 3u);
    // Within an article by place: the shorter passage at the same start stays first as added.
    auto at = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) - lines.begin(); };
    EXPECT_EQ(lines[at(quotes[0]) + 2], "\\# not a heading  ");  // the note's mark is not structure
    EXPECT_EQ(lines[at(quotes[0]) + 3], "second line  ");
    EXPECT_GT(at(quotes[2]), at(headings[1]));
    EXPECT_NE(quotes[2].find("\u05D1"), std::string::npos);  // Hebrew as Unicode
    EXPECT_NE(LinesOf(Exported(NotesFormat::kMarkdown))[at(quotes[2]) + 2].find("\u05D4\u05E2\u05E8\u05D4"),
              std::string::npos);
    EXPECT_EQ(Exported(NotesFormat::kRtf).rfind("{\\rtf1", 0), 0u);
}

TEST_F(NotesExport, ImportingANotesFileMergesWithoutDuplicates) {
    std::string file = FormatNotes(AllNotes());
    NotesMerge merge;
    std::string why;
    ASSERT_TRUE(MergeNotes(file, &merge, &why)) << why;
    EXPECT_EQ(merge.added, 0);
    EXPECT_EQ(merge.known, 3);
    std::vector<Note> other = {NoteOn(7, false, 5, u"from elsewhere"), AllNotes()[0]};
    ASSERT_TRUE(MergeNotes(FormatNotes(other), &merge, &why)) << why;
    EXPECT_EQ(merge.added, 1);
    EXPECT_EQ(merge.known, 1);
    EXPECT_EQ(AllNotes().size(), 4u);
    EXPECT_FALSE(MergeNotes("not notes", &merge, &why));
    EXPECT_EQ(AllNotes().size(), 4u);
}

TEST_F(NotesExport, TheCommandLineWritesEachFormatFromTheNotesFile) {
    ASSERT_TRUE(WriteNotesFile(NotesFilePath(), FormatNotes(AllNotes())));
    struct Case {
        const char* format;
        const char* begins;
        int status;
    } cases[] = {{"markdown", "# Notes\n", 0}, {"text", "NOTES\n", 0}, {"rtf", "{\\rtf1", 0}, {"pdf", "", 2}};
    for (const Case& c : cases) {
        std::string out = config.dir + "/out-" + c.format;
        ASSERT_EQ(Velun({"--export-notes", "--format", c.format, "--out", out}), c.status) << c.format;
        if (c.status == 0) {
            EXPECT_EQ(ReadWholeFile(out).rfind(c.begins, 0), 0u) << c.format;
        }
    }
    EXPECT_EQ(Velun({"--export", "4", "--format", "markdown", "--out", config.dir + "/x"}), 2);
    std::ofstream(NotesFilePath(), std::ios::binary) << "damaged";
    EXPECT_EQ(Velun({"--export-notes", "--out", config.dir + "/y"}), 1);
    EXPECT_EQ(ReadWholeFile(NotesFilePath()), "damaged");  // only read, never moved
}

TEST_F(NotesExport, TheFileMenuExportsAndImportsThroughTheWindow) {
    HWND window = StartMainWindow(SW_SHOW);
    ASSERT_NE(window, nullptr);
    ReplaceNotes(Sample());
    std::string rtf = config.dir + "/notes.rtf", notes = config.dir + "/other.txt";
    std::ofstream(notes, std::ios::binary) << FormatNotes({NoteOn(7, false, 5, u"")});
    ScriptFileDialogs({rtf, notes});
    SendMessageW(window, WM_COMMAND, kCmdExportNotes, 0);
    EXPECT_EQ(ReadWholeFile(rtf).rfind("{\\rtf1", 0), 0u);
    SendMessageW(window, WM_COMMAND, kCmdImportNotes, 0);
    EXPECT_EQ(AllNotes().size(), 4u);
    ASSERT_FALSE(RecordedMessageBoxes().empty());
    EXPECT_EQ(RecordedMessageBoxes().back().text.rfind(u"1 note was added", 0), 0u);
    StopFileDialogScript();
    DestroyWindow(window);
}
