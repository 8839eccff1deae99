// Windows and classes on Qt: each HWND is a record with a Qt widget; program
// windows paint into a client image that GetDC and BeginPaint hand out, and Qt
// shows that image. The queue is in QtMessageQueue.cpp, the widgets in
// QtWindowWidgets.cpp and the scroll bar in QtScrollBar.cpp.
#include "QtWindow.h"

#include <malloc.h>

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <cstring>
#include <map>

#include "../Desktop.h"
#include "../NoThrow.h"
#include "QtApp.h"
#include "QtGdi.h"

namespace {

struct WindowClass {
    std::u16string name;
    WNDPROC proc = nullptr;
    HICON icon = nullptr;
    HBRUSH background = nullptr;
    WidgetFactory factory = nullptr;
    UINT style = 0;
};

std::vector<WindowClass> gClasses;
// Handles are sequence numbers, so a stale handle never reaches a newer window.
std::map<uintptr_t, std::unique_ptr<Window>> gWindows;
uintptr_t gNextHandle = 0x10010;

bool SameName(const std::u16string& a, LPCWSTR b) { return b && _wcsicmp(a.c_str(), b) == 0; }

WindowClass* FindClass(LPCWSTR name) {
    for (WindowClass& c : gClasses)
        if (SameName(c.name, name)) return &c;
    return nullptr;
}

// ---- Client image and painting ----

// A client image is megabytes, made again at each resize; once the first is freed,
// malloc puts the next ones on its heap and keeps their pages when they are freed
// in turn (about 8 MB held after a few resizes at 1920x1080). They are given back
// once the resizing has stopped for a moment, so a drag keeps reusing them.
void GiveBackFreedImagesSoon() {
    static QTimer* timer = nullptr;
    if (!timer) {
        timer = new QTimer(QCoreApplication::instance());
        timer->setSingleShot(true);
        timer->setInterval(250);
        QObject::connect(timer, &QTimer::timeout, [] { malloc_trim(0); });
    }
    timer->start();
}

// The old image's pixels where they still fall, white elsewhere: one pass over the
// new image, which at 1920x1080 is a good part of a resize step.
void ResizeImage(Window* w, int width, int height) {
    QImage next(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    if (next.isNull()) return;  // out of memory: the old image stays
    const QImage& old = w->image;
    int keptRows = std::min(old.height(), next.height()), keptBytes = 4 * std::min(old.width(), next.width());
    for (int y = 0; y < next.height(); y++) {
        uchar* row = next.scanLine(y);
        int kept = y < keptRows ? keptBytes : 0;
        if (kept) std::memcpy(row, old.constScanLine(y), (size_t)kept);
        std::memset(row + kept, 0xFF, (size_t)(next.bytesPerLine() - kept));  // white in RGB32
    }
    bool replaced = !old.isNull();
    w->image = next;  // the same object: DCs on it stay valid
    if (replaced) GiveBackFreedImagesSoon();
}

}  // namespace

// Made when first drawn into, at the client's size then: a window sized again
// before its first paint (the placement kept from the last run) makes it once.
QImage& ClientImage(Window* w) {
    if (w->image.isNull()) ResizeImage(w, w->clientWidth, w->clientHeight);
    return w->image;
}

namespace {

void Invalidate(Window* w, bool erase) {
    w->updateRect = {0, 0, std::max(w->clientWidth, 0), std::max(w->clientHeight, 0)};
    w->invalid = true;
    w->eraseNeeded = w->eraseNeeded || erase;
    WakeUp();
}

void LayoutDockedBars(Window* parent) {
    for (auto& [id, child] : gWindows) {
        if (child->parent != parent || child->dock == Dock::None || !child->frame) continue;
        int width = std::max(parent->clientWidth - child->dockShrink, 0);
        int y = child->dock == Dock::Top ? 0 : parent->clientHeight - child->dockHeight;
        child->frame->setGeometry(0, y, width, child->dockHeight);
        child->frame->raise();
    }
}

void ClientResized(Window* w, int width, int height) {
    if (width == w->clientWidth && height == w->clientHeight) return;
    w->clientWidth = width;
    w->clientHeight = height;
    if (w->hasImage && !w->image.isNull()) ResizeImage(w, width, height);
    LayoutDockedBars(w);
    Invalidate(w, true);
    if (!w->creating) SendMessageW(w->handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
}

// ---- Creation and destruction ----

QSize DefaultTopLevelSize() {
    // A portrait page like the handheld's; small screens are filled.
    QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    if (screen.width() <= 640 || screen.height() <= 480) return screen.size();
    return {std::min(480, screen.width()), std::min(640, screen.height())};
}

void MakeTopLevelWidgets(Window* w, HWND owner, const WindowClass& cls) {
    Window* ownerWindow = WindowOf(owner);
    while (ownerWindow && ownerWindow->parent) ownerWindow = ownerWindow->parent;
    w->owner = ownerWindow;
    w->frame = MakeFrameWidget(w->handle, ownerWindow ? ownerWindow->frame.data() : nullptr);
    w->frame->setWindowTitle(QString::fromUtf16(w->title.c_str()));
    // Handed to the window system once the event loop runs, after the first paint:
    // its images are made then.
    if (cls.icon) {
        QPointer<QWidget> frame = w->frame;
        QTimer::singleShot(0, frame, [frame, icon = (QIcon*)cls.icon] {
            if (frame) frame->setWindowIcon(*icon);
        });
    }
    w->client = MakeClientWidget(w->handle, w->frame);
    w->frame->setFocusProxy(w->client);
    w->hasImage = true;
    if (w->exStyle & WS_EX_CAPTIONOKBTN) w->okStrip = MakeOkStrip(w);
    if (w->style & WS_VSCROLL) w->scrollBar = MakeScrollBar(w);
}

void MakeChildWidget(Window* w, Window* parent, const WindowClass& cls) {
    w->parent = parent;
    QWidget* widget = cls.factory ? cls.factory(w, parent->client) : nullptr;
    if (!widget) {
        widget = MakeClientWidget(w->handle, parent->client);
        w->hasImage = true;
    }
    widget->setProperty("hwnd", (qulonglong)(uintptr_t)w->handle);
    w->frame = widget;
    w->client = widget;
}

// Dialog units were made for the platform's system font: a left-aligned line of
// static text that our font draws wider keeps its whole text where the parent has room.
int StaticTextWidth(const Window* w, int x, int width) {
    auto* label = qobject_cast<QLabel*>(w->frame.data());
    if (!label || !(label->alignment() & Qt::AlignLeft) || !w->frame->parentWidget()) return width;
    return std::max(width, std::min(label->sizeHint().width(), w->frame->parentWidget()->width() - x));
}

void PlaceNewWindow(Window* w, int x, int y, int width, int height) {
    if (w->parent) {
        width = StaticTextWidth(w, x, width);
        w->frame->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
    } else {
        QSize size = DefaultTopLevelSize();
        if (width != CW_USEDEFAULT) size = QSize(std::max(width, 1), std::max(height, 1));
        w->frame->resize(size);
        if (x != CW_USEDEFAULT && !DesktopPlacesWindows()) w->frame->move(x, y);
    }
    LayoutFrame(w);
}

void DeleteWindowRecord(Window* w) {
    for (HDC dc : w->dcs) DestroyImageDC(dc);
    w->dcs.clear();
    if (w->frame) {
        w->frame->hide();
        w->frame->deleteLater();
    }
    gWindows.erase((uintptr_t)w->handle);
}

void DestroyTree(Window* w) {
    w->destroying = true;
    // Handles, not records: WM_DESTROY may destroy some of these windows itself.
    std::vector<HWND> owned, children;
    for (auto& [id, other] : gWindows) {
        if (other->owner == w && !other->destroying) owned.push_back(other->handle);
        if (other->parent == w && !other->destroying) children.push_back(other->handle);
    }
    // Owned windows go first, then the window itself, then its children.
    for (HWND o : owned)
        if (WindowOf(o)) DestroyWindow(o);
    if (w->frame && !w->parent) w->frame->hide();
    if (w->proc) CallProgram<LRESULT>(0, [&] { return w->proc(w->handle, WM_DESTROY, 0, 0); });
    for (HWND c : children)
        if (Window* child = WindowOf(c)) DestroyTree(child);
    if (IsInstanceWindow(w)) WithdrawWindow(w);
    DeleteWindowRecord(w);
}

// A window whose procedure never saw WM_CREATE is not told of its end either.
void DiscardHalfMadeWindow(HWND handle, bool createSent) {
    Window* w = WindowOf(handle);
    if (!w || w->destroying) return;
    if (!createSent) w->proc = nullptr;
    CallOrFail(false, [&] {
        DestroyTree(w);
        return true;
    });
}

QImage& ScreenImage() {
    static QImage sImage(1, 1, QImage::Format_RGB32);
    return sImage;
}

}  // namespace

// ---- Internal interface ----

Window* WindowNeedingPaint() {
    for (auto& [id, w] : gWindows)
        if (w->invalid && w->hasImage && w->frame && w->frame->isVisible()) return w.get();
    return nullptr;
}

Window* WindowOf(HWND window) {
    auto it = gWindows.find((uintptr_t)window);
    return it == gWindows.end() ? nullptr : it->second.get();
}

Window* WindowOfWidget(QWidget* widget) {
    for (; widget; widget = widget->parentWidget()) {
        QVariant v = widget->property("hwnd");
        if (v.isValid()) return WindowOf((HWND)(uintptr_t)v.toULongLong());
    }
    return nullptr;
}

QWidget* WidgetOf(HWND window) {
    Window* w = WindowOf(window);
    return w ? w->frame.data() : nullptr;
}

QScrollBar* ScrollBarOf(HWND window) {
    Window* w = WindowOf(window);
    return w ? w->scrollBar.data() : nullptr;
}

void RegisterBuiltinClass(const WCHAR* name, WNDPROC proc, WidgetFactory factory, HBRUSH background) {
    if (FindClass(name)) return;
    WindowClass c;
    c.name = name;
    c.proc = proc;
    c.factory = factory;
    c.background = background;
    gClasses.push_back(c);
}

void LayoutFrame(Window* w) {
    if (!w->frame) return;
    if (w->parent) {
        ClientResized(w, w->frame->width(), w->frame->height());
        return;
    }
    int width = w->frame->width(), height = w->frame->height();
    int stripHeight = w->okStrip ? w->okStrip->sizeHint().height() : 0;
    int barWidth = w->scrollBar && !w->scrollBar->isHidden() ? ScrollBarWidth() : 0;
    if (w->okStrip) w->okStrip->setGeometry(0, 0, width, stripHeight);
    if (barWidth) w->scrollBar->setGeometry(width - barWidth, stripHeight, barWidth, height - stripHeight);
    w->client->setGeometry(0, stripHeight, std::max(width - barWidth, 0), std::max(height - stripHeight, 0));
    ClientResized(w, std::max(width - barWidth, 0), std::max(height - stripHeight, 0));
}


void NotifyParent(Window* control, WORD code) {
    if (control->parent)
        PostMessageW(control->parent->handle, WM_COMMAND, MAKEWPARAM(control->id, code), (LPARAM)control->handle);
}

HWND ProxyWindow(int remoteId, HWND parent) {
    for (auto& [id, w] : gWindows)
        if (w->remote && w->remoteId == remoteId) return w->handle;
    auto w = std::make_unique<Window>();
    w->handle = (HWND)gNextHandle++;
    w->remote = true;
    w->remoteId = remoteId;
    w->owner = WindowOf(parent);
    HWND handle = w->handle;
    gWindows[(uintptr_t)handle] = std::move(w);
    return handle;
}

void EnsureWindowLayer() {
    static bool sReady = false;
    if (sReady) return;
    sReady = true;
    EnsureQtApplication();
    InstallQtMessageBox();
    InstallQtFileDialogs();
}

// ---- Classes and windows ----

WORD RegisterClassW(const WNDCLASSW* wc) {
    return CallOrFail<WORD>(0, [&]() -> WORD {
        if (!wc || !wc->lpszClassName || FindClass(wc->lpszClassName)) return 0;
        EnsureWindowLayer();
        WindowClass c;
        c.name = wc->lpszClassName;
        c.proc = wc->lpfnWndProc;
        c.icon = wc->hIcon;
        c.background = wc->hbrBackground;
        c.style = wc->style;
        gClasses.push_back(c);
        return (WORD)(0xC000 + gClasses.size());
    });
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    HWND registered = nullptr;
    bool createSent = false;
    HWND made = CallOrFail<HWND>(nullptr, [&]() -> HWND {
        EnsureWindowLayer();
        WindowClass* cls = FindClass(className);
        Window* parentWindow = WindowOf(parent);
        if (!cls || ((style & WS_CHILD) && (!parentWindow || parentWindow->remote))) return nullptr;
        auto owned = std::make_unique<Window>();
        Window* w = owned.get();
        w->handle = (HWND)gNextHandle++;
        gWindows[(uintptr_t)w->handle] = std::move(owned);
        registered = w->handle;
        w->className = cls->name;
        w->title = windowName ? windowName : u"";
        w->createdTitle = w->title;
        w->style = style;
        w->exStyle = exStyle;
        w->classStyle = cls->style;
        w->proc = cls->proc;
        w->background = cls->background;
        w->instance = instance;
        if (style & WS_CHILD) {
            w->id = (int)(uintptr_t)menu;
            MakeChildWidget(w, parentWindow, *cls);
        } else {
            MakeTopLevelWidgets(w, parent, *cls);
        }
        PlaceNewWindow(w, x, y, width, height);
        HWND handle = w->handle;
        if (IsInstanceWindow(w)) DeliverEndRequestsTo(handle);
        CREATESTRUCTW cs{param, instance, menu, parent, height, width, y, x, (LONG)style, windowName, className, exStyle};
        createSent = true;
        if (w->proc && CallProgram<LRESULT>(-1, [&] { return w->proc(handle, WM_CREATE, 0, (LPARAM)&cs); }) == -1) {
            DestroyWindow(handle);
            return nullptr;
        }
        if (!(w = WindowOf(handle))) return nullptr;
        w->creating = false;
        SendMessageW(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->clientWidth, w->clientHeight));
        if (!(w = WindowOf(handle))) return nullptr;
        if (IsInstanceWindow(w)) PublishWindow(w);
        if (style & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
        return handle;
    });
    // Memory ran out part way: the caller gets no handle, so what was made goes here.
    if (!made) DiscardHalfMadeWindow(registered, createSent);
    return made;
}

BOOL DestroyWindow(HWND window) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        Window* w = WindowOf(window);
        if (!w || w->destroying) return FALSE;
        if (w->remote) {
            gWindows.erase((uintptr_t)window);
            return TRUE;
        }
        DestroyTree(w);
        return TRUE;
    });
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallOrFail<LRESULT>(0, [&]() -> LRESULT {
        Window* w = WindowOf(window);
        if (!w) return 0;
        switch (message) {
            case WM_CLOSE: DestroyWindow(window); return 0;
            case WM_PAINT: {
                PAINTSTRUCT ps;
                BeginPaint(window, &ps);
                EndPaint(window, &ps);
                return 0;
            }
            case WM_ERASEBKGND: {
                if (!w->background) return 0;
                RECT r{0, 0, w->clientWidth, w->clientHeight};
                FillRect((HDC)wParam, &r, w->background);
                return 1;
            }
            case WM_SETTEXT:
                w->title = lParam ? (LPCWSTR)lParam : u"";
                if (w->frame && !w->parent) w->frame->setWindowTitle(QString::fromUtf16(w->title.c_str()));
                return TRUE;
            case WM_GETTEXT: {
                int max = (int)wParam;
                if (max <= 0 || !lParam) return 0;
                int n = std::min((int)w->title.size(), max - 1);
                std::copy(w->title.begin(), w->title.begin() + n, (WCHAR*)lParam);
                ((WCHAR*)lParam)[n] = 0;
                return n;
            }
            case WM_GETTEXTLENGTH: return (LRESULT)w->title.size();
            case WM_SETFONT: w->font = (HFONT)wParam; return 0;
            case WM_GETFONT: return (LRESULT)w->font;
            default: return 0;
        }
    });
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallOrFail<LRESULT>(0, [&]() -> LRESULT {
        Window* w = WindowOf(window);
        if (!w) return 0;
        if (w->remote) return SendRemoteMessage(w, message, wParam, lParam);
        if (!w->proc) return DefWindowProcW(window, message, wParam, lParam);
        return CallProgram<LRESULT>(0, [&] { return w->proc(window, message, wParam, lParam); });
    });
}








// ---- Showing, placing and painting ----

BOOL ShowWindow(HWND window, int command) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        Window* w = WindowOf(window);
        if (!w || w->remote || !w->frame) return FALSE;
        BOOL wasVisible = w->frame->isVisible();
        if (command == SW_HIDE) {
            w->frame->hide();
            return wasVisible;
        }
        if (w->parent) {
            w->frame->show();
        } else {
            if (w->fullScreen)
                w->frame->showFullScreen();
            else
                w->frame->show();
            w->frame->raise();
            w->frame->activateWindow();
        }
        if (!wasVisible) Invalidate(w, true);
        return wasVisible;
    });
}

BOOL UpdateWindow(HWND window) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        Window* w = WindowOf(window);
        if (!w || w->remote) return FALSE;
        if (w->invalid && w->frame && w->frame->isVisible()) SendMessageW(window, WM_PAINT, 0, 0);
        return TRUE;
    });
}

BOOL IsWindowVisible(HWND window) {
    Window* w = WindowOf(window);
    if (!w) return FALSE;
    if (w->remote) return TRUE;
    return w->frame && w->frame->isVisible();
}

BOOL IsWindow(HWND window) { return WindowOf(window) != nullptr; }

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | (repaint ? 0 : SWP_NOREDRAW));
    });
}

// Top-level windows take the outer size (with the window manager's frame) and,
// where the program places windows, the place; a full-screen window keeps the
// screen. Docked bars keep their edge and take the size only.
BOOL SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, UINT flags) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        Window* w = WindowOf(window);
        if (!w || w->remote || !w->frame) return FALSE;
        QWidget* f = w->frame;
        if (w->dock != Dock::None) {
            if (!(flags & SWP_NOSIZE)) {
                w->dockShrink = w->parent->clientWidth - cx;
                w->dockHeight = std::max(cy, 0);
                LayoutDockedBars(w->parent);
            }
        } else if (w->parent) {
            if (!(flags & SWP_NOMOVE)) f->move(x, y);
            if (!(flags & SWP_NOSIZE)) f->resize(std::max(cx, 0), std::max(cy, 0));
        } else if (!w->fullScreen) {
            QSize decoration = f->frameGeometry().size() - f->size();
            if (!(flags & SWP_NOMOVE) && !DesktopPlacesWindows()) f->move(x, y);
            if (!(flags & SWP_NOSIZE))
                f->resize(std::max(cx - decoration.width(), 1), std::max(cy - decoration.height(), 1));
        }
        LayoutFrame(w);
        if (flags & SWP_SHOWWINDOW) ShowWindow(window, SW_SHOW);
        if (flags & SWP_HIDEWINDOW) ShowWindow(window, SW_HIDE);
        return TRUE;
    });
}


BOOL GetClientRect(HWND window, LPRECT rect) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        Window* w = WindowOf(window);
        if (!w || w->remote || !rect) return FALSE;
        *rect = {0, 0, std::max(w->clientWidth, 0), std::max(w->clientHeight, 0)};
        return TRUE;
    });
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        Window* w = WindowOf(window);
        if (!w || w->remote || !w->frame || !rect) return FALSE;
        QRect r = w->parent ? QRect(w->frame->mapToGlobal(QPoint(0, 0)), w->frame->size()) : w->frame->frameGeometry();
        *rect = {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
        return TRUE;
    });
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL erase) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        if (!window) {
            for (auto& [id, w] : gWindows)
                if (w->hasImage) Invalidate(w.get(), erase);
            return TRUE;
        }
        Window* w = WindowOf(window);
        if (!w || !w->hasImage) return FALSE;
        Invalidate(w, erase);
        return TRUE;
    });
}

HDC GetDC(HWND window) {
    return CallOrFail<HDC>(nullptr, [&]() -> HDC {
        EnsureWindowLayer();
        if (!window) return CreateImageDC(&ScreenImage());
        Window* w = WindowOf(window);
        if (!w || !w->hasImage) return nullptr;
        QPointer<QWidget> client = w->client;
        w->dcs.reserve(w->dcs.size() + 1);  // so that the DC, once made, is kept
        HWND handle = w->handle;
        auto makeImage = [handle] {
            if (Window* target = WindowOf(handle)) ClientImage(target);
        };
        HDC dc = CreateImageDC(
            &w->image,
            [client] {
                if (client) client->update();
            },
            makeImage);
        if (dc) w->dcs.push_back(dc);
        return dc;
    });
}

int ReleaseDC(HWND window, HDC dc) {
    return CallOrFail<int>(0, [&]() -> int {
        Window* w = WindowOf(window);
        if (!window) {
            DestroyImageDC(dc);
            return 1;
        }
        if (!w) return 0;
        auto it = std::find(w->dcs.begin(), w->dcs.end(), dc);
        if (it == w->dcs.end()) return 0;
        w->dcs.erase(it);
        DestroyImageDC(dc);
        return 1;
    });
}

// Validates first, so that an erase handler may invalidate again for a later paint.
HDC BeginPaint(HWND window, PAINTSTRUCT* ps) {
    return CallOrFail<HDC>(nullptr, [&]() -> HDC {
        Window* w = WindowOf(window);
        if (!w || !ps) return nullptr;
        *ps = PAINTSTRUCT{};
        ps->rcPaint = w->updateRect;
        bool erase = w->eraseNeeded;
        w->invalid = false;
        w->eraseNeeded = false;
        ps->hdc = GetDC(window);
        if (erase && ps->hdc) ps->fErase = !SendMessageW(window, WM_ERASEBKGND, (WPARAM)ps->hdc, 0);
        return ps->hdc;
    });
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* ps) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        if (!ps || !ps->hdc) return FALSE;
        ReleaseDC(window, ps->hdc);
        return TRUE;
    });
}

// ---- Finding ----

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    return CallOrFail<HWND>(nullptr, [&]() -> HWND {
        for (auto& [id, w] : gWindows) {
            if (w->remote || w->parent || w->destroying) continue;
            if (className && !SameName(w->className, className)) continue;
            if (windowName && w->title != windowName &&
                !(IsInstanceWindow(w.get()) && w->createdTitle == windowName))
                continue;
            return w->handle;
        }
        if (!className || !windowName) return nullptr;
        EnsureWindowLayer();
        return FindRemoteWindow(className, windowName);
    });
}
