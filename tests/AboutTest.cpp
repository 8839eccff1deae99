// tests/ is one GoogleTest program of `unit` and `system` suites (tests/CMakeLists.txt)
// with the programs and scripts it starts; it may call any folder, platform/qt/ included.
// The update URL, the About box's link (its font, its drawing, what pressing it
// opens) and the closing of the box, on the offscreen Qt platform with the shell's
// opening recorded instead of done.
#include <gtest/gtest.h>

#include <functional>

#include "platform/TestHooks.h"
#include "platform/fake/FakeSurface.h"
#include "platform/qt/QtWindow.h"
#include "platform/win32.h"
#include "shell/About.h"

namespace {

const std::u16string kHome = u"http://www.velmora.example";

std::u16string UrlFor(const char16_t* product) {
    WCHAR url[kUpdateUrlUnits];
    BuildUpdateUrl(url, product);
    return url;
}

TEST(UpdateUrlTest, CheckForUpdatesOpensTheExactUrlWithTheMainWindowAsTarget) {
    RecordShellExecutes();
    HWND owner = (HWND)0x1234;
    CheckForUpdates(owner);
    ASSERT_EQ(RecordedShellExecutes().size(), 1u);
    const ShellExecuteCall& call = RecordedShellExecutes()[0];
    EXPECT_EQ(call.file, u"http://www.velmora.example/cgi-bin/upgrade?p=arm/Velmora/Tessaly%2DVelun&v=1.84c");
    EXPECT_EQ(call.verb, u"Open");
    EXPECT_EQ(call.window, owner);
    EXPECT_EQ(call.mask, (ULONG)SEE_MASK_FLAG_NO_UI);
    StopShellExecuteRecord();
}

TEST(UpdateUrlTest, EscapesEveryUnitButLettersDigitsDotAndSlash) {
    const std::u16string base = u"http://www.velmora.example/cgi-bin/upgrade?p=arm/";
    EXPECT_EQ(UrlFor(u"a Z.9/-_~%&"), base + u"a+Z.9/%2D%5F%7E%25%26&v=1.84c");
    EXPECT_EQ(UrlFor(u"\t"), base + u"%09&v=1.84c");  // at least two digits
    // Above 0xFF every hexadecimal digit is kept.
    EXPECT_EQ(UrlFor(u"\u05D0\uFFFF\u0100"), base + u"%5D0%FFFF%100&v=1.84c");
    EXPECT_EQ(UrlFor(u""), base + u"&v=1.84c");
}

TEST(UpdateUrlTest, ALongProductIsCutToFitTheBuffer) {
    std::u16string product(300, u'-');  // each unit grows to three
    std::u16string url = UrlFor(product.c_str());
    EXPECT_LT(url.size(), (size_t)kUpdateUrlUnits);
    EXPECT_EQ(url.substr(url.size() - 8), u"&v=1.84c");
    // Only whole escapes go in.
    EXPECT_EQ(url.substr(url.size() - 11, 3), u"%2D");
}

// ---- The About box ----

std::function<void(HWND)> gScript;

INT_PTR CALLBACK ScriptedAboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = AboutDialogProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG && gScript) gScript(dialog);
    return result;
}

INT_PTR RunAbout(std::function<void(HWND)> script) {
    gScript = std::move(script);
    auto dialog = (LPCDLGTEMPLATEW)LoadResource(nullptr, FindResourceW(nullptr, MAKEINTRESOURCEW(103), RT_DIALOG));
    INT_PTR result = DialogBoxIndirectParamW(nullptr, dialog, nullptr, ScriptedAboutProc, 0);
    gScript = nullptr;
    return result;
}

class AboutBoxTest : public testing::Test {
  protected:
    void SetUp() override {
        EnsureWindowLayer();
        RecordShellExecutes();
    }
    void TearDown() override { StopShellExecuteRecord(); }
};

TEST_F(AboutBoxTest, LinkKeepsTheBoxOpenAndOpensTheHomePageFromTheButton) {
    HFONT font = nullptr;
    INT_PTR result = RunAbout([&](HWND d) {
        HWND link = GetDlgItem(d, kLinkButton);
        EXPECT_EQ(SendMessageW(d, WM_COMMAND, MAKEWPARAM(kLinkButton, BN_CLICKED), (LPARAM)link), 0);
        ASSERT_EQ(RecordedShellExecutes().size(), 1u);
        EXPECT_EQ(RecordedShellExecutes()[0].file, kHome);
        EXPECT_EQ(RecordedShellExecutes()[0].verb, u"Open");
        EXPECT_EQ(RecordedShellExecutes()[0].window, link);
        // Identifiers 0 and below, and others, are ignored.
        EXPECT_EQ(SendMessageW(d, WM_COMMAND, MAKEWPARAM(0xFFFF, 0), 0), 0);
        EXPECT_EQ(SendMessageW(d, WM_COMMAND, MAKEWPARAM(0, 0), 0), 0);
        EXPECT_EQ(SendMessageW(d, WM_COMMAND, MAKEWPARAM(77, 0), 0), 0);
        EXPECT_FALSE(WindowOf(d)->dialogEnded);

        font = gLinkFont;
        EXPECT_EQ((HFONT)SendMessageW(link, WM_GETFONT, 0, 0), font);
        SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(RecordedShellExecutes().size(), 1u);
    // OK deleted the link font.
    EXPECT_EQ(gLinkFont, nullptr);
    LOGFONTW lf;
    EXPECT_EQ(GetObjectW(font, sizeof lf, &lf), 0);
}

TEST_F(AboutBoxTest, LinkFontIsTheButtonsFontUnderlinedAndExtraBoldAndTheButtonFitsItsText) {
    RunAbout([](HWND d) {
        HWND link = GetDlgItem(d, kLinkButton);
        LOGFONTW dialogFont{}, lf{};
        GetObjectW((HGDIOBJ)SendMessageW(d, WM_GETFONT, 0, 0), sizeof dialogFont, &dialogFont);
        ASSERT_TRUE(GetObjectW(gLinkFont, sizeof lf, &lf));
        EXPECT_EQ(std::u16string(lf.lfFaceName), std::u16string(dialogFont.lfFaceName));
        EXPECT_EQ(lf.lfHeight, dialogFont.lfHeight);
        EXPECT_TRUE(lf.lfUnderline);
        EXPECT_EQ(lf.lfWeight, FW_EXTRABOLD);

        HDC dc = GetDC(link);
        SelectObject(dc, gLinkFont);
        WCHAR text[100];
        GetWindowTextW(link, text, 100);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text, (int)wcslen(text), &extent);
        ReleaseDC(link, dc);
        RECT r;
        GetClientRect(link, &r);
        EXPECT_EQ(r.right, extent.cx + 2 * GetSystemMetrics(SM_CXEDGE));
        EXPECT_EQ(r.bottom, extent.cy + 2 * GetSystemMetrics(SM_CYEDGE));
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(gLinkFont, nullptr);
}

TEST_F(AboutBoxTest, ButtonFontWithoutFaceOrHeightGivesATenPointTahoma) {
    RunAbout([](HWND d) {
        HWND link = GetDlgItem(d, kLinkButton);
        LOGFONTW bare{};
        HFONT plain = CreateFontIndirectW(&bare);
        SendMessageW(link, WM_SETFONT, (WPARAM)plain, FALSE);
        HFONT font = CreateLinkFont(d);
        LOGFONTW lf{};
        ASSERT_TRUE(GetObjectW(font, sizeof lf, &lf));
        EXPECT_EQ(std::u16string(lf.lfFaceName), u"Tahoma");
        HDC dc = GetDC(link);
        EXPECT_EQ(lf.lfHeight, -(10 * GetDeviceCaps(dc, LOGPIXELSY)) / 72);
        ReleaseDC(link, dc);
        EXPECT_TRUE(lf.lfUnderline);
        DeleteObject(font);
        DeleteObject(plain);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
}

TEST_F(AboutBoxTest, LinkIsDrawnBlueOnWhiteInsideItsRectangle) {
    RunAbout([](HWND d) {
        HWND link = GetDlgItem(d, kLinkButton);
        HDC dc = CreateFakeDC();
        DRAWITEMSTRUCT item{ODT_BUTTON, kLinkButton, 0, ODA_DRAWENTIRE, 0, link, dc, {0, 0, 150, 20}, 0};
        EXPECT_EQ(SendMessageW(d, WM_DRAWITEM, kLinkButton, (LPARAM)&item), 0);
        std::vector<FakeCall> runs = FakeCallsOf(dc, FakeCallKind::Text);
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].text, u"www.velmora.example");
        EXPECT_EQ(runs[0].x, GetSystemMetrics(SM_CXEDGE) / 2);
        EXPECT_EQ(runs[0].y, 0);
        EXPECT_EQ(runs[0].textColour, (COLORREF)0xFF0000);
        EXPECT_EQ(runs[0].backgroundColour, (COLORREF)0xFFFFFF);
        EXPECT_TRUE(runs[0].opaque);
        EXPECT_EQ(runs[0].background.right, 150);
        EXPECT_EQ(runs[0].background.bottom, 20);
        DeleteDC(dc);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
}

}  // namespace
