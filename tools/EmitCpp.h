// The generated C++ source that links the resources into the program.
#pragma once

#include "Collection.h"

std::string EmitContentTable(const std::vector<PackedResource>& resources);
// Appends "const unsigned char NAME[] = {...};" holding the bytes.
void EmitByteArray(const std::string& name, const std::vector<unsigned char>& bytes, std::string* out);
