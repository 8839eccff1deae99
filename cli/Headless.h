// Rendering without a window: `velun --render ARTICLE [options] --out FILE.png`
// lays out and paints through the same code as the window and writes a PNG;
// `velun --export ARTICLE [options] --out FILE` writes what Copy would copy.
#pragma once

#include <string>
#include <vector>

#include "../platform/Print.h"
#include "../views/Fonts.h"

struct HeadlessOptions;
constexpr int32_t kBaseNotGiven = 0;
typedef int (*HeadlessRender)(const HeadlessOptions& options);

struct HeadlessOptions {
    HeadlessRender render = nullptr;  // the kind of picture asked for
    int target = 0;                   // article number; 0 with --export all
    int width = 240;
    int height = 320;
    int topRow = 0;
    FontSettings font = {{}, 0, kBaseNotGiven};  // without --base: the base the window would use
    bool reverse = false;
    std::string out;
    int current = 0;                  // --render-index: the article the tree opens to
    std::vector<uint16_t> bookmarks;  // --render-index: the bookmark list, in order
    std::u16string search;            // --search: shown as Search Again shows a hit
    bool matchCase = false;
    bool wholeWord = false;
    bool rtf = false;      // --export: the RTF document instead of the Unicode text
    std::string appendTo;  // --export: the earlier clipboard contents, as Append extends them
    bool lfLineEnds = false;  // --export --line-ends lf: the text with LF alone, as the desktop pastes it
    bool night = false;               // --night: night reading colours
    bool pdf = false;                 // --export: the printed pages as a PDF file
    bool markdown = false;            // --export-notes: the notes as Markdown
    PaperSize paper = LocalePaperSize();
    bool paperGiven = false;
};

// True when the arguments ask for a picture instead of the reader.
bool IsHeadlessRequest(int argc, char** argv);
// One of the options above (the render kinds or their settings), by its exact name.
bool IsHeadlessOption(const char* argument);
// Fills the options; false with a one-line message for bad arguments.
bool ParseHeadlessOptions(int argc, char** argv, HeadlessOptions* options, std::string* error);
constexpr int kExitFailed = 1;
constexpr int kExitBadArguments = 2;

// Exit status: 0 written, 1 (kExitFailed) the picture or file could not be made,
// 2 (kExitBadArguments) bad arguments.
int RunHeadless(int argc, char** argv);

// The embedded article, or null after a line on stderr.
BYTE* LoadHeadlessArticle(int number);

int RenderArticlePicture(const HeadlessOptions& options);
// The index tree as the index dialog shows it on opening.
int RenderIndexPicture(const HeadlessOptions& options);
// The notes file's highlights and notes as a document (--format markdown, text or rtf).
int ExportNotesFile(const HeadlessOptions& options);
// What Copy (or Append) puts on the clipboard, written to the output file.
int ExportArticleFile(const HeadlessOptions& options);
// The printed pages of the article, or of every article, as a PDF file.
int ExportPdfFile(const HeadlessOptions& options);
// Not a picture: every hit of --search-all on standard output, one per line; 1
// (as grep) when there is none.
int PrintAllHits(const HeadlessOptions& options);
