// The markers that begin a block of an article source, with the record each one makes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum class MarkerText {
    AsWritten,     // the text after the marker
    Numbered,      // the whole line, number included ("1. Text")
    Bullet,        // 0x95, a space, then the text
    Continuation,  // a space, then the text
    Hebrew,        // logical-order Hebrew, stored in display order
    Rule,          // a width instead of text
    Raw,           // explicit style and indent bytes, text with \xHH escapes
};

enum class MarkerRole { Text, Title, Subtitle };

struct ArticleMarker {
    const char* name;  // as written in the source; "" for a plain paragraph
    uint8_t style;
    uint8_t indent;
    MarkerText text;
    MarkerRole role;
};

extern const ArticleMarker kPlainMarker;
extern const ArticleMarker kArticleMarkers[];
extern const size_t kArticleMarkerCount;

constexpr uint8_t kBulletByte = 0x95;
constexpr uint8_t kRuleStyle = 0xC7;

// The marker at the start of a trimmed line: kPlainMarker when there is none, null for a
// word that looks like a marker but is not one. *textStart gets where the text begins.
const ArticleMarker* FindArticleMarker(const std::string& line, size_t* textStart);
// True when the line begins with a marker (a known one or one that looks like it).
bool StartsWithMarker(const std::string& line);
