#include "Usage.h"

#include <strings.h>

#include <cstring>
#include <string>

#include "Headless.h"
#include "../resources/Keys.h"
#include "generated/ProgramFacts.h"

const char kVersionText[] = "Velun " VELUN_VERSION "\n";

// One text for everything a user can do; a new mouse action or option is one more
// line in its section, a new key one more row of the key list (resources/Keys.cpp).
const char kHelpBeforeKeys[] =
    "Velun " VELUN_VERSION ": a reader for the handbook \"Letters, Writing and Type\", its 187\n"
    "articles and their index compiled into the program.\n"
    "\n"
    "Usage: velun                 open the reader (a second start brings it to the front)\n"
    "       velun --render ARTICLE [options] --out FILE.png\n"
    "       velun --render-index [options] --out FILE.png\n"
    "       velun --export ARTICLE [options] --out FILE\n"
    "       velun --export ARTICLE|all --format pdf [--page-size a4|letter] --out FILE\n"
    "       velun --export-notes [--format markdown|text|rtf] --out FILE\n"
    "       velun --search-all TEXT [--match-case] [--whole-word]\n"
    "       velun --help | --version\n"
    "\n";

// What follows the keys.
const char kHelpAfterKeys[] =
    "In the Contents tab, typing in its box shows the articles whose title words or\n"
    "number start with it; Enter reads the first, Escape clears it, Down goes into\n"
    "the tree.\n"
    "Resizing, the font and its size, the base, Night and Reverse keep the first\n"
    "line shown: the reading place is kept by its text. The line under the article\n"
    "shows its number and title, the page (\"page 3 of 11\"), the share read and\n"
    "how many articles are read (\"12 of 187 read\"; read: its last line was shown).\n"
    "Every article opens again where it was left, in this run and the next.\n"
    "References to other articles (\"see article 139\") are links. View > Column Width\n"
    "and Line Spacing set the reading column and its rows (kept; --render uses them).\n"
    "\n"
    "Mouse:\n"
    "  click a link           go to the article it names (Alt+Left comes back)\n"
    "  click the lower half   next page (the upper half: previous page)\n"
    "  drag, double-click     select a passage or a word (middle-click pastes it elsewhere)\n"
    "  right button           the selection's menu (highlight, note), or a highlight's\n"
    "  click a note's mark    open the note (the pointer over it shows the note)\n"
    "  wheel                  scroll; with Ctrl, the text size\n"
    "  back, forward buttons  back and forward through the articles read\n"
    "  scroll bar             move through the article (the thumb: the share shown)\n"
    "  tool buttons           previous article, index, next article, font, search,\n"
    "                         search again\n"
    "\n"
    "Settings, reading position, search text and bookmarks are kept in\n"
    "$XDG_CONFIG_HOME/velun/registry.txt (~/.config/velun/registry.txt), saved soon\n"
    "after each change; see the README. Highlights and notes are kept in\n"
    "$XDG_DATA_HOME/velun/notes.txt (~/.local/share/velun/notes.txt), the one\n"
    "before the last change beside it as notes.txt.bak.\n"
    "\n"
    "Headless options (a PNG instead of the window, no display needed):\n"
    "  --render ARTICLE       an article, 1 to 187, as the reader shows it\n"
    "  --render-index         the index as the index dialog opens\n"
    "  --out FILE.png         where the picture goes (required)\n"
    "  --size WIDTHxHEIGHT    picture size, default 240x320\n"
    "  --top-row N            the first row shown, 0 to 65535\n"
    "  --font-face NAME       the article font (at most 31 characters)\n"
    "  --font-size N          0 (the default) to 400\n"
    "  --base 97|224|1488     where the Hebrew letters are taken from\n"
    "  --reverse              as with File > Reverse\n"
    "  --search TEXT          show the first hit of TEXT, as Search shows it\n"
    "  --match-case           the search minds letter case\n"
    "  --whole-word           only hits not inside a longer word\n"
    "  --current ARTICLE      --render-index: the article the index opens at\n"
    "  --bookmarks N,N,...    --render-index: the bookmarks, in order\n"
    "  --night                light text on a dark page, as with File > Night\n"
    "  --export ARTICLE       write what Copy puts on the clipboard to --out FILE\n"
    "  --format text|rtf|pdf  --export: the Unicode text, the RTF document, or the\n"
    "                         printed pages as a PDF file (ARTICLE or all)\n"
    "  --page-size a4|letter  --format pdf: the paper (default: the locale's)\n"
    "  --append-to FILE       --export: what Append to ClipBoard makes of FILE's text\n"
    "  --line-ends crlf|lf    --export --format text: CR LF (the default) or LF alone,\n"
    "                         as Copy gives other programs\n"
    "  --export-notes         write the highlights and notes (File > Export Notes)\n"
    "                         to --out FILE: --format text (the default), markdown\n"
    "                         or rtf\n"
    "  --search-all TEXT      print every hit: article, offset, title, context\n"
    "                         (tab-separated); exit 1 when there is none\n"
    "Exit status: 0 written, 1 the picture could not be made, 2 bad arguments; the\n"
    "reader ends with 1 without a display and with 2 for any argument but these.\n";

namespace {

constexpr int kKeyColumn = 21;

// The key list's groups, each under its heading, the keys in a column of their own.
std::string KeysText() {
    std::string text;
    for (int i = 0; i < kKeyRowCount; i++) {
        const KeyRow& row = kKeyRows[i];
        if (!row.keys) {
            text += std::string(i ? "\n" : "") + row.does + ":\n";
            continue;
        }
        std::string keys = row.keys;
        if (keys.size() > kKeyColumn) keys += "\n" + std::string(kKeyColumn + 2, ' ');
        else keys.resize(kKeyColumn, ' ');
        text += "  " + keys + "  " + row.does + "\n";
    }
    return text;
}

}  // namespace

const char* HelpText() {
    static const std::string text = kHelpBeforeKeys + KeysText() + "\n" + kHelpAfterKeys;
    return text.c_str();
}

const char* InformationAsked(int argc, char** argv) {
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h")) return HelpText();
        if (!strcmp(argv[i], "--version")) return kVersionText;
    }
    return nullptr;
}

std::string RefusedReaderArgument(int argc, char** argv) {
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        // The handheld's Today screen starts the reader with it; it changes nothing.
        if (strcasecmp(a, "/today") == 0) continue;
        if (IsHeadlessOption(a))
            return std::string(a) + " needs --render, --render-index, --export, --export-notes or --search-all";
        if (a[0] == '-') return "unknown option '" + std::string(a) + "' (velun --help lists the options)";
        return "unexpected argument '" + std::string(a) + "' (velun --help lists the options)";
    }
    return "";
}
