#include "IndexSource.h"

#include "SourceText.h"
#include "Utf8.h"

namespace {
constexpr int kMaxLevel = 5;

bool CheckCaption(const std::string& caption, const std::string& file, int line, Diagnostics* diag) {
    bool ok = true;
    for (size_t pos = 0; pos < caption.size();) {
        char32_t c = NextCodePoint(caption, &pos);
        if (c >= 0x20 && c <= 0x7E) continue;
        AddError(diag, file, line, "character " + DescribeCodePoint(c) + " cannot be stored (captions are plain ASCII)");
        ok = false;
    }
    if (caption.empty()) {
        AddError(diag, file, line, "the entry has no caption");
        ok = false;
    } else if (caption.size() > kMaxCaptionSize) {
        AddError(diag, file, line, "the caption is " + std::to_string(caption.size()) + " bytes, over 80");
        ok = false;
    }
    return ok;
}

// "-" or "-N", then the article number, then the caption.
bool ParseLink(const std::string& line, int headingLevel, IndexSourceEntry* entry, std::string* problem) {
    size_t space = line.find(' ');
    std::string dash = line.substr(0, space);
    if (dash.size() == 2 && dash[1] >= '1' && dash[1] <= '0' + kMaxLevel) {
        entry->level = (uint8_t)(dash[1] - '0');
    } else if (dash == "-" && headingLevel > 0) {
        entry->level = (uint8_t)(headingLevel + 1);
    } else {
        *problem = dash == "-" ? "a link written '-' needs a heading above it; write -N for level N"
                               : "unknown entry '" + dash + "': write - NNN Caption or -N NNN Caption";
        return false;
    }
    std::string rest = space == std::string::npos ? "" : TrimLine(line.substr(space));
    size_t digits = rest.find_first_not_of("0123456789");
    if (digits == 0 || digits > 3 || (digits != std::string::npos && rest[digits] != ' ')) {
        *problem = "a link needs a three-digit article number: - 012 Caption";
        return false;
    }
    int article = std::stoi(rest.substr(0, digits));
    if (article < 1 || article > kArticleCount) {
        *problem = "there is no article " + std::to_string(article) + " (1 to 187)";
        return false;
    }
    entry->key = IndexLinkKey(article);
    entry->style = kIndexEntryStyle;
    entry->caption = digits == std::string::npos ? "" : TrimLine(rest.substr(digits));
    return true;
}

void CheckEveryArticleLinked(const std::vector<IndexSourceEntry>& entries, const std::string& file, Diagnostics* diag) {
    std::vector<int> linkedAt(kArticleCount + 1, 0);
    for (const IndexSourceEntry& e : entries) {
        if (!(e.key & kKeyLink)) continue;
        int article = e.key & kKeyNumberMask;
        if (linkedAt[article])
            AddError(diag, file, e.line,
                     "article " + std::to_string(article) + " is already linked on line " + std::to_string(linkedAt[article]));
        else
            linkedAt[article] = e.line;
    }
    for (int article = 1; article <= kArticleCount; article++) {
        if (!linkedAt[article]) AddError(diag, file, 0, "article " + std::to_string(article) + " has no link");
    }
}
}  // namespace

std::vector<IndexSourceEntry> ParseIndexSource(const std::string& text, const std::string& file, Diagnostics* diag) {
    std::vector<IndexSourceEntry> entries;
    int headingLevel = 0;
    size_t size = kIndexEndLength;
    std::vector<std::string> lines = SourceLines(text);
    for (size_t i = 0; i < lines.size(); i++) {
        const std::string& raw = lines[i];
        int number = (int)i + 1;
        std::string line = TrimLine(raw);
        if (line.empty() || raw.compare(0, 2, "//") == 0) continue;
        IndexSourceEntry entry{0, 0, 0, "", number};
        std::string problem;
        if (line[0] == '#') {
            size_t level = line.find_first_not_of('#');
            if (level > (size_t)kMaxLevel || (level != std::string::npos && line[level] != ' ')) {
                AddError(diag, file, number, "a heading is # to ##### followed by a space and its caption");
                continue;
            }
            entry.level = (uint8_t)(level == std::string::npos ? line.size() : level);
            entry.key = IndexHeadingKey(entries.size());
            entry.style = entry.level == 1 ? kIndexTopHeadingStyle : kIndexEntryStyle;
            entry.caption = level == std::string::npos ? "" : TrimLine(line.substr(level));
            headingLevel = entry.level;
        } else if (line[0] == '-') {
            if (!ParseLink(line, headingLevel, &entry, &problem)) {
                AddError(diag, file, number, problem);
                continue;
            }
        } else {
            AddError(diag, file, number, "unknown line: an index line is a heading (# ...) or a link (- NNN ...)");
            continue;
        }
        CheckCaption(entry.caption, file, number, diag);
        size += entry.caption.size() + 5;
        entries.push_back(entry);
    }
    if (size > kMaxContentSize) AddError(diag, file, 0, "the index is over the 65,535 bytes that can be stored");
    CheckEveryArticleLinked(entries, file, diag);
    return entries;
}

Bytes IndexBytes(const std::vector<IndexSourceEntry>& entries) {
    Bytes out;
    for (const IndexSourceEntry& e : entries) {
        out.push_back((uint8_t)(e.key & 0xFF));
        out.push_back((uint8_t)(e.key >> 8));
        out.push_back(e.style);
        out.push_back(e.level);
        out.insert(out.end(), e.caption.begin(), e.caption.end());
        out.push_back(0);
    }
    out.insert(out.end(), kIndexEndLength, 0);
    return out;
}
