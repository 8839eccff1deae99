// Hebrew paragraphs are typed in reading order and stored in display order, with the 27
// letters (U+05D0..U+05EA) as the bytes 'a'..'{' and a literal '{' as '~'.
#include "HebrewText.h"

#include <fribidi.h>

#include <vector>

#include "Utf8.h"

namespace {
constexpr char32_t kFirstLetter = 0x05D0;
constexpr char32_t kLastLetter = 0x05EA;
constexpr char kFirstLetterByte = 'a';

bool IsHebrewLetter(char32_t c) { return c >= kFirstLetter && c <= kLastLetter; }

// A right-to-left paragraph laid out as one line, brackets mirrored.
bool ReorderRightToLeft(const std::u32string& text, std::u32string* out) {
    std::vector<FriBidiChar> in(text.begin(), text.end()), visual(text.size() + 1);
    FriBidiParType base = FRIBIDI_PAR_RTL;
    if (!text.empty() && !fribidi_log2vis(in.data(), (FriBidiStrIndex)in.size(), &base, visual.data(), nullptr,
                                          nullptr, nullptr))
        return false;
    out->assign(visual.begin(), visual.begin() + text.size());
    return true;
}
}  // namespace

std::string CheckHebrewCharacter(char32_t c) {
    if (IsHebrewLetter(c)) return "";
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        return "Latin letter " + DescribeCodePoint(c) + " in a Hebrew paragraph";
    if (c == '~') return "'~' cannot be stored in a Hebrew paragraph";
    if (c >= 0x20 && c <= 0x7E) return "";
    if (c >= 0x0590 && c <= 0x05FF)
        return "Hebrew character " + DescribeCodePoint(c) + " is not one of the 27 letters (no points or marks)";
    return "character " + DescribeCodePoint(c) + " cannot be stored in a Hebrew paragraph";
}

bool HebrewToStored(const std::u32string& logical, std::string* stored) {
    for (char32_t c : logical) {
        if (!CheckHebrewCharacter(c).empty()) return false;
    }
    std::u32string visual;
    if (!ReorderRightToLeft(logical, &visual)) return false;
    stored->clear();
    for (char32_t c : visual) {
        if (IsHebrewLetter(c)) {
            *stored += (char)(kFirstLetterByte + (c - kFirstLetter));
        } else if (c == '{') {
            *stored += '~';
        } else if (c >= 0x20 && c <= 0x7D) {
            *stored += (char)c;
        } else {
            return false;  // mirroring never leaves ASCII, so this does not happen
        }
    }
    return true;
}

bool StoredToHebrew(const std::string& stored, std::u32string* logical) {
    std::u32string visual;
    for (unsigned char b : stored) {
        if (b >= 'a' && b <= '{') {
            visual += kFirstLetter + (b - kFirstLetterByte);
        } else if (b == '~') {
            visual += U'{';
        } else if (b >= 0x20 && b <= 0x7D && !(b >= 'A' && b <= 'Z')) {
            visual += b;
        } else {
            return false;
        }
    }
    // One line of a right-to-left paragraph reads back by the same reordering: it reverses
    // the line and restores the left-to-right runs. The caller checks the result compiles
    // back to the same bytes.
    return ReorderRightToLeft(visual, logical);
}
