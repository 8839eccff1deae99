// The real message box: a Qt message box run inside our own message loop, so
// the program's windows keep getting their messages while it is open.
#include <QMessageBox>
#include <QPointer>

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
