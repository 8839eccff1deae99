// cli/ holds the command-line faces: the entry, --help and --version, and the
// headless render, export and search-all. They call the program's folders and
// platform/, never a platform's implementation.
#include "Headless.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <new>
#include <cstdlib>
#include <cstring>

#include "../content/Content.h"
#include "../platform/Utf16.h"
#include "../platform/Picture.h"
#include "../shell/AppState.h"
#include "../shell/FontDialog.h"
#include "../shell/Export.h"
#include "../reader/FindAll.h"
#include "../reader/ReadingColumn.h"
#include "../reader/SearchRules.h"
#include "../shell/IndexDialog.h"
#include "../shell/MainWindow.h"
#include "../shell/Search.h"
#include "../shell/Settings.h"
#include "../views/Palette.h"

namespace {

constexpr int kMaxPictureSide = 8192;

// Whole decimal number in [low, high].
bool ParseNumber(const char* text, int low, int high, int* out) {
    if (!*text) return false;
    char* end = nullptr;
    errno = 0;
    long value = strtol(text, &end, 10);
    if (*end || errno || value < low || value > high) return false;
    *out = (int)value;
    return true;
}

bool SetArticle(HeadlessOptions& o, const char* value) {
    o.render = RenderArticlePicture;
    return ParseNumber(value, 1, kArticleCount, &o.target);
}

bool SetExport(HeadlessOptions& o, const char* value) {
    o.render = ExportArticleFile;
    o.target = 0;
    return strcmp(value, "all") == 0 || ParseNumber(value, 1, kArticleCount, &o.target);
}

bool SetFormat(HeadlessOptions& o, const char* value) {
    o.rtf = strcmp(value, "rtf") == 0;
    o.pdf = strcmp(value, "pdf") == 0;
    o.markdown = strcmp(value, "markdown") == 0;
    return o.rtf || o.pdf || o.markdown || strcmp(value, "text") == 0;
}

bool SetExportNotes(HeadlessOptions& o, const char*) {
    o.render = ExportNotesFile;
    return true;
}

bool SetPageSize(HeadlessOptions& o, const char* value) {
    o.paperGiven = true;
    o.paper = strcmp(value, "letter") == 0 ? PaperSize::Letter : PaperSize::A4;
    return o.paper == PaperSize::Letter || strcmp(value, "a4") == 0;
}

bool SetLineEnds(HeadlessOptions& o, const char* value) {
    o.lfLineEnds = strcmp(value, "lf") == 0;
    return o.lfLineEnds || strcmp(value, "crlf") == 0;
}

bool SetAppendTo(HeadlessOptions& o, const char* value) {
    o.appendTo = value;
    return !o.appendTo.empty();
}

bool SetIndex(HeadlessOptions& o, const char*) {
    o.render = RenderIndexPicture;
    return true;
}

bool SetCurrent(HeadlessOptions& o, const char* value) { return ParseNumber(value, 0, kArticleCount, &o.current); }

// A comma-separated list of article numbers.
bool SetBookmarks(HeadlessOptions& o, const char* value) {
    o.bookmarks.clear();
    for (const char* p = value;; p++) {
        const char* comma = strchr(p, ',');
        std::string item = comma ? std::string(p, comma - p) : std::string(p);
        int number = 0;
        if (!ParseNumber(item.c_str(), 1, kArticleCount, &number)) return false;
        o.bookmarks.push_back((uint16_t)number);
        if (!comma) return true;
        p = comma;
    }
}

bool SetSize(HeadlessOptions& o, const char* value) {
    const char* x = strchr(value, 'x');
    if (!x) return false;
    std::string width(value, x - value);
    return ParseNumber(width.c_str(), 1, kMaxPictureSide, &o.width) &&
           ParseNumber(x + 1, 1, kMaxPictureSide, &o.height);
}

bool SetTopRow(HeadlessOptions& o, const char* value) { return ParseNumber(value, 0, 0xFFFF, &o.topRow); }

bool SetFace(HeadlessOptions& o, const char* value) {
    std::u16string face = Utf8ToUtf16(value);
    if (face.size() > kMaxFaceNameUnits) return false;
    memset(o.font.faceName, 0, sizeof o.font.faceName);
    memcpy(o.font.faceName, face.data(), face.size() * sizeof(WCHAR));
    return true;
}

bool SetFontSize(HeadlessOptions& o, const char* value) { return ParseNumber(value, 0, 400, &o.font.size); }

bool SetBase(HeadlessOptions& o, const char* value) {
    int base = 0;
    if (!ParseNumber(value, 97, 1488, &base) || (base != 97 && base != 224 && base != 1488)) return false;
    o.font.FontAsciiBase = base;
    return true;
}

bool SetReverse(HeadlessOptions& o, const char*) {
    o.reverse = true;
    return true;
}

bool SetSearch(HeadlessOptions& o, const char* value) {
    o.search = Utf8ToUtf16(value);
    return !o.search.empty() && o.search.size() < kSearchStringSize;
}

bool SetSearchAll(HeadlessOptions& o, const char* value) {
    o.render = PrintAllHits;
    return SetSearch(o, value);
}

bool SetMatchCase(HeadlessOptions& o, const char*) {
    o.matchCase = true;
    return true;
}

bool SetWholeWord(HeadlessOptions& o, const char*) {
    o.wholeWord = true;
    return true;
}

bool SetNight(HeadlessOptions& o, const char*) {
    o.night = true;
    return true;
}

bool SetOut(HeadlessOptions& o, const char* value) {
    o.out = value;
    return !o.out.empty();
}

struct HeadlessOption {
    const char* name;
    const char* value;  // what the value looks like; null for a switch
    bool (*apply)(HeadlessOptions& options, const char* value);
};

// Render kinds and their settings; a new kind is one more entry and one render function.
const HeadlessOption kOptions[] = {
    {"--render", "ARTICLE (1 to 187)", SetArticle},
    {"--render-index", nullptr, SetIndex},
    {"--current", "ARTICLE (0 to 187)", SetCurrent},
    {"--bookmarks", "ARTICLE,ARTICLE,... (1 to 187)", SetBookmarks},
    {"--size", "WIDTHxHEIGHT", SetSize},
    {"--top-row", "N (0 to 65535)", SetTopRow},
    {"--font-face", "NAME (at most 31 characters)", SetFace},
    {"--font-size", "N (0 to 400)", SetFontSize},
    {"--base", "97, 224 or 1488", SetBase},
    {"--reverse", nullptr, SetReverse},
    {"--search", "TEXT (1 to 33 characters)", SetSearch},
    {"--search-all", "TEXT (1 to 33 characters)", SetSearchAll},
    {"--match-case", nullptr, SetMatchCase},
    {"--whole-word", nullptr, SetWholeWord},
    {"--export", "ARTICLE (1 to 187) or all", SetExport},
    {"--export-notes", nullptr, SetExportNotes},
    {"--format", "text, rtf, pdf or markdown", SetFormat},
    {"--page-size", "a4 or letter", SetPageSize},
    {"--append-to", "FILE", SetAppendTo},
    {"--line-ends", "crlf or lf", SetLineEnds},
    {"--night", nullptr, SetNight},
    {"--out", "FILE", SetOut},
};

std::string RtfBaseError(const HeadlessOptions& o) {
    // Notes quote Hebrew as Unicode whatever the base.
    if (!o.rtf || IsUnicodeHebrewBase(o.font.FontAsciiBase) || o.render == ExportNotesFile) return "";
    return "--format rtf needs --base 1488: Copy puts RTF only with Unicode Hebrew";
}

// Without --base, the base the window would use: the stored one, or on a first run
// the one the face suggests.
int32_t WindowBase(const FontSettings& font) {
    gApp.fontSettings = font;
    gApp.fontSettings.FontAsciiBase = ReadSetting(TEXT("FontAsciiBase"), 97);
    ChooseFirstRunBase();
    return gApp.fontSettings.FontAsciiBase;
}

// The article inside the margin the window keeps around it at this size: the stored
// one, or the one fitted to the width; a direction too small for it has none.
RECT ViewInsideMargin(HDC dc, int width, int height) {
    int32_t stored = RegReadNumber(kVendorKey, TEXT("SurroundingGutter"), kGutterAbsent);
    int g = stored == kGutterAbsent ? FittedGutter(dc, width) : std::clamp<int32_t>(stored, 0, kMaxPictureSide);
    EraseViewRect(dc, 0, 0, width, height);
    RECT r = {0, 0, width, height};
    if (width > 2 * g) r.left = g, r.right = width - g;
    if (height > 2 * g) r.top = g, r.bottom = height - g;
    return r;
}

const HeadlessOption* FindOption(const char* name) {
    for (const HeadlessOption& option : kOptions)
        if (strcmp(option.name, name) == 0) return &option;
    return nullptr;
}

bool IsRenderKind(const HeadlessOption* option) {
    return option && (option->apply == SetArticle || option->apply == SetIndex || option->apply == SetExport ||
                      option->apply == SetSearchAll || option->apply == SetExportNotes);
}

// Search Again from the article: FindNext paints the hit and the title box, or
// reports "Not Found!" (on stderr, as no window layer is up).
bool ShowSearchHit(ArticleView* view, const HeadlessOptions& options) {
    SetSearchString(options.search.c_str(), (int)options.search.size());
    gApp.currentArticle = (uint16_t)options.target;
    gApp.articleView = view;
    bool found = FindNext(nullptr) == 1;
    gApp.articleView = nullptr;
    return found;
}

}  // namespace

bool IsHeadlessOption(const char* argument) { return FindOption(argument) != nullptr; }

bool IsHeadlessRequest(int argc, char** argv) {
    for (int i = 1; i < argc; i++)
        if (IsRenderKind(FindOption(argv[i]))) return true;
    return false;
}

bool ParseHeadlessOptions(int argc, char** argv, HeadlessOptions* options, std::string* error) {
    for (int i = 1; i < argc; i++) {
        const HeadlessOption* option = FindOption(argv[i]);
        if (!option) {
            *error = std::string("unknown argument '") + argv[i] + "'";
            return false;
        }
        const char* value = "";
        if (option->value) {
            if (i + 1 >= argc) {
                *error = std::string(option->name) + " needs " + option->value;
                return false;
            }
            value = argv[++i];
        }
        if (!option->apply(*options, value)) {
            *error = std::string(option->name) + " needs " + option->value + ", not '" + value + "'";
            return false;
        }
    }
    if (options->pdf && options->render == ExportArticleFile) options->render = ExportPdfFile;
    bool notes = options->render == ExportNotesFile;
    if (!options->render) *error = "nothing to render";
    else if (options->render == ExportArticleFile && !options->target) *error = "--export all needs --format pdf";
    else if (notes && options->pdf) *error = "--export-notes writes markdown, text or rtf";
    else if (!notes && options->markdown) *error = "--format markdown is for --export-notes";
    else if (options->paperGiven && !options->pdf) *error = "--page-size needs --format pdf";
    else if (options->pdf && !options->appendTo.empty()) *error = "--append-to cannot extend a PDF file";
    else if (options->out.empty() && options->render != PrintAllHits) *error = "--out FILE is missing";
    else if (options->font.FontAsciiBase != kBaseNotGiven) *error = RtfBaseError(*options);
    return error->empty();
}

namespace {

int RunHeadlessOptions(int argc, char** argv) {
    HeadlessOptions options;
    std::string error;
    if (!ParseHeadlessOptions(argc, argv, &options, &error)) {
        fprintf(stderr, "velun: %s\n", error.c_str());
        return kExitBadArguments;
    }
    ResetAppState();
    gApp.instance = GetModuleHandleW(nullptr);
    if (options.font.FontAsciiBase == kBaseNotGiven) {
        options.font.FontAsciiBase = WindowBase(options.font);
        error = RtfBaseError(options);
        if (!error.empty()) {
            fprintf(stderr, "velun: %s\n", error.c_str());
            return kExitBadArguments;
        }
    }
    gApp.fontSettings = options.font;
    gApp.Flags = options.reverse ? kDefaultFlags | kFlagReverse : kDefaultFlags & ~kFlagReverse;
    if (options.matchCase) gApp.Flags |= kFlagMatchCase;
    SetWholeWordSearch(options.wholeWord);
    gNightReading = options.night;
    return options.render(options);
}

}  // namespace

// The options and file names are strings: without memory for them the face ends
// with a message; the renderers free what they hold on their own failures.
int RunHeadless(int argc, char** argv) {
    try {
        return RunHeadlessOptions(argc, argv);
    } catch (const std::bad_alloc&) {
        fprintf(stderr, "velun: not enough memory\n");
        return kExitFailed;
    }
}

BYTE* LoadHeadlessArticle(int number) {
    int status = 0;
    BYTE* article = LoadContent(number, &status);
    if (!article) fprintf(stderr, "velun: article %d cannot be loaded (status %d)\n", number, status);
    return article;
}

int RenderArticlePicture(const HeadlessOptions& options) {
    BYTE* article = LoadHeadlessArticle(options.target);
    if (!article) return kExitFailed;
    HDC dc = CreatePictureDC(options.width, options.height);
    RECT rect = dc ? ViewInsideMargin(dc, options.width, options.height) : RECT{};
    ArticleView* view = dc ? CreateArticleView(dc, &rect, &gApp.fontSettings, kViewCapacity) : nullptr;
    if (!view) {
        free(article);
        if (dc) DestroyPictureDC(dc);
        fprintf(stderr, "velun: not enough memory for a %dx%d picture\n", options.width, options.height);
        return kExitFailed;
    }
    // The column and spacing stored for the window.
    LoadReadingColumn();
    FitReadingColumn(view);
    LayoutArticle(view, article, TRUE);
    view->topRow = (uint16_t)options.topRow;
    bool shown = true;
    if (options.search.empty()) {
        PaintArticleView(view, TRUE);
    } else {
        shown = ShowSearchHit(view, options);
    }
    bool written = shown && WritePicturePng(dc, options.out.c_str());
    DestroyArticleView(view, TRUE);
    DestroyPictureDC(dc);
    if (!shown) return kExitFailed;
    if (!written) {
        fprintf(stderr, "velun: cannot write %s\n", options.out.c_str());
        return kExitFailed;
    }
    return 0;
}

int RenderIndexPicture(const HeadlessOptions& options) {
    gApp.bookmarkCount = (uint16_t)options.bookmarks.size();
    gApp.bookmarkList = (uint16_t*)calloc(options.bookmarks.size() + 1, sizeof(uint16_t));
    if (gApp.bookmarkList) std::copy(options.bookmarks.begin(), options.bookmarks.end(), gApp.bookmarkList);
    LoadIndexIcons();
    HDC dc = CreatePictureDC(options.width, options.height);
    RECT rect = {0, 0, options.width, options.height};
    IndexView* view = dc ? OpenIndexTree(dc, &rect, &gApp.fontSettings, options.current) : nullptr;
    PaintIndexView(view, TRUE);
    bool written = view && WritePicturePng(dc, options.out.c_str());
    DestroyIndexView(view, TRUE);
    if (dc) DestroyPictureDC(dc);
    FreeIndexIcons();
    free(gApp.bookmarkList);
    gApp.bookmarkList = nullptr;
    if (!written) {
        fprintf(stderr, "velun: cannot write %s\n", options.out.c_str());
        return kExitFailed;
    }
    return 0;
}

namespace {

// One line per hit: article, offset, title and the text around the hit, tab-separated.
void PrintHit(const FoundHit& hit, void*) {
    printf("%d\t%d\t%s\t%s\n", hit.article, hit.offset, Utf16ToUtf8(hit.title->c_str()).c_str(),
           Utf16ToUtf8(hit.context).c_str());
}

}  // namespace

int PrintAllHits(const HeadlessOptions& options) {
    SetSearchString(options.search.c_str(), (int)options.search.size());
    try {
        return FindAllHits(PrintHit, nullptr) ? 0 : kExitFailed;
    } catch (const std::bad_alloc&) {
        fprintf(stderr, "velun: not enough memory\n");
        return kExitFailed;
    }
}
