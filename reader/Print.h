// Printing and PDF: articles laid out and painted by the reader's own engine onto
// pages, with the article's title at each page's head, the page number at its
// foot, and the index as the document's outline.
#pragma once

#include <string>
#include <vector>

#include "../platform/Print.h"
#include "../views/ArticleView.h"

// What to put on paper.
enum class PrintScope { Article, Selection, Handbook };

struct PrintRequest {
    PrintScope scope = PrintScope::Article;
    int article = 1;                                 // Article and Selection
    uint16_t selectionStart = 0, selectionEnd = 0;   // Selection: article offsets [start, end)
    FontSettings font = {{}, 0, 97};                 // the reader's face and size
    PaperSize paper = PaperSize::A4;
};

// One page of an article: the rows from topRow that fill height pixels.
struct PrintPage {
    uint16_t topRow;
    int height;
};

// Breaks the lines [first, end) of a laid-out view into pages of bodyHeight
// pixels: no line is cut, a heading line never ends a page when a line follows it,
// and the blank row after a paragraph does not start a page. False when a line is
// taller than a page.
bool PlanPages(const ArticleView* view, int first, int end, int bodyHeight, std::vector<PrintPage>* pages);

// The reader's cell height in device pixels of a page: the screen's default size
// prints at about 10.5 pt, other sizes in proportion.
int32_t PrintFontSize(int32_t readerSize, int resolution);

// The text of a drawn run as it reads: right-to-left text drawn in stored order
// turned to reading order (as Copy exports it); empty when it reads as drawn.
std::u16string ReadingTextOfRun(const WCHAR* drawn, int count);

// Paints the request's pages on a print DC. 0, or 1 with a one-line message.
int PaintPrintRequest(HDC dc, const PrintPageArea& area, const PrintRequest& request, std::string* message);

// The document's title (the article's, or the handbook's), author and subject.
PrintDocumentInfo PrintInfoOf(const PrintRequest& request);

// Writes the request as a PDF file. 0 written; 1 with a one-line message.
int WritePrintPdf(const char* path, const PrintRequest& request, std::string* message);

// Cross-reference links of the page being painted: areas (device pixels) that go
// to the first page of an article. Links to articles not in the document are
// dropped when it ends. Called by the painting with the link scanner's areas.
struct PrintDocument;
void AddArticleLinks(PrintDocument* document, const RECT* areas, const int* articles, int count);

// The File menu's commands, each offering the current article, the selection
// when there is one, or the whole handbook: the print dialog, the preview, and the
// PDF export through a save dialog (a file like the command line's).
void PrintFromReader(HWND owner);
void PreviewPrintFromReader(HWND owner);
void ExportPdfFromReader(HWND owner);
