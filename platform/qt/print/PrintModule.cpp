// The printer, its dialog and the preview: the reader's only users of Qt Print
// Support, loaded on first use (QtPrint.cpp).
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "../PrintModule.h"

namespace {

// The painter's origin is the sheet's corner: the page's margins are the painting's.
void ConfigurePrinter(QPrinter& printer, const PrintJob& job) {
    printer.setDocName(job.docName);
    printer.setCreator(job.creator);
    printer.setPageSize(job.pageSize);
    printer.setFullPage(true);
}

int PaintOn(QPrinter& printer, const PrintJob& job) {
    QPainter painter;
    if (!painter.begin(&printer)) return 1;
    int painted = job.paint(printer, painter, printer.resolution(), job.context);
    painter.end();
    return painted ? 2 : 0;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int PrintThroughDialog(QWidget* parent, const PrintJob& job) {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        delete job.options;
        return kNoPrinter;
    }
    QPrinter printer(QPrinter::HighResolution);
    ConfigurePrinter(printer, job);
    QPrintDialog dialog(&printer, parent);
    if (job.options) dialog.setOptionTabs({job.options});
    if (dialog.exec() != QDialog::Accepted) return 1;
    if (job.chosenDocName) printer.setDocName(job.chosenDocName(job.context));
    return PaintOn(printer, job);
}

extern "C" __attribute__((visibility("default"))) void PrintPreview(QWidget* parent, const PrintJob& job) {
    QPrinter printer(QPrinter::HighResolution);
    ConfigurePrinter(printer, job);
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&](QPrinter* target) { PaintOn(*target, job); });
    dialog.exec();
}
