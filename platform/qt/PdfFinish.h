// Finishing the PDF file Qt's writer made: what that writer has no call for
// (document metadata beyond the title, the outline, link annotations, and the
// reading order of runs drawn in another order) is added by rewriting the file.
// The header needs no Qt.
#pragma once

#include <string>
#include <vector>

#include "../win32.h"

// A run whose glyphs were drawn between two marker squares (see PdfMarkerY): its
// text as it reads.
struct PdfReadingSpan {
    std::u16string text;
};

struct PdfOutlineEntry {
    std::u16string text;
    int depth;
    int page;
};

struct PdfLink {
    int page;
    RECT area;  // device pixels
    int targetPage;
};

struct PdfExtras {
    std::u16string title, author, subject;
    int resolution = 600;  // device pixels per inch of the page's painter
    std::vector<PdfReadingSpan> spans;
    std::vector<PdfOutlineEntry> outline;
    std::vector<PdfLink> links;
};

// Marker squares are 1 x 1 pixel fills above the page at these heights; the x of
// the square is -(1 + the span's index).
constexpr int kPdfSpanStartY = -50001;
constexpr int kPdfSpanEndY = -50002;

// The finished file, or an empty string when the input is not as Qt writes it.
std::string FinishPdf(const std::string& pdf, const PdfExtras& extras);
