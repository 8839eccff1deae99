// The reader's keys are listed once (resources/Keys.cpp); --help, the manual page,
// the README's Reading section and the guide's keys article must each name exactly
// those keys. A row of any of them counts as a key row when every name in its key
// cell is a key, so mouse and menu rows beside them are passed over.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "cli/Usage.h"
#include "resources/Accelerators.h"
#include "resources/Keys.h"

namespace {

using Keys = std::set<std::string>;

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Between the first line starting with `from` and the next starting with `to` (or the end).
std::string Section(const std::string& text, const std::string& from, const std::string& to) {
    size_t start = text.find("\n" + from);
    if (start == std::string::npos) return "";
    size_t end = text.find("\n" + to, start + from.size() + 1);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool IsKeyName(const std::string& name) {
    static const std::regex key(
        R"(((Ctrl|Shift|Alt)\+)*(F[0-9]{1,2}|[A-Z0-9=]|plus|minus|letter|Page Up|Page Down|Space|Home|End|)"
        R"(Up|Down|Left|Right|Tab|Enter|Escape|Delete)|Alt|a letter)");
    return std::regex_match(name, key);
}

// The keys of a cell such as "Page Down, Page Up"; none unless every name is a key.
void AddKeyCell(std::string cell, Keys& keys) {
    cell = std::regex_replace(cell, std::regex(R"(^\s+|\s+$)"), "");
    Keys found;
    static const std::regex comma(",\\s*");
    for (std::sregex_token_iterator it(cell.begin(), cell.end(), comma, -1), end; it != end; ++it) {
        if (!IsKeyName(*it)) return;
        found.insert(*it);
    }
    keys.insert(found.begin(), found.end());
}

// Every line matching `row`, its first group taken as a key cell.
Keys KeyCells(const std::string& text, const std::regex& row) {
    Keys keys;
    for (std::sregex_iterator m(text.begin(), text.end(), row), end; m != end; ++m) AddKeyCell((*m)[1], keys);
    return keys;
}

Keys ListedKeys() {
    Keys keys;
    for (int i = 0; i < kKeyRowCount; i++)
        for (const std::string& name : KeyNames(kKeyRows[i])) keys.insert(name);
    return keys;
}

// --help: the rows of its Keys groups, the keys in the first column.
Keys HelpKeys() {
    std::string help = HelpText();
    std::string keys = Section(help, "Keys:", "Resizing");
    return KeyCells(keys, std::regex(R"(\n  (\S.*?)(?:  |\n))"));
}

// A font macro's arguments joined as the page shows them: `"Page Down" ", " "Page Up"`.
std::string MacroText(const std::string& arguments) {
    std::string text;
    std::regex argument(R"ARG("([^"]*)"|(\S+))ARG");
    for (std::sregex_iterator m(arguments.begin(), arguments.end(), argument), end; m != end; ++m)
        text += (*m)[1].matched ? (*m)[1].str() : (*m)[2].str();
    return text;
}

// The manual's KEYS section: the tag line after each .TP.
Keys ManualKeys() {
    std::string page = std::regex_replace(FileText(VELUN_SOURCE_DIR "/desktop/velun.1.in"), std::regex(R"(\\-)"), "-");
    std::string keys = Section(page, ".SH KEYS", ".SH MOUSE");
    Keys found;
    std::regex tagged(R"(\n\.TP\n\.[BIR]{1,2} ([^\n]*))");
    for (std::sregex_iterator m(keys.begin(), keys.end(), tagged), end; m != end; ++m) AddKeyCell(MacroText((*m)[1]), found);
    return found;
}

// The README's Reading section: the first cell of each table row.
Keys ReadmeKeys() {
    std::string reading = Section(FileText(VELUN_SOURCE_DIR "/README.md"), "## Reading", "## Settings");
    return KeyCells(reading, std::regex(R"(\n\|([^|\n]*)\|)"));
}

// The guide's keys article, from its source: each list line, the keys before " - ".
Keys GuideKeys() {
    for (const auto& entry : std::filesystem::directory_iterator(VELUN_SOURCE_DIR "/collection/articles"))
        if (entry.path().filename().string().rfind("186", 0) == 0)
            return KeyCells(FileText(entry.path()), std::regex(R"(\n(?:bullet-line:|\*) (.*?) - )"));
    return {};
}

}  // namespace

TEST(KeyList, EveryKeyOfTheListIsNamedAsAKeyAndEveryShortcutIsInIt) {
    Keys listed = ListedKeys();
    EXPECT_GE(listed.size(), 40u);
    for (const std::string& key : listed) EXPECT_TRUE(IsKeyName(key)) << "'" << key << "' in the key list";
    for (const std::u16string& shortcut : ShortcutLabels()) {
        std::string key(shortcut.begin(), shortcut.end());
        EXPECT_EQ(listed.count(key), 1u) << key << " is a shortcut of the accelerator table but not in the key list";
    }
}

TEST(KeyList, HelpManualReadmeAndGuideNameExactlyTheKeysOfTheList) {
    Keys listed = ListedKeys();
    const struct {
        const char* place;
        Keys keys;
    } places[] = {
        {"--help", HelpKeys()},
        {"the manual page's KEYS", ManualKeys()},
        {"the README's Reading section", ReadmeKeys()},
        {"the guide's keys article (186)", GuideKeys()},
    };
    for (const auto& p : places) {
        for (const std::string& key : listed)
            EXPECT_EQ(p.keys.count(key), 1u) << key << " is in the key list but not in " << p.place;
        for (const std::string& key : p.keys)
            EXPECT_EQ(listed.count(key), 1u) << key << " is in " << p.place << " but not in the key list";
    }
}

TEST(KeyList, HelpKeepsItsKeysWithinEightyColumns) {
    std::istringstream help(Section(HelpText(), "Keys:", "Resizing"));
    for (std::string line; std::getline(help, line);) EXPECT_LE(line.size(), 80u) << line;
}
