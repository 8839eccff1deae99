// The collection as search reads it: each article decoded once and kept, so that
// searching again (F3 through the whole collection) only scans text.
#include <cstdlib>

#include "../content/Content.h"
#include "AppState.h"
#include "Search.h"

namespace {

// The resource a kept text was decoded from: a different one (tests serve their
// own resources) is decoded afresh.
struct SearchableText {
    HRSRC resource;
    const void* bytes;
    DWORD size;
    BYTE* text;
};

SearchableText gSearchable[kArticleCount + 1];

}  // namespace

const BYTE* SearchableArticle(int number) {
    if (number < 1 || number > kArticleCount) return nullptr;
    HRSRC resource = FindResourceW(gApp.instance, MAKEINTRESOURCE(number + kContentIdBase), RT_RCDATA);
    const void* bytes = resource ? LoadResource(gApp.instance, resource) : nullptr;
    DWORD size = resource ? SizeofResource(gApp.instance, resource) : 0;
    SearchableText& kept = gSearchable[number];
    if (kept.text && kept.resource == resource && kept.bytes == bytes && kept.size == size) return kept.text;
    std::free(kept.text);
    kept = {resource, bytes, size, LoadContent(number, nullptr)};
    return kept.text;
}

void ReleaseSearchableArticles() {
    for (SearchableText& kept : gSearchable) {
        std::free(kept.text);
        kept = {};
    }
}
