// Arbitrary text through the settings file parser. Whatever it accepts must come
// back from the formatter as a file that parses to the same contents, and
// formatting that again must give the same text.
#include <string>

#include "fuzz/FuzzBuffers.h"
#include "platform/RegistryStore.h"

namespace {

bool SameContents(const RegistryContents& a, const RegistryContents& b) {
    if (a.keys.size() != b.keys.size()) return false;
    for (size_t k = 0; k < a.keys.size(); k++) {
        const RegistryKey& x = a.keys[k];
        const RegistryKey& y = b.keys[k];
        if (x.path != y.path || x.values.size() != y.values.size()) return false;
        for (size_t v = 0; v < x.values.size(); v++) {
            const RegistryValue& p = x.values[v];
            const RegistryValue& q = y.values[v];
            if (p.name != q.name || p.type != q.type || p.data != q.data) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxRegistryFileSize) return 0;
    std::string text((const char*)data, size);
    RegistryContents contents;
    std::string error;
    if (!ParseRegistry(text, &contents, &error)) {
        FuzzCheck(!error.empty());
        return 0;
    }
    std::string formatted = FormatRegistry(contents);
    RegistryContents again;
    FuzzCheck(ParseRegistry(formatted, &again, &error));
    FuzzCheck(SameContents(contents, again));
    FuzzCheck(FormatRegistry(again) == formatted);
    return 0;
}
