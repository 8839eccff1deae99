// Real readers ended abruptly: killed in the middle of the exit sequence, or
// signalled at any moment of start-up or with the start-up message box open.
#include <gtest/gtest.h>

#include <mutex>
#include <random>

#include "ReaderProcess.h"

namespace {

// Settings that the exit sequence rewrites in several places: the article, the base
// stored as text, the flags, and bookmarks without their 0 entry.
std::string OldSettings(const std::string& lesson) {
    return "; kept by hand\n"
           "[HKEY_CURRENT_USER\\Software\\Velmora\\Tessaly-Velun]\n"
           "\"Program Path\"=\"" +
           std::filesystem::canonical(VELUN_READER).string() +
           "\"\n"
           "\"Lesson\"=" +
           lesson +
           "\n"
           "\"FontAsciiBase\"=\"1488\"\n"
           "\"Flags\"=dword:d1140840\n"
           "\"SearchString\"=hex:61,6c,70,68,00\n"
           "\"Bookmarks\"=hex:05,00,03,00\n";
}

std::mt19937& Random() {
    static std::mt19937 rng(std::random_device{}());
    return rng;
}

int RandomBelow(int limit) {
    static std::mutex lock;
    std::lock_guard<std::mutex> hold(lock);
    return (int)(Random()() % (unsigned)limit);
}

}  // namespace

// The exit sequence replaces the settings file once: a kill at any moment leaves the
// file of the run before or the file of this run, never a mix.
TEST(ReaderEnding, AKillDuringTheExitLeavesTheOldOrTheNewSettingsWhole) {
    const std::string old = OldSettings("dword:00010003");
    std::string fresh;
    {
        ReaderFolder folder;
        folder.WriteSettings(old);
        ReaderProcess reader(folder, true);
        ASSERT_EQ(reader.Wait(), 0);
        fresh = folder.ReadSettings();
    }
    ASSERT_NE(fresh, old);
    ASSERT_NE(fresh.find("\"Lesson\"=dword:00000003"), std::string::npos) << fresh;
    ASSERT_NE(fresh.find("\"Bookmarks\"=hex:05,00,03,00,00,00"), std::string::npos) << fresh;

    std::atomic<int> keptOld{0}, wroteNew{0};
    RunInParallel(100, [&](int run) {
        ReaderFolder folder;
        folder.WriteSettings(old);
        ReaderProcess reader(folder, true);
        ASSERT_TRUE(reader.WaitForLine("first-paint-ns")) << "run " << run;
        std::this_thread::sleep_for(std::chrono::microseconds(RandomBelow(80000)));
        reader.Signal(SIGKILL);
        reader.Wait();
        std::string left = folder.ReadSettings();
        EXPECT_TRUE(left == old || left == fresh) << "run " << run << " left:\n" << left;
        (left == old ? keptOld : wroteNew)++;
    });
    std::printf("killed readers: %d kept the old settings, %d had written the new\n", keptOld.load(),
                wroteNew.load());
}

// SIGTERM, SIGINT and SIGHUP at any moment from the start of main end the reader with
// status 0 and a settings file that parses.
TEST(ReaderEnding, ASignalAtAnyMomentOfStartUpEndsTheReaderNormally) {
    const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
    const std::string old = OldSettings("dword:00000007");
    RunInParallel(90, [&](int run) {
        ReaderFolder folder;
        folder.WriteSettings(old);
        ReaderProcess reader(folder, false);
        int sig = kSignals[run % 3];
        ASSERT_TRUE(reader.WaitUntilCatching(sig)) << "run " << run;
        std::this_thread::sleep_for(std::chrono::microseconds(RandomBelow(300000)));
        reader.Signal(sig);
        EXPECT_EQ(reader.Wait(), 0) << "run " << run << ", signal " << sig << "\n" << reader.Errors();
        std::string left = folder.ReadSettings();
        EXPECT_TRUE(SettingsParse(left)) << "run " << run << ":\n" << left;
        EXPECT_NE(left.find("\"SearchString\"=hex:61,6c,70,68,00"), std::string::npos) << left;
    });
}

// A stored article that does not exist opens "Resource not found" while the main
// window is being made; a signal then closes the box and runs the exit sequence.
TEST(ReaderEnding, ASignalClosesTheStartUpMessageBox) {
    const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
    for (const char* lesson : {"dword:000000bc", "dword:ffffffff"}) {
        RunInParallel(3, [&](int run) {
            ReaderFolder folder;
            folder.WriteSettings(OldSettings(lesson));
            ReaderProcess reader(folder, false);
            ASSERT_TRUE(reader.WaitUntilCatching(SIGTERM));
            // Long enough for the box to be up: the view exists before it opens.
            std::this_thread::sleep_for(std::chrono::milliseconds(700 + RandomBelow(300)));
            ASSERT_EQ(reader.Wait(1), -1000) << "the reader ended without being asked";
            reader.Signal(kSignals[run]);
            EXPECT_EQ(reader.Wait(), 0) << lesson << ", signal " << kSignals[run];
            std::string left = folder.ReadSettings();
            EXPECT_TRUE(SettingsParse(left)) << left;
            // Written only by an exit sequence that found the article view.
            EXPECT_NE(left.find("\"LastPosition\"=dword:00000000"), std::string::npos) << left;
        });
    }
}
