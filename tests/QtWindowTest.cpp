// The window layer on the offscreen Qt platform: message order, input turned into
// messages, scroll bar codes, painting and validation, menus and the bars.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionMenuItem>
#include <QTimer>
#include <QToolButton>

#include "platform/TestHooks.h"
#include "platform/qt/QtApp.h"
#include "platform/qt/QtMenu.h"
#include "platform/qt/QtWindow.h"
#include "platform/win32.h"

namespace {

std::vector<MSG> gLog;
bool gInvalidateOnErase = false;
int gErases = 0;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    gLog.push_back({window, message, wParam, lParam, 0, {0, 0}});
    if (message == WM_ERASEBKGND) {
        gErases++;
        if (gInvalidateOnErase) InvalidateRect(window, nullptr, FALSE);
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) DispatchMessageW(&msg);
}

std::vector<UINT> Messages(std::initializer_list<UINT> wanted) {
    std::vector<UINT> out;
    for (const MSG& m : gLog)
        if (std::find(wanted.begin(), wanted.end(), m.message) != wanted.end()) out.push_back(m.message);
    return out;
}

std::vector<MSG> Only(UINT message) {
    std::vector<MSG> out;
    for (const MSG& m : gLog)
        if (m.message == message) out.push_back(m);
    return out;
}

class QtWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static WNDCLASSW wc{CS_HREDRAW | CS_VREDRAW, RecordingProc, 0, 0, nullptr, nullptr, nullptr, nullptr,
                            nullptr, TEXT("WindowTestClass")};
        wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
        RegisterClassW(&wc);
        gLog.clear();
        gErases = 0;
        gInvalidateOnErase = false;
    }
    void TearDown() override {
        for (HWND w : windows_) DestroyWindow(w);
        Pump();
    }
    HWND Create(DWORD style, int width = 300, int height = 400) {
        HWND w = CreateWindowExW(0, TEXT("WindowTestClass"), TEXT("Test"), style, 0, 0, width, height, nullptr,
                                 nullptr, nullptr, nullptr);
        windows_.push_back(w);
        return w;
    }
    QWidget* Client(HWND w) { return WidgetOf(w)->focusProxy(); }
    std::vector<HWND> windows_;
};

TEST_F(QtWindowTest, CreationSizePaintAndDestructionComeInOrder) {
    HWND w = Create(WS_VISIBLE);
    ASSERT_TRUE(w);
    Pump();
    Pump();
    DestroyWindow(w);
    EXPECT_EQ(Messages({WM_CREATE, WM_SIZE, WM_PAINT, WM_DESTROY}),
              (std::vector<UINT>{WM_CREATE, WM_SIZE, WM_PAINT, WM_DESTROY}));
    EXPECT_EQ(Only(WM_SIZE)[0].lParam, MAKELPARAM(300, 400));
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(PostMessageW(w, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageW(w, WM_USER, 0, 0), 0);
}

TEST_F(QtWindowTest, PaintValidatesAndAnEraseHandlerMayAskForOneMorePaint) {
    HWND w = Create(WS_VISIBLE);
    Pump();
    EXPECT_EQ(Only(WM_PAINT).size(), 1u);
    gLog.clear();
    gErases = 0;
    gInvalidateOnErase = true;
    InvalidateRect(w, nullptr, TRUE);
    Pump();
    // The erase re-invalidated without erase: exactly one more paint, then quiet.
    EXPECT_EQ(Only(WM_PAINT).size(), 2u);
    EXPECT_EQ(gErases, 1);
}

TEST_F(QtWindowTest, HiddenWindowsAreNotPainted) {
    HWND w = Create(0);
    Pump();
    EXPECT_TRUE(Only(WM_PAINT).empty());
    ShowWindow(w, SW_SHOW);
    UpdateWindow(w);
    EXPECT_EQ(Only(WM_PAINT).size(), 1u);
    EXPECT_TRUE(IsWindowVisible(w));
}

TEST_F(QtWindowTest, TheScrollBarLiesOutsideTheClientRectangle) {
    HWND w = Create(WS_VISIBLE | WS_VSCROLL, 300, 400);
    RECT r;
    GetClientRect(w, &r);
    EXPECT_EQ(r.right, 300 - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(r.bottom, 400);
    EXPECT_EQ(Only(WM_SIZE).back().lParam, MAKELPARAM(r.right, r.bottom));
    // The window rectangle includes the window manager's frame; the client area does not.
    MoveWindow(w, 0, 0, 200, 250, TRUE);
    RECT outer;
    GetWindowRect(w, &outer);
    EXPECT_EQ(outer.right - outer.left, 200);
    EXPECT_EQ(outer.bottom - outer.top, 250);
    QSize frame = WidgetOf(w)->frameGeometry().size() - WidgetOf(w)->size();
    EXPECT_EQ(Only(WM_SIZE).back().lParam,
              MAKELPARAM(200 - frame.width() - GetSystemMetrics(SM_CXVSCROLL), 250 - frame.height()));
}

TEST_F(QtWindowTest, AScrollBarAppearsOnDemandAndNarrowsTheClientArea) {
    HWND w = Create(WS_VISIBLE, 300, 400);
    EXPECT_EQ(ScrollBarOf(w), nullptr);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_POS, 0, 50, 0, 3, 0};
    SetScrollInfo(w, SB_VERT, &si, TRUE);
    ASSERT_TRUE(ScrollBarOf(w));
    EXPECT_EQ(Only(WM_SIZE).back().lParam, MAKELPARAM(300 - GetSystemMetrics(SM_CXVSCROLL), 400));
    si.nMax = 0;
    SetScrollInfo(w, SB_VERT, &si, TRUE);
    EXPECT_EQ(Only(WM_SIZE).back().lParam, MAKELPARAM(300, 400));
}

TEST_F(QtWindowTest, KeysArriveAsVirtualKeyCodes) {
    HWND w = Create(WS_VISIBLE);
    const std::pair<int, int> keys[] = {{Qt::Key_Return, VK_RETURN}, {Qt::Key_PageUp, VK_PRIOR},
                                        {Qt::Key_PageDown, VK_NEXT}, {Qt::Key_End, VK_END},
                                        {Qt::Key_Home, VK_HOME},     {Qt::Key_Left, VK_LEFT},
                                        {Qt::Key_Up, VK_UP},         {Qt::Key_Right, VK_RIGHT},
                                        {Qt::Key_Down, VK_DOWN},     {Qt::Key_F3, VK_F3}};
    for (auto [key, vk] : keys) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(Client(w), &press);
    }
    Pump();
    std::vector<MSG> downs = Only(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), std::size(keys));
    for (size_t i = 0; i < downs.size(); i++) EXPECT_EQ(downs[i].wParam, (WPARAM)keys[i].second) << i;
}

TEST_F(QtWindowTest, ALeftClickGivesClientCoordinates) {
    HWND w = Create(WS_VISIBLE | WS_VSCROLL);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(37, 252), QPointF(37, 252), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Client(w), &press);
    Pump();
    ASSERT_EQ(Only(WM_LBUTTONDOWN).size(), 1u);
    LPARAM at = Only(WM_LBUTTONDOWN)[0].lParam;
    EXPECT_EQ(LOWORD(at), 37);
    EXPECT_EQ(HIWORD(at), 252);
}

TEST_F(QtWindowTest, ScrollBarActionsBecomeScrollCodesAndThePositionStaysTheProgramsChoice) {
    HWND w = Create(WS_VISIBLE | WS_VSCROLL);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_POS, 0, 100, 0, 10, 0};
    SetScrollInfo(w, SB_VERT, &si, TRUE);
    QScrollBar* bar = ScrollBarOf(w);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(bar->value(), 10);
    bar->setSliderDown(true);
    bar->setSliderPosition(30);
    bar->setSliderDown(false);
    std::vector<int> codes, positions;
    for (const MSG& m : Only(WM_VSCROLL)) codes.push_back(LOWORD(m.wParam)), positions.push_back(HIWORD(m.wParam));
    EXPECT_EQ(codes, (std::vector<int>{SB_LINEDOWN, SB_LINEUP, SB_PAGEDOWN, SB_PAGEUP, SB_TOP, SB_BOTTOM,
                                       SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
    EXPECT_EQ(positions[6], 30);
    EXPECT_EQ(positions[7], 30);
    SCROLLINFO out{sizeof out, SIF_ALL};
    GetScrollInfo(w, SB_VERT, &out);
    EXPECT_EQ(out.nPos, 10);
    EXPECT_EQ(out.nMax, 100);
}

TEST_F(QtWindowTest, TheCloseButtonReachesTheProcedureAndTheDefaultDestroys) {
    HWND w = Create(WS_VISIBLE);
    WidgetOf(w)->close();
    Pump();
    EXPECT_EQ(Messages({WM_CLOSE, WM_DESTROY}), (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(IsWindow(w));
}

TEST_F(QtWindowTest, QuitComesAfterThePostedMessagesWithItsCode) {
    HWND w = Create(0);
    PostMessageW(w, WM_USER + 1, 0, 0);
    PostQuitMessage(3);
    MSG msg;
    EXPECT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, (UINT)WM_USER + 1);
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(QtWindowTest, TheSystemReportsVersion420AndHasAcceleratorTable3) {
    OSVERSIONINFOW v{276};
    ASSERT_TRUE(GetVersionExW(&v));
    EXPECT_EQ(v.dwMajorVersion, 4u);
    EXPECT_EQ(v.dwMinorVersion, 20u);
    EXPECT_NE(LoadAcceleratorsW(nullptr, MAKEINTRESOURCEW(3)), nullptr);
    EXPECT_EQ(LoadAcceleratorsW(nullptr, MAKEINTRESOURCEW(4)), nullptr);
    EXPECT_NE(LoadIconW(nullptr, MAKEINTRESOURCEW(101)), nullptr);
}

// ---- Menus ----

TEST(QtMenuTest, MainMenuHoldsBothPopUpsWithCommandsAndLabels) {
    HMENU menu = LoadMenuW(nullptr, MAKEINTRESOURCEW(102));
    ASSERT_TRUE(menu);
    Menu* m = MenuOf(menu);
    ASSERT_EQ(m->items.size(), 4u);
    EXPECT_EQ(m->items[0].text, u"&File");
    EXPECT_EQ(m->items[1].text, u"&Go");
    EXPECT_EQ(m->items[2].text, u"&View");  // the desktop's side panel and full screen
    EXPECT_EQ(m->items[3].text, u"&Help");
    const auto& file = MenuOf(GetSubMenu(menu, 0))->items;
    const auto& go = MenuOf(GetSubMenu(menu, 1))->items;
    ASSERT_EQ(file.size(), 21u);  // About went to the Help menu; highlights and the notes' export and import came
    ASSERT_EQ(go.size(), 12u);  // the handheld's seven with Next Unread, then a separator and the desktop's history items
    EXPECT_EQ(file[1].text, u"C&hoose Article\bCtrl+D");
    EXPECT_EQ(file[1].id, 119u);
    EXPECT_TRUE(file[2].separator);
    EXPECT_EQ(file[5].text, u"&Night\bCtrl+Shift+N");
    EXPECT_EQ(file[5].id, 40013u);
    EXPECT_EQ(file[10].text, u"Highl&ight\bCtrl+H");
    EXPECT_EQ(file[14].text, u"&Print...\bCtrl+P");
    EXPECT_EQ(file[17].text, u"Export No&tes...");
    EXPECT_EQ(file[18].id, 40081u);
    EXPECT_EQ(file[20].id, 40005u);
    EXPECT_EQ(go[4].text, u"Next &Unread\bCtrl+U");
    EXPECT_EQ(go[7].text, u"Search A&gain\bF3");
    EXPECT_EQ(go[7].id, 117u);
    EXPECT_TRUE(go[8].separator);
    EXPECT_EQ(go[9].text, u"Go &To Article...\bCtrl+G");
    EXPECT_EQ(go[11].id, 40012u);
    DestroyMenu(menu);
    EXPECT_EQ(MenuOf(menu), nullptr);
}

TEST(QtMenuTest, CheckMarksRoundTripByCommandThroughPopUps) {
    HMENU menu = LoadMenuW(nullptr, MAKEINTRESOURCEW(102));
    EXPECT_EQ(CheckMenuItem(menu, 123, MF_BYCOMMAND | MF_CHECKED), (DWORD)MF_UNCHECKED);
    MENUITEMINFOW info{44, MIIM_STATE};
    ASSERT_TRUE(GetMenuItemInfoW(GetSubMenu(menu, 1), 123, FALSE, &info));
    EXPECT_EQ(info.fState & MFS_CHECKED, (UINT)MFS_CHECKED);
    EXPECT_EQ(CheckMenuItem(menu, 123, MF_BYCOMMAND | MF_UNCHECKED), (DWORD)MF_CHECKED);
    ASSERT_TRUE(GetMenuItemInfoW(menu, 123, FALSE, &info));
    EXPECT_EQ(info.fState & MFS_CHECKED, 0u);
    EXPECT_EQ(CheckMenuItem(menu, 999, MF_CHECKED), (DWORD)-1);
    EXPECT_FALSE(GetMenuItemInfoW(menu, 999, FALSE, &info));
    // Shown, the toggle stays checkable while off; other items are plain.
    EnsureQtApplication();
    QMenu shown;
    FillQMenu(&shown, GetSubMenu(menu, 1), nullptr);
    int checkable = 0;
    for (QAction* action : shown.actions()) {
        if (action->isSeparator() || action->menu()) continue;
        EXPECT_EQ(action->isCheckable(), action->text().startsWith("&Bookmark")) << action->text().toStdString();
        EXPECT_FALSE(action->isChecked());
        checkable += action->isCheckable();
    }
    EXPECT_EQ(checkable, 1);
    DestroyMenu(menu);
}

// Exposes what the menu draws for an item: its label and, after a tab, its shortcut.
struct ShownMenu : QMenu {
    QString Drawn(const QAction* action) const {
        QStyleOptionMenuItem option;
        initStyleOption(&option, action);
        return option.text;
    }
};

TEST(QtMenuTest, ItemsAreNamedWithoutTheirShortcutWhichBecomesTheirKeyBinding) {
    EnsureQtApplication();
    HMENU menu = LoadMenuW(nullptr, MAKEINTRESOURCEW(102));
    struct Row {
        int popup;
        const char* drawn;
        const char* name;
        const char* keys;
    };
    const Row rows[] = {{0, "&Copy\tCtrl+C", "Copy", "Ctrl+C"},
                        {0, "&Night\tCtrl+Shift+N", "Night", "Ctrl+Shift+N"},
                        {1, "&Search\tAlt+F3", "Search", "Alt+F3"},
                        {1, "Search A&gain\tF3", "Search Again", "F3"},
                        {1, "Bac&k\tAlt+Left", "Back", "Alt+Left"},
                        {1, "&Bookmark", "Bookmark", "Alt+B"}};  // no shortcut: its mnemonic
    ShownMenu shown[2];
    for (int i = 0; i < 2; i++) FillQMenu(&shown[i], GetSubMenu(menu, i), nullptr);
    for (const Row& row : rows) {
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&shown[row.popup]);
        QAccessibleInterface* item = nullptr;
        for (int i = 0; list && i < list->childCount() && !item; i++)
            if (list->child(i)->text(QAccessible::Name) == row.name) item = list->child(i);
        ASSERT_TRUE(item) << row.name;
        // The accelerator text is what the AT-SPI bridge gives as the key binding.
        EXPECT_EQ(item->text(QAccessible::Accelerator), row.keys) << row.name;
        // Sighted users see the same line as before.
        auto* action = qobject_cast<QAction*>(item->object());
        ASSERT_TRUE(action);
        EXPECT_EQ(shown[row.popup].Drawn(action), row.drawn);
    }
    DestroyMenu(menu);
}

TEST(QtMenuTest, StringTableHoldsTheMenuBarTexts) {
    WCHAR text[8];
    EXPECT_EQ(LoadStringW(nullptr, 302, text, 8), 2);
    EXPECT_EQ(std::u16string(text), u"Go");
    EXPECT_EQ(LoadStringW(nullptr, 303, text, 3), 2);
    EXPECT_EQ(std::u16string(text), u"Fi");
    EXPECT_EQ(LoadStringW(nullptr, 301, text, 8), 4);
    EXPECT_EQ(std::u16string(text), u"View");
    EXPECT_EQ(LoadStringW(nullptr, 299, text, 8), 0);
}

// ---- Bars ----

const LPCWSTR kTips[7] = {nullptr,        TEXT("Previous Article"), TEXT("Choose Article"), TEXT("Next Article"),
                          TEXT("Choose Font"), TEXT("Search"),      TEXT("Search Again")};
const TBBUTTON kButtons[6] = {{0, 110, TBSTATE_ENABLED, 0, {0, 0}, 0, -1}, {1, 119, TBSTATE_ENABLED, 0, {0, 0}, 0, -1},
                              {2, 109, TBSTATE_ENABLED, 0, {0, 0}, 0, -1}, {3, 40006, TBSTATE_ENABLED, 0, {0, 0}, 0, -1},
                              {4, 116, TBSTATE_ENABLED, 0, {0, 0}, 0, -1}, {5, 117, TBSTATE_ENABLED, 0, {0, 0}, 0, -1}};

void AddToolButtons(HWND bar) {
    SendMessageW(bar, TB_SETTOOLTIPS, 7, (LPARAM)kTips);
    CommandBar_AddBitmap(bar, nullptr, 114, 6, 16, 16);
    SendMessageW(bar, TB_ADDBUTTONSW, 6, (LPARAM)kButtons);
}

QToolButton* ButtonWithTip(HWND bar, const QString& tip) {
    for (QToolButton* b : WidgetOf(bar)->findChildren<QToolButton*>())
        if (b->toolTip() == tip) return b;
    return nullptr;
}

QToolButton* ButtonWithText(HWND bar, const QString& text) {
    for (QToolButton* b : WidgetOf(bar)->findChildren<QToolButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

TEST_F(QtWindowTest, CommandBarSitsAtTheTopAndItsButtonsSendCommands) {
    HWND w = Create(WS_VISIBLE);
    HWND bar = CommandBar_Create(nullptr, w, 1);
    ASSERT_TRUE(bar);
    EXPECT_GT(CommandBar_Height(bar), 0);
    EXPECT_TRUE(CommandBar_InsertMenubar(bar, nullptr, 102, 0));
    AddToolButtons(bar);
    CommandBar_AddAdornments(bar, CMDBAR_HELP, 0);
    EXPECT_EQ(WidgetOf(bar)->geometry(), QRect(0, 0, 300, CommandBar_Height(bar)));
    EXPECT_TRUE(ButtonWithText(bar, "&File") && ButtonWithText(bar, "&Go"));
    QToolButton* previous = ButtonWithTip(bar, "Previous Article");
    QToolButton* again = ButtonWithTip(bar, "Search Again");
    ASSERT_TRUE(previous && again);
    EXPECT_FALSE(previous->icon().isNull());
    // Screen readers name the picture buttons by their tooltips, the signs by words.
    const std::pair<QToolButton*, QString> named[] = {{previous, "Previous Article"},
                                                      {again, "Search Again"},
                                                      {ButtonWithText(bar, "?"), "About"},
                                                      {ButtonWithText(bar, QString::fromUtf16(u"\u00D7")), "Close"}};
    for (const auto& [button, name] : named) {
        ASSERT_TRUE(button) << name.toStdString();
        EXPECT_EQ(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name), name);
    }
    previous->click();
    again->click();
    ButtonWithText(bar, "?")->click();
    Pump();
    std::vector<MSG> commands = Only(WM_COMMAND);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 110);
    EXPECT_EQ(LOWORD(commands[1].wParam), 117);
    EXPECT_EQ(Only(WM_HELP).size(), 1u);
    HMENU menu = CommandBar_GetMenu(bar, 0);
    EXPECT_EQ(CheckMenuItem(menu, 122, MF_CHECKED), (DWORD)MF_UNCHECKED);
    CommandBar_Show(bar, FALSE);
    EXPECT_FALSE(IsWindowVisible(bar));
}

TEST_F(QtWindowTest, MenuBarSitsAtTheBottomWithTheFileAndGoButtons) {
    HWND w = Create(WS_VISIBLE, 240, 320);
    SHMENUBARINFO mbi{32, w, SHCMBF_HIDESIPBUTTON, 102, nullptr, 0, 0, nullptr};
    ASSERT_TRUE(SHCreateMenuBar(&mbi));
    HWND bar = mbi.hwndMB;
    AddToolButtons(bar);
    RECT r;
    GetWindowRect(bar, &r);
    int height = r.bottom - r.top;
    EXPECT_GT(height, 0);
    EXPECT_EQ(WidgetOf(bar)->geometry(), QRect(0, 320 - height, 240, height));
    MoveWindow(bar, r.left, r.top, r.right - 20 - r.left, height, TRUE);
    EXPECT_EQ(WidgetOf(bar)->width(), 220);
    EXPECT_TRUE(ButtonWithText(bar, "File") && ButtonWithText(bar, "Go"));
    HMENU go = (HMENU)SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 40002);
    HMENU file = (HMENU)SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 40001);
    EXPECT_EQ(CheckMenuItem(go, 123, MF_CHECKED), (DWORD)MF_UNCHECKED);
    EXPECT_EQ(CheckMenuItem(file, 123, MF_CHECKED), (DWORD)-1);
    EXPECT_EQ(CheckMenuItem(file, 122, MF_CHECKED), (DWORD)MF_UNCHECKED);
    // The bar follows the window's size.
    MoveWindow(w, 0, 0, 300, 400, TRUE);
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(WidgetOf(bar)->geometry(), QRect(0, client.bottom - height, client.right - 20, height));
}

// ---- Message boxes ----

TEST(QtMessageBoxTest, TheRealBoxReturnsTheButtonPressed) {
    EnsureWindowLayer();
    StopMessageBoxScript();
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text(), "Remove Bookmark?\n\nCancel - Don't ask again");
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(MessageBoxW(nullptr, TEXT("Remove Bookmark?\n\nCancel - Don't ask again"), TEXT("Bookmark"),
                          MB_YESNOCANCEL),
              IDNO);
    QTimer::singleShot(0, [] { qobject_cast<QMessageBox*>(QApplication::activeModalWidget())->reject(); });
    EXPECT_EQ(MessageBoxW(nullptr, TEXT("Not Found!"), TEXT("Velun"), MB_OK), IDOK);
}

TEST(QtMessageBoxTest, ScriptedBoxesNeverReachTheRealOne) {
    EnsureWindowLayer();
    ScriptMessageBoxes({IDCANCEL});
    EXPECT_EQ(MessageBoxW(nullptr, TEXT("x"), TEXT("y"), MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    StopMessageBoxScript();
}

}  // namespace
