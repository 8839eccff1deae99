// Reading the collection's text sources line by line.
#pragma once

#include <string>
#include <vector>

// The text without the spaces, tabs and carriage returns at either end.
std::string TrimLine(const std::string& s);
// The file's lines without their '\n' (a leading byte-order mark, which some editors
// write, left out); line k of the file is element k - 1.
std::vector<std::string> SourceLines(const std::string& text);
