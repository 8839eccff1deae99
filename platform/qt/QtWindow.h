// The window records behind HWND and what the other parts of the Qt layer (dialogs,
// controls, bars, message boxes, the one-instance link) share with the window
// manager in QtWindow.cpp and its companions.
#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../win32.h"

class QScrollBar;

// Class-specific state of a window (controls, bars); destroyed with the window.
struct WindowExtra {
    virtual ~WindowExtra() = default;
};

enum class Dock { None, Top, Bottom };

struct Window {
    HWND handle = nullptr;
    std::u16string className;
    std::u16string title;
    std::u16string createdTitle;  // the one-instance name, whatever the title says later
    DWORD style = 0;
    DWORD exStyle = 0;
    UINT classStyle = 0;  // CS_DBLCLKS: double clicks arrive as WM_LBUTTONDBLCLK
    WNDPROC proc = nullptr;
    HBRUSH background = nullptr;
    HINSTANCE instance = nullptr;
    Window* parent = nullptr;  // child windows
    Window* owner = nullptr;   // top-level windows
    int id = 0;                // a child's control identifier
    QPointer<QWidget> frame;   // the outermost widget: the Qt window of a top-level window
    QPointer<QWidget> client;  // the client area; child windows' widgets live in it
    bool hasImage = false;     // GetDC and BeginPaint draw into image
    QImage image;              // made by ClientImage when first drawn into
    std::vector<HDC> dcs;
    QPointer<QScrollBar> scrollBar;
    SCROLLINFO scroll{};
    QPointer<QWidget> okStrip;   // the caption OK button's strip (WS_EX_CAPTIONOKBTN)
    int clientWidth = -1;        // as last reported by WM_SIZE
    int clientHeight = -1;
    bool creating = true;        // no WM_SIZE before WM_CREATE has run
    bool invalid = false;
    bool eraseNeeded = false;
    RECT updateRect{};
    bool destroying = false;
    bool fullScreen = false;
    Dock dock = Dock::None;      // bars stay at the top or bottom edge of the parent's client area
    int dockShrink = 0;          // how much narrower than the parent's client area a docked bar is
    int dockHeight = 0;
    HFONT font = nullptr;        // WM_SETFONT / WM_GETFONT
    // Dialogs
    DLGPROC dialogProc = nullptr;
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;
    int baseUnitX = 0;
    int baseUnitY = 0;
    // A window of another process of this program (see QtInstance.cpp).
    bool remote = false;
    int remoteId = 0;
    std::unique_ptr<WindowExtra> extra;
};

inline HWND HandleOf(const Window* w) { return w ? w->handle : nullptr; }

// Makes the widget of a child window of a built-in class; null means an image
// client (a plain area the window's procedure paints, as for program windows).
typedef QWidget* (*WidgetFactory)(Window* window, QWidget* parent);

// The live window behind a handle, or null (destroyed windows' handles are never reused).
Window* WindowOf(HWND window);
// The window whose frame or client is this widget or one of its ancestors.
Window* WindowOfWidget(QWidget* widget);
// A class the platform itself provides (controls, bars, dialogs).
void RegisterBuiltinClass(const WCHAR* name, WNDPROC proc, WidgetFactory factory, HBRUSH background = nullptr);
// Creates the QApplication, the built-in classes and the real message box.
void EnsureWindowLayer();
// The dialog's controls as classes CreateWindowExW knows (QtDialog.cpp).
void RegisterDialogControls();

// Recomputes the client area from the frame's size; sends WM_SIZE when it changed.
void LayoutFrame(Window* window);
// Placement (QtWindowPlacement.cpp): a new dialog over its owner; a dialog that
// covers another window, such as the reader's.
void CentreDialog(Window* dialog);
void CoverWindow(Window* window, const Window* covered);
// A visible program window with an invalid client area, or null.
Window* WindowNeedingPaint();
// Timers (QtTimers.cpp): the WM_TIMER of a timer whose period has passed, if any;
// with remove, the timer waits a whole period again. Timers of gone windows are dropped.
bool TakeDueTimer(MSG* msg, bool remove);

// Widgets (QtWindowWidgets.cpp): the client area, a top-level frame, the caption OK strip.
QWidget* MakeClientWidget(HWND window, QWidget* parent);
QWidget* MakeFrameWidget(HWND window, QWidget* owner);
// The image a window with hasImage draws into (QtWindow.cpp), made when first asked for.
QImage& ClientImage(Window* w);
// A dialog or message box has only a close button: it is answered, not minimised
// or maximised (as dialogs are without those boxes in their style).
constexpr Qt::WindowFlags kOwnedFrame =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
// Puts in place the screen readers' view of windows (QtAccessible.cpp), before a
// first window is asked for its own.
void InstallAccessibility();
QWidget* MakeOkStrip(Window* window);

// The vertical scroll bar (QtScrollBar.cpp).
QScrollBar* MakeScrollBar(Window* window);
int ScrollBarWidth();

// The message queue (QtMessageQueue.cpp): wakes Qt's event loop for a new message or paint.
void WakeUp();
// Posts a key or mouse message with the modifier keys down at the time (kKey* bits),
// which GetKeyState reports while that message is handled.
constexpr int kKeyShift = 1, kKeyControl = 2, kKeyAlt = 4;
BOOL PostInputMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int keys);
// The wheel over a window or its scroll bar, as WM_MOUSEWHEEL (QtWindowWidgets.cpp).
class QWheelEvent;
void PostWheel(HWND window, QWheelEvent* event);
// Runs the message queue until finished() holds. Returns false when a quit
// message ended it (the quit message is posted again for the outer loop).
bool RunModalLoop(const std::function<bool()>& finished);
// The Qt widget of a window (its frame), for tests and the layer's own parts.
QWidget* WidgetOf(HWND window);
QScrollBar* ScrollBarOf(HWND window);
// A dialog's or control's WM_COMMAND notification to its parent, posted as a click would be.
void NotifyParent(Window* control, WORD code);
// A multi-line edit's text as the window's style shows it, and as the program reads it (QtTextBox.cpp).
class QTextEdit;
void SetMultiLineText(Window* w, QTextEdit* edit, const QString& text);
QString MultiLineText(const QTextEdit* edit);

// One-instance link (QtInstance.cpp).
HWND FindRemoteWindow(LPCWSTR className, LPCWSTR title);
HWND RemoteForegroundWindow();
LRESULT SendRemoteMessage(Window* proxy, UINT message, WPARAM wParam, LPARAM lParam);
BOOL BringRemoteToFront(Window* proxy);
void PublishWindow(Window* window);
void WithdrawWindow(Window* window);
// A stand-in for a window of the other process; the same id gives the same handle.
HWND ProxyWindow(int remoteId, HWND parent);
// Whether a top-level window is the one that other starts of the program look for:
// its class and the title it was created with (its title bar may name more since).
bool IsInstanceWindow(const Window* window);

// Outside requests to end (QtSignals.cpp): signals and the session's end reach
// this window as the posted message the program registered (ProgramIdentity.h).
void DeliverEndRequestsTo(HWND window);

// Real message boxes (QtMessageBox.cpp) and file dialogs (QtFileDialogs.cpp).
void InstallQtMessageBox();
void InstallQtFileDialogs();
