// What `velun --help` and `velun --version` print.
#pragma once

extern const char kVersionText[];
extern const char kHelpText[];

// The text to print and exit with when the arguments ask for help or the
// version (the first such argument decides); null to start normally.
const char* InformationAsked(int argc, char** argv);
