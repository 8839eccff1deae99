// Resources back to their source form, for checking what the program holds.
#pragma once

#include "PackTypes.h"

// An article's decompressed bytes as an article source that compiles back to the same
// bytes. Records the markers cannot express come out as raw blocks.
std::string DumpArticle(const Bytes& content);
// The index's decompressed bytes as index.txt; false when a record has no source form
// (*out then says which).
bool DumpIndex(const Bytes& content, std::string* out);
