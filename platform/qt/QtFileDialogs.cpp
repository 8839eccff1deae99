// The desktop's own save and open dialogs.
#include <QFileDialog>

#include "../TestHooks.h"
#include "QtApp.h"
#include "QtWindow.h"

namespace {

QString FromUnits(const WCHAR* text) { return text ? QString::fromStdU16String(text) : QString(); }

std::string ShowQtFileDialog(HWND owner, bool save, const WCHAR* title, const WCHAR* suggestedName,
                             const WCHAR* filters, int* chosen) {
    EnsureQtApplication();
    QWidget* parent = owner ? WidgetOf(owner) : nullptr;
    QString filterList = FromUnits(filters), selected;
    QString path = save ? QFileDialog::getSaveFileName(parent, FromUnits(title), FromUnits(suggestedName), filterList,
                                                       &selected)
                        : QFileDialog::getOpenFileName(parent, FromUnits(title), QString(), filterList, &selected);
    if (chosen) *chosen = std::max<int>(0, (int)filterList.split(QStringLiteral(";;")).indexOf(selected));
    return path.toStdString();
}

}  // namespace

void InstallQtFileDialogs() { SetFileDialogShower(ShowQtFileDialog); }
