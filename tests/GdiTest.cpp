// GDI on the Qt surface (real pixels) and the bitmap resources.
#include <gtest/gtest.h>

#include <QImage>
#include <string>
#include <vector>

#include "platform/ResourceStore.h"
#include "platform/qt/QtGdi.h"
#include "resources/Bitmaps.h"

namespace {
const QRgb kWhite = qRgb(255, 255, 255);

// A white image with a DC on it, drawing text transparently unless told otherwise.
struct Canvas {
    QImage image;
    HDC dc;
    Canvas(int width = 400, int height = 80) : image(width, height, QImage::Format_RGB32) {
        image.fill(kWhite);
        dc = CreateImageDC(&image);
        SetBkMode(dc, TRANSPARENT);
    }
    ~Canvas() { DestroyImageDC(dc); }
};

struct ScopedFontHandle {
    HDC dc;
    HFONT font;
    HGDIOBJ previous;
    ScopedFontHandle(HDC d, const LOGFONTW& description) : dc(d) {
        font = CreateFontIndirectW(&description);
        previous = SelectObject(dc, font);
    }
    ~ScopedFontHandle() {
        SelectObject(dc, previous);
        DeleteObject(font);
    }
};

LOGFONTW FontOf(int height, int weight, const char16_t* face) {
    LOGFONTW description{};
    description.lfHeight = height;
    description.lfWeight = weight;
    for (int i = 0; face[i] && i < LF_FACESIZE - 1; i++) description.lfFaceName[i] = face[i];
    return description;
}

struct ScopedFont : ScopedFontHandle {
    ScopedFont(HDC d, int height, int weight, const char16_t* face = u"")
        : ScopedFontHandle(d, FontOf(height, weight, face)) {}
};

// Bounding box of the pixels in area that differ from the background (empty: none).
QRect InkBounds(const QImage& image, QRect area, QRgb background = kWhite) {
    QRect ink;
    area = area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); y++) {
        for (int x = area.left(); x <= area.right(); x++) {
            if (image.pixel(x, y) != background) ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

int Extent(HDC dc, const std::u16string& text, int count) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), count, &size);
    return size.cx;
}

int CellHeight(HDC dc) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return tm.tmHeight;
}

// Draws count units of text from `from` as the views do: the measured extent as
// the width of a centred single-line box whose left edge is x.
void DrawRun(HDC dc, const std::u16string& text, int from, int count, int x, int y) {
    RECT box{x, y, x + Extent(dc, text.substr(from), count), y + CellHeight(dc)};
    DrawTextW(dc, text.data() + from, count, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}
}  // namespace

// Each piece is clipped to its own box, so the split is put where no glyph
// reaches over the boundary: after a space, as the layout breaks lines.
TEST(QtSurface, PrefixThenRestDrawsTheSamePixelsAsTheWholeRun) {
    const std::u16string text = u"Velun reads: kerning AV To Wa. \u05D0\u05D1\u05D2 and more words";
    for (int weight : {FW_NORMAL, FW_BOLD}) {
        Canvas whole, split;
        ScopedFont f1(whole.dc, 16, weight), f2(split.dc, 16, weight);
        DrawRun(whole.dc, text, 0, (int)text.size(), 5, 10);
        int fit = 0;
        GetTextExtentExPointW(split.dc, text.data(), (int)text.size(), 200, &fit, nullptr, nullptr);
        ASSERT_LT(fit, (int)text.size());
        while (fit > 0 && text[fit - 1] != u' ') fit--;
        ASSERT_GT(fit, 3);
        int prefix = Extent(split.dc, text, fit);
        DrawRun(split.dc, text, 0, fit, 5, 10);
        DrawRun(split.dc, text, fit, (int)text.size() - fit, 5 + prefix, 10);
        EXPECT_EQ(whole.image, split.image) << "weight " << weight;
        EXPECT_FALSE(InkBounds(whole.image, whole.image.rect()).isEmpty());
    }
}

TEST(QtSurface, HebrewIsDrawnInStoredOrderNotReordered) {
    const std::u16string text = u"\u05D0\u05D1\u05D2";
    Canvas run, glyphs;
    DrawRun(run.dc, text, 0, 3, 20, 10);
    int x = 20;
    std::vector<QRect> ink;
    for (int i = 0; i < 3; i++) {
        Canvas alone;
        DrawRun(alone.dc, text, i, 1, x, 10);
        ink.push_back(InkBounds(alone.image, alone.image.rect()));
        DrawRun(glyphs.dc, text, i, 1, x, 10);
        x += Extent(glyphs.dc, text, i + 1) - Extent(glyphs.dc, text, i);
    }
    EXPECT_EQ(run.image, glyphs.image);
    // Alef, the first unit, is the leftmost letter.
    ASSERT_FALSE(ink[0].isEmpty());
    EXPECT_LT(ink[0].center().x(), ink[1].center().x());
    EXPECT_LT(ink[1].center().x(), ink[2].center().x());
}

TEST(QtSurface, MissingCharactersComeFromAFallbackFace) {
    // A Latin-only face: Hebrew and the euro sign must come from elsewhere.
    for (char16_t unit : {u'\u05D0', u'\u05EA', u'\u20AC'}) {
        Canvas c;
        ScopedFont f(c.dc, 20, FW_NORMAL, u"Nimbus Sans");
        std::u16string text(1, unit);
        int advance = Extent(c.dc, text, 1);
        EXPECT_GT(advance, 4) << (int)unit;
        DrawRun(c.dc, text, 0, 1, 10, 10);
        QRect ink = InkBounds(c.image, c.image.rect());
        ASSERT_FALSE(ink.isEmpty()) << (int)unit;
        EXPECT_GE(ink.left(), 9);
        EXPECT_LE(ink.right(), 10 + advance);
    }
}

TEST(QtSurface, FitAndExtentAgreeWithTheInkDrawn) {
    const std::u16string text = u"Measuring what is drawn, exactly as drawn.";
    for (int height : {14, 16, 20}) {
        Canvas c(600);
        ScopedFont f(c.dc, height, FW_NORMAL);
        for (int width : {40, 97, 150}) {
            c.image.fill(kWhite);
            int fit = 0, dx[64];
            GetTextExtentExPointW(c.dc, text.data(), (int)text.size(), width, &fit, dx, nullptr);
            ASSERT_GT(fit, 0);
            EXPECT_LE(dx[fit - 1], width);
            EXPECT_GT(dx[fit], width);  // the next unit would not fit
            int extent = Extent(c.dc, text, fit);
            EXPECT_EQ(extent, dx[fit - 1]);
            DrawRun(c.dc, text, 0, fit, 10, 10);
            QRect ink = InkBounds(c.image, c.image.rect());
            EXPECT_GE(ink.left(), 10);
            EXPECT_LE(ink.right(), 10 + extent);  // within the measured extent
            EXPECT_GT(ink.right(), 10 + extent - height);  // and reaching its last character
        }
    }
}

TEST(QtSurface, CellHeightHoldsEveryLineOfTheFont) {
    const std::u16string text = u"Hgjpqy|([{";
    for (int height : {12, 14, 16, 20, 0}) {
        Canvas c;
        ScopedFont f(c.dc, height, FW_BOLD);
        int cell = CellHeight(c.dc);
        EXPECT_EQ(cell, height ? height : 16);
        DrawRun(c.dc, text, 0, (int)text.size(), 10, 20);
        QRect ink = InkBounds(c.image, c.image.rect());
        EXPECT_GE(ink.top(), 20) << height;
        EXPECT_LT(ink.bottom(), 20 + cell) << height;
    }
    Canvas c;
    ScopedFont f(c.dc, -20, FW_NORMAL);  // character height: the cell is taller
    EXPECT_GT(CellHeight(c.dc), 20);
}

TEST(QtSurface, OpaqueTextFillsExactlyItsCell) {
    Canvas c;
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, 0x00FFFF);  // yellow
    SetTextColor(c.dc, 0xFF0000);
    const std::u16string text = u"- -";
    int extent = Extent(c.dc, text, 3), cell = CellHeight(c.dc);
    DrawRun(c.dc, text, 0, 3, 30, 10);
    const QRgb yellow = qRgb(255, 255, 0);
    EXPECT_EQ(c.image.pixel(30, 10), yellow);
    EXPECT_EQ(c.image.pixel(30 + extent - 1, 10 + cell - 1), yellow);
    EXPECT_EQ(c.image.pixel(29, 10), kWhite);
    EXPECT_EQ(c.image.pixel(30 + extent, 10), kWhite);
    EXPECT_EQ(c.image.pixel(30, 10 + cell), kWhite);
    int blue = 0;
    for (int y = 10; y < 10 + cell; y++) {
        for (int x = 30; x < 30 + extent; x++) blue += c.image.pixel(x, y) == qRgb(0, 0, 255);
    }
    EXPECT_GT(blue, 2);  // the dashes, in the text colour
}

// A run clipped to a box colours exactly what the same run drawn free colours
// inside the box, whether its ink stays inside (the surface may then leave the
// clip out) or reaches over an edge (italic overhangs, a box cut short).
TEST(QtSurface, AClippedRunColoursExactlyItsFreeInkInsideTheClip) {
    struct Font {
        int height, weight;
        BYTE italic, underline;
    };
    const Font fonts[] = {{16, FW_NORMAL, 0, 0}, {16, FW_BOLD, 0, 0}, {22, FW_NORMAL, 1, 0}, {13, FW_BOLD, 1, 1}};
    std::u16string ascii, hebrew;
    for (char16_t c = 0x21; c < 0x7F; c++) ascii += c;
    for (char16_t c = 0x5B0; c <= 0x5EA; c++) hebrew += c;
    const std::u16string texts[] = {u"fjord Wave quill Tf,", ascii, hebrew, u"\u20AC 1\u05BC \u00E9\u00C5\u00FF"};
    for (const Font& font : fonts) {
        for (const std::u16string& text : texts) {
            for (int cut : {0, 3}) {  // the box as measured, and cut short at the right
                Canvas clipped(1200), free(1200);
                LOGFONTW description{};
                description.lfHeight = font.height;
                description.lfWeight = font.weight;
                description.lfItalic = font.italic;
                description.lfUnderline = font.underline;
                ScopedFontHandle f1(clipped.dc, description), f2(free.dc, description);
                int count = (int)text.size();
                RECT box{20, 10, 20 + Extent(clipped.dc, text, count) - cut, 10 + CellHeight(clipped.dc)};
                ExtTextOutW(clipped.dc, 20, 10, ETO_CLIPPED, &box, text.data(), count, nullptr);
                ExtTextOutW(free.dc, 20, 10, 0, nullptr, text.data(), count, nullptr);
                QImage expected = free.image;
                for (int y = 0; y < expected.height(); y++)
                    for (int x = 0; x < expected.width(); x++)
                        if (x < box.left || x >= box.right || y < box.top || y >= box.bottom) expected.setPixel(x, y, kWhite);
                EXPECT_EQ(clipped.image, expected) << font.height << " " << font.italic << " cut " << cut;
            }
        }
    }
}

TEST(QtSurface, RectanglesAndFillsHitExactPixels) {
    Canvas c(40, 40);
    HPEN pen = CreatePen(PS_SOLID, 0, 0x0000FF);
    HBRUSH brush = CreateSolidBrush(0x00FFFF);
    HGDIOBJ oldPen = SelectObject(c.dc, pen), oldBrush = SelectObject(c.dc, brush);
    Rectangle(c.dc, 5, 5, 15, 12);
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    Rectangle(c.dc, 20, 20, 30, 21);  // a one-pixel rule
    SelectObject(c.dc, oldPen);
    SelectObject(c.dc, oldBrush);
    RECT fill{0, 30, 40, 40};
    FillRect(c.dc, &fill, (HBRUSH)GetStockObject(BLACK_BRUSH));
    DeleteObject(pen);
    DeleteObject(brush);

    const QRgb red = qRgb(255, 0, 0), yellow = qRgb(255, 255, 0), black = qRgb(0, 0, 0);
    EXPECT_EQ(c.image.pixel(5, 5), red);
    EXPECT_EQ(c.image.pixel(14, 11), red);
    EXPECT_EQ(c.image.pixel(15, 11), kWhite);  // right and bottom are exclusive
    EXPECT_EQ(c.image.pixel(14, 12), kWhite);
    EXPECT_EQ(c.image.pixel(6, 6), yellow);
    EXPECT_EQ(c.image.pixel(13, 10), yellow);
    EXPECT_EQ(InkBounds(c.image, QRect(16, 16, 20, 10)), QRect(20, 20, 10, 1));
    EXPECT_EQ(c.image.pixel(20, 20), red);
    EXPECT_EQ(c.image.pixel(0, 30), black);
    EXPECT_EQ(c.image.pixel(39, 39), black);
    EXPECT_EQ(c.image.pixel(0, 29), kWhite);
}

TEST(QtSurface, MemoryDCDrawsIntoItsBitmapAndBlitsBack) {
    Canvas c(20, 20);
    int draws = 0;
    HDC counted = CreateImageDC(&c.image, [&draws]() { draws++; });
    EXPECT_EQ(ImageOfDC(counted), &c.image);
    HDC memory = CreateCompatibleDC(counted);
    HBITMAP bitmap = CreateCompatibleBitmap(counted, 4, 4);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    RECT inner{1, 1, 3, 3};
    FillRect(memory, &inner, (HBRUSH)GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(draws, 0);  // the memory DC draws into its bitmap, not the window
    EXPECT_TRUE(StretchBlt(counted, 8, 8, 8, 8, memory, 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(draws, 1);
    SelectObject(memory, previous);
    DeleteDC(memory);
    QImage copy = ImageOfBitmap(bitmap);
    DeleteObject(bitmap);
    DestroyImageDC(counted);

    EXPECT_EQ(copy.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(copy.pixel(1, 1), kWhite);
    // Each source pixel became a 2 x 2 block.
    EXPECT_EQ(c.image.pixel(8, 8), qRgb(0, 0, 0));
    EXPECT_EQ(c.image.pixel(9, 9), qRgb(0, 0, 0));
    EXPECT_EQ(c.image.pixel(10, 10), kWhite);
    EXPECT_EQ(c.image.pixel(13, 13), kWhite);
    EXPECT_EQ(c.image.pixel(14, 14), qRgb(0, 0, 0));
    EXPECT_EQ(c.image.pixel(7, 7), kWhite);
}

TEST(QtSurface, NullImageDrawsNothing) {
    QImage empty;
    HDC dc = CreateImageDC(&empty);
    RECT box{0, 0, 50, 20};
    EXPECT_GT(DrawTextW(dc, u"text", 4, &box, DT_SINGLELINE), 0);
    EXPECT_EQ(FillRect(dc, &box, (HBRUSH)GetStockObject(BLACK_BRUSH)), 1);
    DestroyImageDC(dc);
    EXPECT_TRUE(empty.isNull());
}

// ---- Bitmap resources ----

namespace {
std::vector<std::string> RowsOf(const QImage& image) {
    std::vector<std::string> rows;
    for (int y = 0; y < image.height(); y++) {
        std::string row;
        for (int x = 0; x < image.width(); x++) row += image.pixel(x, y) == qRgb(0, 0, 0) ? 'X' : '.';
        rows.push_back(row);
    }
    return rows;
}

QImage LoadImage(int id, BITMAP* info = nullptr) {
    HBITMAP bitmap = LoadBitmapW(nullptr, MAKEINTRESOURCEW(id));
    if (info) GetObjectW(bitmap, sizeof *info, info);
    QImage image = ImageOfBitmap(bitmap);
    DeleteObject(bitmap);
    return image;
}
}  // namespace

TEST(BitmapResources, IndexIconsHaveExactlyTheirPixels) {
    const std::vector<std::string> collapsed = {"XXXXXXXXX", "X.......X", "X...X...X", "X...X...X", "X.XXXXX.X",
                                                "X...X...X", "X...X...X", "X.......X", "XXXXXXXXX"};
    const std::vector<std::string> expanded = {"XXXXXXXXX", "X.......X", "X.......X", "X.......X", "X.XXXXX.X",
                                               "X.......X", "X.......X", "X.......X", "XXXXXXXXX"};
    const std::vector<std::string> link = {".XXXXX...", ".X...XX..", ".X.X.XXX.", ".X.....X.", ".X.XXX.X.",
                                           ".X.....X.", ".X.XXX.X.", ".X.....X.", ".XXXXXXX."};
    BITMAP info{};
    EXPECT_EQ(RowsOf(LoadImage(kBitmapIconCollapsed, &info)), collapsed);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmWidth, 9);
    EXPECT_EQ(RowsOf(LoadImage(kBitmapIconExpanded)), expanded);
    EXPECT_EQ(RowsOf(LoadImage(kBitmapIconLink)), link);
    QImage white = LoadImage(kBitmapIconLink);
    EXPECT_EQ(white.pixel(0, 0), kWhite);  // palette entry 1 is white
}

TEST(BitmapResources, PicturesHaveTheirSizesAndTheToolButtonFace) {
    BITMAP info{};
    QImage tools = LoadImage(kBitmapToolButtons, &info);
    EXPECT_EQ(tools.size(), QSize(6 * kToolButtonSize, kToolButtonSize));
    EXPECT_EQ(info.bmBitsPixel, 4);
    EXPECT_EQ(tools.pixel(0, 0) & 0xFFFFFF, kToolButtonFace);
    for (int button = 0; button < 6; button++) {
        QRect cell(button * kToolButtonSize, 0, kToolButtonSize, kToolButtonSize);
        EXPECT_FALSE(InkBounds(tools, cell, qRgb(0xC0, 0xC0, 0xC0)).isEmpty()) << button;
    }
    QImage about = LoadImage(kBitmapAbout);
    EXPECT_EQ(about.size(), QSize(72, 32));
    EXPECT_EQ(LoadBitmapW(nullptr, MAKEINTRESOURCEW(999)), nullptr);
}

namespace {
// A DIB with a BITMAPINFOHEADER whose fields the cases below spoil one by one.
std::vector<unsigned char> Dib(int width, int height, int bits, uint32_t colours, std::vector<unsigned char> tail) {
    std::vector<unsigned char> dib(40, 0);
    auto put = [&dib](int at, uint32_t value) {
        for (int i = 0; i < 4; i++) dib[at + i] = (unsigned char)(value >> (8 * i));
    };
    put(0, 40);
    put(4, (uint32_t)width);
    put(8, (uint32_t)height);
    dib[12] = 1;
    dib[14] = (unsigned char)bits;
    put(32, colours);
    dib.insert(dib.end(), tail.begin(), tail.end());
    return dib;
}

HBITMAP LoadFrom(const std::vector<unsigned char>& dib) {
    ResourceEntry entry{2, 7001, dib.data(), (uint32_t)dib.size()};
    ResourceTable table{&entry, 1};
    SetOverrideResourceTable(&table);
    HBITMAP bitmap = LoadBitmapW(nullptr, MAKEINTRESOURCEW(7001));
    SetOverrideResourceTable(nullptr);
    return bitmap;
}
}  // namespace

TEST(BitmapResources, DecodesOtherDepthsAndTopDownRows) {
    // 2 x 2, 24 bits, top-down: rows padded to 8 bytes.
    auto rgb = Dib(2, -2, 24, 0, {0, 0, 255, 0, 255, 0, 0, 0, /**/ 255, 0, 0, 255, 255, 255, 0, 0});
    HBITMAP bitmap = LoadFrom(rgb);
    ASSERT_NE(bitmap, nullptr);
    QImage image = ImageOfBitmap(bitmap);
    DeleteObject(bitmap);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(0, 1), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(1, 1), kWhite);
    // 3 x 1, 8 bits with two colours; an index beyond the palette reads as black.
    auto indexed = Dib(3, 1, 8, 2, {0, 0, 255, 0, 0, 255, 0, 0, /**/ 1, 0, 9, 0});
    bitmap = LoadFrom(indexed);
    ASSERT_NE(bitmap, nullptr);
    image = ImageOfBitmap(bitmap);
    DeleteObject(bitmap);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(2, 0), qRgb(0, 0, 0));
}

TEST(BitmapResources, MalformedBitmapsAreRefused) {
    std::vector<unsigned char> good = Dib(9, 1, 1, 2, {0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0});
    HBITMAP loaded = LoadFrom(good);
    ASSERT_NE(loaded, nullptr);
    DeleteObject(loaded);
    struct Case {
        const char* what;
        std::vector<unsigned char> dib;
    } cases[] = {
        {"truncated pixels", std::vector<unsigned char>(good.begin(), good.end() - 1)},
        {"header only", std::vector<unsigned char>(good.begin(), good.begin() + 40)},
        {"shorter than a header", std::vector<unsigned char>(good.begin(), good.begin() + 20)},
        {"empty", {}},
        {"zero width", Dib(0, 1, 1, 2, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"huge width", Dib(0x7FFFFFFF, 1, 1, 2, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"most negative height", Dib(1, (int)0x80000000, 1, 2, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"unsupported depth", Dib(1, 1, 16, 0, {0, 0, 0, 0})},
        {"palette larger than the depth allows", Dib(1, 1, 8, 0xFFFFFFFF, {0, 0, 0, 0})},
    };
    for (const Case& c : cases) EXPECT_EQ(LoadFrom(c.dib), nullptr) << c.what;
    auto compressed = good;
    compressed[16] = 1;  // run-length encoded
    EXPECT_EQ(LoadFrom(compressed), nullptr);
    auto oversized = good;
    oversized[0] = 200;  // a header that claims more than the resource holds
    EXPECT_EQ(LoadFrom(oversized), nullptr);
}
