// Shared records of the collection compiler: byte buffers, records and the error list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../content/Content.h"

typedef std::vector<uint8_t> Bytes;

constexpr uint16_t kIndexId = kIndexContentNumber + kContentIdBase;
constexpr size_t kMaxContentSize = 65535;  // width of the container's length fields

// One article record: style byte, indent byte and its text (without the NUL).
struct PackedRecord {
    uint8_t style = 0;
    uint8_t indent = 0;
    std::string text;
};

struct Diagnostic {
    std::string file;
    int line = 0;  // 0 when the message concerns the whole file
    std::string message;
};

struct Diagnostics {
    std::vector<Diagnostic> list;
};

void AddError(Diagnostics* diag, const std::string& file, int line, const std::string& message);
// "file:line: message", or "file: message" without a line.
std::string FormatDiagnostic(const Diagnostic& d);
