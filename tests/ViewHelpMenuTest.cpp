// The View and Help menus through the real window: Full Screen (F11) there and
// back, kept for the next start; the reader's guide and keys by F1 and the Help
// menu; and access keys that tell every item of a menu apart.
#include <set>

#include "ShellFixture.h"
#include "platform/qt/QtMenu.h"
#include "reader/HelpMenu.h"
#include "resources/Commands.h"

namespace {

// The access key of an item's text: the letter after a single '&', folded.
char16_t AccessKey(const std::u16string& text) {
    for (size_t i = 0; i + 1 < text.size(); i++)
        if (text[i] == u'&' && text[i + 1] != u'&') return (char16_t)std::towlower(text[i + 1]);
    return 0;
}

class ViewHelpMenu : public ReaderTest {
  protected:
    void SetUp() override {
        ReaderTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartOn(26, 640, 480));
    }
    // A key through the accelerator table, as the message loop translates it.
    void Accelerated(WPARAM key) {
        MSG msg = {window, WM_KEYDOWN, key, 0};
        HACCEL table = LoadAcceleratorsW(gApp.instance, MAKEINTRESOURCEW(3));
        ASSERT_TRUE(TranslateAcceleratorW(window, table, &msg));
    }
    bool FullScreenShown() { return WindowOf(window)->frame->isFullScreen(); }
};

}  // namespace

TEST(MenuAccessKeys, EveryItemOfEachMenuHasItsOwnAccessKey) {
    HMENU menu = LoadMenuW(nullptr, MAKEINTRESOURCEW(102));
    ASSERT_TRUE(menu);
    std::set<char16_t> bar;
    for (const MenuItem& popup : MenuOf(menu)->items) {
        EXPECT_TRUE(bar.insert(AccessKey(popup.text)).second) << "menu bar: " << popup.text.size();
        std::set<char16_t> keys;
        for (const MenuItem& item : MenuOf(popup.popup)->items) {
            if (item.separator) continue;
            char16_t key = AccessKey(item.text);
            EXPECT_NE(key, 0) << (int)item.id;
            EXPECT_TRUE(keys.insert(key).second) << "item " << item.id << " repeats an access key";
        }
    }
    DestroyMenu(menu);
}

TEST_F(ViewHelpMenu, F11GoesFullScreenAndBackAndTheChoiceIsKeptForTheNextStart) {
    Accelerated(VK_F11);
    EXPECT_TRUE(gFullScreen);
    EXPECT_TRUE(FullScreenShown());
    EXPECT_TRUE(Checked(kCmdFullScreen, kCmdViewMenu));
    EXPECT_EQ(RegReadNumber(kVendorKey, TEXT("FullScreen"), 0), 1);
    Send(WM_COMMAND, kCmdFullScreen);
    EXPECT_FALSE(gFullScreen);
    EXPECT_FALSE(FullScreenShown());
    EXPECT_FALSE(Checked(kCmdFullScreen, kCmdViewMenu));
    EXPECT_EQ(RegReadNumber(kVendorKey, TEXT("FullScreen"), 1), 0);
}

TEST_F(ViewHelpMenu, F1OpensTheReadingGuideAndKeysTheKeysEachIntoTheHistory) {
    Accelerated(VK_F1);
    EXPECT_TRUE(HoldsArticle(View(), kReadingGuideArticle));
    Send(WM_COMMAND, kCmdKeys);
    EXPECT_TRUE(HoldsArticle(View(), kKeysArticle));
    Send(WM_COMMAND, kCmdBack);
    Send(WM_COMMAND, kCmdBack);
    EXPECT_TRUE(HoldsArticle(View(), 26));
}
