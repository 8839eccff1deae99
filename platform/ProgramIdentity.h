// What the window layer knows of the program it serves, handed over once at start
// (RegisterProgram, before the first window or resource call): the layer itself
// names nothing of the program.
#pragma once

#include "ResourceStore.h"
#include "win32.h"

struct ProgramIdentity {
    const WCHAR* windowClass;  // the main window's class, by which another start finds it
    const WCHAR* windowTitle;  // the title that window is created with
    UINT endRequestMessage;    // posted to the main window when a signal or the session asks it to end
    const char* desktopName;   // the desktop's name for the program: its menu entry and icon
    const char* name;          // its file name: settings folder, messages, process name
    const ResourceTable* const* tables;  // what FindResourceW searches, in order
    int tableCount;
};

void RegisterProgram(const ProgramIdentity& identity);
// Empty (null names, no tables) until RegisterProgram.
const ProgramIdentity& RegisteredProgram();
// The registered file name, empty before RegisterProgram.
const char* ProgramName();
