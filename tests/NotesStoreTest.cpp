// The notes reach their file within about a second of a change, through the running
// reader: a kill after that loses nothing, and a damaged file found at start is kept
// aside, said over the window and never overwritten.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "ShellFixture.h"
#include "reader/Notes.h"
#include "reader/NotesFile.h"
#include "reader/NotesStore.h"

namespace fs = std::filesystem;

namespace {

Note EnglishNote(std::u16string text) {
    Note n{};
    n.article = 2;
    n.start = 2;
    n.end = 16;
    n.quote = u"Before Writing";
    n.text = std::move(text);
    n.created = n.modified = 1796845932;
    return n;
}

void Pump(int ms) {
    for (auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
         std::chrono::steady_clock::now() < end;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_QUIT) DispatchMessageW(&msg);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

HWND StartReader() {
    ResetAppState();
    gApp.instance = GetModuleHandleW(nullptr);
    return StartMainWindow(SW_SHOW);
}

std::string NotesFolder(const TempConfig& config) { return config.dir + "/velun"; }

}  // namespace

// A real reader, forked before Qt starts in this process, adds a note through the
// program and is killed 1.5 s later; the next start has the note.
TEST(NotesStore, AKillASecondAfterANoteLosesNothing) {
    TempConfig config;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    if (child == 0) {
        HWND window = StartReader();
        if (!window || !AddNote(EnglishNote(u"kept \u05E9\u05DC\u05D5\u05DD"))) _exit(3);
        if (write(ready[1], "n", 1) != 1) _exit(4);
        for (;;) Pump(1000);
    }
    close(ready[1]);
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    HWND window = StartReader();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(AllNotes().size(), 1u);
    EXPECT_EQ(AllNotes()[0].text, u"kept \u05E9\u05DC\u05D5\u05DD");
    EXPECT_FALSE(AllNotes()[0].detached);
    DestroyWindow(window);
    DrainMessages();
}

class DamagedNotes : public ShellTest {};

TEST_F(DamagedNotes, AreKeptAsideSaidOverTheWindowAndNeverOverwritten) {
    const std::string damaged = "velun notes 1\n[note]\narticle = 999\n";
    fs::create_directories(NotesFolder(config));
    std::ofstream(NotesFilePath(), std::ios::binary) << damaged;
    HWND window = StartReader();
    ASSERT_NE(window, nullptr);
    Pump(100);
    ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
    std::string said = Utf16ToUtf8(RecordedMessageBoxes()[0].text.c_str());
    EXPECT_NE(said.find("line 3: bad article"), std::string::npos) << said;
    std::string aside;
    for (const auto& entry : fs::directory_iterator(NotesFolder(config)))
        if (entry.path().filename().string().rfind("notes.txt.broken-", 0) == 0) aside = entry.path();
    ASSERT_FALSE(aside.empty());
    EXPECT_NE(said.find("kept as " + aside), std::string::npos) << said;
    EXPECT_TRUE(AllNotes().empty());

    ASSERT_NE(AddNote(EnglishNote(u"new")), 0u);
    DestroyWindow(window);  // the exit sequence writes at once
    std::string text, why;
    std::vector<Note> saved;
    ASSERT_EQ(ReadNotesFile(NotesFilePath(), &text, &why), 0);
    EXPECT_TRUE(ParseNotes(text, &saved, &why) && saved.size() == 1) << why;
    ASSERT_EQ(ReadNotesFile(aside, &text, &why), 0);
    EXPECT_EQ(text, damaged);
}
