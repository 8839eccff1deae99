// The registry store: exact types and bytes, key paths without letter case, the text
// file (hand edits, round trip, atomic replacement) and damaged or hostile files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "TempConfig.h"
#include "platform/Utf16.h"
#include "platform/win32.h"

namespace {

const WCHAR kProduct[] = u"Software\\Velmora\\Tessaly-Velun";

// No test of this binary may write to the real ~/.config, even one that forgets TempConfig.
const bool kIsolated = [] {
    char pattern[] = "/tmp/velun-tests-XXXXXX";
    if (mkdtemp(pattern)) setenv("XDG_CONFIG_HOME", pattern, 1);
    return true;
}();

}  // namespace

TEST(Registry, ValuesKeepTheirTypeAndBytesAcrossTheFile) {
    TempConfig config;
    struct Case {
        const WCHAR* name;
        DWORD type;
        std::vector<BYTE> data;
    };
    std::vector<Case> cases = {
        {u"Flags", REG_DWORD, {0x40, 0x00, 0x14, 0xD1}},
        {u"FontName", REG_SZ, Utf16Bytes(u"DejaVu Serif")},
        {u"Quoted", REG_SZ, Utf16Bytes(u"say \"hi\" C:\\dir\ttab \u05D0\u05D1 \U0001F600")},
        {u"LoneSurrogate", REG_SZ, Utf16Bytes(u"a\xD800z")},
        {u"Unterminated", REG_SZ, Utf16Bytes(u"abc", false)},
        {u"Empty", REG_SZ, Utf16Bytes(u"")},
        {u"Bookmarks", REG_BINARY, {5, 0, 3, 0, 0, 0}},
        {u"NoBytes", REG_BINARY, {}},
        {u"ShortDword", REG_DWORD, {1, 2, 3}},
        {u"Other", 7, {0x61, 0, 0, 0}},
        {u"", REG_SZ, Utf16Bytes(u"default value")},
    };
    for (const Case& c : cases) SetValue(kProduct, c.name, c.type, c.data);

    std::string text = config.ReadRegistryFile();
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Velmora\\Tessaly-Velun]\n"), std::string::npos);
    EXPECT_NE(text.find("\"Flags\"=dword:d1140040\n"), std::string::npos);
    EXPECT_NE(text.find("\"FontName\"=\"DejaVu Serif\"\n"), std::string::npos);
    EXPECT_NE(text.find("\"Bookmarks\"=hex:05,00,03,00,00,00\n"), std::string::npos);
    EXPECT_NE(text.find("say \\\"hi\\\" C:\\\\dir\\u0009tab \xD7\x90\xD7\x91"), std::string::npos);

    ForgetRegistry();
    for (const Case& c : cases) {
        StoredValue s = QueryValue(kProduct, c.name);
        ASSERT_EQ(s.status, ERROR_SUCCESS) << Utf16ToUtf8(c.name);
        EXPECT_EQ(s.type, c.type) << Utf16ToUtf8(c.name);
        EXPECT_EQ(s.data, c.data) << Utf16ToUtf8(c.name);
    }
    // Saving what was read gives the same file again.
    SetValue(kProduct, u"Flags", REG_DWORD, {0x40, 0x00, 0x14, 0xD1});
    EXPECT_EQ(config.ReadRegistryFile(), text);
}

TEST(Registry, KeyAndValueNamesIgnoreLetterCase) {
    TempConfig config;
    SetValue(kProduct, u"Lesson", REG_DWORD, {12, 0, 0, 0});
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"software\\Velmora", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(QueryValue(u"SOFTWARE\\velmora\\tessaly-velun", u"LESSON").data, (std::vector<BYTE>{12, 0, 0, 0}));
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Other", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Velmora\\Tessaly", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(QueryValue(kProduct, u"Missing").status, ERROR_FILE_NOT_FOUND);

    // Setting a value under another spelling replaces it rather than adding a second one.
    SetValue(kProduct, u"lesson", REG_DWORD, {13, 0, 0, 0});
    std::string text = config.ReadRegistryFile();
    EXPECT_EQ(text.find("\"Lesson\""), text.rfind("\"Lesson\""));
    EXPECT_EQ(QueryValue(kProduct, u"Lesson").data, (std::vector<BYTE>{13, 0, 0, 0}));
}

TEST(Registry, QueryReportsTheSizeAndRefusesSmallBuffers) {
    TempConfig config;
    SetValue(kProduct, u"SearchString", REG_BINARY, {'a', 'b', 'c', 0});
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kProduct, 0, KEY_READ, &key), ERROR_SUCCESS);
    BYTE small[2] = {9, 9};
    DWORD size = sizeof small;
    EXPECT_EQ(RegQueryValueExW(key, u"SearchString", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(small[0], 9);
    EXPECT_EQ(RegQueryValueExW(key, u"SearchString", nullptr, nullptr, small, nullptr), ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExW(key, u"SearchString", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
}

TEST(Registry, ReadsAHandEditedFile) {
    TempConfig config;
    config.WriteRegistryFile(
        "\xEF\xBB\xBF; my settings\r\n"
        "\r\n"
        "# another comment\n"
        "[hkey_current_user\\software\\velmora]\n"
        "  \"FullScreen\" = dword:1\n"
        "\"SurroundingGutter\"=\"8\"\t\n"
        "[HKEY_CURRENT_USER\\Software\\Velmora\\Tessaly-Velun]\n"
        "\"FontName\"=\"Caf\xC3\xA9 \\u05d0\"\n"
        "\"Bookmarks\"=hex:5, 0,0A,00 ,00,00\n"
        "\"Flags\"=dword:D1140040\n"
        "\"Flags\"=dword:40\n"
        "@=hex(0):\n");
    EXPECT_EQ(QueryValue(u"Software\\Velmora", u"FullScreen").data, (std::vector<BYTE>{1, 0, 0, 0}));
    StoredValue gutter = QueryValue(u"Software\\Velmora", u"SurroundingGutter");
    EXPECT_EQ(gutter.type, (DWORD)REG_SZ);
    EXPECT_EQ(gutter.data, Utf16Bytes(u"8"));
    EXPECT_EQ(QueryValue(kProduct, u"FontName").data, Utf16Bytes(u"Caf\u00E9 \u05D0"));
    EXPECT_EQ(QueryValue(kProduct, u"Bookmarks").data, (std::vector<BYTE>{5, 0, 10, 0, 0, 0}));
    EXPECT_EQ(QueryValue(kProduct, u"Flags").data, (std::vector<BYTE>{0x40, 0, 0, 0}));
    StoredValue def = QueryValue(kProduct, nullptr);
    EXPECT_EQ(def.status, ERROR_SUCCESS);
    EXPECT_EQ(def.type, 0u);
    EXPECT_TRUE(def.data.empty());
}

TEST(Registry, ADamagedFileGivesDefaultsAndIsKeptAside) {
    const char* damaged[] = {
        "[HKEY_CURRENT_USER\\Software\\Velmora\\Tessaly-Velun]\n\"Flags\"=dword:123456789\n",
        "\"Flags\"=dword:1\n",
        "[Software\\Velmora]\n",
        "[HKEY_CURRENT_USER\\Software]\n\"Name\"=\"no end\n",
        "[HKEY_CURRENT_USER\\Software]\n\"Name\"=\"bad \\q escape\"\n",
        "[HKEY_CURRENT_USER\\Software]\n\"Name\"=\"Latin-1 \xE9\"\n",
        "[HKEY_CURRENT_USER\\Software]\n\"Name\"=hex:0g\n",
        "[HKEY_CURRENT_USER\\\\Software]\n",
        "\x7F" "ELF binary garbage\n",
    };
    for (const char* text : damaged) {
        TempConfig config;
        config.WriteRegistryFile(text);
        testing::internal::CaptureStderr();
        EXPECT_EQ(QueryValue(kProduct, u"Flags").status, ERROR_FILE_NOT_FOUND) << text;
        std::string warning = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
        EXPECT_NE(warning.find("default settings"), std::string::npos) << warning;

        std::vector<std::filesystem::path> aside;
        for (auto& e : std::filesystem::directory_iterator(config.dir + "/velun")) {
            if (e.path().filename().string().rfind("registry.txt.broken-", 0) == 0) aside.push_back(e.path());
        }
        ASSERT_EQ(aside.size(), 1u) << text;
        std::ifstream in(aside[0], std::ios::binary);
        std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(kept, text);

        // Saving afterwards writes a fresh file and leaves the damaged one alone.
        SetValue(kProduct, u"Lesson", REG_DWORD, {3, 0, 0, 0});
        EXPECT_NE(config.ReadRegistryFile().find("\"Lesson\"=dword:00000003"), std::string::npos);
        EXPECT_TRUE(std::filesystem::exists(aside[0]));
    }
}

TEST(Registry, HugeValuesAreRefused) {
    TempConfig config;
    std::vector<BYTE> big(kMaxRegistryValueSize + 1, 0x41);
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kProduct, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, u"Big", 0, REG_BINARY, big.data(), (DWORD)big.size()), ERROR_INVALID_PARAMETER);
    RegCloseKey(key);

    std::string hostile = "[HKEY_CURRENT_USER\\Software]\n\"Big\"=hex:00";
    for (size_t i = 0; i < kMaxRegistryValueSize; i++) hostile += ",41";
    config.WriteRegistryFile(hostile + "\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(QueryValue(u"Software", u"Big").status, ERROR_FILE_NOT_FOUND);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("too large"), std::string::npos);

    config.WriteRegistryFile(std::string(kMaxRegistryFileSize + 1, ';'));
    testing::internal::CaptureStderr();
    EXPECT_EQ(QueryValue(u"Software", u"Big").status, ERROR_FILE_NOT_FOUND);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("too large"), std::string::npos);
}

// A settings path that cannot be read as a file (a folder stands there) gives the
// defaults, says why once, keeps what stood there aside and saves a fresh file.
TEST(Registry, AnUnreadableFileGivesDefaultsAndIsKeptAside) {
    TempConfig config;
    std::filesystem::create_directories(config.RegistryPath() + "/inside");
    ForgetRegistry();
    testing::internal::CaptureStderr();
    EXPECT_EQ(QueryValue(kProduct, u"Flags").status, ERROR_FILE_NOT_FOUND);
    std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
    EXPECT_NE(warning.find("Is a directory"), std::string::npos) << warning;
    SetValue(kProduct, u"Lesson", REG_DWORD, {3, 0, 0, 0});
    EXPECT_NE(config.ReadRegistryFile().find("\"Lesson\"=dword:00000003"), std::string::npos);
    int kept = 0;
    for (auto& e : std::filesystem::directory_iterator(config.dir + "/velun"))
        kept += e.path().filename().string().rfind("registry.txt.broken-", 0) == 0 &&
                std::filesystem::exists(e.path() / "inside");
    EXPECT_EQ(kept, 1);
}

// A save killed at any moment leaves either the old file or the new one, whole.
TEST(Registry, ASaveKilledAtAnyMomentLeavesOldOrNewFile) {
    TempConfig config;
    RegistryContents a, b;
    a.keys.push_back({u"HKEY_CURRENT_USER\\Software\\A", {}});
    b.keys.push_back({u"HKEY_CURRENT_USER\\Software\\B", {}});
    for (int i = 0; i < 2000; i++) {
        std::u16string name = u"Value" + Utf8ToUtf16(std::to_string(i));
        a.keys[0].values.push_back({name, REG_DWORD, {1, 0, 0, 0}});
        b.keys[0].values.push_back({name, REG_BINARY, {2, 2, 2, 2, 2, 2}});
    }
    std::string textA = FormatRegistry(a), textB = FormatRegistry(b);
    ASSERT_TRUE(WriteFileAtomically(config.RegistryPath(), textA));
    for (int round = 0; round < 20; round++) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; i++) WriteFileAtomically(config.RegistryPath(), i % 2 ? textA : textB);
        }
        usleep(1000 + round * 700);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        std::string now = config.ReadRegistryFile();
        ASSERT_TRUE(now == textA || now == textB) << "round " << round << ": " << now.size() << " bytes";
    }
}

TEST(Registry, SettingTheSameValueAgainLeavesTheFileAlone) {
    TempConfig config;
    SetValue(kProduct, u"Flags", REG_DWORD, DwordBytes(0x40));
    auto written = std::filesystem::last_write_time(config.RegistryPath());
    std::filesystem::last_write_time(config.RegistryPath(), written - std::chrono::hours(1));
    SetValue(kProduct, u"Flags", REG_DWORD, DwordBytes(0x40));
    EXPECT_EQ(std::filesystem::last_write_time(config.RegistryPath()), written - std::chrono::hours(1));
    SetValue(kProduct, u"Flags", REG_BINARY, DwordBytes(0x40));  // another type is a change
    EXPECT_GT(std::filesystem::last_write_time(config.RegistryPath()), written - std::chrono::hours(1));
    EXPECT_EQ(QueryValue(kProduct, u"Flags").type, (DWORD)REG_BINARY);
}

// The user's comments and blank lines survive saves where they stood: a value's line is
// replaced in place (its own comment kept), a new value goes at the end of its key's
// section, a new key at the end of the file, and a removed value's comments stay.
TEST(Registry, SavesKeepTheUsersCommentsInPlace) {
    TempConfig config;
    config.WriteRegistryFile(
        "; my settings\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\Velmora\\Tessaly-Velun]\n"
        "; the font I like\n"
        "\"FontName\"=\"Serif\"   ; not too small\n"
        "\"Flags\"=dword:40 # scroll bar only\n"
        "\"Bookmarks\"=hex:05,00 ,00,00\t; five\n"
        "# about the old value\n"
        "\"Old\"=hex:\n"
        "\n"
        "; the vendor's options\n"
        "[HKEY_CURRENT_USER\\Software\\Velmora]\n"
        "\"FullScreen\"=dword:1\n"
        "; the end\n");
    EXPECT_EQ(QueryValue(kProduct, u"FontName").data, Utf16Bytes(u"Serif"));
    EXPECT_EQ(QueryValue(kProduct, u"Bookmarks").data, (std::vector<BYTE>{5, 0, 0, 0}));

    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kProduct, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(key, u"Old"), ERROR_SUCCESS);
    RegCloseKey(key);
    SetValue(kProduct, u"Flags", REG_DWORD, DwordBytes(0xD1140040));
    SetValue(kProduct, u"Lesson", REG_DWORD, DwordBytes(7));
    SetValue(u"Software\\Other", u"New", REG_DWORD, DwordBytes(1));
    const std::string expected =
        "; my settings\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\Velmora\\Tessaly-Velun]\n"
        "; the font I like\n"
        "\"FontName\"=\"Serif\"   ; not too small\n"
        "\"Flags\"=dword:d1140040 # scroll bar only\n"
        "\"Bookmarks\"=hex:05,00,00,00\t; five\n"
        "\"Lesson\"=dword:00000007\n"
        "# about the old value\n"
        "\n"
        "; the vendor's options\n"
        "[HKEY_CURRENT_USER\\Software\\Velmora]\n"
        "\"FullScreen\"=dword:00000001\n"
        "; the end\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\Other]\n"
        "\"New\"=dword:00000001\n";
    EXPECT_EQ(config.ReadRegistryFile(), expected);

    // Read again and saved again, the file stays as it is.
    ForgetRegistry();
    SetValue(kProduct, u"Lesson", REG_DWORD, DwordBytes(8));
    SetValue(kProduct, u"Lesson", REG_DWORD, DwordBytes(7));
    EXPECT_EQ(config.ReadRegistryFile(), expected);

    // Text after a value that is not a comment still marks the file as damaged.
    config.WriteRegistryFile("[HKEY_CURRENT_USER\\Software]\n\"Flags\"=dword:1 junk\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(QueryValue(u"Software", u"Flags").status, ERROR_FILE_NOT_FOUND);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("line 2: unexpected text"), std::string::npos);
}

// While any key is open, writes stay in memory; the last close replaces the file once.
TEST(Registry, WritesReachTheFileWhenTheLastOpenKeyCloses) {
    TempConfig config;
    SetValue(kProduct, u"Flags", REG_DWORD, DwordBytes(1));
    std::string before = config.ReadRegistryFile();
    HKEY held;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kProduct, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &held, nullptr),
              ERROR_SUCCESS);
    SetValue(kProduct, u"Flags", REG_DWORD, DwordBytes(2));
    SetValue(kProduct, u"Lesson", REG_DWORD, DwordBytes(3));
    EXPECT_EQ(RegSetValueExW(HKEY_CURRENT_USER, u"Root", 0, REG_DWORD, DwordBytes(4).data(), 4), ERROR_SUCCESS);
    EXPECT_EQ(config.ReadRegistryFile(), before);
    EXPECT_EQ(QueryValue(kProduct, u"Lesson").data, DwordBytes(3));
    RegCloseKey(held);
    std::string after = config.ReadRegistryFile();
    EXPECT_NE(after.find("\"Flags\"=dword:00000002"), std::string::npos) << after;
    EXPECT_NE(after.find("\"Lesson\"=dword:00000003"), std::string::npos) << after;
    EXPECT_NE(after.find("\"Root\"=dword:00000004"), std::string::npos) << after;
}

// Temporary files that killed writers left are removed at the next save; one of a
// process still running is not.
TEST(Registry, ASaveRemovesTheTemporaryFilesOfDeadWriters) {
    TempConfig config;
    SetValue(kProduct, u"Flags", REG_DWORD, DwordBytes(1));
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    std::string dead = config.RegistryPath() + ".tmp-" + std::to_string(child);
    std::string live = config.RegistryPath() + ".tmp-" + std::to_string(getppid());
    std::string other = config.RegistryPath() + ".tmp-notes";
    for (const std::string& path : {dead, live, other}) std::ofstream(path) << "half a file";
    SetValue(kProduct, u"Flags", REG_DWORD, DwordBytes(2));
    EXPECT_FALSE(std::filesystem::exists(dead));
    EXPECT_TRUE(std::filesystem::exists(live));
    EXPECT_TRUE(std::filesystem::exists(other));
}
