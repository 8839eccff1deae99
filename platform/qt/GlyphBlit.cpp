#include "GlyphBlit.h"

#include <emmintrin.h>

#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "../Surface.h"
#include "../Utf16.h"
#include "QtFonts.h"

namespace {

// Qt's blend of an opaque colour over a pixel at coverage a of 255: per channel
// c * a / 255 + d * (255 - a) / 255, each part rounded as the raster engine rounds.
inline uint32_t ByteMul(uint32_t x, uint32_t a) {
    uint32_t t = (x & 0xff00ff) * a;
    t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = (x + ((x >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return x | t;
}

inline __m128i Div255(__m128i t) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), _mm_set1_epi16(0x80)), 8);
}

// The same for two pixels' channels in 16-bit lanes; no lane passes 65407 and no
// sum passes 255.
inline __m128i Mix(__m128i colour, __m128i coverage, __m128i pixels) {
    __m128i rest = _mm_sub_epi16(_mm_set1_epi16(255), coverage);
    return _mm_add_epi16(Div255(_mm_mullo_epi16(colour, coverage)), Div255(_mm_mullo_epi16(pixels, rest)));
}

// Coverage 0 leaves a pixel as it was and 255 makes it the colour, in either path.
void BlendRow(uint32_t* pixels, const unsigned char* coverage, int n, uint32_t colour) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i channels = _mm_unpacklo_epi8(_mm_set1_epi32((int)colour), zero);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        uint32_t four;
        std::memcpy(&four, coverage + i, 4);
        if (!four) continue;
        auto* at = reinterpret_cast<__m128i*>(pixels + i);
        if (four == 0xffffffffu) {
            _mm_storeu_si128(at, _mm_set1_epi32((int)colour));
            continue;
        }
        __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128((int)four), zero);
        a = _mm_unpacklo_epi16(a, a);
        __m128i d = _mm_loadu_si128(at);
        __m128i low = Mix(channels, _mm_unpacklo_epi32(a, a), _mm_unpacklo_epi8(d, zero));
        __m128i high = Mix(channels, _mm_unpackhi_epi32(a, a), _mm_unpackhi_epi8(d, zero));
        _mm_storeu_si128(at, _mm_packus_epi16(low, high));
    }
    for (; i < n; i++)
        if (coverage[i]) pixels[i] = ByteMul(colour, coverage[i]) + ByteMul(pixels[i], 255 - coverage[i]);
}

void BlitMask(const PixelTarget& target, long long x, long long y, const GlyphMask& mask, uint32_t colour) {
    long long left = std::max<long long>(x, target.left), right = std::min<long long>(x + mask.width, target.right);
    long long top = std::max<long long>(y, target.top), bottom = std::min<long long>(y + mask.height, target.bottom);
    if (left >= right || top >= bottom) return;
    // A row goes out in whole groups of four where the clip and the mask's zero
    // padding leave room: a pixel under no coverage is written back as it was.
    int from = (int)(left - x);
    int n = (int)std::min({(right - left + 3) & ~3LL, (long long)(mask.stride - from), target.right - left});
    for (long long row = top; row < bottom; row++)
        BlendRow(target.pixels + row * target.stride + left, mask.coverage.data() + (row - y) * mask.stride + from, n,
                 colour);
}

bool Blendable(const QImage& image) {
    QImage::Format format = image.format();
    return (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied) &&
           image.devicePixelRatio() == 1.0 && !image.isNull();
}

PixelTarget TargetOver(const QImage& image, uchar* bits) {
    return {reinterpret_cast<uint32_t*>(bits), image.bytesPerLine() / 4, 0, 0, image.width(), image.height()};
}

// 1 when Qt draws the sample glyph of a face as BlitMask does, in both formats, a
// dark colour on white and a light one on a dark ground; -1 when it draws it
// otherwise; 0 when memory ran out before it could tell.
int DrawsAsQt(const QRawFont& face, const QtGlyph& glyph, const GlyphMask& mask) {
    struct Sample {
        QImage::Format format;
        QRgb ground, colour;
    };
    const Sample samples[] = {{QImage::Format_RGB32, 0xffffffff, 0xff2040a0},
                              {QImage::Format_ARGB32_Premultiplied, 0xff101030, 0xffe0d090}};
    int side = std::max(mask.width, mask.height) + 8;
    QPoint pen(4 - mask.left, 4 - mask.top);
    for (const Sample& sample : samples) {
        QImage qt(side, side, sample.format), own(side, side, sample.format);
        if (qt.isNull() || own.isNull()) return 0;
        qt.fill(sample.ground);
        own.fill(sample.ground);
        {
            QPainter painter(&qt);
            painter.setPen(QColor::fromRgb(sample.colour));
            QGlyphRun run;
            run.setRawFont(face);
            run.setGlyphIndexes({glyph.index});
            run.setPositions({QPointF(pen)});
            painter.drawGlyphRun(QPointF(0, 0), run);
        }
        BlitMask(TargetOver(own, own.bits()), pen.x() + mask.left, pen.y() + mask.top, mask, sample.colour);
        if (qt != own) return -1;
    }
    return 1;
}

// A face is tried on the first glyph it draws that has any ink; one that could not
// be tried is drawn by Qt and tried again next time.
bool FaceBlits(QtRealFont& real, const QtGlyph& glyph, const GlyphMask& mask) {
    if (!mask.usable) return false;
    if (glyph.face < (int)real.faceBlits.size() && real.faceBlits[glyph.face] > 0) return true;
    if ((int)real.faceBlits.size() <= glyph.face) real.faceBlits.resize(glyph.face + 1, 0);
    signed char& known = real.faceBlits[glyph.face];
    if (!known && mask.width > 0 && mask.height > 0) {
        int told = DrawsAsQt(real.faces[glyph.face], glyph, mask);
        if (!told) return false;
        known = (signed char)told;
    }
    return known >= 0;
}

// The image a painter draws into, where the blend is the same as the image's own.
QImage* ImageOf(QPainter& painter) {
    QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || painter.compositionMode() != QPainter::CompositionMode_SourceOver ||
        painter.opacity() != 1.0)
        return nullptr;
    QPaintDevice* device = engine->paintDevice();
    return device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
}

PixelEdges EdgesOf(const QRect& r) {
    return {r.left(), r.top(), (long long)r.left() + r.width(), (long long)r.top() + r.height()};
}

// Where the painter may draw in the image, and its offset there; a clip of several
// rectangles is left to Qt. The pixels are the ones its engine draws into: taking
// them makes no copy of an image shared since.
bool DeviceArea(QPainter& painter, const QImage& image, QPoint* offset, PixelTarget* target) {
    const QTransform& transform = painter.deviceTransform();
    if (!Blendable(image) || transform.type() > QTransform::TxTranslate ||
        transform.dx() != std::floor(transform.dx()) || transform.dy() != std::floor(transform.dy()))
        return false;
    *target = TargetOver(image, const_cast<uchar*>(image.constBits()));
    *offset = QPoint((int)transform.dx(), (int)transform.dy());
    QRegion system = painter.paintEngine()->systemClip();
    if (!system.isEmpty()) {
        if (system.rectCount() != 1) return false;
        ClipTarget(target, EdgesOf(system.boundingRect()));
    }
    if (painter.hasClipping()) {
        QRegion own = painter.clipRegion();
        if (own.rectCount() > 1) return false;
        ClipTarget(target, EdgesOf(own.boundingRect().translated(*offset)));
    }
    return true;
}

// A COLORREF (red in its low byte) as an opaque pixel.
uint32_t PixelOf(COLORREF c) { return 0xff000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

}  // namespace

GlyphMask MakeGlyphMask(const QRawFont& face, const QtGlyph& glyph) {
    GlyphMask mask;
    if (!face.isValid()) return mask;
    QImage map = face.alphaMapForGlyph(glyph.index, QRawFont::PixelAntialiasing);
    QImage::Format format = map.format();
    // No map for a glyph with ink (memory ran out, or the face draws in colour):
    // Qt draws whatever holds it.
    bool inked = glyph.inkRight > glyph.inkLeft && glyph.inkBottom > glyph.inkTop;
    if (map.isNull() ? inked
                     : format != QImage::Format_Indexed8 && format != QImage::Format_Alpha8 &&
                           format != QImage::Format_Grayscale8)
        return mask;
    mask.left = glyph.inkLeft;
    mask.top = glyph.inkTop;
    mask.width = map.width();
    mask.height = map.height();
    mask.stride = (mask.width + 3) & ~3;
    mask.coverage.assign((size_t)mask.stride * (size_t)mask.height, 0);
    for (int y = 0; y < mask.height; y++)
        std::memcpy(mask.coverage.data() + (size_t)y * mask.stride, map.constScanLine(y), (size_t)mask.width);
    mask.usable = true;
    return mask;
}

bool PixelTargetOf(QImage& image, PixelTarget* target) {
    if (!Blendable(image)) return false;
    *target = TargetOver(image, image.bits());
    return true;
}

void ClipTarget(PixelTarget* target, const PixelEdges& clip) {
    target->left = std::clamp(clip.left, target->left, target->right);
    target->top = std::clamp(clip.top, target->top, target->bottom);
    target->right = std::clamp(clip.right, target->left, target->right);
    target->bottom = std::clamp(clip.bottom, target->top, target->bottom);
}

void FillPixels(const PixelTarget& target, const PixelEdges& area, COLORREF colour) {
    long long left = std::max(area.left, target.left), right = std::min(area.right, target.right);
    long long top = std::max(area.top, target.top), bottom = std::min(area.bottom, target.bottom);
    for (long long row = top; row < bottom && left < right; row++)
        std::fill(target.pixels + row * target.stride + left, target.pixels + row * target.stride + right,
                  PixelOf(colour));
}

bool GlyphsBlit(QtRealFont& real, const SurfaceTextRun& run) {
    bool drawable = true;
    ForEachCharacter(run.text, run.count, [&](int, char32_t c) {
        const QtGlyph& glyph = MaskedGlyphOf(real, c);
        drawable = drawable && FaceBlits(real, glyph, real.masks[glyph.mask]);
    });
    return drawable;
}

void BlitGlyphs(const PixelTarget& target, QtRealFont& real, const SurfaceTextRun& run, long long x, long long baseline) {
    uint32_t colour = PixelOf(run.textColour);
    ForEachCharacter(run.text, run.count, [&](int i, char32_t c) {
        const GlyphMask& mask = real.masks[MaskedGlyphOf(real, c).mask];
        BlitMask(target, x + run.positions[i] + mask.left, baseline + mask.top, mask, colour);
    });
}

bool BlitGlyphs(QPainter& painter, QtRealFont& real, const SurfaceTextRun& run, int baseline) {
    QImage* image = ImageOf(painter);
    QPoint offset;
    PixelTarget target;
    if (!image || !DeviceArea(painter, *image, &offset, &target) || !GlyphsBlit(real, run)) return false;
    BlitGlyphs(target, real, run, (long long)offset.x() + run.x, (long long)offset.y() + baseline);
    return true;
}
