// tools/ holds the build-time tools: velun-pack, the collection compiler, and
// velun-icon. They call content/, resources/ and platform/ (velun-icon its Qt
// painter, platform/qt/icon/), and open no window.
#include "ArticleMarkers.h"

#include "../content/ArticleRecords.h"

const ArticleMarker kPlainMarker = {"", 0x81, 0x00, MarkerText::AsWritten, MarkerRole::Text};

const ArticleMarker kArticleMarkers[] = {
    {"#", kTitleStyle, 0x00, MarkerText::AsWritten, MarkerRole::Title},
    {"%", kSubtitleStyle, 0x00, MarkerText::AsWritten, MarkerRole::Subtitle},
    {"##", 0xCC, 0x00, MarkerText::AsWritten, MarkerRole::Text},
    {"1.", 0x81, 0x40, MarkerText::Numbered, MarkerRole::Text},
    {"*", 0x81, 0x40, MarkerText::Bullet, MarkerRole::Text},
    {"+", 0x81, 0x40, MarkerText::Continuation, MarkerRole::Text},
    {">", 0x81, 0x0C, MarkerText::AsWritten, MarkerRole::Text},
    {"small:", 0x82, 0x00, MarkerText::AsWritten, MarkerRole::Text},
    {"small>", 0x82, 0x0C, MarkerText::AsWritten, MarkerRole::Text},
    {"center:", 0xC1, 0x00, MarkerText::AsWritten, MarkerRole::Text},
    {"center-small:", 0xC2, 0x00, MarkerText::AsWritten, MarkerRole::Text},
    {"center-line:", 0x41, 0x00, MarkerText::AsWritten, MarkerRole::Text},
    {"line:", 0x01, 0x00, MarkerText::AsWritten, MarkerRole::Text},
    {"small-line:", 0x02, 0x00, MarkerText::AsWritten, MarkerRole::Text},
    {"bold-line:", 0x09, 0x00, MarkerText::AsWritten, MarkerRole::Text},
    {"bullet-line:", 0x01, 0x40, MarkerText::Bullet, MarkerRole::Text},
    {"right:", 0x21, 0x00, MarkerText::AsWritten, MarkerRole::Text},
    {"hebrew:", 0xB1, 0x00, MarkerText::Hebrew, MarkerRole::Text},
    {"hebrew-heading:", 0xDC, 0x00, MarkerText::Hebrew, MarkerRole::Text},
    {"rule:", kRuleStyle, 0x00, MarkerText::Rule, MarkerRole::Text},
    {"raw", 0x00, 0x00, MarkerText::Raw, MarkerRole::Text},
};
const size_t kArticleMarkerCount = sizeof kArticleMarkers / sizeof kArticleMarkers[0];

namespace {
const ArticleMarker* MarkerNamed(const std::string& name) {
    for (const ArticleMarker& m : kArticleMarkers) {
        if (name == m.name) return &m;
    }
    return nullptr;
}

bool IsNumberedToken(const std::string& token) {
    if (token.size() < 2 || token.back() != '.') return false;
    for (size_t i = 0; i + 1 < token.size(); i++) {
        if (token[i] < '0' || token[i] > '9') return false;
    }
    return true;
}

// A lower-case word with hyphens, ended by ':' or '>': the shape of every word marker.
bool IsWordMarkerToken(const std::string& token) {
    if (token.size() < 2 || (token.back() != ':' && token.back() != '>')) return false;
    if (token[0] < 'a' || token[0] > 'z') return false;
    for (size_t i = 1; i + 1 < token.size(); i++) {
        char c = token[i];
        if (!((c >= 'a' && c <= 'z') || c == '-')) return false;
    }
    return true;
}

size_t SkipSpaces(const std::string& line, size_t pos) {
    while (pos < line.size() && line[pos] == ' ') pos++;
    return pos;
}
}  // namespace

const ArticleMarker* FindArticleMarker(const std::string& line, size_t* textStart) {
    *textStart = 0;
    size_t end = line.find(' ');
    std::string token = line.substr(0, end);
    size_t after = end == std::string::npos ? line.size() : SkipSpaces(line, end);
    if (line.compare(0, 6, "raw 0x") == 0) {
        *textStart = 3;
        return MarkerNamed("raw");
    }
    if (IsNumberedToken(token)) return MarkerNamed("1.");
    if (token == "#" || token == "##" || token == "%" || token == "*" || token == "+" || token == ">" ||
        IsWordMarkerToken(token)) {
        *textStart = after;
        return MarkerNamed(token);
    }
    if (token.size() >= 3 && token.find_first_not_of('#') == std::string::npos) return nullptr;
    return &kPlainMarker;
}

bool StartsWithMarker(const std::string& line) {
    size_t textStart;
    return FindArticleMarker(line, &textStart) != &kPlainMarker;
}
