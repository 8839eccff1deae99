// Printing and PDF files: a surface painting on a printer's or a PDF writer's
// painter, the print dialog and the preview (through the print module), and the
// save dialog.
#include <QBuffer>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLibrary>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QGroupBox>
#include <QMessageBox>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "../GdiInternal.h"
#include "../ProgramIdentity.h"
#include "../Print.h"
#include "PdfFinish.h"
#include "PrintModule.h"
#include "QtApp.h"
#include "QtSurface.h"
#include "QtWindow.h"

namespace {

constexpr int kPdfResolution = 600;

// Paints on a printer's or a PDF writer's painter, which stays open for the whole
// document. For a PDF file it also collects what the file is finished with.
class PrintSurface : public QtSurface {
  public:
    // Measures as the screen's surface does; draws on the document's painter.
    PrintSurface(QPagedPaintDevice* device, QPainter* painter, int resolution)
        : QtSurface(nullptr, nullptr), device_(device), painter_(painter), resolution_(resolution) {}

    // Paper is white and has room around each cell: a white background is not
    // drawn, and no glyph is cut at its cell's edge.
    void DrawRun(const SurfaceTextRun& screenRun) override {
        SurfaceTextRun run = screenRun;
        run.clip = nullptr;
        if (run.background && run.backgroundColour == 0xFFFFFF) run.background = nullptr;
        std::u16string reading = reading_ && run.count > 0 ? reading_(run.text, run.count) : std::u16string();
        if (reading.empty()) {
            PaintRun(*painter_, run);
            return;
        }
        int span = (int)extras.spans.size();
        extras.spans.push_back({reading});
        Marker(span, kPdfSpanStartY);
        PaintRun(*painter_, run);
        Marker(span, kPdfSpanEndY);
    }
    void Fill(const RECT& rect, const GdiBrush& brush) override { PaintFill(*painter_, rect, brush); }
    void DrawRectangle(const RECT& rect, const GdiPen& pen, const GdiBrush& brush) override {
        PaintRectangle(*painter_, rect, pen, brush);
    }
    void Stretch(const RECT&, const GdiBitmap&, const RECT&) override {}
    int LogPixels() override { return resolution_; }

    bool NewPage() { return device_->newPage(); }
    void SetReading(ReadingTextOf reading) { reading_ = reading; }

    PdfExtras extras;

  private:
    // A square above the page that the finishing finds in the content stream.
    void Marker(int span, int y) {
        painter_->setClipping(false);
        painter_->fillRect(QRectF(-1 - span, y, 1, 1), Qt::white);
    }

    QPagedPaintDevice* device_;
    QPainter* painter_;
    int resolution_;
    ReadingTextOf reading_ = nullptr;
};

PrintSurface* PrintSurfaceOf(HDC dc) {
    GdiDC* record = DCOf(dc);
    return record ? dynamic_cast<PrintSurface*>(record->surface.get()) : nullptr;
}

QPageSize PageSizeOf(PaperSize paper) { return QPageSize(paper == PaperSize::Letter ? QPageSize::Letter : QPageSize::A4); }

PrintPageArea AreaOf(QPagedPaintDevice& device, int resolution) {
    QRect page = device.pageLayout().fullRectPixels(resolution);
    return {page.width(), page.height(), resolution};
}

// Paints the document on the device and keeps what a PDF file is finished with;
// the painting's result. The painter's origin is the sheet's corner: the page's
// margins are the painting's.
int PaintDocument(QPagedPaintDevice& device, QPainter& painter, int resolution,
                  int (*paint)(HDC, const PrintPageArea&, void*, int), void* context, int choice, PdfExtras* extras) {
    auto owned = std::make_unique<PrintSurface>(&device, &painter, resolution);
    PrintSurface* surface = owned.get();
    HDC dc = CreateSurfaceDC(std::move(owned));
    if (!dc) return 1;
    // The DC, and the surface with it, goes however the painting ends.
    struct DcKeeper {
        HDC dc;
        ~DcKeeper() { DeleteDC(dc); }
    } keeper{dc};
    int result = paint(dc, AreaOf(device, resolution), context, choice);
    if (extras) *extras = std::move(surface->extras);
    return result;
}

struct PlainPaint {
    PaintPrintPages paint;
    void* context;
};

int PaintWithoutChoice(HDC dc, const PrintPageArea& area, void* context, int) {
    auto* plain = (PlainPaint*)context;
    return plain->paint(dc, area, plain->context);
}

bool WriteAll(int fd, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += (size_t)n;
    }
    return true;
}

// Writes bytes through a temporary file beside path, renamed over it when whole.
// What is not a plain file (a device, a folder) is never replaced.
bool ReplaceFile(const char* path, const std::string& bytes) {
    struct stat existing;
    bool replacing = stat(path, &existing) == 0;
    if (replacing && !S_ISREG(existing.st_mode)) return false;
    std::string temporary = std::string(path) + ".XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) return false;
    // As a new file would be made (mkstemp makes it private), or as the one replaced.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, replacing ? existing.st_mode & 07777 : 0666 & ~mask);
    bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (written && rename(temporary.c_str(), path) == 0) return true;
    unlink(temporary.c_str());
    return false;
}

// The choices as radio buttons (at most 3, the first checked) in a box titled "Print".
QGroupBox* ChoiceBox(const WCHAR* const* choices, int choiceCount, std::vector<QRadioButton*>* buttons) {
    auto* box = new QGroupBox(QStringLiteral("Print"));
    auto* rows = new QVBoxLayout(box);
    for (int i = 0; i < choiceCount && i < 3; i++) {
        buttons->push_back(new QRadioButton(QString::fromStdU16String(choices[i])));
        rows->addWidget(buttons->back());
    }
    if (!buttons->empty()) (*buttons)[0]->setChecked(true);
    return box;
}

int CheckedChoice(const std::vector<QRadioButton*>& buttons) {
    for (size_t i = 0; i < buttons.size(); i++)
        if (buttons[i]->isChecked()) return (int)i;
    return 0;
}

// What the program's own message boxes are titled.
QString ProgramTitle() {
    const WCHAR* title = RegisteredProgram().windowTitle;
    return title ? QString::fromUtf16(title) : QString();
}

// The print module beside the program (in the build) or in the program's private
// library folder (installed); null, with a message shown, when it cannot be loaded.
QFunctionPointer PrintModuleEntry(QWidget* parent, const char* name) {
    static QLibrary sModule;
    if (!sModule.isLoaded()) {
        QString dir = QCoreApplication::applicationDirPath() + '/';
        for (const char* folder : {"", PRINT_MODULE_FOLDER "/"}) {
            sModule.setFileName(dir + folder + PRINT_MODULE_FILE);
            if (sModule.load()) break;
        }
    }
    QFunctionPointer entry = sModule.isLoaded() ? sModule.resolve(name) : nullptr;
    if (!entry)
        QMessageBox::warning(parent, ProgramTitle(), QStringLiteral("Printing is not available: ") + sModule.errorString());
    return entry;
}

// The printer's painting as the print module calls it back: the choice taken in the
// dialog names the document and is passed to the painting.
struct ChoicePaint {
    const PrintDocumentInfo* infos;
    std::vector<QRadioButton*> buttons;
    int choice = 0;
    int (*paint)(HDC, const PrintPageArea&, void*, int);
    void* context;
};

QString ChosenDocName(void* context) {
    auto* job = (ChoicePaint*)context;
    job->choice = CheckedChoice(job->buttons);
    return QString::fromStdU16String(job->infos[job->choice].title);
}

int PaintChoice(QPagedPaintDevice& device, QPainter& painter, int resolution, void* context) {
    auto* job = (ChoicePaint*)context;
    return PaintDocument(device, painter, resolution, job->paint, job->context, job->choice, nullptr);
}

int PaintPlain(QPagedPaintDevice& device, QPainter& painter, int resolution, void* context) {
    return PaintDocument(device, painter, resolution, PaintWithoutChoice, context, 0, nullptr);
}

PrintJob JobOf(const PrintDocumentInfo& info) {
    PrintJob job;
    job.docName = QString::fromStdU16String(info.title);
    job.creator = QString::fromStdU16String(info.author);
    job.pageSize = PageSizeOf(info.paper);
    return job;
}

}  // namespace

bool NewPrintPage(HDC dc) {
    PrintSurface* surface = PrintSurfaceOf(dc);
    return surface && surface->NewPage();
}

void SetPrintReadingText(HDC dc, ReadingTextOf reading) {
    if (PrintSurface* surface = PrintSurfaceOf(dc)) surface->SetReading(reading);
}

void AddPrintOutlineEntry(HDC dc, const WCHAR* text, int depth, int page) {
    if (PrintSurface* surface = PrintSurfaceOf(dc)) surface->extras.outline.push_back({text, depth, page});
}

void AddPrintLink(HDC dc, int page, const RECT& area, int targetPage) {
    if (PrintSurface* surface = PrintSurfaceOf(dc)) surface->extras.links.push_back({page, area, targetPage});
}

int WritePdfDocument(const char* path, const PrintDocumentInfo& info, PaintPrintPages paint, void* context) {
    EnsureQtApplication();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    PdfExtras extras;
    int painted = 1;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(QPageLayout(PageSizeOf(info.paper), QPageLayout::Portrait, QMarginsF()));
        writer.setTitle(QString::fromStdU16String(info.title));
        writer.setCreator(QString::fromStdU16String(info.author));
        QPainter painter;
        if (!painter.begin(&writer)) return 1;
        PlainPaint plain = {paint, context};
        painted = PaintDocument(writer, painter, kPdfResolution, PaintWithoutChoice, &plain, 0, &extras);
        painter.end();
    }
    if (painted) return 2;
    extras.title = info.title;
    extras.author = info.author;
    extras.subject = info.subject;
    extras.resolution = kPdfResolution;
    std::string pdf(buffer.data().constData(), (size_t)buffer.data().size());
    std::string finished = FinishPdf(pdf, extras);
    if (finished.empty()) return 1;
    return ReplaceFile(path, finished) ? 0 : 1;
}

int ShowPrintDialog(HWND owner, const PrintDocumentInfo* infos, const WCHAR* const* choices, int choiceCount,
                    int (*paint)(HDC, const PrintPageArea&, void*, int), void* context) {
    EnsureQtApplication();
    QWidget* parent = (owner ? WidgetOf(owner) : nullptr);
    auto print = (PrintThroughDialogEntry)PrintModuleEntry(parent, PRINT_DIALOG_ENTRY);
    if (!print) return 1;
    ChoicePaint choicePaint{infos, {}, 0, paint, context};
    PrintJob job = JobOf(infos[0]);
    job.options = ChoiceBox(choices, choiceCount, &choicePaint.buttons);
    job.chosenDocName = ChosenDocName;
    job.paint = PaintChoice;
    job.context = &choicePaint;
    int printed = print(parent, job);
    if (printed != kNoPrinter) return printed;
    QMessageBox::information(parent, ProgramTitle(),
                             QStringLiteral("No printer is installed. The pages can still be written to a PDF file."));
    return 1;
}

int AskPrintChoice(HWND owner, const WCHAR* caption, const WCHAR* const* choices, int choiceCount) {
    EnsureQtApplication();
    QDialog dialog(owner ? WidgetOf(owner) : nullptr);
    dialog.setWindowTitle(QString::fromStdU16String(caption));
    auto* layout = new QVBoxLayout(&dialog);
    std::vector<QRadioButton*> buttons;
    layout->addWidget(ChoiceBox(choices, choiceCount, &buttons));
    auto* okCancel = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(okCancel, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(okCancel, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(okCancel);
    if (dialog.exec() != QDialog::Accepted) return -1;
    return CheckedChoice(buttons);
}

void ShowPrintPreview(HWND owner, const PrintDocumentInfo& info, PaintPrintPages paint, void* context) {
    EnsureQtApplication();
    QWidget* parent = (owner ? WidgetOf(owner) : nullptr);
    auto preview = (PrintPreviewEntry)PrintModuleEntry(parent, PRINT_PREVIEW_ENTRY);
    if (!preview) return;
    PlainPaint plain = {paint, context};
    PrintJob job = JobOf(info);
    job.paint = PaintPlain;
    job.context = &plain;
    preview(parent, job);
}

std::string AskPdfPath(HWND owner, const WCHAR* suggestedName) {
    EnsureQtApplication();
    QString path = QFileDialog::getSaveFileName((owner ? WidgetOf(owner) : nullptr), QStringLiteral("Export as PDF"),
                                                QString::fromStdU16String(suggestedName),
                                                QStringLiteral("PDF files (*.pdf)"));
    if (!path.isEmpty() && !path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    return path.toStdString();
}
