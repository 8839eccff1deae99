// The settings store: registry access, the settings load at start and the exit sequence.
#pragma once

#include "../platform/win32.h"

// Both keys live under HKEY_CURRENT_USER. The vendor key is only read.
extern const WCHAR kProductKey[];  // "Software\Velmora\Tessaly-Velun"
extern const WCHAR kVendorKey[];   // "software\Velmora"

// The Flags word, beside the bits named in AppState.h (kFlagMatchCase 0x20,
// kFlagScrollBar 0xC0, kFlagReverse 0x800, kFlagTapVertical 0x10000000,
// kFlagTapPaging 0x80000000). Bits 18 and 30 are set by default and read by nothing.
// A paging field of 2 or 4 pages by half the rows shown, any other value by the rows shown - 1.
constexpr int kKeyPageShift = 20;  // bits 20-22: paging amount of the keys
constexpr int kTapPageShift = 24;  // bits 24-26: paging amount of taps
constexpr uint32_t kPageFieldMask = 7;

constexpr int kMaxFaceNameUnits = 31;

int32_t RegReadNumber(LPCWSTR keyPath, LPCWSTR name, int32_t defaultValue);
int32_t ReadSetting(LPCWSTR name, int32_t defaultValue);
// Whether the product key holds the value, whatever its type.
bool SettingStored(LPCWSTR name);
// New buffers from CheckedAlloc (caller frees), or null.
WCHAR* RegReadString(LPCWSTR name);
BYTE* RegReadBytes(LPCWSTR name);
// Returns fallback and leaves *size alone when the value cannot be read.
BYTE* RegReadBytesSized(LPCWSTR name, BYTE* fallback, DWORD* size);
void ReadByteString(LPCWSTR name, char* buffer, int capacity);

// Each write returns 1 when the value was set, else 0.
int RegWriteNumber(LPCWSTR name, int32_t number);
int RegWriteString(LPCWSTR name, LPCWSTR text);
int RegWriteByteString(LPCWSTR name, const char* text);
int RegWriteBytes(LPCWSTR name, const void* bytes, DWORD size);

// The three index icons (kIconCollapsed, kIconExpanded, kIconLink) in gApp.indexIcons.
void LoadIndexIcons();
void FreeIndexIcons();
// Gives back what LoadSettings took (the icons, the bookmark list) without writing
// anything: for a start that ends before the main window exists.
void ReleaseLoadedSettings();

void LoadSettings();
// Writes everything the reader keeps (settings, position, bookmarks, window placement)
// in one replace of the file; values that changed nothing cost nothing. The exit
// sequence ends with it, and SaveSoon (reader/SaveSoon.h) runs it soon after a change.
void SaveSettings();
void ExitProgram();

// True between a completed LoadSettings and the exit sequence that writes the settings
// back: an exit before the load finished, or a second one, writes nothing.
extern bool gSettingsLoaded;
