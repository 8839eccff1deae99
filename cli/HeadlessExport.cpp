// `velun --export ARTICLE [--format text|rtf] [--append-to FILE] [--line-ends crlf|lf]
// --out FILE`: what Copy, or Append to what FILE holds, puts on the clipboard,
// written to a file: the Unicode text as UTF-8 (CR LF line ends, as the clipboard
// holds it, unless LF is asked for), the RTF document as its bytes. `--format pdf`
// writes the printed pages instead, of one article or of all. `velun --export-notes`
// writes the notes as a document.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "../platform/Utf16.h"
#include "../reader/NotesAnchor.h"
#include "../reader/NotesExport.h"
#include "../reader/NotesFile.h"
#include "../reader/Print.h"
#include "../shell/AppState.h"
#include "../shell/Export.h"
#include "Headless.h"

namespace {

// Append reads the earlier document whole; no clipboard holds more than this.
constexpr size_t kMaxAppendBytes = 64u << 20;

// False with a line of explanation when the file cannot be read whole.
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
    // Closed also when the strings find no memory.
    std::unique_ptr<FILE, decltype(&fclose)> file(fopen(path.c_str(), "rb"), fclose);
    if (!file) {
        *error = "cannot read " + path + ": " + strerror(errno);
        return false;
    }
    char chunk[1 << 16];
    size_t n;
    while (bytes->size() <= kMaxAppendBytes && (n = fread(chunk, 1, sizeof chunk, file.get())) > 0)
        bytes->append(chunk, n);
    if (ferror(file.get())) *error = "cannot read " + path;
    else if (bytes->size() > kMaxAppendBytes) *error = path + " is larger than the 64 MiB Append takes";
    return error->empty();
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && written;
}

// The clipboard block in the file's form; false when it could not be made.
bool ExportedBytes(const ArticleRange& range, const WCHAR* text, const HeadlessOptions& options,
                   const std::string& old, std::string* out) {
    HLOCAL block = nullptr;
    bool made = false;
    // The block is freed also when the strings find no memory.
    try {
        // As from the clipboard, the earlier text or document ends at its first NUL.
        std::string before = old.substr(0, strnlen(old.data(), old.size()));
        if (options.rtf) {
            block = BuildRtfBlock(range, text, (const BYTE*)before.data(), before.size());
            if (block) *out = (const char*)block;
        } else {
            std::u16string oldText = Utf8ToUtf16(before);
            block = BuildTextBlock(text, (const BYTE*)oldText.data(), oldText.size() * sizeof(char16_t));
            if (block && options.lfLineEnds) *out = Utf16ToUtf8((const WCHAR*)WithLfLineEnds((const WCHAR*)block).c_str());
            else if (block) *out = Utf16ToUtf8((const WCHAR*)block);
        }
        made = block != nullptr;
    } catch (const std::bad_alloc&) {
        out->clear();
    }
    LocalFree(block);
    return made;
}

}  // namespace

int ExportArticleFile(const HeadlessOptions& options) {
    std::string old, error;
    if (!options.appendTo.empty() && !ReadWholeFile(options.appendTo, &old, &error)) {
        fprintf(stderr, "velun: %s\n", error.c_str());
        return kExitFailed;
    }
    BYTE* article = LoadHeadlessArticle(options.target);
    if (!article) return kExitFailed;
    ArticleRange range = WholeArticle(article);
    WCHAR* text = RenderExportText(range);
    std::string bytes;
    bool made = text && ExportedBytes(range, text, options, old, &bytes);
    free(text);
    free(article);
    if (!made) {
        fprintf(stderr, "velun: article %d cannot be exported\n", options.target);
        return kExitFailed;
    }
    if (!WriteWholeFile(options.out, bytes)) {
        fprintf(stderr, "velun: cannot write %s\n", options.out.c_str());
        return kExitFailed;
    }
    return 0;
}

int ExportPdfFile(const HeadlessOptions& options) {
    PrintRequest request;
    request.scope = options.target ? PrintScope::Article : PrintScope::Handbook;
    request.article = options.target ? options.target : 1;
    request.font = gApp.fontSettings;
    request.paper = options.paper;
    std::string message;
    if (WritePrintPdf(options.out.c_str(), request, &message) == 0) return 0;
    fprintf(stderr, "velun: %s\n", message.c_str());
    return kExitFailed;
}

// The file the reader keeps is only read: a damaged one is left where it is.
int ExportNotesFile(const HeadlessOptions& options) {
    std::string path = NotesFilePath(), text, why, document;
    std::vector<Note> notes;
    int read = ReadNotesFile(path, &text, &why);
    if (read == -1 || (read == 0 && !ParseNotes(text, &notes, &why))) {
        fprintf(stderr, "velun: the notes file %s cannot be read: %s\n", path.c_str(), why.c_str());
        return kExitFailed;
    }
    AnchorNotes(&notes);
    NotesFormat format = options.markdown ? NotesFormat::kMarkdown : options.rtf ? NotesFormat::kRtf : NotesFormat::kText;
    // The list puts them in the order every export has.
    if (!ReplaceNotes(std::move(notes)) || !ExportNotes(AllNotes(), format, &document)) {
        fprintf(stderr, "velun: not enough memory to export the notes\n");
        return kExitFailed;
    }
    if (!WriteWholeFile(options.out, document)) {
        fprintf(stderr, "velun: cannot write %s\n", options.out.c_str());
        return kExitFailed;
    }
    return 0;
}
