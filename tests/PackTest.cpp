// The collection compiler: source markers to records, Hebrew reordering, the index,
// error reports with their lines, and the round trip through --dump.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "content/Content.h"
#include "tools/ArticleSource.h"
#include "tools/Collection.h"
#include "tools/Dump.h"
#include "tools/HebrewText.h"
#include "tools/IndexSource.h"
#include "tools/Utf8.h"

namespace fs = std::filesystem;

namespace {

std::vector<PackedRecord> Parse(const std::string& source, Diagnostics* diag) {
    return ParseArticleSource(source, "a.txt", diag);
}

std::string Stored(const std::string& utf8) {
    std::string stored;
    EXPECT_TRUE(HebrewToStored(DecodeUtf8(utf8), &stored)) << utf8;
    return stored;
}

std::vector<std::string> Messages(const Diagnostics& diag) {
    std::vector<std::string> out;
    for (const Diagnostic& d : diag.list) out.push_back(FormatDiagnostic(d));
    return out;
}

bool HasMessage(const Diagnostics& diag, const std::string& prefix, const std::string& part) {
    for (const std::string& m : Messages(diag)) {
        if (m.compare(0, prefix.size(), prefix) == 0 && m.find(part) != std::string::npos) return true;
    }
    return false;
}

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteWhole(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A throw-away folder, removed with everything in it.
struct TempDir {
    fs::path path;
    TempDir() {
        char pattern[] = "/tmp/velun-pack-test-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() { fs::remove_all(path); }
};

// A small valid collection: every article a title, the index one heading and 187 links.
void WriteMinimalCollection(const fs::path& dir) {
    std::string index = "# Everything\n";
    for (int n = 1; n <= 187; n++) {
        char name[32];
        snprintf(name, sizeof name, "%03d-article.txt", n);
        WriteWhole(dir / "articles" / name, "# Article " + std::to_string(n) + "\n");
        index += "- " + std::string(name, 3) + " Article " + std::to_string(n) + "\n";
    }
    WriteWhole(dir / "index.txt", index);
}

Bytes Decode(const PackedResource& r) {
    const Bytes& res = r.resource;
    int status = 0;
    BYTE* decoded = UnpackContent(res.data() + 6, res[0] << 8 | res[1], 0, &status);
    if (!decoded) return {};
    Bytes out(decoded, decoded + (res[8] << 8 | res[9]));
    free(decoded);
    return out;
}

TEST(PackArticle, EveryMarkerMakesItsRecord) {
    const char* source =
        "# The Title\n\n% Sub\n\n## Heading\n\nPlain text\nover two lines.\n\n1.   First\n* Bullet\n+ More\n\n"
        "> Quote\n\nsmall: S\n\nsmall> SI\n\ncenter: C\n\ncenter-small: CS\n\ncenter-line: CL\n\nline: L1\n"
        "line: L2\n\nsmall-line: SL\n\nbold-line: BL\nbullet-line: BU\n\nright: R\n\nrule: 74%\n\nrule: 24%\n\nrule: 40px\n\n"
        "rule: 190%\n\n// a comment\nraw 0x0E 0x4C: a\\x95b\\\\\\x20\n";
    struct Expected {
        uint8_t style, indent;
        const char* text;
    } expected[] = {
        {0xCC, 0x00, "The Title"}, {0xC1, 0x00, "Sub"},   {0xCC, 0x00, "Heading"}, {0x81, 0x00, "Plain text over two lines."},
        {0x81, 0x40, "1. First"},  {0x81, 0x40, "\x95 Bullet"}, {0x81, 0x40, " More"}, {0x81, 0x0C, "Quote"},
        {0x82, 0x00, "S"},         {0x82, 0x0C, "SI"},    {0xC1, 0x00, "C"},       {0xC2, 0x00, "CS"},
        {0x41, 0x00, "CL"},        {0x01, 0x00, "L1"},    {0x01, 0x00, "L2"},      {0x02, 0x00, "SL"},
        {0x09, 0x00, "BL"},        {0x01, 0x40, "\x95 BU"}, {0x21, 0x00, "R"},     {0xC7, 0xC5, ""},        {0xC7, 0xAC, ""},
        {0xC7, 40, ""},            {0xC7, 255, ""},       {0x0E, 0x4C, "a\x95" "b\\ "},
    };
    Diagnostics diag;
    std::vector<PackedRecord> records = Parse(source, &diag);
    ASSERT_TRUE(diag.list.empty()) << Messages(diag)[0];
    ASSERT_EQ(records.size(), std::size(expected));
    for (size_t i = 0; i < records.size(); i++) {
        EXPECT_EQ(records[i].style, expected[i].style) << i;
        EXPECT_EQ(records[i].indent, expected[i].indent) << i;
        EXPECT_EQ(records[i].text, expected[i].text) << i;
    }
}

TEST(PackArticle, ArticleEndsWithThreeZeroBytes) {
    Bytes bytes = ArticleBytes({{0xCC, 0x00, "T"}});
    EXPECT_EQ(bytes, (Bytes{0xCC, 0x00, 'T', 0, 0, 0, 0}));
}

TEST(PackHebrew, ParagraphIsStoredInDisplayOrder) {
    // Numbers keep their digits' order, the list "1, 2" and the brackets turn round.
    EXPECT_EQ(Stored("האות אלף (1, 2) היא אות."), ".{fa aje (2 ,1) tma {fae");
    EXPECT_EQ(Stored("שנת 1948"), "1948 {qz");
    // Letters in Unicode order, finals before their ordinary forms: kaf-final k, kaf l.
    EXPECT_EQ(Stored("ךכ"), "lk");
    // A mirrored '}' becomes '{', stored as '~'.
    EXPECT_EQ(Stored("א{ב}"), "~b}a");
    std::u32string logical;
    ASSERT_TRUE(StoredToHebrew(".{fa aje (2 ,1) tma {fae", &logical));
    EXPECT_EQ(EncodeUtf8(logical), "האות אלף (1, 2) היא אות.");
}

TEST(PackHebrew, OnlyTheLettersAndNeutralsAreAccepted) {
    EXPECT_EQ(CheckHebrewCharacter(U'א'), "");
    EXPECT_EQ(CheckHebrewCharacter(U'7'), "");
    EXPECT_NE(CheckHebrewCharacter(U'x').find("Latin letter"), std::string::npos);
    EXPECT_NE(CheckHebrewCharacter(0x05BC).find("27 letters"), std::string::npos);  // dagesh
    EXPECT_NE(CheckHebrewCharacter(U'~'), "");
    EXPECT_NE(CheckHebrewCharacter(0x200F), "");  // right-to-left mark
}

TEST(PackIndex, KeysStylesAndLevels) {
    Diagnostics diag;
    std::string source = "// outline\n# Top\n- 001 One\n## Sub\n\n- 002 Two\n-5 003 Deep\n";
    for (int n = 4; n <= 187; n++) source += "-2 " + std::to_string(n) + " A\n";
    std::vector<IndexSourceEntry> entries = ParseIndexSource(source, "index.txt", &diag);
    ASSERT_TRUE(diag.list.empty()) << Messages(diag)[0];
    Bytes bytes = IndexBytes(entries);
    Bytes start = {0xFE, 0xBF, 0x8C, 1, 'T', 'o', 'p', 0,  0x01, 0x40, 0x01, 2,   'O', 'n', 'e', 0,
                   0xFC, 0xBF, 0x01, 2, 'S', 'u', 'b', 0,  0x02, 0x40, 0x01, 3,   'T', 'w', 'o', 0,
                   0x03, 0x40, 0x01, 5, 'D', 'e', 'e', 'p', 0};
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + start.size()), start);
    EXPECT_EQ(Bytes(bytes.end() - 7, bytes.end()), (Bytes{'A', 0, 0, 0, 0, 0, 0}));
}

TEST(PackErrors, SourceFaultsAreReportedWithTheirLines) {
    Diagnostics diag;
    Parse("Not a title\n\n% late subtitle\n\ntext \xE2\x80\x94 dash\n\ncentre: typo\n\nrule: 75%\n\n"
          "hebrew: \xD7\x90x \xD6\xBC\n\nraw 0x00 0x00: x\n\n# again\n",
          &diag);
    EXPECT_TRUE(HasMessage(diag, "a.txt:1:", "start with its title"));
    EXPECT_TRUE(HasMessage(diag, "a.txt:3:", "right after the title"));
    EXPECT_TRUE(HasMessage(diag, "a.txt:5:", "U+2014"));
    EXPECT_TRUE(HasMessage(diag, "a.txt:7:", "unknown marker 'centre:'"));
    EXPECT_TRUE(HasMessage(diag, "a.txt:9:", "bad rule width"));
    EXPECT_TRUE(HasMessage(diag, "a.txt:11:", "Latin letter"));
    EXPECT_TRUE(HasMessage(diag, "a.txt:11:", "U+05BC"));
    EXPECT_TRUE(HasMessage(diag, "a.txt:13:", "0x00"));
    EXPECT_TRUE(HasMessage(diag, "a.txt:15:", "second title"));
    EXPECT_EQ(diag.list.size(), 9u);
}

TEST(PackErrors, OversizedRecordsAndArticles) {
    Diagnostics diag;
    Parse("# T\n\n" + std::string(65533, 'x') + "\n", &diag);
    ASSERT_EQ(diag.list.size(), 1u);
    EXPECT_TRUE(HasMessage(diag, "a.txt:3:", "paragraph is over 65,535"));

    diag.list.clear();
    std::string big = "# T\n";
    for (int i = 0; i < 7; i++) big += "\n" + std::string(10000, 'y') + "\n";
    Parse(big, &diag);
    ASSERT_EQ(diag.list.size(), 1u);
    EXPECT_TRUE(HasMessage(diag, "a.txt:", "over the 65,535"));
}

TEST(PackErrors, IndexFaults) {
    Diagnostics diag;
    std::string source = "- 001 Before any heading\n# Top\n- 188 No such article\n- 002 " + std::string(81, 'c') +
                         "\n- 002 Twice\n###### Too deep\n* What\n";
    for (int n = 3; n <= 186; n++) source += "- " + std::to_string(n) + " A\n";
    ParseIndexSource(source, "index.txt", &diag);
    EXPECT_TRUE(HasMessage(diag, "index.txt:1:", "needs a heading above it"));
    EXPECT_TRUE(HasMessage(diag, "index.txt:3:", "no article 188"));
    EXPECT_TRUE(HasMessage(diag, "index.txt:4:", "over 80"));
    EXPECT_TRUE(HasMessage(diag, "index.txt:5:", "already linked on line 4"));
    EXPECT_TRUE(HasMessage(diag, "index.txt:6:", "#####"));
    EXPECT_TRUE(HasMessage(diag, "index.txt:7:", "unknown line"));
    EXPECT_TRUE(HasMessage(diag, "index.txt: ", "article 1 has no link"));
    EXPECT_TRUE(HasMessage(diag, "index.txt: ", "article 187 has no link"));
    EXPECT_EQ(diag.list.size(), 8u);
}

TEST(PackErrors, MissingAndDuplicateArticleFilesStopTheWholeCollection) {
    TempDir temp;
    WriteMinimalCollection(temp.path);
    fs::remove(temp.path / "articles" / "007-article.txt");
    WriteWhole(temp.path / "articles" / "012-again.txt", "# Twelve\n");
    WriteWhole(temp.path / "articles" / "030-article.txt", "no title\n");
    Diagnostics diag;
    EXPECT_TRUE(PackCollection(temp.path.string(), &diag).empty());
    EXPECT_TRUE(HasMessage(diag, (temp.path / "articles").string() + ": ", "article 7 is missing"));
    EXPECT_TRUE(HasMessage(diag, "", "article 12 is also in"));
    EXPECT_TRUE(HasMessage(diag, (temp.path / "articles" / "030-article.txt").string() + ":1:", "title"));
    EXPECT_EQ(diag.list.size(), 3u);
}

TEST(PackTool, ErrorsWriteNothingAndExitWithStatusOne) {
    TempDir temp;
    WriteMinimalCollection(temp.path / "c");
    WriteWhole(temp.path / "c" / "articles" / "005-article.txt", "# Five\n\nsmal: typo\n");
    std::string command = std::string(VELUN_PACK) + " " + (temp.path / "c").string() + " --cpp " +
                          (temp.path / "t.cpp").string() + " --out-dir " + (temp.path / "out").string() + " 2>" +
                          (temp.path / "err").string();
    EXPECT_EQ(WEXITSTATUS(system(command.c_str())), 1);
    EXPECT_NE(ReadWhole(temp.path / "err").find("005-article.txt:3: unknown marker 'smal:'"), std::string::npos);
    EXPECT_FALSE(fs::exists(temp.path / "t.cpp"));
    EXPECT_FALSE(fs::exists(temp.path / "out"));

    // A malformed escape in raw text is refused the same way, wherever it stands.
    WriteWhole(temp.path / "c" / "articles" / "005-article.txt",
               "# Five\n\nraw 0x01 0x00: \\x4 short\n\nraw 0x01 0x00: ok\nthen \\xZZ\n\nraw 0x01 0x00: a\\q\n\n"
               "raw 0x01 0x00: end\\\n");
    EXPECT_EQ(WEXITSTATUS(system(command.c_str())), 1);
    std::string errors = ReadWhole(temp.path / "err");
    EXPECT_NE(errors.find("005-article.txt:3: malformed escape \"\\x4 \""), std::string::npos) << errors;
    EXPECT_NE(errors.find("005-article.txt:6: malformed escape \"\\xZZ\""), std::string::npos) << errors;
    EXPECT_NE(errors.find("005-article.txt:8: malformed escape \"\\q\""), std::string::npos) << errors;
    EXPECT_NE(errors.find("005-article.txt:10: malformed escape \"\\\""), std::string::npos) << errors;
    EXPECT_FALSE(fs::exists(temp.path / "t.cpp"));
    EXPECT_FALSE(fs::exists(temp.path / "out"));
}

TEST(PackTool, TableIsRewrittenOnlyWhenItChanges) {
    TempDir temp;
    WriteMinimalCollection(temp.path / "c");
    fs::path table = temp.path / "gen" / "t.cpp";
    std::string command = std::string(VELUN_PACK) + " " + (temp.path / "c").string() + " --cpp " + table.string();
    ASSERT_EQ(system(command.c_str()), 0);
    std::string text = ReadWhole(table);
    EXPECT_NE(text.find("const ResourceTable kContentResourceTable = {kEntries, 188};"), std::string::npos);
    EXPECT_NE(text.find("{10, 32767, kResource32767, sizeof kResource32767}"), std::string::npos);
    fs::last_write_time(table, fs::file_time_type());  // far in the past
    ASSERT_EQ(system(command.c_str()), 0);
    EXPECT_EQ(fs::last_write_time(table), fs::file_time_type());
    WriteWhole(temp.path / "c" / "articles" / "001-article.txt", "# Changed\n");
    ASSERT_EQ(system(command.c_str()), 0);
    EXPECT_NE(fs::last_write_time(table), fs::file_time_type());
}

TEST(PackTool, ResourceFilesDumpBackToTheirSource) {
    TempDir temp;
    WriteMinimalCollection(temp.path / "c");
    WriteWhole(temp.path / "c" / "articles" / "009-article.txt", "# Nine\n\nhebrew: \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D 9\n");
    std::string pack = std::string(VELUN_PACK) + " ";
    ASSERT_EQ(system((pack + (temp.path / "c").string() + " --out-dir " + (temp.path / "out").string()).c_str()), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path / "out"), fs::directory_iterator()), 188);
    fs::path dumped = temp.path / "dumped";
    ASSERT_EQ(system((pack + "--dump " + (temp.path / "out" / "1009.bin").string() + " >" + dumped.string()).c_str()), 0);
    EXPECT_EQ(ReadWhole(dumped), ReadWhole(temp.path / "c" / "articles" / "009-article.txt"));
    ASSERT_EQ(system((pack + "--dump " + (temp.path / "out" / "32767.bin").string() + " >" + dumped.string()).c_str()), 0);
    EXPECT_EQ(ReadWhole(dumped), ReadWhole(temp.path / "c" / "index.txt"));
}

TEST(PackTool, ContentThatCannotBeStoredIsRefused) {
    std::mt19937 rng(3);
    Bytes noise(kMaxContentSize);
    for (uint8_t& b : noise) b = (uint8_t)(0x80 | rng());
    PackedResource r;
    EXPECT_FALSE(PackResource(1001, noise, &r));  // the stream would not fit its 16-bit length
    EXPECT_FALSE(PackResource(1001, Bytes(kMaxContentSize + 1, 'a'), &r));
    EXPECT_TRUE(PackResource(1001, Bytes(kMaxContentSize, 'a'), &r));
}

class PackCollectionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Diagnostics diag;
        sResources = PackCollection(std::string(VELUN_SOURCE_DIR) + "/collection", &diag);
        for (const Diagnostic& d : diag.list) ADD_FAILURE() << FormatDiagnostic(d);
    }
    static std::vector<PackedResource> sResources;
};
std::vector<PackedResource> PackCollectionTest::sResources;

TEST_F(PackCollectionTest, ContainersHoldTheirFields) {
    ASSERT_EQ(sResources.size(), 188u);
    for (const PackedResource& r : sResources) {
        const Bytes& b = r.resource;
        bool index = r.id == 32767;
        size_t number = index ? 1 : r.id - 1000;
        EXPECT_EQ((size_t)(b[0] << 8 | b[1]), b.size() - 6) << r.id;
        EXPECT_EQ((size_t)(b[2] << 8 | b[3]), number) << r.id;
        EXPECT_EQ((size_t)(b[4] << 8 | b[5]), index ? 255 : number) << r.id;
        EXPECT_EQ((size_t)(b[6] << 8 | b[7]), b.size() - 14) << r.id;
        EXPECT_EQ((size_t)(b[8] << 8 | b[9]), r.content.size()) << r.id;
        EXPECT_EQ(Bytes(b.end() - 4, b.end()), Bytes(4, 0)) << r.id;
        EXPECT_EQ(Decode(r), r.content) << r.id;
        EXPECT_EQ(r.content[0], index ? 0xFE : 0xCC) << r.id;
    }
}

TEST_F(PackCollectionTest, DumpedSourcesCompileToIdenticalResources) {
    TempDir temp;
    for (const PackedResource& r : sResources) {
        std::string text;
        if (r.id == 32767) {
            ASSERT_TRUE(DumpIndex(Decode(r), &text)) << text;
            WriteWhole(temp.path / "index.txt", text);
        } else {
            char name[32];
            snprintf(name, sizeof name, "%03d-dumped.txt", r.id - 1000);
            WriteWhole(temp.path / "articles" / name, DumpArticle(Decode(r)));
        }
    }
    Diagnostics diag;
    std::vector<PackedResource> again = PackCollection(temp.path.string(), &diag);
    for (const Diagnostic& d : diag.list) ADD_FAILURE() << FormatDiagnostic(d);
    ASSERT_EQ(again.size(), sResources.size());
    for (size_t i = 0; i < again.size(); i++) EXPECT_EQ(again[i].resource, sResources[i].resource) << again[i].id;
}

TEST(PackDump, RecordsWithoutAMarkerComeBackAsRaw) {
    std::vector<PackedRecord> records = {{0xCC, 0x00, "T"},         {0xC1, 0x00, "sub"},     {0xC1, 0x00, "centred"},
                                         {0x81, 0x00, "* not a bullet"}, {0x81, 0x00, " lead"}, {0x81, 0x40, "x"},
                                         {0x9D, 0x13, "\x01\x95\\"}, {0xC7, 0x00, ""},        {0xB1, 0x00, "ABC"}};
    Bytes bytes = ArticleBytes(records);
    std::string source = DumpArticle(bytes);
    EXPECT_NE(source.find("% sub\n\ncenter: centred\n"), std::string::npos) << source;
    EXPECT_NE(source.find("raw 0x9D 0x13: \\x01\\x95\\\\\n"), std::string::npos) << source;
    Diagnostics diag;
    EXPECT_EQ(ArticleBytes(Parse(source, &diag)), bytes) << source;
    EXPECT_TRUE(diag.list.empty());
}

}  // namespace
