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
