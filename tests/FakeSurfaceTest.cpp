// The DC logic shared by every backend, checked on the recording surface.
#include <gtest/gtest.h>

#include "platform/Surface.h"
#include "platform/fake/FakeSurface.h"

namespace {
struct FakeDC {
    HDC dc;
    explicit FakeDC(const FakeMetrics& metrics = FakeMetrics()) : dc(CreateFakeDC(metrics)) {}
    ~FakeDC() { DeleteDC(dc); }
};

// Units are 'a' 5 px, 'W' 12 px, anything else 8 px.
FakeMetrics MixedWidths() {
    FakeMetrics metrics;
    metrics.advanceOf = [](WCHAR unit, int, int) { return unit == u'a' ? 5 : unit == u'W' ? 12 : 8; };
    return metrics;
}

HFONT MakeFont(int height, int weight, const char16_t* face = u"") {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    wcscpy(font.lfFaceName, face);
    return CreateFontIndirectW(&font);
}
}  // namespace

TEST(FakeDC, SelectObjectReturnsThePreviousObjectOfThatKind) {
    FakeDC f;
    HFONT bold = MakeFont(20, FW_BOLD);
    HPEN red = CreatePen(PS_SOLID, 0, 0x0000FF);
    HGDIOBJ systemFont = SelectObject(f.dc, bold);
    EXPECT_EQ(systemFont, GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(SelectObject(f.dc, red), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(f.dc, GetStockObject(BLACK_BRUSH)), GetStockObject(WHITE_BRUSH));
    // Selecting a pen leaves the font alone.
    EXPECT_EQ(SelectObject(f.dc, systemFont), bold);
    EXPECT_EQ(SelectObject(f.dc, GetStockObject(BLACK_PEN)), red);
    EXPECT_TRUE(DeleteObject(bold));
    EXPECT_TRUE(DeleteObject(red));
    // Deleted and invented handles are refused, not followed.
    EXPECT_EQ(SelectObject(f.dc, bold), nullptr);
    int junk = 0;
    EXPECT_EQ(SelectObject(f.dc, &junk), nullptr);
    EXPECT_EQ(SelectObject(nullptr, GetStockObject(BLACK_PEN)), nullptr);
}

TEST(FakeDC, ObjectDeletedWhileSelectedLivesUntilReleased) {
    int before = LiveGdiObjectCount();
    FakeDC f;
    HFONT font = MakeFont(12, FW_NORMAL);
    HGDIOBJ previous = SelectObject(f.dc, font);
    EXPECT_TRUE(DeleteObject(font));
    TEXTMETRICW tm;
    ASSERT_TRUE(GetTextMetricsW(f.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 12);
    SelectObject(f.dc, previous);
    EXPECT_EQ(LiveGdiObjectCount(), before);
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));  // stock objects survive
    EXPECT_EQ(SelectObject(f.dc, GetStockObject(WHITE_BRUSH)), GetStockObject(WHITE_BRUSH));
}

TEST(FakeDC, ColourSettersReturnThePreviousColour) {
    FakeDC f;
    EXPECT_EQ(GetTextColor(f.dc), 0x000000u);
    EXPECT_EQ(SetTextColor(f.dc, 0xFF0000), 0x000000u);
    EXPECT_EQ(SetTextColor(f.dc, 0x00FF00), 0xFF0000u);
    EXPECT_EQ(GetTextColor(f.dc), 0x00FF00u);
    EXPECT_EQ(SetBkColor(f.dc, 0x00FFFF), 0xFFFFFFu);
    EXPECT_EQ(GetBkColor(f.dc), 0x00FFFFu);
    EXPECT_EQ(SetBkMode(f.dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(f.dc, OPAQUE), TRANSPARENT);
}

TEST(FakeDC, MetricsFollowTheSelectedFont) {
    FakeMetrics metrics;
    metrics.maxCharWidthOf = [](int height, int weight) { return weight >= FW_BOLD ? 14 : 10; };
    FakeDC f(metrics);
    TEXTMETRICW tm;
    ASSERT_TRUE(GetTextMetricsW(f.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 16);  // default height
    EXPECT_EQ(tm.tmMaxCharWidth, 10);
    HFONT bold = MakeFont(-20, FW_BOLD);
    HGDIOBJ old = SelectObject(f.dc, bold);
    ASSERT_TRUE(GetTextMetricsW(f.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 20);
    EXPECT_EQ(tm.tmMaxCharWidth, 14);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    SelectObject(f.dc, old);
    DeleteObject(bold);
    EXPECT_EQ(GetDeviceCaps(f.dc, LOGPIXELSY), 96);
}

TEST(FakeDC, FitCountsStopAtTheExactBoundary) {
    FakeDC f(MixedWidths());
    const WCHAR* text = u"aWaW";  // cumulative 5, 17, 22, 34
    struct Case {
        int max, fit;
    } cases[] = {{-1, 0}, {0, 0}, {4, 0}, {5, 1}, {16, 1}, {17, 2}, {21, 2}, {22, 3}, {33, 3}, {34, 4}, {1000, 4}};
    for (const Case& c : cases) {
        int fit = -7;
        SIZE size{};
        ASSERT_TRUE(GetTextExtentExPointW(f.dc, text, 4, c.max, &fit, nullptr, &size));
        EXPECT_EQ(fit, c.fit) << "max " << c.max;
        EXPECT_EQ(size.cx, 34);  // the extent is of all units passed, not of those that fit
        EXPECT_EQ(size.cy, 16);
    }
    int dx[4];
    ASSERT_TRUE(GetTextExtentExPointW(f.dc, text, 4, 0, nullptr, dx, nullptr));
    EXPECT_EQ(dx[0], 5);
    EXPECT_EQ(dx[3], 34);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentExPointW(f.dc, text, 0, 10, nullptr, nullptr, &size));
    EXPECT_EQ(size.cx, 0);
    EXPECT_FALSE(GetTextExtentExPointW(f.dc, nullptr, 3, 10, nullptr, nullptr, &size));
}

TEST(FakeDC, DrawTextCentresTheRunInItsRectangle) {
    FakeDC f;
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    ASSERT_EQ(format, 0x825u);
    SetTextColor(f.dc, 0xFF0000);
    // The measured extent as the width: the run starts exactly at the left edge.
    RECT exact{30, 40, 30 + 24, 40 + 16};
    DrawTextW(f.dc, u"abc", 3, &exact, format);
    // A wider and taller box centres it; an odd remainder truncates.
    RECT wide{0, 0, 35, 21};
    DrawTextW(f.dc, u"abc", 3, &wide, format);
    // A narrower box puts it left of the box and clips to the box.
    RECT narrow{100, 0, 110, 16};
    DrawTextW(f.dc, u"abc", -1, &narrow, format);
    auto runs = FakeCallsOf(f.dc, FakeCallKind::Text);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].x, 30);
    EXPECT_EQ(runs[0].y, 40);
    EXPECT_EQ(runs[0].text, u"abc");
    EXPECT_EQ(runs[0].textColour, 0xFF0000u);
    EXPECT_EQ(runs[0].backgroundColour, 0xFFFFFFu);
    EXPECT_TRUE(runs[0].opaque);
    EXPECT_EQ(runs[0].background.right, 54);
    EXPECT_EQ(runs[1].x, 5);
    EXPECT_EQ(runs[1].y, 2);
    EXPECT_EQ(runs[2].x, 93);
    EXPECT_EQ(runs[2].background.left, 100);  // background clipped to the box
    EXPECT_EQ(runs[2].background.right, 110);
}

TEST(FakeDC, TransparentModeAndExtTextOutOpaqueRectangle) {
    FakeDC f;
    SetBkMode(f.dc, TRANSPARENT);
    RECT box{0, 0, 100, 20};
    DrawTextW(f.dc, u"ab", 2, &box, DT_SINGLELINE);
    ExtTextOutW(f.dc, 3, 1, ETO_OPAQUE, &box, u"ab", 2, nullptr);
    auto runs = FakeCallsOf(f.dc, FakeCallKind::Text);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_FALSE(runs[0].opaque);
    EXPECT_TRUE(runs[1].opaque);
    EXPECT_EQ(runs[1].background.right, 100);
    EXPECT_EQ(runs[1].x, 3);
    EXPECT_EQ(runs[1].extent, 16);
}

TEST(FakeDC, ShapesRecordPenAndBrush) {
    FakeDC f;
    RECT area{0, 0, 240, 320};
    FillRect(f.dc, &area, (HBRUSH)GetStockObject(WHITE_BRUSH));
    HPEN pen = CreatePen(PS_SOLID, 0, 0x0000FF);
    HGDIOBJ oldPen = SelectObject(f.dc, pen);
    HGDIOBJ oldBrush = SelectObject(f.dc, GetStockObject(BLACK_BRUSH));
    Rectangle(f.dc, 10, 20, 110, 21);
    SelectObject(f.dc, oldBrush);
    SelectObject(f.dc, oldPen);
    DeleteObject(pen);
    RECT empty{5, 5, 5, 9};
    FillRect(f.dc, &empty, (HBRUSH)GetStockObject(WHITE_BRUSH));  // nothing to fill

    auto fills = FakeCallsOf(f.dc, FakeCallKind::Fill);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].brushStock, WHITE_BRUSH);
    EXPECT_EQ(fills[0].brushColour, 0xFFFFFFu);
    EXPECT_EQ(fills[0].rect.right, 240);
    auto rects = FakeCallsOf(f.dc, FakeCallKind::Rectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].penColour, 0x0000FFu);
    EXPECT_EQ(rects[0].penWidth, 1);  // width 0 draws one pixel
    EXPECT_EQ(rects[0].brushStock, BLACK_BRUSH);
    EXPECT_EQ(rects[0].rect.top, 20);
    EXPECT_EQ(rects[0].rect.bottom, 21);
    auto pens = FakeCallsOf(f.dc, FakeCallKind::SelectPen);
    ASSERT_EQ(pens.size(), 2u);
    EXPECT_EQ(pens[1].object, GetStockObject(BLACK_PEN));
}

TEST(FakeDC, StretchBltFromAMemoryDC) {
    FakeDC f;
    HDC memory = CreateCompatibleDC(f.dc);
    ASSERT_NE(memory, nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(f.dc, 9, 9);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    ASSERT_NE(previous, nullptr);
    EXPECT_TRUE(StretchBlt(f.dc, 7, 3, 9, 9, memory, 0, 0, 9, 9, SRCCOPY));
    // A source reaching past the bitmap is cut, and the destination with it.
    EXPECT_TRUE(StretchBlt(f.dc, 0, 0, 18, 18, memory, 0, 0, 18, 18, SRCCOPY));
    // A window DC holds no bitmap to copy from.
    EXPECT_FALSE(BitBlt(f.dc, 0, 0, 4, 4, f.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(SelectObject(memory, previous), bitmap);
    DeleteDC(memory);
    DeleteObject(bitmap);

    auto blits = FakeCallsOf(f.dc, FakeCallKind::Blit);
    ASSERT_EQ(blits.size(), 2u);
    EXPECT_EQ(blits[0].object, bitmap);
    EXPECT_EQ(blits[0].rect.left, 7);
    EXPECT_EQ(blits[0].rect.bottom, 12);
    EXPECT_EQ(blits[0].source.right, 9);
    EXPECT_EQ(blits[1].rect.right, 9);
    EXPECT_EQ(blits[1].source.right, 9);
}

TEST(FakeDC, BitmapIsInOneMemoryDCAtATime) {
    int before = LiveGdiObjectCount();
    FakeDC f;
    HDC a = CreateCompatibleDC(f.dc);
    HDC b = CreateCompatibleDC(f.dc);
    HBITMAP bitmap = CreateCompatibleBitmap(f.dc, 4, 4);
    EXPECT_NE(SelectObject(a, bitmap), nullptr);
    EXPECT_EQ(SelectObject(b, bitmap), nullptr);
    EXPECT_EQ(SelectObject(f.dc, bitmap), nullptr);  // not into a window DC
    DeleteDC(a);
    DeleteDC(b);
    DeleteObject(bitmap);
    EXPECT_EQ(LiveGdiObjectCount(), before);
}

TEST(FakeDC, GetObjectDescribesFontsAndBitmaps) {
    HFONT font = MakeFont(-13, 800, u"Tahoma");
    LOGFONTW out{};
    EXPECT_EQ(GetObjectW(font, sizeof out, &out), 92);
    EXPECT_EQ(out.lfHeight, -13);
    EXPECT_EQ(out.lfWeight, 800);
    EXPECT_EQ(std::u16string(out.lfFaceName), u"Tahoma");
    DeleteObject(font);
    FakeDC f;
    HBITMAP bitmap = CreateCompatibleBitmap(f.dc, 96, 16);
    BITMAP info{};
    EXPECT_EQ(GetObjectW(bitmap, sizeof info, &info), (int)sizeof info);
    EXPECT_EQ(info.bmWidth, 96);
    EXPECT_EQ(info.bmHeight, 16);
    DeleteObject(bitmap);
    EXPECT_EQ(GetObjectW(bitmap, sizeof info, &info), 0);
}
