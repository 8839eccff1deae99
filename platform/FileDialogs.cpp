// The file dialogs: scripted for tests, else the desktop's.
#include "Desktop.h"
#include "NoThrow.h"
#include "TestHooks.h"

namespace {
bool gScripted = false;
std::vector<std::string> gPaths;
size_t gNextPath = 0;
FileDialogShower gShower = nullptr;

std::string Ask(HWND owner, bool save, const WCHAR* title, const WCHAR* suggestedName, const WCHAR* filters,
                int* chosen) {
    if (chosen) *chosen = 0;
    // Without memory for the path the dialog counts as cancelled.
    return CallOrFail(std::string(), [&] {
        if (gScripted) return gNextPath < gPaths.size() ? gPaths[gNextPath++] : std::string();
        return gShower ? gShower(owner, save, title, suggestedName, filters, chosen) : std::string();
    });
}
}  // namespace

void ScriptFileDialogs(std::vector<std::string> paths) {
    gScripted = true;
    gPaths = std::move(paths);
    gNextPath = 0;
}

void StopFileDialogScript() {
    gScripted = false;
    gPaths.clear();
}

void SetFileDialogShower(FileDialogShower shower) { gShower = shower; }

std::string AskFileToSave(HWND owner, const WCHAR* title, const WCHAR* suggestedName, const WCHAR* filters,
                          int* chosen) {
    return Ask(owner, true, title, suggestedName, filters, chosen);
}

std::string AskFileToOpen(HWND owner, const WCHAR* title, const WCHAR* filters) {
    return Ask(owner, false, title, nullptr, filters, nullptr);
}
