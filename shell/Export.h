// Copying the current article to the clipboard, as Unicode text or as an RTF document.
#pragma once

#include <cstddef>

#include "../views/ArticleView.h"

// A Hebrew presentation form and its canonical decomposition (unused slots 0).
struct PresentationForm {
    uint16_t unit;
    uint16_t components[3];
};

// Offsets past any article's end: [0, kWholeArticle) is the whole article.
constexpr int kWholeArticle = 0x10000;

void ExportArticle(ArticleView* view, int append);
// Copy or Append for the part [start, end) of the view's article, in the same
// formats and by the same rules as the whole article.
void ExportPassage(ArticleView* view, int start, int end, int append);
// That part as Copy renders it, in a CheckedAlloc buffer the caller frees; null when
// memory is short or the rendering did not fit.
WCHAR* RenderArticleText(const BYTE* article, int start, int end);
// Bytes the plain-text rendering of an article may need, its 0 unit included.
size_t PlainTextSize(const BYTE* article);
// 0 when the rendering and its 0 unit fit size bytes, 1 (after a message) otherwise.
int RenderPlainText(const BYTE* article, WCHAR* buffer, size_t size);
// Without output: an upper bound of the body's bytes, its NUL included. With output:
// writes the body and its NUL and returns the body's length without the NUL.
size_t BuildRtfBody(const WCHAR* text, char* output);
const PresentationForm* FindPresentationForm(WCHAR unit);
// A copy of the clipboard's data in format, without its terminator; null when absent.
BYTE* GetClipboardCopy(UINT format, size_t* size);
void PutRtfOnClipboard(const WCHAR* text, int append);
void PutTextOnClipboard(const WCHAR* text, int append);
