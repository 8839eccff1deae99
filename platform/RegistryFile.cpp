// The registry's text file: an INI-like form a user can read and edit by hand.
//
//   [HKEY_CURRENT_USER\Software\Vendor\Program]
//   "Flags"=dword:d1140040
//   "FontName"="DejaVu Serif"
//   "Bookmarks"=hex:05,00,03,00,00,00
//
// Strings are UTF-8 with \" \\ and \uXXXX escapes; data that a plain string or dword
// cannot hold exactly is written as hex(type):bytes, so every value keeps its type
// and its bytes. Comment lines (; or #) and blank lines stay where the user put them,
// and so does a comment after a value on its line.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "LittleEndian.h"
#include "ProgramIdentity.h"
#include "RegistryStore.h"
#include "Utf16.h"

namespace {

const char* const kRootNames[] = {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT"};

// ---- Writing ----

void AppendHexByte(std::string& out, BYTE b) {
    static const char kDigits[] = "0123456789abcdef";
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
}

void AppendQuoted(std::string& out, const std::u16string& text) {
    out += '"';
    for (size_t i = 0; i < text.size(); i++) {
        char16_t c = text[i];
        bool pair = IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]);
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += (char)c;
        } else if (pair) {
            out += Utf16ToUtf8(&text[i], 2);
            i++;
        } else if (c < 0x20 || c == 0x7F || IsHighSurrogate(c) || IsLowSurrogate(c)) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", (unsigned)c);
            out += buf;
        } else {
            out += Utf16ToUtf8(&c, 1);
        }
    }
    out += '"';
}

// A REG_SZ is written as a quoted string only when reading that string back gives
// the same bytes: whole units, one terminating 0 and no other.
bool IsPlainString(const RegistryValue& v, std::u16string* text) {
    if (v.type != REG_SZ || v.data.size() < 2 || v.data.size() % 2) return false;
    size_t units = v.data.size() / 2;
    text->clear();
    for (size_t i = 0; i < units; i++) {
        char16_t c = ReadWord(&v.data[2 * i]);
        if ((c == 0) != (i == units - 1)) return false;
        if (c) *text += c;
    }
    return true;
}

void AppendLines(std::string& out, const RegistryLines& lines) {
    for (const std::string& line : lines) out += line + '\n';
}

void AppendValue(std::string& out, const RegistryValue& v) {
    AppendLines(out, v.linesAbove);
    if (v.name.empty()) {
        out += '@';
    } else {
        AppendQuoted(out, v.name);
    }
    out += '=';
    std::u16string text;
    if (IsPlainString(v, &text)) {
        AppendQuoted(out, text);
    } else if (v.type == REG_DWORD && v.data.size() == 4) {
        char buf[16];
        DWORD d = ReadDword(v.data.data());
        std::snprintf(buf, sizeof buf, "dword:%08x", (unsigned)d);
        out += buf;
    } else {
        if (v.type == REG_BINARY) {
            out += "hex:";
        } else {
            char buf[24];
            std::snprintf(buf, sizeof buf, "hex(%x):", (unsigned)v.type);
            out += buf;
        }
        for (size_t i = 0; i < v.data.size(); i++) {
            if (i) out += ',';
            AppendHexByte(out, v.data[i]);
        }
    }
    out += v.comment + '\n';
}

// ---- Reading ----

struct Cursor {
    const std::string& line;
    size_t pos;
    bool AtEnd() const { return pos >= line.size(); }
    char Peek() const { return AtEnd() ? 0 : line[pos]; }
    void SkipBlanks() {
        while (!AtEnd() && (line[pos] == ' ' || line[pos] == '\t')) pos++;
    }
    bool AtComment() const { return Peek() == ';' || Peek() == '#'; }
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool DecodeUtf8(Cursor& c, std::u16string* out) {
    unsigned char b = (unsigned char)c.line[c.pos];
    int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || c.pos + extra >= c.line.size()) return false;
    uint32_t cp = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; k++) {
        unsigned char t = (unsigned char)c.line[c.pos + k];
        if ((t & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (t & 0x3F);
    }
    static const uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return false;
    c.pos += extra + 1;
    AppendCodePoint(*out, cp);
    return true;
}

bool ParseQuoted(Cursor& c, std::u16string* out, std::string* error) {
    c.pos++;  // the opening quote
    out->clear();
    while (true) {
        if (c.AtEnd()) return *error = "missing closing quote", false;
        char ch = c.line[c.pos];
        if (ch == '"') {
            c.pos++;
            break;
        }
        if (out->size() * 2 > kMaxRegistryValueSize) return *error = "string too long", false;
        if (ch != '\\') {
            if (!DecodeUtf8(c, out)) return *error = "text that is not UTF-8", false;
            continue;
        }
        char esc = c.pos + 1 < c.line.size() ? c.line[c.pos + 1] : 0;
        if (esc == '"' || esc == '\\') {
            *out += (char16_t)esc;
            c.pos += 2;
        } else if (esc == 'u') {
            uint32_t unit = 0;
            for (int k = 0; k < 4; k++) {
                int d = c.pos + 2 + k < c.line.size() ? HexDigit(c.line[c.pos + 2 + k]) : -1;
                if (d < 0) return *error = "\\u needs four hex digits", false;
                unit = unit * 16 + d;
            }
            *out += (char16_t)unit;
            c.pos += 6;
        } else {
            return *error = "unknown escape (use \\\" \\\\ or \\uXXXX)", false;
        }
    }
    return true;
}

void PutUnits(const std::u16string& text, std::vector<BYTE>* data) {
    for (char16_t u : text) {
        data->push_back((BYTE)(u & 0xFF));
        data->push_back((BYTE)(u >> 8));
    }
    data->push_back(0);
    data->push_back(0);
}

// The blanks before a comment that ends the list stay with the comment.
bool ParseHexList(Cursor& c, std::vector<BYTE>* data, std::string* error) {
    size_t end = c.pos;
    c.SkipBlanks();
    if (c.AtEnd() || c.AtComment()) return c.pos = end, true;
    while (true) {
        c.SkipBlanks();
        int hi = HexDigit(c.Peek());
        if (hi < 0) return *error = "expected a hex byte", false;
        c.pos++;
        int lo = HexDigit(c.Peek());
        if (lo >= 0) c.pos++;
        data->push_back((BYTE)(lo >= 0 ? hi * 16 + lo : hi));
        if (data->size() > kMaxRegistryValueSize) return *error = "value too large", false;
        end = c.pos;
        c.SkipBlanks();
        if (c.AtEnd() || c.AtComment()) return c.pos = end, true;
        if (c.Peek() != ',') return *error = "expected ',' between hex bytes", false;
        c.pos++;
    }
}

bool StartsWith(const Cursor& c, const char* word) {
    return c.line.compare(c.pos, std::strlen(word), word) == 0;
}

bool ParseData(Cursor& c, RegistryValue* v, std::string* error) {
    if (c.Peek() == '"') {
        std::u16string text;
        if (!ParseQuoted(c, &text, error)) return false;
        v->type = REG_SZ;
        PutUnits(text, &v->data);
        return true;
    }
    if (StartsWith(c, "dword:")) {
        c.pos += 6;
        uint32_t d = 0;
        int digits = 0;
        for (; HexDigit(c.Peek()) >= 0; digits++, c.pos++) d = d * 16 + HexDigit(c.Peek());
        if (digits < 1 || digits > 8) return *error = "dword needs 1 to 8 hex digits", false;
        v->type = REG_DWORD;
        for (int k = 0; k < 4; k++) v->data.push_back((BYTE)(d >> (8 * k)));
        return true;
    }
    if (StartsWith(c, "hex:")) {
        c.pos += 4;
        v->type = REG_BINARY;
        return ParseHexList(c, &v->data, error);
    }
    if (StartsWith(c, "hex(")) {
        c.pos += 4;
        uint32_t type = 0;
        int digits = 0;
        for (; HexDigit(c.Peek()) >= 0; digits++, c.pos++) type = type * 16 + HexDigit(c.Peek());
        if (digits < 1 || digits > 8 || !StartsWith(c, "):")) return *error = "expected hex(type):", false;
        c.pos += 2;
        v->type = type;
        return ParseHexList(c, &v->data, error);
    }
    return *error = "expected \"text\", dword:, hex: or hex(type):", false;
}

bool FoldEqual(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); i++) {
        char x = a[i] >= 'a' && a[i] <= 'z' ? (char)(a[i] - 32) : a[i];
        if (x != b[i]) return false;
    }
    return true;
}

bool ParseSection(const std::string& inner, RegistryKey* key, std::string* error) {
    std::u16string path;
    size_t start = 0;
    for (int part = 0;; part++) {
        size_t end = inner.find('\\', start);
        std::string name = inner.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (name.empty()) return *error = "empty key name in [...]", false;
        if (part == 0) {
            const char* root = nullptr;
            for (const char* r : kRootNames) {
                if (FoldEqual(name, r)) root = r;
            }
            if (!root) return *error = "a key must begin with HKEY_CURRENT_USER", false;
            name = root;
        } else {
            path += u'\\';
        }
        Cursor c{name, 0};
        while (!c.AtEnd()) {
            if (!DecodeUtf8(c, &path)) return *error = "key name that is not UTF-8", false;
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    key->path = path;
    return true;
}

// What the lines read so far have built, and the comment and blank lines that wait
// for the next value or key to be placed with.
struct ParseState {
    RegistryContents* out;
    size_t section;  // index of the key whose lines are being read; npos before the first
    RegistryLines pending;
};

void PlacePendingLines(ParseState& state) {
    RegistryLines& into = state.section == std::string::npos ? state.out->head
                                                              : state.out->keys[state.section].linesBelow;
    into.insert(into.end(), state.pending.begin(), state.pending.end());
    state.pending.clear();
}

// A key given twice is one key: the second section's values join the first.
bool ParseSectionLine(const std::string& line, size_t open, ParseState& state, std::string* error) {
    if (line.back() != ']') return *error = "missing ']'", false;
    RegistryKey key;
    if (!ParseSection(line.substr(open + 1, line.size() - open - 2), &key, error)) return false;
    PlacePendingLines(state);
    std::vector<RegistryKey>& keys = state.out->keys;
    for (state.section = 0; state.section < keys.size(); state.section++) {
        if (SameRegistryName(keys[state.section].path, key.path)) return true;
    }
    keys.push_back(std::move(key));
    return true;
}

bool ParseValueLine(Cursor& c, ParseState& state, std::string* error) {
    if (state.section == std::string::npos) return *error = "value outside a [key] section", false;
    RegistryValue v;
    if (c.Peek() == '@') {
        c.pos++;
    } else if (c.Peek() == '"') {
        if (!ParseQuoted(c, &v.name, error)) return false;
    } else {
        return *error = "expected \"name\"=, @= or [key]", false;
    }
    c.SkipBlanks();
    if (c.Peek() != '=') return *error = "expected '=' after the value name", false;
    c.pos++;
    c.SkipBlanks();
    if (!ParseData(c, &v, error)) return false;
    size_t end = c.pos;
    c.SkipBlanks();
    if (!c.AtEnd() && !c.AtComment()) return *error = "unexpected text after the value", false;
    if (!c.AtEnd()) v.comment = c.line.substr(end);
    // A name given twice: the later line wins, in the earlier one's place.
    std::vector<RegistryValue>& values = state.out->keys[state.section].values;
    for (RegistryValue& old : values) {
        if (SameRegistryName(old.name, v.name)) {
            old.type = v.type;
            old.data = std::move(v.data);
            old.comment = std::move(v.comment);
            return true;
        }
    }
    v.linesAbove = std::move(state.pending);
    state.pending.clear();
    values.push_back(std::move(v));
    return true;
}

bool ParseLine(const std::string& line, ParseState& state, std::string* error) {
    Cursor c{line, 0};
    c.SkipBlanks();
    if (c.AtEnd() || c.AtComment()) {
        state.pending.push_back(line);
        return true;
    }
    if (c.Peek() == '[') return ParseSectionLine(line, c.pos, state, error);
    return ParseValueLine(c, state, error);
}

}  // namespace

std::string RegistryFilePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : ".") + "/.config";
    }
    return base + "/" + ProgramName() + "/registry.txt";
}

RegistryContents NewRegistryContents() {
    RegistryContents contents;
    // The program's own name heads its settings.
    const WCHAR* title = RegisteredProgram().windowTitle;
    std::string program = title ? Utf16ToUtf8(title) : ProgramName();
    contents.head = {"; " + program + " settings: read when " + program + " starts, written soon after each change.",
                     "; Edit this file while " + program + " is not running; README.md lists the values."};
    return contents;
}

void EraseRegistryValue(RegistryKey* key, size_t index) {
    std::vector<RegistryValue>& values = key->values;
    RegistryLines& above = values[index].linesAbove;
    RegistryLines& into = index + 1 < values.size() ? values[index + 1].linesAbove : key->linesBelow;
    into.insert(into.begin(), above.begin(), above.end());
    values.erase(values.begin() + (std::ptrdiff_t)index);
}

std::string FormatRegistry(const RegistryContents& contents) {
    std::string out;
    AppendLines(out, contents.head);
    for (const RegistryKey& key : contents.keys) {
        AppendLines(out, key.linesAbove);
        out += '[';
        out += Utf16ToUtf8(key.path.c_str(), (int)key.path.size());
        out += "]\n";
        for (const RegistryValue& v : key.values) AppendValue(out, v);
        AppendLines(out, key.linesBelow);
    }
    return out;
}

bool ParseRegistry(const std::string& text, RegistryContents* out, std::string* error) {
    *out = RegistryContents();
    ParseState state{out, std::string::npos, {}};
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    // The newline ends a line: a final one starts none.
    for (int number = 1; start < text.size(); number++) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
        std::string why;
        if (!ParseLine(line, state, &why)) {
            *error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
        start = end + 1;
    }
    PlacePendingLines(state);
    return true;
}

namespace {

bool MakeDirectories(const std::string& dir) {
    for (size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
        std::string part = dir.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += (size_t)n;
    }
    return true;
}

const char kTempSuffix[] = ".tmp-";  // then the writer's process id

// A writer killed between creating its temporary file and the rename leaves the
// file behind. One whose process is gone is removed; one of a live process may
// still be in use.
void RemoveStaleTempFiles(const std::string& dir, const std::string& prefix) {
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    while (dirent* e = readdir(d)) {
        const char* name = e->d_name;
        if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0) continue;
        const char* digits = name + prefix.size();
        char* end = nullptr;
        long pid = std::strtol(digits, &end, 10);
        if (!std::isdigit((unsigned char)*digits) || *end || pid <= 0 || pid == getpid()) continue;
        if (kill((pid_t)pid, 0) != 0 && errno == ESRCH) unlink((dir + '/' + name).c_str());
    }
    closedir(d);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& text) {
    std::string dir = path.substr(0, path.rfind('/'));
    if (dir.empty() || !MakeDirectories(dir)) return false;
    std::string temp = path + kTempSuffix + std::to_string(getpid());
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, text) && fsync(fd) == 0;
    int failure = ok ? 0 : errno;
    if (close(fd) != 0 && ok) failure = errno, ok = false;
    if (ok && rename(temp.c_str(), path.c_str()) != 0) failure = errno, ok = false;
    if (!ok) {
        unlink(temp.c_str());
        errno = failure;  // the caller says why: the cause, not the clean-up
        return false;
    }
    // The rename itself must reach the disk too.
    int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    RemoveStaleTempFiles(dir, path.substr(dir.size() + 1) + kTempSuffix);
    return true;
}
