#include <cstdio>

#include "NoThrow.h"
#include "ProgramIdentity.h"
#include "TestHooks.h"
#include "Utf16.h"

namespace {
bool gScripted = false;
std::vector<int> gAnswers;
size_t gNextAnswer = 0;
std::vector<MessageBoxCall> gCalls;
MessageBoxShower gShower = nullptr;
}  // namespace

void ScriptMessageBoxes(std::vector<int> answers) {
    gScripted = true;
    gAnswers = std::move(answers);
    gNextAnswer = 0;
    gCalls.clear();
}

void StopMessageBoxScript() {
    gScripted = false;
    gAnswers.clear();
    gCalls.clear();
}

const std::vector<MessageBoxCall>& RecordedMessageBoxes() { return gCalls; }

void SetMessageBoxShower(MessageBoxShower shower) { gShower = shower; }

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return CallOrFail<int>(0, [&]() -> int {
        if (gScripted) {
            gCalls.push_back({owner, text ? std::u16string(text) : std::u16string(),
                              caption ? std::u16string(caption) : std::u16string(), caption != nullptr, type});
            return gNextAnswer < gAnswers.size() ? gAnswers[gNextAnswer++] : IDOK;
        }
        if (gShower) return gShower(owner, text, caption, type);
        // Without a caption the box is titled by the program, or "Error" as Win32 does.
        const WCHAR* shown = caption ? caption : RegisteredProgram().windowTitle;
        std::fprintf(stderr, "%s: %s\n", shown ? Utf16ToUtf8(shown).c_str() : "Error",
                     text ? Utf16ToUtf8(text).c_str() : "");
        return IDOK;
    });
}
