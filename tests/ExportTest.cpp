// Copy and Append to ClipBoard: the plain-text rendering, the RTF document and
// appending to what the clipboard holds.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "ArticleFixture.h"
#include "platform/TestHooks.h"
#include "shell/Export.h"

namespace {

const std::string kHeader =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset177\\cpg1255 David;}}{\\colortbl\\red0\\green0\\blue0;"
    "\\red255\\green255\\blue255;\\red255\\green0\\blue0;}\\rtldoc\\pard\\rtlpar\\qr\\lang1033\\f0\\fs20\\uc0\r\n";
const std::string kSeparator = "\\qc\\cf2\\fs72\\b*  *  *  *  *\\b0\\par\\par\\qr\\fs20\\cf0\r\n";
const std::string kParEnd = "\\par\\par\r\n";
const std::string kRtlPar = "\\pard\\rtlpar\\qr ";
const std::string kLtrPar = "\\pard\\ltrpar\\ql ";
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

TEST_F(ExportTest, AppendingTextFollowsTheOldTextDirectly) {
    PutText(u"X");
    Export({{0x81, 0, "Hello"}}, 97, 1);
    EXPECT_EQ(ClipboardText(), u"XHello\r\n\r\n");
    PutRtf("{\\rtf1 only}");
    Export({{0x81, 0, "Hello"}}, 97, 1);
    EXPECT_EQ(ClipboardText(), u"Hello\r\n\r\n");
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
