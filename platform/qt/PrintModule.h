// What the reader asks of Qt Print Support: the print dialog and the preview. They
// live in a module of their own (print/PrintModule.cpp) that is loaded when the
// user first prints, so that starting the reader does not load that library.
#pragma once

#include <QPageSize>
#include <QString>

class QPagedPaintDevice;
class QPainter;
class QWidget;

struct PrintJob {
    QString creator;
    QPageSize pageSize;
    // The document's name when the print dialog opens, and after it was accepted.
    QString docName;
    QString (*chosenDocName)(void* context) = nullptr;
    // A tab of the print dialog (it takes ownership), or null.
    QWidget* options = nullptr;
    // Paints every page on the device's open painter; non-zero gives up.
    int (*paint)(QPagedPaintDevice& device, QPainter& painter, int resolution, void* context) = nullptr;
    void* context = nullptr;
};

// The module's entry points, by these names.
// kNoPrinter when no printer is installed, 1 cancelled, else 0 or 2 (the painting gave up).
constexpr int kNoPrinter = -1;
using PrintThroughDialogEntry = int (*)(QWidget* parent, const PrintJob& job);
using PrintPreviewEntry = void (*)(QWidget* parent, const PrintJob& job);
#define PRINT_DIALOG_ENTRY "PrintThroughDialog"
#define PRINT_PREVIEW_ENTRY "PrintPreview"
