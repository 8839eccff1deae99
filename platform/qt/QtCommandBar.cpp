// The command bar (top of the client area: menu, tool buttons, help and close
// adornments) and the Pocket PC menu bar (bottom: menu buttons, tool buttons),
// both child windows docked inside the parent's client area. The input-panel
// calls have nothing to do on the desktop.
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>

#include "../LittleEndian.h"
#include "../NoThrow.h"
#include "QtGdi.h"
#include "QtMenu.h"
#include "QtWindow.h"

namespace {

const WCHAR* const kBarClass = TEXT("CommandBar");

struct MenuButton {
    UINT command;
    HMENU popup;
};

struct Bar : WindowExtra {
    HMENU menu = nullptr;
    std::vector<MenuButton> menuButtons;  // the menu bar's buttons, by command
    std::vector<QImage> images;
    std::vector<std::u16string> tooltips;
    int toolButtons = 0;
    QHBoxLayout* layout = nullptr;
    int adornments = 0;  // buttons after the stretch, at the right end
    ~Bar() override {
        if (menu) DestroyMenu(menu);
    }
};

Bar* BarOf(HWND bar) {
    Window* w = WindowOf(bar);
    return w ? dynamic_cast<Bar*>(w->extra.get()) : nullptr;
}

QWidget* MakeBarWidget(Window* w, QWidget* parent) {
    auto* widget = new QWidget(parent);
    widget->setAutoFillBackground(true);
    auto bar = std::make_unique<Bar>();
    bar->layout = new QHBoxLayout(widget);
    bar->layout->setContentsMargins(1, 1, 1, 1);
    bar->layout->setSpacing(1);
    bar->layout->addStretch();
    w->extra = std::move(bar);
    return widget;
}

QToolButton* NewButton(Window* w) {
    auto* button = new QToolButton(w->frame);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void InsertBeforeStretch(Window* w, QWidget* button) {
    Bar* bar = static_cast<Bar*>(w->extra.get());
    bar->layout->insertWidget(bar->layout->count() - 1 - bar->adornments, button);
}

// A drop-down button showing a pop-up of the menu; the menu is rebuilt as it
// opens, so it shows the present check marks.
void AddMenuButton(Window* w, const QString& text, HMENU popup) {
    QToolButton* button = NewButton(w);
    button->setText(text);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    auto* qmenu = new QMenu(button);
    HWND target = w->parent->handle;
    QObject::connect(qmenu, &QMenu::aboutToShow, [qmenu, popup, target] { FillQMenu(qmenu, popup, target); });
    button->setMenu(qmenu);
    InsertBeforeStretch(w, button);
}

// The sign on the button, and the word a screen reader says for it.
void AddAdornment(Window* w, const QString& text, const QString& name, UINT message) {
    QToolButton* button = NewButton(w);
    button->setText(text);
    button->setAccessibleName(name);
    HWND target = w->parent->handle;
    QObject::connect(button, &QToolButton::clicked, [target, message] { PostMessageW(target, message, 0, 0); });
    Bar* bar = static_cast<Bar*>(w->extra.get());
    bar->layout->addWidget(button);
    bar->adornments++;
}

// Tool buttons take the tooltip of their place on the bar; place 0 belongs to the menu.
void AddToolButtons(Window* w, int count, const TBBUTTON* buttons) {
    Bar* bar = static_cast<Bar*>(w->extra.get());
    HWND target = w->parent->handle, handle = w->handle;
    for (int i = 0; i < count; i++) {
        const TBBUTTON& b = buttons[i];
        QToolButton* button = NewButton(w);
        if (b.iBitmap >= 0 && b.iBitmap < (int)bar->images.size() && !bar->images[b.iBitmap].isNull())
            button->setIcon(QIcon(QPixmap::fromImage(bar->images[b.iBitmap])));
        size_t tip = (size_t)bar->toolButtons + 1;
        if (tip < bar->tooltips.size()) {
            // A screen reader names the picture-only button by what its tooltip says.
            button->setToolTip(QString::fromUtf16(bar->tooltips[tip].c_str()));
            button->setAccessibleName(button->toolTip());
        }
        button->setEnabled(b.fsState & TBSTATE_ENABLED);
        int command = b.idCommand;
        QObject::connect(button, &QToolButton::clicked, [target, handle, command] {
            PostMessageW(target, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), (LPARAM)handle);
        });
        InsertBeforeStretch(w, button);
        bar->toolButtons++;
    }
}

// Memory running out part way leaves the bar with what it had made, as a failed
// message does.
LRESULT CALLBACK BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallOrFail<LRESULT>(0, [&]() -> LRESULT {
        Window* w = WindowOf(window);
        Bar* bar = BarOf(window);
        if (!w || !bar) return DefWindowProcW(window, message, wParam, lParam);
        switch (message) {
            case TB_SETTOOLTIPS: {
                const LPCWSTR* table = (const LPCWSTR*)lParam;
                bar->tooltips.clear();
                for (WPARAM i = 0; table && i < wParam; i++) bar->tooltips.push_back(table[i] ? table[i] : u"");
                return 0;
            }
            case TB_ADDBUTTONSW:
                if (lParam) AddToolButtons(w, (int)wParam, (const TBBUTTON*)lParam);
                return TRUE;
            case SHCMBM_GETSUBMENU:
                for (const MenuButton& b : bar->menuButtons)
                    if (b.command == (UINT)lParam) return (LRESULT)b.popup;
                return 0;
            default: return DefWindowProcW(window, message, wParam, lParam);
        }
    });
}

int BarHeight() {
    QToolButton probe;
    probe.setAutoRaise(true);
    probe.setIconSize(QSize(16, 16));
    probe.setIcon(QIcon(QPixmap(16, 16)));
    probe.setText(QStringLiteral("File"));
    return std::max(26, probe.sizeHint().height() + 2);
}

HWND CreateBar(HWND parent, Dock dock) {
    EnsureWindowLayer();
    RegisterBuiltinClass(kBarClass, BarProc, MakeBarWidget);
    HWND handle = CreateWindowExW(0, kBarClass, TEXT(""), WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, nullptr,
                                  nullptr, nullptr);
    Window* w = WindowOf(handle);
    if (!w) return nullptr;
    w->dock = dock;
    w->dockHeight = BarHeight();
    SetWindowPos(handle, nullptr, 0, 0, w->parent->clientWidth, w->dockHeight, SWP_NOMOVE | SWP_NOZORDER);
    return handle;
}

}  // namespace

void InitCommonControls() { EnsureWindowLayer(); }

HWND CommandBar_Create(HINSTANCE, HWND parent, int) { return CreateBar(parent, Dock::Top); }

int CommandBar_Height(HWND bar) {
    Window* w = WindowOf(bar);
    return w ? w->dockHeight : 0;
}

BOOL CommandBar_InsertMenubar(HWND bar, HINSTANCE instance, WORD menuId, WORD) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        Window* w = WindowOf(bar);
        Bar* b = BarOf(bar);
        if (!b || b->menu) return FALSE;
        b->menu = LoadMenuW(instance, MAKEINTRESOURCEW(menuId));
        Menu* menu = MenuOf(b->menu);
        if (!menu) return FALSE;
        for (const MenuItem& item : menu->items)
            if (item.popup) AddMenuButton(w, QString::fromUtf16(item.text.c_str()), item.popup);
        return TRUE;
    });
}

HMENU CommandBar_GetMenu(HWND bar, WORD) {
    Bar* b = BarOf(bar);
    return b ? b->menu : nullptr;
}

// The system's standard images (HINST_COMMCTRL) are not on the desktop; they
// keep their places in the image list so later indices stay right.
int CommandBar_AddBitmap(HWND bar, HINSTANCE instance, int bitmapId, int imageCount, int imageWidth,
                         int imageHeight) {
    return CallOrFail(-1, [&] {
        Bar* b = BarOf(bar);
        if (!b) return -1;
        int first = (int)b->images.size();
        int count = std::abs(imageCount);
        QImage strip;
        if (instance != HINST_COMMCTRL) {
            HBITMAP bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(bitmapId));
            strip = ImageOfBitmap(bitmap);
            if (bitmap) DeleteObject(bitmap);
        }
        for (int i = 0; i < count; i++)
            b->images.push_back(strip.isNull() ? QImage() : strip.copy(i * imageWidth, 0, imageWidth, imageHeight));
        return first;
    });
}

BOOL CommandBar_Show(HWND bar, BOOL show) { return ShowWindow(bar, show ? SW_SHOW : SW_HIDE), TRUE; }

// The help button sends WM_HELP and the close button WM_CLOSE to the bar's window.
BOOL CommandBar_AddAdornments(HWND bar, DWORD flags, DWORD) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        Window* w = WindowOf(bar);
        if (!w || !BarOf(bar)) return FALSE;
        if (flags & CMDBAR_HELP) AddAdornment(w, QStringLiteral("?"), QStringLiteral("About"), WM_HELP);
        AddAdornment(w, QString::fromUtf16(u"\u00D7"), QStringLiteral("Close"), WM_CLOSE);
        return TRUE;
    });
}

// The description: menu number, button count, then seven words a button (image,
// command, state, style, string number, reserved, pop-up index in the menu).
BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        if (!info || !WindowOf(info->hwndParent)) return FALSE;
        HRSRC resource = FindResourceW(info->hInstRes, MAKEINTRESOURCEW(info->nToolBarId), RT_RCDATA);
        const BYTE* data = (const BYTE*)LoadResource(info->hInstRes, resource);
        DWORD size = SizeofResource(info->hInstRes, resource);
        if (!data || size < 4) return FALSE;
        WORD count = ReadWord(data + 2);
        if (size < 4 + count * 14u) return FALSE;
        HWND handle = CreateBar(info->hwndParent, Dock::Bottom);
        Bar* bar = BarOf(handle);
        if (!bar) return FALSE;
        bar->menu = LoadMenuW(info->hInstRes, MAKEINTRESOURCEW(ReadWord(data)));
        for (WORD i = 0; i < count; i++) {
            const BYTE* b = data + 4 + i * 14;
            WCHAR text[64];
            LoadStringW(info->hInstRes, ReadWord(b + 8), text, 64);
            HMENU popup = GetSubMenu(bar->menu, ReadWord(b + 12));
            bar->menuButtons.push_back({ReadWord(b + 2), popup});
            AddMenuButton(WindowOf(handle), QString::fromUtf16(text), popup);
        }
        info->hwndMB = handle;
        return TRUE;
    });
}

// Full screen: SHFS_HIDETASKBAR shows the window over the whole screen,
// SHFS_SHOWTASKBAR brings it back; the input-panel and start-icon flags have no
// desktop counterpart.
BOOL SHFullScreen(HWND window, DWORD state) {
    Window* w = WindowOf(window);
    if (!w || w->remote || w->parent || !w->frame) return FALSE;
    if (state & SHFS_HIDETASKBAR) {
        w->fullScreen = true;
        if (w->frame->isVisible() && !w->frame->isFullScreen()) w->frame->showFullScreen();
    } else if (state & SHFS_SHOWTASKBAR) {
        w->fullScreen = false;
        if (w->frame->isFullScreen()) w->frame->showNormal();
    }
    return TRUE;
}

// The shell's full-screen dialogs cover the reader's window here (the owner at the
// root of the chain, so that a list opened from a dialog covers it too): the same
// place and size, or the whole screen when that window is full screen.
BOOL SHInitDialog(SHINITDLGINFO* info) {
    Window* w = info ? WindowOf(info->hDlg) : nullptr;
    if (!w || !w->frame || !(info->dwMask & SHIDIM_FLAGS)) return FALSE;
    if (!(info->dwFlags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN)) || !w->owner || !w->owner->frame) return TRUE;
    Window* reader = w->owner;
    while (reader->owner && reader->owner->frame) reader = reader->owner;
    if (reader->fullScreen) {
        w->fullScreen = true;
        if (w->frame->isVisible()) w->frame->showFullScreen();
        return TRUE;
    }
    CoverWindow(w, reader);
    return TRUE;
}

BOOL SHHandleWMSettingChange(HWND, WPARAM, LPARAM, SHACTIVATEINFO*) { return TRUE; }
BOOL SHSipPreference(HWND, int) { return TRUE; }
BOOL SipShowIM(DWORD) { return TRUE; }
