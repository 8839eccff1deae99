// The registry's contents in memory and the text file that keeps them between runs.
#pragma once

#include <string>
#include <vector>

#include "win32.h"

// Lines of the file that hold no value (comments, blank lines) are kept across saves
// where the user put them.
typedef std::vector<std::string> RegistryLines;

struct RegistryValue {
    std::u16string name;  // empty: the key's default value ("@" in the file)
    DWORD type;
    std::vector<BYTE> data;
    RegistryLines linesAbove;  // the comment and blank lines just above the value's line
    std::string comment;       // a comment after the value on its line, with the blanks before it
};

struct RegistryKey {
    std::u16string path;  // begins with the root's name, e.g. HKEY_CURRENT_USER\Software\Vendor
    std::vector<RegistryValue> values;
    RegistryLines linesBelow;  // after the last value, up to the next key or the end
    RegistryLines linesAbove;  // only for a key made in memory: what separates it from the one before
};

struct RegistryContents {
    std::vector<RegistryKey> keys;
    RegistryLines head;  // before the first key
};

// No keys; the file it makes begins with a few lines saying what the file is.
RegistryContents NewRegistryContents();
// Removes a value; the lines above it stay where they were, above whatever follows.
void EraseRegistryValue(RegistryKey* key, size_t index);

// Key and value names compare without regard to letter case, as on the platform.
bool SameRegistryName(const std::u16string& a, const std::u16string& b);

// A hostile or damaged file must not exhaust memory.
constexpr size_t kMaxRegistryValueSize = 64 * 1024;
constexpr size_t kMaxRegistryFileSize = 4 * 1024 * 1024;

// $XDG_CONFIG_HOME/NAME/registry.txt (NAME the registered ProgramName()), with ~/.config when XDG_CONFIG_HOME is unset or relative.
std::string RegistryFilePath();

std::string FormatRegistry(const RegistryContents& contents);
// On failure *error says where and why ("line 3: ...") and *out is unspecified.
bool ParseRegistry(const std::string& text, RegistryContents* out, std::string* error);

// Replaces the file so that a crash at any moment leaves either the old or the new one,
// and removes the temporary files that writers killed in the middle left behind.
bool WriteFileAtomically(const std::string& path, const std::string& text);

// Why the last save of the file failed (the system's reason, e.g. "Read-only file
// system"), or empty when it succeeded. A failed save is tried again at the next close
// of a key after a change, and the file on disk stays as it was.
std::string RegistrySaveError();

// Drops the registry held in memory; the next key opened reads the file again.
// Open key handles stay valid. Tests use it after pointing XDG_CONFIG_HOME elsewhere.
void ForgetRegistry();
