// Arbitrary bytes as the notes file: parsing never reads outside the text, what it
// accepts formats to a file that parses to the same notes and formats the same,
// and accepted notes are checked against their articles and exported without fault.
#include <string>
#include <vector>

#include "fuzz/FuzzBuffers.h"
#include "platform/TestHooks.h"
#include "reader/NotesAnchor.h"
#include "reader/NotesExport.h"
#include "reader/NotesFile.h"
#include "shell/AppState.h"

namespace {

bool Same(const Note& a, const Note& b) {
    return a.article == b.article && a.record == b.record && a.start == b.start && a.end == b.end &&
           a.colour == b.colour && a.created == b.created && a.modified == b.modified && a.quote == b.quote &&
           a.text == b.text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ResetAppState();
    ScriptMessageBoxes({});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text((const char*)data, size);
    std::vector<Note> first, second;
    std::string error;
    if (!ParseNotes(text, &first, &error)) {
        FuzzCheck(!error.empty());
        return 0;
    }
    std::string formatted = FormatNotes(first);
    FuzzCheck(ParseNotes(formatted, &second, &error));
    FuzzCheck(first.size() == second.size());
    for (size_t i = 0; i < first.size(); i++) FuzzCheck(Same(first[i], second[i]));
    FuzzCheck(FormatNotes(second) == formatted);
    // Each note moves the search through a whole article: a few are enough.
    if (first.size() > 4) return 0;
    AnchorNotes(&first);
    for (const Note& n : first) FuzzCheck(n.detached || n.start < n.end);
    std::string document;
    FuzzCheck(ExportNotes(first, NotesFormat::kRtf, &document));
    return 0;
}
