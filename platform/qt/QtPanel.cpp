// The side panel's own controls: a tab strip over QTabBar, and a list over a model
// that asks the program for each row it shows.
#include <QAbstractListModel>
#include <QApplication>
#include <QGuiApplication>
#include <QListView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTabBar>

#include "../NoThrow.h"
#include "../Panel.h"
#include "QtFonts.h"
#include "QtSurface.h"
#include "QtWindow.h"

const WCHAR kTabStripClass[] = u"TabStrip";
const WCHAR kRowListClass[] = u"RowList";

namespace {

constexpr int kRowCapacity = 256;
constexpr WCHAR kEllipsis = 0x2026;

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
    // Asked for every row at each layout: without the base's virtual bounds checks.
    QModelIndex index(int row, int column, const QModelIndex& parent) const override {
        return row >= 0 && row < count_ && column == 0 && !parent.isValid() ? createIndex(row, 0) : QModelIndex();
    }
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

// Whether a row must go through Qt's text layout: right-to-left letters and marks
// need its bidi reordering (the reader's own glyphs are drawn in stored order),
// control characters its spacing, and characters beyond the first plane its
// choice of faces.
bool NeedsShaping(const QString& text) {
    for (QChar unit : text) {
        char16_t u = unit.unicode();
        if (u < 0x20 || (u >= 0x0590 && u <= 0x08FF) || (u >= 0xD800 && u <= 0xDFFF) || (u >= 0xFB1D && u <= 0xFDFF) ||
            (u >= 0xFE70 && u <= 0xFEFF) || u == 0x200F || u == 0x202B || u == 0x202E || u == 0x2067)
            return true;
    }
    return false;
}

// A row's units and the left edge of each (positions[count] is its end), cut with
// an ellipsis where they would pass the width: nothing when not even that fits.
struct FittedRow {
    WCHAR units[kRowCapacity + 1];
    int positions[kRowCapacity + 2];
    int count = 0;
};

void FitRow(QtRealFont& real, const QString& text, int width, FittedRow* row) {
    int n = std::min((int)text.size(), kRowCapacity - 1);
    std::copy_n(reinterpret_cast<const WCHAR*>(text.utf16()), n, row->units);
    int advances[kRowCapacity];
    GlyphAdvances(real, row->units, n, advances);
    row->positions[0] = 0;
    for (int i = 0; i < n; i++) row->positions[i + 1] = row->positions[i] + advances[i];
    row->count = n;
    if (row->positions[n] <= width) return;
    int ellipsis = GlyphOf(real, kEllipsis).advance, room = width - ellipsis;
    if (room < 0) {
        row->count = 0;
        return;
    }
    while (n > 0 && row->positions[n] > room) n--;
    row->units[n] = kEllipsis;
    row->positions[n + 1] = row->positions[n] + ellipsis;
    row->count = n + 1;
}

// Draws a left-to-right row with the glyphs and advances the article uses: no
// shaping, and one measuring pass that also elides.
void PaintOwnGlyphs(QPainter& painter, const QFont& font, const QString& text, const QRect& area, QColor colour) {
    LOGFONTW logFont = LogFontFromQFont(font);
    QtRealFont& real = RealiseFont(logFont);
    FittedRow row;
    FitRow(real, text, area.width(), &row);
    // The baseline where Qt's layout puts it: the face's unrounded line centred.
    const QRawFont& face = real.faces[0];
    int baseline = area.top() + (int)std::lround((area.height() - face.ascent() - face.descent()) / 2 + face.ascent());
    SurfaceTextRun run{&logFont, row.units, row.count, row.positions, area.left(), baseline - real.metrics.ascent,
                       nullptr, nullptr, RGB(colour.red(), colour.green(), colour.blue()), 0, nullptr};
    PaintRun(painter, run);
}

void PaintShaped(QPainter& painter, const QStyleOptionViewItem& item, const QString& text, const QRect& area) {
    QTextOption layout(QStyle::visualAlignment(item.direction, Qt::AlignLeft | Qt::AlignVCenter));
    layout.setTextDirection(item.direction);
    layout.setWrapMode(QTextOption::NoWrap);
    painter.setFont(item.font);
    painter.drawText(QRectF(area), QFontMetrics(item.font).elidedText(text, Qt::ElideRight, area.width()), layout);
}

// Draws a row as the style's item delegate does for a row of text alone, asking
// for the row once. Left-to-right rows are drawn with the reader's own glyphs:
// Qt's shaping, once to elide and once to draw, was most of a keystroke.
class RowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    // Qt's views are built without exceptions: one passing through them skips their
    // painters' destructors, so what memory running out throws stops here (the row
    // is left undrawn) and the painter's saved state is always given back.
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        CallOrSkip([&] { PaintRow(painter, option, index); });
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return CallOrFail(QSize(), [&] { return OneLineItem(option); });
    }

  private:
    static void PaintRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) {
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
        QColor colour = item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
        painter->save();
        painter->setPen(colour);
        CallOrSkip([&] {
            if (item.direction == Qt::LeftToRight && !NeedsShaping(row.text))
                PaintOwnGlyphs(*painter, item.font, row.text, area, colour);
            else
                PaintShaped(*painter, item, row.text, area);
        });
        painter->restore();
        if (!(item.state & QStyle::State_HasFocus)) return;
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(item);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = item.palette.color(group == QPalette::Disabled ? group : QPalette::Normal,
                                                   selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    // The style's item of one line: rows are cut to the list's width, so none is
    // measured (the base lays a whole row out at every layout).
    static QSize OneLineItem(const QStyleOptionViewItem& option) {
        QStyleOptionViewItem item(option);
        item.features = QStyleOptionViewItem::HasDisplay;
        item.text = QStringLiteral(" ");
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        return style->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), widget);
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
    // Per item, the scroll bar's range would be made from every row's position at
    // each layout; per pixel it is the rows' height.
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideRight);
    HWND handle = w->handle;
    QObject::connect(list->selectionModel(), &QItemSelectionModel::currentRowChanged,
                     [handle] { Notify(handle, LBN_SELCHANGE); });
    QObject::connect(list, &QListView::activated, [handle] { Notify(handle, LBN_DBLCLK); });
    QObject::connect(list, &QListView::clicked, [handle] { Notify(handle, kRowClicked); });
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
