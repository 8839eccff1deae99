// The print dialog and the preview come from a module the program loads when it
// first prints (it sits beside the test program in the build).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <string>

#include "platform/Print.h"
#include "platform/qt/QtApp.h"

namespace {

int CountPages(HDC dc, const PrintPageArea& area, void* context) {
    ++*(int*)context;
    return dc && area.width > 0 && area.height > 0 ? 0 : 1;
}

int CountChoicePages(HDC dc, const PrintPageArea& area, void* context, int) { return CountPages(dc, area, context); }

// Once the next modal window is up: what it says when it is a message box, else
// its class; then it is closed.
void CloseModalSoon(std::string* seen) {
    QTimer::singleShot(0, [seen] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* box = qobject_cast<QMessageBox*>(modal);
        *seen = box ? box->text().toStdString() : modal ? modal->metaObject()->className() : "nothing";
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    });
}

// The machines the tests run on have no printer installed.
TEST(PrintModule, TheDialogSaysThereIsNoPrinterAndThePreviewPaintsThePages) {
    EnsureQtApplication();
    PrintDocumentInfo info{u"Title", u"Author", u"Subject", PaperSize::A4};
    const WCHAR* choices[] = {u"This article"};
    int painted = 0;
    std::string seen;
    CloseModalSoon(&seen);
    EXPECT_EQ(ShowPrintDialog(nullptr, &info, choices, 1, CountChoicePages, &painted), 1);
    EXPECT_EQ(seen, "No printer is installed. The pages can still be written to a PDF file.");
    EXPECT_EQ(painted, 0);

    CloseModalSoon(&seen);
    ShowPrintPreview(nullptr, info, CountPages, &painted);
    EXPECT_EQ(seen, "QPrintPreviewDialog");
    EXPECT_GE(painted, 1);
}

}  // namespace
