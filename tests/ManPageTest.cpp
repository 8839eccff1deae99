// The manual page and --help tell the same: every option and key that --help lists
// is documented in the manual.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "cli/Usage.h"

namespace {

// The page's source with its escaped hyphens plain.
std::string ManualText() {
    std::ifstream in(VELUN_SOURCE_DIR "/desktop/velun.1.in");
    std::ostringstream s;
    s << in.rdbuf();
    return std::regex_replace(s.str(), std::regex(R"(\\-)"), "-");
}

std::set<std::string> Matches(const std::string& text, const std::regex& pattern, int group) {
    std::set<std::string> found;
    for (std::sregex_iterator m(text.begin(), text.end(), pattern), end; m != end; ++m) found.insert((*m)[group]);
    return found;
}

// The names in the first column of the Keys section, and the keys its descriptions name.
std::set<std::string> HelpKeys() {
    std::string help = HelpText();
    size_t start = help.find("Keys:\n"), end = help.find("\n\n", start);
    std::string keys = help.substr(start, end - start);
    std::set<std::string> found = Matches(keys, std::regex(R"(\n  ([^\s,]+(?: [^\s,]+)?)(?=(, |  )))"), 1);
    for (const std::string& k : Matches(keys, std::regex(R"(, ([A-Z]\S*(?: (?:Down|Up))?)(?=[ ,)]))"), 1)) found.insert(k);
    for (const std::string& k : Matches(keys, std::regex(R"(((?:Ctrl|Alt|Shift)\+\w+))"), 1)) found.insert(k);
    return found;
}

}  // namespace

TEST(ManualPage, DocumentsEveryOptionAndKeyThatHelpLists) {
    std::string manual = ManualText();
    ASSERT_FALSE(manual.empty());
    std::set<std::string> options = Matches(HelpText(), std::regex(R"((^|[\s|\[])(--?[a-z][a-z-]*))"), 2);
    EXPECT_GE(options.size(), 20u);
    for (const std::string& option : options) EXPECT_NE(manual.find(option), std::string::npos) << option;
    std::set<std::string> keys = HelpKeys();
    for (const char* key : {"Page Down", "Page Up", "Ctrl+0", "Shift+Space", "Alt+Right", "F3", "Ctrl+Shift+N"})
        EXPECT_EQ(keys.count(key), 1u) << key;
    for (const std::string& key : keys) EXPECT_NE(manual.find(key), std::string::npos) << key;
}
