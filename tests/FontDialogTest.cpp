// The font dialog on the offscreen Qt platform, with scripted font families: the
// size and face lists, the base buttons, what OK and Cancel store, the layout,
// and the family list's blocks of nodes.
#include <gtest/gtest.h>

#include <QWidget>
#include <functional>
#include <set>

#include "platform/Surface.h"
#include "platform/TestHooks.h"
#include "platform/qt/QtWindow.h"
#include "platform/win32.h"
#include "shell/AppState.h"
#include "shell/FontDialog.h"

namespace {

std::function<void(HWND)> gScript;

// The dialog's own procedure, with the test's script run once it is initialised.
INT_PTR CALLBACK ScriptedFontProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FontDialogProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG && gScript) gScript(dialog);
    return result;
}

INT_PTR RunFontDialog(FontSettings* settings, std::function<void(HWND)> script) {
    gScript = std::move(script);
    auto dialog = (LPCDLGTEMPLATEW)LoadResource(nullptr, FindResourceW(nullptr, MAKEINTRESOURCEW(105), RT_DIALOG));
    INT_PTR result = DialogBoxIndirectParamW(nullptr, dialog, nullptr, ScriptedFontProc, (LPARAM)settings);
    gScript = nullptr;
    return result;
}

FontSettings Settings(const char16_t* face, int size, int base) {
    FontSettings s{};
    std::u16string(face).copy(s.faceName, LF_FACESIZE - 1);
    s.size = size;
    s.FontAsciiBase = base;
    return s;
}

std::vector<std::u16string> ListTexts(HWND dialog, int id) {
    HWND list = GetDlgItem(dialog, id);
    std::vector<std::u16string> texts;
    for (LRESULT i = 0, n = SendMessageW(list, LB_GETCOUNT, 0, 0); i < n; i++) {
        WCHAR text[64] = {};
        SendMessageW(list, LB_GETTEXT, i, (LPARAM)text);
        texts.push_back(text);
    }
    return texts;
}

std::u16string Selected(HWND dialog, int id) {
    HWND list = GetDlgItem(dialog, id);
    LRESULT i = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (i < 0) return u"(none)";
    WCHAR text[64] = {};
    SendMessageW(list, LB_GETTEXT, i, (LPARAM)text);
    return text;
}

// What the user's tap on a list entry does: select it, and the list notifies.
void Choose(HWND dialog, int id, const char16_t* text) {
    HWND list = GetDlgItem(dialog, id);
    LRESULT row = SendMessageW(list, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)text);
    ASSERT_GE(row, 0) << "no entry " << QString::fromUtf16(text).toStdString();
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), (LPARAM)list);
}

void Click(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

bool Checked(HWND dialog, int id) { return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::u16string PreviewText(HWND dialog) {
    WCHAR text[128] = {};
    GetDlgItemTextW(dialog, kPreviewBox, text, 128);
    return text;
}

// The preview's second line: the 27 letters through the base.
std::u16string PreviewLetters(HWND dialog) {
    std::u16string text = PreviewText(dialog);
    size_t lineEnd = text.find(u'\n');
    return lineEnd == std::u16string::npos ? u"(one line)" : text.substr(lineEnd + 1);
}

void Press(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

class FontDialogTest : public testing::Test {
  protected:
    void SetUp() override {
        EnsureWindowLayer();
        ResetAppState();
        ScriptFontFamilies({{u"Zeta Serif", ANSI_CHARSET},
                            {u"arial like", ANSI_CHARSET},
                            {u"Hebrew Face", HEBREW_CHARSET},
                            {u"Beta Sans", ANSI_CHARSET},
                            {u"Beta", DEFAULT_CHARSET}});
    }
    void TearDown() override { StopFontFamilyScript(); }
};

TEST_F(FontDialogTest, DefaultSettingsSelectDefaultAndLatinLettersAndOkKeepsThem) {
    FontSettings s = Settings(u"", 0, 0);
    INT_PTR result = RunFontDialog(&s, [](HWND d) {
        EXPECT_TRUE(Checked(d, kBase97Button));
        EXPECT_FALSE(Checked(d, kBase224Button));
        EXPECT_FALSE(Checked(d, kBase5D0Button));
        EXPECT_EQ(Selected(d, kSizeList), u"Default");
        EXPECT_EQ(Selected(d, kFaceList), u"(none)");
        EXPECT_EQ(PreviewText(d).rfind(u"Letters, Writing and Type", 0), 0u);
        EXPECT_EQ(PreviewLetters(d), u"{zyxwvutsrqponmlkjihgfedcba");
        // The preview is in the current face and size from the start.
        EXPECT_NE(SendMessageW(GetDlgItem(d, kPreviewBox), WM_GETFONT, 0, 0), 0);
        Press(d, IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(s.size, 0);
    EXPECT_EQ(s.FontAsciiBase, 97);  // a stored 0 is taken as 97
    EXPECT_EQ(std::u16string(s.faceName), u"");
}

// "Default" first, then ascending sizes with the stored one at its place and the
// platform's default cell height (16 here) marked: the smaller entries give
// smaller text than Default.
TEST_F(FontDialogTest, SizeListIsAscendingAfterDefaultAndSelectsTheStoredSize) {
    const std::vector<std::u16string> table = {u"10", u"11", u"12", u"14", u"16 (default)", u"18", u"20",
                                               u"22", u"24", u"26", u"28", u"32", u"52", u"72"};
    struct Case {
        int stored;
        int at;                  // where an unlisted stored size goes in the table, or -1
        const char16_t* selected;
    };
    for (Case c : {Case{0, -1, u"Default"}, Case{8, 0, u"8"}, Case{7, 0, u"7"}, Case{13, 3, u"13"},
                   Case{28, -1, u"28"}, Case{16, -1, u"16 (default)"}, Case{100, 14, u"100"}, Case{-3, 0, u"-3"},
                   Case{INT32_MIN, 0, u"-2147483648"}}) {
        SCOPED_TRACE(c.stored);
        FontSettings s = Settings(u"Beta", c.stored, 97);
        RunFontDialog(&s, [&](HWND d) {
            std::vector<std::u16string> expected = table;
            if (c.at >= 0) expected.insert(expected.begin() + c.at, c.selected);
            expected.insert(expected.begin(), u"Default");
            EXPECT_EQ(ListTexts(d, kSizeList), expected);
            EXPECT_EQ(Selected(d, kSizeList), c.selected);
            Press(d, IDOK);
        });
        EXPECT_EQ(s.size, c.stored);  // OK without a choice keeps the size
    }
}

TEST_F(FontDialogTest, ChosenSizeAndFaceAreStoredOnOk) {
    FontSettings s = Settings(u"Zeta Serif", 13, 97);
    RunFontDialog(&s, [](HWND d) {
        Choose(d, kSizeList, u"52");
        Choose(d, kFaceList, u"Beta Sans");
        Press(d, IDOK);
    });
    EXPECT_EQ(s.size, 52);
    EXPECT_EQ(std::u16string(s.faceName), u"Beta Sans");
    EXPECT_EQ(s.FontAsciiBase, 97);
    RunFontDialog(&s, [](HWND d) {
        Choose(d, kSizeList, u"Default");
        Press(d, IDOK);
    });
    EXPECT_EQ(s.size, 0);
}

TEST_F(FontDialogTest, FaceListIsSortedAndSelectsTheFirstEntryBeginningWithTheStoredName) {
    FontSettings s = Settings(u"Beta", 0, 97);
    RunFontDialog(&s, [](HWND d) {
        EXPECT_EQ(ListTexts(d, kFaceList),
                  (std::vector<std::u16string>{u"arial like", u"Beta", u"Beta Sans", u"Hebrew Face", u"Zeta Serif"}));
        EXPECT_EQ(Selected(d, kFaceList), u"Beta");
        Press(d, IDOK);
    });
    EXPECT_EQ(std::u16string(s.faceName), u"Beta");

    // A stored name that begins no entry selects nothing, and OK keeps it.
    s = Settings(u"Gone Face", 0, 97);
    RunFontDialog(&s, [](HWND d) {
        EXPECT_EQ(Selected(d, kFaceList), u"(none)");
        Press(d, IDOK);
    });
    EXPECT_EQ(std::u16string(s.faceName), u"Gone Face");
}

TEST_F(FontDialogTest, HebrewFaceSwitchesToTheHebrewBase) {
    FontSettings s = Settings(u"", 0, 224);
    RunFontDialog(&s, [](HWND d) {
        EXPECT_TRUE(Checked(d, kBase224Button));
        // Another character set leaves the buttons alone.
        Choose(d, kFaceList, u"Beta Sans");
        EXPECT_TRUE(Checked(d, kBase224Button));
        EXPECT_FALSE(Checked(d, kBase5D0Button));

        Choose(d, kFaceList, u"Hebrew Face");
        EXPECT_FALSE(Checked(d, kBase224Button));
        EXPECT_TRUE(Checked(d, kBase5D0Button));
        std::u16string preview = PreviewLetters(d);
        EXPECT_EQ(preview.size(), 27u);
        EXPECT_EQ(preview.front(), u'\u05EA');
        EXPECT_EQ(preview.back(), u'\u05D0');
        Press(d, IDOK);
    });
    EXPECT_EQ(s.FontAsciiBase, 0x5D0);
    EXPECT_EQ(std::u16string(s.faceName), u"Hebrew Face");
}

TEST_F(FontDialogTest, OnlyTheFirstFamilyOfANameDecidesTheCharacterSet) {
    ScriptFontFamilies({{u"Twin", ANSI_CHARSET}, {u"Twin", HEBREW_CHARSET}});
    FontSettings s = Settings(u"", 0, 97);
    RunFontDialog(&s, [](HWND d) {
        Choose(d, kFaceList, u"Twin");
        EXPECT_FALSE(Checked(d, kBase5D0Button));
        Press(d, IDOK);
    });
    EXPECT_EQ(s.FontAsciiBase, 97);
}

TEST_F(FontDialogTest, BaseButtonsChangeThePreviewAndOkStoresTheBase) {
    FontSettings s = Settings(u"Beta", 12, 97);
    RunFontDialog(&s, [](HWND d) {
        Click(d, kBase224Button);
        std::u16string preview = PreviewLetters(d);
        EXPECT_EQ(preview.front(), u'\u00FA');
        EXPECT_EQ(preview.back(), u'\u00E0');
        // The preview box now has a font of the chosen face and size.
        auto font = (HGDIOBJ)SendMessageW(GetDlgItem(d, kPreviewBox), WM_GETFONT, 0, 0);
        LOGFONTW lf{};
        ASSERT_TRUE(GetObjectW(font, sizeof lf, &lf));
        EXPECT_EQ(std::u16string(lf.lfFaceName), u"Beta");
        EXPECT_EQ(lf.lfHeight, 12);
        Press(d, IDOK);
    });
    EXPECT_EQ(s.FontAsciiBase, 224);
}

TEST_F(FontDialogTest, CancelChangesNothingAndNoPreviewFontOutlivesTheDialog) {
    FontSettings s = Settings(u"Beta", 12, 224);
    FontSettings before = s;
    int objects = LiveGdiObjectCount();
    INT_PTR result = RunFontDialog(&s, [](HWND d) {
        Choose(d, kFaceList, u"Hebrew Face");
        Choose(d, kSizeList, u"72");
        Press(d, IDCANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
    EXPECT_EQ(LiveGdiObjectCount(), objects);
    EXPECT_EQ(gFontFamilies.head, nullptr);

    RunFontDialog(&s, [](HWND d) {
        Click(d, kBase5D0Button);
        Press(d, IDOK);
    });
    EXPECT_EQ(LiveGdiObjectCount(), objects);
}

TEST_F(FontDialogTest, LatinLettersAreAChoiceToGoBackTo) {
    FontSettings s = Settings(u"", 0, 0x5D0);
    RunFontDialog(&s, [](HWND d) {
        EXPECT_TRUE(Checked(d, kBase5D0Button));
        EXPECT_FALSE(Checked(d, kBase97Button));
        Click(d, kBase97Button);
        EXPECT_EQ(PreviewLetters(d), u"{zyxwvutsrqponmlkjihgfedcba");
        Press(d, IDOK);
    });
    EXPECT_EQ(s.FontAsciiBase, 97);
}

TEST_F(FontDialogTest, ChoicesSayWhatTheyOffer) {
    FontSettings s = Settings(u"", 0, 97);
    RunFontDialog(&s, [](HWND d) {
        const std::pair<int, std::u16string> labels[] = {{kBase97Button, u"Latin letters (97)"},
                                                          {kBase224Button, u"Hebrew, ISO 8859-8 (224)"},
                                                          {kBase5D0Button, u"Hebrew, Unicode (0x5D0)"}};
        for (const auto& [id, label] : labels) {
            WCHAR text[64] = {};
            GetDlgItemTextW(d, id, text, 64);
            EXPECT_EQ(std::u16string(text), label);
        }
        Press(d, IDCANCEL);
    });
}

TEST_F(FontDialogTest, ListsAboveTheBaseRowsAboveThePreview) {
    FontSettings s = Settings(u"", 0, 97);
    RunFontDialog(&s, [](HWND d) {
        SendMessageW(d, WM_SIZE, SIZE_RESTORED, MAKELPARAM(240, 300));
        // W' = 226, H' = 286: the lists share 150 and 76 across, the preview the lowest 71.
        EXPECT_EQ(WidgetOf(GetDlgItem(d, kFaceList))->geometry(), QRect(7, 7, 143, 159));
        EXPECT_EQ(WidgetOf(GetDlgItem(d, kSizeList))->geometry(), QRect(157, 7, 76, 159));
        EXPECT_EQ(WidgetOf(GetDlgItem(d, kBase97Button))->geometry(), QRect(7, 170, 226, 16));
        EXPECT_EQ(WidgetOf(GetDlgItem(d, kBase224Button))->geometry(), QRect(7, 186, 226, 16));
        EXPECT_EQ(WidgetOf(GetDlgItem(d, kBase5D0Button))->geometry(), QRect(7, 202, 226, 16));
        EXPECT_EQ(WidgetOf(GetDlgItem(d, kPreviewBox))->geometry(), QRect(7, 222, 226, 71));
        Press(d, IDCANCEL);
    });
}

// ---- The family list ----

LOGFONTW Face(const std::u16string& name) {
    LOGFONTW lf{};
    name.copy(lf.lfFaceName, LF_FACESIZE);
    return lf;
}

TEST(FontFamilyListTest, NodesComeInBlocksOfTwentyFiveFreedThroughTheirFirstNode) {
    ResetFontFamilyList();
    TEXTMETRICW metrics{};
    for (int i = 0; i < 60; i++) {
        metrics.tmCharSet = i == 30 ? HEBREW_CHARSET : ANSI_CHARSET;
        LOGFONTW lf = Face(u"Face " + QString::number(i).toStdU16String());
        ASSERT_EQ(AddFontFamily(&lf, &metrics, TRUETYPE_FONTTYPE, 0), 1);
    }
    int i = 0;
    FontFamilyNode* last = nullptr;
    for (FontFamilyNode* n = gFontFamilies.head; n; n = n->next, i++) {
        EXPECT_EQ(n->blockStart, (i % 25 == 0) ? 1 : 0) << i;
        EXPECT_EQ(std::u16string(n->faceName), u"Face " + QString::number(i).toStdU16String());
        EXPECT_EQ(n->charset, i == 30 ? HEBREW_CHARSET : ANSI_CHARSET);
        // Within a block the nodes are consecutive.
        if (i % 25) {
            EXPECT_EQ(n, last + 1);
        }
        last = n;
    }
    EXPECT_EQ(i, 60);
    EXPECT_EQ(gFontFamilies.nodesLeft, 15);
    EXPECT_EQ(gFontFamilies.tail, &last->next);

    FreeFontFamilyList();
    EXPECT_EQ(gFontFamilies.head, nullptr);
    EXPECT_EQ(gFontFamilies.tail, &gFontFamilies.head);
    EXPECT_EQ(gFontFamilies.nodesLeft, 0);

    // A fresh list after freeing starts a new block.
    LOGFONTW lf = Face(u"Again");
    AddFontFamily(&lf, &metrics, TRUETYPE_FONTTYPE, 0);
    EXPECT_EQ(gFontFamilies.head->blockStart, 1);
    EXPECT_EQ(gFontFamilies.nodesLeft, 24);
    FreeFontFamilyList();
}

TEST(FontFamilyListTest, AFaceNameFillingTheWholeFieldIsCutToThirtyOneUnits) {
    ResetFontFamilyList();
    LOGFONTW lf{};
    std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), u'W');  // no terminator
    TEXTMETRICW metrics{};
    AddFontFamily(&lf, &metrics, TRUETYPE_FONTTYPE, 0);
    EXPECT_EQ(std::u16string(gFontFamilies.head->faceName), std::u16string(31, u'W'));
    FreeFontFamilyList();
}

TEST(FontFamilyListTest, DialogOpenedTwiceEnumeratesAfreshWithMoreThanOneBlock) {
    EnsureWindowLayer();
    std::vector<FontFamilyEntry> families;
    for (int i = 0; i < 70; i++) families.push_back({u"Family " + QString::number(i).toStdU16String(), ANSI_CHARSET});
    ScriptFontFamilies(families);
    FontSettings s = Settings(u"Family 69", 0, 97);
    for (int round = 0; round < 2; round++) {
        RunFontDialog(&s, [](HWND d) {
            EXPECT_EQ(ListTexts(d, kFaceList).size(), 70u);
            EXPECT_EQ(Selected(d, kFaceList), u"Family 69");
            Press(d, IDOK);
        });
    }
    StopFontFamilyScript();
}

// The system's families through the font database: names fit a LOGFONTW, and the
// Hebrew fonts the program's set-up installs report the Hebrew character set.
TEST(SystemFontFamiliesTest, ReportFittingNamesAndHebrewFacesAsHebrew) {
    std::vector<std::pair<std::u16string, BYTE>> seen;
    EnumFontFamiliesW(nullptr, nullptr, [](const LOGFONTW* lf, const TEXTMETRICW* tm, DWORD, LPARAM p) -> int {
        ((std::vector<std::pair<std::u16string, BYTE>>*)p)->push_back({lf->lfFaceName, tm->tmCharSet});
        return 1;
    }, (LPARAM)&seen);
    ASSERT_FALSE(seen.empty());
    bool hebrew = false;
    std::set<std::u16string> names;
    for (auto& [face, charset] : seen) {
        EXPECT_LT(face.size(), (size_t)LF_FACESIZE);
        EXPECT_FALSE(face.empty());
        // Each family once, by its own name (fonts from two foundries are installed).
        EXPECT_TRUE(names.insert(face).second);
        EXPECT_NE(face.back(), u']');
        if (face == u"David CLM") hebrew = charset == HEBREW_CHARSET;
    }
    EXPECT_TRUE(hebrew);

    // The callback's 0 stops the enumeration.
    int calls = 0;
    EnumFontFamiliesW(nullptr, nullptr, [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM p) -> int {
        ++*(int*)p;
        return 0;
    }, (LPARAM)&calls);
    EXPECT_EQ(calls, 1);
}

}  // namespace
