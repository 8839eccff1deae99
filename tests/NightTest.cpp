// Night reading: colours that read well on the dark page, the views drawn in them,
// the command with its check mark, and the stored setting.
#include <cmath>

#include <QImage>

#include "ArticleFixture.h"
#include "Contrast.h"
#include "ShellFixture.h"
#include "shell/Bookmarks.h"
#include "cli/Headless.h"
#include "views/Palette.h"

namespace {

class NightPaint : public ArticleViewTest {
  protected:
    void SetUp() override {
        ArticleViewTest::SetUp();
        gNightReading = TRUE;
    }
};

class NightReader : public ReaderTest {};

}  // namespace

TEST(NightPalette, ContrastMeetsTheReadingThresholds) {
    const ViewPalette& n = kNightPalette;
    EXPECT_GE(Contrast(n.text, n.background), 7.0);
    EXPECT_GE(Contrast(n.heading, n.background), 4.5);
    EXPECT_GE(Contrast(n.hitText, n.hitBackground), 4.5);
    EXPECT_GE(Contrast(n.boxText, n.boxFill), 4.5);
    // The page is dark and the text light: this is night, not a second day.
    EXPECT_LT(Luminance(n.background), 0.05);
    EXPECT_GT(Luminance(n.text), Luminance(n.heading));
    // The day colours are the reader's own and stay as they were.
    EXPECT_EQ(kDayPalette.heading, kBlue);
    EXPECT_EQ(kDayPalette.hitBackground, kYellow);
    EXPECT_EQ(kDayPalette.background, kWhite);
}

TEST_F(NightPaint, PageTextHeadingsRulesAndHitUseTheNightColours) {
    Open(200, 320);
    ASSERT_EQ(Layout({{0xCC, 0, "Title"}, {0x87, 0x50, ""}, {0x81, 0, "plain text"}}), kLayoutOk);
    view->hitStart = (uint16_t)TextOffset({{0xCC, 0, "Title"}, {0x87, 0x50, ""}}, 2);
    view->hitEnd = view->hitStart + 5;
    PaintArticleView(view, TRUE);
    auto fills = FakeCallsOf(dc, FakeCallKind::Fill);
    ASSERT_GE(fills.size(), 2u);
    EXPECT_EQ(fills[0].brushColour, kNightPalette.background);  // the erase
    EXPECT_EQ(fills[0].rect.bottom, 320);
    EXPECT_EQ(fills[1].brushColour, kNightPalette.rule);
    EXPECT_EQ(fills[1].rect.bottom - fills[1].rect.top, 1);
    auto runs = FakeCallsOf(dc, FakeCallKind::Text);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].textColour, kNightPalette.heading);
    EXPECT_EQ(runs[1].textColour, kNightPalette.text);
    // Plain text is laid on the dark page, never on the day's white.
    EXPECT_TRUE(!runs[1].opaque || runs[1].backgroundColour == kNightPalette.background);
    EXPECT_EQ(runs[2].text, u"plain");
    EXPECT_EQ(runs[2].textColour, kNightPalette.hitText);
    EXPECT_EQ(runs[2].backgroundColour, kNightPalette.hitBackground);
}

TEST_F(NightReader, CommandTogglesTheCheckAndTheSettingOutlivesTheRun) {
    SetProduct(u"Night", REG_DWORD, DwordBytes(1));
    ASSERT_NE(Start(), nullptr);
    EXPECT_TRUE(gNightReading);
    EXPECT_TRUE(Checked(kCmdNight, kCmdFileMenu));
    Send(WM_COMMAND, kCmdNight);
    EXPECT_FALSE(gNightReading);
    EXPECT_FALSE(Checked(kCmdNight, kCmdFileMenu));
    Send(WM_COMMAND, kCmdNight);
    EXPECT_TRUE(gNightReading);
    DestroyWindow(window);
    EXPECT_EQ(Product(u"Night").data, DwordBytes(1));
}

// Text values are read digit by digit, as every number setting is.
TEST_F(NightReader, AnythingButOneStoredReadsAsDay) {
    for (const std::vector<BYTE>& stored :
         {DwordBytes(0), DwordBytes(2), DwordBytes(0xFFFFFFFF), std::vector<BYTE>{'9', 0}, std::vector<BYTE>{}}) {
        ResetAppState();
        SetProduct(u"Night", stored.size() == 4 ? REG_DWORD : REG_BINARY, stored);
        LoadSettings();
        EXPECT_FALSE(gNightReading) << stored.size();
        ExitProgram();
        EXPECT_EQ(Product(u"Night").data, DwordBytes(0));
    }
}

TEST(NightHeadless, ArticleAndIndexRenderOnTheDarkPage) {
    for (const char* kind : {"--render", "--render-index"}) {
        std::string out = testing::TempDir() + "night.png";
        std::vector<std::string> arguments = {"velun", kind};
        if (kind[8] == 0) arguments.push_back("7");
        for (const char* a : {"--night", "--out", out.c_str()}) arguments.push_back(a);
        std::vector<char*> argv;
        for (std::string& a : arguments) argv.push_back(a.data());
        ASSERT_EQ(RunHeadless((int)argv.size(), argv.data()), 0) << kind;
        QImage image(QString::fromStdString(out));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.pixel(image.width() - 1, image.height() - 1) & 0xFFFFFF, 0x1E1E1Eu) << kind;
        remove(out.c_str());
    }
    ResetAppState();
}
