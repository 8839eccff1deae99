#include "Collection.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "ArticleSource.h"
#include "Compress.h"
#include "Container.h"
#include "IndexSource.h"

namespace fs = std::filesystem;

namespace {
bool ReadTextFile(const fs::path& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    *text = s.str();
    return true;
}

// NNN-name.txt or NNN.txt; 0 when the name has no article number.
int ArticleNumberOf(const std::string& name) {
    if (name.size() < 7 || name.substr(name.size() - 4) != ".txt") return 0;
    for (int i = 0; i < 3; i++) {
        if (name[i] < '0' || name[i] > '9') return 0;
    }
    if (name[3] != '-' && name[3] != '.') return 0;
    return std::stoi(name.substr(0, 3));
}

// Article number to source file, with every naming problem reported.
std::map<int, fs::path> FindArticleFiles(const fs::path& dir, Diagnostics* diag) {
    std::map<int, fs::path> files;
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    if (ec) {
        AddError(diag, dir.string(), 0, "cannot read the folder");
        return files;
    }
    for (const fs::directory_entry& entry : it) {
        std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".txt") continue;
        int number = ArticleNumberOf(name);
        if (number < 1 || number > kArticleCount) {
            AddError(diag, entry.path().string(), 0, "not an article file: name it NNN-name.txt, NNN from 001 to 187");
        } else if (files.count(number)) {
            AddError(diag, entry.path().string(), 0, "article " + std::to_string(number) + " is also in " +
                                                         files[number].filename().string());
        } else {
            files[number] = entry.path();
        }
    }
    for (int number = 1; number <= kArticleCount && !ec; number++) {
        if (!files.count(number)) AddError(diag, dir.string(), 0, "article " + std::to_string(number) + " is missing");
    }
    return files;
}
}  // namespace

bool PackResource(uint16_t id, const Bytes& content, PackedResource* out) {
    if (content.empty() || content.size() > kMaxContentSize) return false;
    Bytes stream = Compress(content);
    if (stream.size() > kMaxStreamSize) return false;
    bool isIndex = id == kIndexId;
    uint16_t number = isIndex ? 1 : (uint16_t)(id - kContentIdBase);
    out->id = id;
    out->content = content;
    out->resource = WrapContainer(stream, content.size(), number, isIndex ? 255 : number);
    return true;
}

std::vector<PackedResource> PackCollection(const std::string& dirName, Diagnostics* diag) {
    fs::path dir(dirName);
    std::vector<PackedResource> resources;
    std::vector<std::pair<uint16_t, Bytes>> contents;
    size_t errorsBefore = diag->list.size();
    for (const auto& [number, path] : FindArticleFiles(dir / "articles", diag)) {
        std::string text;
        if (!ReadTextFile(path, &text)) {
            AddError(diag, path.string(), 0, "cannot read the file");
            continue;
        }
        std::vector<PackedRecord> records = ParseArticleSource(text, path.string(), diag);
        contents.push_back({(uint16_t)(kContentIdBase + number), ArticleBytes(records)});
    }
    fs::path indexPath = dir / "index.txt";
    std::string indexText;
    if (!ReadTextFile(indexPath, &indexText)) {
        AddError(diag, indexPath.string(), 0, "cannot read the file");
    } else {
        contents.push_back({kIndexId, IndexBytes(ParseIndexSource(indexText, indexPath.string(), diag))});
    }
    if (diag->list.size() != errorsBefore) return resources;
    for (const auto& [id, content] : contents) {
        PackedResource r;
        if (!PackResource(id, content, &r)) {
            AddError(diag, std::to_string(id), 0, "the compressed content is too large to store");
            continue;
        }
        resources.push_back(std::move(r));
    }
    if (diag->list.size() != errorsBefore) resources.clear();
    return resources;
}
