// The settings load, the exit sequence's writes, number parsing of the registry
// reads, and the memory-exhaustion exit.
#include <cstdint>

#include "ShellFixture.h"
#include "platform/fake/FakeSurface.h"
#include "shell/Memory.h"

namespace {

class Settings : public ShellTest {
protected:
    HDC dc = nullptr;  // the view draws on it; like the window's, it outlives the view

    void TearDown() override {
        ShellTest::TearDown();
        if (dc) DeleteDC(dc);
    }

    // A view as the main window would have it, on a recording surface.
    void OpenView(uint16_t topRow) {
        RECT r = {0, 0, 240, 300};
        dc = CreateFakeDC();
        gApp.articleView = CreateArticleView(dc, &r, &gApp.fontSettings, 100);
        ASSERT_NE(gApp.articleView, nullptr);
        gApp.articleView->topRow = topRow;
    }
};

std::u16string Face() { return gApp.fontSettings.faceName; }

}  // namespace

TEST_F(Settings, EmptyRegistryGivesTheDefaultsAndANormalExitWritesOnlyWhatItMust) {
    LoadSettings();
    EXPECT_EQ(Face(), u"");
    EXPECT_EQ(gApp.fontSettings.size, 0);
    EXPECT_EQ(gApp.fontSettings.FontAsciiBase, 97);
    EXPECT_EQ(gApp.lastPosition, 0);
    EXPECT_EQ(gApp.Flags, 0xD1140040u);
    EXPECT_EQ(gApp.currentArticle, 0);
    EXPECT_EQ(gApp.searchString[0], 0);
    EXPECT_EQ(gApp.bookmarkList, nullptr);
    EXPECT_EQ(gApp.bookmarkCount, 0);
    EXPECT_NE(gApp.indexIcons[0], nullptr);
    EXPECT_NE(gApp.indexIcons[2], nullptr);

    StoredValue path = Product(u"Program Path");
    EXPECT_EQ(path.type, (DWORD)REG_SZ);
    EXPECT_GT(path.data.size(), 2u);

    gApp.currentArticle = 1;  // what the start-up makes of article 0
    OpenView(0);
    ExitProgram();
    EXPECT_EQ(gApp.articleView, nullptr);
    EXPECT_EQ(gApp.indexIcons[0], nullptr);
    EXPECT_EQ(Product(u"Flags").data, DwordBytes(0xD1140040));
    EXPECT_EQ(Product(u"Flags").type, (DWORD)REG_DWORD);
    EXPECT_EQ(Product(u"Lesson").data, DwordBytes(1));
    EXPECT_EQ(Product(u"LastPosition").data, DwordBytes(0));
    EXPECT_EQ(Product(u"FontAsciiBase").data, DwordBytes(97));
    EXPECT_EQ(Product(u"Bookmarks").data, (std::vector<BYTE>{0, 0}));
    EXPECT_EQ(Product(u"Bookmarks").type, (DWORD)REG_BINARY);
    for (const WCHAR* absent : {u"FontSize", u"FontName", u"SearchString"})
        EXPECT_EQ(Product(absent).status, ERROR_FILE_NOT_FOUND) << Utf16ToUtf8(absent);
}

TEST_F(Settings, ExitWritesWhatTheRunChanged) {
    LoadSettings();
    std::strcpy(gApp.searchString, "alef");
    wcscpy(gApp.fontSettings.faceName, u"DejaVu Serif");
    gApp.fontSettings.size = 16;
    gApp.fontSettings.FontAsciiBase = 0;
    gApp.Flags = 0x40;
    gApp.currentArticle = 0;
    OpenView(40);
    ExitProgram();
    EXPECT_EQ(Product(u"SearchString").data, (std::vector<BYTE>{'a', 'l', 'e', 'f', 0}));
    EXPECT_EQ(Product(u"SearchString").type, (DWORD)REG_BINARY);
    EXPECT_EQ(Product(u"FontName").data, Utf16Bytes(u"DejaVu Serif"));
    EXPECT_EQ(Product(u"FontSize").data, DwordBytes(16));
    EXPECT_EQ(Product(u"LastPosition").data, DwordBytes(40));
    EXPECT_EQ(Product(u"Flags").data, DwordBytes(0x40));
    EXPECT_EQ(Product(u"FontAsciiBase").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Product(u"Lesson").status, ERROR_FILE_NOT_FOUND);
}

TEST_F(Settings, NumbersStoredAsTextAreReadDigitByDigit) {
    struct Case {
        DWORD type;
        std::vector<BYTE> data;
        int32_t expected;
    };
    const Case cases[] = {
        {REG_SZ, Utf16Bytes(u"12"), 12},
        {REG_SZ, Utf16Bytes(u"-5"), -25},
        {REG_SZ, Utf16Bytes(u"1a"), 59},
        {REG_SZ, Utf16Bytes(u""), 0},
        {REG_SZ, {}, 0},
        {REG_SZ, Utf16Bytes(u"34", false), 34},
        {REG_SZ, Utf16Bytes(u"4294967297"), 1},  // 32-bit arithmetic wraps
        {REG_BINARY, Utf16Bytes(u"7"), 7},
        {REG_BINARY, {'9'}, 9},  // an odd last byte is a whole unit
        {REG_DWORD, DwordBytes(0xFFFFFFFF), -1},
        {REG_DWORD, {5}, 5},
    };
    for (size_t i = 0; i < std::size(cases); i++) {
        SetProduct(u"Number", cases[i].type, cases[i].data);
        EXPECT_EQ(ReadSetting(u"Number", 777), cases[i].expected) << "case " << i;
    }
    EXPECT_EQ(ReadSetting(u"Missing", 777), 777);
    EXPECT_EQ(RegReadNumber(u"Software\\Nowhere", u"Number", -3), -3);

    SetValue(kVendorKey, u"SurroundingGutter", REG_SZ, Utf16Bytes(u"8"));
    EXPECT_EQ(RegReadNumber(kVendorKey, u"SurroundingGutter", 0), 8);
}

TEST_F(Settings, StoredValuesAreCutToTheirFields) {
    SetProduct(u"Flags", REG_SZ, Utf16Bytes(u"12"));
    SetProduct(u"Lesson", REG_DWORD, DwordBytes(65537));
    SetProduct(u"LastPosition", REG_DWORD, DwordBytes(0x12345));
    SetProduct(u"FontName", REG_SZ, Utf16Bytes(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn"));
    std::vector<BYTE> search;
    for (int i = 0; i < 50; i++) search.push_back((BYTE)('A' + i % 26));
    SetProduct(u"SearchString", REG_BINARY, search);
    LoadSettings();
    EXPECT_EQ(gApp.Flags, 12u);
    EXPECT_EQ(gApp.currentArticle, 1);
    EXPECT_EQ(gApp.lastPosition, 0x2345);
    EXPECT_EQ(Face(), u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
    EXPECT_EQ(std::string(gApp.searchString), std::string(search.begin(), search.begin() + 33));

    FreeIndexIcons();
    ResetAppState();
    SetProduct(u"Flags", REG_BINARY, Utf16Bytes(u"7"));
    LoadSettings();
    EXPECT_EQ(gApp.Flags, 7u);
}

TEST_F(Settings, TextValuesThatAreEmptyOrUnendedLeaveOrFillTheFieldSafely) {
    wcscpy(gApp.fontSettings.faceName, u"Kept");
    std::strcpy(gApp.searchString, "kept");
    SetProduct(u"FontName", REG_SZ, Utf16Bytes(u""));
    SetProduct(u"SearchString", REG_BINARY, {0, 'x', 'y'});
    LoadSettings();
    EXPECT_EQ(Face(), u"Kept");
    EXPECT_STREQ(gApp.searchString, "kept");

    // Without their terminators the values are read to their ends and no further.
    SetProduct(u"FontName", REG_SZ, Utf16Bytes(u"Serif", false));
    SetProduct(u"SearchString", REG_BINARY, {'a', 'b', 'c'});
    FreeIndexIcons();  // the reader loads its settings once; this second load makes new icons
    LoadSettings();
    EXPECT_EQ(Face(), u"Serif");
    EXPECT_STREQ(gApp.searchString, "abc");
}

// An exit that runs before the settings were read, or a second one, must not put
// defaults over what the user had.
TEST_F(Settings, OnlyOneExitAfterACompleteLoadWrites) {
    SetProduct(u"Flags", REG_DWORD, DwordBytes(0x40));
    SetProduct(u"Bookmarks", REG_BINARY, {5, 0, 0, 0});
    ExitProgram();
    EXPECT_EQ(Product(u"Flags").data, DwordBytes(0x40));
    EXPECT_EQ(Product(u"Bookmarks").data, (std::vector<BYTE>{5, 0, 0, 0}));

    LoadSettings();
    gApp.Flags = 0x80;
    ExitProgram();
    EXPECT_EQ(Product(u"Flags").data, DwordBytes(0x80));
    EXPECT_EQ(Product(u"Bookmarks").data, (std::vector<BYTE>{5, 0, 0, 0}));
    gApp.Flags = 0xC0;
    ExitProgram();
    EXPECT_EQ(Product(u"Flags").data, DwordBytes(0x80));
    EXPECT_EQ(Product(u"Bookmarks").data, (std::vector<BYTE>{5, 0, 0, 0}));
}

TEST_F(Settings, FailedAllocationTellsTheUserAndRunsTheExitSequence) {
    LoadSettings();
    gApp.currentArticle = 9;
    OpenView(3);
    EXPECT_EQ(CheckedAlloc(SIZE_MAX), nullptr);
    ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
    const MessageBoxCall& box = RecordedMessageBoxes()[0];
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.text, u"There is not enough memory, aborting");
    EXPECT_EQ(box.caption, u"Error");
    EXPECT_EQ(box.style, (UINT)MB_ICONHAND);
    EXPECT_EQ(gApp.articleView, nullptr);
    EXPECT_EQ(Product(u"Lesson").data, DwordBytes(9));
    EXPECT_EQ(Product(u"LastPosition").data, DwordBytes(3));

    EXPECT_TRUE(QuitPosted());

    void* ok = CheckedAlloc(16);
    EXPECT_NE(ok, nullptr);
    std::free(ok);
}
