// Modal dialogs from in-memory dialog templates, and the controls they hold:
// static text and pictures, edits, check boxes and radio buttons, list boxes and
// owner-drawn buttons, each a Qt widget behind a child window.
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextEdit>
#include <cmath>

#include "../LittleEndian.h"
#include "../NoThrow.h"
#include "QtGdi.h"
#include "QtWindow.h"

namespace {

const WCHAR* const kDialogClass = TEXT("#32770");
const WCHAR* const kButtonClass = TEXT("BUTTON");
const WCHAR* const kEditClass = TEXT("EDIT");
const WCHAR* const kStaticClass = TEXT("STATIC");
const WCHAR* const kListBoxClass = TEXT("LISTBOX");

int Kind(const Window* w) { return (int)(w->style & 0xF); }

QString ToQString(LPCWSTR text) { return text ? QString::fromUtf16(text) : QString(); }

// The text a label shows: '&' marks a mnemonic unless SS_NOPREFIX, "&&" is one '&'.
QString LabelText(const Window* w) {
    QString text = QString::fromUtf16(w->title.c_str());
    if (w->style & SS_NOPREFIX) return text;
    QString shown;
    for (int i = 0; i < text.size(); i++) {
        if (text[i] == '&' && i + 1 < text.size()) i++;
        shown += text[i];
    }
    return shown;
}

LRESULT CopyText(const QString& text, WPARAM max, LPARAM buffer) {
    if ((int)max <= 0 || !buffer) return 0;
    int n = std::min((int)text.size(), (int)max - 1);
    std::copy(text.utf16(), text.utf16() + n, (WCHAR*)buffer);
    ((WCHAR*)buffer)[n] = 0;
    return n;
}

// ---- Widgets of the built-in classes ----

void Notify(HWND control, WORD code) {
    if (Window* w = WindowOf(control)) NotifyParent(w, code);
}

// An auto radio button checks itself and clears the others of its group (the
// controls from one WS_GROUP to the next).
void CheckRadioInGroup(Window* w) {
    QWidget* parent = w->frame->parentWidget();
    std::vector<Window*> siblings;
    for (QObject* o : parent->children())
        if (Window* s = WindowOfWidget(qobject_cast<QWidget*>(o)); s && s->parent == w->parent && s->frame == o)
            siblings.push_back(s);
    std::sort(siblings.begin(), siblings.end(), [](Window* a, Window* b) { return a->handle < b->handle; });
    auto me = std::find(siblings.begin(), siblings.end(), w);
    if (me == siblings.end()) return;
    auto first = me;
    while (first != siblings.begin() && !((*first)->style & WS_GROUP)) --first;
    auto last = me + 1;
    while (last != siblings.end() && !((*last)->style & WS_GROUP)) ++last;
    for (auto it = first; it != last; ++it)
        if (auto* radio = qobject_cast<QRadioButton*>((*it)->frame.data())) radio->setChecked(*it == w);
}

QWidget* MakeButton(Window* w, QWidget* parent) {
    HWND handle = w->handle;
    QString text = ToQString(w->title.c_str());
    switch (Kind(w)) {
        case BS_OWNERDRAW: return nullptr;
        case BS_AUTOCHECKBOX: {
            auto* box = new QCheckBox(text, parent);
            QObject::connect(box, &QCheckBox::clicked, [handle] { Notify(handle, BN_CLICKED); });
            return box;
        }
        case BS_AUTORADIOBUTTON: {
            auto* radio = new QRadioButton(text, parent);
            radio->setAutoExclusive(false);
            QObject::connect(radio, &QRadioButton::clicked, [handle] {
                if (Window* w = WindowOf(handle)) CheckRadioInGroup(w);
                Notify(handle, BN_CLICKED);
            });
            return radio;
        }
        default: {
            auto* button = new QPushButton(text, parent);
            QObject::connect(button, &QPushButton::clicked, [handle] { Notify(handle, BN_CLICKED); });
            return button;
        }
    }
}

QWidget* MakeEdit(Window* w, QWidget* parent) {
    if (w->style & ES_MULTILINE) {
        auto* edit = new QTextEdit(parent);
        edit->setAcceptRichText(false);
        edit->setFrameStyle(w->style & WS_BORDER ? QFrame::StyledPanel : QFrame::NoFrame);
        SetMultiLineText(w, edit, ToQString(w->title.c_str()));
        return edit;
    }
    auto* edit = new QLineEdit(ToQString(w->title.c_str()), parent);
    edit->setFrame(w->style & WS_BORDER);
    if (w->style & ES_RIGHT) edit->setAlignment(Qt::AlignRight);
    if (w->style & ES_NUMBER) edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    HWND handle = w->handle;
    QObject::connect(edit, &QLineEdit::textChanged, [handle] { Notify(handle, EN_CHANGE); });
    return edit;
}

QWidget* MakeStatic(Window* w, QWidget* parent) {
    if (Kind(w) == SS_BITMAP) return nullptr;
    auto* label = new QLabel(LabelText(w), parent);
    label->setTextFormat(Qt::PlainText);
    Qt::Alignment align = Qt::AlignTop | (w->style & SS_CENTER ? Qt::AlignHCenter
                                          : w->style & SS_RIGHT ? Qt::AlignRight
                                                                : Qt::AlignLeft);
    label->setAlignment(align);
    return label;
}

QWidget* MakeListBox(Window* w, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setFrameStyle(w->style & WS_BORDER ? QFrame::StyledPanel : QFrame::NoFrame);
    list->setVerticalScrollBarPolicy(w->style & WS_VSCROLL ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    if (w->style & LBS_NOTIFY) {
        HWND handle = w->handle;
        // Only the user's changes notify: the list's own messages block the signal.
        QObject::connect(list, &QListWidget::itemSelectionChanged, [handle] { Notify(handle, LBN_SELCHANGE); });
        // Activation follows the desktop: a click or a double click, as it is set up.
        QObject::connect(list, &QListWidget::itemActivated, [handle] { Notify(handle, LBN_DBLCLK); });
    }
    return list;
}

// ---- Procedures of the built-in classes ----

LRESULT CommonMessage(Window* w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFONT) {
        w->font = (HFONT)wParam;
        // Without memory for the font the control keeps the one it has.
        if (w->frame) CallOrSkip([&] { w->frame->setFont(QFontOfHandle(w->font)); });
        return 0;
    }
    return DefWindowProcW(w->handle, message, wParam, lParam);
}

void PaintOwnerDrawn(Window* w) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w->handle, &ps);
    // The owner draws with the control's own font, as the platform hands it over.
    if (dc && w->font) SelectObject(dc, w->font);
    DRAWITEMSTRUCT item{ODT_BUTTON, (UINT)w->id, 0, ODA_DRAWENTIRE, 0, w->handle, dc,
                        {0, 0, w->clientWidth, w->clientHeight}, 0};
    if (w->parent) SendMessageW(w->parent->handle, WM_DRAWITEM, (WPARAM)w->id, (LPARAM)&item);
    EndPaint(w->handle, &ps);
}

LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = WindowOf(window);
    if (!w) return 0;
    auto* check = qobject_cast<QAbstractButton*>(w->frame.data());
    switch (message) {
        case BM_GETCHECK: return check && check->isChecked() ? BST_CHECKED : BST_UNCHECKED;
        case BM_SETCHECK:
            if (check && check->isCheckable()) check->setChecked(wParam == BST_CHECKED);
            return 0;
        case WM_SETTEXT:
            if (check) check->setText(ToQString((LPCWSTR)lParam));
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_PAINT:
            if (Kind(w) != BS_OWNERDRAW) break;
            PaintOwnerDrawn(w);
            return 0;
        case WM_LBUTTONUP:
            if (Kind(w) == BS_OWNERDRAW) NotifyParent(w, BN_CLICKED);
            return 0;
    }
    return CommonMessage(w, message, wParam, lParam);
}

QString EditText(QWidget* widget) {
    if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->text();
    if (auto* multi = qobject_cast<QTextEdit*>(widget)) return MultiLineText(multi);
    return {};
}

LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = WindowOf(window);
    if (!w) return 0;
    auto* line = qobject_cast<QLineEdit*>(w->frame.data());
    auto* multi = qobject_cast<QTextEdit*>(w->frame.data());
    switch (message) {
        case WM_SETTEXT:
            if (line) line->setText(ToQString((LPCWSTR)lParam));
            if (multi) SetMultiLineText(w, multi, ToQString((LPCWSTR)lParam));
            return TRUE;
        case WM_GETTEXT: return CopyText(EditText(w->frame), wParam, lParam);
        case WM_GETTEXTLENGTH: return EditText(w->frame).size();
        case EM_LIMITTEXT:
            if (line) line->setMaxLength(wParam ? (int)std::min<WPARAM>(wParam, 32767) : 32767);
            return 0;
        case EM_SETSEL:
            if (!line) return 0;
            if ((int)wParam == -1) {
                line->deselect();
            } else if ((int)lParam == -1 || (int)lParam >= line->text().size()) {
                line->setSelection((int)wParam, line->text().size() - (int)wParam);
            } else {
                line->setSelection((int)wParam, (int)lParam - (int)wParam);
            }
            return 0;
    }
    return CommonMessage(w, message, wParam, lParam);
}

// A bitmap static shows the bitmap its text names ("#113") and takes its size.
HBITMAP LoadNamedBitmap(const Window* w) {
    QString name = QString::fromUtf16(w->title.c_str());
    return name.startsWith('#') ? LoadBitmapW(w->instance, MAKEINTRESOURCEW(name.mid(1).toUInt())) : nullptr;
}

void PaintBitmap(Window* w) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w->handle, &ps);
    HBITMAP bitmap = LoadNamedBitmap(w);
    BITMAP info{};
    if (bitmap && GetObjectW(bitmap, sizeof info, &info)) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, bitmap);
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    }
    if (bitmap) DeleteObject(bitmap);
    EndPaint(w->handle, &ps);
}

void FitBitmap(Window* w) {
    HBITMAP bitmap = LoadNamedBitmap(w);
    BITMAP info{};
    if (bitmap && GetObjectW(bitmap, sizeof info, &info))
        SetWindowPos(w->handle, nullptr, 0, 0, info.bmWidth, info.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
    if (bitmap) DeleteObject(bitmap);
}

LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = WindowOf(window);
    if (!w) return 0;
    bool picture = Kind(w) == SS_BITMAP;
    switch (message) {
        case WM_CREATE:
            if (picture) FitBitmap(w);
            return 0;
        case WM_PAINT:
            if (!picture) break;
            PaintBitmap(w);
            return 0;
        case WM_SETTEXT:
            DefWindowProcW(window, message, wParam, lParam);
            if (auto* label = qobject_cast<QLabel*>(w->frame.data())) label->setText(LabelText(w));
            return TRUE;
    }
    return CommonMessage(w, message, wParam, lParam);
}

int SelectedRow(QListWidget* list) {
    QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? LB_ERR : list->row(selected.first());
}

// Sorted lists compare without regard to case, as the platform's do.
int SortedPlace(QListWidget* list, const QString& text) {
    int i = 0;
    while (i < list->count() && list->item(i)->text().compare(text, Qt::CaseInsensitive) <= 0) i++;
    return i;
}

void SelectRow(QListWidget* list, int row) {
    list->clearSelection();
    if (row < 0 || row >= list->count()) return;
    list->setCurrentRow(row);
    list->item(row)->setSelected(true);
}

LRESULT CALLBACK ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = WindowOf(window);
    if (!w) return 0;
    auto* list = qobject_cast<QListWidget*>(w->frame.data());
    if (!list) return CommonMessage(w, message, wParam, lParam);
    QSignalBlocker quiet(list);
    switch (message) {
        case LB_ADDSTRING: {
            QString text = ToQString((LPCWSTR)lParam);
            int row = w->style & LBS_SORT ? SortedPlace(list, text) : list->count();
            list->insertItem(row, text);
            return row;
        }
        case LB_RESETCONTENT: list->clear(); return 0;
        case LB_GETCOUNT: return list->count();
        case LB_GETCURSEL: return SelectedRow(list);
        case LB_SETCURSEL:
            SelectRow(list, (int)wParam);
            return (int)wParam >= 0 && (int)wParam < list->count() ? (LRESULT)wParam : LB_ERR;
        case LB_GETTEXT:
        case LB_GETTEXTLEN: {
            QListWidgetItem* item = list->item((int)wParam);
            if (!item) return LB_ERR;
            QString text = item->text();
            if (message == LB_GETTEXTLEN || !lParam) return text.size();
            std::copy(text.utf16(), text.utf16() + text.size(), (WCHAR*)lParam);
            ((WCHAR*)lParam)[text.size()] = 0;
            return text.size();
        }
        case LB_SELECTSTRING: {
            // The first entry after the start that begins with the text, wrapping round.
            QString prefix = ToQString((LPCWSTR)lParam);
            int count = list->count(), start = (int)wParam;
            for (int k = 0; k < count; k++) {
                int row = ((start < 0 ? 0 : start + 1) + k) % count;
                if (list->item(row)->text().startsWith(prefix, Qt::CaseInsensitive)) {
                    SelectRow(list, row);
                    return row;
                }
            }
            return LB_ERR;
        }
    }
    return CommonMessage(w, message, wParam, lParam);
}

// ---- Dialogs ----

// The dialog's procedure sees messages from WM_INITDIALOG on; what it leaves (returns
// 0 for) gets the dialog manager's default: closing is Cancel, the rest DefWindowProcW's.
LRESULT CALLBACK DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = WindowOf(window);
    if (!w) return 0;
    if (w->dialogProc) {
        INT_PTR handled = w->dialogProc(window, message, wParam, lParam);
        if (handled || message == WM_INITDIALOG) return handled;
        if (!WindowOf(window)) return 0;
    }
    if (message == WM_CLOSE) return SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterControlClasses() {
    RegisterBuiltinClass(kDialogClass, DialogWindowProc, nullptr, GetSysColorBrush(COLOR_BTNFACE));
    RegisterBuiltinClass(kButtonClass, ButtonProc, MakeButton);
    RegisterBuiltinClass(kEditClass, EditProc, MakeEdit);
    RegisterBuiltinClass(kStaticClass, StaticProc, MakeStatic);
    RegisterBuiltinClass(kListBoxClass, ListBoxProc, MakeListBox);
}

struct TemplateReader {
    const BYTE* p;
    WORD Word() {
        WORD w = ReadWord(p);
        p += 2;
        return w;
    }
    DWORD Dword() {
        DWORD d = ReadDword(p);
        p += 4;
        return d;
    }
    std::u16string String() {
        std::u16string s;
        for (WORD c; (c = Word()) != 0;) s.push_back(c);
        return s;
    }
    // A class or title field: 0 (none), 0xFFFF and a number, or a string.
    std::u16string NameOrOrdinal(WORD* ordinal) {
        *ordinal = 0;
        if (ReadWord(p) == 0xFFFF) {
            p += 2;
            *ordinal = Word();
            return {};
        }
        return String();
    }
    void Align(const BYTE* base) { p += (4 - (p - base) % 4) % 4; }
};

const WCHAR* ClassOfAtom(WORD atom) {
    switch (atom) {
        case 0x80: return kButtonClass;
        case 0x81: return kEditClass;
        case 0x82: return kStaticClass;
        case 0x83: return kListBoxClass;
        default: return nullptr;
    }
}

// Dialog units: a quarter of the font's average character width, an eighth of its height.
void ComputeBaseUnits(Window* w) {
    QFontMetrics metrics(QApplication::font());
    int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    w->baseUnitX = (width / 26 + 1) / 2;
    w->baseUnitY = metrics.height();
}

RECT DialogRect(HWND dialog, int x, int y, int cx, int cy) {
    RECT r{x, y, x + cx, y + cy};
    MapDialogRect(dialog, &r);
    return r;
}

// Creates the dialog and its controls from the template; the procedure is
// attached afterwards, so its first messages are WM_SETFONT and WM_INITDIALOG.
// As on Windows, an edit box is named by the static text just before it in the
// template: that label becomes its buddy, which screen readers read as its name.
void LabelEditBox(Window* control, QLabel** label) {
    QWidget* widget = control ? control->frame.data() : nullptr;
    if (auto* text = qobject_cast<QLabel*>(widget)) {
        *label = text;
    } else if (*label && (qobject_cast<QLineEdit*>(widget) || qobject_cast<QTextEdit*>(widget))) {
        (*label)->setBuddy(widget);
        *label = nullptr;
    }
}

HWND CreateDialogFromTemplate(HINSTANCE instance, const BYTE* data, HWND owner, HFONT* font) {
    TemplateReader r{data};
    DWORD style = r.Dword();
    DWORD exStyle = r.Dword();
    WORD count = r.Word();
    r.p += 4;  // x, y: dialogs are centred or placed by the shell
    short cx = (short)r.Word(), cy = (short)r.Word();
    WORD ordinal;
    r.NameOrOrdinal(&ordinal);  // menu: none in this program
    r.NameOrOrdinal(&ordinal);  // class: the default
    std::u16string caption = r.String();
    if (style & DS_SETFONT) {
        r.Word();
        r.String();  // the platform's dialog font stands for the template's
    }
    HWND dialog = CreateWindowExW(exStyle, kDialogClass, caption.c_str(), style & ~WS_VISIBLE & ~WS_CHILD, 0, 0,
                                  100, 100, owner, nullptr, instance, nullptr);
    Window* w = WindowOf(dialog);
    if (!w) return nullptr;
    ComputeBaseUnits(w);
    RECT client = DialogRect(dialog, 0, 0, cx, cy);
    int strip = w->okStrip ? w->okStrip->sizeHint().height() : 0;
    w->frame->resize(client.right, client.bottom + strip);
    LayoutFrame(w);
    CentreDialog(w);
    LOGFONTW dialogFont = LogFontFromQFont(QApplication::font());
    *font = CreateFontIndirectW(&dialogFont);
    w->font = *font;
    QLabel* label = nullptr;
    // Memory running out among the controls leaves no half-made dialog behind.
    try {
        for (WORD i = 0; i < count; i++) {
            r.Align(data);
            DWORD itemStyle = r.Dword();
            DWORD itemEx = r.Dword();
            short x = (short)r.Word(), y = (short)r.Word(), icx = (short)r.Word(), icy = (short)r.Word();
            WORD id = r.Word();
            WORD atom;
            std::u16string className = r.NameOrOrdinal(&atom);
            WORD image;
            std::u16string text = r.NameOrOrdinal(&image);
            WORD extra = r.Word();
            r.p += extra;
            if (image) text = QStringLiteral("#%1").arg(image).toStdU16String();
            const WCHAR* cls = atom ? ClassOfAtom(atom) : className.c_str();
            RECT rc = DialogRect(dialog, x, y, icx, icy);
            HWND control = CreateWindowExW(itemEx, cls, text.c_str(), itemStyle | WS_CHILD, rc.left, rc.top,
                                           rc.right - rc.left, rc.bottom - rc.top, dialog, (HMENU)(uintptr_t)id,
                                           instance, nullptr);
            if (control) SendMessageW(control, WM_SETFONT, (WPARAM)*font, FALSE);
            LabelEditBox(WindowOf(control), &label);
        }
    } catch (...) {
        DestroyWindow(dialog);
        throw;
    }
    return dialog;
}

HWND FirstTabStop(Window* dialog) {
    QList<QWidget*> children = dialog->client->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children)
        if (Window* c = WindowOfWidget(child); c && c->parent == dialog && (c->style & WS_TABSTOP)) return c->handle;
    return nullptr;
}

}  // namespace

void RegisterDialogControls() { RegisterControlClasses(); }

INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner, DLGPROC dialogProc,
                                LPARAM initParam) {
    return CallOrFail<INT_PTR>(-1, [&]() -> INT_PTR {
        if (!dialogTemplate || !dialogProc) return -1;
        EnsureWindowLayer();
        RegisterControlClasses();
        HFONT font = nullptr;
        // The dialog's font goes with the dialog, however the call ends.
        struct FontKeeper {
            HFONT* font;
            ~FontKeeper() {
                if (*font) DeleteObject(*font);
            }
        } keeper{&font};
        HWND dialog = CreateDialogFromTemplate(instance, (const BYTE*)dialogTemplate, owner, &font);
        Window* w = WindowOf(dialog);
        if (!w) return -1;
        w->frame->setWindowModality(Qt::ApplicationModal);
        w->dialogProc = dialogProc;
        HWND focus = FirstTabStop(w);
        if (SendMessageW(dialog, WM_INITDIALOG, (WPARAM)focus, initParam)) SetFocus(focus ? focus : dialog);
        if ((w = WindowOf(dialog)) && !w->dialogEnded && (dialogTemplate->style & WS_VISIBLE)) ShowWindow(dialog, SW_SHOW);
        RunModalLoop([dialog] {
            Window* d = WindowOf(dialog);
            return !d || d->dialogEnded;
        });
        // A dialog destroyed from outside (its owner went) ends with 0.
        INT_PTR result = 0;
        if ((w = WindowOf(dialog))) {
            result = w->dialogEnded ? w->dialogResult : 0;
            DestroyWindow(dialog);
        }
        if (Window* o = WindowOf(owner); o && o->frame && !o->remote) o->frame->activateWindow();
        return result;
    });
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        Window* w = WindowOf(dialog);
        if (!w || !w->dialogProc) return FALSE;
        w->dialogEnded = true;
        w->dialogResult = result;
        if (w->frame) w->frame->hide();
        return TRUE;
    });
}

HWND GetDlgItem(HWND dialog, int id) {
    Window* d = WindowOf(dialog);
    if (!d || !d->client) return nullptr;
    for (QWidget* child : d->client->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (Window* c = WindowOfWidget(child); c && c->parent == d && c->id == id) return c->handle;
    return nullptr;
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) { return SetWindowTextW(GetDlgItem(dialog, id), text); }

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int maxCount) {
    return CallOrFail<UINT>(0u, [&]() -> UINT {
        return (UINT)GetWindowTextW(GetDlgItem(dialog, id), text, maxCount);
    });
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
    Window* w = WindowOf(dialog);
    if (!w || !rect || !w->baseUnitX) return FALSE;
    // Rounded to the nearest pixel, as MulDiv does.
    auto scale = [](LONG v, int base, int units) { return (LONG)std::lround((double)v * base / units); };
    rect->left = scale(rect->left, w->baseUnitX, 4);
    rect->right = scale(rect->right, w->baseUnitX, 4);
    rect->top = scale(rect->top, w->baseUnitY, 8);
    rect->bottom = scale(rect->bottom, w->baseUnitY, 8);
    return TRUE;
}
