// The reader started on hostile settings files: garbage, NULs, huge values of each
// type, wrong types and every value at its extremes. Each run reaches its first paint
// (or the start-up message box) and ends normally, with no sanitizer report, and the user's file is kept: as the
// settings when it parses, set aside whole when it does not.
#include <gtest/gtest.h>

#include <random>

#include "ReaderProcess.h"

namespace {

const char kProductSection[] = "[HKEY_CURRENT_USER\\Software\\Velmora\\Tessaly-Velun]\n";
const char kVendorSection[] = "[HKEY_CURRENT_USER\\Software\\Velmora]\n";

std::string HexBytes(size_t count, int byte) {
    std::string out = "hex:";
    char b[4];
    std::snprintf(b, sizeof b, "%02x", byte & 0xFF);
    for (size_t i = 0; i < count; i++) out += (i ? "," : "") + std::string(b);
    return out;
}

std::vector<std::string> HostileFiles() {
    std::vector<std::string> files;
    const char* numbers[] = {"FontSize", "FontAsciiBase", "LastPosition", "Flags", "Lesson",
                             "Night",    "SearchHebrew",  "WindowPlacement", "ColumnWidth", "LineSpacing"};
    const std::string extremes[] = {"dword:7fffffff", "dword:80000000", "dword:ffffffff",
                                    "\"99999999999999999999\"", "hex:ff"};
    for (const char* name : numbers) {
        for (const std::string& value : extremes) files.push_back(kProductSection + ("\"" + std::string(name) + "\"=") + value + "\n");
    }
    std::string allMax = kProductSection, allMin = kProductSection;
    for (const char* name : numbers) {
        allMax += "\"" + std::string(name) + "\"=dword:7fffffff\n";
        allMin += "\"" + std::string(name) + "\"=dword:80000000\n";
    }
    files.push_back(allMax);
    // A placement of the right size whose numbers are all at the 32-bit extremes.
    files.push_back(kProductSection + std::string("\"WindowPlacement\"=") + HexBytes(20, 0x80) + "\n");
    files.push_back(allMin);
    const std::string product = kProductSection;
    files.push_back(product + "\"FontName\"=\"" + std::string(40000, 'W') + "\"\n");
    files.push_back(product + "\"FontName\"=hex(1):41,00,42\n");
    files.push_back(product + "\"FontName\"=hex(2):ff,ff,ff,ff\n\"Program Path\"=hex(7fffffff):00\n");
    files.push_back(product + "\"FontName\"=dword:ffffffff\n");
    files.push_back(product + "\"FontName\"=\"\\u0000\\ud800\"\n");
    files.push_back(product + "\"SearchString\"=" + HexBytes(5000, 0xFF) + "\n");
    files.push_back(product + "\"SearchString\"=dword:41414141\n");
    files.push_back(product + "\"SearchString\"=\"\"\n");
    files.push_back(product + "\"Bookmarks\"=" + HexBytes(60000, 0xFF) + "\n");
    files.push_back(product + "\"Bookmarks\"=hex:05,00,00,00,03,00,00,00\n");
    files.push_back(product + "\"Bookmarks\"=hex:bb,00,00\n");
    files.push_back(product + "\"Bookmarks\"=dword:00050003\n");
    files.push_back(product + "\"Bookmarks\"=\"abc\"\n");
    // Lists of article places: huge, cut off, naming no article, a place past the
    // current article's end, of the wrong types.
    files.push_back(product + "\"ArticlePlaces\"=" + HexBytes(60000, 0xFF) + "\n");
    files.push_back(product + "\"ArticlePlaces\"=hex:0c,80,1e\n");
    files.push_back(product + "\"ArticlePlaces\"=hex:00,80,01,00,bc,00,02,00\n");
    files.push_back(product + "\"ArticlePlaces\"=hex:8e,80,ff,ff\n\"Lesson\"=dword:0000008e\n");
    files.push_back(product + "\"ArticlePlaces\"=dword:ffffffff\n");
    files.push_back(product + "\"ArticlePlaces\"=\"abc\"\n");
    files.push_back(product + "\"ContentsOpened\"=" + HexBytes(60001, 0xBF) + "\n");
    files.push_back(product + "\"ContentsOpened\"=hex:77,88,fe,bf,fe,bf,05,40,00\n");
    files.push_back(product + "\"ContentsOpened\"=dword:ffffffff\n\"SidePanelTab\"=dword:80000000\n");
    files.push_back(product + "\"ContentsOpened\"=\"\\ud800\"\n\"SidePanel\"=dword:1\n");
    const std::string vendor = kVendorSection;
    files.push_back(vendor + "\"SurroundingGutter\"=dword:7fffffff\n");
    files.push_back(vendor + "\"SurroundingGutter\"=dword:80000000\n");
    files.push_back(vendor + "\"SurroundingGutter\"=\"-99999999999\"\n");
    files.push_back(vendor + "\"FullScreen\"=dword:ffffffff\n\"MenuBarOnBottom\"=hex:\n\"IgnoreActivate\"=\"x\"\n");
    // Not parseable at all: kept aside whole.
    files.push_back(std::string("\0\0\0\0", 4));
    files.push_back(product + "\"Flags\"=dword:1\0\n");
    files.push_back("\x7F" "ELF\x02\x01\x01" + std::string(300, '\x90'));
    std::mt19937 rng(11);
    for (int i = 0; i < 3; i++) {
        std::string garbage(2000, ' ');
        for (char& c : garbage) c = (char)rng();
        files.push_back(garbage);
    }
    return files;
}

}  // namespace

TEST(HostileSettings, EveryFileStartsAndEndsTheReaderAndIsKept) {
    const std::vector<std::string> files = HostileFiles();
    ASSERT_GE(files.size(), 50u);
    RunInParallel((int)files.size(), [&](int i) {
        const std::string& text = files[i];
        ReaderFolder folder;
        folder.WriteSettings(text);
        ReaderProcess reader(folder, true);
        // An article that does not exist holds the start-up in "Resource not found",
        // which a signal closes.
        if (!reader.WaitForLine("first-paint-ns", 3000)) reader.Signal(SIGTERM);
        int status = reader.Wait();
        std::string errors = reader.Errors();
        EXPECT_EQ(status, 0) << "file " << i << "\n" << errors.substr(0, 2000);
        EXPECT_EQ(errors.find("runtime error"), std::string::npos) << "file " << i << "\n" << errors.substr(0, 2000);
        EXPECT_EQ(errors.find("Sanitizer"), std::string::npos) << "file " << i << "\n" << errors.substr(0, 2000);

        RegistryContents before, after;
        std::string why;
        if (ParseRegistry(text, &before, &why)) {
            // Every value the user had is still there (the exit only rewrites its own).
            ASSERT_TRUE(ParseRegistry(folder.ReadSettings(), &after, &why)) << "file " << i << ": " << why;
            for (const RegistryKey& key : before.keys) {
                for (const RegistryValue& value : key.values) {
                    bool found = false;
                    for (const RegistryKey& k : after.keys) {
                        for (const RegistryValue& v : k.values)
                            found = found || (SameRegistryName(k.path, key.path) && SameRegistryName(v.name, value.name));
                    }
                    EXPECT_TRUE(found) << "file " << i;
                }
            }
        } else {
            bool kept = false;
            for (auto& e : std::filesystem::directory_iterator(folder.SettingsFolder())) {
                if (e.path().filename().string().rfind("registry.txt.broken-", 0) == 0)
                    kept = kept || ReadWholeFile(e.path()) == text;
            }
            EXPECT_TRUE(kept) << "file " << i << " was not set aside whole";
        }
    });
}
