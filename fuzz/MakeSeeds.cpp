// Writes the starting corpus of every harness from the collection: the compiled
// resources, their decompressed content in each harness's input layout, and the
// source files themselves.
//     make-seeds COLLECTION OUT
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tools/Collection.h"

namespace fs = std::filesystem;

namespace {

// The clipboard data an append finds: text from another program, an RTF document.
const char kForeignText[] = "T\0e\0x\0t\0\n\0";
const char kForeignRtf[] = "{\\rtf1\\ansi Earlier\\par\r\n}\r\n";

bool Write(const fs::path& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write((const char*)data.data(), (std::streamsize)data.size());
    return (bool)out;
}

// One length byte, that many bytes, then the rest: the layout of the export and index inputs.
Bytes Prefixed(const Bytes& prefix, const Bytes& rest) {
    Bytes out = {(uint8_t)prefix.size()};
    out.insert(out.end(), prefix.begin(), prefix.end());
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

Bytes BookmarkBytes(std::initializer_list<uint16_t> numbers) {
    Bytes out;
    for (uint16_t n : numbers) out.insert(out.end(), {(uint8_t)n, (uint8_t)(n >> 8)});
    return out;
}

bool WriteSeeds(const PackedResource& r, const fs::path& out) {
    std::string name = std::to_string(r.id) + ".bin";
    bool ok = Write(out / "content" / name, r.resource);
    if (r.id == kIndexId) {
        ok &= Write(out / "index" / "plain.bin", Prefixed({}, r.content));
        Bytes marks = BookmarkBytes({5, 187, 1});
        Bytes input = {3};
        input.insert(input.end(), marks.begin(), marks.end());
        input.insert(input.end(), r.content.begin(), r.content.end());
        ok &= Write(out / "index" / "bookmarked.bin", input);
        return ok;
    }
    ok &= Write(out / "article" / name, r.content);
    // Searched for "the" without Match Case: the pattern's length less one, doubled.
    Bytes search = {(2 << 1), 't', 'h', 'e'};
    search.insert(search.end(), r.content.begin(), r.content.end());
    ok &= Write(out / "search" / name, search);
    ok &= Write(out / "export" / name, Prefixed({}, r.content));
    if (r.id % 16 == 1) {
        ok &= Write(out / "export" / ("text-" + name),
                    Prefixed(Bytes(kForeignText, kForeignText + sizeof kForeignText - 1), r.content));
        ok &= Write(out / "export" / ("rtf-" + name),
                    Prefixed(Bytes(kForeignRtf, kForeignRtf + sizeof kForeignRtf - 1), r.content));
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-seeds COLLECTION OUT\n");
        return 2;
    }
    Diagnostics diag;
    std::vector<PackedResource> resources = PackCollection(argv[1], &diag);
    if (resources.empty()) {
        for (const Diagnostic& d : diag.list) std::fprintf(stderr, "%s\n", FormatDiagnostic(d).c_str());
        return 1;
    }
    fs::path out = argv[2];
    for (const char* folder : {"content", "article", "index", "export", "search"}) fs::create_directories(out / folder);
    bool ok = true;
    for (const PackedResource& r : resources) ok &= WriteSeeds(r, out);
    if (!ok) std::fprintf(stderr, "make-seeds: cannot write to %s\n", argv[2]);
    return ok ? 0 : 1;
}
