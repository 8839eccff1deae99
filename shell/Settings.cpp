#include "Settings.h"

#include <cstdlib>

#include "../resources/Bitmaps.h"
#include "../views/Palette.h"
#include "AppState.h"
#include "Bookmarks.h"
#include "Memory.h"
#include "Search.h"
#include "../reader/ArticlePositions.h"
#include "../reader/ContentsTab.h"
#include "../reader/ReadingColumn.h"
#include "../reader/NotesStore.h"
#include "../reader/DesktopColours.h"
#include "../reader/WindowPlacement.h"

const WCHAR kProductKey[] = TEXT("Software\\Velmora\\Tessaly-Velun");
const WCHAR kVendorKey[] = TEXT("software\\Velmora");
bool gSettingsLoaded;

namespace {

// Reads a value of the product key into a new buffer of factor * size + extra bytes,
// zero-filled past the data so that text read from it always ends.
BYTE* ReadValue(LPCWSTR name, size_t factor, size_t extra, DWORD* size) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kProductKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    BYTE* data = nullptr;
    if (RegQueryValueExW(key, name, nullptr, nullptr, nullptr, size) == ERROR_SUCCESS) {
        size_t bytes = *size * factor + extra;
        data = (BYTE*)CheckedAlloc(bytes);
        if (data) {
            std::memset(data, 0, bytes);
            if (RegQueryValueExW(key, name, nullptr, nullptr, data, size) != ERROR_SUCCESS) {
                std::free(data);
                data = nullptr;
            }
        }
    }
    RegCloseKey(key);
    return data;
}

// The product key, created when missing; null on failure.
HKEY OpenProductKeyToWrite() {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return nullptr;
    return key;
}

int WriteValue(LPCWSTR name, DWORD type, const void* data, DWORD size) {
    HKEY key = OpenProductKeyToWrite();
    if (!key) return 0;
    LSTATUS status = RegSetValueExW(key, name, 0, type, (const BYTE*)data, size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// size is even. Digits are taken as they come: no sign, no blanks, no check ("-5" gives -25, "1a" 59).
int32_t ParseDigits(const BYTE* data, DWORD size) {
    uint32_t result = 0;
    for (DWORD i = 0; i < size; i += 2) {
        WCHAR unit = (WCHAR)(data[i] | (data[i + 1] << 8));
        if (unit == 0) break;
        result = result * 10 + (uint32_t)(unit - 0x30);
    }
    return (int32_t)result;
}

}  // namespace

int32_t RegReadNumber(LPCWSTR keyPath, LPCWSTR name, int32_t defaultValue) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return defaultValue;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return defaultValue;
    }
    int32_t result = defaultValue;
    if (type == REG_DWORD) {
        BYTE bytes[4] = {0, 0, 0, 0};
        DWORD count = sizeof bytes;
        if (RegQueryValueExW(key, name, nullptr, nullptr, bytes, &count) == ERROR_SUCCESS)
            result = (int32_t)(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | ((uint32_t)bytes[3] << 24));
    } else {
        // Twice the size, zero-filled: an odd last byte reads as a whole unit.
        BYTE* text = (BYTE*)CheckedAlloc((size_t)size * 2 + 2);
        if (text) {
            std::memset(text, 0, (size_t)size * 2 + 2);
            if (RegQueryValueExW(key, name, nullptr, nullptr, text, &size) == ERROR_SUCCESS)
                result = ParseDigits(text, size + (size & 1));
            std::free(text);
        }
    }
    RegCloseKey(key);
    return result;
}

int32_t ReadSetting(LPCWSTR name, int32_t defaultValue) { return RegReadNumber(kProductKey, name, defaultValue); }

WCHAR* RegReadString(LPCWSTR name) {
    DWORD size = 0;
    return (WCHAR*)ReadValue(name, 2, 2, &size);
}

BYTE* RegReadBytes(LPCWSTR name) {
    DWORD size = 0;
    return ReadValue(name, 1, 0, &size);
}

BYTE* RegReadBytesSized(LPCWSTR name, BYTE* fallback, DWORD* size) {
    DWORD read = 0;
    BYTE* data = ReadValue(name, 1, 0, &read);
    if (!data) return fallback;
    *size = read;
    return data;
}

void ReadByteString(LPCWSTR name, char* buffer, int capacity) {
    DWORD size = 0;
    BYTE* value = RegReadBytesSized(name, nullptr, &size);
    if (!value) return;
    if (size > 0 && value[0] != 0 && capacity > 0) {
        int n = 0;
        while (n < capacity - 1 && (DWORD)n < size && value[n]) {
            buffer[n] = (char)value[n];
            n++;
        }
        buffer[n] = 0;
    }
    std::free(value);
}

int RegWriteNumber(LPCWSTR name, int32_t number) {
    uint32_t n = (uint32_t)number;
    BYTE bytes[4] = {(BYTE)n, (BYTE)(n >> 8), (BYTE)(n >> 16), (BYTE)(n >> 24)};
    return WriteValue(name, REG_DWORD, bytes, 4);
}

int RegWriteString(LPCWSTR name, LPCWSTR text) {
    return WriteValue(name, REG_SZ, text, (DWORD)(wcslen(text) + 1) * 2);
}

int RegWriteByteString(LPCWSTR name, const char* text) {
    return WriteValue(name, REG_BINARY, text, (DWORD)std::strlen(text) + 1);
}

int RegWriteBytes(LPCWSTR name, const void* bytes, DWORD size) { return WriteValue(name, REG_BINARY, bytes, size); }

void LoadIndexIcons() {
    const int ids[] = {kBitmapIconCollapsed, kBitmapIconExpanded, kBitmapIconLink};
    for (int i = 0; i < 3; i++) gApp.indexIcons[i] = LoadBitmapW(gApp.instance, MAKEINTRESOURCEW(ids[i]));
}

void FreeIndexIcons() {
    for (HBITMAP& icon : gApp.indexIcons) {
        if (icon) DeleteObject(icon);
        icon = nullptr;
    }
}

void LoadSettings() {
    WCHAR path[MAX_PATH] = {0};
    GetModuleFileNameW(gApp.instance, path, MAX_PATH);
    if (path[0]) RegWriteString(TEXT("Program Path"), path);

    WCHAR* face = RegReadString(TEXT("FontName"));
    if (face && face[0]) {
        wcsncpy(gApp.fontSettings.faceName, face, kMaxFaceNameUnits);
        gApp.fontSettings.faceName[kMaxFaceNameUnits] = 0;
    }
    std::free(face);
    ReadByteString(TEXT("SearchString"), gApp.searchString, kSearchStringSize);
    gApp.searchHebrew = ReadSetting(TEXT("SearchHebrew"), 0) == 1;

    gApp.fontSettings.size = ReadSetting(TEXT("FontSize"), 0);
    gApp.fontSettings.FontAsciiBase = ReadSetting(TEXT("FontAsciiBase"), 97);
    gApp.lastPosition = (uint16_t)ReadSetting(TEXT("LastPosition"), 0);
    gApp.Flags = (uint32_t)ReadSetting(TEXT("Flags"), (int32_t)kDefaultFlags);
    gApp.currentArticle = (uint16_t)ReadSetting(TEXT("Lesson"), 0);
    gNightReading = NightAtStart();
    LoadReadingColumn();

    LoadIndexIcons();

    FreeBookmarks();
    LoadBookmarks();
    LoadArticlePlaces();
    gSettingsLoaded = true;
}

void ReleaseLoadedSettings() {
    FreeIndexIcons();
    FreeBookmarks();
    gSettingsLoaded = false;
}

bool SettingStored(LPCWSTR name) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kProductKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    bool stored = RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return stored;
}

namespace {

// A value back at its default is written as the default where one is stored, so that
// the next start shows the default too; where none is, nothing is written.
void ResetSetting(LPCWSTR name, DWORD type, const void* data, DWORD size) {
    if (SettingStored(name)) WriteValue(name, type, data, size);
}

void WriteSettingValues() {
    static const BYTE kZero[4] = {0, 0, 0, 0};
    if (gApp.searchString[0]) {
        RegWriteByteString(TEXT("SearchString"), gApp.searchString);
        RegWriteNumber(TEXT("SearchHebrew"), gApp.searchHebrew);
    } else {
        ResetSetting(TEXT("SearchString"), REG_BINARY, kZero, 1);
        ResetSetting(TEXT("SearchHebrew"), REG_DWORD, kZero, 4);
    }
    if (gApp.fontSettings.faceName[0]) {
        RegWriteString(TEXT("FontName"), gApp.fontSettings.faceName);
    } else {
        ResetSetting(TEXT("FontName"), REG_SZ, kZero, 2);
    }
    if (gApp.fontSettings.size) {
        RegWriteNumber(TEXT("FontSize"), gApp.fontSettings.size);
    } else {
        ResetSetting(TEXT("FontSize"), REG_DWORD, kZero, 4);
    }
    if (gApp.fontSettings.FontAsciiBase) RegWriteNumber(TEXT("FontAsciiBase"), gApp.fontSettings.FontAsciiBase);
    if (gApp.articleView) RegWriteNumber(TEXT("LastPosition"), gApp.articleView->topRow);
    SaveArticlePlaces();
    RegWriteNumber(TEXT("Flags"), (int32_t)gApp.Flags);
    if (gApp.currentArticle) RegWriteNumber(TEXT("Lesson"), gApp.currentArticle);
    WriteNightSetting();
    SaveReadingColumn();
    if (!gFullScreen && gApp.mainWindow) SaveWindowPlacement(gApp.mainWindow);
    SaveBookmarks();
    SaveContentsOpened();
}

}  // namespace

void SaveSettings() {
    if (!gSettingsLoaded) return;
    // The product key held open over all the writes: the registry keeps them until the
    // last key closes, so they reach the file in one replace, and a run killed
    // meanwhile leaves the file before them, whole.
    HKEY held = OpenProductKeyToWrite();
    WriteSettingValues();
    if (held) RegCloseKey(held);
}

void ExitProgram() {
    FreeIndexIcons();
    ReleaseSearchableArticles();
    SaveSettings();
    FlushNotes();
    gSettingsLoaded = false;
    if (gApp.articleView) {
        DestroyArticleView(gApp.articleView, TRUE);
        // Whatever runs before the quit message is retrieved must not reach the old view.
        gApp.articleView = nullptr;
    }
    FreeBookmarks();
    PostQuitMessage(0);
}
