// The program entry: start order, the one-instance hand-over and the message loop.
#pragma once

#include "../platform/win32.h"
#include "../resources/Identity.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);
// The main window, or null when the program must end at once.
HWND StartMainWindow(int showCommand);
void RegisterMainWindowClass(HINSTANCE instance, LPCWSTR className);

// Builds the command line from argv and runs WinMain. VELUN_EXIT_AFTER_FIRST_PAINT=1
// prints "first-paint-ns N cpu-us N rss-kb N" (CLOCK_MONOTONIC, CPU time and peak
// RSS so far) at the first paint and then ends the program through its normal exit
// sequence (start-up measurements).
int RunReader(int argc, char** argv);
