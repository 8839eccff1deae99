// velun-pack: compiles the collection sources into the program's content resources.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../content/Content.h"
#include "Collection.h"
#include "Dump.h"
#include "EmitCpp.h"
#include "Stats.h"

namespace fs = std::filesystem;

namespace {
const char kUsage[] =
    "usage: velun-pack DIR [--cpp FILE] [--out-dir DIR] [--stats]\n"
    "       velun-pack --dump FILE.bin...\n"
    "\n"
    "  DIR            the collection folder: articles/NNN-name.txt and index.txt\n"
    "  --cpp FILE     write the C++ table of the 188 resources (only when it changed)\n"
    "  --out-dir DIR  write the resources as DIR/1001.bin ... DIR/1187.bin, DIR/32767.bin\n"
    "  --stats        print what the collection holds\n"
    "  --dump FILE    print a resource back in its source form\n"
    "\n"
    "Errors are printed as file:line: message; nothing is written while there is any.\n";

struct Options {
    std::string dir, cppFile, outDir;
    bool stats = false;
    std::vector<std::string> dumpFiles;
};

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--cpp" && hasValue) {
            o->cppFile = argv[++i];
        } else if (arg == "--out-dir" && hasValue) {
            o->outDir = argv[++i];
        } else if (arg == "--stats") {
            o->stats = true;
        } else if (arg == "--dump") {
            while (i + 1 < argc && strncmp(argv[i + 1], "--", 2) != 0) o->dumpFiles.push_back(argv[++i]);
            if (o->dumpFiles.empty()) return false;
        } else if (arg.compare(0, 2, "--") != 0 && o->dir.empty()) {
            o->dir = arg;
        } else {
            return false;
        }
    }
    bool packs = !o->cppFile.empty() || !o->outDir.empty() || o->stats;
    return o->dumpFiles.empty() ? !o->dir.empty() && packs : o->dir.empty() && !packs;
}

std::string ReadFile(const std::string& path, bool* ok) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    *ok = (bool)in;
    return s.str();
}

bool WriteFile(const fs::path& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), (std::streamsize)data.size());
    return (bool)out;
}

// Leaves the file alone when it already holds the text, so the build does not recompile it.
bool WriteIfChanged(const std::string& path, const std::string& data) {
    bool ok;
    if (ReadFile(path, &ok) == data && ok) return true;
    std::error_code ec;
    if (fs::path(path).has_parent_path()) fs::create_directories(fs::path(path).parent_path(), ec);
    return WriteFile(path, data);
}

// Every stream goes through the program's own decoder before anything is written.
bool DecodesBack(const PackedResource& r) {
    const Bytes& res = r.resource;
    int payloadLength = res[0] << 8 | res[1];
    int status = 0;
    BYTE* decoded = UnpackContent(res.data() + 6, payloadLength, 0, &status);
    bool same = decoded && memcmp(decoded, r.content.data(), r.content.size()) == 0 && decoded[r.content.size()] == 0;
    free(decoded);
    return same;
}

// The decompressed content of a resource file, as the program's loader would see it.
bool ReadResource(const std::string& path, Bytes* content, bool* isIndex, std::string* problem) {
    bool ok;
    std::string data = ReadFile(path, &ok);
    if (!ok) {
        *problem = "cannot read the file";
        return false;
    }
    const BYTE* bytes = (const BYTE*)data.data();
    if (data.size() < 14 || (size_t)(bytes[0] << 8 | bytes[1]) != data.size() - 6) {
        *problem = "not a content resource: the length field does not match the file size";
        return false;
    }
    int status = 0;
    BYTE* decoded = UnpackContent(bytes + 6, (int)data.size() - 6, 0, &status);
    if (!decoded) {
        *problem = "the content does not decompress (status " + std::to_string(status) + ")";
        return false;
    }
    content->assign(decoded, decoded + (bytes[8] << 8 | bytes[9]));
    free(decoded);
    *isIndex = bytes[2] == 0 && bytes[3] == 1 && bytes[4] == 0 && bytes[5] == 255;
    return true;
}

int Dump(const Options& o) {
    int result = 0;
    for (const std::string& path : o.dumpFiles) {
        Bytes content;
        bool isIndex;
        std::string text;  // the source form, or what went wrong
        bool ok = ReadResource(path, &content, &isIndex, &text);
        if (ok && isIndex) ok = DumpIndex(content, &text);
        if (ok && !isIndex) text = DumpArticle(content);
        if (!ok) {
            fprintf(stderr, "%s: %s\n", path.c_str(), text.c_str());
            result = 1;
            continue;
        }
        if (o.dumpFiles.size() > 1) printf("// %s\n", path.c_str());
        fputs(text.c_str(), stdout);
    }
    return result;
}

int Pack(const Options& o) {
    Diagnostics diag;
    std::vector<PackedResource> resources = PackCollection(o.dir, &diag);
    for (const PackedResource& r : resources) {
        if (!DecodesBack(r)) AddError(&diag, std::to_string(r.id), 0, "internal error: the stream does not decode back");
    }
    if (!diag.list.empty()) {
        for (const Diagnostic& d : diag.list) fprintf(stderr, "%s\n", FormatDiagnostic(d).c_str());
        fprintf(stderr, "velun-pack: %zu error(s), nothing written\n", diag.list.size());
        return 1;
    }
    if (o.stats) fputs(CollectionStats(resources).c_str(), stdout);
    if (!o.cppFile.empty() && !WriteIfChanged(o.cppFile, EmitContentTable(resources))) {
        fprintf(stderr, "%s: cannot write the file\n", o.cppFile.c_str());
        return 1;
    }
    if (!o.outDir.empty()) {
        std::error_code ec;
        fs::create_directories(o.outDir, ec);
        for (const PackedResource& r : resources) {
            fs::path path = fs::path(o.outDir) / (std::to_string(r.id) + ".bin");
            if (!WriteFile(path, std::string(r.resource.begin(), r.resource.end()))) {
                fprintf(stderr, "%s: cannot write the file\n", path.string().c_str());
                return 1;
            }
        }
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        fputs(kUsage, stdout);
        return 0;
    }
    if (!ParseOptions(argc, argv, &o)) {
        fputs(kUsage, stderr);
        return 2;
    }
    return o.dumpFiles.empty() ? Pack(o) : Dump(o);
}
