// An allocator that fails on request: malloc, calloc, realloc and operator new of
// the program's own code (linked with --wrap, so the libraries it calls keep their
// allocator) are counted while the shim is armed, and the Nth of them fails: null
// from the C functions and nothrow new, std::bad_alloc from plain new.
#pragma once

// Counts from 0 again; failAt 0 only counts.
void ArmAllocationFailure(long failAt);
// Stops counting and failing.
void DisarmAllocationFailure();
// Allocations counted since the shim was armed.
long CountedAllocations();
bool AllocationFailed();
