// The notes file: what is written reads back the same, anything else is refused
// whole, the previous file stays as the backup, and notes are found again in
// their articles when their offsets no longer hold.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "TempConfig.h"
#include "content/ArticleRecords.h"
#include "content/Content.h"
#include "reader/NotesAnchor.h"
#include "reader/NotesFile.h"
#include "shell/AppState.h"

namespace {

Note Sample(uint16_t article, uint16_t start, uint16_t end, std::u16string quote, std::u16string text) {
    Note n{};
    n.article = article;
    n.start = start;
    n.end = end;
    n.record = 3;
    n.colour = kHighlightBlue;
    n.created = 1796845932;
    n.modified = 1796846401;
    n.quote = std::move(quote);
    n.text = std::move(text);
    return n;
}

bool SameFields(const Note& a, const Note& b) {
    return a.article == b.article && a.record == b.record && a.start == b.start && a.end == b.end &&
           a.colour == b.colour && a.created == b.created && a.modified == b.modified && a.quote == b.quote &&
           a.text == b.text;
}

const char kOneNote[] =
    "velun notes 1\n[note]\narticle = 4\nrecord = 2\nstart = 10\nend = 20\ncolour = pink\n"
    "created = 2026-12-09T20:32:12Z\nmodified = 2026-12-09T20:40:01Z\nquote = a passage\nnote = \n[end]\n";

// kOneNote with its first occurrence of from replaced.
std::string OneNoteWith(const std::string& from, const std::string& to) {
    std::string text = kOneNote;
    return text.replace(text.find(from), from.size(), to);
}

}  // namespace

TEST(NotesFile, EveryFieldReadsBackAsItWasWritten) {
    std::vector<Note> notes = {
        Sample(1, 0, 1, u"a", u""),
        Sample(187, 65534, 65535, u"back\\slash, tab\t, lines\r\nend\\n", u"two\nlines and \\ # = [note]"),
        Sample(179, 40, 90, u"\u05D1\u05E9\u05E0\u05EA 1475 \u05D4\u05D5\u05D3\u05E4\u05E1",
               u"\u05E2\u05D1\u05E8\u05D9\u05EA and an emoji \U0001F4D6"),
    };
    for (int c = 0; c < kHighlightColourCount; c++) notes[0].colour = (HighlightColour)c;
    std::string text = FormatNotes(notes);
    std::vector<Note> read;
    std::string error;
    ASSERT_TRUE(ParseNotes(text, &read, &error)) << error << "\n" << text;
    ASSERT_EQ(read.size(), notes.size());
    for (size_t i = 0; i < notes.size(); i++) EXPECT_TRUE(SameFields(read[i], notes[i])) << i;
    EXPECT_EQ(FormatNotes(read), text);
    // An editor's CR LF line ends and comments read the same.
    std::string edited = "velun notes 1\r\n# mine\r\n" + text.substr(text.find('\n') + 1);
    EXPECT_TRUE(ParseNotes(edited, &read, &error)) << error;
    EXPECT_TRUE(ParseNotes(FormatNotes({}), &read, &error) && read.empty());
}

TEST(NotesFile, AFileThatBreaksTheFormAnywhereIsRefusedWhole) {
    const std::string kInvalidUtf8[] = {"\xC0\xAF", "\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "ab\xE2\x82"};
    struct Case {
        const char* what;
        std::string text;
    } cases[] = {
        {"garbage", "\x7F" "ELF\x01\x02 binary"},
        {"empty", ""},
        {"another program's file", "[note]\narticle = 4\n"},
        {"cut short", std::string(kOneNote).substr(0, sizeof kOneNote / 2)},
        {"cut at an entry's end", std::string(kOneNote).substr(0, std::string(kOneNote).find("[end]"))},
        {"inverted offsets", OneNoteWith("start = 10", "start = 30")},
        {"empty passage", OneNoteWith("end = 20", "end = 10")},
        {"offset past 16 bits", OneNoteWith("end = 20", "end = 65536")},
        {"negative offset", OneNoteWith("start = 10", "start = -1")},
        {"article 0", OneNoteWith("article = 4", "article = 0")},
        {"article past the collection", OneNoteWith("article = 4", "article = 188")},
        {"colour out of range", OneNoteWith("colour = pink", "colour = 7")},
        {"unknown colour", OneNoteWith("colour = pink", "colour = purple")},
        {"impossible date", OneNoteWith("2026-12-09T20:32", "2026-02-31T20:32")},
        {"a field missing", OneNoteWith("record = 2\n", "")},
        {"a field twice", OneNoteWith("record = 2\n", "record = 2\nrecord = 2\n")},
        {"an unknown field", OneNoteWith("record = 2\n", "page = 2\n")},
        {"a bad escape", OneNoteWith("quote = a passage", "quote = a \\q")},
        {"text after the end", std::string(kOneNote) + "[note]\n"},
        {"a field outside a note", OneNoteWith("[note]\n", "")},
    };
    for (const Case& c : cases) {
        std::vector<Note> read;
        std::string error;
        EXPECT_FALSE(ParseNotes(c.text, &read, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
    for (const std::string& bytes : kInvalidUtf8) {
        std::vector<Note> read;
        std::string error;
        EXPECT_FALSE(ParseNotes(OneNoteWith("a passage", bytes), &read, &error)) << "invalid UTF-8";
    }
}

TEST(NotesFile, AHugeFileIsNotReadAndEachSaveKeepsThePreviousAsTheBackup) {
    TempConfig config;
    std::string path = config.dir + "/velun/notes.txt";
    ASSERT_TRUE(WriteNotesFile(path, "first"));
    ASSERT_TRUE(WriteNotesFile(path, "second"));
    std::string text, why;
    EXPECT_EQ(ReadNotesFile(path, &text, &why), 0);
    EXPECT_EQ(text, "second");
    EXPECT_EQ(ReadNotesFile(path + ".bak", &text, &why), 0);
    EXPECT_EQ(text, "first");
    EXPECT_EQ(ReadNotesFile(config.dir + "/none", &text, &why), 1);
    ASSERT_EQ(truncate(path.c_str(), 100 << 20), 0);
    EXPECT_EQ(ReadNotesFile(path, &text, &why), -1);
    EXPECT_EQ(why, "the file is too large");
    std::string aside = SetNotesFileAside(path);
    EXPECT_TRUE(std::filesystem::exists(aside) && !std::filesystem::exists(path)) << aside;
}

TEST(NotesFile, ANoteWhoseQuoteMovedIsFoundAgainOrListedAsDetached) {
    ResetAppState();
    BYTE* article = LoadContent(179, nullptr);
    ASSERT_NE(article, nullptr);
    // A Hebrew record of the article, past its title.
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    int hebrew = -1;
    for (int i = 0; hebrew < 0 && NextArticleRecord(&walker, &record); i++)
        if ((record.style & kStyleRtl) && record.style != kRtlTitleStyle && record.textLength > 20) hebrew = i;
    ASSERT_GE(hebrew, 0);
    uint16_t start = (uint16_t)(record.text - article), end = (uint16_t)(start + 12);
    std::u16string quote = QuoteOfPassage(article, start, end);
    free(article);
    ASSERT_FALSE(quote.empty());
    struct Case {
        const char* what;
        uint16_t start, end;
        std::u16string quote;
        bool detached;
    } cases[] = {
        {"in place", start, end, quote, false},
        {"moved back", (uint16_t)(start + 7), (uint16_t)(end + 7), quote, false},
        {"moved past the article's end", 65000, 65012, quote, false},
        {"gone from the article", start, end, u"nowhere in this article", true},
    };
    for (const Case& c : cases) {
        std::vector<Note> notes = {Sample(179, c.start, c.end, c.quote, u"")};
        AnchorNotes(&notes);
        EXPECT_EQ(notes[0].detached, c.detached) << c.what;
        if (!c.detached) EXPECT_EQ(notes[0].start, start) << c.what;
        if (!c.detached) EXPECT_EQ(notes[0].record, hebrew) << c.what;
    }
}
