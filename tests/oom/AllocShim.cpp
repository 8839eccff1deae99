#include "AllocShim.h"

#include <cstddef>
#include <execinfo.h>

#include <cstdlib>
#include <new>

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* p, size_t size);
void* __real__Znwm(size_t size);
void* __real__Znam(size_t size);
void* __real__ZnwmRKSt9nothrow_t(size_t size, const std::nothrow_t&) noexcept;
void* __real__ZnamRKSt9nothrow_t(size_t size, const std::nothrow_t&) noexcept;
}

namespace {

bool gArmed;
long gCount;
long gFailAt;
bool gFailed;

// Whether the allocation being made is the one to fail.
bool FailsNow() {
    if (!gArmed) return false;
    if (++gCount != gFailAt) return false;
    gFailed = true;
    // For finding where a reported N fails: VELUN_OOM_TRACE=1 prints each failing
    // allocation's stack (addresses; addr2line names them).
    static const bool sTrace = std::getenv("VELUN_OOM_TRACE") != nullptr;
    if (sTrace) {
        void* frames[16];
        backtrace_symbols_fd(frames, backtrace(frames, 16), 2);
    }
    return true;
}

}  // namespace

void ArmAllocationFailure(long failAt) {
    gCount = 0;
    gFailAt = failAt;
    gFailed = false;
    gArmed = true;
}

void DisarmAllocationFailure() { gArmed = false; }
long CountedAllocations() { return gCount; }
bool AllocationFailed() { return gFailed; }

extern "C" {
void* __wrap_malloc(size_t size) { return FailsNow() ? nullptr : __real_malloc(size); }
void* __wrap_calloc(size_t count, size_t size) { return FailsNow() ? nullptr : __real_calloc(count, size); }
// A failed realloc leaves the block as it was.
void* __wrap_realloc(void* p, size_t size) { return FailsNow() ? nullptr : __real_realloc(p, size); }
}

// operator new (size), new[] (size) and their nothrow forms; the mangled names are
// those the linker is told to wrap.
extern "C" void* __wrap__Znwm(size_t size) {
    if (FailsNow()) throw std::bad_alloc();
    return __real__Znwm(size);
}
extern "C" void* __wrap__Znam(size_t size) {
    if (FailsNow()) throw std::bad_alloc();
    return __real__Znam(size);
}
extern "C" void* __wrap__ZnwmRKSt9nothrow_t(size_t size, const std::nothrow_t& tag) noexcept {
    return FailsNow() ? nullptr : __real__ZnwmRKSt9nothrow_t(size, tag);
}
extern "C" void* __wrap__ZnamRKSt9nothrow_t(size_t size, const std::nothrow_t& tag) noexcept {
    return FailsNow() ? nullptr : __real__ZnamRKSt9nothrow_t(size, tag);
}
