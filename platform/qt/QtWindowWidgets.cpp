// The widgets behind a window: the client area that shows the window's image and
// turns mouse and keys into messages, the top-level frame, and the caption OK strip.
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMoveEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWheelEvent>

#include "QtWindow.h"

namespace {

// ---- Keys ----

// The number pad's keys have keys of their own, as on the platform.
int KeypadKeyOf(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return VK_NUMPAD0 + (key - Qt::Key_0);
    if (key == Qt::Key_Plus) return VK_ADD;
    if (key == Qt::Key_Minus) return VK_SUBTRACT;
    return 0;
}

int VirtualKeyOf(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::KeypadModifier)
        if (int vk = KeypadKeyOf(key)) return vk;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return VK_RETURN;
        case Qt::Key_Escape: return VK_ESCAPE;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return VK_TAB;  // Shift+Tab arrives as Backtab, with Shift held
        case Qt::Key_Backspace: return VK_BACK;
        case Qt::Key_Space: return VK_SPACE;
        case Qt::Key_PageUp: return VK_PRIOR;
        case Qt::Key_PageDown: return VK_NEXT;
        case Qt::Key_End: return VK_END;
        case Qt::Key_Home: return VK_HOME;
        case Qt::Key_Left: return VK_LEFT;
        case Qt::Key_Up: return VK_UP;
        case Qt::Key_Right: return VK_RIGHT;
        case Qt::Key_Down: return VK_DOWN;
        case Qt::Key_Delete: return VK_DELETE;
        case Qt::Key_Plus:
        case Qt::Key_Equal: return VK_OEM_PLUS;  // one key: "=" below, "+" with Shift
        case Qt::Key_Minus: return VK_OEM_MINUS;
        default: return 0;
    }
}

bool IsDialog(const Window* w) { return w && w->dialogProc; }

int KeysOf(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? kKeyShift : 0) | (modifiers & Qt::ControlModifier ? kKeyControl : 0) |
           (modifiers & Qt::AltModifier ? kKeyAlt : 0);
}

// A dialog that answers WM_GETDLGCODE with DLGC_WANTALLKEYS gets Enter as a key.
bool WantsEnter(Window* dialog) {
    return (SendMessageW(dialog->handle, WM_GETDLGCODE, VK_RETURN, 0) & DLGC_WANTALLKEYS) != 0;
}

// Keys that reach a window: a dialog turns Enter and Escape into OK and Cancel, as
// the dialog manager does; everything else arrives as WM_KEYDOWN.
void PostKey(Window* w, QKeyEvent* event) {
    int vk = VirtualKeyOf(event->key(), event->modifiers());
    if (!vk) {
        event->ignore();
        return;
    }
    Window* dialog = IsDialog(w) ? w : IsDialog(w->parent) ? w->parent : nullptr;
    if (dialog && (vk == VK_ESCAPE || (vk == VK_RETURN && !WantsEnter(dialog)))) {
        PostMessageW(dialog->handle, WM_COMMAND, MAKEWPARAM(vk == VK_RETURN ? IDOK : IDCANCEL, BN_CLICKED), 0);
        return;
    }
    // With Alt held a key is a system key; bit 29 says Alt was down.
    int keys = KeysOf(event->modifiers());
    LPARAM lParam = 1 | (LPARAM)(event->nativeScanCode() & 0xFF) << 16 | (keys & kKeyAlt ? 1 << 29 : 0);
    PostInputMessage(w->handle, keys & kKeyAlt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, lParam, keys);
}

// ---- Widgets ----

// The client area: shows the window's image and turns mouse and keys into messages.
class ClientWidget : public QWidget {
  public:
    ClientWidget(HWND window, QWidget* parent) : QWidget(parent), window_(window) {
        setProperty("hwnd", (qulonglong)(uintptr_t)window);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::StrongFocus);
        // A window hears the pointer move over it with no button down, as in Win32.
        setMouseTracking(true);
    }

  protected:
    // Tab moves focus only in dialogs (the dialog manager's work); a plain window
    // receives it as a key.
    bool focusNextPrevChild(bool next) override {
        Window* w = WindowOf(window_);
        if (w && !IsDialog(w) && !IsDialog(w->parent)) return false;
        return QWidget::focusNextPrevChild(next);
    }
    void paintEvent(QPaintEvent*) override {
        Window* w = WindowOf(window_);
        if (!w || !w->hasImage) return;
        QPainter(this).drawImage(0, 0, ClientImage(w));
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::BackButton || e->button() == Qt::ForwardButton) {
            WORD button = e->button() == Qt::BackButton ? XBUTTON1 : XBUTTON2;
            QPoint p = e->position().toPoint();
            PostMessageW(window_, WM_XBUTTONDOWN, MAKEWPARAM(0, button), MAKELPARAM((WORD)p.x(), (WORD)p.y()));
            return;
        }
        PostMouse(e, WM_LBUTTONDOWN);
    }
    void mouseReleaseEvent(QMouseEvent* e) override { PostMouse(e, WM_LBUTTONUP); }
    // Without CS_DBLCLKS the second press of a double click is a plain press, as in Win32.
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        Window* w = WindowOf(window_);
        PostMouse(e, w && (w->classStyle & CS_DBLCLKS) ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN);
    }
    // Moves arrive while the button is held (Qt grabs the mouse for the pressed widget).
    void mouseMoveEvent(QMouseEvent* e) override {
        QPoint p = e->position().toPoint();
        WPARAM keys = (e->buttons() & Qt::LeftButton) ? MK_LBUTTON : 0;
        PostMessageW(window_, WM_MOUSEMOVE, keys, MAKELPARAM((WORD)p.x(), (WORD)p.y()));
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (Window* w = WindowOf(window_)) PostKey(w, e);
    }
    void wheelEvent(QWheelEvent* e) override { PostWheel(window_, e); }
    // The right button or the menu key; from the keyboard the point is (-1, -1).
    void contextMenuEvent(QContextMenuEvent* e) override {
        QPoint p = e->reason() == QContextMenuEvent::Keyboard ? QPoint(-1, -1) : e->globalPos();
        PostMessageW(window_, WM_CONTEXTMENU, (WPARAM)window_, MAKELPARAM((WORD)p.x(), (WORD)p.y()));
    }

  private:
    void PostMouse(QMouseEvent* e, UINT message) {
        if (e->button() != Qt::LeftButton) return;
        QPoint p = e->position().toPoint();
        PostMessageW(window_, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                     MAKELPARAM((WORD)p.x(), (WORD)p.y()));
    }
    HWND window_;
};

// A top-level window: the client area, the scroll bar at its right and, for
// WS_EX_CAPTIONOKBTN, a strip above it holding the caption's OK button.
class FrameWidget : public QWidget {
  public:
    FrameWidget(HWND window, QWidget* owner)
        : QWidget(owner, owner ? kOwnedFrame : Qt::Window), window_(window) {
        setProperty("hwnd", (qulonglong)(uintptr_t)window);
    }

  protected:
    void resizeEvent(QResizeEvent*) override {
        if (Window* w = WindowOf(window_)) LayoutFrame(w);
    }
    void moveEvent(QMoveEvent* e) override {
        Window* w = WindowOf(window_);
        if (w && !w->creating) SendMessageW(window_, WM_MOVE, 0, MAKELPARAM((WORD)e->pos().x(), (WORD)e->pos().y()));
    }
    void closeEvent(QCloseEvent* e) override {
        // The window decides: WM_CLOSE reaches its procedure, whose default destroys it.
        e->ignore();
        if (WindowOf(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
    }
    void changeEvent(QEvent* e) override {
        QWidget::changeEvent(e);
        if (e->type() != QEvent::ActivationChange || !WindowOf(window_)) return;
        SendMessageW(window_, WM_ACTIVATE, isActiveWindow() ? WA_ACTIVE : WA_INACTIVE, 0);
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (Window* w = WindowOf(window_)) PostKey(w, e);
    }

  private:
    HWND window_;
};

}  // namespace

// The rotation goes as it comes, in WHEEL_DELTA units a notch: a fine (touchpad or
// high-resolution) wheel sends parts of a notch, which the window adds up. A device
// that reports pixels only is taken at kPixelsPerNotch pixels a notch.
void PostWheel(HWND window, QWheelEvent* e) {
    constexpr int kPixelsPerNotch = 48;
    int delta = e->angleDelta().y();
    if (!delta) delta = e->pixelDelta().y() * WHEEL_DELTA / kPixelsPerNotch;
    e->accept();
    if (!delta || !WindowOf(window)) return;
    delta = std::clamp(delta, -0x7FFF, 0x7FFF);
    int keys = KeysOf(e->modifiers());
    WORD state = (WORD)((keys & kKeyControl ? MK_CONTROL : 0) | (keys & kKeyShift ? MK_SHIFT : 0));
    QPoint at = e->globalPosition().toPoint();
    PostInputMessage(window, WM_MOUSEWHEEL, MAKEWPARAM(state, (WORD)(SHORT)delta),
                     MAKELPARAM((WORD)at.x(), (WORD)at.y()), keys);
}

QWidget* MakeOkStrip(Window* w) {
    auto* strip = new QWidget(w->frame);
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"), strip);
    ok->setFocusPolicy(Qt::NoFocus);
    HWND handle = w->handle;
    QObject::connect(ok, &QPushButton::clicked,
                     [handle] { PostMessageW(handle, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); });
    layout->addWidget(ok);
    return strip;
}

QWidget* MakeClientWidget(HWND window, QWidget* parent) { return new ClientWidget(window, parent); }

QWidget* MakeFrameWidget(HWND window, QWidget* owner) {
    InstallAccessibility();
    return new FrameWidget(window, owner);
}
