#include "Memory.h"

#include <cstdlib>

#include "../platform/win32.h"
#include "Settings.h"

void* CheckedAlloc(size_t size) {
    void* p = std::malloc(size);
    if (p) return p;
    MessageBoxW(nullptr, TEXT("There is not enough memory, aborting"), TEXT("Error"), MB_ICONHAND);
    // The exit sequence only posts the quit message: the caller gets null and must return.
    ExitProgram();
    return nullptr;
}
