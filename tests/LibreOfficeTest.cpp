// The RTF that Copy makes, read by a real word processor: LibreOffice converts the
// documents to flat ODF and to text, and each paragraph must arrive with its text,
// its writing direction, its alignment and its type (weight, colour, size), Hebrew
// in reading order with its numbers as written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "content/ArticleRecords.h"
#include "content/Content.h"
#include "platform/Utf16.h"
#include "reader/NotesAnchor.h"
#include "reader/NotesExport.h"
#include "shell/AppState.h"
#include "shell/Export.h"

namespace {

// How a paragraph's text is set: fo:font-weight, fo:color and fo:font-size (for
// right-to-left text the complex-script weight and size).
struct Type {
    std::string weight, colour, size;
    bool operator==(const Type&) const = default;
};

struct Paragraph {
    std::string text;
    std::string align;  // fo:text-align
    std::string mode;   // style:writing-mode
    Type type;          // empty where not checked
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Attribute(const std::string& tag, const std::string& name) {
    size_t at = tag.find(" " + name + "=\"");
    if (at == std::string::npos) return "";
    at += name.size() + 3;
    return tag.substr(at, tag.find('"', at) - at);
}

// Text of a paragraph's content: elements dropped, spaces and tabs spelt out,
// entities decoded.
std::string TextOf(const std::string& xml) {
    std::string text;
    for (size_t i = 0; i < xml.size();) {
        if (xml[i] == '<') {
            size_t end = xml.find('>', i);
            std::string tag = xml.substr(i, end + 1 - i);
            if (tag.rfind("<text:s/", 0) == 0 || tag.rfind("<text:s ", 0) == 0) {
                std::string count = Attribute(tag, "text:c");
                text.append(count.empty() ? 1 : std::stoul(count), ' ');
            } else if (tag.rfind("<text:tab/", 0) == 0) {
                text += '\t';
            }
            i = end + 1;
        } else if (xml[i] == '&') {
            size_t end = xml.find(';', i);
            std::string name = xml.substr(i + 1, end - i - 1);
            static const std::map<std::string, char> kEntities = {
                {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
            text += kEntities.count(name) ? kEntities.at(name) : '?';
            i = end + 1;
        } else {
            text += xml[i++];
        }
    }
    return text;
}

std::string TagIn(const std::string& block, const std::string& name) {
    size_t at = block.find("<" + name);
    return at == std::string::npos ? "" : block.substr(at, block.find('>', at) - at);
}

// The non-empty paragraphs of a flat ODF text document, with their automatic
// paragraph styles' alignment and writing mode and the type of their first span.
std::vector<Paragraph> ParagraphsOf(const std::string& fodt) {
    std::map<std::string, std::pair<std::string, std::string>> styles;
    std::map<std::string, std::string> textProperties;
    for (size_t at = 0; (at = fodt.find("<style:style ", at)) != std::string::npos; at++) {
        size_t end = fodt.find("</style:style>", at);
        std::string block = fodt.substr(at, end - at);
        std::string name = Attribute(block, "style:name");
        textProperties[name] = TagIn(block, "style:text-properties");
        std::string tag = TagIn(block, "style:paragraph-properties");
        if (!tag.empty()) styles[name] = {Attribute(tag, "fo:text-align"), Attribute(tag, "style:writing-mode")};
    }
    std::vector<Paragraph> paragraphs;
    for (size_t at = 0; (at = fodt.find("<text:p", at)) != std::string::npos; at++) {
        size_t tagEnd = fodt.find('>', at);
        std::string tag = fodt.substr(at, tagEnd - at);
        if (tag.size() > 7 && tag[7] != ' ') continue;  // <text:page-...
        if (tag.back() == '/') continue;
        size_t close = fodt.find("</text:p>", tagEnd);
        std::string content = fodt.substr(tagEnd + 1, close - tagEnd - 1);
        std::string text = TextOf(content);
        if (text.empty()) continue;
        auto style = styles[Attribute(tag, "text:style-name")];
        std::string span = TagIn(content, "text:span");
        std::string props = textProperties[Attribute(span.empty() ? tag : span, "text:style-name")];
        bool rtl = style.second == "rl-tb";
        Type type = {Attribute(props, rtl ? "style:font-weight-complex" : "fo:font-weight"), Attribute(props, "fo:color"),
                     Attribute(props, rtl ? "style:font-size-complex" : "fo:font-size")};
        paragraphs.push_back({text, style.first, style.second, type});
    }
    return paragraphs;
}

// LibreOffice gives each space of a run of several a six-per-em space before it.
std::string Normalised(std::string text) {
    const std::string narrow = "\u2006";
    for (size_t at; (at = text.find(narrow)) != std::string::npos;) text.erase(at, narrow.size());
    return text;
}

// What the paragraphs must be, from the article's records and its plain text: a
// right-to-left record reads right to left and stands at the right unless centred.
std::vector<Paragraph> Expected(const BYTE* article, const WCHAR* text) {
    std::vector<Paragraph> paragraphs;
    RangeWalker walker = StartRangeWalk(WholeArticle(article));
    for (ArticleRecord record; NextRangeRecord(&walker, &record);) {
        std::u16string line((const char16_t*)text, PlainLineLength(record));
        text += line.size();
        while (!line.empty() && (line.back() == u'\r' || line.back() == u'\n')) line.pop_back();
        if (line.empty()) continue;
        bool rtl = (record.style & kStyleRtl) && !IsSeparatorStyle(record.style);
        BYTE align = record.style & kStyleAlignMask;
        std::string alignment = align == kStyleCentre ? "center" : (rtl || align == kStyleRight) ? "end" : "start";
        // Bold, headings (large and bold) blue, large and small print at the view's proportions.
        bool rule = IsSeparatorStyle(record.style), large = !rule && (record.style & kStyleLarge);
        bool bold = !rule && (record.style & kStyleBold), small = !rule && !large && (record.style & kStyleSmall);
        Type type = {bold ? "bold" : "normal", large && bold ? "#0000ff" : "#000000",
                     large ? "12.5pt" : small ? "7.5pt" : "10pt"};
        paragraphs.push_back({Utf16ToUtf8((const WCHAR*)line.c_str()), alignment, rtl ? "rl-tb" : "lr-tb", type});
    }
    return paragraphs;
}

// A passage of an article marked pink, as the reader marks a highlight: LibreOffice
// must show it on that colour.
RtfHighlight gPinkPassage;
std::string gPinkText;

int PinkPassage(const BYTE*, RtfHighlight* out, int capacity) {
    if (capacity < 1) return 0;
    *out = gPinkPassage;
    return 1;
}

// Twenty plain characters from the middle of the article's first long record.
void ChoosePinkPassage(int number) {
    BYTE* article = LoadContent(number, nullptr);
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    while (gPinkText.empty() && NextArticleRecord(&walker, &record)) {
        if (record.textLength < 60 || (record.style & kStyleRtl) || IsSeparatorStyle(record.style)) continue;
        std::string text((const char*)record.text + 20, 20);
        if (text.find("  ") != std::string::npos || text.front() == ' ' || text.back() == ' ') continue;
        size_t start = (size_t)(record.text - article) + 20;
        gPinkPassage = {start, start + 20, 3};
        gPinkText = text;
    }
    free(article);
}

struct Document {
    std::string rtf;
    std::vector<Paragraph> expected;
};

// Copy of the article at the Hebrew base, or Append to an earlier document.
void AddArticle(Document* document, int number) {
    BYTE* article = LoadContent(number, nullptr);
    ASSERT_NE(article, nullptr);
    WCHAR* text = RenderExportText(WholeArticle(article));
    ASSERT_NE(text, nullptr);
    auto* block = (char*)BuildRtfBlock(WholeArticle(article), text, (const BYTE*)document->rtf.data(),
                                       document->rtf.size());
    ASSERT_NE(block, nullptr);
    if (!document->rtf.empty()) document->expected.push_back({"*  *  *  *  *", "center", "", {}});
    for (Paragraph& p : Expected(article, text)) document->expected.push_back(p);
    document->rtf = block;
    LocalFree(block);
    free(text);
    free(article);
}

std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(' '), last = text.find_last_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, last + 1 - first);
}

// Notes exported as RTF: a whole English record with a Hebrew note, a whole Hebrew
// record with an English note. Expected: each title, passage and note, in order,
// with its direction.
void AddNotes(Document* document) {
    std::vector<Note> notes;
    for (int number : {4, 179}) {
        bool rtl = number == 179;
        BYTE* article = LoadContent(number, nullptr);
        ASSERT_NE(article, nullptr);
        ArticleHeaderEntry title;
        ReadArticleHeader(article, &title, nullptr);
        size_t titleStart = (size_t)(title.text - article);
        std::u16string heading = QuoteOfPassage(article, (int)titleStart, (int)(titleStart + title.textLength));
        ArticleWalker walker = StartArticleWalk(article);
        ArticleRecord record;
        while (NextArticleRecord(&walker, &record) && !(((record.style & kStyleRtl) != 0) == rtl &&
                                                          record.textLength > 20 && record.text != title.text)) {
        }
        Note n{};
        n.article = (uint16_t)number;
        n.start = (uint16_t)(record.text - article);
        n.end = (uint16_t)(n.start + record.textLength);
        n.quote = QuoteOfPassage(article, n.start, n.end);
        n.text = rtl ? u"An English note" : u"\u05D4\u05E2\u05E8\u05D4 \u05D1\u05E2\u05D1\u05E8\u05D9\u05EA";
        free(article);
        notes.push_back(n);
        const char* mode = rtl ? "rl-tb" : "lr-tb";
        document->expected.push_back({Utf16ToUtf8(heading.c_str()), "center", "", {}});
        document->expected.push_back({Trimmed(Utf16ToUtf8(n.quote.c_str())), "", mode, {}});
        document->expected.push_back({Utf16ToUtf8(n.text.c_str()), "", rtl ? "lr-tb" : "rl-tb", {}});
    }
    ASSERT_TRUE(ExportNotes(notes, NotesFormat::kRtf, &document->rtf));
}

class LibreOffice : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ResetAppState();
        gApp.Flags = kDefaultFlags;
        gApp.fontSettings.FontAsciiBase = 1488;
        std::string pattern = testing::TempDir() + "velun-office-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        sFolder = pattern;
        AddArticle(&sDocuments["english"], 4);
        ChoosePinkPassage(4);
        gRtfHighlights = PinkPassage;
        AddArticle(&sDocuments["highlight"], 4);
        gRtfHighlights = nullptr;
        AddArticle(&sDocuments["numbers"], 124);
        AddArticle(&sDocuments["bidi"], 179);
        AddArticle(&sDocuments["pair"], 7);
        AddArticle(&sDocuments["pair"], 124);
        AddNotes(&sDocuments["notes"]);
        std::string files;
        for (auto& [name, document] : sDocuments) {
            WriteFile(sFolder + "/" + name + ".rtf", document.rtf);
            files += " " + sFolder + "/" + name + ".rtf";
        }
        // Its own profile, so that no other LibreOffice takes the work, and a time limit.
        for (const char* format : {"fodt", "'txt:Text (encoded):UTF8'"}) {
            std::string command = "timeout 240 soffice -env:UserInstallation=file://" + sFolder +
                                  "/profile --headless --convert-to " + format + " --outdir " + sFolder + files +
                                  " >>" + sFolder + "/soffice.log 2>&1";
            ASSERT_EQ(system(command.c_str()), 0) << "LibreOffice (libreoffice-writer-nogui, installed by "
                                                     "scripts/install-deps.sh --test) failed: "
                                                  << ReadFile(sFolder + "/soffice.log");
        }
    }
    static void TearDownTestSuite() { std::system(("rm -rf " + sFolder).c_str()); }

    // Each paragraph LibreOffice read against the one the article makes.
    static void ExpectParagraphs(const std::string& name) {
        std::vector<Paragraph> read = ParagraphsOf(ReadFile(sFolder + "/" + name + ".fodt"));
        const std::vector<Paragraph>& expected = sDocuments[name].expected;
        auto list = [](const std::vector<Paragraph>& paragraphs) {
            std::string lines;
            for (const Paragraph& p : paragraphs) lines += p.text.substr(0, 40) + "\n";
            return lines;
        };
        ASSERT_EQ(read.size(), expected.size()) << name << "\nread:\n" << list(read) << "expected:\n" << list(expected);
        for (size_t i = 0; i < read.size(); i++) {
            const Paragraph &got = read[i], &want = expected[i];
            // Runs of spaces arrive with narrow spaces between; single spaces arrive alone.
            if (want.text.find("  ") == std::string::npos) {
                EXPECT_EQ(got.text, want.text) << name << " " << i;
            }
            EXPECT_EQ(Normalised(got.text), want.text) << name << " " << i;
            EXPECT_EQ(got.align, want.align) << name << " " << i << ": " << want.text;
            if (!want.mode.empty()) {
                EXPECT_EQ(got.mode, want.mode) << name << " " << i << ": " << want.text;
            }
            if (!want.type.weight.empty()) {
                EXPECT_EQ(got.type.weight, want.type.weight) << name << " " << i << ": " << want.text;
                EXPECT_EQ(got.type.colour, want.type.colour) << name << " " << i << ": " << want.text;
                EXPECT_EQ(got.type.size, want.type.size) << name << " " << i << ": " << want.text;
            }
        }
    }

    // The text LibreOffice reads, one paragraph a line.
    static std::string Text(const std::string& name) { return ReadFile(sFolder + "/" + name + ".txt"); }

    static std::string sFolder;
    static std::map<std::string, Document> sDocuments;
};

std::string LibreOffice::sFolder;
std::map<std::string, Document> LibreOffice::sDocuments;

// One test, so that LibreOffice starts once for all the documents.
TEST_F(LibreOffice, ReadsEachParagraphAsTheArticleHasIt) {
    {
        SCOPED_TRACE("an English article with bullets and centred lines");
        ExpectParagraphs("english");
        std::string text = Text("english");
        EXPECT_NE(text.find("\n\u2022 "), std::string::npos);  // the list bullet, then one space
        EXPECT_EQ(text.find("\u0095"), std::string::npos);
    }
    {
        // The paragraphs as the collection's sources write them, in reading order.
        SCOPED_TRACE("Hebrew with numbers");
        ExpectParagraphs("numbers");
        ExpectParagraphs("bidi");
        const char* written[][2] = {
            {"numbers",
             "\u05D9 10, \u05DB 20, \u05DC 30, \u05DE 40, \u05E0 50, \u05E1 60, \u05E2 70, \u05E4 80, \u05E6 90"},
            {"numbers", "\u05E7 100, \u05E8 200, \u05E9 300, \u05EA 400"},
            {"bidi", "\u05D1\u05E9\u05E0\u05EA 1475 \u05D4\u05D5\u05D3\u05E4\u05E1 \u05E1\u05E4\u05E8 "
                     "\u05D1\u05E2\u05D1\u05E8\u05D9\u05EA."},
            {"bidi", "\u05D4\u05E4\u05E8\u05E7 \u05D4\u05E9\u05DC\u05D9\u05E9\u05D9 (\u05E2\u05DE\u05D5\u05D3 12) "
                     "\u05E7\u05E6\u05E8."},
        };
        for (auto& [name, line] : written) {
            EXPECT_NE(Text(name).find("\n" + std::string(line) + "\n"), std::string::npos) << line;
            bool found = false;
            for (const Paragraph& p : ParagraphsOf(ReadFile(sFolder + "/" + name + ".fodt")))
                found = found || (p.text == line && p.mode == "rl-tb" && p.align == "end");
            EXPECT_TRUE(found) << line;
        }
    }
    {
        SCOPED_TRACE("an appended pair");
        ExpectParagraphs("pair");
        std::string text = Text("pair");
        size_t separator = text.find("*");
        ASSERT_NE(separator, std::string::npos);
        EXPECT_LT(text.find("The Letter A"), separator);
        EXPECT_GT(text.find("Hebrew Letters as Numbers"), separator);
    }
    {
        SCOPED_TRACE("notes: titles, passages and notes in order, each in its direction");
        std::vector<Paragraph> read = ParagraphsOf(ReadFile(sFolder + "/notes.fodt"));
        size_t next = 0;
        for (const Paragraph& want : sDocuments["notes"].expected) {
            while (next < read.size() && Trimmed(Normalised(read[next].text)) != want.text) next++;
            ASSERT_LT(next, read.size()) << want.text;
            if (!want.mode.empty()) {
                EXPECT_EQ(read[next].mode, want.mode) << want.text;
            }
        }
    }
}

}  // namespace

TEST_F(LibreOffice, ShowsAHighlightedPassageOnItsColour) {
    ASSERT_FALSE(gPinkText.empty());
    ExpectParagraphs("highlight");
    std::string fodt = ReadFile(sFolder + "/highlight.fodt");
    std::smatch style;
    ASSERT_TRUE(std::regex_search(fodt, style, std::regex("<style:style style:name=\"(T[0-9]+)\" style:family=\"text\">"
                                                          "\\s*<style:text-properties[^>]*fo:background-color=\"#ffb4d2\"")));
    std::string marked, open = "<text:span text:style-name=\"" + style[1].str() + "\">";
    for (size_t at = fodt.find(open); at != std::string::npos; at = fodt.find(open, at + 1)) {
        size_t from = at + open.size();
        marked += TextOf(fodt.substr(from, fodt.find("</text:span>", from) - from));
    }
    EXPECT_EQ(marked, gPinkText);
}
