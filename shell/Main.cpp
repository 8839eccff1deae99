// The program's entry: the headless renderer when asked for one, else the reader.
#include <cstdio>
#include <cstring>

#include "Headless.h"
#include "WinMain.h"

namespace {

const char kUsage[] =
    "usage: velun                 open the reader\n"
    "       velun --render N [--size WxH] [--top-row N] [--font-face NAME] [--font-size N]\n"
    "             [--base 97|224|1488] [--reverse] [--search TEXT [--match-case]] [--night] --out FILE.png\n"
    "       velun --render-index [--current N] [--bookmarks 5,3] [--size WxH] [--night] --out FILE.png\n"
    "       --night renders in the night reading colours (light text on a dark background)\n";

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
    return RunReader(argc, argv);
}
