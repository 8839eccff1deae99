// What `velun --help` and `velun --version` print.
#pragma once

extern const char kVersionText[];
// --help's text, its keys made from the key list.
const char* HelpText();

// The text to print and exit with when the arguments ask for help or the
// version (the first such argument decides); null to start normally.
const char* InformationAsked(int argc, char** argv);

#include <string>

// What is wrong with the arguments of a start of the reader (only "/today" is taken),
// in one line naming the argument; empty when nothing is.
std::string RefusedReaderArgument(int argc, char** argv);
