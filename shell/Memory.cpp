#include "Memory.h"

#include <cstdlib>

#include "../platform/win32.h"
#include "Settings.h"

void ReportOutOfMemory() {
    MessageBoxW(nullptr, TEXT("There is not enough memory, aborting"), TEXT("Error"), MB_ICONHAND);
    // The exit sequence only posts the quit message: the caller must return.
    ExitProgram();
}

void* CheckedAlloc(size_t size) {
    void* p = std::malloc(size);
    if (!p) ReportOutOfMemory();
    return p;
}
