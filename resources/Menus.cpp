// The main menu and the menu bar description with its button strings, built into
// the platform's resource layouts at start-up. The window icon is made at build
// time from the drawing in icon/.
#include <string>
#include <vector>

#include "Accelerators.h"
#include "Commands.h"
#include "ResourceTables.h"
#include "ResourceBytes.h"
#include "../platform/win32.h"

namespace {

// ---- Menu 102 ----

// The shortcut label follows the item text after a 0x08, as the menu draws it
// right-aligned: the key accelerator table 3 binds to the item's command.
struct MenuItemDesc {
    std::u16string text;  // empty: separator
    WORD command;
    std::vector<MenuItemDesc> items;  // a pop-up's own items (its command is 0)
};

struct PopupDesc {
    std::u16string text;
    std::vector<MenuItemDesc> items;
};

const std::vector<PopupDesc> kMainMenu = {
    {u"&File",
     {{u"Check For &Updates", kCmdCheckForUpdates},
      {u"C&hoose Article", kCmdIndex},
      {u"", 0},
      {u"F&ont", kCmdFont},
      {u"Re&verse", kCmdReverse},
      {u"&Night", kCmdNight},
      {u"", 0},
      {u"&Copy", kCmdCopy},
      {u"&Append to ClipBoard", kCmdAppend},
      {u"", 0},
      {u"Highl&ight", kCmdHighlight},
      {u"Add Not&e...", kCmdAddNote},
      {u"Undo &Remove Note", kCmdUndoRemoveNote},
      {u"", 0},
      {u"&Print...", kCmdPrint},
      {u"Print Previe&w", kCmdPrintPreview},
      {u"Export as P&DF...", kCmdExportPdf},
      {u"Export No&tes...", kCmdExportNotes},
      {u"I&mport Notes...", kCmdImportNotes},
      {u"", 0},
      {u"E&xit", kCmdExit}}},
    {u"&Go",
     {{u"&Index", kCmdIndex},
      {u"&Bookmark", kCmdBookmark},
      {u"&Previous Article", kCmdPreviousArticle},
      {u"&Next Article", kCmdNextArticle},
      {u"Next &Unread", kCmdNextUnread},
      {u"", 0},
      {u"&Search", kCmdSearch},
      {u"Search A&gain", kCmdSearchAgain},
      {u"", 0},
      {u"Go &To Article...", kCmdGoTo},
      {u"Bac&k", kCmdBack},
      {u"&Forward", kCmdForward}}},
    {u"&View",
     {{u"Side &Panel", kCmdSidePanel},
      {u"&Contents", kCmdContentsTab},
      {u"&Find", kCmdSearchTab},
      {u"N&otes", kCmdNotesTab},
      {u"Previous &Hit", kCmdPreviousHit},
      {u"", 0},
      {u"F&ull Screen", kCmdFullScreen},
      {u"Caret &Browsing", kCmdCaretMode},
      {u"", 0},
      {u"Column &Width", 0,
       {{u"&Narrow", kCmdColumnNarrow},
        {u"&Medium", kCmdColumnMedium},
        {u"&Wide", kCmdColumnWide},
        {u"&Full Window", kCmdColumnFullWindow}}},
      {u"Line &Spacing", 0, {{u"&1", kCmdLineSpacing10}, {u"1.&2", kCmdLineSpacing12}, {u"1.&5", kCmdLineSpacing15}}}}},
    {u"&Help",
     {{u"&Reading Guide", kCmdReadingGuide},
      {u"&Keys", kCmdKeys},
      {u"", 0},
      {u"&About", kCmdAbout}}},
};

// A pop-up's items follow it directly, up to the one marked MF_END.
void PutItems(std::vector<BYTE>& out, const std::vector<MenuItemDesc>& items) {
    for (size_t i = 0; i < items.size(); i++) {
        WORD end = i + 1 == items.size() ? MF_END : 0;
        if (!items[i].items.empty()) {
            PutWord(out, (WORD)(MF_POPUP | end));
            PutString(out, items[i].text.c_str());
            PutItems(out, items[i].items);
            continue;
        }
        PutWord(out, end);
        PutWord(out, items[i].command);
        std::u16string shortcut = items[i].text.empty() ? u"" : ShortcutLabel(items[i].command);
        PutString(out, (shortcut.empty() ? items[i].text : items[i].text + u"\b" + shortcut).c_str());
    }
}

std::vector<BYTE> BuildMenu(const std::vector<PopupDesc>& popups) {
    std::vector<BYTE> out;
    PutWord(out, 0);  // version
    PutWord(out, 0);  // header size
    for (size_t p = 0; p < popups.size(); p++) {
        PutWord(out, (WORD)(MF_POPUP | (p + 1 == popups.size() ? MF_END : 0)));
        PutString(out, popups[p].text.c_str());
        PutItems(out, popups[p].items);
    }
    return out;
}

// ---- Menu bar description 102 and its strings ----

constexpr WORD kNoImage = 0xFFFE;
constexpr WORD kDropDownAutoSize = TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE;
const WORD kMenuBarWords[] = {
    102, 4,
    kNoImage, kCmdFileMenu, TBSTATE_ENABLED, kDropDownAutoSize, 303, 0, 0,
    kNoImage, kCmdGoMenu, TBSTATE_ENABLED, kDropDownAutoSize, 302, 0, 1,
    kNoImage, kCmdViewMenu, TBSTATE_ENABLED, kDropDownAutoSize, 301, 0, 2,
    kNoImage, kCmdHelpMenu, TBSTATE_ENABLED, kDropDownAutoSize, 300, 0, 3,
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

const std::vector<BYTE> gMenu = BuildMenu(kMainMenu);
const std::vector<BYTE> gMenuBar = BuildWords(kMenuBarWords, sizeof kMenuBarWords / sizeof kMenuBarWords[0]);
constexpr WORD kStringBlock = 302 / 16 + 1;
const std::vector<BYTE> gStrings = BuildStringBlock((kStringBlock - 1) * 16, {{300, u"Help"}, {301, u"View"}, {302, u"Go"}, {303, u"File"}});

const ResourceEntry gEntries[] = {
    {4, 102, gMenu.data(), (uint32_t)gMenu.size()},
    {10, 102, gMenuBar.data(), (uint32_t)gMenuBar.size()},
    {6, kStringBlock, gStrings.data(), (uint32_t)gStrings.size()},
};

}  // namespace

const ResourceTable kMenuResourceTable = {gEntries, sizeof gEntries / sizeof gEntries[0]};
