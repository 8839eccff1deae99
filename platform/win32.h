// The subset of the Win32 / Windows CE API that the reader calls, with the real
// API's names, types, constants and semantics. On this machine it is served by
// our own layer (platform/qt for the desktop, platform/fake for exact tests).
//
// Text is UTF-16: WCHAR is a 16-bit unit, string literals are written TEXT("...").
#pragma once

#include "win32/Base.h"
#include "win32/Gdi.h"
#include "win32/User.h"
#include "win32/Registry.h"
#include "win32/Shell.h"
