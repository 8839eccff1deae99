// Screen readers: a window's client area as a tree of the items the program
// publishes (the index), whose item with the keyboard's mark is focused and
// selected, with boxes on the screen and actions carried out by the program.
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QMetaObject>
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "../Desktop.h"
#include "../NoThrow.h"
#include "QtAccessible.h"
#include "QtWindow.h"

namespace {

struct TreeNode {
    QString text;
    int parent;  // index of the parent node, -1 at the root; the depth is told by the nesting
    bool expandable, expanded, focused;
    RECT box;
};

struct Tree {
    std::vector<TreeNode> nodes;
    std::vector<QAccessible::Id> ids;  // one interface per node index, kept while the index exists
    int focused = -1;
    bool published = false;
    void (*act)(HWND, int, TreeAction) = nullptr;
};

std::map<HWND, Tree> gTrees;

const Tree* TreeOf(HWND window) {
    auto it = gTrees.find(window);
    return it == gTrees.end() ? nullptr : &it->second;
}

int NodeCount(HWND window) {
    const Tree* tree = TreeOf(window);
    return tree ? (int)tree->nodes.size() : 0;
}

// The children of node `parent` (-1: the tree's own), in order.
std::vector<int> ChildrenOf(HWND window, int parent) {
    std::vector<int> children;
    if (const Tree* tree = TreeOf(window))
        for (int i = 0; i < (int)tree->nodes.size(); i++)
            if (tree->nodes[i].parent == parent) children.push_back(i);
    return children;
}

QAccessibleInterface* NodeInterface(HWND window, int node) {
    const Tree* tree = TreeOf(window);
    bool known = tree && node >= 0 && node < (int)tree->nodes.size() && node < (int)tree->ids.size();
    return known ? QAccessible::accessibleInterface(tree->ids[node]) : nullptr;
}

int IndexOfNode(HWND window, int parent, const QAccessibleInterface* child) {
    std::vector<int> children = ChildrenOf(window, parent);
    for (int i = 0; i < (int)children.size(); i++)
        if (NodeInterface(window, children[i]) == child) return i;
    return -1;
}

QWidget* ClientOf(HWND window) {
    Window* w = WindowOf(window);
    return w ? w->client.data() : nullptr;
}

const QString kExpand = QStringLiteral("expand"), kCollapse = QStringLiteral("collapse"),
              kActivate = QStringLiteral("activate");

class TreeItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    TreeItemAccessible(HWND window, int node) : window_(window), node_(node) {}
    bool isValid() const override { return node_ < NodeCount(window_) && ClientOf(window_); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return ClientOf(window_) ? ClientOf(window_)->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        int p = Node().parent;
        return p < 0 ? QAccessible::queryAccessibleInterface(ClientOf(window_)) : NodeInterface(window_, p);
    }
    QAccessibleInterface* child(int index) const override {
        std::vector<int> children = ChildrenOf(window_, node_);
        return index >= 0 && index < (int)children.size() ? NodeInterface(window_, children[index]) : nullptr;
    }
    int childCount() const override { return (int)ChildrenOf(window_, node_).size(); }
    int indexOfChild(const QAccessibleInterface* child) const override { return IndexOfNode(window_, node_, child); }
    QString text(QAccessible::Text t) const override { return t == QAccessible::Name ? Node().text : QString(); }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return ScreenBox(window_, Node().box); }
    QAccessible::Role role() const override { return QAccessible::TreeItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        const TreeNode& node = Node();
        s.expandable = node.expandable;
        s.expanded = node.expandable && node.expanded;
        s.collapsed = node.expandable && !node.expanded;
        s.focusable = s.selectable = true;
        s.focused = s.selected = node.focused;
        s.invisible = s.offscreen = node.box.right <= node.box.left;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override {
        const TreeNode& node = Node();
        if (!node.expandable) return {kActivate};
        return {node.expanded ? kCollapse : kExpand, kActivate};
    }
    QString localizedActionName(const QString& name) const override { return name; }
    QString localizedActionDescription(const QString& name) const override { return name; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    // Carried out once the screen reader's call has returned: choosing a line may
    // close the window and this item with it.
    void doAction(const QString& name) override {
        const Tree* tree = TreeOf(window_);
        if (!tree || !tree->act || !actionNames().contains(name)) return;
        TreeAction action = name == kExpand ? TreeAction::Expand
                            : name == kCollapse ? TreeAction::Collapse : TreeAction::Activate;
        HWND window = window_;
        int node = node_;
        auto act = tree->act;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [=] { CallOrSkip([&] { if (TreeOf(window)) act(window, node, action); }); },
            Qt::QueuedConnection);
    }

  private:
    const TreeNode& Node() const { return TreeOf(window_)->nodes[node_]; }
    HWND window_;
    int node_;
};

class TreeAccessible : public QAccessibleWidget {
  public:
    TreeAccessible(QWidget* widget, HWND window) : QAccessibleWidget(widget, QAccessible::Tree), window_(window) {}
    int childCount() const override { return (int)ChildrenOf(window_, -1).size(); }
    QAccessibleInterface* child(int index) const override {
        std::vector<int> roots = ChildrenOf(window_, -1);
        return index >= 0 && index < (int)roots.size() ? NodeInterface(window_, roots[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override { return IndexOfNode(window_, -1, child); }
    // Named by its window's title unless named apart.
    QString text(QAccessible::Text t) const override {
        QString own = QAccessibleWidget::text(t);
        return t == QAccessible::Name && own.isEmpty() ? widget()->window()->windowTitle() : own;
    }
    QAccessibleInterface* focusChild() const override {
        const Tree* tree = TreeOf(window_);
        return tree ? NodeInterface(window_, tree->focused) : nullptr;
    }

  private:
    HWND window_;
};

// The item with the mark is focused for the listener, and selected.
void AnnounceFocus(HWND window, int node) {
    QAccessibleInterface* item = NodeInterface(window, node);
    if (!item) return;
    QAccessibleEvent focus(item, QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
    QAccessibleEvent selection(item, QAccessible::Selection);
    QAccessible::updateAccessibility(&selection);
}

}  // namespace

QAccessibleInterface* MakeTreeInterface(QWidget* client, HWND window) { return new TreeAccessible(client, window); }
bool IsTreeInterface(QAccessibleInterface* face) { return dynamic_cast<TreeAccessible*>(face) != nullptr; }
bool IsPublishedTree(HWND window) {
    const Tree* tree = TreeOf(window);
    return tree && tree->published;
}

void SetAccessibleTree(HWND window, const AccessibleTreeItem* items, int count) {
    CallOrSkip([&] {
        Tree& tree = gTrees[window];
        bool first = !tree.published;
        tree.published = true;
        // The registered items are what there is to take away or add to: a publishing
        // cut short by memory running out may have left fewer nodes than items.
        int before = (int)tree.ids.size();
        tree.nodes.clear();
        int focused = -1;
        // A line's parent is the nearest line before it that stands one level up.
        std::vector<int> open;
        for (int i = 0; i < count; i++) {
            int depth = std::max(items[i].depth, 0);
            if ((int)open.size() > depth) open.resize(depth);
            int parent = open.empty() ? -1 : open.back();
            tree.nodes.push_back({FromUnits(items[i].text), parent, items[i].expandable,
                                  items[i].expanded, items[i].focused, items[i].box});
            if (items[i].focused) focused = i;
            open.push_back(i);
        }
        // Items keep their interfaces by place; only those past the new end go.
        for (int i = count; i < before; i++)
            if (tree.ids[i]) QAccessible::deleteAccessibleInterface(tree.ids[i]);
        tree.ids.resize(count);  // new places hold 0 until registered
        for (int i = 0; i < count; i++) {
            if (tree.ids[i]) continue;
            std::unique_ptr<TreeItemAccessible> item(new TreeItemAccessible(window, i));
            tree.ids[i] = QAccessible::registerAccessibleInterface(item.get());
            item.release();  // Qt's from here on
        }
        QWidget* client = PublishingClient(window, first);
        if (!client) return;
        QAccessibleEvent changed(client, QAccessible::VisibleDataChanged);
        QAccessible::updateAccessibility(&changed);
        if (focused != tree.focused || count != before) {
            tree.focused = focused;
            AnnounceFocus(window, focused);
        }
    });
}

void SetAccessibleTreeAction(HWND window, void (*act)(HWND window, int item, TreeAction action)) {
    CallOrSkip([&] { gTrees[window].act = act; });
}
