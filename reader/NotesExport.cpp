// Notes as a document to take away, and notes brought in from another reader. The
// RTF goes through the reader's own RTF writer: passages keep their records' type
// and direction, titles their heading type.
#include "NotesExport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>
#include <string_view>

#include "../content/ArticleRecords.h"
#include "../content/Content.h"
#include "../platform/Desktop.h"
#include "../platform/RegistryStore.h"
#include "../platform/Utf16.h"
#include "../shell/Export.h"
#include "../shell/Memory.h"
#include "NotesAnchor.h"
#include "NotesFile.h"

namespace {

const char* const kColourWords[kHighlightColourCount] = {"yellow", "green", "blue", "pink"};
// An article with no records: the RTF writer then only escapes the text it is given.
const BYTE kNoRecords[4] = {0, 0, 0, 0};
const char16_t kRightToLeftMark = 0x200F;

bool IsHebrew(char16_t c) { return c >= 0x0590 && c < 0x0600; }
bool IsLatin(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= 0xC0 && c < 0x250); }

// A line with more Hebrew letters than Latin ones reads right to left.
bool ReadsRightToLeft(const std::u16string& line) {
    long balance = 0;
    for (char16_t c : line) balance += IsHebrew(c) ? 1 : IsLatin(c) ? -1 : 0;
    return balance > 0;
}

std::vector<std::u16string> Lines(const std::u16string& text) {
    std::vector<std::u16string> lines(1);
    for (char16_t c : text) {
        if (c == u'\n') lines.emplace_back();
        else if (c != u'\r') lines.back() += c;
    }
    while (lines.size() > 1 && lines.back().empty()) lines.pop_back();
    return lines;
}

std::string Utf8(const std::u16string& text) { return Utf16ToUtf8(text.c_str(), (int)text.size()); }

// A right-to-left line opens with the mark, so that viewers that guess a line's
// direction from its first letter do not set it left to right.
std::string ShownLine(const std::u16string& line) {
    return ReadsRightToLeft(line) && !IsHebrew(line.empty() ? 0 : line[0]) ? Utf8(kRightToLeftMark + line)
                                                                           : Utf8(line);
}

std::string DateLine(const Note& note) {
    char date[32] = "";
    std::time_t t = (std::time_t)note.created;
    std::tm utc{};
    if (gmtime_r(&t, &utc)) std::strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", &utc);
    std::string line = std::string(kColourWords[note.colour % kHighlightColourCount]) + " \xC2\xB7 " + date;
    return note.detached ? line + " \xC2\xB7 not found in this collection" : line;
}

// One article's passages, as each format writes them.
struct Passage {
    const BYTE* article;  // null when the article could not be loaded
    const Note* note;
    std::u16string quote;  // as it reads now, or as it was quoted
};

// ---- Markdown and plain text ----

// Markdown would take a line's leading mark for structure.
std::string MarkdownLine(const std::u16string& line) {
    std::string shown = ShownLine(line);
    size_t first = shown.find_first_not_of(' ');
    if (first != std::string::npos && std::string_view("#>-*+=|`_~0123456789").find(shown[first]) != std::string_view::npos)
        shown.insert(shown.begin() + (std::ptrdiff_t)first, '\\');
    return shown;
}

void MarkdownHeading(std::string& out, const std::u16string& title) { out += "\n## " + MarkdownLine(title) + "\n"; }

void MarkdownPassage(std::string& out, const Passage& p) {
    out += "\n";
    for (const std::u16string& line : Lines(p.quote)) out += "> " + MarkdownLine(line) + "\n";
    if (!p.note->text.empty()) {
        out += "\n";
        for (const std::u16string& line : Lines(p.note->text)) out += MarkdownLine(line) + "  \n";
    }
    out += "\n*" + DateLine(*p.note) + "*\n";
}

void TextHeading(std::string& out, const std::u16string& title) {
    std::string line = ShownLine(title);
    out += "\n" + line + "\n" + std::string(std::max<size_t>(title.size(), 3), '=') + "\n";
}

void TextPassage(std::string& out, const Passage& p) {
    out += "\n";
    for (const std::u16string& line : Lines(p.quote)) out += "    " + ShownLine(line) + "\n";
    if (!p.note->text.empty())
        for (const std::u16string& line : Lines(p.note->text)) out += ShownLine(line) + "\n";
    out.append("(").append(DateLine(*p.note)).append(")\n");
}

// ---- RTF ----

void AppendRtfBody(std::string& out, const ArticleRange& range, const std::u16string& text) {
    size_t at = out.size();
    out.resize(at + BuildRtfBody(range, text.c_str(), nullptr));
    out.resize(at + BuildRtfBody(range, text.c_str(), out.data() + at));
}

// Paragraphs of an article's records, in their own type (which nothing before sets).
void AppendRtfRecords(std::string& out, const ArticleRange& range, const std::u16string& text) {
    out += "\\plain";
    AppendRtfBody(out, range, text);
}

// A paragraph of text of no record (a note, a date, a quote no longer found).
void AppendRtfText(std::string& out, const std::u16string& text, const char* type) {
    out += ReadsRightToLeft(text) ? "\\pard\\plain\\rtlpar\\qr" : "\\pard\\plain\\ltrpar\\ql";
    out += type;
    AppendRtfBody(out, {kNoRecords, 0, 0}, text);
}

void RtfHeading(std::string& out, const BYTE* article, const std::u16string& title) {
    ArticleHeaderEntry entry;
    ReadArticleHeader(article ? article : kNoRecords, &entry, nullptr);
    if (!entry.text) return AppendRtfText(out, title, "\\b\\fs25 ");
    size_t start = (size_t)(entry.text - article);
    AppendRtfRecords(out, {article, start, start + entry.textLength}, title);
}

void RtfPassage(std::string& out, const Passage& p) {
    if (p.article && !p.note->detached) AppendRtfRecords(out, {p.article, p.note->start, p.note->end}, p.quote);
    else AppendRtfText(out, p.quote, "\\fs20 ");
    if (!p.note->text.empty()) AppendRtfText(out, p.note->text, "\\fs20 ");
    AppendRtfText(out, Utf8ToUtf16(DateLine(*p.note)), "\\i\\fs16 ");
}

// ---- The document ----

std::u16string TitleOf(const BYTE* article, int number) {
    ArticleHeaderEntry title;
    if (article) ReadArticleHeader(article, &title, nullptr);
    if (!article || !title.text) return u"Article " + Utf8ToUtf16(std::to_string(number));
    size_t start = (size_t)(title.text - article);
    return QuoteOfPassage(article, (int)start, (int)(start + title.textLength));
}

void Heading(NotesFormat format, std::string& out, const BYTE* article, const std::u16string& title) {
    if (format == NotesFormat::kMarkdown) MarkdownHeading(out, title);
    else if (format == NotesFormat::kText) TextHeading(out, title);
    else RtfHeading(out, article, title);
}

void WritePassage(NotesFormat format, std::string& out, const Passage& p) {
    if (format == NotesFormat::kMarkdown) MarkdownPassage(out, p);
    else if (format == NotesFormat::kText) TextPassage(out, p);
    else RtfPassage(out, p);
}

std::string Document(NotesFormat format, const std::vector<Note>& notes) {
    std::string out = format == NotesFormat::kMarkdown ? "# Notes\n" : format == NotesFormat::kText ? "NOTES\n" : "";
    std::unique_ptr<BYTE, decltype(&free)> article(nullptr, free);
    int shown = 0;
    for (const Note& note : notes) {
        if (note.article != shown) {
            int status = 0;
            shown = note.article;
            article.reset(LoadContent(shown, &status));
            Heading(format, out, article.get(), TitleOf(article.get(), shown));
        }
        bool current = article && !note.detached;
        Passage p = {article.get(), &note, current ? QuoteOfPassage(article.get(), note.start, note.end) : note.quote};
        WritePassage(format, out, p);
    }
    return out;
}

bool WriteRtfDocument(const std::string& body, std::string* out) {
    HLOCAL document = BuildRtfDocument(body.c_str(), body.size());
    if (!document) return false;
    try {
        *out = (const char*)document;
    } catch (const std::bad_alloc&) {
        LocalFree(document);
        return false;
    }
    LocalFree(document);
    return true;
}

// ---- The menu commands ----

const WCHAR kExportFilters[] = u"Markdown (*.md);;Plain text (*.txt);;Rich Text Format (*.rtf)";
const NotesFormat kFilterFormats[] = {NotesFormat::kMarkdown, NotesFormat::kText, NotesFormat::kRtf};

bool EndsWith(const std::string& path, const char* ending) {
    size_t n = std::strlen(ending);
    return path.size() > n && strcasecmp(path.c_str() + path.size() - n, ending) == 0;
}

// The file's ending names the format; without one, the filter chosen does.
NotesFormat FormatForPath(const std::string& path, int chosen) {
    if (EndsWith(path, ".md") || EndsWith(path, ".markdown")) return NotesFormat::kMarkdown;
    if (EndsWith(path, ".txt")) return NotesFormat::kText;
    if (EndsWith(path, ".rtf")) return NotesFormat::kRtf;
    return kFilterFormats[std::clamp(chosen, 0, 2)];
}

void Say(HWND owner, const std::string& text, UINT icon) {
    MessageBoxW(owner, Utf8ToUtf16(text).c_str(), TEXT("Velun"), MB_OK | icon);
}

bool SameNote(const Note& a, const Note& b) {
    return a.article == b.article && a.start == b.start && a.end == b.end && a.quote == b.quote && a.text == b.text;
}

}  // namespace

bool NotesFormatNamed(const char* name, NotesFormat* format) {
    static const char* const kNames[] = {"markdown", "text", "rtf"};
    for (int i = 0; i < 3; i++)
        if (std::strcmp(name, kNames[i]) == 0) return *format = kFilterFormats[i], true;
    return false;
}

bool ExportNotes(const std::vector<Note>& notes, NotesFormat format, std::string* out) {
    try {
        *out = Document(format, notes);
        return format != NotesFormat::kRtf || WriteRtfDocument(*out, out);
    } catch (const std::bad_alloc&) {
        out->clear();
        return false;
    }
}

bool MergeNotes(const std::string& text, NotesMerge* merge, std::string* why) {
    *merge = {0, 0};
    try {
        std::vector<Note> incoming;
        if (!ParseNotes(text, &incoming, why)) return false;
        AnchorNotes(&incoming);
        for (const Note& note : incoming) {
            const std::vector<Note>& here = AllNotes();
            bool known = std::any_of(here.begin(), here.end(), [&](const Note& n) { return SameNote(n, note); });
            if (known) merge->known++;
            else if (AddNote(note)) merge->added++;
            else throw std::bad_alloc();
        }
    } catch (const std::bad_alloc&) {
        *why = "there is not enough memory";
        return false;
    }
    return true;
}

namespace {

void ExportNotesTo(HWND owner) {
    if (AllNotes().empty()) return Say(owner, "There are no notes to export yet.", MB_ICONASTERISK);
    int chosen = 0;
    std::string path = AskFileToSave(owner, u"Export Notes", u"notes.md", kExportFilters, &chosen);
    if (path.empty()) return;
    std::string document;
    if (!ExportNotes(AllNotes(), FormatForPath(path, chosen), &document))
        return Say(owner, "There is not enough memory to export the notes.", MB_ICONEXCLAMATION);
    if (!WriteFileAtomically(path, document))
        Say(owner, "The notes could not be written to " + path + ": " + std::strerror(errno), MB_ICONEXCLAMATION);
}

void ImportNotesFrom(HWND owner) {
    std::string path = AskFileToOpen(owner, u"Import Notes", u"Notes files (notes.txt *.txt);;All files (*)");
    if (path.empty()) return;
    std::string text, why;
    NotesMerge merge;
    int read = ReadNotesFile(path, &text, &why);
    if (read != 0 || !MergeNotes(text, &merge, &why)) {
        if (read == 1) why = std::strerror(ENOENT);
        return Say(owner, "No notes were imported from " + path + ": " + why, MB_ICONEXCLAMATION);
    }
    Say(owner,
        std::to_string(merge.added) + (merge.added == 1 ? " note was" : " notes were") + " added from " + path +
            "; " + std::to_string(merge.known) + " were here already.",
        MB_ICONASTERISK);
}

}  // namespace

// Their strings, paths and messages need memory: running out ends the program as
// anywhere else.
void ExportNotesFromReader(HWND owner) {
    try {
        ExportNotesTo(owner);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
}

void ImportNotesFromReader(HWND owner) {
    try {
        ImportNotesFrom(owner);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
}
