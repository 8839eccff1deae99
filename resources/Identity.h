// Who the program is to the window layer: its main window's class and title, the
// message that asks it to end, its desktop name and its resource tables. Every
// program that opens the reader's windows or reads its resources (the reader, the
// tests, the benchmarks, the probes) registers them first, through this one call.
#pragma once

#include "../platform/win32.h"

inline constexpr WCHAR kMainWindowClass[] = TEXT("Tessaly-Velun");
inline constexpr WCHAR kMainWindowTitle[] = TEXT("Velun");
// Sent from outside (the session ending, a signal): the window is destroyed and the
// program ends through its exit sequence.
constexpr UINT kMsgCloseFromOutside = 1023;

void RegisterProgramIdentity();
