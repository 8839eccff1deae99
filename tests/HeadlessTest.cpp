// The headless renderer: arguments, and a picture of an embedded article.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Picture.h"
#include "platform/qt/QtGdi.h"
#include "cli/Headless.h"

namespace {

// argv for "velun" followed by the arguments (which must outlive it).
std::vector<char*> Argv(std::vector<std::string>& arguments) {
    arguments.insert(arguments.begin(), "velun");
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    return argv;
}

int Render(std::vector<std::string> arguments) {
    std::vector<char*> argv = Argv(arguments);
    return RunHeadless((int)arguments.size(), argv.data());
}

bool Parse(std::vector<std::string> arguments, HeadlessOptions* options, std::string* error) {
    std::vector<char*> argv = Argv(arguments);
    return ParseHeadlessOptions((int)arguments.size(), argv.data(), options, error);
}

std::string TempPng(const char* name) { return testing::TempDir() + name; }

TEST(Headless, RequestIsRecognisedAnywhereOnTheLine) {
    std::string a = "velun", b = "--size", c = "10x10", d = "--render", e = "3";
    char* with[] = {a.data(), b.data(), c.data(), d.data(), e.data()};
    EXPECT_TRUE(IsHeadlessRequest(5, with));
    char* without[] = {a.data(), b.data(), c.data()};
    EXPECT_FALSE(IsHeadlessRequest(3, without));
}

TEST(Headless, OptionsAreParsed) {
    HeadlessOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--render", "35", "--size", "800x600", "--top-row", "7", "--font-face", "DejaVu Serif",
                       "--font-size", "18", "--base", "1488", "--reverse", "--out", "x.png"},
                      &options, &error))
        << error;
    EXPECT_EQ(options.target, 35);
    EXPECT_EQ(options.width, 800);
    EXPECT_EQ(options.height, 600);
    EXPECT_EQ(options.topRow, 7);
    EXPECT_EQ(std::u16string(options.font.faceName), u"DejaVu Serif");
    EXPECT_EQ(options.font.size, 18);
    EXPECT_EQ(options.font.FontAsciiBase, 1488);
    EXPECT_TRUE(options.reverse);
    EXPECT_EQ(options.out, "x.png");
}

TEST(Headless, BadArgumentsExitWithTwo) {
    std::string out = TempPng("never.png");
    EXPECT_EQ(Render({"--render", "188", "--out", out}), 2);
    EXPECT_EQ(Render({"--render", "1x", "--out", out}), 2);
    EXPECT_EQ(Render({"--render", "1"}), 2);
    EXPECT_EQ(Render({"--render", "1", "--out"}), 2);
    EXPECT_EQ(Render({"--render", "1", "--size", "0x100", "--out", out}), 2);
    EXPECT_EQ(Render({"--render", "1", "--size", "240", "--out", out}), 2);
    EXPECT_EQ(Render({"--render", "1", "--base", "100", "--out", out}), 2);
    EXPECT_EQ(Render({"--render", "1", "--font-face", std::string(32, 'F'), "--out", out}), 2);
    EXPECT_EQ(Render({"--render", "1", "--colour", "red", "--out", out}), 2);
    EXPECT_EQ(fopen(out.c_str(), "rb"), nullptr);
}

int InkedPixels(const QImage& image) {
    int inked = 0;
    for (int y = 0; y < image.height(); y++)
        for (int x = 0; x < image.width(); x++)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) inked++;
    return inked;
}

TEST(Headless, WritesThePaintedArticle) {
    std::string out = TempPng("article34.png");
    ASSERT_EQ(Render({"--render", "34", "--size", "300x200", "--base", "1488", "--out", out}), 0);
    QImage image(QString::fromStdString(out));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 300);
    EXPECT_EQ(image.height(), 200);
    int inked = InkedPixels(image);
    EXPECT_GT(inked, 300 * 200 / 50);  // text, not a blank page
    EXPECT_LT(inked, 300 * 200 / 2);

    std::string later = TempPng("article34-later.png");
    ASSERT_EQ(Render({"--render", "34", "--size", "300x200", "--top-row", "20", "--out", later}), 0);
    EXPECT_NE(QImage(QString::fromStdString(later)), image);
    remove(out.c_str());
    remove(later.c_str());
}

TEST(Headless, UnwritableOutputFails) {
    EXPECT_EQ(Render({"--render", "1", "--out", "/nonexistent-folder/x.png"}), 1);
}

// The stored list bullet, byte 0x95, reaches the surface as U+0095 and must show
// as the bullet that Windows fonts draw for it, not as a missing glyph.
QImage Drawn(const char16_t* text) {
    HDC dc = CreatePictureDC(40, 20);
    RECT rect = {0, 0, 40, 20};
    DrawTextW(dc, text, 1, &rect, DT_SINGLELINE | DT_NOPREFIX);
    QImage image = *ImageOfDC(dc);
    DestroyPictureDC(dc);
    return image;
}

TEST(Headless, ListBulletIsDrawnAsABullet) {
    QImage stored = Drawn(u"\u0095");
    EXPECT_GT(InkedPixels(stored), 0);
    EXPECT_EQ(stored, Drawn(u"\u2022"));
}

}  // namespace
