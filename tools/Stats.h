// What a compiled collection holds, in numbers.
#pragma once

#include "Collection.h"

std::string CollectionStats(const std::vector<PackedResource>& resources);
