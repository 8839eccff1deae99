// Article sources to records: splitting into blocks, markers, character checks, and the
// rules that hold across blocks (title first, subtitle right after it, sizes).
#include "ArticleSource.h"

#include <cstdio>

#include "../content/ArticleRecords.h"
#include "ArticleMarkers.h"
#include "HebrewText.h"
#include "SourceText.h"
#include "Utf8.h"

namespace {
constexpr size_t kRecordOverhead = 3;  // style, indent, NUL
constexpr size_t kArticleEndSize = 3;

// A piece of the block's text with the line it came from, for messages.
struct TextPiece {
    int line;
    std::string text;
};

bool CheckPlainText(const TextPiece& piece, const std::string& file, Diagnostics* diag) {
    bool ok = true;
    for (size_t pos = 0; pos < piece.text.size();) {
        char32_t c = NextCodePoint(piece.text, &pos);
        if (c >= 0x20 && c <= 0x7E) continue;
        std::string hint = c >= 0x05D0 && c <= 0x05EA ? " (Hebrew belongs in a hebrew: block)" : " (use plain ASCII)";
        AddError(diag, file, piece.line, "character " + DescribeCodePoint(c) + " cannot be stored" + hint);
        ok = false;
    }
    return ok;
}

bool CheckHebrewText(const TextPiece& piece, const std::string& file, Diagnostics* diag) {
    bool ok = true;
    for (size_t pos = 0; pos < piece.text.size();) {
        std::string problem = CheckHebrewCharacter(NextCodePoint(piece.text, &pos));
        if (problem.empty()) continue;
        AddError(diag, file, piece.line, problem);
        ok = false;
    }
    return ok;
}

std::string JoinPieces(const std::vector<TextPiece>& pieces) {
    std::string text;
    for (const TextPiece& p : pieces) {
        if (p.text.empty()) continue;
        if (!text.empty()) text += ' ';
        text += p.text;
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseHexByte(const std::string& s, size_t pos, uint8_t* value) {
    if (pos + 2 > s.size() || HexDigit(s[pos]) < 0 || HexDigit(s[pos + 1]) < 0) return false;
    *value = (uint8_t)(HexDigit(s[pos]) << 4 | HexDigit(s[pos + 1]));
    return true;
}

// Raw text: "\xHH" stands for the byte HH and "\\" for a backslash.
bool UnescapeRaw(const TextPiece& piece, const std::string& file, std::string* out, Diagnostics* diag) {
    const std::string& s = piece.text;
    for (size_t i = 0; i < s.size(); i++) {
        uint8_t b = (uint8_t)s[i];
        if (b == '\\' && i + 1 < s.size() && s[i + 1] == '\\') {
            i++;
        } else if (b == '\\' && i + 1 < s.size() && s[i + 1] == 'x' && ParseHexByte(s, i + 2, &b)) {
            i += 3;
            if (b == 0) {
                AddError(diag, file, piece.line, "\\x00 cannot be stored: it ends the text");
                return false;
            }
        } else if (b == '\\') {
            // A backslash only begins an escape: one that is not \\ or \xHH is a typo to fix, not text.
            std::string seen = s.substr(i, i + 1 < s.size() && s[i + 1] == 'x' ? 4 : 2);
            AddError(diag, file, piece.line, "malformed escape \"" + seen + "\": write \\xHH (two hex digits) or \\\\");
            return false;
        } else if (b < 0x20 || b > 0x7E) {
            AddError(diag, file, piece.line, "raw text holds a byte that is not ASCII; write it as \\xHH");
            return false;
        }
        *out += (char)b;
    }
    return true;
}

// "raw 0xSS 0xII: text"; pieces[0] holds what follows "raw".
bool ParseRaw(std::vector<TextPiece>* pieces, const std::string& file, PackedRecord* record, Diagnostics* diag) {
    std::string& head = (*pieces)[0].text;
    uint8_t style, indent;
    if (head.size() < 11 || head.compare(0, 3, " 0x") != 0 || !ParseHexByte(head, 3, &style) || head.compare(5, 3, " 0x") != 0 ||
        !ParseHexByte(head, 8, &indent) || head.compare(10, 1, ":") != 0) {
        AddError(diag, file, (*pieces)[0].line, "malformed raw marker: write raw 0xSS 0xII: text");
        return false;
    }
    if (style == 0) {
        AddError(diag, file, (*pieces)[0].line, "style byte 0x00 would end the article");
        return false;
    }
    head = head.size() > 11 && head[11] == ' ' ? head.substr(12) : head.substr(11);
    record->style = style;
    record->indent = indent;
    bool ok = true;
    std::string text;
    for (size_t i = 0; i < pieces->size(); i++) {
        if (i > 0 && !(*pieces)[i].text.empty() && !text.empty()) text += ' ';
        ok = UnescapeRaw((*pieces)[i], file, &text, diag) && ok;
    }
    record->text = text;
    return ok;
}

// "74%" (even, 2..190) or "40px" (1..160) to the separator's indent byte.
bool ParseRuleWidth(const std::string& width, uint8_t* indent) {
    size_t digits = width.find_first_not_of("0123456789");
    if (digits == 0 || digits == std::string::npos || digits > 3) return false;
    int value = std::stoi(width.substr(0, digits));
    std::string unit = width.substr(digits);
    if (unit == "%" && value >= 2 && value <= 190 && value % 2 == 0) {
        *indent = (uint8_t)(160 + value / 2);
        return true;
    }
    if (unit == "px" && value >= 1 && value <= 160) {
        *indent = (uint8_t)value;
        return true;
    }
    return false;
}

bool BuildText(const ArticleMarker& marker, const SourceBlock& block, std::vector<TextPiece>* pieces,
               const std::string& file, PackedRecord* record, Diagnostics* diag) {
    int firstLine = block.lines[0].number;
    record->style = marker.style;
    record->indent = marker.indent;
    if (marker.text == MarkerText::Raw) return ParseRaw(pieces, file, record, diag);
    bool ok = true;
    for (const TextPiece& p : *pieces) {
        ok = (marker.text == MarkerText::Hebrew ? CheckHebrewText(p, file, diag) : CheckPlainText(p, file, diag)) && ok;
    }
    if (!ok) return false;
    std::string text = JoinPieces(*pieces);
    switch (marker.text) {
    case MarkerText::Bullet:
        record->text = std::string(1, (char)kBulletByte) + " " + text;
        return true;
    case MarkerText::Continuation:
        record->text = " " + text;
        return true;
    case MarkerText::Hebrew:
        if (!HebrewToStored(DecodeUtf8(text), &record->text)) {
            AddError(diag, file, firstLine, "the Hebrew paragraph cannot be reordered");
            return false;
        }
        return true;
    case MarkerText::Rule:
        if (!ParseRuleWidth(text, &record->indent)) {
            AddError(diag, file, firstLine, "bad rule width '" + text + "': use an even 2% to 190%, or 1px to 160px");
            return false;
        }
        return true;
    default:
        record->text = text;
        return true;
    }
}
}  // namespace

std::vector<SourceBlock> SplitSourceBlocks(const std::string& text) {
    std::vector<SourceBlock> blocks;
    bool open = false;
    std::vector<std::string> lines = SourceLines(text);
    for (size_t i = 0; i < lines.size(); i++) {
        if (lines[i].compare(0, 2, "//") == 0) continue;
        std::string line = TrimLine(lines[i]);
        if (line.empty()) {
            open = false;
            continue;
        }
        if (!open || StartsWithMarker(line)) blocks.push_back({});
        blocks.back().lines.push_back({(int)i + 1, line});
        open = true;
    }
    return blocks;
}

bool ParseSourceBlock(const SourceBlock& block, const std::string& file, ParsedBlock* out, Diagnostics* diag) {
    const SourceLine& first = block.lines[0];
    size_t textStart;
    const ArticleMarker* marker = FindArticleMarker(first.text, &textStart);
    if (!marker) {
        std::string token = first.text.substr(0, first.text.find(' '));
        AddError(diag, file, first.number, "unknown marker '" + token + "'");
        return false;
    }
    std::vector<TextPiece> pieces;
    pieces.push_back({first.number, marker->text == MarkerText::Numbered ? first.text : first.text.substr(textStart)});
    for (size_t i = 1; i < block.lines.size(); i++) pieces.push_back({block.lines[i].number, block.lines[i].text});
    if (marker->text == MarkerText::Numbered) {
        // One space between the number and the text, however many were typed.
        std::string& t = pieces[0].text;
        size_t dot = t.find('.');
        size_t rest = t.find_first_not_of(' ', dot + 1);
        std::string text = rest == std::string::npos ? "" : t.substr(rest);
        t.erase(dot + 1);
        if (!text.empty()) t += ' ' + text;
    }
    out->role = marker->role == MarkerRole::Title      ? BlockRole::Title
                : marker->role == MarkerRole::Subtitle ? BlockRole::Subtitle
                                                       : BlockRole::Text;
    if (!BuildText(*marker, block, &pieces, file, &out->record, diag)) return false;
    if (out->record.text.size() + kRecordOverhead > kMaxContentSize) {
        AddError(diag, file, first.number, "the paragraph is over 65,535 bytes");
        return false;
    }
    return true;
}

bool IsTitleRecord(const PackedRecord& r) {
    return (r.style == kTitleStyle || r.style == kRtlTitleStyle) && r.indent == 0;
}

std::vector<PackedRecord> ParseArticleSource(const std::string& text, const std::string& file, Diagnostics* diag) {
    std::vector<PackedRecord> records;
    std::vector<SourceBlock> blocks = SplitSourceBlocks(text);
    if (blocks.empty()) {
        AddError(diag, file, 0, "the article is empty: it starts with its title (# Title)");
        return records;
    }
    size_t size = kArticleEndSize;
    bool previousIsTitle = false;
    for (size_t i = 0; i < blocks.size(); i++) {
        ParsedBlock parsed;
        int line = blocks[i].lines[0].number;
        bool ok = ParseSourceBlock(blocks[i], file, &parsed, diag);
        const PackedRecord& r = parsed.record;
        bool isTitle = ok && IsTitleRecord(r);
        if (i == 0 && ok && !isTitle) AddError(diag, file, line, "the article must start with its title (# Title)");
        if (i == 0 && isTitle && r.text.empty()) AddError(diag, file, line, "the title is empty");
        if (i > 0 && parsed.role == BlockRole::Title)
            AddError(diag, file, line, "a second title: use ## for a heading");
        if (parsed.role == BlockRole::Subtitle && !(i == 1 && previousIsTitle))
            AddError(diag, file, line, "a subtitle (%) must come right after the title");
        previousIsTitle = i == 0 && isTitle;
        if (!ok) continue;
        size += r.text.size() + kRecordOverhead;
        records.push_back(r);
    }
    if (size > kMaxContentSize)
        AddError(diag, file, 0, "the article is " + std::to_string(size) + " bytes, over the 65,535 that can be stored");
    return records;
}

Bytes ArticleBytes(const std::vector<PackedRecord>& records) {
    Bytes out;
    for (const PackedRecord& r : records) {
        out.push_back(r.style);
        out.push_back(r.indent);
        out.insert(out.end(), r.text.begin(), r.text.end());
        out.push_back(0);
    }
    out.insert(out.end(), kArticleEndSize, 0);
    return out;
}
