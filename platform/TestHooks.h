// Hooks that let tests script the platform's modal answers and inspect its calls.
#pragma once

#include <string>
#include <vector>

#include "win32.h"

struct MessageBoxCall {
    HWND owner;
    std::u16string text;     // empty for a null text
    std::u16string caption;  // empty for a null caption
    bool hasCaption;
    UINT style;
};

// From this call on, MessageBoxW shows nothing: it records each call and returns the
// scripted answers in order (IDOK once they are used up).
void ScriptMessageBoxes(std::vector<int> answers);
// Back to real message boxes; the record is cleared.
void StopMessageBoxScript();
const std::vector<MessageBoxCall>& RecordedMessageBoxes();

// The real message box of the platform (set by the Qt layer); without one, message
// boxes are written to stderr and answered with IDOK.
typedef int (*MessageBoxShower)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
void SetMessageBoxShower(MessageBoxShower shower);

struct FontFamilyEntry {
    std::u16string face;
    BYTE charset;
};

// From this call on, EnumFontFamiliesW reports these families, in this order,
// instead of the system's.
void ScriptFontFamilies(std::vector<FontFamilyEntry> families);
// Back to the system's families.
void StopFontFamilyScript();

struct ShellExecuteCall {
    HWND window;
    ULONG mask;
    std::u16string verb;  // empty for a null verb
    std::u16string file;
};

// From this call on, ShellExecuteEx opens nothing: it records each call and succeeds.
void RecordShellExecutes();
// Back to opening; the record is cleared.
void StopShellExecuteRecord();
const std::vector<ShellExecuteCall>& RecordedShellExecutes();

// From this call on, the file dialogs show nothing: each returns the next of these
// paths (empty, as cancelled, once they are used up) with the first filter chosen.
void ScriptFileDialogs(std::vector<std::string> paths);
void StopFileDialogScript();

// The desktop's file dialog (set by the Qt layer); without one, the dialogs are cancelled.
typedef std::string (*FileDialogShower)(HWND owner, bool save, const WCHAR* title, const WCHAR* suggestedName,
                                        const WCHAR* filters, int* chosen);
void SetFileDialogShower(FileDialogShower shower);
