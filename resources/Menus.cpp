// The main menu, the menu bar description with its button strings, and the
// window icon, built into the platform's resource layouts at start-up.
#include <string>
#include <vector>

#include "../platform/ResourceStore.h"
#include "ResourceBytes.h"
#include "../platform/win32.h"

namespace {

// ---- Menu 102 ----

// The shortcut label follows the item text after a 0x08, as the menu draws it
// right-aligned. The labels are not bound to keys.
struct MenuItemDesc {
    std::u16string text;  // empty: separator
    WORD command;
};

struct PopupDesc {
    std::u16string text;
    std::vector<MenuItemDesc> items;
};

const std::vector<PopupDesc> kMainMenu = {
    {u"&File",
     {{u"&About", 40004},
      {u"Check For &Updates", 129},
      {u"&Choose Article\bCtrl+D", 119},
      {u"", 0},
      {u"F&ont\bCtrl+F", 40006},
      {u"Re&verse", 122},
      {u"&Night\bCtrl+Shift+N", 40012},
      {u"", 0},
      {u"&Copy\bCtrl+C", 40007},
      {u"&Append to ClipBoard\bCtrl+E", 40009},
      {u"E&xit\bCtrl+Q", 40005}}},
    {u"&Go",
     {{u"&Index\bCtrl+D", 119},
      {u"&Bookmark", 123},
      {u"&Previous Article", 110},
      {u"&Next Article", 109},
      {u"", 0},
      {u"&Search\bAlt+F3", 116},
      {u"Search A&gain\bF3", 117}}},
};

std::vector<BYTE> BuildMenu(const std::vector<PopupDesc>& popups) {
    std::vector<BYTE> out;
    PutWord(out, 0);  // version
    PutWord(out, 0);  // header size
    for (size_t p = 0; p < popups.size(); p++) {
        PutWord(out, (WORD)(MF_POPUP | (p + 1 == popups.size() ? MF_END : 0)));
        PutString(out, popups[p].text.c_str());
        const std::vector<MenuItemDesc>& items = popups[p].items;
        for (size_t i = 0; i < items.size(); i++) {
            PutWord(out, (WORD)(i + 1 == items.size() ? MF_END : 0));
            PutWord(out, items[i].command);
            PutString(out, items[i].text.c_str());
        }
    }
    return out;
}

// ---- Menu bar description 102 and its strings ----

constexpr WORD kNoImage = 0xFFFE;
constexpr WORD kDropDownAutoSize = TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE;
const WORD kMenuBarWords[] = {
    102, 2,
    kNoImage, 40001, TBSTATE_ENABLED, kDropDownAutoSize, 303, 0, 0,
    kNoImage, 40002, TBSTATE_ENABLED, kDropDownAutoSize, 302, 0, 1,
};

std::vector<BYTE> BuildWords(const WORD* words, size_t count) {
    std::vector<BYTE> out;
    for (size_t i = 0; i < count; i++) PutWord(out, words[i]);
    return out;
}

// A string table block holds 16 strings, each a length word and its units.
std::vector<BYTE> BuildStringBlock(WORD firstId, const std::vector<std::pair<WORD, std::u16string>>& strings) {
    std::vector<BYTE> out;
    for (WORD id = firstId; id < firstId + 16; id++) {
        std::u16string text;
        for (const auto& [sid, s] : strings)
            if (sid == id) text = s;
        PutWord(out, (WORD)text.size());
        for (char16_t c : text) PutWord(out, c);
    }
    return out;
}

// ---- Icon 101: a 16 x 16 open book ----

const char* const kIconRows[16] = {
    "................",
    "................",
    ".KKKKKK..KKKKKK.",
    ".KWWWWWKKWWWWWK.",
    ".KWBBBWKKWWWWWK.",
    ".KWWWWWKKWRRRWK.",
    ".KWBBBWKKWWWWWK.",
    ".KWWWWWKKWRRRWK.",
    ".KWBBBWKKWWWWWK.",
    ".KWWWWWKKWRRRWK.",
    ".KWBBBWKKWWWWWK.",
    ".KWWWWWKKWWWWWK.",
    ".KKKKKKKKKKKKKK.",
    "......KKKK......",
    "................",
    "................",
};

DWORD IconPixel(char c) {
    switch (c) {
        case 'K': return 0xFF202020;
        case 'W': return 0xFFFFFFFF;
        case 'B': return 0xFF1F4FBF;
        case 'R': return 0xFFB03020;
        default: return 0x00000000;
    }
}

constexpr int kIconSize = 16;

// A 32-bit icon image: header with doubled height, colour rows and mask rows, both bottom-up.
std::vector<BYTE> BuildIconImage() {
    std::vector<BYTE> out;
    PutDword(out, 40);
    PutDword(out, kIconSize);
    PutDword(out, kIconSize * 2);
    PutWord(out, 1);
    PutWord(out, 32);
    for (int i = 0; i < 6; i++) PutDword(out, 0);
    for (int y = kIconSize - 1; y >= 0; y--)
        for (int x = 0; x < kIconSize; x++) PutDword(out, IconPixel(kIconRows[y][x]));
    for (int y = kIconSize - 1; y >= 0; y--) {
        DWORD bits = 0;
        for (int x = 0; x < kIconSize; x++)
            if (kIconRows[y][x] == '.') bits |= 0x80000000u >> x;
        for (int b = 3; b >= 0; b--) out.push_back((BYTE)(bits >> (b * 8)));
    }
    return out;
}

constexpr WORD kIconImageId = 1;

std::vector<BYTE> BuildIconGroup(const std::vector<BYTE>& image) {
    std::vector<BYTE> out;
    PutWord(out, 0);
    PutWord(out, 1);  // icons
    PutWord(out, 1);  // one image
    out.push_back(kIconSize);
    out.push_back(kIconSize);
    out.push_back(0);
    out.push_back(0);
    PutWord(out, 1);
    PutWord(out, 32);
    PutDword(out, (DWORD)image.size());
    PutWord(out, kIconImageId);
    return out;
}

const std::vector<BYTE> gMenu = BuildMenu(kMainMenu);
const std::vector<BYTE> gMenuBar = BuildWords(kMenuBarWords, sizeof kMenuBarWords / sizeof kMenuBarWords[0]);
constexpr WORD kStringBlock = 302 / 16 + 1;
const std::vector<BYTE> gStrings = BuildStringBlock((kStringBlock - 1) * 16, {{302, u"Go"}, {303, u"File"}});
const std::vector<BYTE> gIconImage = BuildIconImage();
const std::vector<BYTE> gIconGroup = BuildIconGroup(gIconImage);

const ResourceEntry gEntries[] = {
    {4, 102, gMenu.data(), (uint32_t)gMenu.size()},
    {10, 102, gMenuBar.data(), (uint32_t)gMenuBar.size()},
    {6, kStringBlock, gStrings.data(), (uint32_t)gStrings.size()},
    {3, kIconImageId, gIconImage.data(), (uint32_t)gIconImage.size()},
    {14, 101, gIconGroup.data(), (uint32_t)gIconGroup.size()},
};

}  // namespace

const ResourceTable kMenuResourceTable = {gEntries, sizeof gEntries / sizeof gEntries[0]};
