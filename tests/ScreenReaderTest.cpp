// The real reader under a screen reader's stack: on a private X server and D-Bus
// session, an AT-SPI client walks it from Python (tests/atspi/Walk.py), and Orca
// listens with its debug log on (tests/atspi/Listen.py). Each script prints its
// failures and a last line "NAME: N failures".
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "ReaderProcess.h"
#include "XServer.h"

namespace {

bool Have(const std::string& command) { return std::system(("command -v " + command + " >/dev/null 2>&1").c_str()) == 0; }

// The tool a run needs that is missing, or "".
std::string MissingTool(bool orca) {
    for (const char* tool : {"Xvfb", "dbus-run-session", "xdotool", "openbox"})
        if (!Have(tool)) return tool;
    if (!std::filesystem::exists("/usr/libexec/at-spi-bus-launcher")) return "at-spi2-core";
    if (std::system("/usr/bin/python3 -c 'import pyatspi' >/dev/null 2>&1") != 0) return "python3-pyatspi";
    if (orca && !Have("orca")) return "orca";
    return "";
}

// Runs a script against the reader on its own display and bus, in a private home,
// for at most four minutes (Orca's log, when asked for, in the home); returns its output.
std::string RunScript(const std::string& script, bool withLog) {
    XServer x;
    if (x.Display().empty()) return "no X server";
    ChildProcess manager({"openbox"}, {"DISPLAY=" + x.Display()});
    ReaderFolder folder;
    std::string env = "DISPLAY=" + x.Display() + " HOME=" + folder.dir + " XDG_CONFIG_HOME=" + folder.dir +
                      "/config XDG_DATA_HOME=" + folder.dir + "/data XDG_CACHE_HOME=" + folder.dir +
                      "/cache XDG_RUNTIME_DIR=" + folder.dir + "/runtime";
    std::string command = "env " + env + " timeout -k 5 240 dbus-run-session -- /usr/bin/python3 " +
                          VELUN_SOURCE_DIR "/tests/atspi/" + script + " " VELUN_READER " " +
                          (withLog ? folder.dir + "/orca.log" : "") + " 2>/dev/null";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        for (size_t n; (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, n);
        pclose(pipe);
    }
    return output;
}

}  // namespace

TEST(ScreenReaderSystem, AnAtSpiClientReadsTheArticleItsCaretSelectionBoxesAndLanguagesAndTheIndex) {
    if (std::string missing = MissingTool(false); !missing.empty()) GTEST_SKIP() << missing << " is not installed";
    std::string output = RunScript("Walk.py", false);
    EXPECT_NE(output.find("walk: 0 failures"), std::string::npos) << output;
}

TEST(ScreenReaderSystem, OrcaNamesAHighlightSaysItsNoteAndSpeaksTheNextTitleAndEachIndexLine) {
    if (std::string missing = MissingTool(true); !missing.empty()) GTEST_SKIP() << missing << " is not installed";
    std::string output = RunScript("Listen.py", true);
    EXPECT_NE(output.find("listen: 0 failures"), std::string::npos) << output;
}
