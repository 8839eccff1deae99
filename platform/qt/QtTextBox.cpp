// The text of a multi-line edit: a preview held left to right, or a box the user
// writes in.
#include <QTextEdit>

#include "QtWindow.h"

namespace {

// A preview shows its text in stored order, left to right, so a Hebrew preview
// reads from the right like the device's; the override mark is only shown.
const QChar kLeftToRightOverride(0x202D);
// Absolute, or a paragraph taken as right-to-left would mirror it to the left.
const Qt::Alignment kEditRight = Qt::AlignRight | Qt::AlignAbsolute;

}  // namespace

// ES_WANTRETURN: a box the user writes in, each line in its own text's direction.
void SetMultiLineText(Window* w, QTextEdit* edit, const QString& text) {
    bool free = w->style & ES_WANTRETURN;
    edit->setTabChangesFocus(true);  // Tab goes on to the dialog's next control
    edit->setPlainText(free ? text : kLeftToRightOverride + text);
    if (!free) {
        edit->selectAll();
        edit->setAlignment(w->style & ES_RIGHT ? kEditRight : Qt::AlignLeft);
    }
    edit->moveCursor(free ? QTextCursor::End : QTextCursor::Start);
}

QString MultiLineText(const QTextEdit* edit) { return edit->toPlainText().remove(kLeftToRightOverride); }
