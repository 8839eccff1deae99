// Dialogs from templates on the offscreen Qt platform: the modal loop and its
// endings, dialog units, and the controls the reader's dialogs use.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "platform/qt/QtGdi.h"
#include "platform/qt/QtWindow.h"
#include "platform/win32.h"
#include "resources/Dialogs.h"

namespace {

// Each test gives the dialog a script to run on WM_INITDIALOG and records what arrives.
std::function<void(HWND)> gOnInit;
std::function<INT_PTR(HWND, WPARAM)> gOnCommand;
std::vector<UINT> gMessages;
std::vector<WPARAM> gCommands;
LPARAM gInitParam = 0;

INT_PTR CALLBACK ScriptedProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    gMessages.push_back(message);
    switch (message) {
        case WM_INITDIALOG:
            gInitParam = lParam;
            if (gOnInit) gOnInit(dialog);
            return TRUE;
        case WM_COMMAND:
            gCommands.push_back(wParam);
            if (gOnCommand) return gOnCommand(dialog, wParam);
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
            return TRUE;
    }
    return FALSE;
}

LPCDLGTEMPLATEW Template(WORD id) {
    return (LPCDLGTEMPLATEW)LoadResource(nullptr, FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_DIALOG));
}

INT_PTR RunDialog(WORD id, std::function<void(HWND)> onInit, HWND owner = nullptr, LPARAM param = 0) {
    gOnInit = std::move(onInit);
    return DialogBoxIndirectParamW(nullptr, Template(id), owner, ScriptedProc, param);
}

template <class T>
T* Control(HWND dialog, int id) {
    return qobject_cast<T*>(WidgetOf(GetDlgItem(dialog, id)));
}

void Press(QWidget* widget, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &press);
}

class QtDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureWindowLayer();
        gOnCommand = nullptr;
        gMessages.clear();
        gCommands.clear();
    }
};

TEST_F(QtDialogTest, RunsModallyFromInitDialogToEndDialog) {
    HWND seen = nullptr;
    gOnCommand = [](HWND dialog, WPARAM wParam) -> INT_PTR {
        if (LOWORD(wParam) == IDOK) EndDialog(dialog, 42);
        return TRUE;
    };
    INT_PTR result = RunDialog(kSearchDialogId, [&](HWND dialog) {
        seen = dialog;
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }, nullptr, 77);
    EXPECT_EQ(result, 42);
    EXPECT_EQ(gInitParam, 77);
    EXPECT_EQ(gMessages.front(), (UINT)WM_INITDIALOG);
    EXPECT_EQ(gMessages.back(), (UINT)WM_DESTROY);
    EXPECT_FALSE(IsWindow(seen));
}

TEST_F(QtDialogTest, TemplatesGiveCaptionTextsAndPlacesInDialogUnits) {
    // Once shown, the search text, the first tab stop, has the focus.
    gOnCommand = [](HWND dialog, WPARAM) -> INT_PTR {
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 1013));
        return EndDialog(dialog, 1);
    };
    RunDialog(kSearchDialogId, [](HWND dialog) {
        WCHAR text[40];
        GetWindowTextW(dialog, text, 40);
        EXPECT_EQ(std::u16string(text), u"Velun");
        GetDlgItemTextW(dialog, 1014, text, 40);
        EXPECT_EQ(std::u16string(text), u"Match Case");
        RECT r{7, 21, 7 + 112, 21 + 13};
        MapDialogRect(dialog, &r);
        EXPECT_EQ(WidgetOf(GetDlgItem(dialog, 1013))->geometry(),
                  QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
        RECT client;
        GetClientRect(dialog, &client);
        RECT whole{0, 0, 126, 88};  // room below Match Case and Whole Word for Find All
        MapDialogRect(dialog, &whole);
        EXPECT_EQ(client.right, whole.right);
        EXPECT_EQ(client.bottom, whole.bottom);
        PostMessageW(dialog, WM_COMMAND, 500, 0);
    });
}

TEST_F(QtDialogTest, StaticTextDrawnWiderThanItsDialogUnitsKeepsItsWholeText) {
    RunDialog(kAboutDialogId, [](HWND dialog) {
        QLabel* label = nullptr;
        for (QLabel* l : WidgetOf(dialog)->window()->findChildren<QLabel*>())
            if (l->text() == "Version 1.84c") label = l;
        ASSERT_NE(label, nullptr);
        EXPECT_GE(label->width(), label->sizeHint().width());
        EXPECT_LE(label->geometry().right(), label->parentWidget()->width());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
}

TEST_F(QtDialogTest, ScreenReadersNameEditBoxesByTheTextBeforeThem) {
    const std::pair<WORD, int> boxes[] = {{kSearchDialogId, kSearchTextId}, {kGoToDialogId, kGoToNumberId}};
    const char* names[] = {"Search", "Article number:"};
    for (int i = 0; i < 2; i++) {
        RunDialog(boxes[i].first, [&](HWND dialog) {
            QAccessibleInterface* edit = QAccessible::queryAccessibleInterface(WidgetOf(GetDlgItem(dialog, boxes[i].second)));
            ASSERT_TRUE(edit);
            EXPECT_EQ(edit->text(QAccessible::Name), names[i]);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
    }
}

TEST_F(QtDialogTest, ScreenReadersSeeTheReaderAsAFrameItsDialogsAsDialogsAndMessageBoxesAsAlerts) {
    static WNDCLASSW wc{0, DefWindowProcW, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, TEXT("RoleTestClass")};
    RegisterClassW(&wc);
    HWND owner = CreateWindowExW(0, TEXT("RoleTestClass"), TEXT("Alef - Velun"), WS_VISIBLE, 0, 0, 300, 300, nullptr,
                                 nullptr, nullptr, nullptr);
    auto roleAndName = [](QWidget* widget) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        return face ? std::pair{face->role(), face->text(QAccessible::Name)} : std::pair{QAccessible::NoRole, QString()};
    };
    EXPECT_EQ(roleAndName(WidgetOf(owner)), std::pair(QAccessible::Window, QString("Alef - Velun")));
    RunDialog(kGoToDialogId, [&](HWND dialog) {
        EXPECT_EQ(roleAndName(WidgetOf(dialog)), std::pair(QAccessible::Dialog, QString("Go To Article")));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }, owner);
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        EXPECT_EQ(roleAndName(box).first, QAccessible::AlertMessage);
        if (box) box->close();
    });
    MessageBoxW(owner, TEXT("Not Found!"), TEXT("Velun"), MB_OK);
    DestroyWindow(owner);
}

TEST_F(QtDialogTest, EditTakesNoMoreThanItsLimitAndSelectsAll) {
    RunDialog(kSearchDialogId, [](HWND dialog) {
        HWND edit = GetDlgItem(dialog, 1013);
        SendMessageW(edit, EM_LIMITTEXT, 33, 0);
        QLineEdit* line = Control<QLineEdit>(dialog, 1013);
        for (int i = 0; i < 40; i++) Press(line, Qt::Key_A, "a");
        WCHAR text[64];
        EXPECT_EQ(GetWindowTextW(edit, text, 64), 33);
        EXPECT_EQ(GetWindowTextW(edit, text, 5), 4);
        EXPECT_EQ(std::u16string(text), u"aaaa");
        SendMessageW(edit, EM_SETSEL, 0, -1);
        EXPECT_EQ(line->selectedText().size(), 33);
        EndDialog(dialog, 1);
    });
}

TEST_F(QtDialogTest, EnterIsOkAndEscapeIsCancelFromTheFocusedControl) {
    EXPECT_EQ(RunDialog(kSearchDialogId, [](HWND dialog) { Press(Control<QLineEdit>(dialog, 1013), Qt::Key_Return); }),
              IDOK);
    EXPECT_EQ(RunDialog(kSearchDialogId, [](HWND dialog) { Press(Control<QCheckBox>(dialog, 1014), Qt::Key_Escape); }),
              IDCANCEL);
}

TEST_F(QtDialogTest, CaptionOkButtonSendsOkAndClosingSendsCancel) {
    EXPECT_EQ(RunDialog(kIndexDialogId, [](HWND dialog) {
                  for (QPushButton* b : WidgetOf(dialog)->findChildren<QPushButton*>())
                      if (b->text() == "OK") b->click();
              }),
              IDOK);
    EXPECT_EQ(RunDialog(kIndexDialogId, [](HWND dialog) { WidgetOf(dialog)->close(); }), IDCANCEL);
}

TEST_F(QtDialogTest, CheckBoxesAndRadioButtons) {
    RunDialog(kFontDialogId, [](HWND dialog) {
        HWND r224 = GetDlgItem(dialog, 1004), r5d0 = GetDlgItem(dialog, 1005);
        SendMessageW(r224, BM_SETCHECK, BST_CHECKED, 0);
        EXPECT_EQ(SendMessageW(r224, BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessageW(r5d0, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        // A click checks the button and clears the rest of its group; the dialog hears of it.
        Control<QRadioButton>(dialog, 1005)->click();
        EXPECT_EQ(SendMessageW(r224, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_EQ(SendMessageW(r5d0, BM_GETCHECK, 0, 0), BST_CHECKED);
        Control<QRadioButton>(dialog, 1005)->click();
        EXPECT_EQ(SendMessageW(r5d0, BM_GETCHECK, 0, 0), BST_CHECKED);
        // Messages may clear a radio button outright.
        SendMessageW(r5d0, BM_SETCHECK, BST_UNCHECKED, 0);
        EXPECT_EQ(SendMessageW(r5d0, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_GE(gCommands.size(), 2u);
    EXPECT_EQ(gCommands[0], MAKEWPARAM(1005, BN_CLICKED));
}

TEST_F(QtDialogTest, SortedListBoxAndThePrefixRuleOfSelectString) {
    RunDialog(kFontDialogId, [](HWND dialog) {
        HWND faces = GetDlgItem(dialog, 1001);
        for (const WCHAR* face : {u"Times", u"arial", u"DejaVu Serif", u"Culmus", u"DejaVu Sans"})
            SendMessageW(faces, LB_ADDSTRING, 0, (LPARAM)face);
        WCHAR text[64];
        std::vector<std::u16string> order;
        for (int i = 0; i < SendMessageW(faces, LB_GETCOUNT, 0, 0); i++) {
            SendMessageW(faces, LB_GETTEXT, i, (LPARAM)text);
            order.push_back(text);
        }
        EXPECT_EQ(order, (std::vector<std::u16string>{u"arial", u"Culmus", u"DejaVu Sans", u"DejaVu Serif", u"Times"}));
        EXPECT_EQ(SendMessageW(faces, LB_GETCURSEL, 0, 0), LB_ERR);
        EXPECT_EQ(SendMessageW(faces, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)u"dejavu"), 2);
        EXPECT_EQ(SendMessageW(faces, LB_GETCURSEL, 0, 0), 2);
        EXPECT_EQ(SendMessageW(faces, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)u"Helvetica"), LB_ERR);
        EXPECT_EQ(SendMessageW(faces, LB_GETCURSEL, 0, 0), 2);
        EXPECT_EQ(SendMessageW(faces, LB_GETTEXT, 9, (LPARAM)text), LB_ERR);
        // The size list is not sorted; "1" selects the first entry that begins with it.
        HWND sizes = GetDlgItem(dialog, 1006);
        for (const WCHAR* size : {u"8", u"10", u"72", u"11"}) SendMessageW(sizes, LB_ADDSTRING, 0, (LPARAM)size);
        EXPECT_EQ(SendMessageW(sizes, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)u"1"), 1);
        EXPECT_EQ(SendMessageW(sizes, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)u"7"), 2);
        SendMessageW(sizes, LB_RESETCONTENT, 0, 0);
        EXPECT_EQ(SendMessageW(sizes, LB_GETCOUNT, 0, 0), 0);
        EXPECT_EQ(SendMessageW(sizes, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)u"1"), LB_ERR);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    // Selections made by messages do not notify.
    EXPECT_EQ(gCommands, (std::vector<WPARAM>{IDCANCEL}));
}

TEST_F(QtDialogTest, TheUsersListSelectionNotifies) {
    RunDialog(kFontDialogId, [](HWND dialog) {
        HWND faces = GetDlgItem(dialog, 1001);
        SendMessageW(faces, LB_ADDSTRING, 0, (LPARAM)u"A");
        SendMessageW(faces, LB_ADDSTRING, 0, (LPARAM)u"B");
        Control<QListWidget>(dialog, 1001)->setCurrentRow(1);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_EQ(gCommands.size(), 2u);
    EXPECT_EQ(gCommands[0], MAKEWPARAM(1001, LBN_SELCHANGE));
}

TEST_F(QtDialogTest, MultiLineEditKeepsTheTextItWasGiven) {
    RunDialog(kFontDialogId, [](HWND dialog) {
        SetDlgItemTextW(dialog, 1002, u"\u05EA\u05E9\u05D0");
        WCHAR text[8];
        EXPECT_EQ(GetDlgItemTextW(dialog, 1002, text, 8), 3u);
        EXPECT_EQ(std::u16string(text), u"\u05EA\u05E9\u05D0");
        EndDialog(dialog, 2);
    });
}

// The link button of the About box is drawn by the dialog, on the button.
HDC gDrawDC = nullptr;
UINT gDrawId = 0;
INT_PTR CALLBACK DrawingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        auto* item = (const DRAWITEMSTRUCT*)lParam;
        gDrawId = item->CtlID;
        gDrawDC = item->hDC;
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(item->hDC, &item->rcItem, red);
        DeleteObject(red);
        EXPECT_EQ(item->hwndItem, GetDlgItem(dialog, 1025));
        EXPECT_EQ(item->rcItem.right, WidgetOf(item->hwndItem)->width());
        // A click on the link, now that it has been drawn.
        PostMessageW(item->hwndItem, WM_LBUTTONUP, 0, 0);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        gCommands.push_back(wParam);
        if (LOWORD(wParam) == 1025) {
            Window* link = WindowOf(GetDlgItem(dialog, 1025));
            EXPECT_EQ(link->image.pixel(1, 1), qRgb(255, 0, 0));
            EndDialog(dialog, 1);
        }
        return TRUE;
    }
    return FALSE;
}

TEST_F(QtDialogTest, OwnerDrawnButtonIsDrawnByTheDialogAndClicks) {
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, Template(kAboutDialogId), nullptr, DrawingProc, 0), 1);
    EXPECT_EQ(gDrawId, 1025u);
    EXPECT_EQ(gCommands, (std::vector<WPARAM>{MAKEWPARAM(1025, BN_CLICKED)}));
}

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

TEST_F(QtDialogTest, DestroyingTheOwnerEndsTheDialogFirst) {
    static WNDCLASSW wc{0, PlainProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, TEXT("DialogOwner")};
    RegisterClassW(&wc);
    HWND owner = CreateWindowExW(0, TEXT("DialogOwner"), TEXT("Owner"), WS_VISIBLE, 0, 0, 240, 320, nullptr,
                                 nullptr, nullptr, nullptr);
    INT_PTR result = RunDialog(kIndexDialogId, [owner](HWND dialog) {
        EXPECT_EQ(GetParent(dialog), owner);
        PostMessageW(owner, WM_CLOSE, 0, 0);
    }, owner);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(gMessages.back(), (UINT)WM_DESTROY);
    EXPECT_FALSE(IsWindow(owner));
}

TEST_F(QtDialogTest, ShellDialogsCoverTheReadersWindow) {
    static WNDCLASSW wc{0, PlainProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, TEXT("ShellOwner")};
    RegisterClassW(&wc);
    HWND owner = CreateWindowExW(0, TEXT("ShellOwner"), TEXT("Owner"), WS_VISIBLE, 10, 20, 240, 320, nullptr,
                                 nullptr, nullptr, nullptr);
    RunDialog(kIndexDialogId, [owner](HWND dialog) {
        // One opened from a dialog of another size covers the reader's window too.
        ASSERT_NE(WidgetOf(dialog)->geometry(), WidgetOf(owner)->geometry());
        RunDialog(kFindAllDialogId, [owner](HWND list) {
            SHINITDLGINFO inner{SHIDIM_FLAGS, list, 30};
            SHInitDialog(&inner);
            EXPECT_EQ(WidgetOf(list)->geometry(), WidgetOf(owner)->geometry());
            EndDialog(list, 1);
        }, dialog);
        SHINITDLGINFO info{SHIDIM_FLAGS, dialog, 30};
        SHInitDialog(&info);
        EXPECT_EQ(WidgetOf(dialog)->geometry(), WidgetOf(owner)->geometry());
        EndDialog(dialog, 1);
    }, owner);
    DestroyWindow(owner);
}

TEST(DialogTemplateTest, ControlsAreAlignedAndCarryTheirImage) {
    std::vector<BYTE> t = BuildDialogTemplate({WS_POPUP, 0, 0, 0, 10, 10, u"A", 8, u"S",
                                               {{kStaticClassAtom, SS_BITMAP, 1, 2, 3, 4, -1, nullptr, 113}}});
    // header 18, menu 2, class 2, "A" 4, size 2, "S" 4 = 32: the item starts aligned at 32.
    ASSERT_EQ(t.size(), 32u + 18 + 4 + 4 + 2);
    EXPECT_EQ(t[32 + 8], 1);  // x
    EXPECT_EQ(t[32 + 16], 0xFF);
    EXPECT_EQ(t[32 + 17], 0xFF);  // id -1
    EXPECT_EQ(t[32 + 22] | t[32 + 23] << 8, 0xFFFF);
    EXPECT_EQ(t[32 + 24], 113);
}

}  // namespace
