// Highlights and notes through the real article window: marking a selection by
// key, menu and the selection's own menu, drawn under the text by day and night;
// the note editor; the note's mark, its tooltip and its click; recolouring and
// removing from a highlight's menu; the Notes tab; the highlight in copied RTF.
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolTip>
#include <functional>

#include "ShellFixture.h"
#include "platform/Panel.h"
#include "reader/Highlights.h"
#include "reader/Notes.h"
#include "reader/NotesTab.h"
#include "reader/ReadingText.h"
#include "reader/SidePanel.h"
#include "resources/Commands.h"
#include "resources/Dialogs.h"
#include "shell/Export.h"
#include "views/PageWalk.h"
#include "views/Palette.h"

namespace {

void ClearNotes() {
    while (!AllNotes().empty()) RemoveNote(AllNotes().front().id);
    while (UndoRemoveNote()) {
    }
    while (!AllNotes().empty()) RemoveNote(AllNotes().front().id);
}

class HighlightWindow : public ReaderTest {
  protected:
    void SetUp() override {
        ReaderTest::SetUp();
        ClearNotes();
    }
    void TearDown() override {
        gNightReading = FALSE;
        ClearNotes();
        ReaderTest::TearDown();
    }
    void Open(int article) {
        ASSERT_NO_FATAL_FAILURE(StartOn(article, 1024, 768));
        RepaintNow(window, kPaintAll);
    }
    // The page's text lines, in order, with the y each is drawn at.
    std::vector<PageWalk> Lines() {
        std::vector<PageWalk> lines;
        for (PageWalk walk = FirstVisibleLine(View()); Fits(walk); Advance(walk))
            if (!IsSeparatorStyle(walk.line->style) && walk.line->count > 8) lines.push_back(walk);
        return lines;
    }
    // A point a share of the way along a visible line's run.
    POINT At(const PageWalk& line, double share) {
        return {line.line->x + (int)(line.line->width * share), line.y + line.line->height / 2};
    }
    void Drag(POINT from, POINT to) {
        Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        Send(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    }
    // A key pressed in the article, through the accelerator table as the loop does.
    void Press(int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(WidgetOf(window)->focusProxy(), &press);
        HACCEL table = LoadAcceleratorsW(gApp.instance, MAKEINTRESOURCEW(3));
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!TranslateAcceleratorW(msg.hwnd, table, &msg)) DispatchMessageW(&msg);
    }
    // Runs script on the modal window (a dialog or a menu) once it is up.
    static void WhenUp(std::function<void(QWidget*)> script) {
        QTimer::singleShot(50, [script] {
            QWidget* up = QApplication::activePopupWidget();
            if (!up) up = QApplication::activeModalWidget();
            ASSERT_NE(up, nullptr);
            script(up);
        });
    }
    // The right button at a client point, and the item of its menu chosen by text.
    void ChooseFromMenu(POINT p, const QString& item, QStringList* items = nullptr) {
        WhenUp([item, items](QWidget* up) {
            auto* menu = qobject_cast<QMenu*>(up);
            ASSERT_NE(menu, nullptr);
            QAction* chosen = nullptr;
            for (QAction* action : menu->actions()) {
                if (items && !action->isSeparator()) items->append(action->text());
                if (action->text() == item) chosen = action;
            }
            // Chosen as the keyboard chooses: the item made active, then Enter.
            menu->setActiveAction(chosen);
            QKeyEvent enter(QEvent::KeyPress, chosen ? Qt::Key_Return : Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(menu, &enter);
        });
        POINT screen = p;
        ClientToScreen(window, &screen);
        Send(WM_CONTEXTMENU, (WPARAM)window, MAKELPARAM(screen.x, screen.y));
    }
    int PixelsOf(COLORREF colour, const RECT& r) { return WindowPixelsOf(window, colour, r); }
    static void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    RECT RowOf(const PageWalk& line) {
        return {View()->left, line.y, View()->left + View()->width, line.y + line.line->height};
    }
};

QTextEdit* NoteBox(QWidget* dialog) {
    auto* box = qobject_cast<QTextEdit*>(WidgetOf(GetDlgItem(HandleOf(WindowOfWidget(dialog)), kNoteTextId)));
    EXPECT_NE(box, nullptr);
    return box;
}

void ClickOk(QWidget* dialog) { PostMessageW(HandleOf(WindowOfWidget(dialog)), WM_COMMAND, IDOK, 0); }

}  // namespace

TEST_F(HighlightWindow, EachWayOfHighlightingMarksTheSelectionInItsColourUnderTheText) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    std::vector<PageWalk> lines = Lines();
    ASSERT_GE(lines.size(), 6u);
    struct Case {
        const char* way;
        std::function<void()> highlight;
        HighlightColour colour;
    };
    const Case cases[] = {
        {"Ctrl+H, yellow at first", [&] { Press(Qt::Key_H, Qt::ControlModifier); }, kHighlightYellow},
        {"the selection's menu", [&] { ChooseFromMenu(At(lines[2], 0.3), "Highlight Green"); }, kHighlightGreen},
        {"Ctrl+H again: the colour chosen last", [&] { Press(Qt::Key_H, Qt::ControlModifier); }, kHighlightGreen},
        {"File > Highlight", [&] { Send(WM_COMMAND, kCmdHighlightPink); }, kHighlightPink},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        // Across a line's end, from the middle of one line into the next.
        Drag(At(lines[2 * i], 0.5), At(lines[2 * i + 1], 0.4));
        ASSERT_TRUE(HasSelection(View()));
        int start = View()->selectionStart, end = View()->selectionEnd;
        c.highlight();
        ASSERT_EQ(AllNotes().size(), (size_t)i + 1);
        const Note& note = AllNotes().back();
        EXPECT_EQ(note.article, 1);
        EXPECT_EQ(note.start, start);
        EXPECT_EQ(note.end, end);
        EXPECT_EQ(note.colour, c.colour);
        EXPECT_FALSE(note.quote.empty());
        EXPECT_FALSE(HasSelection(View()));  // the passage now shows in its own colour
        // Both lines carry the colour; Night draws its darker shade instead.
        for (int k : {2 * i, 2 * i + 1}) EXPECT_GT(PixelsOf(HighlightFill(c.colour), RowOf(lines[k])), 50) << k;
        gNightReading = TRUE;
        RepaintNow(window, kPaintAll);
        COLORREF night = HighlightFill(c.colour);
        EXPECT_GT(PixelsOf(night, RowOf(lines[2 * i])), 50);
        gNightReading = FALSE;
        RepaintNow(window, kPaintAll);
        EXPECT_EQ(PixelsOf(night, RowOf(lines[2 * i])), 0);
        i++;
    }
    // The text keeps its own colour on the mark: the title its heading blue.
    EXPECT_GT(PixelsOf(ActivePalette().heading, RowOf(lines[0])), 20);
}

TEST_F(HighlightWindow, RightToLeftLinesAreMarkedLikeTheSelectionInBothDirections) {
    ASSERT_NO_FATAL_FAILURE(Open(33));
    std::vector<PageWalk> lines = Lines();
    ASSERT_GE(lines.size(), 4u);
    // Dragged upwards, from right to left: the same passage as downwards.
    Drag(At(lines[3], 0.2), At(lines[1], 0.7));
    int start = View()->selectionStart, end = View()->selectionEnd;
    ASSERT_LT(start, end);
    Send(WM_COMMAND, kCmdHighlightBlue);
    ASSERT_EQ(AllNotes().size(), 1u);
    EXPECT_EQ(AllNotes()[0].start, start);
    for (int k : {1, 2, 3}) EXPECT_GT(PixelsOf(HighlightFill(kHighlightBlue), RowOf(lines[k])), 50) << k;
    EXPECT_EQ(PixelsOf(HighlightFill(kHighlightBlue), RowOf(lines[0])), 0);
}

TEST_F(HighlightWindow, AddNoteOpensTheEditorWhereHebrewLinesStandRightToLeft) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    std::vector<PageWalk> lines = Lines();
    Drag(At(lines[1], 0.2), At(lines[1], 0.6));
    bool rtl = false;
    WhenUp([&](QWidget* dialog) {
        QTextEdit* box = NoteBox(dialog);
        ASSERT_NE(box, nullptr);
        for (const QString& text : {QString("First line"), QString("\n"), QString::fromUtf16(u"\u05E9\u05DC\u05D5\u05DD")}) {
            QKeyEvent key(QEvent::KeyPress, text == "\n" ? Qt::Key_Return : 0, Qt::NoModifier, text);
            QCoreApplication::sendEvent(box, &key);
        }
        rtl = box->document()->findBlockByNumber(1).textDirection() == Qt::RightToLeft;
        ClickOk(dialog);
    });
    Press(Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(AllNotes().size(), 1u);
    EXPECT_EQ(AllNotes()[0].text, u"First line\n\u05E9\u05DC\u05D5\u05DD");
    EXPECT_TRUE(rtl);
}

TEST_F(HighlightWindow, ANotesMarkShowsTheNoteUnderThePointerAndOpensItOnAClick) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    std::vector<PageWalk> lines = Lines();
    Drag(At(lines[2], 0.2), At(lines[2], 0.5));
    Send(WM_COMMAND, kCmdHighlight);
    ASSERT_EQ(AllNotes().size(), 1u);
    RECT mark;
    EXPECT_FALSE(NoteMarkArea(View(), AllNotes()[0], &mark) && PixelsOf(0x0066E0, mark) > 0);  // no note, no mark
    Note note = AllNotes()[0];
    note.text = u"Worth reading twice.\nSecond line.";
    ASSERT_TRUE(ChangeNote(note));
    RepaintNow(window, kPaintAll);
    ASSERT_TRUE(NoteMarkArea(View(), AllNotes()[0], &mark));
    EXPECT_GT(PixelsOf(0x0066E0, mark), 20);
    int x = (mark.left + mark.right) / 2, y = (mark.top + mark.bottom) / 2;
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    EXPECT_EQ(QToolTip::text(), QString("Worth reading twice.\nSecond line."));
    QString shown;
    WhenUp([&](QWidget* dialog) {
        shown = NoteBox(dialog)->toPlainText();
        PostMessageW(HandleOf(WindowOfWidget(dialog)), WM_COMMAND, IDCANCEL, 0);
    });
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    EXPECT_EQ(shown, QString("Worth reading twice.\nSecond line."));
    EXPECT_EQ(AllNotes()[0].text, note.text);  // Cancel changes nothing
}

TEST_F(HighlightWindow, AHighlightsMenuRecoloursAndRemovesIt) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    std::vector<PageWalk> lines = Lines();
    Drag(At(lines[0], 0.1), At(lines[0], 0.8));
    Send(WM_COMMAND, kCmdHighlightYellow);
    QStringList items;
    ChooseFromMenu(At(lines[0], 0.4), "Blue", &items);
    EXPECT_EQ(items, (QStringList{"Yellow", "Green", "Blue", "Pink", "Add Note...", "Remove Highlight"}));
    ASSERT_EQ(AllNotes().size(), 1u);
    EXPECT_EQ(AllNotes()[0].colour, kHighlightBlue);
    EXPECT_GT(PixelsOf(HighlightFill(kHighlightBlue), RowOf(lines[0])), 50);
    ChooseFromMenu(At(lines[0], 0.4), "Remove Highlight");
    EXPECT_TRUE(AllNotes().empty());
    EXPECT_EQ(PixelsOf(HighlightFill(kHighlightBlue), RowOf(lines[0])), 0);
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(AllNotes().size(), 1u);
}

TEST_F(HighlightWindow, TheNotesTabListsByArticleFiltersShowsAndDeletesWithUndo) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    auto mark = [&](int article, const char16_t* text) {
        ShowArticle(window, article);
        std::vector<PageWalk> lines = Lines();
        Drag(At(lines[1], 0.1), At(lines[1], 0.5));
        Send(WM_COMMAND, kCmdHighlightGreen);
        for (const Note& n : AllNotes()) {
            if (n.article != article || !n.text.empty()) continue;
            Note note = n;
            note.text = text;
            ChangeNote(note);
            break;
        }
    };
    mark(12, u"on twelve\nmore");
    mark(3, u"on three");
    mark(12, u"");
    Send(WM_COMMAND, kCmdNotesTab);
    ASSERT_TRUE(SidePanelShown());
    ASSERT_EQ(NotesRowCount(), 5);  // two headings and three notes, article 3 first
    EXPECT_EQ(NotesRowText(0).substr(0, 3), u"3  ");
    EXPECT_NE(NotesRowText(1).find(u"Green  \u201C"), std::u16string::npos);
    EXPECT_NE(NotesRowText(1).find(u"\u2014 on three  \u00B7 20"), std::u16string::npos);
    EXPECT_EQ(NotesRowText(2).substr(0, 4), u"12  ");
    EXPECT_NE(NotesRowText(3).find(u"on twelve"), std::u16string::npos);
    EXPECT_EQ(NotesRowText(3).find(u"more"), std::u16string::npos);  // the note's first line only
    EXPECT_EQ(NoteCountOfArticle(12), 2);
    EXPECT_EQ(NoteCountOfArticle(3), 1);
    // The filter box: passages and notes, in any case.
    HWND filter = GetDlgItem(SidePanelWindow(), 2301);
    SetWindowTextW(filter, u"TWELVE");
    Pump();
    EXPECT_EQ(NotesRowCount(), 2);
    SetWindowTextW(filter, u"");
    Pump();
    ASSERT_EQ(NotesRowCount(), 5);
    // Enter on a row shows its passage in its article.
    HWND list = GetDlgItem(SidePanelWindow(), 2303);
    QWidget* rows = WidgetOf(list);
    ASSERT_NE(rows, nullptr);
    ShowArticle(window, 5);
    SelectListRow(list, 1);
    auto key = [&](int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, k, modifiers);
        QCoreApplication::sendEvent(rows, &press);
        HACCEL table = LoadAcceleratorsW(gApp.instance, MAKEINTRESOURCEW(3));
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!TranslateAcceleratorW(msg.hwnd, table, &msg)) DispatchMessageW(&msg);
    };
    key(Qt::Key_Return);
    EXPECT_EQ(gApp.currentArticle, 3);
    EXPECT_GT(PixelsOf(HighlightFill(kHighlightGreen), {View()->left, View()->top, View()->left + View()->width,
                                                         View()->top + View()->height}), 50);
    key(Qt::Key_Delete);
    EXPECT_EQ(NoteCountOfArticle(3), 0);
    EXPECT_EQ(NotesRowCount(), 3);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(NoteCountOfArticle(3), 1);
    EXPECT_EQ(NotesRowCount(), 5);
}

TEST_F(HighlightWindow, CopyOfAHighlightedPassageCarriesItsColourInTheRtf) {
    gApp.fontSettings.FontAsciiBase = 0x5D0;
    ASSERT_NO_FATAL_FAILURE(Open(33));
    gApp.fontSettings.FontAsciiBase = 0x5D0;
    std::vector<PageWalk> lines = Lines();
    Drag(At(lines[1], 0.3), At(lines[1], 0.6));
    Send(WM_COMMAND, kCmdHighlightPink);
    // The whole article copied: the passage alone carries the highlight (entry 7).
    Send(WM_COMMAND, kCmdCopy);
    size_t size = 0;
    BYTE* rtf = GetClipboardCopy(RegisterClipboardFormatW(TEXT("Rich Text Format")), &size);
    ASSERT_NE(rtf, nullptr);
    std::string text((const char*)rtf, size);
    free(rtf);
    size_t on = text.find("\\highlight7 "), off = text.find("\\highlight0 ");
    ASSERT_NE(on, std::string::npos);
    EXPECT_NE(off, std::string::npos);
    EXPECT_LT(on, off);
    EXPECT_EQ(text.find("\\highlight7 ", on + 1), std::string::npos);
}

// What a screen reader hears of overlapping passages: runs that end wherever one
// begins or ends, each in the fill drawn there (the later mark on top), by day and
// by night, in a left-to-right and a right-to-left paragraph.
TEST_F(HighlightWindow, OverlappingHighlightsAreTextRunsInTheColoursDrawn) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    for (int article : {1, 33})
        for (BOOL night : {FALSE, TRUE}) {
            SCOPED_TRACE(testing::Message() << "article " << article << (night ? " by night" : " by day"));
            gNightReading = night;
            ShowArticle(window, article);
            RepaintNow(window, kPaintAll);
            ClearNotes();
            bool rtl = article == 33;
            int s = -1;
            for (const PageWalk& line : Lines()) {
                AccessibleTextRun run;
                if (line.line->count >= 40 && ReadingRun(View(), ReadingOffset(View(), line.line->offset), &run) &&
                    run.rightToLeft == rtl) {
                    s = line.line->offset;
                    break;
                }
            }
            ASSERT_GE(s, 0);
            Note first{0, (uint16_t)article, 0, (uint16_t)s, (uint16_t)(s + 20), kHighlightYellow, false, 1, 1, u"", u""};
            Note later = first;
            later.start = (uint16_t)(s + 10), later.end = (uint16_t)(s + 30), later.colour = kHighlightBlue;
            later.modified = 2;
            ASSERT_NE(AddNote(first), 0u);
            ASSERT_NE(AddNote(later), 0u);
            int a[2], b[2];
            ReadingSpan(View(), s, s + 20, &a[0], &a[1]);
            ReadingSpan(View(), s + 10, s + 30, &b[0], &b[1]);
            std::vector<int> edges = {a[0], a[1], b[0], b[1]};
            std::sort(edges.begin(), edges.end());
            ASSERT_EQ(std::unique(edges.begin(), edges.end()), edges.end());
            // Reversed reading order puts the later passage first in a right-to-left paragraph.
            EXPECT_EQ(b[0] < a[0], rtl);
            for (int i = 0; i < 4; i++) {
                int at = edges[i];
                bool inA = at >= a[0] && at < a[1], inB = at >= b[0] && at < b[1];
                AccessibleTextRun run;
                ASSERT_TRUE(ReadingRun(View(), at, &run));
                int paragraphEnd = run.end;
                NarrowToHighlights(View(), at, &run);
                EXPECT_EQ(run.start, at);
                EXPECT_EQ(run.end, i < 3 ? edges[i + 1] : paragraphEnd) << i;
                EXPECT_EQ(run.background, inB   ? HighlightFill(kHighlightBlue)
                                          : inA ? HighlightFill(kHighlightYellow)
                                                : CLR_INVALID)
                    << i;
            }
        }
}
