// Allocation that ends the program when memory runs out.
#pragma once

#include <cstddef>

// Shows "There is not enough memory, aborting", runs the exit sequence and
// returns null when the allocation fails.
void* CheckedAlloc(size_t size);
// The memory message, then the exit sequence.
void ReportOutOfMemory();
