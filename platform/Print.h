// Paper and PDF output: a document of pages painted through a DC, with the
// document's metadata, its outline (bookmarks) and link areas. The pages are
// painted by a callback so that the same painting serves a file, a printer and
// a preview. The header needs no Qt.
#pragma once

#include <string>

#include "win32.h"

enum class PaperSize { A4, Letter };

// The size the locale prints on (LC_PAPER, then LC_MEASUREMENT): Letter in the
// countries that use it, A4 elsewhere.
PaperSize LocalePaperSize();

struct PrintDocumentInfo {
    std::u16string title;
    std::u16string author;
    std::u16string subject;
    PaperSize paper = PaperSize::A4;
};

// A page as the painting sees it: device pixels at a resolution (pixels per inch),
// the whole sheet, origin at its top left corner.
struct PrintPageArea {
    int width;
    int height;
    int resolution;
};

// Paints every page on dc; NewPrintPage goes between pages. Returns 0, or non-zero
// to abandon the document (nothing is then printed or written).
typedef int (*PaintPrintPages)(HDC dc, const PrintPageArea& area, void* context);

// Starts the next page; false when the device cannot go on.
bool NewPrintPage(HDC dc);

// The text of a run as it reads, when that differs from the order it is drawn in
// (right-to-left text drawn in stored order); empty when it reads as drawn. PDF
// files carry it with the glyphs, so that their text is copied in reading order.
typedef std::u16string (*ReadingTextOf)(const WCHAR* drawn, int count);
void SetPrintReadingText(HDC dc, ReadingTextOf reading);

// An outline entry (bookmark) at a depth (0 at the top) going to a page (0-based).
// Entries come in document order; one is nested under the last shallower one.
void AddPrintOutlineEntry(HDC dc, const WCHAR* text, int depth, int page);
// A link area of a page (device pixels) going to another page (both 0-based).
void AddPrintLink(HDC dc, int page, const RECT& area, int targetPage);

// Writes the document as a PDF file: through a temporary file beside path that
// replaces path only when complete. 0 written; 1 the file could not be written
// (no file is left behind); 2 the painting gave up.
int WritePdfDocument(const char* path, const PrintDocumentInfo& info, PaintPrintPages paint, void* context);

// The desktop's print dialog, offering the choices (at most 3, the first checked)
// of what to print, each with its document's info; paint is called with the choice
// taken. 0 printed, 1 nothing printed (cancelled, no printer: the dialog said so),
// 2 the painting gave up.
int ShowPrintDialog(HWND owner, const PrintDocumentInfo* infos, const WCHAR* const* choices, int choiceCount,
                    int (*paint)(HDC dc, const PrintPageArea& area, void* context, int choice), void* context);
// A small dialog offering the same choices before a preview or a PDF file: the
// choice taken (0-based), -1 when cancelled.
int AskPrintChoice(HWND owner, const WCHAR* caption, const WCHAR* const* choices, int choiceCount);
// The pages in the desktop's preview window, printable from there.
void ShowPrintPreview(HWND owner, const PrintDocumentInfo& info, PaintPrintPages paint, void* context);
// The desktop's save dialog for a PDF file; empty when cancelled.
std::string AskPdfPath(HWND owner, const WCHAR* suggestedName);
