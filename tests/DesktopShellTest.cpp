// What a desktop user meets around the reader: the update check with and
// without a browser, the message boxes' frames, and --version and --help.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QStyle>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "platform/TestHooks.h"
#include "platform/qt/QtWindow.h"
#include "platform/win32.h"
#include "shell/About.h"
#include "cli/Usage.h"
#include "generated/ProgramFacts.h"

namespace {

const std::u16string kUpdateUrl = u"http://www.velmora.example/cgi-bin/upgrade?p=arm/Velmora/Tessaly%2DVelun&v=1.84c";

// A stand-in xdg-open first on PATH: it notes its argument and, after waiting
// the given seconds, ends with status.
struct FakeOpener {
    std::string dir, oldPath;

    explicit FakeOpener(int status, int seconds = 0) {
        char pattern[] = "/tmp/velun-opener-XXXXXX";
        dir = mkdtemp(pattern);
        std::string script = dir + "/xdg-open";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << dir << "/asked'\nsleep " << seconds
                                  << "\nexit " << status << "\n";
        chmod(script.c_str(), 0755);
        oldPath = getenv("PATH") ? getenv("PATH") : "";
        setenv("PATH", (dir + ":" + oldPath).c_str(), 1);
    }
    ~FakeOpener() {
        setenv("PATH", oldPath.c_str(), 1);
        std::filesystem::remove_all(dir);
    }
    std::string Asked() const {
        std::ifstream in(dir + "/asked");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

BOOL OpenThroughShell(LPCWSTR url, INT_PTR* instApp) {
    SHELLEXECUTEINFO info = {};
    info.cbSize = sizeof info;
    info.lpVerb = TEXT("Open");
    info.lpFile = url;
    BOOL opened = ShellExecuteEx(&info);
    *instApp = (INT_PTR)info.hInstApp;
    return opened;
}

TEST(BrowserTest, TheShellReportsWhetherTheDesktopCouldOpenTheAddress) {
    INT_PTR instApp = 0;
    {
        FakeOpener opener(0);
        EXPECT_TRUE(OpenThroughShell(TEXT("https://www.velmora.example/a?b=1"), &instApp));
        EXPECT_GT(instApp, 32);
        EXPECT_EQ(opener.Asked(), "https://www.velmora.example/a?b=1");
    }
    {
        FakeOpener opener(3);  // xdg-open: no browser found
        EXPECT_FALSE(OpenThroughShell(TEXT("https://www.velmora.example"), &instApp));
        EXPECT_LE(instApp, 32);
    }
    {
        // Still running: it has started a browser and waits for it to close.
        FakeOpener opener(3, 4);
        EXPECT_TRUE(OpenThroughShell(TEXT("https://www.velmora.example"), &instApp));
        EXPECT_GT(instApp, 32);
    }
}

TEST(BrowserTest, CheckForUpdatesWithoutABrowserSaysSoAndNamesTheAddress) {
    FakeOpener opener(3);
    ScriptMessageBoxes({});
    HWND owner = (HWND)0x1234;
    CheckForUpdates(owner);
    EXPECT_EQ(opener.Asked(), std::string(kUpdateUrl.begin(), kUpdateUrl.end()));
    ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
    const MessageBoxCall& box = RecordedMessageBoxes()[0];
    EXPECT_EQ(box.owner, owner);
    EXPECT_EQ(box.caption, u"Velun");
    EXPECT_EQ(box.text.substr(box.text.size() - kUpdateUrl.size()), kUpdateUrl);
    EXPECT_EQ(box.style, (UINT)(MB_OK | MB_ICONEXCLAMATION));
    StopMessageBoxScript();
}

TEST(BrowserTest, CheckForUpdatesThatOpensShowsNothing) {
    FakeOpener opener(0);
    ScriptMessageBoxes({});
    CheckForUpdates(nullptr);
    EXPECT_TRUE(RecordedMessageBoxes().empty());
    StopMessageBoxScript();
}

// ---- Message box frames ----

struct BoxFrame {
    Qt::WindowFlags flags;
    int width = 0, captionWidth = 0, titleBar = 0, textWidth = 0, labelWidth = 0;
};

BoxFrame FrameOf(LPCWSTR text, LPCWSTR caption) {
    EnsureWindowLayer();
    BoxFrame frame;
    QTimer::singleShot(0, [&frame] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        frame.flags = box->windowFlags();
        frame.width = box->width();
        QFont bold = box->font();
        bold.setBold(true);
        frame.captionWidth = QFontMetrics(bold).horizontalAdvance(box->windowTitle());
        frame.titleBar = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
        for (QLabel* label : box->findChildren<QLabel*>())
            if (label->text() == box->text()) {
                frame.textWidth = label->fontMetrics().horizontalAdvance(box->text());
                frame.labelWidth = label->width();
            }
        box->reject();
    });
    MessageBoxW(nullptr, text, caption, MB_OK);
    return frame;
}

TEST(MessageBoxFrameTest, NotFoundShowsItsWholeCaptionAndTextWithOnlyAClosingButton) {
    BoxFrame frame = FrameOf(TEXT("Not Found!"), TEXT("Velun"));
    EXPECT_FALSE(frame.flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(frame.flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(frame.flags & Qt::WindowCloseButtonHint);
    // Room for the caption beside at least the window icon and the close button.
    EXPECT_GE(frame.width, frame.captionWidth + 2 * frame.titleBar);
    EXPECT_GE(frame.labelWidth, frame.textWidth);
}

TEST(MessageBoxFrameTest, ALongCaptionWidensTheBox) {
    BoxFrame shortCaption = FrameOf(TEXT("Not Found!"), TEXT("Velun"));
    BoxFrame longCaption = FrameOf(TEXT("Not Found!"), TEXT("A caption much longer than the text under it"));
    EXPECT_GT(longCaption.width, shortCaption.width);
    EXPECT_GE(longCaption.width, longCaption.captionWidth + 2 * longCaption.titleBar);
}

// ---- --version and --help ----

char* Arg(const char* text) { return const_cast<char*>(text); }

TEST(UsageTest, VersionAndHelpAreAnsweredAndEverythingElseStartsTheProgram) {
    char* version[] = {Arg("velun"), Arg("--version")};
    char* help[] = {Arg("velun"), Arg("--render"), Arg("3"), Arg("-h")};
    char* both[] = {Arg("velun"), Arg("--version"), Arg("--help")};
    char* today[] = {Arg("velun"), Arg("/today")};
    char* render[] = {Arg("velun"), Arg("--render"), Arg("3"), Arg("--out"), Arg("x.png")};
    EXPECT_STREQ(InformationAsked(2, version), "Velun 1.84c\n");
    EXPECT_EQ(InformationAsked(4, help), HelpText());
    EXPECT_EQ(InformationAsked(3, both), kVersionText);
    EXPECT_EQ(InformationAsked(2, today), nullptr);
    EXPECT_EQ(InformationAsked(5, render), nullptr);
    EXPECT_EQ(InformationAsked(1, today), nullptr);
}

// The build's version is the one the About box and the update address carry.
TEST(UsageTest, TheReportedVersionIsTheUpdateAddresssVersion) {
    WCHAR url[kUpdateUrlUnits];
    BuildUpdateUrl(url, TEXT("x"));
    std::u16string tail = url;
    std::string version = VELUN_VERSION;
    EXPECT_EQ(tail.substr(tail.size() - version.size() - 3), u"&v=" + std::u16string(version.begin(), version.end()));
}

}  // namespace
