// The resource store: integer-named resources looked up in the registered tables.
#include <unistd.h>

#include "ProgramIdentity.h"
#include "ResourceStore.h"
#include "Utf16.h"
#include "win32.h"
#include "NoThrow.h"

namespace {
const ResourceTable* gOverride = nullptr;

const ResourceEntry* FindIn(const ResourceTable* table, uint16_t type, uint16_t id) {
    if (!table) return nullptr;
    for (uint32_t i = 0; i < table->count; i++) {
        if (table->entries[i].type == type && table->entries[i].id == id) return &table->entries[i];
    }
    return nullptr;
}
}  // namespace

void SetOverrideResourceTable(const ResourceTable* table) { gOverride = table; }

HMODULE GetModuleHandleW(LPCWSTR) {
    static int sModule;
    return (HMODULE)&sModule;
}

DWORD GetModuleFileNameW(HMODULE, LPWSTR fileName, DWORD size) {
    return CallOrFail<DWORD>(0u, [&]() -> DWORD {
        if (size == 0) return 0;
        char path[4096];
        ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
        if (n < 0) n = 0;
        path[n] = 0;
        std::u16string wide = Utf8ToUtf16(path);
        DWORD count = (DWORD)std::min<size_t>(wide.size(), size - 1);
        std::copy(wide.begin(), wide.begin() + count, fileName);
        fileName[count] = 0;
        return count;
    });
}

HRSRC FindResourceW(HMODULE, LPCWSTR name, LPCWSTR type) {
    // Only integer identifiers exist in this program's resources.
    if (!IS_INTRESOURCE(name) || !IS_INTRESOURCE(type)) return nullptr;
    uint16_t id = (uint16_t)(ULONG_PTR)name, kind = (uint16_t)(ULONG_PTR)type;
    if (const ResourceEntry* e = FindIn(gOverride, kind, id)) return (HRSRC)e;
    const ProgramIdentity& program = RegisteredProgram();
    for (int i = 0; i < program.tableCount; i++) {
        if (const ResourceEntry* e = FindIn(program.tables[i], kind, id)) return (HRSRC)e;
    }
    return nullptr;
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
    return resource ? ((const ResourceEntry*)resource)->size : 0;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    if (!resource) return nullptr;
    return (HGLOBAL)((const ResourceEntry*)resource)->data;
}
