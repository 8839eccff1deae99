// Screen readers: a window's client area exposed through Qt's accessibility
// interfaces, as text (the article view) or as a tree (the index), from what the
// program publishes with SetAccessibleText and SetAccessibleTree.
#include <QAccessible>
#include <QAccessibleWidget>
#include <algorithm>
#include <map>
#include <vector>

#include "../Desktop.h"
#include "../NoThrow.h"
#include "QtWindow.h"

namespace {

struct TextData {
    QString name, visible, whole;
};

struct TreeNode {
    QString text;
    int parent;  // index of the parent node, -1 at the root
    bool expandable, expanded;
    QAccessible::Id id;
};

std::map<HWND, TextData> gTexts;
std::map<HWND, std::vector<TreeNode>> gTrees;

QString FromUnits(const WCHAR* text) { return text ? QString::fromUtf16((const char16_t*)text) : QString(); }

// A bar docked in a window shown as text (the command bar over the article) stands
// beside the text, as a child of the window's frame, not inside the text.
bool BesideText(const Window* bar) {
    return bar && bar->dock != Dock::None && bar->parent && !bar->parent->parent && bar->parent->frame &&
           gTexts.count(bar->parent->handle);
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

class TextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    TextAccessible(QWidget* widget, HWND window) : QAccessibleWidget(widget, QAccessible::StaticText), window_(window) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return Data().name;
        if (t == QAccessible::Value) return Data().visible;
        return QAccessibleWidget::text(t);
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    int childCount() const override { return (int)Children().size(); }
    QAccessibleInterface* child(int index) const override { return At(Children(), index); }
    int indexOfChild(const QAccessibleInterface* child) const override { return IndexIn(Children(), child); }
    // The caret stands where the shown lines begin, so reading goes on from there.
    int cursorPosition() const override { return std::max<qsizetype>(Data().whole.indexOf(Data().visible), 0); }
    QString text(int start, int end) const override { return Data().whole.mid(start, end - start); }
    int characterCount() const override { return (int)Data().whole.size(); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return QString();
    }

  private:
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

const std::vector<TreeNode>& NodesOf(HWND window) {
    static const std::vector<TreeNode> kNone;
    auto it = gTrees.find(window);
    return it == gTrees.end() ? kNone : it->second;
}

// The children of node `parent` (-1: the tree's own), in order.
std::vector<int> ChildrenOf(HWND window, int parent) {
    std::vector<int> children;
    const std::vector<TreeNode>& nodes = NodesOf(window);
    for (int i = 0; i < (int)nodes.size(); i++)
        if (nodes[i].parent == parent) children.push_back(i);
    return children;
}

QAccessibleInterface* NodeInterface(HWND window, int node) {
    const std::vector<TreeNode>& nodes = NodesOf(window);
    return node >= 0 && node < (int)nodes.size() ? QAccessible::accessibleInterface(nodes[node].id) : nullptr;
}

class TreeItemAccessible : public QAccessibleInterface {
  public:
    TreeItemAccessible(HWND window, int node) : window_(window), node_(node) {}
    bool isValid() const override { return node_ < (int)NodesOf(window_).size() && Widget(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return Widget() ? Widget()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        int p = Node().parent;
        return p < 0 ? QAccessible::queryAccessibleInterface(Widget()) : NodeInterface(window_, p);
    }
    QAccessibleInterface* child(int index) const override {
        std::vector<int> children = ChildrenOf(window_, node_);
        return index >= 0 && index < (int)children.size() ? NodeInterface(window_, children[index]) : nullptr;
    }
    int childCount() const override { return (int)ChildrenOf(window_, node_).size(); }
    int indexOfChild(const QAccessibleInterface* child) const override;
    QString text(QAccessible::Text t) const override { return t == QAccessible::Name ? Node().text : QString(); }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return QRect(); }
    QAccessible::Role role() const override { return QAccessible::TreeItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.expandable = Node().expandable;
        s.expanded = Node().expandable && Node().expanded;
        s.collapsed = Node().expandable && !Node().expanded;
        return s;
    }

  private:
    QWidget* Widget() const {
        Window* w = WindowOf(window_);
        return w ? w->client.data() : nullptr;
    }
    const TreeNode& Node() const { return NodesOf(window_)[node_]; }
    HWND window_;
    int node_;
};

int IndexOfNode(HWND window, int parent, const QAccessibleInterface* child) {
    std::vector<int> children = ChildrenOf(window, parent);
    for (int i = 0; i < (int)children.size(); i++)
        if (NodeInterface(window, children[i]) == child) return i;
    return -1;
}

int TreeItemAccessible::indexOfChild(const QAccessibleInterface* child) const {
    return IndexOfNode(window_, node_, child);
}

class TreeAccessible : public QAccessibleWidget {
  public:
    TreeAccessible(QWidget* widget, HWND window) : QAccessibleWidget(widget, QAccessible::Tree), window_(window) {}
    int childCount() const override { return (int)ChildrenOf(window_, -1).size(); }
    QAccessibleInterface* child(int index) const override {
        std::vector<int> roots = ChildrenOf(window_, -1);
        return index >= 0 && index < (int)roots.size() ? NodeInterface(window_, roots[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override { return IndexOfNode(window_, -1, child); }

  private:
    HWND window_;
};

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
        if (gTexts.count(w->handle)) return new TextAccessible(widget, w->handle);
        if (gTrees.count(w->handle)) return new TreeAccessible(widget, w->handle);
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

namespace {

// The client widget of a window, with any interface made before the window
// published anything dropped, so the next query finds ours.
QWidget* PublishingClient(HWND window, bool first) {
    InstallAccessibility();
    Window* w = WindowOf(window);
    QWidget* client = w ? w->client.data() : nullptr;
    if (client && first) {
        QAccessibleInterface* old = QAccessible::queryAccessibleInterface(client);
        if (old && !dynamic_cast<TextAccessible*>(old) && !dynamic_cast<TreeAccessible*>(old))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
    }
    return client;
}

void Announce(QWidget* client, QAccessible::Event type) {
    QAccessibleEvent event(client, type);
    QAccessible::updateAccessibility(&event);
}

}  // namespace

void SetAccessibleText(HWND window, const WCHAR* name, const WCHAR* visible, const WCHAR* whole) {
    CallOrSkip([&] {
        bool first = !gTexts.count(window);
        TextData next{FromUnits(name), FromUnits(visible), FromUnits(whole)};
        TextData previous = gTexts[window];
        gTexts[window] = next;
        QWidget* client = PublishingClient(window, first);
        if (!client) return;
        if (first || next.name != previous.name) Announce(client, QAccessible::NameChanged);
        if (first || next.whole != previous.whole) {
            QAccessibleTextUpdateEvent event(client, 0, previous.whole, next.whole);
            QAccessible::updateAccessibility(&event);
        }
        if (next.visible != previous.visible) {
            Announce(client, QAccessible::VisibleDataChanged);
            QAccessibleTextCursorEvent event(client, std::max<qsizetype>(next.whole.indexOf(next.visible), 0));
            QAccessible::updateAccessibility(&event);
        }
    });
}

void SetAccessibleTree(HWND window, const AccessibleTreeItem* items, int count) {
    CallOrSkip([&] {
        bool first = !gTrees.count(window);
        for (const TreeNode& node : gTrees[window]) QAccessible::deleteAccessibleInterface(node.id);
        std::vector<TreeNode>& nodes = gTrees[window];
        nodes.clear();
        // A line's parent is the nearest line before it that stands one level up.
        std::vector<int> open;
        for (int i = 0; i < count; i++) {
            int depth = std::max(items[i].depth, 0);
            if ((int)open.size() > depth) open.resize(depth);
            int parent = open.empty() ? -1 : open.back();
            nodes.push_back({FromUnits(items[i].text), parent, items[i].expandable, items[i].expanded, 0});
            open.push_back(i);
        }
        for (int i = 0; i < (int)nodes.size(); i++)
            nodes[i].id = QAccessible::registerAccessibleInterface(new TreeItemAccessible(window, i));
        if (QWidget* client = PublishingClient(window, first)) Announce(client, QAccessible::VisibleDataChanged);
    });
}

void SetAccessibleName(HWND window, const WCHAR* name) {
    Window* w = WindowOf(window);
    if (w && w->frame) CallOrSkip([&] { w->frame->setAccessibleName(FromUnits(name)); });
}
