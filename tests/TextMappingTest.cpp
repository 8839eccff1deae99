// Mapping stored bytes to UTF-16, the font cache and the drawing primitives.
#include <gtest/gtest.h>

#include <string>

#include "platform/fake/FakeSurface.h"
#include "shell/AppState.h"
#include "views/Fonts.h"
#include "views/TextMapping.h"

namespace {

const BYTE* Bytes(const char* text) { return (const BYTE*)text; }

class MappingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAppState();
        gMapping.base = kRestingBase;
    }
    void TearDown() override { gMapping.base = kRestingBase; }

    std::u16string Map(const char* text, int count, int base) {
        gMapping.base = base;
        WCHAR* units = MapText(Bytes(text), count, &gMapping);
        gMapping.base = kRestingBase;
        return units ? std::u16string(units) : u"<null>";
    }
};

TEST_F(MappingTest, RestingBaseKeepsEveryByte) {
    EXPECT_EQ(Map("a{~", 3, 97), u"a{~");
    EXPECT_EQ(Map("\x95\xff", 2, 97), std::u16string({0x95, 0xFF}));
    gApp.Flags |= kFlagReverse;  // nothing is reversed at the resting base
    EXPECT_EQ(Map("(ab", 3, 97), u"(ab");
}

TEST_F(MappingTest, HebrewBaseMapsLettersAndTheBraceEscape) {
    EXPECT_EQ(Map("a{~", 3, 1488), std::u16string({0x05D0, 0x05EA, u'{'}));
    EXPECT_EQ(Map("12 .,-:;'", 9, 1488), u"12 .,-:;'");
    EXPECT_EQ(Map("abc", 3, 224), std::u16string({224, 225, 226}));
}

// A hand-edited base at the 32-bit limits wraps in 16 bits like any other.
TEST_F(MappingTest, BasesAtTheLimitsWrapInSixteenBits) {
    EXPECT_EQ(Map("ac", 2, INT32_MAX), std::u16string({0xFFFF, 0x0001}));
    EXPECT_EQ(Map("{", 1, INT32_MIN), std::u16string({0x001A}));
    EXPECT_EQ(Map("{a", 2, -1), std::u16string({0x0019, 0xFFFF}));
}

TEST_F(MappingTest, ReverseOptionMirrorsBrackets) {
    gApp.Flags |= kFlagReverse;
    EXPECT_EQ(Map("(ab", 3, 1488), std::u16string({0x05D1, 0x05D0, u')'}));
    EXPECT_EQ(Map("[~}", 3, 1488), u"{}]");  // '~' maps to '{' and is mirrored with it
}

TEST_F(MappingTest, CountStopsAtTheTextsEnd) {
    EXPECT_EQ(Map("ab", 10, 97), u"ab");
    EXPECT_EQ(Map("ab", 0, 97), u"");
    gApp.Flags |= kFlagReverse;
    // Only the mapped units are reversed; the terminator stays behind them.
    EXPECT_EQ(Map("ab", 10, 1488), std::u16string({0x05D1, 0x05D0}));
}

TEST_F(MappingTest, ContextBufferIsReusedAndGrows) {
    WCHAR* first = MapText(Bytes("abcdefgh"), 8, &gMapping);
    int capacity = gMapping.capacity;
    EXPECT_GE(capacity, 8);
    EXPECT_EQ(MapText(Bytes("xy"), 2, &gMapping), first);
    MapText(Bytes(std::string(capacity + 5, 'z').c_str()), capacity + 5, &gMapping);
    EXPECT_EQ(gMapping.capacity, capacity + 5);
}

TEST_F(MappingTest, WithoutContextTheCallerOwnsAnUnmappedCopy) {
    gMapping.base = 1488;  // not consulted without a context
    WCHAR* units = MapText(Bytes("abc"), 3, nullptr);
    ASSERT_NE(units, nullptr);
    EXPECT_EQ(std::u16string(units), u"abc");
    EXPECT_NE(units, gMapping.buffer);
    free(units);
}

TEST(ReverseText, OddAndEvenCounts) {
    std::u16string even = u"(a]b";
    EXPECT_EQ(ReverseText(even.data(), 4), 0);
    EXPECT_EQ(even, u"b[a)");
    std::u16string odd = u"x{y";
    ReverseText(odd.data(), 3);
    EXPECT_EQ(odd, u"y}x");
}

class TextDrawTest : public MappingTest {
  protected:
    void SetUp() override {
        MappingTest::SetUp();
        FakeMetrics metrics;
        metrics.advanceOf = [](WCHAR unit, int, int) { return unit == u'.' ? 3 : 8; };
        dc = CreateFakeDC(metrics);
    }
    void TearDown() override {
        DeleteDC(dc);
        MappingTest::TearDown();
    }
    HDC dc = nullptr;
};

TEST_F(TextDrawTest, MeasureReturnsFitAndExtentOfTheFittingUnits) {
    int width = 20, count = 5;
    MeasureText(dc, Bytes("a.a.a"), &width, &count);  // 8, 11, 19, 22: three fit
    EXPECT_EQ(count, 3);
    EXPECT_EQ(width, 19);
    width = 5, count = 2;
    MeasureText(dc, Bytes("aa"), &width, &count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(width, 0);
}

TEST_F(TextDrawTest, MeasureIgnoresAndKeepsTheReverseOption) {
    gMapping.base = 1488;
    int width = 20, count = 4;
    MeasureText(dc, Bytes(".aaa"), &width, &count);
    gApp.Flags |= kFlagReverse;
    int reversedWidth = 20, reversedCount = 4;
    MeasureText(dc, Bytes(".aaa"), &reversedWidth, &reversedCount);
    EXPECT_EQ(reversedCount, count);
    EXPECT_EQ(reversedWidth, width);
    EXPECT_EQ(count, 3);  // the narrow '.' stays first: measured in stored order
    EXPECT_TRUE(gApp.Flags & kFlagReverse);
}

TEST_F(TextDrawTest, ColouredRunRestoresColours) {
    SetTextColor(dc, 0x123456);
    SetBkColor(dc, 0x654321);
    DrawTextRunColored(dc, Bytes("ab"), 2, 10, 20, 16, 16, kBlue, kYellow);
    auto runs = FakeCallsOf(dc, FakeCallKind::Text);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].text, u"ab");
    EXPECT_EQ(runs[0].x, 10);  // the measured extent as width puts the run at x
    EXPECT_EQ(runs[0].y, 20);
    EXPECT_EQ(runs[0].textColour, kBlue);
    EXPECT_EQ(runs[0].backgroundColour, kYellow);
    EXPECT_EQ(GetTextColor(dc), 0x123456u);
    EXPECT_EQ(GetBkColor(dc), 0x654321u);
}

TEST_F(TextDrawTest, NestedFramesShrinkTheRectangle) {
    RECT rect = {10, 10, 50, 40};
    DrawFrame(dc, &rect, kRed, 2);
    DrawFrame(dc, &rect, kWhite, 1);
    EXPECT_EQ(rect.left, 13);
    EXPECT_EQ(rect.bottom, 37);
    auto frames = FakeCallsOf(dc, FakeCallKind::Rectangle);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1].rect.left, 11);
    EXPECT_EQ(frames[1].penColour, kRed);
    EXPECT_EQ(frames[2].rect.top, 12);
    EXPECT_EQ(frames[2].penColour, kWhite);
}

class FontCacheTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAppState();
        dc = CreateFakeDC(FakeMetrics());
    }
    void TearDown() override {
        ReleaseViewFonts(State());
        FreeFontCache(&cache);
        DeleteDC(dc);
    }
    ViewFontState State() { return ViewFontState{dc, &settings, &cache, false}; }
    LOGFONTW Selected(int request) {
        HFONT previous = SelectStyleFont(State(), request);
        HFONT font = (HFONT)SelectObject(dc, previous);
        LOGFONTW description = {};
        GetObjectW(font, sizeof description, &description);
        return description;
    }
    int CacheSize() {
        int n = 0;
        for (FontCacheEntry* e = cache; e; e = e->next) n++;
        return n;
    }

    HDC dc = nullptr;
    FontSettings settings = {};
    FontCacheEntry* cache = nullptr;
};

TEST_F(FontCacheTest, HeightsFollowTheSizeCode) {
    EXPECT_EQ(Selected(0x04).lfHeight, 20);
    EXPECT_EQ(Selected(0x02).lfHeight, 14);
    EXPECT_EQ(Selected(0x01).lfHeight, 0);
    EXPECT_EQ(Selected(0x06).lfHeight, 20);  // larger wins over smaller
    settings.size = 16;
    ReleaseViewFonts(State());
    EXPECT_EQ(Selected(0x04).lfHeight, 20);
    EXPECT_EQ(Selected(0x02).lfHeight, 12);
    EXPECT_EQ(Selected(0x01).lfHeight, 16);
    // Small print never below 8 pixels, nor above the plain text.
    for (auto [size, small] : {std::pair{10, 8}, {11, 8}, {12, 9}, {7, 7}, {1, 1}}) {
        settings.size = size;
        ReleaseViewFonts(State());
        EXPECT_EQ(Selected(0x02).lfHeight, small) << size;
    }

    // Hand-edited sizes at the 32-bit limits: exact where the result fits, held there where not.
    settings.size = INT32_MAX;
    ReleaseViewFonts(State());
    EXPECT_EQ(Selected(0x04).lfHeight, INT32_MAX);
    EXPECT_EQ(Selected(0x02).lfHeight, 1610612735);
    settings.size = INT32_MIN;
    ReleaseViewFonts(State());
    EXPECT_EQ(Selected(0x04).lfHeight, INT32_MIN);
    EXPECT_EQ(Selected(0x02).lfHeight, -1610612736);
}

TEST_F(FontCacheTest, WeightAndFace) {
    memcpy(settings.faceName, u"Serif", 12);
    LOGFONTW bold = Selected(0x08);
    EXPECT_EQ(bold.lfWeight, FW_BOLD);
    EXPECT_EQ(std::u16string(bold.lfFaceName), u"Serif");
    EXPECT_EQ(Selected(0x01).lfWeight, FW_NORMAL);
}

TEST_F(FontCacheTest, ColourRequestSetsBlueOnlyForLargeBold) {
    SelectObject(dc, SelectStyleFont(State(), 0x0C | kColourRequest));
    EXPECT_EQ(GetTextColor(dc), kBlue);
    SelectObject(dc, SelectStyleFont(State(), 0x08 | kColourRequest));
    EXPECT_EQ(GetTextColor(dc), kBlack);
    SelectObject(dc, SelectStyleFont(State(), 0x1C | kColourRequest));
    EXPECT_EQ(GetTextColor(dc), kBlue);
    SelectObject(dc, SelectStyleFont(State(), 0x04 | kColourRequest));
    EXPECT_EQ(GetTextColor(dc), kBlack);
    SetTextColor(dc, 0x777777);
    SelectObject(dc, SelectStyleFont(State(), 0x0C));  // without the request the colour stays
    EXPECT_EQ(GetTextColor(dc), 0x777777u);
}

TEST_F(FontCacheTest, OneEntryPerKeyNewestFirst) {
    Selected(0x01);
    Selected(0x11);
    Selected(0x81);  // layout bits are not part of the key
    Selected(0x101);
    EXPECT_EQ(CacheSize(), 2);
    EXPECT_EQ(cache->key, 0x11);
    ReleaseViewFonts(State());
    EXPECT_EQ(cache->font, nullptr);
    Selected(0x11);  // a released key gets a fresh entry in front
    EXPECT_EQ(CacheSize(), 3);
    EXPECT_NE(cache->font, nullptr);
}

}  // namespace
