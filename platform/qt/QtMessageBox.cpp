// The real message box: a Qt message box run inside our own message loop, so
// the program's windows keep getting their messages while it is open.
#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>
#include <QSpacerItem>
#include <QStyle>

#include "../TestHooks.h"
#include "QtWindow.h"

namespace {

QMessageBox::StandardButtons ButtonsOf(UINT type) {
    switch (type & 0xF) {
        case MB_OKCANCEL: return QMessageBox::Ok | QMessageBox::Cancel;
        case MB_YESNOCANCEL: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MB_YESNO: return QMessageBox::Yes | QMessageBox::No;
        default: return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(UINT type) {
    switch (type & 0xF0) {
        case MB_ICONHAND: return QMessageBox::Critical;
        case MB_ICONQUESTION: return QMessageBox::Question;
        case MB_ICONEXCLAMATION: return QMessageBox::Warning;
        case MB_ICONASTERISK: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

int AnswerOf(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Ok: return IDOK;
        case QMessageBox::Yes: return IDYES;
        case QMessageBox::No: return IDNO;
        default: return IDCANCEL;
    }
}

// Title bar room besides the caption, each about a title bar's height: the window
// icon, up to three buttons (some window managers draw minimise and maximise
// whatever a window asks for) and a margin on either side.
constexpr int kCaptionSlots = 6;

// The width the title bar needs to show the whole caption, in the bold face most
// window managers draw captions in.
int CaptionWidth(const QMessageBox* box) {
    QFont font = box->font();
    font.setBold(true);
    int slot = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return QFontMetrics(font).horizontalAdvance(box->windowTitle()) + kCaptionSlots * slot;
}

// A message box sizes itself to its text and buttons; a short text under a longer
// caption ("Not Found!" under the program's name) would cut the caption off, so a
// spacer across the box's grid keeps it at least as wide as the caption.
void FitCaption(QMessageBox* box) {
    auto* grid = qobject_cast<QGridLayout*>(box->layout());
    if (!grid) return;
    QMargins margins = grid->contentsMargins();
    int width = CaptionWidth(box) - margins.left() - margins.right();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
    // Fixed from the first map on: window managers that take the maximise button
    // away from windows that cannot be resized decide when the window appears.
    box->setFixedSize(box->sizeHint());
}

int ShowQtMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    EnsureWindowLayer();
    Window* o = WindowOf(owner);
    QWidget* parent = o && !o->remote ? o->frame.data() : nullptr;
    while (o && o->parent) o = o->parent, parent = o->frame.data();
    // A missing caption reads "Error", as on the platform.
    QString title = caption ? QString::fromUtf16(caption) : QStringLiteral("Error");
    QPointer<QMessageBox> box = new QMessageBox(IconOf(type), title, text ? QString::fromUtf16(text) : QString(),
                                                ButtonsOf(type), parent);
    box->setTextFormat(Qt::PlainText);
    box->setWindowFlags(kOwnedFrame);
    FitCaption(box);
    box->setWindowModality(Qt::ApplicationModal);
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->show();
    // The box also ends when its owner is destroyed meanwhile (its widget goes with it).
    RunModalLoop([&box, owner] { return !box || !box->isVisible() || (owner && !IsWindow(owner)); });
    if (!box) return IDCANCEL;
    int answer = AnswerOf(box->standardButton(box->clickedButton()));
    if ((type & 0xF) == MB_OK) answer = IDOK;
    box->hide();
    box->deleteLater();
    return answer;
}

}  // namespace

void InstallQtMessageBox() { SetMessageBoxShower(ShowQtMessageBox); }
