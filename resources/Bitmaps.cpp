// The bitmap resources, drawn here as rows of characters and turned into
// device-independent bitmaps (header, palette, bottom-up rows padded to four
// bytes) at compile time. A row of the wrong length or an unknown character
// stops the build.
#include "Bitmaps.h"

#include <array>
#include <string_view>

#include "ResourceTables.h"

namespace {
struct PaletteEntry {
    char key;
    unsigned rgb;  // 0xRRGGBB
};

// One bit per pixel: entry 0 black, entry 1 white.
constexpr PaletteEntry kMono[] = {{'X', 0x000000}, {'.', 0xFFFFFF}};

// Sixteen colours for the pictures; '.' is the background of each picture.
constexpr PaletteEntry kToolColours[] = {
    {'X', 0x000000}, {'.', kToolButtonFace}, {'w', 0xFFFFFF}, {'g', 0x808080}, {'B', 0x0000FF}, {'b', 0x000080},
    {'R', 0xFF0000}, {'r', 0x800000}, {'y', 0xFFFF00}, {'c', 0xFFF8DC}, {'G', 0x008000}, {'n', 0x804000},
    {'a', 0xA0D0FF}, {'o', 0xD4A017}, {'d', 0x404040}, {'l', 0xE0E0E0}};
constexpr PaletteEntry kAboutColours[] = {
    {'X', 0x000000}, {'.', 0xFFFFFF}, {'l', 0xC0C0C0}, {'g', 0x808080}, {'B', 0x0000FF}, {'b', 0x000080},
    {'R', 0xFF0000}, {'r', 0x800000}, {'y', 0xFFFF00}, {'c', 0xFFF8DC}, {'G', 0x008000}, {'n', 0x804000},
    {'a', 0xA0D0FF}, {'o', 0xD4A017}, {'d', 0x404040}, {'w', 0xF0F0F0}};

template <size_t N>
constexpr int IndexOf(const PaletteEntry (&palette)[N], char key) {
    for (size_t i = 0; i < N; i++) {
        if (palette[i].key == key) return (int)i;
    }
    throw "a pixel character that is not in the palette";
}

// pixel(x, y) gives the character of the pixel at column x of row y (row 0 on top).
template <int W, int H, int Bits, size_t N, class Pixel>
constexpr auto MakeDib(const PaletteEntry (&palette)[N], Pixel pixel) {
    constexpr int kStride = (W * Bits + 31) / 32 * 4;
    std::array<unsigned char, 40 + N * 4 + kStride * H> dib{};
    auto put = [&dib](size_t at, unsigned value, int bytes) {
        for (int i = 0; i < bytes; i++) dib[at + i] = (unsigned char)(value >> (8 * i));
    };
    put(0, 40, 4);  // BITMAPINFOHEADER
    put(4, W, 4);
    put(8, H, 4);  // positive: bottom-up rows
    put(12, 1, 2);
    put(14, Bits, 2);
    put(20, kStride * H, 4);
    put(24, 3780, 4);  // 96 dpi in pixels per metre
    put(28, 3780, 4);
    put(32, (unsigned)N, 4);
    for (size_t i = 0; i < N; i++) {
        put(40 + i * 4, palette[i].rgb, 4);  // RGBQUAD: blue, green, red, 0 in memory
    }
    size_t pixels = 40 + N * 4;
    for (int y = 0; y < H; y++) {
        size_t row = pixels + (size_t)(H - 1 - y) * kStride;
        for (int x = 0; x < W; x++) {
            int index = IndexOf(palette, pixel(x, y));
            int bit = x * Bits;
            dib[row + bit / 8] |= (unsigned char)(index << (8 - Bits - bit % 8));
        }
    }
    return dib;
}

template <int W, int H, int Bits, size_t N>
constexpr auto DibOfRows(const PaletteEntry (&palette)[N], const std::string_view (&rows)[H]) {
    for (const std::string_view& row : rows) {
        if (row.size() != W) throw "a row of the wrong length";
    }
    return MakeDib<W, H, Bits>(palette, [&rows](int x, int y) { return rows[y][x]; });
}

// ---- Index icons ----

constexpr std::string_view kCollapsedRows[9] = {
    "XXXXXXXXX",
    "X.......X",
    "X...X...X",
    "X...X...X",
    "X.XXXXX.X",
    "X...X...X",
    "X...X...X",
    "X.......X",
    "XXXXXXXXX",
};
constexpr std::string_view kExpandedRows[9] = {
    "XXXXXXXXX",
    "X.......X",
    "X.......X",
    "X.......X",
    "X.XXXXX.X",
    "X.......X",
    "X.......X",
    "X.......X",
    "XXXXXXXXX",
};
constexpr std::string_view kLinkRows[9] = {
    ".XXXXX...",
    ".X...XX..",
    ".X.X.XXX.",
    ".X.....X.",
    ".X.XXX.X.",
    ".X.....X.",
    ".X.XXX.X.",
    ".X.....X.",
    ".XXXXXXX.",
};

// ---- Tool buttons, in bar order ----

constexpr std::string_view kToolRows[6][16] = {
    {
        // previous article
        "................",
        "................",
        "................",
        ".......X........",
        "......XX........",
        ".....XBX........",
        "....XBBXXXXXXX..",
        "...XBBBBBBBBBX..",
        "..XBBBBBBBBBBX..",
        "...XBBBBBBBBBX..",
        "....XBBXXXXXXX..",
        ".....XBX........",
        "......XX........",
        ".......X........",
        "................",
        "................",
    },
    {
        // index
        "................",
        ".XXXX...........",
        ".XooX.XXXXXXXX..",
        ".XXXX...........",
        "..X.............",
        "..X..XXX........",
        "..XXXXwX.XXXXXX.",
        "..X..XXX........",
        "..X.............",
        "..X..XXX........",
        "..XXXXwX.XXXXX..",
        "..X..XXX........",
        "..X.............",
        ".XXXX...........",
        ".XooX.XXXXXXXX..",
        ".XXXX...........",
    },
    {
        // next article
        "................",
        "................",
        "................",
        "........X.......",
        "........XX......",
        "........XBX.....",
        "..XXXXXXXBBX....",
        "..XBBBBBBBBBX...",
        "..XBBBBBBBBBBX..",
        "..XBBBBBBBBBX...",
        "..XXXXXXXBBX....",
        "........XBX.....",
        "........XX......",
        "........X.......",
        "................",
        "................",
    },
    {
        // font
        "................",
        "................",
        "......XXXX......",
        "......XXXX......",
        ".....XX..XX.....",
        ".....XX..XX.....",
        "....XX....XX....",
        "....XX....XX....",
        "...XXXXXXXXXX...",
        "...XXXXXXXXXX...",
        "..XX........XX..",
        "..XX........XX..",
        ".XXXX......XXXX.",
        "................",
        "................",
        "................",
    },
    {
        // search
        "................",
        "....XXXXX.......",
        "...XaaaaaX......",
        "..XawwaaaaX.....",
        "..XawaaaaaX.....",
        "..XaaaaaaaX.....",
        "..XaaaaaaaX.....",
        "..XaaaaaaaX.....",
        "...XaaaaaXX.....",
        "....XXXXXnnX....",
        "..........nnn...",
        "...........nnn..",
        "............nnn.",
        ".............nn.",
        "................",
        "................",
    },
    {
        // search again
        "................",
        "......XXXXX.....",
        ".....XaaaaaX....",
        "....XawwaaaaX...",
        "....XawaaaaaX...",
        "....XaaaaaaaX...",
        "....XaaaaaaaX...",
        ".....XaaaaaXX...",
        "......XXXXXnnX..",
        "....X......nnn..",
        "....XX......nnn.",
        "XXXXXBX......nn.",
        "XBBBBBBX........",
        "XXXXXBX.........",
        "....XX..........",
        "....X...........",
    },
};

// ---- About box picture: an open book, a Latin letter on the left page and a
// Hebrew one on the right ----

constexpr std::string_view kAboutRows[32] = {
    "........................................................................",
    "........................................................................",
    "........................................................................",
    "....XccXXXXXXX............................................XXXXXXXccX....",
    "....XcccccccccXXXXXXXX............................XXXXXXXXcccccccccX....",
    "....XcccccccccccccccccXXXXXX................XXXXXXcccccccccccccccccX....",
    "....XcccccccccccccccccccccccXXXXX......XXXXXcccccccccccccccccccccccX....",
    "....XccccccccccccccccccccccccccccXXggXXccccccccccccccccccccccccccccX....",
    "....XcccccccccbbbccccccccccccccccccggccccccccccccccbbccccccbbccccccX....",
    "..XrXcccccccccbbbccccccccccccccccccggcccccccccccccccbbcccccbbccccccXrX..",
    "..XrXccccccccbbcbbcccccccccccccccccggcccccccccccccccbbbccccbbccccccXrX..",
    "..XrXccccccccbbcbbcccccccccccccccccggccccccccccccccccbbbccbbcccccccXrX..",
    "..XrXcccccccbbcccbbccccccccccccccccggcccccccccccccccccbbbbbccccccccXrX..",
    "..XrXcccccccbbcccbbccccccccccccccccggcccccccccccccccccbbbbbccccccccXrX..",
    "..XrXccccccbbbbbbbbbcccccccccccccccggcccccccccccccccccbbcbbbcccccccXrX..",
    "..XrXccccccbbcccccbbcccccccccccccccggcccccccccccccccccbbccbbbccccccXrX..",
    "..XrXcccccbbcccccccbbccccccccccccccggcccccccccccccccccbbcccbbbcccccXrX..",
    "..XrXcccccbbcccccccbbccccccccccccccggccccccccccccccccbbbccccbbcccccXrX..",
    "..XrXcccccbbcccccccbbccccccccccccccggccccccccccccccbbbbccccccbcccccXrX..",
    "..XrXccccggggggcggggggcggggggcggcccggcccgggggcgggggcgggggcgggggccccXrX..",
    "..XrXccccccccccccccccccccccccccccccggccccccccccccccccccccccccccccccXrX..",
    "..XrXccccccccccccccccccccccccccccccggccccccccccccccccccccccccccccccXrX..",
    "..XrXccccggggggcggggggcggggggcggcccggcccgggggcgggggcgggggcgggggccccXrX..",
    "..XrXccccccccccccccccccccccccccccccggccccccccccccccccccccccccccccccXrX..",
    "..XrXccXXXXXXXcccccccccccccccccccccggcccccccccccccccccccccXXXXXXXccXrX..",
    "..XrrrrrrrrrrrXXXXXXXXcccccccccccccggcccccccccccccXXXXXXXXrrrrrrrrrrrX..",
    "..XrrrrrrrrrrrrrrrrrrrXXXXXXcccccccggcccccccXXXXXXrrrrrrrrrrrrrrrrrrrX..",
    "..XrrrrrrrrrrrrrrrrrrrrrrrrrXXXXXccggccXXXXXrrrrrrrrrrrrrrrrrrrrrrrrrX..",
    "..XrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrXXggXXrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrX..",
    "..XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX..",
    "........................................................................",
    "........................................................................",
};

constexpr auto kCollapsed = DibOfRows<9, 9, 1>(kMono, kCollapsedRows);
constexpr auto kExpanded = DibOfRows<9, 9, 1>(kMono, kExpandedRows);
constexpr auto kLink = DibOfRows<9, 9, 1>(kMono, kLinkRows);
constexpr auto kToolButtons = MakeDib<6 * kToolButtonSize, kToolButtonSize, 4>(kToolColours, [](int x, int y) {
    std::string_view row = kToolRows[x / kToolButtonSize][y];
    if (row.size() != kToolButtonSize) throw "a row of the wrong length";
    return row[x % kToolButtonSize];
});
constexpr auto kAbout = DibOfRows<72, 32, 4>(kAboutColours, kAboutRows);

template <class Dib>
constexpr ResourceEntry Bitmap(int id, const Dib& dib) {
    return ResourceEntry{2, (uint16_t)id, dib.data(), (uint32_t)dib.size()};  // RT_BITMAP
}

const ResourceEntry kEntries[] = {
    Bitmap(kBitmapAbout, kAbout),
    Bitmap(kBitmapToolButtons, kToolButtons),
    Bitmap(kBitmapIconCollapsed, kCollapsed),
    Bitmap(kBitmapIconExpanded, kExpanded),
    Bitmap(kBitmapIconLink, kLink),
};
}  // namespace

const ResourceTable kBitmapResourceTable = {kEntries, sizeof kEntries / sizeof kEntries[0]};
