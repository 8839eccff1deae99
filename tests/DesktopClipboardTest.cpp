// Copy, Append and a passage as another program on the display reads them with
// xclip: every text target carries the text with LF line ends.
#include <gtest/gtest.h>

#include <cstdlib>

#include "XServer.h"
#include "content/Content.h"
#include "platform/Utf16.h"
#include "shell/AppState.h"
#include "shell/Export.h"

namespace {

// The text of an export (Append when old is given) as the desktop should receive it.
std::string Expected(int number, const std::u16string& old = u"") {
    ResetAppState();
    gApp.Flags = kDefaultFlags;
    gApp.fontSettings.FontAsciiBase = 97;
    BYTE* article = LoadContent(number, nullptr);
    WCHAR* text = RenderExportText(WholeArticle(article));
    auto* block = (const WCHAR*)BuildTextBlock(text, (const BYTE*)old.data(), old.size() * sizeof(char16_t));
    std::u16string lf = WithLfLineEnds(block);
    LocalFree((HLOCAL)block);
    free(text);
    free(article);
    return Utf16ToUtf8((const WCHAR*)lf.c_str());
}

std::u16string ClipboardUnits(int number) {
    std::string lf = Expected(number);
    return WithCrLfLineEnds(Utf8ToUtf16(lf));
}

TEST(DesktopClipboard, EveryTextTargetAndThePrimarySelectionHaveLfLineEnds) {
    XServer x;
    ASSERT_FALSE(x.Display().empty()) << "Xvfb (package xvfb) did not start";
    ChildProcess probe({VELUN_CLIPBOARD_PROBE}, {"DISPLAY=" + x.Display(), "QT_QPA_PLATFORM=xcb"});
    ASSERT_EQ(probe.ReadLine(), "ready");
    auto read = [&](const char* selection, const char* target) {
        return OutputOn(x.Display(), std::string("xclip -o -selection ") + selection + " -t '" + target + "' 2>&1");
    };
    const char* targets[] = {"text/plain", "text/plain;charset=utf-8", "UTF8_STRING"};
    struct Step {
        const char* command;
        std::string text;
    } steps[] = {
        {"copy 4", Expected(4)},
        {"append 7", Expected(7, ClipboardUnits(4))},
    };
    for (const Step& step : steps) {
        probe.Send(step.command);
        ASSERT_EQ(probe.ReadLine(), "done");
        EXPECT_NE(step.text.find('\n'), std::string::npos);
        for (const char* target : targets) {
            std::string got = read("clipboard", target);
            EXPECT_EQ(got.find('\r'), std::string::npos) << step.command << " " << target;
            EXPECT_EQ(got, step.text) << step.command << " " << target;
        }
    }
    probe.Send("passage 4");
    ASSERT_EQ(probe.ReadLine(), "done");
    for (const char* selection : {"clipboard", "primary"}) {
        std::string got = read(selection, "UTF8_STRING");
        EXPECT_NE(got.find('\n'), std::string::npos) << selection << ": a passage of several lines";
        EXPECT_EQ(got.find('\r'), std::string::npos) << selection;
    }
    EXPECT_EQ(read("clipboard", "UTF8_STRING"), read("primary", "UTF8_STRING"));
}

}  // namespace
