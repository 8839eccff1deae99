// The program's entry: the headless renderer when asked for one, else the reader.
#include <cstdio>
#include <cstring>

#include "../platform/EndSignals.h"
#include "Headless.h"
#include "WinMain.h"

namespace {

const char kUsage[] =
    "usage: velun                 open the reader\n"
    "       velun --render N [--size WxH] [--top-row N] [--font-face NAME] [--font-size N]\n"
    "             [--base 97|224|1488] [--reverse] [--search TEXT [--match-case]] --out FILE.png\n"
    "       velun --render-index [--current N] [--bookmarks 5,3] [--size WxH] --out FILE.png\n"
    "       velun --export N [--format text|rtf] [--base 97|224|1488] [--reverse] [--append-to FILE]\n"
    "             --out FILE   what Copy (or Append to FILE) puts on the clipboard\n";

bool AsksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; i++)
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (AsksForHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (IsHeadlessRequest(argc, argv)) return RunHeadless(argc, argv);
    // Before anything else the reader does: a signal to end is never the default action.
    CatchEndSignals();
    return RunReader(argc, argv);
}
