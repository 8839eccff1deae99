// Random records survive the trip through the source form, and random input never
// breaks the parsers or the dump.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tools/ArticleSource.h"
#include "tools/Dump.h"
#include "tools/IndexSource.h"

namespace {

std::string RandomText(std::mt19937& rng, size_t maxLength, bool printable) {
    std::string text(rng() % (maxLength + 1), ' ');
    for (char& c : text) c = (char)(printable ? 0x20 + rng() % 95 : 1 + rng() % 255);
    return text;
}

// Records of every kind the markers make, and of kinds only raw blocks can express.
PackedRecord RandomRecord(std::mt19937& rng) {
    static const uint8_t kStyles[] = {0x81, 0xCC, 0xC1, 0x82, 0xC7, 0x41, 0x01, 0x09, 0x02, 0x21, 0xB1, 0xDC};
    static const uint8_t kIndents[] = {0x00, 0x40, 0x0C, 0xC5, 0xAC};
    PackedRecord r;
    r.style = rng() % 4 ? kStyles[rng() % std::size(kStyles)] : (uint8_t)(1 + rng() % 255);
    r.indent = rng() % 4 ? kIndents[rng() % std::size(kIndents)] : (uint8_t)rng();
    switch (rng() % 5) {
    case 0: r.text = "\x95 " + RandomText(rng, 20, true); break;
    case 1: r.text = std::to_string(rng() % 30) + ". " + RandomText(rng, 20, true); break;
    case 2: r.text = RandomText(rng, 30, false); break;
    case 3: r.text = ""; break;
    default: r.text = RandomText(rng, 60, true); break;
    }
    if ((r.style == 0xB1 || r.style == 0xDC) && rng() % 2) {
        r.text.clear();
        static const std::string kStoredHebrew = "abcdefghijklmnopqrstuvwxyz{~ .,:;'-()[]0123456789";
        for (int i = rng() % 20; i > 0; i--) r.text += kStoredHebrew[rng() % kStoredHebrew.size()];
    }
    return r;
}

TEST(PackRobust, RandomArticlesComeBackFromTheirDump) {
    std::mt19937 rng(1);
    for (int round = 0; round < 300; round++) {
        std::vector<PackedRecord> records = {{0xCC, 0x00, "Title " + std::to_string(round)}};
        for (int i = rng() % 12; i > 0; i--) records.push_back(RandomRecord(rng));
        Bytes bytes = ArticleBytes(records);
        std::string source = DumpArticle(bytes);
        Diagnostics diag;
        Bytes again = ArticleBytes(ParseArticleSource(source, "r.txt", &diag));
        ASSERT_TRUE(diag.list.empty()) << FormatDiagnostic(diag.list[0]) << "\n" << source;
        size_t differ = std::mismatch(again.begin(), again.end(), bytes.begin(), bytes.end()).first - again.begin();
        ASSERT_EQ(again, bytes) << "first difference at byte " << differ << "\n" << source;
    }
}

TEST(PackRobust, GarbageNeverBreaksTheParsersOrTheDump) {
    std::mt19937 rng(2);
    for (int round = 0; round < 500; round++) {
        std::string noise = RandomText(rng, 400, round % 2 == 0);
        for (char& c : noise) {
            if (rng() % 9 == 0) c = "\n#%*+>:-0123 raw 0x\\"[rng() % 20];
        }
        Diagnostics diag;
        ParseArticleSource(noise, "g.txt", &diag);
        ParseIndexSource(noise, "g.txt", &diag);
        std::string out;
        DumpIndex(Bytes(noise.begin(), noise.end()), &out);
        DumpArticle(Bytes(noise.begin(), noise.end()));
    }
}

}  // namespace
