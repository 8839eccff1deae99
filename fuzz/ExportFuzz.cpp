// Arbitrary article bytes copied and appended to the clipboard at every base, as
// Unicode text and (with a Unicode base) as RTF, onto arbitrary data already there.
// Input: one byte n, then n bytes of clipboard data, then the article.
#include <cstring>
#include <vector>

#include "fuzz/FuzzBuffers.h"
#include "fuzz/FuzzPlatform.h"
#include "platform/TestHooks.h"
#include "shell/AppState.h"
#include "shell/Export.h"

namespace {

constexpr int32_t kBases[] = {97, 224, 1488};
constexpr uint32_t kReverseModes[] = {0, kFlagReverse};
constexpr size_t kMaxArticle = 0xFFFF;

size_t UnitsBefore0(const WCHAR* units, size_t capacity) {
    size_t n = 0;
    while (n < capacity && units[n]) n++;
    return n;
}

// Every block the export leaves ends inside itself; appended text keeps what was there.
void CheckClipboard(UINT format, const uint8_t* old, size_t oldSize, bool append) {
    HLOCAL block = FuzzClipboardBlock(format);
    if (!block) return;  // the rendering did not fit: a message, nothing put
    size_t capacity = LocalSize(block);
    if (format == CF_UNICODETEXT) {
        size_t units = capacity / sizeof(WCHAR);
        FuzzCheck(UnitsBefore0((const WCHAR*)block, units) < units);
        size_t oldUnits = append ? UnitsBefore0((const WCHAR*)old, oldSize / sizeof(WCHAR)) : 0;
        FuzzCheck(!oldUnits || std::memcmp(block, old, oldUnits * sizeof(WCHAR)) == 0);
    } else {
        FuzzCheck(memchr(block, 0, capacity) != nullptr);
        // Without an earlier document the block is a document of its own.
        bool earlier = append && oldSize && old[0];
        if (!earlier) FuzzCheck(std::strncmp((const char*)block, "{\\rtf", 5) == 0);
    }
}

void ExportOnce(ArticleView* view, UINT format, const uint8_t* old, size_t oldSize, bool append) {
    ClearFuzzClipboard();
    PutOnFuzzClipboard(format, old, oldSize);
    ExportArticle(view, append);
    CheckClipboard(format, old, oldSize, append);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size - 1 < data[0]) return 0;
    size_t oldSize = data[0];
    const uint8_t* old = data + 1;
    const uint8_t* article = old + oldSize;
    size_t articleSize = size - 1 - oldSize;
    if (articleSize > kMaxArticle) return 0;

    ScriptMessageBoxes({});
    // Copied, so the clipboard data is aligned as a block of units would be.
    std::vector<uint8_t> clipboard(old, old + oldSize);
    old = clipboard.data();
    ArticleView view = {};
    view.article = FuzzContentCopy(article, articleSize);
    for (int32_t base : kBases)
        for (uint32_t reverse : kReverseModes) {
            gApp.fontSettings.FontAsciiBase = base;
            gApp.Flags = kDefaultFlags & ~kFlagReverse | reverse;
            UINT format = base > 256 ? kFuzzRtfFormat : CF_UNICODETEXT;
            ExportOnce(&view, format, old, oldSize, false);
            ExportOnce(&view, format, old, oldSize, true);
            FuzzCheck(gApp.Flags == (kDefaultFlags & ~kFlagReverse | reverse));
        }
    ClearFuzzClipboard();
    std::free(view.article);
    // The only message an export shows is the overflow one, never reached when
    // the size rule holds.
    FuzzCheck(RecordedMessageBoxes().empty());
    return 0;
}
