#include "Stats.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "ArticleMarkers.h"
#include "Compress.h"
#include "Container.h"

namespace {
// 1234567 -> "1,234,567"
std::string Thousands(size_t n) {
    std::string digits = std::to_string(n), out;
    for (size_t i = 0; i < digits.size(); i++) {
        if (i && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

// The source markers that make a style and indent pair.
std::string MarkersFor(uint8_t style, uint8_t indent) {
    std::string names;
    auto add = [&](const ArticleMarker& m) {
        bool rule = m.text == MarkerText::Rule && style == kRuleStyle;
        if (!rule && (m.style != style || m.indent != indent || m.text == MarkerText::Raw)) return;
        if (!names.empty()) names += " ";
        names += *m.name ? m.name : "(plain)";
    };
    add(kPlainMarker);
    for (size_t i = 0; i < kArticleMarkerCount; i++) add(kArticleMarkers[i]);
    return names.empty() ? "raw" : names;
}

struct ArticleCounts {
    std::map<std::pair<uint8_t, uint8_t>, size_t> styles;
    size_t records = 0;
    size_t largest = 0;
    uint16_t largestId = 0;
};

void CountArticle(const PackedResource& r, ArticleCounts* c) {
    const Bytes& b = r.content;
    for (size_t pos = 0; pos + 2 < b.size() && b[pos] != 0;) {
        c->styles[{b[pos], b[pos + 1]}]++;
        c->records++;
        pos += 2;
        while (pos < b.size() && b[pos] != 0) pos++;
        pos++;
    }
    if (b.size() > c->largest) {
        c->largest = b.size();
        c->largestId = r.id;
    }
}

std::string IndexLine(const Bytes& b) {
    size_t records = 0, headings = 0, links = 0;
    int minLevel = 255, maxLevel = 0;
    for (size_t pos = 0; pos + 4 < b.size() && b[pos + 2] != 0;) {
        records++;
        if (b[pos + 1] & 0x80) headings++;
        if ((b[pos + 1] & 0xC0) == 0x40) links++;
        minLevel = std::min(minLevel, (int)b[pos + 3]);
        maxLevel = std::max(maxLevel, (int)b[pos + 3]);
        pos += 4;
        while (pos < b.size() && b[pos] != 0) pos++;
        pos++;
    }
    char line[160];
    snprintf(line, sizeof line, "Index: %zu records, %s bytes; %zu headings, %zu links, levels %d to %d\n", records,
             Thousands(b.size()).c_str(), headings, links, records ? minLevel : 0, maxLevel);
    return line;
}
}  // namespace

std::string CollectionStats(const std::vector<PackedResource>& resources) {
    ArticleCounts counts;
    size_t articles = 0, plain = 0, packed = 0, greedy = 0;
    std::string index;
    for (const PackedResource& r : resources) {
        plain += r.content.size();
        packed += r.resource.size() - kContainerHeaderSize - kContainerTrailerSize;
        greedy += CompressGreedy(r.content).size();
        if (r.id == kIndexId) {
            index = IndexLine(r.content);
        } else {
            articles++;
            CountArticle(r, &counts);
        }
    }
    std::vector<std::pair<std::pair<uint8_t, uint8_t>, size_t>> rows(counts.styles.begin(), counts.styles.end());
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.second > b.second; });

    std::string out = "Articles: " + std::to_string(articles) + ", records: " + Thousands(counts.records) + "\n\n";
    out += "| Style | Indent | Records | Reading |\n|---|---|---|---|\n";
    for (const auto& [key, n] : rows) {
        char line[160];
        snprintf(line, sizeof line, "| 0x%02X | 0x%02X | %s | %s |\n", key.first, key.second, Thousands(n).c_str(),
                 MarkersFor(key.first, key.second).c_str());
        out += line;
    }
    out += "\nLargest article: " + Thousands(counts.largest) + " bytes (article " +
           std::to_string(counts.largestId - kContentIdBase) + ")\n";
    out += index;
    char line[200];
    snprintf(line, sizeof line,
             "Decompressed: %s bytes; compressed streams: %s bytes (%.1f%%)\n"
             "Greedy parse: %s bytes; the optimal parse is %s bytes (%.2f%%) smaller\n",
             Thousands(plain).c_str(), Thousands(packed).c_str(), plain ? 100.0 * packed / plain : 0.0,
             Thousands(greedy).c_str(), Thousands(greedy - packed).c_str(),
             greedy ? 100.0 * (greedy - packed) / greedy : 0.0);
    return out + line;
}
