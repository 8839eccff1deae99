// Article source files: blocks of text with a marker each, turned into article records.
#pragma once

#include "PackTypes.h"

struct SourceLine {
    int number;  // 1-based line number in the file
    std::string text;
};

// One paragraph of the source: its lines, the first one holding the marker.
struct SourceBlock {
    std::vector<SourceLine> lines;
};

enum class BlockRole { Text, Title, Subtitle };

struct ParsedBlock {
    PackedRecord record;
    BlockRole role = BlockRole::Text;
};

// Splits a source file into blocks: blank lines end a block, a line that begins with a
// marker starts one, comment lines ("//") are left out.
std::vector<SourceBlock> SplitSourceBlocks(const std::string& text);
// Parses one block on its own (no checks that need the neighbouring blocks). False on error.
bool ParseSourceBlock(const SourceBlock& block, const std::string& file, ParsedBlock* out, Diagnostics* diag);
// The record the article's header reader takes as its title.
bool IsTitleRecord(const PackedRecord& record);
// Parses a whole article file, with the title, subtitle and size checks.
std::vector<PackedRecord> ParseArticleSource(const std::string& text, const std::string& file, Diagnostics* diag);
// The stored article: the records, then the three zero bytes that end it.
Bytes ArticleBytes(const std::vector<PackedRecord>& records);
