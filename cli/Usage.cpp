#include "Usage.h"

#include <strings.h>

#include <cstring>

#include "Headless.h"
#include "generated/ProgramFacts.h"

const char kVersionText[] = "Velun " VELUN_VERSION "\n";

// One text for everything a user can do; a new key, mouse action or option is
// one more line in its section.
const char kHelpText[] =
    "Velun " VELUN_VERSION ": a reader for the handbook \"Letters, Writing and Type\", its 187\n"
    "articles and their index compiled into the program.\n"
    "\n"
    "Usage: velun                 open the reader (a second start brings it to the front)\n"
    "       velun --render ARTICLE [options] --out FILE.png\n"
    "       velun --render-index [options] --out FILE.png\n"
    "       velun --export ARTICLE [options] --out FILE\n"
    "       velun --export ARTICLE|all --format pdf [--page-size a4|letter] --out FILE\n"
    "       velun --search-all TEXT [--match-case] [--whole-word]\n"
    "       velun --help | --version\n"
    "\n"
    "Keys:\n"
    "  Page Down, Page Up     next or previous page; a page back undoes a page forward\n"
    "  Space, Shift+Space     next or previous page, on into the next or previous article\n"
    "  Down, Up               one line down or up\n"
    "  Home, End              start or end of the article\n"
    "  Right, Left            next or previous article\n"
    "  Tab, Shift+Tab         mark the next or previous link on the page\n"
    "  Enter                  follow the marked link; else search again\n"
    "  Ctrl+D                 the index (Up, Down, Right, Left and Enter work in it)\n"
    "  Ctrl+G                 go to an article by its number\n"
    "  Alt+Left, Alt+Right    back and forward through the articles read\n"
    "  Alt+F3, F3             search, search again; with the panel's list, its next hit\n"
    "  Shift+F3               the previous hit of the panel's list\n"
    "  Ctrl+F                 the side panel's Search tab (search as you type)\n"
    "  Ctrl+Shift+C, F9       the side panel's Contents tab; the side panel on or off\n"
    "  Ctrl+Shift+F           the font dialog\n"
    "  Ctrl+plus, Ctrl+minus  larger or smaller text; Ctrl+0 the default size\n"
    "  Ctrl+Shift+N           night reading on or off\n"
    "  Ctrl+C, Ctrl+E         copy, append the selection (without one, the article)\n"
    "  Ctrl+H, Ctrl+Shift+H   highlight the selection; highlight it and write a note\n"
    "  Ctrl+Z                 bring back the highlight or note removed last\n"
    "  F11                    full screen and back (kept for the next start)\n"
    "  F1                     the reading guide (Help menu: Keys, About)\n"
    "  Ctrl+Q                 exit\n"
    "  Alt, Alt+letter        the menus\n"
    "Resizing, the font and its size, the base, Night and Reverse keep the first\n"
    "line shown: the reading place is kept by its text. The line under the article\n"
    "shows its number and title, the page (\"page 3 of 11\") and the share read.\n"
    "References to other articles (\"see article 139\") are links.\n"
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
    "after each change; see the README.\n"
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
    "  --search-all TEXT      print every hit: article, offset, title, context\n"
    "                         (tab-separated); exit 1 when there is none\n"
    "Exit status: 0 written, 1 the picture could not be made, 2 bad arguments; the\n"
    "reader ends with 1 without a display and with 2 for any argument but these.\n";

const char* InformationAsked(int argc, char** argv) {
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h")) return kHelpText;
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
            return std::string(a) + " needs --render, --render-index, --export or --search-all";
        if (a[0] == '-') return "unknown option '" + std::string(a) + "' (velun --help lists the options)";
        return "unexpected argument '" + std::string(a) + "' (velun --help lists the options)";
    }
    return "";
}
