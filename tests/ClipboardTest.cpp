// The clipboard on Qt: blocks read back exactly, what other programs see and give,
// and the open-close protocol.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <cstring>

#include "platform/qt/QtApp.h"
#include "platform/win32.h"

namespace {

HLOCAL Block(const void* data, size_t size) {
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE, size);
    memcpy(block, data, size);
    return block;
}

TEST(LocalMemory, BlocksKnowTheirSizeAndImpossibleSizesAreRefused) {
    HLOCAL block = LocalAlloc(LPTR, 5);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(LocalSize(block), 5u);
    EXPECT_EQ(std::memcmp(block, "\0\0\0\0\0", 5), 0);
    LocalFree(block);
    EXPECT_EQ(LocalAlloc(LPTR, SIZE_MAX), nullptr);
    EXPECT_EQ(LocalAlloc(LMEM_FIXED, SIZE_MAX - 8), nullptr);
}

class ClipboardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApplication();
        rtf = RegisterClipboardFormatW(TEXT("Rich Text Format"));
    }
    static QClipboard* Qt() { return QGuiApplication::clipboard(); }
    UINT rtf = 0;
};

// Other programs get the text with the desktop's LF line ends; the block keeps CR LF.
TEST_F(ClipboardTest, OwnDataReadsBackAsSetAndOthersSeeTextAndRtf) {
    const char16_t text[] = u"Gr\u00FC\u00DFe \u05E9\u05DC\u05D5\u05DD\r\n";
    const char document[] = "{\\rtf1 \\u1488}\r\n";
    HLOCAL textBlock = Block(text, sizeof text);
    HLOCAL rtfBlock = Block(document, sizeof document);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, textBlock), textBlock);
    EXPECT_EQ(SetClipboardData(rtf, rtfBlock), rtfBlock);
    EXPECT_TRUE(CloseClipboard());

    const QMimeData* data = Qt()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data("text/plain"), QByteArray("Gr\xC3\xBC\xC3\x9F" "e \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D\n"));
    EXPECT_EQ(data->data("text/rtf"), QByteArray(document));

    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE back = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(memcmp(back, text, sizeof text), 0);
    HANDLE backRtf = GetClipboardData(rtf);
    ASSERT_NE(backRtf, nullptr);
    EXPECT_EQ(memcmp(backRtf, document, sizeof document), 0);
    CloseClipboard();
}

TEST_F(ClipboardTest, OtherProgramsDataIsConvertedToBlocks) {
    auto* data = new QMimeData;
    data->setText(QString::fromUtf16(u"caf\u00E9\n\u05D0\r\n"));
    data->setData("text/rtf", QByteArray("{\\rtf1 other}"));
    Qt()->setMimeData(data);

    ASSERT_TRUE(OpenClipboard(nullptr));
    auto* text = (const char16_t*)GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(text), u"caf\u00E9\r\n\u05D0\r\n");  // line ends as the clipboard's text has them
    EXPECT_GE(LocalSize((HLOCAL)text), 10 * sizeof(char16_t));
    auto* document = (const char*)GetClipboardData(rtf);
    ASSERT_NE(document, nullptr);
    EXPECT_STREQ(document, "{\\rtf1 other}");
    EXPECT_EQ(GetClipboardData(RegisterClipboardFormatW(TEXT("Never Offered"))), nullptr);
    CloseClipboard();
}

TEST_F(ClipboardTest, EmptyingClearsEveryFormat) {
    const char16_t text[] = u"gone";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, Block(text, sizeof text));
    CloseClipboard();
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
    CloseClipboard();
    EXPECT_FALSE(Qt()->mimeData()->hasText());
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
    EXPECT_EQ(GetClipboardData(rtf), nullptr);
    CloseClipboard();
}

TEST_F(ClipboardTest, OnlyAnOpenClipboardChangesAndOnlyOnce) {
    const char16_t text[] = u"x";
    HLOCAL block = Block(text, sizeof text);
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), nullptr);
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
    EXPECT_FALSE(CloseClipboard());
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr));
    // A format nobody registered stays with the caller.
    EXPECT_EQ(SetClipboardData(0x9999, block), nullptr);
    EXPECT_TRUE(CloseClipboard());
    LocalFree(block);
}

TEST_F(ClipboardTest, RegisteredNamesKeepTheirNumber) {
    EXPECT_GE(rtf, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatW(TEXT("rich text format")), rtf);
    UINT other = RegisterClipboardFormatW(TEXT("Another"));
    EXPECT_NE(other, rtf);
    EXPECT_EQ(RegisterClipboardFormatW(TEXT("Another")), other);
    EXPECT_EQ(RegisterClipboardFormatW(TEXT("")), 0u);
    EXPECT_EQ(RegisterClipboardFormatW(nullptr), 0u);
}

}  // namespace
