// The side panel's own controls: a tab strip over QTabBar, and a list over a model
// that asks the program for each row it shows.
#include <QAbstractListModel>
#include <QApplication>
#include <QGuiApplication>
#include <QListView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTabBar>

#include "../Panel.h"
#include "QtWindow.h"

const WCHAR kTabStripClass[] = u"TabStrip";
const WCHAR kRowListClass[] = u"RowList";

namespace {

constexpr int kRowCapacity = 256;

struct Row {
    QString text;
    bool heading = false;
};

class RowModel : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;
    void Reset(int count, RowTextSource source, void* context) {
        beginResetModel();
        count_ = source ? std::max(count, 0) : 0, source_ = source, context_ = context;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : count_; }
    Row RowAt(int row) const {
        WCHAR text[kRowCapacity];
        bool heading = false;
        int n = row < count_ ? source_(context_, row, text, kRowCapacity, &heading) : 0;
        return {QString::fromUtf16((const char16_t*)text, std::clamp(n, 0, kRowCapacity - 1)), heading};
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= count_ || (role != Qt::DisplayRole && role != Qt::FontRole))
            return QVariant();
        Row row = RowAt(index.row());
        if (role == Qt::DisplayRole) return row.text;
        if (!row.heading) return QVariant();
        QFont bold;
        bold.setBold(true);
        return bold;
    }

  private:
    int count_ = 0;
    RowTextSource source_ = nullptr;
    void* context_ = nullptr;
};

// Draws a row as the style's item delegate does for a row of text alone, asking
// for the row once and laying its text out twice (to elide it, to draw it): the
// style's own path lays each row out four times, which was most of a keystroke.
class RowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        Row row = static_cast<const RowModel*>(index.model())->RowAt(index.row());
        QStyleOptionViewItem item(option);
        item.font.setBold(row.heading);
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, widget);
        QPalette::ColorGroup group = !(item.state & QStyle::State_Enabled) ? QPalette::Disabled
                                     : (item.state & QStyle::State_Active) ? QPalette::Normal
                                                                           : QPalette::Inactive;
        bool selected = item.state & QStyle::State_Selected;
        int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        QRect area = item.rect.adjusted(margin, 0, -margin, 0);
        QTextOption layout(QStyle::visualAlignment(item.direction, Qt::AlignLeft | Qt::AlignVCenter));
        layout.setTextDirection(item.direction);
        layout.setWrapMode(QTextOption::NoWrap);
        painter->save();
        painter->setFont(item.font);
        painter->setPen(item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(QRectF(area), QFontMetrics(item.font).elidedText(row.text, Qt::ElideRight, area.width()),
                          layout);
        painter->restore();
        if (!(item.state & QStyle::State_HasFocus)) return;
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(item);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = item.palette.color(group == QPalette::Disabled ? group : QPalette::Normal,
                                                   selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
};

void Notify(HWND control, WORD code) {
    if (Window* w = WindowOf(control)) NotifyParent(w, code);
}

QWidget* MakeTabStrip(Window* w, QWidget* parent) {
    auto* tabs = new QTabBar(parent);
    tabs->setExpanding(false);
    tabs->setDrawBase(false);
    for (const QString& label : QString::fromUtf16(w->title.c_str()).split('\n')) tabs->addTab(label);
    HWND handle = w->handle;
    QObject::connect(tabs, &QTabBar::currentChanged, [handle] { Notify(handle, kTabChanged); });
    return tabs;
}

QWidget* MakeRowList(Window* w, QWidget* parent) {
    auto* list = new QListView(parent);
    list->setModel(new RowModel(list));
    list->setItemDelegate(new RowDelegate(list));
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideRight);
    HWND handle = w->handle;
    QObject::connect(list->selectionModel(), &QItemSelectionModel::currentRowChanged,
                     [handle] { Notify(handle, LBN_SELCHANGE); });
    QObject::connect(list, &QListView::activated, [handle] { Notify(handle, LBN_DBLCLK); });
    return list;
}

LRESULT CALLBACK PanelControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

template <typename T>
T* ControlOf(HWND window) {
    Window* w = WindowOf(window);
    return w ? qobject_cast<T*>(w->frame.data()) : nullptr;
}

}  // namespace

void RegisterPanelControls() {
    EnsureWindowLayer();
    RegisterDialogControls();
    RegisterBuiltinClass(kTabStripClass, PanelControlProc, MakeTabStrip);
    RegisterBuiltinClass(kRowListClass, PanelControlProc, MakeRowList);
}

void SelectTab(HWND strip, int index) {
    if (auto* tabs = ControlOf<QTabBar>(strip)) {
        QSignalBlocker quiet(tabs);
        tabs->setCurrentIndex(index);
    }
}

int SelectedTab(HWND strip) {
    auto* tabs = ControlOf<QTabBar>(strip);
    return tabs ? tabs->currentIndex() : -1;
}

void SetListRows(HWND list, int count, RowTextSource source, void* context) {
    auto* view = ControlOf<QListView>(list);
    if (!view) return;
    QSignalBlocker quiet(view->selectionModel());
    static_cast<RowModel*>(view->model())->Reset(count, source, context);
}

void SelectListRow(HWND list, int row) {
    auto* view = ControlOf<QListView>(list);
    if (!view) return;
    QSignalBlocker quiet(view->selectionModel());
    QModelIndex index = view->model()->index(row, 0);
    if (!index.isValid()) {
        view->clearSelection();
        return;
    }
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view->scrollTo(index);
    view->viewport()->update();
}

int CurrentListRow(HWND list) {
    auto* view = ControlOf<QListView>(list);
    return view && view->currentIndex().isValid() ? view->currentIndex().row() : -1;
}

void ShowSizingCursor(HWND window) {
    if (QWidget* widget = WidgetOf(window)) widget->setCursor(Qt::SizeHorCursor);
}

bool DesktopIsRightToLeft() {
    EnsureWindowLayer();
    return QGuiApplication::layoutDirection() == Qt::RightToLeft;
}
