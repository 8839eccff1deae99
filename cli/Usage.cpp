#include "Usage.h"

#include <cstring>

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
    "       velun --search-all TEXT [--match-case]\n"
    "       velun --help | --version\n"
    "\n"
    "Keys:\n"
    "  Page Down, Page Up     next or previous page (Space, Shift+Space too)\n"
    "  Down, Up               one line down or up\n"
    "  Home, End              start or end of the article\n"
    "  Right, Left            next or previous article\n"
    "  Enter                  search again, when there is a search text\n"
    "  Ctrl+D                 the index (Up, Down, Right, Left and Enter work in it)\n"
    "  Ctrl+G                 go to an article by its number\n"
    "  Alt+Left, Alt+Right    back and forward through the articles read\n"
    "  Alt+F3, F3             search, search again\n"
    "  Ctrl+F                 the font dialog\n"
    "  Ctrl+plus, Ctrl+minus  larger or smaller text; Ctrl+0 the default size\n"
    "  Ctrl+Shift+N           night reading on or off\n"
    "  Ctrl+C, Ctrl+E         copy, append the selection (without one, the article)\n"
    "  Ctrl+Q                 exit\n"
    "  Alt, Alt+letter        the menus\n"
    "\n"
    "Mouse:\n"
    "  click the lower half   next page (the upper half: previous page)\n"
    "  drag, double-click     select a passage or a word (middle-click pastes it elsewhere)\n"
    "  wheel                  scroll; with Ctrl, the text size\n"
    "  back, forward buttons  back and forward through the articles read\n"
    "  scroll bar             move through the article\n"
    "  tool buttons           previous article, index, next article, font, search,\n"
    "                         search again\n"
    "\n"
    "Settings, reading position, search text and bookmarks are kept in\n"
    "$XDG_CONFIG_HOME/velun/registry.txt (~/.config/velun/registry.txt); see the README.\n"
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
    "  --current ARTICLE      --render-index: the article the index opens at\n"
    "  --bookmarks N,N,...    --render-index: the bookmarks, in order\n"
    "  --night                light text on a dark page, as with File > Night\n"
    "  --export ARTICLE       write what Copy puts on the clipboard to --out FILE\n"
    "  --format text|rtf      --export: the Unicode text or the RTF document\n"
    "  --append-to FILE       --export: what Append to ClipBoard makes of FILE's text\n"
    "  --search-all TEXT      print every hit: article, offset, title, context\n"
    "                         (tab-separated); exit 1 when there is none\n"
    "Exit status: 0 written, 1 the picture could not be made, 2 bad arguments.\n";

const char* InformationAsked(int argc, char** argv) {
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h")) return kHelpText;
        if (!strcmp(argv[i], "--version")) return kVersionText;
    }
    return nullptr;
}
