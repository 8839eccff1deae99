// The program's icon: one drawing gives the window icon in every size and the
// files the desktop's icon theme installs.
#include <gtest/gtest.h>

#include <QIcon>
#include <QCoreApplication>
#include <QImage>
#include <QWidget>

#include "platform/qt/QtWindow.h"
#include "generated/ProgramFacts.h"
#include "platform/win32.h"
#include "resources/icon/AppIcon.h"

namespace {

const int kThemeSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QImage ThemePng(int size) {
    QString side = QString::number(size);
    return QImage(QStringLiteral(VELUN_ICON_THEME_DIR "/%1x%1/apps/" VELUN_APP_ID ".png").arg(side))
        .convertToFormat(QImage::Format_ARGB32);
}

TEST(AppIconTest, WindowIconHasEverySizeAndTheInstalledPixels) {
    const QIcon* icon = (const QIcon*)LoadIconW(nullptr, MAKEINTRESOURCEW(101));
    ASSERT_NE(icon, nullptr);
    QList<QSize> sizes = icon->availableSizes();
    ASSERT_EQ(sizes.size(), (qsizetype)std::size(kThemeSizes));
    for (int size : kThemeSizes) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(sizes.contains(QSize(size, size)));
        QImage fromWindow = icon->pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
        QImage fromTheme = ThemePng(size);
        ASSERT_FALSE(fromTheme.isNull());
        EXPECT_EQ(fromWindow, fromTheme);
    }
}

TEST(AppIconTest, ASizeInBetweenComesFromTheNextLargerImageAndAHugeOneFromTheLargest) {
    const QIcon* icon = (const QIcon*)LoadIconW(nullptr, MAKEINTRESOURCEW(101));
    ASSERT_NE(icon, nullptr);
    const struct {
        int asked, got;
    } kCases[] = {{20, 20}, {40, 40}, {8, 8}, {300, 256}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.asked);
        EXPECT_EQ(icon->pixmap(QSize(c.asked, c.asked)).size(), QSize(c.got, c.got));
        EXPECT_EQ(icon->actualSize(QSize(c.asked, c.asked)), QSize(c.got, c.got));
    }
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(102)), nullptr);
}

// The icon's images are made when the window system is handed the icon, once the
// event loop runs, not while the window is made and first painted.
TEST(AppIconTest, AWindowGetsItsClassIconOnceTheEventLoopRuns) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(101));
    wc.lpszClassName = TEXT("IconTestClass");
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, TEXT("IconTestClass"), TEXT("Icon"), WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WidgetOf(window)->windowIcon().isNull());
    QCoreApplication::processEvents();
    EXPECT_EQ(WidgetOf(window)->windowIcon().availableSizes().size(), (qsizetype)std::size(kThemeSizes));
    DestroyWindow(window);
}

TEST(AppIconTest, ScalableIconHoldsEveryShapeOfTheDrawing) {
    std::string svg = IconSvg(kAppIcon);
    EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\"", 0), 0u);
    size_t polygons = 0;
    for (size_t at = svg.find("<polygon"); at != std::string::npos; at = svg.find("<polygon", at + 1)) polygons++;
    EXPECT_EQ(polygons, (size_t)kAppIcon.count);
    // The first shape, the cover, opaque and in its own colour.
    EXPECT_NE(svg.find("points=\"8,52 248,52 248,220 8,220\" fill=\"#2B3A55\" fill-opacity=\"1\""), std::string::npos);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

}  // namespace
