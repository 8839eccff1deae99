// The notes file's text form, and its reading and writing. Parsing is strict: a file
// that does not follow the form in every line is damaged as a whole, and the caller
// keeps it aside instead of guessing at what the user had.
#include "NotesFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string_view>

#include "../content/Content.h"
#include "../platform/ProgramIdentity.h"
#include "../platform/RegistryStore.h"
#include "../platform/Utf16.h"

namespace {

const char kFirstLine[] = "velun notes 1";
const char kNoteLine[] = "[note]";
const char kEndLine[] = "[end]";
const char* const kColourNames[kHighlightColourCount] = {"yellow", "green", "blue", "pink"};

// ---- Values ----

std::string Escaped(const std::u16string& text) {
    std::string out;
    for (char c : Utf16ToUtf8(text.c_str(), (int)text.size())) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: out += c;
        }
    }
    return out;
}

// Strict UTF-8: no overlong forms, surrogates or code points past U+10FFFF.
bool DecodeUtf8(std::string_view in, std::u16string* out) {
    for (size_t i = 0; i < in.size();) {
        auto b = (unsigned char)in[i];
        int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || i + (size_t)extra >= in.size()) return false;
        char32_t c = extra ? b & (0x3F >> extra) : b;
        for (int k = 1; k <= extra; k++) {
            auto next = (unsigned char)in[i + k];
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        static const char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000) || c == 0) return false;
        AppendCodePoint(*out, c);
        i += (size_t)extra + 1;
    }
    return true;
}

bool Unescaped(std::string_view value, std::u16string* out) {
    std::string raw;
    for (size_t i = 0; i < value.size(); i++) {
        if (value[i] != '\\') {
            raw += value[i];
            continue;
        }
        if (++i == value.size()) return false;
        switch (value[i]) {
            case '\\': raw += '\\'; break;
            case 'n': raw += '\n'; break;
            case 'r': raw += '\r'; break;
            case 't': raw += '\t'; break;
            default: return false;
        }
    }
    out->clear();
    return DecodeUtf8(raw, out);
}

bool WholeNumber(std::string_view text, long low, long high, long* out) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
    *out = 0;
    for (char digit : text) *out = *out * 10 + (digit - '0');
    return *out >= low && *out <= high;
}

std::string TimeText(int64_t seconds) {
    std::time_t t = (std::time_t)seconds;
    std::tm utc{};
    char buf[32] = "1970-01-01T00:00:00Z";
    if (gmtime_r(&t, &utc)) std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return buf;
}

bool ParseTime(std::string_view text, int64_t* out) {
    if (text.size() != 20) return false;
    char copy[21];
    text.copy(copy, 20);
    copy[20] = 0;
    std::tm utc{};
    const char* end = strptime(copy, "%Y-%m-%dT%H:%M:%SZ", &utc);
    if (!end || *end || utc.tm_year < 70 || utc.tm_year > 8000) return false;
    *out = (int64_t)timegm(&utc);
    return TimeText(*out) == text;  // refuses 2026-02-31 and the like
}

// ---- Sections ----

enum Field { kArticle, kRecord, kStart, kEnd, kColour, kCreated, kModified, kQuote, kText, kFieldCount };
constexpr std::string_view kFieldNames[kFieldCount] = {"article", "record", "start", "end", "colour",
                                                      "created", "modified", "quote", "note"};

struct Section {
    Note note{};
    bool seen[kFieldCount] = {};
};

bool SetField(Section& s, int field, std::string_view value) {
    long n = 0;
    Note& note = s.note;
    switch (field) {
        case kArticle: return WholeNumber(value, 1, kArticleCount, &n) && (note.article = (uint16_t)n, true);
        case kRecord: return WholeNumber(value, 0, 0xFFFF, &n) && (note.record = (uint16_t)n, true);
        case kStart: return WholeNumber(value, 0, 0xFFFF, &n) && (note.start = (uint16_t)n, true);
        case kEnd: return WholeNumber(value, 0, 0xFFFF, &n) && (note.end = (uint16_t)n, true);
        case kColour:
            for (int c = 0; c < kHighlightColourCount; c++)
                if (value == kColourNames[c]) return note.colour = (HighlightColour)c, true;
            return false;
        case kCreated: return ParseTime(value, &note.created);
        case kModified: return ParseTime(value, &note.modified);
        case kQuote: return Unescaped(value, &note.quote);
        default: return Unescaped(value, &note.text);
    }
}

std::string FieldLine(Section& s, std::string_view line) {
    size_t equals = line.find(" = ");
    if (equals == std::string_view::npos) return "expected \"name = value\"";
    std::string_view name = line.substr(0, equals);
    for (int field = 0; field < kFieldCount; field++) {
        if (name != kFieldNames[field]) continue;
        if (s.seen[field]) return std::string(name) + " given twice";
        s.seen[field] = true;
        return SetField(s, field, line.substr(equals + 3)) ? "" : "bad " + std::string(name);
    }
    return "unknown field '" + std::string(name.substr(0, 40)) + "'";
}

std::string EndSection(const Section& s, std::vector<Note>* out) {
    for (int field = 0; field < kFieldCount; field++)
        if (!s.seen[field]) return "the note above has no " + std::string(kFieldNames[field]);
    if (s.note.start >= s.note.end) return "the note above ends before it starts";
    out->push_back(s.note);
    return "";
}

// One line of the file; *open is the section being read. Empty when it is good.
std::string ParseLine(std::string_view line, int number, std::unique_ptr<Section>& open, bool* ended,
                      std::vector<Note>* out) {
    if (number == 1) return line == kFirstLine ? "" : "this is not a notes file";
    if (*ended) return "text after [end]";
    if (line.empty() || line[0] == '#') return "";
    if (line == kNoteLine || line == kEndLine) {
        std::string why = open ? EndSection(*open, out) : "";
        open.reset(line == kNoteLine ? new Section() : nullptr);
        *ended = line == kEndLine;
        return why;
    }
    return open ? FieldLine(*open, line) : "expected [note]";
}

}  // namespace

std::string NotesFilePath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (data && data[0] == '/') {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : ".") + "/.local/share";
    }
    return base + "/" + ProgramName() + "/notes.txt";
}

std::string FormatNotes(const std::vector<Note>& notes) {
    std::string out = std::string(kFirstLine) +
                      "\n# Highlights and notes, written soon after each change; the previous file is notes.txt.bak."
                      "\n# Edit only while the reader is closed; README.md describes the fields.\n";
    out.reserve(notes.size() * 256);
    for (const Note& n : notes) {
        out += "\n[note]\narticle = " + std::to_string(n.article) + "\nrecord = " + std::to_string(n.record) +
               "\nstart = " + std::to_string(n.start) + "\nend = " + std::to_string(n.end) + "\ncolour = " +
               kColourNames[n.colour < kHighlightColourCount ? n.colour : 0] + "\ncreated = " + TimeText(n.created) +
               "\nmodified = " + TimeText(n.modified) + "\nquote = " + Escaped(n.quote) + "\nnote = " +
               Escaped(n.text) + "\n";
    }
    return out + "\n" + kEndLine + "\n";
}

bool ParseNotes(const std::string& text, std::vector<Note>* out, std::string* error) {
    out->clear();
    std::unique_ptr<Section> open;
    bool ended = false;
    int number = 1;
    for (size_t start = 0; start < text.size(); number++) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t length = end - start;
        if (length && text[end - 1] == '\r') length--;  // a file saved by an editor with CR LF
        std::string why = ParseLine(std::string_view(text).substr(start, length), number, open, &ended, out);
        if (!why.empty()) {
            *error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
        start = end + 1;
    }
    if (number == 1 || !ended) *error = number == 1 ? "the file is empty" : "the file ends before [end]";
    return number > 1 && ended;
}

int ReadNotesFile(const std::string& path, std::string* text, std::string* why) {
    std::unique_ptr<FILE, decltype(&fclose)> file(fopen(path.c_str(), "rb"), fclose);
    if (!file) {
        if (errno == ENOENT) return 1;
        return *why = std::strerror(errno), -1;
    }
    struct stat st;
    if (fstat(fileno(file.get()), &st) != 0 || !S_ISREG(st.st_mode)) return *why = "not a regular file", -1;
    if ((size_t)st.st_size > kMaxNotesFileSize) return *why = "the file is too large", -1;
    text->resize((size_t)st.st_size);
    size_t n = fread(text->data(), 1, text->size(), file.get());
    if (n != text->size() || fgetc(file.get()) != EOF) return *why = "the file changed while it was read", -1;
    return 0;
}

bool WriteNotesFile(const std::string& path, const std::string& text) {
    // A hard link keeps the old file as the backup without a moment with neither.
    std::string backup = path + ".bak", link = backup + ".new";
    unlink(link.c_str());
    if (::link(path.c_str(), link.c_str()) == 0 && rename(link.c_str(), backup.c_str()) != 0) unlink(link.c_str());
    return WriteFileAtomically(path, text);
}

std::string SetNotesFileAside(const std::string& path) {
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string aside = path + ".broken-" + stamp;
    if (access(aside.c_str(), F_OK) == 0) aside += '-' + std::to_string(getpid());
    return rename(path.c_str(), aside.c_str()) == 0 ? aside : "";
}
