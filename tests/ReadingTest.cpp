// Reading on the desktop: shortcut keys through accelerator table 3, the wheel
// (over the text and the scroll bar, fine deltas added up, Ctrl for the font size),
// Space and End, font sizes that keep the reading place, the title bar, the
// window's placement across runs, the fitted margin and the first run's Hebrew.
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <tuple>

#include "ShellFixture.h"
#include "platform/qt/QtMenu.h"
#include "platform/qt/QtWindow.h"
#include "shell/FontDialog.h"
#include "reader/FontSize.h"
#include "reader/KeepPlace.h"
#include "reader/WindowPlacement.h"

namespace {

std::vector<MSG> gLog;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    gLog.push_back({window, message, wParam, lParam, 0, {0, 0}});
    return DefWindowProcW(window, message, wParam, lParam);
}

// A plain window that records its messages, for the platform's input path.
class ReadingInput : public ::testing::Test {
  protected:
    void SetUp() override {
        static WNDCLASSW wc{0, RecordingProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, TEXT("InputTest")};
        RegisterClassW(&wc);
        // Hidden, so that no made-up paint waits in the queue.
        window = CreateWindowExW(0, TEXT("InputTest"), TEXT("Input"), WS_VSCROLL, 0, 0, 300, 300,
                                 nullptr, nullptr, nullptr, nullptr);
        table = LoadAcceleratorsW(nullptr, MAKEINTRESOURCEW(3));
        DrainMessages();
        gLog.clear();
    }
    void TearDown() override {
        DestroyWindow(window);
        DrainMessages();
    }
    QWidget* Client() { return WidgetOf(window)->focusProxy(); }
    // A key pressed in the window, taken from the queue as the message loop takes it;
    // returns the command it was translated into, or 0.
    int Translate(int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(Client(), &press);
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return -1;
        gLog.clear();
        if (!TranslateAcceleratorW(msg.hwnd, table, &msg)) return 0;
        return gLog.size() == 1 && gLog[0].message == WM_COMMAND && HIWORD(gLog[0].wParam) == 1
                   ? LOWORD(gLog[0].wParam)
                   : -2;
    }
    MSG Wheel(QWidget* over, QPoint pixels, QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), pixels, angle, Qt::NoButton, modifiers, Qt::NoScrollPhase,
                          false);
        QCoreApplication::sendEvent(over, &wheel);
        MSG msg = {};
        PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
        return msg;
    }
    HWND window = nullptr;
    HACCEL table = nullptr;
};

TEST_F(ReadingInput, ShortcutKeysBecomeTheirCommandsWithExactlyTheirModifiers) {
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(Translate(Qt::Key_D, Qt::ControlModifier), 119);
    EXPECT_EQ(Translate(Qt::Key_Q, Qt::ControlModifier), 40005);
    EXPECT_EQ(Translate(Qt::Key_F3, Qt::NoModifier), 117);
    EXPECT_EQ(Translate(Qt::Key_F3, Qt::AltModifier), 116);  // a system key, Alt held
    EXPECT_EQ(Translate(Qt::Key_D, Qt::NoModifier), 0);
    EXPECT_EQ(Translate(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier), 0);
    EXPECT_EQ(Translate(Qt::Key_F3, Qt::ShiftModifier), kCmdPreviousHit);
    // Ctrl+F finds, as on every desktop; the font dialog moves to Ctrl+Shift+F.
    EXPECT_EQ(Translate(Qt::Key_F, Qt::ControlModifier), kCmdSearchTab);
    EXPECT_EQ(Translate(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier), kCmdFont);
    EXPECT_EQ(Translate(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier), kCmdContentsTab);
    EXPECT_EQ(Translate(Qt::Key_F9, Qt::NoModifier), kCmdSidePanel);
    EXPECT_EQ(LoadAcceleratorsW(nullptr, MAKEINTRESOURCEW(4)), nullptr);
}

TEST_F(ReadingInput, NothingIsTranslatedWhileAModalDialogIsUp) {
    QDialog modal;
    modal.setModal(true);
    modal.show();
    QApplication::processEvents();
    ASSERT_TRUE(QApplication::activeModalWidget());
    MSG msg = {window, WM_KEYDOWN, 'D', 0, 0, {0, 0}};
    PostInputMessage(window, WM_KEYDOWN, 'D', 0, kKeyControl);
    PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
    EXPECT_EQ(TranslateAcceleratorW(window, table, &msg), 0);
    modal.hide();
}

// Every "Ctrl+X", "Alt+F3" or "F3" that menu 102 shows beside an item runs that item.
TEST_F(ReadingInput, EveryShortcutTheMenuShowsRunsItsItem) {
    HMENU menu = LoadMenuW(nullptr, MAKEINTRESOURCEW(102));
    int labels = 0;
    for (int popup = 0; popup < 2; popup++) {
        for (const auto& item : MenuOf(GetSubMenu(menu, popup))->items) {
            size_t tab = item.text.find(u'\b');
            if (tab == std::u16string::npos) continue;
            QString label = QString::fromStdU16String(item.text.substr(tab + 1));
            QKeySequence sequence(label);
            ASSERT_EQ(sequence.count(), 1) << label.toStdString();
            QKeyCombination combination = sequence[0];
            EXPECT_EQ(Translate(combination.key(), combination.keyboardModifiers()), (int)item.id)
                << label.toStdString();
            labels++;
        }
    }
    EXPECT_EQ(labels, 17);  // Ctrl+D is shown twice
    DestroyMenu(menu);
}

TEST_F(ReadingInput, TheWheelArrivesInWheelDeltasWithControlOverTextAndScrollBar) {
    MSG msg = Wheel(Client(), QPoint(0, 10), QPoint(0, 120));
    EXPECT_EQ(msg.message, (UINT)WM_MOUSEWHEEL);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(msg.wParam), 120);  // the angle decides when there is one
    EXPECT_EQ(GET_KEYSTATE_WPARAM(msg.wParam), 0);
    msg = Wheel(Client(), QPoint(0, -2), QPoint(0, -15), Qt::ControlModifier);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(msg.wParam), -15);  // part of a notch goes as it is
    EXPECT_EQ(GET_KEYSTATE_WPARAM(msg.wParam), MK_CONTROL);
    msg = Wheel(Client(), QPoint(0, -24), QPoint(0, 0));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(msg.wParam), -60);  // pixels only: 48 a notch
    ASSERT_TRUE(ScrollBarOf(window));
    msg = Wheel(ScrollBarOf(window), QPoint(0, 0), QPoint(0, -120));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(msg.wParam), -120);
    UINT lines = 0;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    EXPECT_EQ(lines, (UINT)QApplication::wheelScrollLines());
}

TEST(WheelSteps, PartsOfANotchAddUpAndATurnBackStartsAfresh) {
    int rest = 0;
    EXPECT_EQ(TakeWheelSteps(&rest, -120, 3), -3);
    int rows = 0;
    for (int i = 0; i < 8; i++) rows += TakeWheelSteps(&rest, -15, 3);
    EXPECT_EQ(rows, -3);  // eight eighths of a notch
    EXPECT_EQ(TakeWheelSteps(&rest, -20, 1), 0);
    EXPECT_EQ(TakeWheelSteps(&rest, 100, 1), 0);  // the other way: the -20 is dropped
    EXPECT_EQ(TakeWheelSteps(&rest, 20, 1), 1);
    EXPECT_EQ(rest, 0);
}

TEST(FontSizeSteps, StepThroughTheDialogsSizesFromTheDefault) {
    EXPECT_EQ(SteppedFontSize(0, 16, 1), 18);
    EXPECT_EQ(SteppedFontSize(0, 16, -1), 14);
    EXPECT_EQ(SteppedFontSize(13, 16, 1), 14);  // a size between two listed ones
    EXPECT_EQ(SteppedFontSize(13, 16, -1), 12);
    EXPECT_EQ(SteppedFontSize(72, 16, 1), 72);
    EXPECT_EQ(SteppedFontSize(10, 16, -1), 10);
    EXPECT_EQ(SteppedFontSize(8, 16, -1), 8);  // below the list: stays
    EXPECT_EQ(SteppedFontSize(8, 16, 1), 10);
    EXPECT_EQ(SteppedFontSize(32, 16, 2), 72);
}

// The reader's window over a long article, as the navigation tests have it.
class Reading : public ReaderTest {
  protected:
    void SetUp() override {
        ReaderTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartOn(142, 240, 320));
        ASSERT_GE(View()->maxTopRow, 60);
        RepaintNow(window, kPaintAll);
    }
    int WheelFrom(int from, int delta, WORD keys = 0) {
        View()->topRow = (uint16_t)from;
        EXPECT_EQ(Send(WM_MOUSEWHEEL, MAKEWPARAM(keys, (WORD)(SHORT)delta)), 0);
        return View()->topRow - from;
    }
    std::u16string Title() {
        WCHAR text[128];
        GetWindowTextW(window, text, 128);
        return text;
    }
};

TEST_F(Reading, TheWheelScrollsByWheelLinesWithTheClamping) {
    int lines = QApplication::wheelScrollLines();
    EXPECT_EQ(WheelFrom(20, -WHEEL_DELTA), lines);
    EXPECT_EQ(WheelFrom(20, WHEEL_DELTA), -lines);
    EXPECT_EQ(WheelFrom(1, 2 * WHEEL_DELTA), -1);  // stops at the top
    View()->topRow = 20;
    for (int i = 0; i < 4; i++) Send(WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(SHORT)-30));
    EXPECT_EQ(View()->topRow, 20 + lines);  // four quarters make a notch
    int max = View()->maxTopRow;
    EXPECT_EQ(WheelFrom(max, -WHEEL_DELTA), 0);  // no further once the last page is reached
}

TEST_F(Reading, SpacePagesAndEndLandsOnTheLastPageFromAnyRow) {
    View()->topRow = 20;
    int page = View()->rowsPainted - 1;
    Key(VK_SPACE, 0);
    EXPECT_EQ(View()->topRow, 20 + page);
    Key(VK_SPACE, kKeyShift);
    EXPECT_EQ(View()->topRow, 20);  // the step back undoes the step forward
    int max = View()->maxTopRow;
    for (int from : {0, 30, max, max + 3}) {
        View()->topRow = (uint16_t)from;
        Key(VK_END, 0);
        EXPECT_EQ(View()->topRow, View()->maxTopRow) << from;
    }
}

TEST_F(Reading, FontSizeKeysAndCtrlWheelKeepTheFirstVisibleText) {
    View()->topRow = 40;
    RepaintNow(window, kPaintAll);
    // Each change keeps the text that was first on the page on the new first line.
    auto keepsPlace = [&](auto change) {
        int offset = PlaceOf(View());
        change();
        int first = FirstVisibleOffset(View());
        const ArticleLine* line = View()->lines;
        while (line->style && line->offset != first) line++;
        return line->offset <= offset && offset <= line->offset + line->count;
    };
    EXPECT_TRUE(keepsPlace([&] { Key(VK_OEM_PLUS, kKeyControl); }));
    EXPECT_EQ(gApp.fontSettings.size, 18);
    EXPECT_EQ(View()->fontSettings.size, 18);
    EXPECT_TRUE(keepsPlace([&] { Key(VK_SUBTRACT, kKeyControl); }));
    EXPECT_TRUE(keepsPlace([&] { Key(VK_OEM_MINUS, kKeyControl); }));
    EXPECT_EQ(gApp.fontSettings.size, 14);
    EXPECT_TRUE(keepsPlace([&] { Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA)); }));
    EXPECT_EQ(gApp.fontSettings.size, 16);
    EXPECT_TRUE(keepsPlace([&] { Key('0', kKeyControl); }));
    EXPECT_EQ(gApp.fontSettings.size, 0);
    Key(VK_OEM_PLUS, 0);  // without Ctrl: not a key of the reader
    EXPECT_EQ(gApp.fontSettings.size, 0);
}

TEST_F(Reading, TheTitleBarNamesTheArticleAndASecondStartStillFindsTheReader) {
    EXPECT_EQ(Title(), u"The History of Printing in Europe - Velun");
    NextArticle(window);
    EXPECT_EQ(Title(), u"Punches, Matrices and Type Founding - Velun");
    EXPECT_EQ(FindWindowW(kMainWindowClass, kMainWindowTitle), window);
    EXPECT_EQ(FindWindowW(kMainWindowClass, u"Punches, Matrices and Type Founding - Velun"), window);
}

TEST_F(Reading, ThePlacementIsKeptAndPutBackOnlyWhereAScreenShowsIt) {
    RECT work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    WINDOWPLACEMENT placed = {sizeof placed, 0, SW_SHOWNORMAL};
    placed.rcNormalPosition = {work.left + 30, work.top + 40, work.left + 330, work.top + 440};
    ASSERT_TRUE(SetWindowPlacement(window, &placed));
    DestroyWindow(window);  // the exit sequence keeps it
    std::vector<BYTE> stored = Product(u"WindowPlacement").data;
    ASSERT_EQ(stored.size(), 20u);

    auto startWith = [&](const std::vector<BYTE>& value) {
        if (IsWindow(window)) DestroyWindow(window);
        DrainMessages();
        ResetAppState();
        SetProduct(u"WindowPlacement", REG_BINARY, value);
        WINDOWPLACEMENT now = {sizeof now};
        if (Start()) GetWindowPlacement(window, &now);
        return now;
    };
    auto same = [](const RECT& a, const RECT& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    WINDOWPLACEMENT back = startWith(stored);
    EXPECT_TRUE(same(back.rcNormalPosition, placed.rcNormalPosition));
    EXPECT_EQ(back.showCmd, (UINT)SW_SHOWNORMAL);

    // Maximised comes back maximised, over the same restored rectangle.
    std::vector<BYTE> maximised = stored;
    maximised[16] = 1;
    back = startWith(maximised);
    EXPECT_EQ(back.showCmd, (UINT)SW_SHOWMAXIMIZED);
    EXPECT_TRUE(same(back.rcNormalPosition, placed.rcNormalPosition));

    // Far off every screen: the same size, centred on the work area.
    std::vector<BYTE> away = stored;
    for (int i = 0; i < 4; i++) {
        away[i] = (BYTE)(50000 >> (8 * i));
        away[8 + i] = (BYTE)(50300 >> (8 * i));
    }
    back = startWith(away);
    EXPECT_TRUE(same(back.rcNormalPosition, CentredRect(work, 300, 400)));

    // Broken values count as none: the first run's size.
    back = startWith({1, 2, 3});
    EXPECT_TRUE(same(back.rcNormalPosition, ComfortableRect(work)));
    std::vector<BYTE> tiny = stored;
    tiny[8] = (BYTE)(work.left + 40);  // 10 pixels wide
    tiny[9] = tiny[10] = tiny[11] = 0;
    if (work.left == 0) {
        EXPECT_TRUE(same(startWith(tiny).rcNormalPosition, ComfortableRect(work)));
    }
}

TEST(FirstRunPlacement, AComfortablePageCentredAndSmallScreensFilled) {
    RECT wide = ComfortableRect({0, 0, 1920, 1040});
    EXPECT_EQ(wide.bottom - wide.top, 936);
    EXPECT_EQ(wide.right - wide.left, 702);
    EXPECT_EQ(wide.left, (1920 - 702) / 2);
    RECT small = ComfortableRect({0, 0, 640, 480});
    EXPECT_EQ(small.right, 640);
    EXPECT_EQ(small.bottom, 480);
    RECT clipped = CentredRect({100, 0, 500, 300}, 1000, 200);
    EXPECT_EQ(clipped.left, 100);
    EXPECT_EQ(clipped.right, 500);
    EXPECT_EQ(clipped.top, 50);
}

// The window and the title bar above it lie whole on the work area: moved in, and
// shrunk when too large, but never below the least usable size.
TEST(FirstRunPlacement, AWindowIsFittedWholeWithItsTitleBarOnTheWorkArea) {
    const RECT work = {0, 30, 1024, 768};
    const struct {
        RECT wanted, fitted;
    } kCases[] = {
        {{100, 100, 700, 600}, {100, 100, 700, 600}},       // fits: left alone
        {{-50, 0, 5000, 4000}, {0, 54, 1024, 768}},          // too large: the work area less the title bar
        {{900, 700, 1300, 1000}, {624, 468, 1024, 768}},     // hanging off the corner: moved in
        {{100, 100, 200, 150}, {100, 100, 340, 300}},        // too small: the least usable size
        {{-3000, -3000, -2700, -2600}, {0, 54, 300, 454}},   // far off: into the corner
    };
    for (const auto& c : kCases) {
        RECT r = FitOnWorkArea(c.wanted, work, 24);
        EXPECT_EQ(std::tuple(r.left, r.top, r.right, r.bottom),
                  std::tuple(c.fitted.left, c.fitted.top, c.fitted.right, c.fitted.bottom))
            << c.wanted.left << "," << c.wanted.top;
    }
    RECT handheld = FitOnWorkArea({0, 0, 480, 640}, {0, 0, 240, 320}, 20);
    EXPECT_EQ(std::tuple(handheld.left, handheld.top, handheld.right, handheld.bottom), std::tuple(0, 20, 240, 320));
}

TEST_F(Reading, AStoredHugeWindowOpensWholeOnTheScreenAndNoneGetsSmallerThanUsable) {
    DestroyWindow(window);
    ResetAppState();
    std::vector<BYTE> huge;
    for (int32_t v : {-40, -40, 4960, 3960, 0})
        for (int k = 0; k < 4; k++) huge.push_back((BYTE)((uint32_t)v >> (8 * k)));
    SetProduct(u"WindowPlacement", REG_BINARY, huge);
    ASSERT_NE(Start(), nullptr);
    RECT work, r;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    WINDOWPLACEMENT now = {sizeof now};
    ASSERT_TRUE(GetWindowPlacement(window, &now));
    r = now.rcNormalPosition;
    EXPECT_GE(r.left, work.left);
    EXPECT_GE(r.top, work.top + GetSystemMetrics(SM_CYCAPTION));
    EXPECT_LE(r.right, work.right);
    EXPECT_LE(r.bottom, work.bottom);

    MoveWindow(window, 10, 40, 100, 100, TRUE);
    GetWindowRect(window, &r);
    EXPECT_GE(r.right - r.left, kLeastWindowWidth);
    EXPECT_GE(r.bottom - r.top, kLeastWindowHeight);
}

TEST_F(Reading, WithNoStoredGutterTheMarginFitsTheWindow) {
    DestroyWindow(window);
    ResetAppState();
    gFittedGutter = TRUE;
    SetProduct(u"SidePanel", REG_DWORD, DwordBytes(0));  // the article alone fills the window
    ASSERT_NE(Start(), nullptr);
    for (auto [width, height, gutter] : {std::tuple{800, 600, 20}, {240, 320, 8}, {1920, 1080, 48}}) {
        SetClientSize(window, width, height);
        EXPECT_EQ(gApp.SurroundingGutter, gutter) << width;
        EXPECT_EQ(View()->left, gutter) << width;
        EXPECT_EQ(View()->width, width - 2 * gutter) << width;
    }
}

TEST_F(ShellTest, TheFirstRunReadsHebrewWhenTheFaceWritesIt) {
    ScriptFontFamilies({{u"Hebrew Face", HEBREW_CHARSET}, {u"Latin Face", ANSI_CHARSET}});
    EXPECT_TRUE(FaceWritesHebrew(u"Hebrew Face"));
    EXPECT_FALSE(FaceWritesHebrew(u"Latin Face"));
    EXPECT_FALSE(FaceWritesHebrew(u"No Such Face"));

    wcscpy(gApp.fontSettings.faceName, u"Hebrew Face");
    gApp.fontSettings.FontAsciiBase = 97;
    ChooseFirstRunBase();
    EXPECT_EQ(gApp.fontSettings.FontAsciiBase, kHebrewBase);

    gApp.fontSettings.FontAsciiBase = 97;  // a stored value decides
    SetProduct(u"FontAsciiBase", REG_DWORD, DwordBytes(97));
    ChooseFirstRunBase();
    EXPECT_EQ(gApp.fontSettings.FontAsciiBase, 97);
    StopFontFamilyScript();
}

}  // namespace
