// Screen readers: a window's client area exposed through Qt's accessibility
// interfaces, as a read-only document (the article view) or as a tree (the index,
// QtAccessibleTree.cpp), from what the program publishes with SetAccessibleText
// and SetAccessibleTree; the frames, dialogs and bars around them.
#include <QAccessibleWidget>
#include <algorithm>
#include <map>
#include <vector>

#include "../Desktop.h"
#include "../NoThrow.h"
#include "QtAccessible.h"
#include "QtWindow.h"

namespace {

struct TextData {
    QString name, visible, whole;
    int caret = 0, selectionStart = 0, selectionEnd = 0;
    const AccessibleTextCalls* calls = nullptr;
    bool published = false;
};

std::map<HWND, TextData> gTexts;

bool IsPublishedText(HWND window) {
    auto it = gTexts.find(window);
    return it != gTexts.end() && it->second.published;
}

// A bar docked in a window shown as text (the command bar over the article) stands
// beside the text, as a child of the window's frame, not inside the text.
bool BesideText(const Window* bar) {
    return bar && bar->dock != Dock::None && bar->parent && !bar->parent->parent && bar->parent->frame &&
           IsPublishedText(bar->parent->handle);
}

bool IsBarBesideText(QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    Window* w = widget ? WindowOfWidget(widget) : nullptr;
    return w && w->frame == widget && BesideText(w);
}

// What Qt counts as a widget's children, less or plus the bars beside the text.
std::vector<QAccessibleInterface*> ChildrenWithout(const QAccessibleWidget* face, int qtCount) {
    std::vector<QAccessibleInterface*> out;
    for (int i = 0; i < qtCount; i++)
        if (QAccessibleInterface* c = face->QAccessibleWidget::child(i); c && !IsBarBesideText(c->object()))
            out.push_back(c);
    return out;
}

std::vector<QAccessibleInterface*> BarsBeside(QWidget* client) {
    std::vector<QAccessibleInterface*> out;
    for (QWidget* child : client->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (IsBarBesideText(child))
            if (QAccessibleInterface* face = QAccessible::queryAccessibleInterface(child)) out.push_back(face);
    return out;
}

int IndexIn(const std::vector<QAccessibleInterface*>& list, const QAccessibleInterface* child) {
    auto it = std::find(list.begin(), list.end(), child);
    return it == list.end() ? -1 : (int)(it - list.begin());
}

QAccessibleInterface* At(const std::vector<QAccessibleInterface*>& list, int index) {
    return index >= 0 && index < (int)list.size() ? list[index] : nullptr;
}

QString Colour(COLORREF c) {
    return QStringLiteral("rgb(%1,%2,%3)").arg(GetRValue(c)).arg(GetGValue(c)).arg(GetBValue(c));
}

// The article: a read-only document whose caret and selection are the reader's,
// set by the listener through the program. Offsets outside the text get the
// failure answers (empty text, empty box, -1) and change nothing.
class TextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    TextAccessible(QWidget* widget, HWND window) : QAccessibleWidget(widget, QAccessible::Document), window_(window) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return Data().name;
        if (t == QAccessible::Value) return Data().visible;
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = s.multiLine = s.selectableText = s.focusable = true;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    int childCount() const override { return (int)Children().size(); }
    QAccessibleInterface* child(int index) const override { return At(Children(), index); }
    int indexOfChild(const QAccessibleInterface* child) const override { return IndexIn(Children(), child); }
    int cursorPosition() const override { return Data().caret; }
    QString text(int start, int end) const override {
        if (start < 0 || end < start || end > characterCount()) return QString();
        return Data().whole.mid(start, end - start);
    }
    int characterCount() const override { return (int)Data().whole.size(); }
    void selection(int index, int* start, int* end) const override {
        bool some = index == 0 && selectionCount();
        *start = some ? Data().selectionStart : 0;
        *end = some ? Data().selectionEnd : 0;
    }
    int selectionCount() const override { return Data().selectionEnd > Data().selectionStart ? 1 : 0; }
    void addSelection(int start, int end) override {
        if (!selectionCount()) setSelection(0, start, end);
    }
    void removeSelection(int index) override {
        if (index == 0 && selectionCount()) Select(Data().caret, Data().caret);
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0) Select(std::min(start, end), std::max(start, end));
    }
    void setCursorPosition(int position) override {
        if (InText(position) && Calls()) Calls()->setCaret(window_, position);
    }
    QRect characterRect(int offset) const override {
        RECT box{};
        if (offset < 0 || offset >= characterCount() || !Calls() || !Calls()->characterBox(window_, offset, &box))
            return QRect();
        return ScreenBox(window_, box);
    }
    int offsetAtPoint(const QPoint& point) const override {
        QPoint local = widget()->mapFromGlobal(point);
        return Calls() ? Calls()->offsetAt(window_, local.x(), local.y()) : -1;
    }
    void scrollToSubstring(int start, int) override { setCursorPosition(start); }
    QString attributes(int offset, int* start, int* end) const override;

  private:
    bool InText(int offset) const { return offset >= 0 && offset <= characterCount(); }
    void Select(int start, int end) {
        if (InText(start) && InText(end) && Calls()) Calls()->setSelection(window_, start, end);
    }
    const AccessibleTextCalls* Calls() const { return Data().calls; }
    std::vector<QAccessibleInterface*> Children() const {
        return ChildrenWithout(this, QAccessibleWidget::childCount());
    }
    const TextData& Data() const {
        static const TextData kNone;
        auto it = gTexts.find(window_);
        return it == gTexts.end() ? kNone : it->second;
    }
    HWND window_;
};

// "name:value;" pairs, as Qt passes them on.
QString TextAccessible::attributes(int offset, int* start, int* end) const {
    AccessibleTextRun run{-1, -1, nullptr, false, CLR_INVALID};
    if (offset < 0 || offset >= characterCount() || !Calls() || !Calls()->attributes(window_, offset, &run)) {
        *start = *end = -1;
        return QString();
    }
    *start = run.start;
    *end = run.end;
    QString out;
    if (run.language) out += QStringLiteral("language:%1;").arg(QString::fromLatin1(run.language));
    out += run.rightToLeft ? QStringLiteral("writing-mode:rl;") : QStringLiteral("writing-mode:lr;");
    if (run.background != CLR_INVALID) out += QStringLiteral("background-color:%1;").arg(Colour(run.background));
    return out;
}

// A top-level window: its own children, then the bars beside its text.
class FrameAccessible : public QAccessibleWidget {
  public:
    FrameAccessible(QWidget* widget, HWND window, QAccessible::Role role)
        : QAccessibleWidget(widget, role), window_(window) {}
    int childCount() const override { return (int)Children().size(); }
    QAccessibleInterface* child(int index) const override { return At(Children(), index); }
    int indexOfChild(const QAccessibleInterface* child) const override { return IndexIn(Children(), child); }

  private:
    std::vector<QAccessibleInterface*> Children() const {
        std::vector<QAccessibleInterface*> out = ChildrenWithout(this, QAccessibleWidget::childCount());
        Window* w = WindowOf(window_);
        if (w && w->client) {
            std::vector<QAccessibleInterface*> bars = BarsBeside(w->client);
            out.insert(out.end(), bars.begin(), bars.end());
        }
        return out;
    }
    HWND window_;
};

// A docked bar: a tool bar, whose parent is the frame when it stands beside the text.
class BarAccessible : public QAccessibleWidget {
  public:
    BarAccessible(QWidget* widget, HWND bar) : QAccessibleWidget(widget, QAccessible::ToolBar), bar_(bar) {}
    QAccessibleInterface* parent() const override {
        Window* w = WindowOf(bar_);
        if (BesideText(w)) return QAccessible::queryAccessibleInterface(w->parent->frame);
        return QAccessibleWidget::parent();
    }

  private:
    HWND bar_;
};

// Called from inside Qt, which an exception must not pass through: without memory
// for ours the widget gets Qt's own interface.
QAccessibleInterface* Factory(const QString&, QObject* object) {
    return CallOrFail<QAccessibleInterface*>(nullptr, [&]() -> QAccessibleInterface* {
        auto* widget = qobject_cast<QWidget*>(object);
        Window* w = widget ? WindowOfWidget(widget) : nullptr;
        // A top-level window is a frame, one owned by another (or run as a dialog) a
        // dialog; Qt would call both a plain client area.
        if (w && w->frame == widget && !w->parent)
            return new FrameAccessible(widget, w->handle,
                                       w->owner || w->dialogProc ? QAccessible::Dialog : QAccessible::Window);
        if (w && w->frame == widget && w->dock != Dock::None) return new BarAccessible(widget, w->handle);
        if (!w || w->client != widget) return nullptr;
        if (IsPublishedText(w->handle)) return new TextAccessible(widget, w->handle);
        if (IsPublishedTree(w->handle)) return MakeTreeInterface(widget, w->handle);
        return nullptr;
    });
}

}  // namespace

void InstallAccessibility() {
    static bool sInstalled = false;
    if (!sInstalled) {
        sInstalled = true;
        QAccessible::installFactory(Factory);
    }
}

QWidget* PublishingClient(HWND window, bool first) {
    InstallAccessibility();
    Window* w = WindowOf(window);
    QWidget* client = w ? w->client.data() : nullptr;
    if (client && first) {
        QAccessibleInterface* old = QAccessible::queryAccessibleInterface(client);
        if (old && !dynamic_cast<TextAccessible*>(old) && !IsTreeInterface(old))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
    }
    return client;
}

QRect ScreenBox(HWND window, const RECT& box) {
    Window* w = WindowOf(window);
    if (!w || !w->client || box.right <= box.left) return QRect();
    QPoint origin = w->client->mapToGlobal(QPoint(box.left, box.top));
    return QRect(origin, QSize(box.right - box.left, std::max<int>(box.bottom - box.top, 0)));
}

namespace {

void Announce(QWidget* client, QAccessible::Event type) {
    QAccessibleEvent event(client, type);
    QAccessible::updateAccessibility(&event);
}

}  // namespace

void SetAccessibleText(HWND window, const WCHAR* name, const WCHAR* visible, const WCHAR* whole) {
    CallOrSkip([&] {
        bool first = !IsPublishedText(window);
        TextData& data = gTexts[window];
        data.published = true;
        TextData previous = data;
        data.name = FromUnits(name);
        data.visible = FromUnits(visible);
        data.whole = FromUnits(whole);
        QWidget* client = PublishingClient(window, first);
        if (!client) return;
        if (first || data.name != previous.name) {
            Announce(client, QAccessible::NameChanged);
            // Focus told again makes the screen reader say the new article's title.
            if (!first && client->hasFocus()) Announce(client, QAccessible::Focus);
        }
        if (first || data.whole != previous.whole) {
            QAccessibleTextUpdateEvent event(client, 0, previous.whole, data.whole);
            QAccessible::updateAccessibility(&event);
        }
        if (data.visible != previous.visible) Announce(client, QAccessible::VisibleDataChanged);
    });
}

void SetAccessibleTextCalls(HWND window, const AccessibleTextCalls* calls) {
    CallOrSkip([&] { gTexts[window].calls = calls; });
}

void SetAccessibleCaret(HWND window, int caret, int selectionStart, int selectionEnd) {
    CallOrSkip([&] {
        TextData& data = gTexts[window];
        TextData previous = data;
        data.caret = caret;
        data.selectionStart = selectionStart;
        data.selectionEnd = selectionEnd;
        Window* w = WindowOf(window);
        QWidget* client = w ? w->client.data() : nullptr;
        if (!client || !QAccessible::isActive()) return;
        if (caret != previous.caret) {
            QAccessibleTextCursorEvent event(client, caret);
            QAccessible::updateAccessibility(&event);
        }
        if (selectionStart != previous.selectionStart || selectionEnd != previous.selectionEnd) {
            QAccessibleTextSelectionEvent event(client, selectionStart, selectionEnd);
            QAccessible::updateAccessibility(&event);
        }
    });
}

void SetAccessibleDescription(HWND window, const WCHAR* description) {
    Window* w = WindowOf(window);
    // Qt announces a change of the widget's description itself.
    if (w && w->client) CallOrSkip([&] { w->client->setAccessibleDescription(FromUnits(description)); });
}

void SetAccessibleName(HWND window, const WCHAR* name) {
    Window* w = WindowOf(window);
    if (w && w->frame) CallOrSkip([&] { w->frame->setAccessibleName(FromUnits(name)); });
}
