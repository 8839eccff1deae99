// The generated C++ source that links the resources into the program.
#pragma once

#include "Collection.h"

std::string EmitContentTable(const std::vector<PackedResource>& resources);
