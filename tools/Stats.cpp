#include "Stats.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "../content/ArticleRecords.h"
#include "../content/IndexRecords.h"
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

// The content comes from this compiler, so it ends as every stored buffer does and the
// record walkers can read it.
struct ArticleCounts {
    std::map<std::pair<uint8_t, uint8_t>, size_t> styles;
    size_t records = 0;
    size_t largest = 0;
    uint16_t largestId = 0;
};

void CountArticle(const PackedResource& r, ArticleCounts* c) {
    ArticleWalker walker = StartArticleWalk(r.content.data());
    ArticleRecord record;
    while (NextArticleRecord(&walker, &record)) {
        c->styles[{record.style, record.indent}]++;
        c->records++;
    }
    if (r.content.size() > c->largest) {
        c->largest = r.content.size();
        c->largestId = r.id;
    }
}

std::string IndexLine(const Bytes& b) {
    size_t records = 0, headings = 0, links = 0;
    int minLevel = 255, maxLevel = 0;
    IndexWalker walker = StartIndexWalk(b.data());
    IndexEntry entry;
    while (NextIndexEntry(&walker, &entry)) {
        records++;
        if (entry.key & kKeyHeading) headings++;
        if ((entry.key & (kKeyHeading | kKeyLink)) == kKeyLink) links++;
        minLevel = std::min(minLevel, (int)entry.level);
        maxLevel = std::max(maxLevel, (int)entry.level);
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
