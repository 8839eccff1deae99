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

// What the File menu offers to print: the article, its selection when there is
// one, the whole handbook.
struct Choices {
    std::vector<const WCHAR*> names = {u"The current article"};
    std::vector<PrintScope> scopes = {PrintScope::Article};
    Choices() {
        if (ShownScope() == PrintScope::Selection) {
            names.push_back(u"The selection");
            scopes.push_back(PrintScope::Selection);
        }
        names.push_back(u"The whole handbook");
        scopes.push_back(PrintScope::Handbook);
    }
    int Count() const { return (int)names.size(); }
};

struct DialogJob {
    std::vector<PrintScope> scopes;  // by the dialog's choice
    std::string message;
};

int PaintChoice(HDC dc, const PrintPageArea& area, void* context, int choice) {
    auto* job = (DialogJob*)context;
    return PaintPrintRequest(dc, area, ReaderRequest(job->scopes[choice]), &job->message);
}

int PaintChosen(HDC dc, const PrintPageArea& area, void* context) {
    return PaintChoice(dc, area, context, 0);
}

// The scope taken in the choice dialog; false when cancelled.
bool AskScope(HWND owner, const WCHAR* caption, PrintScope* scope) {
    Choices choices;
    int choice = AskPrintChoice(owner, caption, choices.names.data(), choices.Count());
    if (choice < 0 || choice >= choices.Count()) return false;
    *scope = choices.scopes[choice];
    return true;
}

}  // namespace

void PrintFromReader(HWND owner) {
    Choices choices;
    DialogJob job = {choices.scopes, {}};
    std::vector<PrintDocumentInfo> infos;
    for (PrintScope scope : choices.scopes) infos.push_back(PrintInfoOf(ReaderRequest(scope)));
    if (ShowPrintDialog(owner, infos.data(), choices.names.data(), choices.Count(), PaintChoice, &job) == 2)
        Report(owner, job.message);
}

void PreviewPrintFromReader(HWND owner) {
    PrintScope scope;
    if (!AskScope(owner, u"Print Preview", &scope)) return;
    DialogJob job = {{scope}, {}};
    ShowPrintPreview(owner, PrintInfoOf(ReaderRequest(scope)), PaintChosen, &job);
    if (!job.message.empty()) Report(owner, job.message);
}

void ExportPdfFromReader(HWND owner) {
    PrintScope scope;
    if (!AskScope(owner, u"Export as PDF", &scope)) return;
    PrintRequest request = ReaderRequest(scope);
    std::u16string name = PrintInfoOf(request).title + u".pdf";
    std::replace(name.begin(), name.end(), u'/', u'-');
    std::string path = AskPdfPath(owner, name.c_str());
    if (path.empty()) return;
    std::string message;
    if (WritePrintPdf(path.c_str(), request, &message) != 0) Report(owner, message);
}
