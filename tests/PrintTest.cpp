// Printing and PDF files: how articles break into pages, the reading text of
// right-to-left runs, and the PDF the command line writes, read back with poppler
// (pdfinfo, pdftotext) and pypdf.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <cstdio>
#include <fstream>
#include <filesystem>
#include <string>
#include <vector>

#include "HeadlessCall.h"
#include "cli/Headless.h"
#include "content/Content.h"
#include "content/IndexRecords.h"
#include "platform/Utf16.h"
#include "platform/qt/PdfFinish.h"
#include "platform/Picture.h"
#include "reader/Print.h"
#include "shell/AppState.h"
#include "shell/Export.h"
#include "views/TextMapping.h"

namespace {

std::string Temp(const std::string& name) { return testing::TempDir() + name; }

std::string Shell(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
    pclose(pipe);
    return out;
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// ---- Pages ----

struct PlanCase {
    const char* what;
    std::vector<BYTE> styles;  // one line each, 10 pixels high; 0x80 adds a blank row
    int first, end, body;
    std::vector<int> pageRows;  // each page's top row; empty: the plan fails
};

TEST(PrintPages, BreakBetweenLinesKeepHeadingsWithTheirTextAndRefuseTooSmallPages) {
    const BYTE p = kStylePlain, pb = kStylePlain | kStyleBlankAfter, h = 0x0C;  // h: a heading
    const PlanCase cases[] = {
        {"all on one page", {p, p, p}, 0, 3, 30, {0}},
        {"no line cut", {p, p, p, p}, 0, 4, 35, {0, 3}},
        {"blank rows take room, not a page's start", {pb, pb, p}, 0, 3, 40, {0, 4}},
        {"a heading at the foot goes over", {p, p, h, p, p}, 0, 5, 30, {0, 2}},
        {"two heading lines go over together", {p, h, h, p}, 0, 4, 30, {0, 1}},
        {"a page of only headings keeps one", {h, h, h, p}, 0, 4, 20, {0, 1, 2}},
        {"a selection starts at its line's row", {pb, pb, p, p}, 1, 3, 100, {2}},
        {"a page lower than a line", {p}, 0, 1, 9, {}},
    };
    for (const PlanCase& c : cases) {
        std::vector<ArticleLine> lines;
        for (BYTE style : c.styles) lines.push_back({0, 1, 0, 0, 10, 10, style});
        lines.push_back({});
        ArticleView view{};
        view.lines = lines.data();
        view.lineCount = (uint16_t)c.styles.size();
        std::vector<PrintPage> pages;
        bool planned = PlanPages(&view, c.first, c.end, c.body, &pages);
        EXPECT_EQ(planned, !c.pageRows.empty()) << c.what;
        std::vector<int> rows;
        for (const PrintPage& page : pages) {
            rows.push_back(page.topRow);
            EXPECT_LE(page.height, c.body + 10) << c.what;  // at most a blank row below the foot
        }
        if (planned) {
            EXPECT_EQ(rows, c.pageRows) << c.what;
        }
    }
}

TEST(PrintPages, TheDefaultSizeReadsAtTenToElevenPoints) {
    EXPECT_EQ(PrintFontSize(0, 72), 13);           // a 12.5 pt cell: about 10.7 pt type
    EXPECT_EQ(PrintFontSize(32, 600), 2 * PrintFontSize(0, 600));
}

TEST(PrintPages, APageTooSmallForOneLineIsRefusedWithAMessage) {
    HDC dc = CreatePictureDC(8, 8);
    ASSERT_NE(dc, nullptr);
    std::string message;
    PrintRequest request;
    EXPECT_EQ(PaintPrintRequest(dc, {600, 600, 600}, request, &message), 1);  // an inch square, margins and all
    EXPECT_EQ(message, "the page is too small for one line of text");
    DestroyPictureDC(dc);
}

TEST(PrintReadingText, RightToLeftRunsReadFromTheRightWithNumbersLeftToRight) {
    ResetAppState();
    gApp.Flags = kDefaultFlags & ~kFlagReverse;
    // Drawn left to right: ".<tav><nun><shin><bet> 1475" reads "1475 <bet><shin><nun><tav>." from the right.
    std::u16string drawn = u".\u05EA\u05E0\u05E9\u05D1 1475 (\u05D0)";
    EXPECT_EQ(ReadingTextOfRun(drawn.data(), (int)drawn.size()), u"(\u05D0) 1475 \u05D1\u05E9\u05E0\u05EA.");
    std::u16string latin = u"Latin 1475 \u0095";
    EXPECT_EQ(ReadingTextOfRun(latin.data(), (int)latin.size()), u"");
    gApp.Flags |= kFlagReverse;  // drawn already turned round: reads as drawn
    EXPECT_EQ(ReadingTextOfRun(drawn.data(), (int)drawn.size()), u"");
}

TEST(PdfFinish, InputNotAsTheWriterMakesItIsRefused) {
    PdfExtras extras;
    for (const char* bad : {"", "%PDF-1.4\n", "%PDF-1.4\nstartxref\n99999\n%%EOF\n",
                            "%PDF-1.4\n1 0 obj\n<<>>\nendobj\nxref\n0 2\n0000000000 65535 f \n0000000009 00000 n \n"
                            "trailer\n<< /Size 2 /Root 1 0 R /Info 1 0 R >>\nstartxref\n35\n%%EOF\n"})
        EXPECT_EQ(FinishPdf(bad, extras), "") << bad;
}

// ---- The PDF from the command line ----

// The whole handbook, written once for the tests that read it.
class HandbookPdf : public ::testing::Test {
  protected:
    static std::string sPath;
    static void SetUpTestSuite() {
        sPath = Temp("handbook.pdf");
        ASSERT_EQ(Velun({"--export", "all", "--format", "pdf", "--page-size", "a4", "--out", sPath}), 0);
    }
    static std::string Info(const std::string& path) { return Shell("pdfinfo '" + path + "' 2>&1"); }
    // What a pypdf script prints about the handbook (Debian's Python has pypdf).
    static std::string Pypdf(const std::string& name, const char* code) {
        std::string script = Temp(name);
        std::ofstream(script) << "import sys, pypdf\nr = pypdf.PdfReader(sys.argv[1])\n" << code;
        return Shell("/usr/bin/python3 '" + script + "' '" + sPath + "' 2>&1");
    }
};
std::string HandbookPdf::sPath;

std::string Field(const std::string& info, const std::string& name) {
    size_t at = info.find(name + ":");
    if (at == std::string::npos) return "";
    size_t start = info.find_first_not_of(' ', at + name.size() + 1);
    return info.substr(start, info.find('\n', start) - start);
}

TEST_F(HandbookPdf, CarriesTitleAuthorSubjectPaperAndAPagePerArticleAtLeast) {
    std::string info = Info(sPath);
    ASSERT_NE(Field(info, "Pages"), "") << info << " (pdfinfo is in poppler-utils)";
    EXPECT_EQ(Field(info, "Title"), "Velun");
    EXPECT_EQ(Field(info, "Author"), "Velmora");
    EXPECT_EQ(Field(info, "Subject"), "The Velun handbook");
    EXPECT_NE(Field(info, "Page size").find("(A4)"), std::string::npos);
    EXPECT_GE(std::stoi(Field(info, "Pages")), kArticleCount);

    std::string letter = Temp("letter.pdf");
    ASSERT_EQ(Velun({"--export", "124", "--format", "pdf", "--page-size", "letter", "--out", letter}), 0);
    info = Info(letter);
    EXPECT_NE(Field(info, "Page size").find("(letter)"), std::string::npos) << info;
    EXPECT_EQ(Field(info, "Subject"), "The Velun handbook, article 124");
}

// The article's text as pdftotext reads it from the pages: the head (title) and
// foot (page number) lines of each page left out. Poppler marks right-to-left
// stretches with invisible direction controls, which the export does not have.
std::u16string PdfText(const std::string& path) {
    std::u16string all = Utf8ToUtf16(Shell("pdftotext -layout -enc UTF-8 '" + path + "' -"));
    std::u16string text;
    size_t page = 0;
    while (page < all.size()) {
        size_t end = all.find(u'\f', page);
        if (end == std::u16string::npos) end = all.size();
        std::vector<std::u16string> lines;
        for (size_t at = page; at < end;) {
            size_t next = all.find(u'\n', at);
            if (next == std::u16string::npos || next > end) next = end;
            std::u16string line = all.substr(at, next - at);
            if (line.find_first_not_of(u' ') != std::u16string::npos) lines.push_back(line);
            at = next + 1;
        }
        for (size_t i = 1; i + 1 < lines.size(); i++) text += lines[i] + u"\n";
        page = end + 1;
    }
    std::erase_if(text, [](char16_t c) { return c == u'\u200E' || c == u'\u200F' || (c >= u'\u202A' && c <= u'\u202E'); });
    return text;
}

std::u16string WithoutSpaces(std::u16string text) {
    std::erase_if(text, [](char16_t c) { return c == u' ' || c == u'\n' || c == u'\r' || c == u'\t'; });
    return text;
}

// Each paragraph of the plain-text export (rules aside) in the PDF's text, in order.
TEST_F(HandbookPdf, EachArticleReadsAsThePlainTextExportParagraphByParagraph) {
    for (int number : {1, 33, 124, 142, 179}) {
        std::string pdf = Temp("article.pdf"), plain = Temp("article.txt");
        ASSERT_EQ(Velun({"--export", std::to_string(number), "--format", "pdf", "--out", pdf}), 0);
        ASSERT_EQ(Velun({"--export", std::to_string(number), "--base", "1488", "--out", plain}), 0);
        std::u16string text = WithoutSpaces(PdfText(pdf));
        std::u16string exported = Utf8ToUtf16(Shell("cat '" + plain + "'"));
        size_t from = 0, paragraphs = 0;
        for (size_t at = 0; at < exported.size();) {
            size_t end = exported.find(u'\n', at);
            if (end == std::u16string::npos) end = exported.size();
            std::u16string paragraph = WithoutSpaces(exported.substr(at, end - at));
            at = end + 1;
            if (paragraph.empty() || paragraph.find_first_not_of(u'-') == std::u16string::npos) continue;
            size_t found = text.find(paragraph, from);
            EXPECT_NE(found, std::u16string::npos) << "article " << number << ": " << Utf16ToUtf8(paragraph.c_str());
            if (found != std::u16string::npos) from = found + paragraph.size();
            paragraphs++;
        }
        EXPECT_GT(paragraphs, 3u) << number;
    }
}

// Article 26 names article 31: on the PDF, that reference is a link to the page
// where article 31 begins (a link annotation whose destination is that page).
TEST_F(HandbookPdf, ACrossReferenceIsALinkToItsArticlesFirstPage) {
    std::string links = Pypdf("links.py",
                              "pages = {p.indirect_reference.idnum: i for i, p in enumerate(r.pages)}\n"
                              "for i, p in enumerate(r.pages):\n"
                              "    annots = p.get('/Annots')\n"
                              "    for a in (annots.get_object() if annots else []):\n"
                              "        a = a.get_object()\n"
                              "        d = a.get('/Dest')\n"
                              "        if a.get('/Subtype') == '/Link' and d: print(i, pages[d[0].idnum])\n");
    std::u16string text = Utf8ToUtf16(Shell("pdftotext -enc UTF-8 '" + sPath + "' -"));
    // Pages are counted by form feeds: the page whose first line is an article's title.
    auto pageOf = [&](const std::u16string& title) {
        int page = 0;
        for (size_t at = 0; at < text.size(); page++) {
            if (text.compare(at, title.size(), title) == 0) return page;
            size_t end = text.find(u'\f', at);
            if (end == std::u16string::npos) break;
            at = end + 1;
        }
        return -1;
    };
    int from = pageOf(u"The Letter T"), to = pageOf(u"The Letter Y");
    ASSERT_GE(from, 0);
    ASSERT_GT(to, from);
    bool found = false;
    for (int page = from; page <= from + 2 && !found; page++)
        found = links.find(std::to_string(page) + " " + std::to_string(to) + "\n") != std::string::npos;
    EXPECT_TRUE(found) << links.substr(0, 400);
}

// The outline read with pypdf: the index's records in order, at their levels, each
// going to the page that starts with its article's title (a heading: the next one's).
TEST_F(HandbookPdf, OutlineIsTheIndexWithEachEntryOnItsArticlesFirstPage) {
    std::string outline = Pypdf("outline.py",
                                "def walk(items, depth):\n"
                                "    for item in items:\n"
                                "        if isinstance(item, list): walk(item, depth + 1)\n"
                                "        else: print(depth, r.get_destination_page_number(item), item.title, sep='\\t')\n"
                                "walk(r.outline, 0)\n");
    std::u16string pages = Utf8ToUtf16(Shell("pdftotext -enc UTF-8 '" + sPath + "' -"));
    std::vector<std::u16string> pageStarts;
    for (size_t at = 0; at < pages.size();) {
        size_t end = pages.find(u'\f', at);
        if (end == std::u16string::npos) break;
        pageStarts.push_back(pages.substr(at, pages.find(u'\n', at) - at));
        at = end + 1;
    }

    BYTE* index = LoadContent(kIndexContentNumber, nullptr);
    ASSERT_NE(index, nullptr);
    IndexWalker walker = StartIndexWalk(index);
    IndexEntry entry;
    size_t at = 0, entries = 0;
    int links = 0;
    while (NextIndexEntry(&walker, &entry)) {
        size_t end = outline.find('\n', at);
        ASSERT_NE(end, std::string::npos) << "outline ends after " << entries << " entries: " << outline.substr(0, 300);
        std::string row = outline.substr(at, end - at);
        at = end + 1;
        entries++;
        int depth = 0, page = 0;
        char title[512] = {};
        ASSERT_EQ(sscanf(row.c_str(), "%d\t%d\t%511[^\n]", &depth, &page, title), 3) << row;
        EXPECT_EQ(depth, entry.level - 1) << row;  // level 1 at the top
        EXPECT_EQ(std::string(title), std::string((const char*)entry.text, entry.textLength)) << row;
        int number = entry.key & kKeyNumberMask;
        if (!(entry.key & kKeyLink)) continue;
        BYTE* article = LoadContent(number, nullptr);
        ArticleHeaderEntry head, sub;
        ReadArticleHeader(article, &head, &sub);
        ASSERT_LT((size_t)page, pageStarts.size());
        EXPECT_NE(pageStarts[page].find(Utf8ToUtf16(std::string((const char*)head.text, head.textLength))),
                  std::u16string::npos) << row;
        if (page > 0) EXPECT_NE(pageStarts[page - 1], pageStarts[page]) << row;  // the article starts there
        free(article);
        links++;
    }
    free(index);
    EXPECT_EQ(at, outline.size()) << "more outline entries than index records";
    EXPECT_GT(links, 100);
}

TEST(PrintCommandLine, BadArgumentsExitWithTwoAndAnUnwritableFileWithOneLeavingNothing) {
    std::string out = Temp("never.pdf");
    EXPECT_EQ(Velun({"--export", "all", "--out", out}), 2);  // text export is one article
    EXPECT_EQ(Velun({"--export", "5", "--format", "pdf", "--page-size", "a5", "--out", out}), 2);
    EXPECT_EQ(Velun({"--export", "5", "--page-size", "letter", "--out", out}), 2);
    EXPECT_EQ(Velun({"--export", "al", "--format", "pdf", "--out", out}), 2);
    EXPECT_FALSE(Exists(out));

    EXPECT_EQ(Velun({"--export", "5", "--format", "pdf", "--out", "/nonexistent-folder/x.pdf"}), 1);
    std::string folder = Temp("readonly-pdf");
    std::filesystem::create_directories(folder);
    chmod(folder.c_str(), 0500);
    bool rootIgnoresModes = access(folder.c_str(), W_OK) == 0;
    if (!rootIgnoresModes) {
        EXPECT_EQ(Velun({"--export", "5", "--format", "pdf", "--out", folder + "/x.pdf"}), 1);
        EXPECT_TRUE(std::filesystem::is_empty(folder));
    }
    chmod(folder.c_str(), 0700);
    // A device is not replaced by the file.
    EXPECT_EQ(Velun({"--export", "5", "--format", "pdf", "--out", "/dev/null"}), 1);

    // A full disk, as a file size limit makes it: the write fails and nothing is left.
    std::string full = Temp("full-disk");
    std::filesystem::create_directories(full);
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit, small = {4096, 4096};
    getrlimit(RLIMIT_FSIZE, &limit);
    setrlimit(RLIMIT_FSIZE, &small);
    int status = Velun({"--export", "142", "--format", "pdf", "--out", full + "/x.pdf"});
    setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(std::filesystem::is_empty(full));
}

}  // namespace
