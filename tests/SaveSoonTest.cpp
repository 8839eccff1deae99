// What the reader keeps is saved soon after it changes: a kill a second later loses
// nothing, a save that fails is said once and tried again, a file another program
// replaced meanwhile is merged by value, and values back at their default are written so.
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "ShellFixture.h"
#include "platform/EndSignals.h"
#include "reader/KeepPlace.h"
#include "reader/ReadMarks.h"
#include "reader/SaveSoon.h"
#include "resources/Commands.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// Runs the message queue for a while, as the reader's loop would.
void PumpFor(int ms, const std::function<bool()>& done = [] { return false; }) {
    for (auto end = Clock::now() + std::chrono::milliseconds(ms); Clock::now() < end && !done();) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_QUIT) DispatchMessageW(&msg);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool Holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The first changes of a changing reader: the next article, bookmarked. The number
// returned goes to the test.
int NextArticleBookmarked(HWND window) {
    SendMessageW(window, WM_COMMAND, kCmdNextArticle, 0);
    SendMessageW(window, WM_COMMAND, kCmdBookmark, 0);
    return 0;
}

// A real reader process, forked before Qt starts in it: it makes its first changes,
// says so through ready (with what they returned), then changes the article every
// stepMs (never when 0) until it is ended.
pid_t ForkReader(int ready, int stepMs, int (*change)(HWND)) {
    pid_t child = fork();
    if (child != 0) return child;
    CatchEndSignals();
    ResetAppState();
    gApp.instance = GetModuleHandleW(nullptr);
    HWND window = StartMainWindow(SW_SHOW);
    if (!window) _exit(3);
    int said = change(window);
    if (write(ready, &said, sizeof said) != sizeof said) _exit(4);
    for (auto next = Clock::now();;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) _exit((int)msg.wParam);
            DispatchMessageW(&msg);
        }
        if (stepMs && Clock::now() >= next) {
            SendMessageW(window, WM_COMMAND, kCmdNextArticle, 0);
            next = Clock::now() + std::chrono::milliseconds(stepMs);
        }
        usleep(2000);
    }
}

// Starts a reader and waits until it made its first changes; *said is what they returned.
pid_t StartChangingReader(int stepMs, int (*change)(HWND) = NextArticleBookmarked, int* said = nullptr) {
    int ready[2];
    if (pipe(ready) != 0) return -1;
    pid_t child = ForkReader(ready[1], stepMs, change);
    close(ready[1]);
    int value = 0;
    bool changed = read(ready[0], &value, sizeof value) == sizeof value;
    close(ready[0]);
    if (said) *said = value;
    return changed ? child : -1;
}

int WaitFor(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

}  // namespace

TEST(SaveSoon, AKillASecondAfterAChangeLosesNothing) {
    TempConfig config;
    pid_t child = StartChangingReader(0);
    ASSERT_GT(child, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    kill(child, SIGKILL);
    ASSERT_EQ(WaitFor(child), -SIGKILL);
    std::string saved = config.ReadRegistryFile();
    EXPECT_TRUE(Holds(saved, "\"Lesson\"=dword:00000002")) << saved;
    EXPECT_TRUE(Holds(saved, "\"Bookmarks\"=hex:02,00,00,00")) << saved;
}

// Paged into article 142, then on to 143 and its end: killed, the next run has 143
// read and comes back to 142's place.
TEST(SaveSoon, AKillAfterPagingKeepsEveryArticlesPlaceAndReadMarkForTheNextRun) {
    TempConfig config;
    int place = 0;
    pid_t child = StartChangingReader(0, [](HWND window) {
        ShowArticle(window, 142);
        for (int i = 0; i < 3; i++) SendMessageW(window, WM_KEYDOWN, VK_NEXT, 0);
        int left = PlaceOf(gApp.articleView);
        for (WPARAM key : {VK_RIGHT, VK_END}) SendMessageW(window, WM_KEYDOWN, key, 0);
        return left;
    }, &place);
    ASSERT_GT(child, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    kill(child, SIGKILL);
    ASSERT_EQ(WaitFor(child), -SIGKILL);
    ResetAppState();
    gApp.instance = GetModuleHandleW(nullptr);
    HWND window = StartMainWindow(SW_SHOW);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsArticleRead(143) && !IsArticleRead(142));
    SendMessageW(window, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(gApp.currentArticle, 142);
    EXPECT_EQ(PlaceOf(gApp.articleView), place);
    DestroyWindow(window);
}

// A reader that saves again and again ends the normal way on SIGTERM at any moment:
// the file it leaves is whole, holds the article it ended on, and no temporary file
// is left beside it.
TEST(SaveSoon, ASignalDuringTheSavesEndsTheReaderWithAWholeFile) {
    for (int delayMs : {450, 700, 1020}) {
        TempConfig config;
        pid_t child = StartChangingReader(40);
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        kill(child, SIGTERM);
        EXPECT_EQ(WaitFor(child), 0) << delayMs;
        std::string saved = config.ReadRegistryFile();
        RegistryContents contents;
        std::string why;
        EXPECT_TRUE(ParseRegistry(saved, &contents, &why)) << why;
        EXPECT_FALSE(Holds(saved, "\"Lesson\"=dword:00000002")) << "moved on since";
        int files = 0;
        for (auto& e : fs::directory_iterator(config.dir + "/velun")) files += e.is_regular_file();
        EXPECT_EQ(files, 1) << delayMs;
    }
}

namespace {

// A folder that a case breaks after the reader started, and mends again.
struct Breakage {
    const char* name;
    bool needsRoot;
    std::function<void(const std::string& settings)> breakIt, mend;
    int error;
};

bool AsRoot() { return geteuid() == 0; }

// A small file system of its own at dir, so that it can be filled or made read-only.
bool MountSmall(const std::string& dir) { return mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k,mode=0700") == 0; }

void Remount(const std::string& dir, unsigned long flags) {
    mount(nullptr, dir.c_str(), nullptr, MS_REMOUNT | flags, "size=64k");
}

void Fill(const std::string& dir) {
    std::ofstream filler(dir + "/filler", std::ios::binary);
    std::string block(4096, 'x');
    for (int i = 0; i < 64 && filler.write(block.data(), (std::streamsize)block.size()); i++) filler.flush();
}

const Breakage kBreakages[] = {
    {"a read-only folder", false,
     [](const std::string& s) { AsRoot() ? Remount(s + "/..", MS_RDONLY) : fs::permissions(s, fs::perms::owner_read | fs::perms::owner_exec); },
     [](const std::string& s) { AsRoot() ? Remount(s + "/..", 0) : fs::permissions(s, fs::perms::owner_all); },
     0},
    {"a settings path that is a folder", false,
     [](const std::string& s) {
         fs::remove(s + "/registry.txt");
         fs::create_directory(s + "/registry.txt");
     },
     [](const std::string& s) { fs::remove(s + "/registry.txt"); }, EISDIR},
    {"a file where the settings folder should be", false,
     [](const std::string& s) {
         fs::remove_all(s);
         std::ofstream(s) << "not a folder";
     },
     [](const std::string& s) { fs::remove(s); }, ENOTDIR},
    {"a full file system", true, [](const std::string& s) { Fill(s + "/.."); },
     [](const std::string& s) { fs::remove(s + "/../filler"); }, ENOSPC},
};

}  // namespace

TEST_F(ReaderTest, AFailedSaveIsSaidOnceTheFileStaysWholeAndTheNextChangeTriesAgain) {
    for (const Breakage& b : kBreakages) {
        SCOPED_TRACE(b.name);
        if (b.needsRoot && !AsRoot()) {
            std::printf("skipped %s: mounting a small file system needs root\n", b.name);
            continue;
        }
        bool mounted = AsRoot() && MountSmall(config.dir);
        ASSERT_EQ(mounted, AsRoot());
        std::string settings = config.dir + "/velun";
        fs::create_directories(settings);
        config.WriteRegistryFile("[HKEY_CURRENT_USER\\Software\\Velmora\\Tessaly-Velun]\n\"Lesson\"=dword:00000007\n");
        ResetAppState();
        ScriptMessageBoxes({});
        ASSERT_NE(Start(), nullptr);
        PumpFor(800);  // the start's own save
        std::string before = config.ReadRegistryFile();

        b.breakIt(settings);
        int error = b.error ? b.error : AsRoot() ? EROFS : EACCES;
        auto said = [] { return !RecordedMessageBoxes().empty(); };
        Send(WM_COMMAND, kCmdNextArticle);
        PumpFor(1500, said);
        ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
        std::string expected = "Settings could not be saved to " + config.RegistryPath() + ": " + std::strerror(error);
        EXPECT_EQ(RecordedMessageBoxes()[0].text, Utf8ToUtf16(expected));
        EXPECT_EQ(RecordedMessageBoxes()[0].owner, window);
        Send(WM_COMMAND, kCmdNextArticle);
        PumpFor(800);
        EXPECT_EQ(RecordedMessageBoxes().size(), 1u) << "said once";
        if (b.error != EISDIR && b.error != ENOTDIR) {
            EXPECT_EQ(config.ReadRegistryFile(), before);
        }

        b.mend(settings);
        Send(WM_COMMAND, kCmdNextArticle);
        PumpFor(1500, [&] { return Holds(config.ReadRegistryFile(), "\"Lesson\"=dword:0000000a"); });
        EXPECT_TRUE(Holds(config.ReadRegistryFile(), "\"Lesson\"=dword:0000000a")) << config.ReadRegistryFile();
        EXPECT_EQ(RecordedMessageBoxes().size(), 1u);
        DestroyWindow(window);
        window = nullptr;
        DrainMessages();
        ForgetRegistry();
        if (mounted) umount2(config.dir.c_str(), MNT_DETACH);
        fs::remove_all(settings);
    }
}

// Another program replaced the file between two saves: its values stay, except those
// this reader changed since; a folder that vanished is made again.
TEST_F(ShellTest, AFileReplacedBetweenSavesIsMergedByValueAndAVanishedFolderIsMadeAgain) {
    SetProduct(u"Lesson", REG_DWORD, DwordBytes(3));
    SetProduct(u"FontSize", REG_DWORD, DwordBytes(18));
    SetProduct(u"Gone", REG_DWORD, DwordBytes(1));
    std::string theirs = config.ReadRegistryFile();
    for (auto [from, to] : {std::pair{"\"FontSize\"=dword:00000012", "\"FontSize\"=dword:00000014"},
                            {"\"Lesson\"=dword:00000003", "\"Lesson\"=dword:00000009\n\"Theirs\"=\"new\""}})
        theirs.replace(theirs.find(from), std::strlen(from), to);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a time stamp of its own
    std::ofstream(config.RegistryPath() + ".other", std::ios::binary) << theirs;
    fs::rename(config.RegistryPath() + ".other", config.RegistryPath());

    SetProduct(u"Lesson", REG_DWORD, DwordBytes(4));  // this reader's change
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kProductKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegDeleteValueW(key, u"Gone");
    RegCloseKey(key);
    std::string merged = config.ReadRegistryFile();
    EXPECT_TRUE(Holds(merged, "\"Lesson\"=dword:00000004")) << merged;
    EXPECT_TRUE(Holds(merged, "\"FontSize\"=dword:00000014")) << merged;
    EXPECT_TRUE(Holds(merged, "\"Theirs\"=\"new\"")) << merged;
    EXPECT_FALSE(Holds(merged, "Gone")) << merged;

    fs::remove_all(config.dir + "/velun");
    SetProduct(u"Lesson", REG_DWORD, DwordBytes(5));
    EXPECT_TRUE(Holds(config.ReadRegistryFile(), "\"Lesson\"=dword:00000005"));
    EXPECT_EQ(RegistrySaveError(), "");
}

TEST_F(ShellTest, ValuesBackAtTheirDefaultAreWrittenAsTheDefault) {
    SetProduct(u"FontSize", REG_DWORD, DwordBytes(18));
    SetProduct(u"SearchString", REG_BINARY, {'q', 'u', 0});
    LoadSettings();
    ASSERT_EQ(gApp.fontSettings.size, 18);
    ASSERT_STREQ(gApp.searchString, "qu");
    gApp.fontSettings.size = 0;  // Ctrl+0
    gApp.searchString[0] = 0;    // the search text emptied
    SaveSettings();
    EXPECT_EQ(Product(u"FontSize").data, DwordBytes(0));
    EXPECT_EQ(Product(u"SearchString").data, (std::vector<BYTE>{0}));
    EXPECT_EQ(Product(u"FontName").status, ERROR_FILE_NOT_FOUND) << "none stored: none written";
    ReleaseLoadedSettings();
    ForgetRegistry();
    ResetAppState();
    LoadSettings();
    EXPECT_EQ(gApp.fontSettings.size, 0);
    EXPECT_STREQ(gApp.searchString, "");
    ReleaseLoadedSettings();
}
