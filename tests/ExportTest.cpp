// Copy and Append to ClipBoard: the plain-text rendering, the RTF document and
// appending to what the clipboard holds.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "ArticleFixture.h"
#include "platform/TestHooks.h"
#include "shell/Export.h"
#include "tools/HebrewText.h"

namespace {

const std::string kHeader =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset177\\cpg1255 David;}}{\\colortbl\\red0\\green0\\blue0;"
    "\\red255\\green255\\blue255;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red255\\green240\\blue120;"
    "\\red170\\green230\\blue160;\\red160\\green205\\blue255;\\red255\\green180\\blue210;}\\rtldoc\\pard\\rtlpar\\qr\\lang1033\\f0\\fs20\\uc0\r\n";
const std::string kSeparator = "\\qc\\cf2\\fs72\\b*  *  *  *  *\\b0\\par\\par\\qr\\fs20\\cf0\r\n";
const std::string kParEnd = "\\par\\par\r\n";
// A paragraph's type: bold or not, colour index, half-points, for both directions' runs.
std::string Type(bool bold, int colour, int size) {
    std::string b = bold ? "" : "0", fs = std::to_string(size);
    return "\\rtlch\\ab" + b + "\\afs" + fs + "\\ltrch\\b" + b + "\\cf" + std::to_string(colour) + "\\fs" + fs + " ";
}
const std::string kPlainType = Type(false, 0, 20);
const std::string kHeadingType = Type(true, 3, 25);
const std::string kRtlPar = "\\pard\\rtlpar\\qr" + kPlainType;
const std::string kLtrPar = "\\pard\\ltrpar\\ql" + kPlainType;
// An article without records: text given to the RTF body stays in no paragraph.
const BYTE kNoRecords[8] = {};

UINT RtfFormat() { return RegisterClipboardFormatW(TEXT("Rich Text Format")); }

std::string ClipboardBytes(UINT format) {
    size_t size = 0;
    BYTE* copy = GetClipboardCopy(format, &size);
    std::string bytes = copy ? std::string((const char*)copy, size) : "<none>";
    free(copy);
    return bytes;
}

std::u16string ClipboardText() {
    std::string bytes = ClipboardBytes(CF_UNICODETEXT);
    if (bytes == "<none>") return u"<none>";
    return std::u16string((const char16_t*)bytes.data(), bytes.size() / 2);
}

std::string ClipboardRtf() { return ClipboardBytes(RtfFormat()); }

void Put(UINT format, const void* data, size_t size) {
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE, size);
    memcpy(block, data, size);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(format, block);
    CloseClipboard();
}

void PutText(const std::u16string& text) { Put(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * 2); }
void PutRtf(const std::string& rtf) { Put(RtfFormat(), rtf.c_str(), rtf.size() + 1); }

class ExportTest : public ArticleViewTest {
  protected:
    void SetUp() override {
        ArticleViewTest::SetUp();
        ScriptMessageBoxes({});
        gApp.Flags = kDefaultFlags;
        Open(240, 320);
        PutText(u"before");
    }
    void TearDown() override {
        StopMessageBoxScript();
        ArticleViewTest::TearDown();
    }

    void Export(const std::vector<TestRecord>& records, int base, int append = 0) {
        gApp.fontSettings.FontAsciiBase = base;
        ASSERT_EQ(Layout(records), kLayoutOk);
        ExportArticle(view, append);
    }

    std::u16string Rendered(const std::vector<TestRecord>& records, int base) {
        Export(records, base);
        return ClipboardText();
    }
};

TEST_F(ExportTest, PlainTextHasOneLineForEachRecord) {
    EXPECT_EQ(Rendered({{0x81, 0, "Hello"}}, 97), u"Hello\r\n\r\n");
    EXPECT_EQ(Rendered({{0x81, 3, "Hello"}}, 97), u"   Hello\r\n\r\n");
    // Right-to-left: the indent follows the text; hanging bits are not indent.
    EXPECT_EQ(Rendered({{0x91, 3, "Hello"}}, 97), u"Hello   \r\n\r\n");
    EXPECT_EQ(Rendered({{0x01, 0x43, "ab"}, {0x11, 0xC1, "cd"}, {0x81, 0, "ef"}}, 97), u"   ab\r\ncd \r\nef\r\n\r\n");
}

TEST_F(ExportTest, SeparatorsBecomeRowsOfDashes) {
    std::u16string text = Rendered({{0x07, 0xC5, ""}, {0x07, 20, ""}, {0x07, 160, ""}, {0x87, 0, ""}}, 97);
    std::u16string expected = std::u16string(74, u'-') + u"\r\n" + std::u16string(20, u'-') + u"\r\n" +
                              std::u16string(160, u'-') + u"\r\n\r\n\r\n";
    EXPECT_EQ(text, expected);
    EXPECT_EQ(Rendered({{0x07, 161, ""}, {0x07, 255, ""}}, 97),
              std::u16string(2, u'-') + u"\r\n" + std::u16string(190, u'-') + u"\r\n");
}

TEST_F(ExportTest, UnicodeHebrewBecomesAnRtfDocumentInReadingOrder) {
    Export({{0x91, 0, "ab"}}, 1488);
    EXPECT_EQ(ClipboardRtf(), kHeader + kRtlPar + "\\u1489\\u1488" + kParEnd + kParEnd + "}\r\n");
    // The same text goes along as Unicode text, for programs that read no RTF; the
    // Reverse option is as it was.
    EXPECT_EQ(ClipboardText(), u"\u05D1\u05D0\r\n\r\n");
    EXPECT_EQ(gApp.Flags, kDefaultFlags);
    // With Reverse on, the rendering turns it off: the stored order comes out.
    gApp.Flags |= kFlagReverse;
    Export({{0x91, 0, "ab"}}, 1488);
    EXPECT_EQ(ClipboardRtf(), kHeader + kRtlPar + "\\u1488\\u1489" + kParEnd + kParEnd + "}\r\n");
    EXPECT_EQ(ClipboardText(), u"\u05D0\u05D1\r\n\r\n");
    EXPECT_EQ(gApp.Flags, kDefaultFlags | kFlagReverse);
}

TEST_F(ExportTest, Latin1BaseStaysUnicodeText) {
    PutRtf("{\\rtf1 old}");
    Export({{0x91, 0, "ab"}, {0x81, 0, "x"}}, 224);
    EXPECT_EQ(ClipboardText(), u"\u00E0\u00E1\r\n\r\nx\r\n\r\n");
    EXPECT_EQ(ClipboardRtf(), "<none>");
}

TEST_F(ExportTest, RtfBodyEscapesSpellsOutAndBoundsEveryUnit) {
    const char16_t* text = u"a  b\\{}\x95\u05D0\uFB2C\r\n\r\r\n\t\uFB37";
    std::string expected = "a  b\\\\\\{\\}\\u149\\u1488\\u1513\\u1468\\u1473" + kParEnd + "\\u9\\u64311" + kParEnd;
    // 13, then 1 + 2 + 1, three escapes of 2, 5 below 1000, 6 for 1488, 3 x 6 for
    // the presentation form, 12 for the line breaks, 5 for the tab, 7 from 10000.
    size_t bound = BuildRtfBody(WholeArticle(kNoRecords), (const WCHAR*)text, nullptr);
    EXPECT_EQ(bound, 13u + 4 + 6 + 5 + 6 + 18 + 12 + 5 + 7);
    std::string out(bound + 1, '#');
    size_t length = BuildRtfBody(WholeArticle(kNoRecords), (const WCHAR*)text, out.data());
    EXPECT_EQ(length, expected.size());
    EXPECT_EQ(out.substr(0, length), expected);
    EXPECT_EQ(out[length], '\0');
}

TEST_F(ExportTest, BoundCoversTheBodyForEveryUnit) {
    std::u16string all;
    for (uint32_t u = 1; u <= 0xFFFF; u++) all.push_back((char16_t)u);
    // Every unit after every other: after a \uN each space and digit takes a delimiter.
    for (WCHAR u : {u'0', u' ', u'9'}) {
        for (uint32_t i = 0x7F; i <= 0xFFFF; i += 7) {
            all.push_back((char16_t)i);
            all.push_back(u);
        }
    }
    BYTE* article = MakeArticle({{0x91, 0, "x"}, {0x81, 63, std::string(200, ' ')}});
    size_t bound = BuildRtfBody(WholeArticle(article), (const WCHAR*)all.c_str(), nullptr);
    std::string out(bound + 1, '#');
    EXPECT_LT(BuildRtfBody(WholeArticle(article), (const WCHAR*)all.c_str(), out.data()), bound);
    EXPECT_EQ(out[bound], '#');
    free(article);
}

TEST_F(ExportTest, PresentationFormsAreTheTwentySevenHebrewOnes) {
    std::vector<int> found;
    for (int u = 0; u <= 0xFFFF; u++)
        if (FindPresentationForm((WCHAR)u)) found.push_back(u);
    std::vector<int> expected = {0xFB2A, 0xFB2B, 0xFB2C, 0xFB2D, 0xFB30, 0xFB31, 0xFB32, 0xFB33, 0xFB34,
                                 0xFB35, 0xFB36, 0xFB38, 0xFB39, 0xFB3A, 0xFB3B, 0xFB3C, 0xFB3E, 0xFB40,
                                 0xFB41, 0xFB43, 0xFB44, 0xFB46, 0xFB47, 0xFB48, 0xFB49, 0xFB4A, 0xFB4B};
    EXPECT_EQ(found, expected);
    auto components = [](WCHAR u) {
        const PresentationForm* f = FindPresentationForm(u);
        return std::vector<int>{f->components[0], f->components[1], f->components[2]};
    };
    EXPECT_EQ(components(0xFB2C), (std::vector<int>{0x05E9, 0x05BC, 0x05C1}));
    EXPECT_EQ(components(0xFB36), (std::vector<int>{0x05D6, 0x05BC, 0}));
    EXPECT_EQ(components(0xFB38), (std::vector<int>{0x05D8, 0x05BC, 0}));
    EXPECT_EQ(components(0xFB46), (std::vector<int>{0x05E6, 0x05BC, 0}));
    EXPECT_EQ(components(0xFB4A), (std::vector<int>{0x05EA, 0x05BC, 0}));
    EXPECT_EQ(components(0xFB4B), (std::vector<int>{0x05D5, 0x05B9, 0}));
}

TEST_F(ExportTest, AppendingRtfReopensTheEarlierDocument) {
    std::string body = kRtlPar + "\\u1488" + kParEnd + kParEnd;
    PutRtf("{\\rtf1 old}\r\n");
    Export({{0x91, 0, "a"}}, 1488, 1);
    EXPECT_EQ(ClipboardRtf(), "{\\rtf1 old" + kSeparator + body + "}\r\n");
    // Only white space and one closing brace are dropped.
    PutRtf("{\\rtf1 {x}}} \t\n\r");
    Export({{0x91, 0, "a"}}, 1488, 1);
    EXPECT_EQ(ClipboardRtf(), "{\\rtf1 {x}}" + kSeparator + body + "}\r\n");
    // Without RTF on the clipboard, Append is Copy.
    PutText(u"text only");
    Export({{0x91, 0, "a"}}, 1488, 1);
    EXPECT_EQ(ClipboardRtf(), kHeader + body + "}\r\n");
    // Two exports in a row make one document with one closing.
    Export({{0x91, 0, "a"}}, 1488, 1);
    EXPECT_EQ(ClipboardRtf(), kHeader + body + kSeparator + body + "}\r\n");
}

// One empty line parts the earlier text from the article; line ends it has count.
TEST_F(ExportTest, AppendingTextLeavesOneEmptyLineAfterTheOldText) {
    const std::u16string cases[][2] = {
        {u"X", u"X\r\n\r\nHello\r\n\r\n"},
        {u"X\r\n", u"X\r\n\r\nHello\r\n\r\n"},
        {u"X\r\n\r\n", u"X\r\n\r\nHello\r\n\r\n"},
        {u"X\r\n\r\n\r\n", u"X\r\n\r\n\r\nHello\r\n\r\n"},
        {u"X\n", u"X\n\r\nHello\r\n\r\n"},
        {u"\r\n", u"\r\n\r\nHello\r\n\r\n"},
    };
    for (const auto& [old, appended] : cases) {
        PutText(old);
        Export({{0x81, 0, "Hello"}}, 97, 1);
        EXPECT_EQ(ClipboardText(), appended);
    }
    PutRtf("{\\rtf1 only}");
    Export({{0x81, 0, "Hello"}}, 97, 1);
    EXPECT_EQ(ClipboardText(), u"Hello\r\n\r\n");
}

// With Unicode Hebrew each format extends the clipboard's own data in that format.
TEST_F(ExportTest, AppendAtTheHebrewBaseExtendsBothFormats) {
    std::string body = kRtlPar + "\\u1488" + kParEnd + kParEnd;
    Export({{0x91, 0, "a"}}, 1488);
    Export({{0x91, 0, "b"}}, 1488, 1);
    EXPECT_EQ(ClipboardText(), u"\u05D0\r\n\r\n\u05D1\r\n\r\n");  // its own blank line is the separator
    EXPECT_EQ(ClipboardRtf(), kHeader + body + kSeparator + kRtlPar + "\\u1489" + kParEnd + kParEnd + "}\r\n");
    // Text from another program is extended as text; the RTF starts afresh.
    PutText(u"X");
    Export({{0x91, 0, "a"}}, 1488, 1);
    EXPECT_EQ(ClipboardText(), u"X\r\n\r\n\u05D0\r\n\r\n");
    EXPECT_EQ(ClipboardRtf(), kHeader + body + "}\r\n");
}

std::string Body(const std::vector<TestRecord>& records, int base) {
    gApp.fontSettings.FontAsciiBase = base;
    BYTE* article = MakeArticle(records);
    WCHAR* text = RenderExportText(WholeArticle(article));
    std::string body(BuildRtfBody(WholeArticle(article), text, nullptr) + 1, '#');
    body.resize(BuildRtfBody(WholeArticle(article), text, body.data()));
    free(text);
    free(article);
    return body;
}

// Each record is a paragraph of its own: a header that governed the whole body
// made every English paragraph right-to-left.
TEST_F(ExportTest, ParagraphsTakeTheirRecordsDirectionAndAlignment) {
    std::string body = Body({{0xCC, 0, "T"},
                             {0x81, 0x40, "p"},
                             {0x21, 0, "r"},
                             {0xC7, 0xC5, ""},
                             {0xB1, 0, "a"},
                             {0xDC, 0, "b"},
                             {0x91, 0, "c"},
                             {0xF1, 0, "d"}},
                            1488);
    EXPECT_EQ(body, "\\pard\\ltrpar\\qc" + kHeadingType + "T" + kParEnd + kLtrPar + "p" + kParEnd +  //
                        "\\pard\\ltrpar\\qr" + kPlainType + "r" + kParEnd +                  // right-aligned line
                        "\\pard\\ltrpar\\qc" + kPlainType + std::string(74, '-') + kParEnd +  // a rule has no direction
                        kRtlPar + "\\u1488" + kParEnd + "\\pard\\rtlpar\\qc" + kHeadingType + "\\u1489" + kParEnd +
                        kRtlPar + "\\u1490" + kParEnd +  // right-to-left text stands at the right
                        kRtlPar + "\\u1491" + kParEnd + kParEnd);
}

// Bold, the heading colour and the three sizes as the view draws them; large wins
// over small, and only large bold text is a heading.
TEST_F(ExportTest, ParagraphsCarryTheArticlesTypography) {
    const struct {
        BYTE style;
        std::string type;
    } cases[] = {
        {0x01, kPlainType},         {0x09, Type(true, 0, 20)},  {0x04, Type(false, 0, 25)}, {0x0C, kHeadingType},
        {0x0E, kHeadingType},       {0x02, Type(false, 0, 15)}, {0x0A, Type(true, 0, 15)},  {0x1C, kHeadingType},
        {0x0F, kPlainType},  // a rule
    };
    for (const auto& c : cases) {
        std::string direction = (c.style & kStyleRtl) ? "\\pard\\rtlpar\\qr" : "\\pard\\ltrpar\\ql";
        std::string text = (c.style & kStyleRtl) ? "\\u1488" : IsSeparatorStyle(c.style) ? "" : "a";
        EXPECT_EQ(Body({{c.style, 0, "a"}}, 1488), direction + c.type + text + kParEnd + kParEnd) << (int)c.style;
    }
}

// A control word swallows the one space that ends it, so only there does a space
// need another; ordinary characters keep the article's spaces exactly.
TEST_F(ExportTest, SpacesAndDigitsArriveAsTheArticleHasThem) {
    EXPECT_EQ(Body({{0x01, 0, "a b  c"}}, 1488), kLtrPar + "a b  c" + kParEnd + kParEnd);
    EXPECT_EQ(Body({{0x01, 3, "x"}}, 1488), kLtrPar + "   x" + kParEnd + kParEnd);
    // Stored in display order: the reading order is b, a with two spaces, then 7.
    EXPECT_EQ(Body({{0x11, 0, "7 a  b"}}, 1488), kRtlPar + "\\u1489   \\u1488  7" + kParEnd + kParEnd);
    // A digit right after \uN would become part of its number.
    EXPECT_EQ(Body({{0x11, 0, "12a"}}, 1488), kRtlPar + "\\u1488 12" + kParEnd + kParEnd);
    EXPECT_EQ(Body({{0x11, 0, "a.b"}}, 1488), kRtlPar + "\\u1489.\\u1488" + kParEnd + kParEnd);
}

// The screen draws the bytes 0x80..0x9F as Windows-1252 characters; the list
// bullet 0x95 must not arrive as a C1 control.
TEST_F(ExportTest, C1BytesGoOutAsTheScreenShowsThem) {
    EXPECT_EQ(Rendered({{0x81, 0x40, "\x95 item"}, {0x01, 0, "\x80\x81\x9F\xA0"}}, 97),
              u"\u2022 item\r\n\r\n\u20AC\u0081\u0178\u00A0\r\n");
    EXPECT_EQ(Body({{0x81, 0x40, "\x95 item"}}, 1488), kLtrPar + "\\u8226  item" + kParEnd + kParEnd);
    Export({{0x81, 0x40, "\x95 item"}}, 1488);
    EXPECT_EQ(ClipboardText(), u"\u2022 item\r\n\r\n");
}

// The compiler puts Hebrew into display order; the export must give back the text
// as it was written, numbers reading left to right inside it.
TEST_F(ExportTest, ReadingOrderKeepsNumbersAsWritten) {
    const char32_t* sentences[] = {
        U"\u05D1\u05E9\u05E0\u05EA 1475 \u05D4\u05D5\u05D3\u05E4\u05E1.",  // in the year 1475 ...
        U"\u05D4\u05E4\u05E8\u05E7 (\u05E2\u05DE\u05D5\u05D3 12) \u05E7\u05E6\u05E8.",
        U"\u05D9 10, \u05DB 20, \u05DC 30",
        U"\u05D1\u05E9\u05E2\u05D4 12:30 \u05D5-1,000.50 \u05E9\u05E7\u05DC",
        U"10",
    };
    for (const char32_t* sentence : sentences) {
        std::string stored;
        ASSERT_TRUE(HebrewToStored(sentence, &stored));
        std::u16string expected(sentence, sentence + std::char_traits<char32_t>::length(sentence));
        expected += u"\r\n\r\n";
        EXPECT_EQ(Rendered({{0xB1, 0, stored}}, 1488), expected) << stored;
        // Reverse on at the code page base reverses too, and so restores numbers too.
        gApp.Flags |= kFlagReverse;
        std::u16string atCodePage = Rendered({{0xB1, 0, stored}}, 224);
        gApp.Flags &= ~kFlagReverse;
        for (char16_t& u : expected)
            if (u >= 0x05D0) u = (char16_t)(u - 0x05D0 + 224);
        EXPECT_EQ(atCodePage, expected) << stored;
    }
    // Without reversal the display order goes out as stored.
    gApp.Flags |= kFlagReverse;
    EXPECT_EQ(Rendered({{0xB1, 0, "0741 a"}}, 1488), u"0741 \u05D0\r\n\r\n");
}

// A range takes the records it touches, their text cut to it.
TEST_F(ExportTest, RangeCutsRecordsAndText) {
    BYTE* article = MakeArticle({{0x01, 0, "first"}, {0x81, 2, "second"}, {0x01, 0, "third"}});
    auto render = [&](size_t begin, size_t end) {
        ArticleRange range = {article, begin, end};
        std::vector<WCHAR> buffer(PlainTextSize(range) / 2);
        EXPECT_EQ(RenderPlainText(range, buffer.data(), buffer.size() * 2), 0);
        return std::u16string((const char16_t*)buffer.data());
    };
    EXPECT_EQ(render(0, SIZE_MAX), u"first\r\n  second\r\n\r\nthird\r\n");
    EXPECT_EQ(render(8, 17), u"  second\r\n\r\n");      // the second record whole
    EXPECT_EQ(render(3, 13), u"irst\r\n  sec\r\n");  // from the middle of one into the next: no blank after a cut end
    EXPECT_EQ(render(30, 40), u"");
    free(article);
}

TEST_F(ExportTest, NoViewOrNoArticleLeavesTheClipboardAlone) {
    ExportArticle(nullptr, 0);
    ExportArticle(view, 0);
    EXPECT_EQ(ClipboardText(), u"before");
}

TEST_F(ExportTest, TooSmallABufferIsNeverWrittenPast) {
    gApp.fontSettings.FontAsciiBase = 97;
    BYTE* article = MakeArticle({{0x81, 2, "Hello"}, {0x07, 30, ""}});
    size_t needed = (2 + 5 + 4 + 30 + 2 + 1) * sizeof(WCHAR);
    ASSERT_LE(needed, PlainTextSize(WholeArticle(article)));
    std::vector<WCHAR> buffer(needed / 2 + 8, 0x7777);
    EXPECT_EQ(RenderPlainText(WholeArticle(article), buffer.data(), needed), 0);
    EXPECT_TRUE(RecordedMessageBoxes().empty());
    for (size_t size : {needed - 1, needed - 2, (size_t)7, (size_t)1, (size_t)0}) {
        std::fill(buffer.begin(), buffer.end(), 0x7777);
        EXPECT_EQ(RenderPlainText(WholeArticle(article), buffer.data(), size), 1) << size;
        for (size_t i = size / 2; i < buffer.size(); i++) ASSERT_EQ(buffer[i], 0x7777) << size << " " << i;
    }
    ASSERT_EQ(RecordedMessageBoxes().size(), 5u);
    const MessageBoxCall& box = RecordedMessageBoxes()[0];
    EXPECT_EQ(box.text, u"(obuf > (start + size))");
    EXPECT_FALSE(box.hasCaption);
    EXPECT_EQ(box.style, 0u);
    free(article);
}

// The size formulas are upper bounds: every article of the collection fits, at
// every base and with Reverse either way, and so do arbitrary bytes. Each record
// renders to exactly its counted line, which the RTF paragraphs rely on.
TEST_F(ExportTest, EveryArticleFitsItsPlainTextSize) {
    auto fits = [](const BYTE* article) {
        ArticleRange range = WholeArticle(article);
        size_t size = PlainTextSize(range);
        std::vector<WCHAR> buffer(size / 2);
        if (RenderPlainText(range, buffer.data(), size) != 0) return false;
        size_t lines = 0;
        RangeWalker walker = StartRangeWalk(range);
        for (ArticleRecord record; NextRangeRecord(&walker, &record);) lines += PlainLineLength(record);
        size_t bound = BuildRtfBody(range, buffer.data(), nullptr);
        std::string body(bound + 1, '#');
        return wcslen(buffer.data()) == lines && BuildRtfBody(range, buffer.data(), body.data()) < bound;
    };
    for (int base : {97, 224, 1488}) {
        gApp.fontSettings.FontAsciiBase = base;
        gApp.Flags ^= kFlagReverse;
        for (int n = 1; n <= kArticleCount; n++) {
            BYTE* article = LoadContent(n, nullptr);
            ASSERT_NE(article, nullptr);
            EXPECT_TRUE(fits(article)) << "article " << n << " base " << base;
            free(article);
        }
    }
    std::mt19937 random(7);
    for (int i = 0; i < 200; i++) {
        std::vector<BYTE> bytes(1 + random() % 400);
        for (BYTE& b : bytes) b = (BYTE)random();
        bytes.insert(bytes.end(), kContentZeroTail, 0);
        EXPECT_TRUE(fits(bytes.data())) << i;
    }
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}

}  // namespace
