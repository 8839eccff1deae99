// The program's entry: help or the version when asked, the headless faces when
// asked for a picture, a file or the hits, else the reader.
#include <cstdio>

#include "../platform/EndSignals.h"
#include "Environment.h"
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
    CompleteEnvironment();
    if (IsHeadlessRequest(argc, argv)) return RunHeadless(argc, argv);
    std::string refused = RefusedReaderArgument(argc, argv);
    if (!refused.empty()) {
        std::fprintf(stderr, "velun: %s\n", refused.c_str());
        return kExitBadArguments;
    }
    // At once, before the single-instance lock: no invisible reader holds it.
    if (!DisplayNamed()) {
        std::fputs(kNoDisplayText, stderr);
        return kExitFailed;
    }
    // Before anything else the reader does: a signal to end is never the default action.
    CatchEndSignals();
    return RunReader(argc, argv);
}
