// Memory running out at every allocation of the reader's main paths: start-up to the
// first paint (with a long title, past a string's inline buffer), the next article,
// the index dialog, a search of the whole collection, Find All, copy and append, and
// the font dialog. For every N the Nth allocation of the step fails; the step must
// end without a crash or an exception leaving the program's code (also none that
// the window layer stops on its way back from a window procedure), and either
// succeed or end the way the program ends when memory runs out: the memory message,
// the exit sequence (the quit message posted) and a settings file that still reads.
// The screen-reader publishing runs as in the reader. Built with AddressSanitizer,
// LeakSanitizer checks at the end that nothing was lost on the way.
#include <QApplication>
#include <QTimer>
#include <cstring>
#include <fstream>
#include <functional>

#include "../ShellFixture.h"
#include "cli/Headless.h"
#include "AllocShim.h"
#include "platform/NoThrow.h"
#include "platform/RegistryStore.h"
#include "platform/qt/QtWindow.h"
#include "reader/CaretMode.h"
#include "reader/FindAll.h"
#include "reader/NotesFile.h"
#include "reader/Notes.h"
#include "shell/Search.h"

namespace {

const char kStartSettings[] =
    "[HKEY_CURRENT_USER\\Software\\Velmora\\Tessaly-Velun]\n"
    "\"Lesson\"=dword:000000b7\n"
    "\"LastPosition\"=dword:00000003\n"
    "\"FontName\"=\"DejaVu Sans\"\n"
    "\"SearchString\"=\"qzxj\"\n"
    "\"Bookmarks\"=hex:05,00,07,00,b0,00,00,00\n";

// A string no article holds: the search walks the whole collection.
const char kMissing[] = "qzxjqzxj";
// A word a few articles hold: Find All lists them.
const char kFewHits[] = "tallies";

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (msg.message == WM_QUIT) return;  // left for the check
        PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
        DispatchMessageW(&msg);
    }
    QCoreApplication::processEvents();
}

// Closes with OK whatever modal dialog the step opens.
class DialogCloser {
public:
    DialogCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [] {
            Window* dialog = WindowOfWidget(QApplication::activeModalWidget());
            if (dialog) PostMessageW(dialog->handle, WM_COMMAND, IDOK, 0);
        });
        timer_.start(5);
    }

private:
    QTimer timer_;
};

bool QuitWaiting() {
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

bool ShowedMemoryMessage() {
    for (const MessageBoxCall& call : RecordedMessageBoxes())
        if (call.text == u"There is not enough memory, aborting") return true;
    return false;
}

class OomSweep : public ReaderTest {
protected:
    // Runs step with the Nth allocation failing, for every N the step makes.
    void Sweep(std::function<void()> prepare, std::function<void()> step) {
        long total = RunOnce(prepare, step, 0);
        ASSERT_GT(total, 0);
        ASSERT_FALSE(HasFailure()) << "the step fails without a failing allocation";
        for (long n = 1; n <= total; n++) {
            int failuresBefore = FailureCount();
            RunOnce(prepare, step, n);
            if (FailureCount() != failuresBefore) {
                ADD_FAILURE() << "with allocation " << n << " of " << total << " failing";
                return;
            }
        }
    }

    static int FailureCount() {
        return testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
    }

    HWND StartReader() {
        HWND w = Start();
        if (w) UpdateWindow(w);
        Pump();
        return w;
    }

    void Command(uint16_t id) { Send(WM_COMMAND, id, 0); }

private:
    long RunOnce(const std::function<void()>& prepare, const std::function<void()>& step, long failAt) {
        config.WriteRegistryFile(kStartSettings);
        ResetAppState();
        gSettingsLoaded = false;
        ScriptMessageBoxes({});
        DrainMessages();
        prepare();
        DialogCloser closer;
        long escapedBefore = gEscapedExceptions;
        ArmAllocationFailure(failAt);
        try {
            step();
        } catch (...) {
            DisarmAllocationFailure();
            ADD_FAILURE() << "an exception escaped";
        }
        DisarmAllocationFailure();
        EXPECT_EQ(gEscapedExceptions, escapedBefore) << "an exception left a window procedure";
        long counted = CountedAllocations();
        Check(failAt);
        End();
        return counted;
    }

    void Check(long failAt) {
        bool failed = failAt && AllocationFailed();
        if (!failed) {
            EXPECT_FALSE(ShowedMemoryMessage());
        }
        // The exit sequence ran: the quit message waits (during start-up the window
        // is still made, and the loop then ends at once).
        if (ShowedMemoryMessage()) {
            EXPECT_TRUE(QuitWaiting());
        }
        std::string text = config.ReadRegistryFile(), error;
        RegistryContents contents;
        EXPECT_TRUE(ParseRegistry(text, &contents, &error)) << error;
    }

    // What the end of the program does: the window goes, the queue is emptied.
    void End() {
        // A start-up that failed after making the window returns none; the window is there.
        if (!window) window = gApp.mainWindow;
        if (window && IsWindow(window)) DestroyWindow(window);
        window = nullptr;
        // A window whose making ran out of memory is not left behind, unreachable.
        EXPECT_EQ(FindWindowW(u"Tessaly-Velun", u"Velun"), nullptr);
        Pump();
        DrainMessages();
        if (gApp.articleView) DestroyArticleView(gApp.articleView, TRUE);
        gApp.articleView = nullptr;
        FreeBookmarks();
        StopMessageBoxScript();
    }
};

}  // namespace

TEST_F(OomSweep, StartUpToTheFirstPaint) {
    Sweep([] {}, [this] { StartReader(); });
}

TEST_F(OomSweep, NextArticle) {
    Sweep([this] { StartReader(); }, [this] { Command(kCmdNextArticle); });
}

TEST_F(OomSweep, IndexDialog) {
    Sweep([this] { StartReader(); },
          [this] { Command(kCmdIndex); });
}

TEST_F(OomSweep, SearchOfTheWholeCollection) {
    Sweep(
        [this] {
            StartReader();
            std::strcpy(gApp.searchString, kMissing);
        },
        [this] { FindNext(window); });
}

TEST_F(OomSweep, FindAllAndShowingTheFirstHit) {
    Sweep(
        [this] {
            StartReader();
            std::strcpy(gApp.searchString, kFewHits);
        },
        [this] { ChooseFromAllHits(window); });
}

TEST_F(OomSweep, CopyAndAppendAsTextAndAsRtf) {
    Sweep([this] { StartReader(); },
          [this] {
              Command(kCmdCopy);
              Command(kCmdAppend);
              gApp.fontSettings.FontAsciiBase = 1488;
              Command(kCmdCopy);
              Command(kCmdAppend);
          });
}

TEST_F(OomSweep, FontDialog) {
    Sweep([this] { StartReader(); },
          [this] { Command(kCmdFont); });
}

// The command-line face: export Append-style onto an earlier file, as text and as RTF.
TEST_F(OomSweep, HeadlessExportAppendingToAFile) {
    std::string earlier = config.dir + "/earlier.txt", out = config.dir + "/out";
    std::ofstream(earlier) << "earlier text\n";
    Sweep([] {},
          [&] {
              for (const char* format : {"text", "rtf"}) {
                  const char* args[] = {"velun", "--export", "33", "--format", format, "--base", "1488",
                                        "--append-to", earlier.c_str(), "--out", out.c_str()};
                  RunHeadless(11, (char**)args);
              }
          });
}

// Search as you type: Ctrl+F opens the panel's Search tab, the box's text lists every
// hit of the collection, and F3 shows the first.
TEST_F(OomSweep, SearchAsYouTypeInTheSidePanel) {
    Sweep([this] { StartReader(); },
          [this] {
              Command(kCmdSearchTab);
              SetWindowTextW(GetFocus(), u"tallies");
              Pump();
              Command(kCmdSearchAgain);
          });
}

// An article's printed pages written as a PDF file from the command line.
TEST_F(OomSweep, PdfExportOfAnArticle) {
    std::string out = config.dir + "/33.pdf";
    Sweep([] {},
          [&] {
              const char* args[] = {"velun", "--export", "33", "--format", "pdf", "--out", out.c_str()};
              RunHeadless(7, (char**)args);
          });
}

// Next Unread reads the index for its order, then shows the article.
TEST_F(OomSweep, NextUnread) {
    Sweep([this] { StartReader(); }, [this] { Command(kCmdNextUnread); });
}

// The side panel's Contents: opened, filtered, and an article read from the filter.
TEST_F(OomSweep, ContentsFilteredAndAnArticleRead) {
    Sweep([this] { StartReader(); },
          [this] {
              Command(kCmdContentsTab);
              SetWindowTextW(GetFocus(), u"tav");
              Pump();
              PostMessageW(GetParent(GetFocus()), WM_KEYDOWN, VK_RETURN, 0);  // Enter in the box
              Pump();
          });
}

// A narrower column and wider rows lay the article out again at the same place.
TEST_F(OomSweep, ColumnWidthAndLineSpacing) {
    Sweep([this] { StartReader(); },
          [this] {
              Command(kCmdColumnNarrow);
              Command(kCmdLineSpacing15);
          });
}

// The notes read at start (one quote no longer where its offsets say), exported
// through File > Export Notes as RTF and from the command line as Markdown.
TEST_F(OomSweep, ExportOfNotes) {
    std::string rtf = config.dir + "/notes.rtf", markdown = config.dir + "/notes.md";
    Note note{};
    note.article = 33;
    note.start = 40;
    note.end = 60;
    note.quote = u"the";
    note.text = u"a note \u05E9\u05DC\u05D5\u05DD";
    ASSERT_TRUE(WriteNotesFile(NotesFilePath(), FormatNotes({note})));
    Sweep(
        [&] {
            StartReader();
            ScriptFileDialogs({rtf});
        },
        [&] { Command(kCmdExportNotes); });
    StopFileDialogScript();
    // The command line runs as a program of its own, with no reader about.
    Sweep([] {},
          [&] {
              const char* args[] = {"velun", "--export-notes", "--format", "markdown", "--out", markdown.c_str()};
              RunHeadless(6, (char**)args);
          });
}

TEST_F(OomSweep, CaretBrowsingDownAndAcross) {
    Sweep([this] { StartReader(); },
          [this] {
              if (!CaretModeOn()) Command(kCmdCaretMode);
              for (WPARAM key : {VK_DOWN, VK_RIGHT}) Send(WM_KEYDOWN, key, 0);
          });
}

// The side panel's Contents and adding a note join here, one Sweep each, as those
// features land.

// A selection highlighted (Ctrl+H), and another highlighted with a note (Ctrl+Shift+H,
// its editor closed with OK): the notes list, the Notes tab's rows and the painting.
TEST_F(OomSweep, HighlightAndAddANote) {
    Sweep(
        [this] {
            StartReader();
            while (!AllNotes().empty()) RemoveNote(AllNotes().front().id);
            if (gApp.articleView) SetSelection(gApp.articleView, 40, 90);
        },
        [this] {
            Command(kCmdHighlight);
            if (gApp.articleView) SetSelection(gApp.articleView, 100, 160);
            Command(kCmdAddNote);
        });
}
