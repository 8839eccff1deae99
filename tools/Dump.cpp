#include "Dump.h"

#include <cstdio>

#include "../content/ArticleRecords.h"
#include "ArticleMarkers.h"
#include "ArticleSource.h"
#include "HebrewText.h"
#include "IndexSource.h"
#include "Utf8.h"

namespace {
std::string RawBlock(const PackedRecord& r) {
    char head[32];
    snprintf(head, sizeof head, "raw 0x%02X 0x%02X:", r.style, r.indent);
    std::string out = head;
    if (!r.text.empty()) out += ' ';
    for (size_t i = 0; i < r.text.size(); i++) {
        uint8_t b = (uint8_t)r.text[i];
        bool edgeSpace = b == ' ' && (i == 0 || i + 1 == r.text.size());
        if (b == '\\') {
            out += "\\\\";
        } else if (b < 0x20 || b > 0x7E || edgeSpace) {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        } else {
            out += (char)b;
        }
    }
    return out;
}

// The marker that makes this style and indent with text of the given kind, if any.
const ArticleMarker* MarkerFor(const PackedRecord& r, MarkerText text) {
    if (text == MarkerText::AsWritten && r.style == kPlainMarker.style && r.indent == kPlainMarker.indent)
        return &kPlainMarker;
    for (size_t i = 0; i < kArticleMarkerCount; i++) {
        const ArticleMarker& m = kArticleMarkers[i];
        if (m.style == r.style && m.indent == r.indent && m.text == text && m.role == MarkerRole::Text) return &m;
    }
    return nullptr;
}

// The most readable block for the record; it may not compile back, which the caller checks.
std::string ReadableBlock(const PackedRecord& r, bool first, bool afterTitle) {
    const std::string& t = r.text;
    if (r.style == kTitleStyle && r.indent == 0 && first) return "# " + t;
    if (r.style == kSubtitleStyle && r.indent == 0 && afterTitle) return "% " + t;
    if (t.size() >= 2 && (uint8_t)t[0] == kBulletByte && t[1] == ' ')
        if (const ArticleMarker* m = MarkerFor(r, MarkerText::Bullet)) return std::string(m->name) + " " + t.substr(2);
    if (r.style == 0x81 && r.indent == 0x40) {
        if (!t.empty() && t[0] == ' ') return "+ " + t.substr(1);
        return t;
    }
    if (r.style == kRuleStyle && t.empty() && r.indent > 160) return "rule: " + std::to_string((r.indent - 160) * 2) + "%";
    if (r.style == kRuleStyle && t.empty() && r.indent > 0) return "rule: " + std::to_string(r.indent) + "px";
    std::u32string logical;
    const ArticleMarker* hebrew = MarkerFor(r, MarkerText::Hebrew);
    if (hebrew && StoredToHebrew(t, &logical)) return std::string(hebrew->name) + " " + EncodeUtf8(logical);
    if (const ArticleMarker* m = MarkerFor(r, MarkerText::AsWritten)) return *m->name ? std::string(m->name) + " " + t : t;
    return "";
}

bool CompilesTo(const std::string& source, const PackedRecord& r, bool first, bool afterTitle) {
    std::vector<SourceBlock> blocks = SplitSourceBlocks(source);
    ParsedBlock parsed;
    Diagnostics ignored;
    if (blocks.size() != 1 || !ParseSourceBlock(blocks[0], "", &parsed, &ignored)) return false;
    if ((parsed.role == BlockRole::Title && !first) || (parsed.role == BlockRole::Subtitle && !afterTitle)) return false;
    return parsed.record.style == r.style && parsed.record.indent == r.indent && parsed.record.text == r.text;
}

// Reads one NUL-terminated text inside the content; false when it runs past the end.
bool ReadText(const Bytes& content, size_t* pos, std::string* text) {
    size_t end = *pos;
    while (end < content.size() && content[end] != 0) end++;
    if (end >= content.size()) return false;
    text->assign(content.begin() + *pos, content.begin() + end);
    *pos = end + 1;
    return true;
}
}  // namespace

std::string DumpArticle(const Bytes& content) {
    std::string out;
    size_t pos = 0;
    bool afterTitle = false;
    for (int index = 0; pos + 2 <= content.size() && content[pos] != 0; index++) {
        PackedRecord r;
        r.style = content[pos];
        r.indent = content[pos + 1];
        pos += 2;
        if (!ReadText(content, &pos, &r.text)) {
            out += "// the last record is cut short by the end of the content\n";
            return out;
        }
        std::string block = ReadableBlock(r, index == 0, afterTitle);
        if (block.empty() || !CompilesTo(block, r, index == 0, afterTitle)) block = RawBlock(r);
        afterTitle = index == 0 && IsTitleRecord(r);
        if (index > 0) out += '\n';
        out += block + "\n";
    }
    return out;
}

bool DumpIndex(const Bytes& content, std::string* out) {
    out->clear();
    size_t pos = 0;
    int headingLevel = 0;
    for (size_t position = 0; pos + 4 <= content.size() && content[pos + 2] != 0; position++) {
        uint16_t key = (uint16_t)(content[pos] | content[pos + 1] << 8);
        uint8_t style = content[pos + 2], level = content[pos + 3];
        std::string caption;
        pos += 4;
        std::string where = "index record " + std::to_string(position) + ": ";
        if (!ReadText(content, &pos, &caption)) {
            *out = where + "cut short by the end of the index";
            return false;
        }
        bool ascii = !caption.empty() && caption.front() != ' ' && caption.back() != ' ' && caption.size() <= kMaxCaptionSize;
        for (char c : caption) ascii = ascii && c >= 0x20 && c <= 0x7E;
        if (!ascii) {
            *out = where + "the caption is not plain ASCII of 1 to 80 characters";
            return false;
        }
        bool heading = key == IndexHeadingKey(position) && level >= 1 && level <= 5 &&
                       style == (level == 1 ? kIndexTopHeadingStyle : kIndexEntryStyle);
        int article = key & kKeyNumberMask;
        bool link = (key & (kKeyHeading | kKeyLink)) == kKeyLink && article >= 1 && article <= kArticleCount &&
                    style == kIndexEntryStyle && level >= 1;
        char number[8];
        snprintf(number, sizeof number, "%03d", article);
        if (heading) {
            *out += std::string(level, '#') + " " + caption + "\n";
            headingLevel = level;
        } else if (link && headingLevel > 0 && level == headingLevel + 1) {
            *out += std::string("- ") + number + " " + caption + "\n";
        } else if (link && level <= 5) {
            *out += '-';
            *out += std::to_string(level) + " " + number + " " + caption + "\n";
        } else {
            *out = where + "no source form for this key, style and level";
            return false;
        }
    }
    return true;
}
