#include "QtFonts.h"

#include <algorithm>
#include <QFontDatabase>
#include <fontconfig/fontconfig.h>
#include <cmath>
#include <cstring>
#include <iterator>
#include <map>
#include <set>
#include <tuple>

#include "../NoThrow.h"
#include "../TestHooks.h"
#include "../Utf16.h"
#include "QtApp.h"

namespace {
constexpr int kDefaultCellHeight = 16;
// Larger heights are taken as this one: the metrics of a font stay well inside int.
constexpr LONG kMaxHeight = 0x7FFF;

// Faces tried, in order, for characters the chosen face lacks; Hebrew is covered
// by several of them.
const char* const kFallbackFamilies[] = {"DejaVu Sans", "FreeSerif", "FreeSans", "Frank Ruehl CLM", "Nachlieli CLM",
                                         "Miriam CLM", "David CLM"};

using FontKey = std::tuple<std::u16string, LONG, LONG, bool>;

QString FamilyOf(const LOGFONTW& font) {
    QString family = QString::fromUtf16(font.lfFaceName, (qsizetype)wcslen(font.lfFaceName));
    return family.isEmpty() ? DefaultFontFamily() : family;
}

int WeightOf(const LOGFONTW& font) {
    if (font.lfWeight <= 0) return FW_NORMAL;
    return std::min<int>(font.lfWeight, 1000);
}

QRawFont RawFont(const QString& family, qreal pixelSize, int weight, bool italic) {
    QFont font(family);
    font.setPixelSize(std::max(1, (int)std::lround(pixelSize)));
    font.setWeight(QFont::Weight(weight));
    font.setItalic(italic);
    font.setStyleStrategy(QFont::NoFontMerging);
    QRawFont raw = QRawFont::fromFont(font);
    raw.setPixelSize(pixelSize);
    return raw;
}

int Ceil(qreal value) { return (int)std::ceil(value - 1e-6); }

int AdvanceOf(const QRawFont& face, quint32 glyph) {
    QPointF advance;
    face.advancesForGlyphIndexes(&glyph, &advance, 1, QRawFont::SeparateAdvances);
    return (int)std::lround(advance.x());
}

QtGlyph GlyphIn(const QRawFont& face, int faceIndex, quint32 index, int advance) {
    QRectF ink = face.boundingRect(index);
    return QtGlyph{faceIndex,
                   index,
                   advance,
                   (int)std::floor(ink.left()),
                   (int)std::floor(ink.top()),
                   (int)std::ceil(ink.right()),
                   (int)std::ceil(ink.bottom())};
}

// The printable ASCII characters of the chosen face in one look-up of glyphs and
// one of advances; those it lacks are resolved one by one when met.
void ResolveAscii(QtRealFont& real) {
    const QRawFont& face = real.faces[0];
    if (!face.isValid()) return;
    QString text;
    for (char16_t c = 0x20; c < 0x7F; c++) text.append(QChar(c));
    QList<quint32> indexes = face.glyphIndexesForString(text);
    if (indexes.size() != text.size()) return;
    QList<QPointF> advances = face.advancesForGlyphIndexes(indexes, QRawFont::SeparateAdvances);
    for (qsizetype i = 0; i < text.size(); i++) {
        char32_t c = text[i].unicode();
        if (!face.supportsCharacter(c)) continue;
        real.asciiGlyphs[c] = GlyphIn(face, 0, indexes[i], (int)std::lround(advances[i].x()));
    }
}

// A positive height is the cell height: the largest pixel size whose ascent and
// descent fit it. Negative heights are the character (em) height, 0 the default.
void Realise(QtRealFont& real, const LOGFONTW& font) {
    QString family = FamilyOf(font);
    int weight = WeightOf(font);
    real.bold = weight >= FW_BOLD;
    real.italic = font.lfItalic != 0;
    LONG height = font.lfHeight == 0 ? kDefaultCellHeight : std::clamp(font.lfHeight, -kMaxHeight, kMaxHeight);
    QRawFont probe = RawFont(family, 100, weight, real.italic);
    qreal perPixel = probe.isValid() ? (probe.ascent() + probe.descent()) / 100 : 1.2;
    qreal size;
    if (height > 0) {
        size = height / perPixel;
        while (size > 1 && Ceil(probe.ascent() * size / 100) + Ceil(probe.descent() * size / 100) > height)
            size -= 0.25;
    } else {
        size = -(qreal)height;
    }
    real.pixelSize = size;
    // The face found for the probe, at the size found: no second font match.
    QRawFont sized = probe;
    if (sized.isValid()) sized.setPixelSize(size);
    real.faces.push_back(probe.isValid() ? sized : RawFont(family, size, weight, real.italic));

    const QRawFont& face = real.faces[0];
    SurfaceFontMetrics& m = real.metrics;
    m.ascent = Ceil(face.ascent());
    m.height = height > 0 ? (int)height : m.ascent + Ceil(face.descent());
    m.descent = m.height - m.ascent;
    m.aveCharWidth = GlyphOf(real, U'x').advance;
    // As on the platform, the widest advance of the whole face: hanging list
    // markers take their room from it. Never below the widest ASCII character, in
    // case a face reports less.
    m.maxCharWidth = Ceil(face.maxCharWidth());
    ResolveAscii(real);
    for (char32_t c = 0x20; c < 0x7F; c++) m.maxCharWidth = std::max(m.maxCharWidth, GlyphOf(real, c).advance);
}

QtGlyph Resolve(QtRealFont& font, char32_t codePoint) {
    // The stored list bullet, byte 0x95, reaches the surface as U+0095.
    codePoint = C1AsWindows1252(codePoint);
    for (size_t i = 0;; i++) {
        if (i == font.faces.size()) {
            if (i - 1 >= std::size(kFallbackFamilies)) break;
            font.faces.push_back(RawFont(QString::fromLatin1(kFallbackFamilies[i - 1]), font.pixelSize,
                                         font.bold ? FW_BOLD : FW_NORMAL, font.italic));
        }
        const QRawFont& face = font.faces[i];
        if (!face.isValid() || !face.supportsCharacter(codePoint)) continue;
        QList<quint32> indexes = face.glyphIndexesForString(QString::fromUcs4(&codePoint, 1));
        quint32 index = indexes.isEmpty() ? 0 : indexes[0];
        return GlyphIn(face, (int)i, index, AdvanceOf(face, index));
    }
    // No face has it: the chosen face's missing-glyph box.
    const QRawFont& first = font.faces[0];
    return first.isValid() ? GlyphIn(first, 0, 0, AdvanceOf(first, 0)) : QtGlyph{0, 0, 0};
}
}  // namespace

namespace {
// Asked of fontconfig for the one family: listing every family through Qt's font
// database would realise all of them at start.
bool FamilyInstalled(const char* family) {
    FcPattern* pattern = FcPatternBuild(nullptr, FC_FAMILY, FcTypeString, (const FcChar8*)family, (char*)nullptr);
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, (char*)nullptr);
    FcFontSet* found = pattern && objects ? FcFontList(nullptr, pattern, objects) : nullptr;
    bool installed = found && found->nfont > 0;
    if (found) FcFontSetDestroy(found);
    if (objects) FcObjectSetDestroy(objects);
    if (pattern) FcPatternDestroy(pattern);
    return installed;
}
}  // namespace

QString DefaultFontFamily() {
    EnsureQtApplication();
    static const QString sFamily = FamilyInstalled("DejaVu Sans")
                                       ? QStringLiteral("DejaVu Sans")
                                       : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    return sFamily;
}

QtRealFont& RealiseFont(const LOGFONTW& font) {
    // Layout asks for the same font many times in a row: skip the keyed lookup then.
    static LOGFONTW sLastFont;
    static QtRealFont* sLast = nullptr;
    if (sLast && std::memcmp(&sLastFont, &font, sizeof font) == 0) return *sLast;
    static std::map<FontKey, std::unique_ptr<QtRealFont>> sCache;
    FontKey key{std::u16string(font.lfFaceName), font.lfHeight, WeightOf(font), font.lfItalic != 0};
    std::unique_ptr<QtRealFont>& slot = sCache[key];
    if (!slot) {
        // Cached only when whole: memory running out part way leaves the slot empty.
        EnsureQtApplication();
        auto made = std::make_unique<QtRealFont>();
        Realise(*made, font);
        slot = std::move(made);
    }
    sLastFont = font;
    sLast = slot.get();
    return *slot;
}

namespace {
// Where a code point's glyph is kept; the slots stay where they are once made.
QtGlyph& SlotOf(QtRealFont& font, char32_t codePoint) {
    if (codePoint < kAsciiGlyphs) return font.asciiGlyphs[codePoint];
    if (codePoint >= kLowGlyphs) return font.otherGlyphs[codePoint];
    if (!font.lowGlyphs) font.lowGlyphs = std::make_unique<QtGlyph[]>(kLowGlyphs - kAsciiGlyphs);
    return font.lowGlyphs[codePoint - kAsciiGlyphs];
}
}  // namespace

const QtGlyph& GlyphOf(QtRealFont& font, char32_t codePoint) {
    QtGlyph& glyph = SlotOf(font, codePoint);
    if (glyph.face < 0) glyph = Resolve(font, codePoint);
    return glyph;
}

const QtGlyph& MaskedGlyphOf(QtRealFont& font, char32_t codePoint) {
    QtGlyph& glyph = SlotOf(font, codePoint);
    if (glyph.face < 0) glyph = Resolve(font, codePoint);
    if (glyph.mask < 0) {
        font.masks.push_back(MakeGlyphMask(font.faces[glyph.face], glyph));
        glyph.mask = (int)font.masks.size() - 1;
    }
    return glyph;
}

QFont QFontFromLogFont(const LOGFONTW& font) {
    QtRealFont& real = RealiseFont(font);
    QFont qfont(FamilyOf(font));
    qfont.setPixelSize(std::max(1, (int)std::lround(real.pixelSize)));
    qfont.setWeight(QFont::Weight(WeightOf(font)));
    qfont.setItalic(font.lfItalic != 0);
    qfont.setUnderline(font.lfUnderline != 0);
    return qfont;
}

LOGFONTW LogFontFromQFont(const QFont& font) {
    LOGFONTW out{};
    int pixels = font.pixelSize() > 0 ? font.pixelSize() : (int)std::lround(font.pointSizeF() * 96 / 72);
    out.lfHeight = -pixels;
    out.lfWeight = font.weight();
    out.lfItalic = font.italic();
    out.lfUnderline = font.underline();
    std::u16string family = font.family().toStdU16String().substr(0, LF_FACESIZE - 1);
    std::copy(family.begin(), family.end(), out.lfFaceName);
    return out;
}

// ---- Font enumeration ----
//
// One entry per family the font database offers, with the family name as the face.
// The character set reported is the one a family is chosen for: HEBREW_CHARSET
// when it can write Hebrew (the reader then offers its Hebrew letters),
// ANSI_CHARSET when it writes Latin, DEFAULT_CHARSET otherwise. Private families
// and names longer than a LOGFONTW face holds are left out: a cut name would name
// no family. A family made by several foundries is reported once, by its name.

namespace {
bool gScriptedFamilies = false;
std::vector<FontFamilyEntry> gFamilyScript;

BYTE CharsetOf(const QString& family) {
    QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
    if (systems.contains(QFontDatabase::Hebrew)) return HEBREW_CHARSET;
    if (systems.contains(QFontDatabase::Latin)) return ANSI_CHARSET;
    return DEFAULT_CHARSET;
}

// The database names a family that several foundries make "Family [foundry]"; a
// face name is the family alone, listed once.
QString WithoutFoundry(const QString& family) {
    qsizetype open = family.lastIndexOf(QStringLiteral(" ["));
    return open > 0 && family.endsWith(']') ? family.left(open) : family;
}

std::vector<FontFamilyEntry> SystemFamilies() {
    EnsureQtApplication();
    std::vector<FontFamilyEntry> families;
    // A std::set rather than a QSet: QHash's inline growth cannot report memory
    // running out without ending the program.
    std::set<std::u16string> seen;
    for (const QString& qualified : QFontDatabase::families()) {
        std::u16string family = WithoutFoundry(qualified).toStdU16String();
        if (QFontDatabase::isPrivateFamily(qualified) || family.size() >= LF_FACESIZE || !seen.insert(family).second)
            continue;
        families.push_back({family, CharsetOf(qualified)});
    }
    return families;
}

int Report(const FontFamilyEntry& family, FONTENUMPROCW proc, LPARAM param) {
    LOGFONTW font{};
    TEXTMETRICW metrics{};
    std::copy(family.face.begin(), family.face.end(), font.lfFaceName);
    font.lfWeight = metrics.tmWeight = FW_NORMAL;
    font.lfCharSet = metrics.tmCharSet = family.charset;
    return CallProgram(0, [&] { return proc(&font, &metrics, TRUETYPE_FONTTYPE, param); });
}
}  // namespace

void ScriptFontFamilies(std::vector<FontFamilyEntry> families) {
    for (FontFamilyEntry& family : families)
        if (family.face.size() >= LF_FACESIZE) family.face.resize(LF_FACESIZE - 1);
    gFamilyScript = std::move(families);
    gScriptedFamilies = true;
}

void StopFontFamilyScript() {
    gScriptedFamilies = false;
    gFamilyScript.clear();
}

// With a family name, only that family is reported (once, not per style).
int EnumFontFamiliesW(HDC, LPCWSTR family, FONTENUMPROCW proc, LPARAM param) {
    return CallOrFail<int>(0, [&]() -> int {
        if (!proc) return 0;
        std::vector<FontFamilyEntry> families = gScriptedFamilies ? gFamilyScript : SystemFamilies();
        int result = 1;
        for (const FontFamilyEntry& entry : families) {
            if (family && entry.face != family) continue;
            if ((result = Report(entry, proc, param)) == 0) break;
        }
        return result;
    });
}
