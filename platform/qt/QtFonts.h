// Fonts realised for the Qt surface: a LOGFONTW becomes a QRawFont at a pixel
// size, with fallback faces for characters the chosen face lacks, whole-pixel
// advances and the cell metrics GDI reports.
#pragma once

#include <QFont>
#include <QRawFont>
#include <memory>
#include <unordered_map>
#include <vector>

#include "../Surface.h"
#include "GlyphBlit.h"

struct QtGlyph {
    int face = -1;  // index into QtRealFont::faces, -1 until resolved
    quint32 index = 0;
    int advance = 0;
    // The pixels the glyph can colour, from its pen position on the baseline (y
    // grows down).
    int inkLeft = 0, inkTop = 0, inkRight = 0, inkBottom = 0;
    int mask = -1;  // index into QtRealFont::masks, -1 until first drawn
};

constexpr char32_t kAsciiGlyphs = 0x80;
constexpr char32_t kLowGlyphs = 0x600;

struct QtRealFont {
    // faces[0] is the chosen face; later entries are the fallback families, realised on demand.
    std::vector<QRawFont> faces;
    qreal pixelSize = 0;
    bool bold = false;
    bool italic = false;
    SurfaceFontMetrics metrics;
    // Glyphs filled as met. Most text is ASCII: the rest of the low range (Latin,
    // Greek, Cyrillic and Hebrew) is made when the first of it is met.
    QtGlyph asciiGlyphs[kAsciiGlyphs];
    std::unique_ptr<QtGlyph[]> lowGlyphs;  // from U+0080 to kLowGlyphs
    std::unordered_map<char32_t, QtGlyph> otherGlyphs;
    // Coverage maps of the glyphs drawn so far, and per face whether they draw as
    // Qt draws: 0 not yet known, 1 yes, -1 no.
    std::vector<GlyphMask> masks;
    std::vector<signed char> faceBlits;
};

// The realised font for a description; cached for the life of the process.
QtRealFont& RealiseFont(const LOGFONTW& font);
// The glyph that draws a code point, from the first face that has it.
const QtGlyph& GlyphOf(QtRealFont& font, char32_t codePoint);
// The same with its coverage map (font.masks[glyph.mask]) made.
const QtGlyph& MaskedGlyphOf(QtRealFont& font, char32_t codePoint);
// The family used for an empty face name.
QString DefaultFontFamily();
// A QFont that matches what the surface draws for the description (for widgets).
QFont QFontFromLogFont(const LOGFONTW& font);
LOGFONTW LogFontFromQFont(const QFont& font);
