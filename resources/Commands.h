// Every command of the reader, by name: the menus, the menu bar, the accelerator
// table, the tool buttons and the handlers all use these, and no number stands
// anywhere else. A new command is one more name here.
#pragma once

#include <cstdint>

enum Command : uint16_t {
    kCmdIndexOld = 107,  // no menu item sends it; handled as kCmdIndex
    kCmdNextArticle = 109,
    kCmdPreviousArticle = 110,
    kCmdSearch = 116,
    kCmdSearchAgain = 117,
    kCmdIndex = 119,
    kCmdReverse = 122,
    kCmdBookmark = 123,
    kCmdCheckForUpdates = 129,
    kCmdFileMenu = 40001,
    kCmdGoMenu = 40002,
    kCmdAbout = 40004,
    kCmdExit = 40005,
    kCmdFont = 40006,
    kCmdCopy = 40007,
    kCmdAppend = 40009,
    kCmdGoTo = 40010,
    kCmdBack = 40011,
    kCmdForward = 40012,
    kCmdNight = 40013,
    kCmdPrint = 40014,
    kCmdPrintPreview = 40015,
    kCmdExportPdf = 40016,
    kCmdSidePanel = 40017,
    kCmdContentsTab = 40018,
    kCmdSearchTab = 40019,
    kCmdPreviousHit = 40020,
    kCmdViewMenu = 40021,
    kCmdHelpMenu = 40022,
    kCmdFullScreen = 40023,
    kCmdReadingGuide = 40024,
    kCmdKeys = 40025,
    kCmdNextUnread = 40040,
    kCmdColumnNarrow = 40030,
    kCmdColumnMedium = 40031,
    kCmdColumnWide = 40032,
    kCmdColumnFullWindow = 40033,
    kCmdLineSpacing10 = 40034,
    kCmdLineSpacing12 = 40035,
    kCmdLineSpacing15 = 40036,
    kCmdExportNotes = 40080,
    kCmdImportNotes = 40081,
    kCmdCaretMode = 40090,
    kCmdHighlight = 40050,        // the selection, in the colour last chosen
    kCmdAddNote = 40051,
    kCmdHighlightYellow = 40052,  // the four colours, in HighlightColour order
    kCmdHighlightGreen = 40053,
    kCmdHighlightBlue = 40054,
    kCmdHighlightPink = 40055,
    kCmdRemoveHighlight = 40056,
    kCmdEditNote = 40057,
    kCmdNotesTab = 40058,
    kCmdUndoRemoveNote = 40059,
};
