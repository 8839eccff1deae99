// The program's entry: help or the version when asked, the headless renderer
// when asked for a picture, else the reader.
#include <cstdio>

#include "../platform/EndSignals.h"
#include "../resources/Identity.h"
#include "Headless.h"
#include "Usage.h"
#include "../shell/WinMain.h"

int main(int argc, char** argv) {
    RegisterProgramIdentity();
    if (const char* text = InformationAsked(argc, argv)) {
        std::fputs(text, stdout);
        return 0;
    }
    if (IsHeadlessRequest(argc, argv)) return RunHeadless(argc, argv);
    // Before anything else the reader does: a signal to end is never the default action.
    CatchEndSignals();
    return RunReader(argc, argv);
}
