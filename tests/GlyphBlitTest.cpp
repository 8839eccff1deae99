// Text blended straight into an image: pixel for pixel what Qt's raster engine
// draws, and Qt's drawing wherever that cannot be promised.
#include <gtest/gtest.h>

#include <QGlyphRun>
#include <QPainter>
#include <QPicture>
#include <string>

#include "platform/Utf16.h"
#include "platform/qt/QtGdi.h"
#include "platform/qt/GlyphBlit.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtSurface.h"

namespace {

struct Line {
    LOGFONTW font{};
    std::u16string text;
    std::vector<int> positions;
    SurfaceTextRun run{};
    int baseline = 0;
    Line(LONG height, LONG weight, std::u16string units, int x, int y) : text(std::move(units)) {
        font.lfHeight = height;
        font.lfWeight = weight;
        QtRealFont& real = RealiseFont(font);
        std::vector<int> advances(text.size());
        GlyphAdvances(real, text.data(), (int)text.size(), advances.data());
        positions.assign(1, 0);
        for (int advance : advances) positions.push_back(positions.back() + advance);
        run = SurfaceTextRun{&font, text.data(), (int)text.size(), positions.data(), x, y, nullptr, nullptr,
                             RGB(0x20, 0x40, 0xA0), 0, nullptr};
        baseline = y + real.metrics.ascent;
    }
};

// What Qt draws for the line: each glyph in its face at its measured place.
void DrawAsQt(QPainter& painter, const Line& line) {
    QtRealFont& real = RealiseFont(line.font);
    painter.setPen(QColor(line.run.textColour & 0xFF, line.run.textColour >> 8 & 0xFF, line.run.textColour >> 16 & 0xFF));
    ForEachCharacter(line.text.data(), (int)line.text.size(), [&](int i, char32_t c) {
        const QtGlyph& glyph = GlyphOf(real, c);
        QGlyphRun run;
        run.setRawFont(real.faces[glyph.face]);
        run.setGlyphIndexes({glyph.index});
        run.setPositions({QPointF(line.run.x + line.positions[i], line.baseline)});
        painter.drawGlyphRun(QPointF(0, 0), run);
    });
}

const std::u16string kLatin = u"The quick brown fox, 0123456789 (jumps) \u0095 @#%&{|}~ \u00e9\u00df",
                     kHebrew = u"\u05e9\u05dc\u05d5\u05dd abc \u05d0\u05b8\u05d1";

TEST(GlyphBlit, TextBlendedIntoAnImageHasExactlyThePixelsQtDraws) {
    struct Case {
        LONG height, weight;
        const std::u16string* text;
        QImage::Format format;
        QRgb ground;
        COLORREF colour;
        QPoint shift;
        QRect clip;  // empty: none
    };
    const Case cases[] = {
        {-11, 400, &kLatin, QImage::Format_RGB32, 0xffffffff, RGB(0x20, 0x40, 0xA0), {}, {}},
        {-13, 700, &kLatin, QImage::Format_RGB32, 0xff101030, RGB(0xE0, 0xD0, 0x90), {}, {}},
        {-16, 400, &kLatin, QImage::Format_ARGB32_Premultiplied, 0xfff0e0d0, RGB(0, 0, 0), {3, 5}, {}},
        {-21, 700, &kLatin, QImage::Format_ARGB32_Premultiplied, 0xff202020, RGB(255, 255, 255), {}, {}},
        {-16, 400, &kHebrew, QImage::Format_RGB32, 0xffffffff, RGB(0x80, 0, 0), {}, {}},
        {-13, 400, &kLatin, QImage::Format_RGB32, 0xffffffff, RGB(0, 0, 0), {2, 1}, {17, 9, 60, 7}},  // cuts glyphs
        {-13, 400, &kLatin, QImage::Format_RGB32, 0xffffffff, RGB(0, 0, 0), {-40, -6}, {}},  // partly outside the image
    };
    for (const Case& c : cases) {
        Line line(c.height, c.weight, *c.text, 4, 4);
        line.run.textColour = c.colour;
        QImage own(420, 40, c.format), qt(420, 40, c.format);
        own.fill(c.ground);
        qt.fill(c.ground);
        QPainter ownPainter(&own), qtPainter(&qt);
        for (QPainter* painter : {&ownPainter, &qtPainter}) {
            painter->translate(c.shift);
            if (!c.clip.isEmpty()) painter->setClipRect(c.clip);
        }
        EXPECT_TRUE(BlitGlyphs(ownPainter, RealiseFont(line.font), line.run, line.baseline)) << c.height;
        DrawAsQt(qtPainter, line);
        ownPainter.end();
        qtPainter.end();
        EXPECT_TRUE(own == qt) << "height " << c.height << ", weight " << c.weight << ", format " << c.format;
        QImage blank(own.size(), c.format);
        blank.fill(c.ground);
        EXPECT_FALSE(own == blank) << "height " << c.height << ": nothing was drawn";
    }
}

TEST(GlyphBlit, LeavesToQtWhatItCannotDrawAsQtDoesAndTouchesNothing) {
    Line line(-13, 400, kLatin, 4, 4);
    QtRealFont& real = RealiseFont(line.font);
    struct Case {
        const char* what;
        QImage::Format format;
        void (*set)(QPainter&);
    };
    const Case cases[] = {
        {"a scaled painter", QImage::Format_RGB32, [](QPainter& p) { p.scale(2, 2); }},
        {"half a pixel across", QImage::Format_RGB32, [](QPainter& p) { p.translate(0.5, 0); }},
        {"a translucent painter", QImage::Format_RGB32, [](QPainter& p) { p.setOpacity(0.5); }},
        {"another composition", QImage::Format_RGB32, [](QPainter& p) { p.setCompositionMode(QPainter::CompositionMode_Plus); }},
        {"a clip of two rectangles", QImage::Format_RGB32,
         [](QPainter& p) { p.setClipRegion(QRegion(0, 0, 50, 10) + QRegion(60, 20, 50, 10)); }},
        {"an image of straight alpha", QImage::Format_ARGB32, [](QPainter&) {}},
        {"an image of 16 bits", QImage::Format_RGB16, [](QPainter&) {}},
    };
    for (const Case& c : cases) {
        QImage image(200, 40, c.format);
        image.fill(Qt::white);
        QImage before = image;
        QPainter painter(&image);
        c.set(painter);
        EXPECT_FALSE(BlitGlyphs(painter, real, line.run, line.baseline)) << c.what;
        painter.end();
        EXPECT_TRUE(image == before) << c.what;
    }
    QPicture picture;
    QPainter recorder(&picture);
    EXPECT_FALSE(BlitGlyphs(recorder, real, line.run, line.baseline)) << "a picture is not pixels";
}

// Coordinates near the ends of int draw nothing outside the image and overflow nothing.
TEST(GlyphBlit, RunsAndFillsFarOffTheImageTouchOnlyItsPixels) {
    const int kFar = 2000000000;
    const RECT fills[] = {{-kFar, -kFar, kFar, kFar}, {kFar - 4, 0, kFar, 10}, {0, -kFar, 10, -kFar + 5}};
    const POINT texts[] = {{kFar, 10}, {-kFar, 10}, {10, kFar}, {10, -kFar}, {-kFar, -kFar}};
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        QImage image(64, 24, format);
        image.fill(Qt::white);
        HDC dc = CreateImageDC(&image);
        SetBkMode(dc, TRANSPARENT);
        QImage blank = image;
        for (const POINT& at : texts) ExtTextOutW(dc, at.x, at.y, 0, nullptr, u"Wg\u05e9", 3, nullptr);
        EXPECT_TRUE(image == blank) << "no text lies on the image";
        for (const RECT& fill : fills) FillRect(dc, &fill, (HBRUSH)GetStockObject(BLACK_BRUSH));
        DestroyImageDC(dc);
        EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
        EXPECT_EQ(image.pixel(63, 23), qRgb(0, 0, 0)) << "the fill covering everything reached the last pixel";
    }
}

}  // namespace
