// A private configuration folder for one test: XDG_CONFIG_HOME points into it, so
// the registry file of the test never touches the user's own settings.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/RegistryStore.h"
#include "platform/win32.h"

struct TempConfig {
    std::string dir;

    TempConfig() {
        char pattern[] = "/tmp/velun-test-XXXXXX";
        dir = mkdtemp(pattern);
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        setenv("XDG_DATA_HOME", dir.c_str(), 1);  // the notes file
        ForgetRegistry();
    }
    ~TempConfig() {
        ForgetRegistry();
        std::filesystem::remove_all(dir);
    }
    std::string RegistryPath() const { return dir + "/velun/registry.txt"; }

    std::string ReadRegistryFile() const {
        std::ifstream in(RegistryPath(), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void WriteRegistryFile(const std::string& text) const {
        std::filesystem::create_directories(dir + "/velun");
        std::ofstream(RegistryPath(), std::ios::binary) << text;
        ForgetRegistry();
    }
};

// ---- Reading and writing values as they are stored ----

struct StoredValue {
    DWORD type = 0;
    std::vector<BYTE> data;
    LSTATUS status = 0;
};

inline StoredValue QueryValue(LPCWSTR path, LPCWSTR name) {
    StoredValue s;
    HKEY key;
    s.status = RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
    if (s.status != ERROR_SUCCESS) return s;
    DWORD size = 0;
    s.status = RegQueryValueExW(key, name, nullptr, &s.type, nullptr, &size);
    if (s.status == ERROR_SUCCESS) {
        s.data.resize(size);
        s.status = RegQueryValueExW(key, name, nullptr, nullptr, s.data.data(), &size);
    }
    RegCloseKey(key);
    return s;
}

inline void SetValue(LPCWSTR path, LPCWSTR name, DWORD type, const std::vector<BYTE>& data) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, data.data(), (DWORD)data.size()), ERROR_SUCCESS);
    RegCloseKey(key);
}

inline std::vector<BYTE> Utf16Bytes(const std::u16string& text, bool terminated = true) {
    std::vector<BYTE> out;
    for (char16_t u : text) out.insert(out.end(), {(BYTE)(u & 0xFF), (BYTE)(u >> 8)});
    if (terminated) out.insert(out.end(), {0, 0});
    return out;
}

inline std::vector<BYTE> DwordBytes(uint32_t d) { return {(BYTE)d, (BYTE)(d >> 8), (BYTE)(d >> 16), (BYTE)(d >> 24)}; }
