// The File menu's printing: the print dialog, the preview and the PDF export, for
// the article the reader shows (or its selection) and the whole handbook.
#include <algorithm>
#include <string>

#include "../platform/Utf16.h"
#include "../shell/AppState.h"
#include "Print.h"

namespace {

// What the reader shows, on the locale's paper.
PrintRequest ReaderRequest(PrintScope scope) {
    PrintRequest request;
    request.scope = scope;
    request.article = gApp.currentArticle ? gApp.currentArticle : 1;
    request.font = gApp.fontSettings;
    request.paper = LocalePaperSize();
    const ArticleView* view = gApp.articleView;
    if (scope == PrintScope::Selection && view && HasSelection(view)) {
        request.selectionStart = view->selectionStart;
        request.selectionEnd = view->selectionEnd;
    }
    return request;
}

// The selection when there is one, else the article.
PrintScope ShownScope() {
    return gApp.articleView && HasSelection(gApp.articleView) ? PrintScope::Selection : PrintScope::Article;
}

void Report(HWND owner, const std::string& message) {
    std::u16string text = Utf8ToUtf16("Cannot print: " + message + ".");
    MessageBoxW(owner, text.c_str(), TEXT("Velun"), MB_OK | MB_ICONEXCLAMATION);
}

struct DialogJob {
    std::vector<PrintScope> scopes;  // by the dialog's choice
    std::string message;
};

int PaintChoice(HDC dc, const PrintPageArea& area, void* context, int choice) {
    auto* job = (DialogJob*)context;
    return PaintPrintRequest(dc, area, ReaderRequest(job->scopes[choice]), &job->message);
}

int PaintShown(HDC dc, const PrintPageArea& area, void* context) {
    return PaintPrintRequest(dc, area, ReaderRequest(ShownScope()), (std::string*)context);
}

}  // namespace

void PrintFromReader(HWND owner) {
    DialogJob job;
    std::vector<const WCHAR*> choices = {u"The current article"};
    job.scopes = {PrintScope::Article};
    if (ShownScope() == PrintScope::Selection) {
        choices.push_back(u"The selection");
        job.scopes.push_back(PrintScope::Selection);
    }
    choices.push_back(u"The whole handbook");
    job.scopes.push_back(PrintScope::Handbook);
    PrintDocumentInfo info = PrintInfoOf(ReaderRequest(PrintScope::Article));
    if (ShowPrintDialog(owner, info, choices.data(), (int)choices.size(), PaintChoice, &job) == 2) Report(owner, job.message);
}

void PreviewPrintFromReader(HWND owner) {
    std::string message;
    ShowPrintPreview(owner, PrintInfoOf(ReaderRequest(ShownScope())), PaintShown, &message);
    if (!message.empty()) Report(owner, message);
}

void ExportPdfFromReader(HWND owner) {
    PrintRequest request = ReaderRequest(ShownScope());
    std::u16string name = PrintInfoOf(request).title + u".pdf";
    std::replace(name.begin(), name.end(), u'/', u'-');
    std::string path = AskPdfPath(owner, name.c_str());
    if (path.empty()) return;
    std::string message;
    if (WritePrintPdf(path.c_str(), request, &message) != 0) Report(owner, message);
}
