// The headless export: its arguments, and that the file holds what Copy and Append
// put on the clipboard.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "content/Content.h"
#include "platform/Utf16.h"
#include "shell/AppState.h"
#include "shell/Export.h"
#include "HeadlessCall.h"
#include "cli/Headless.h"

namespace {

std::string Temp(const char* name) { return testing::TempDir() + name; }

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Copy (or Append) of the article on the clipboard, at the Hebrew base, read back
// as the file would hold it.
void CopyOnClipboard(int number, int append) {
    ResetAppState();
    gApp.Flags = kDefaultFlags;
    gApp.fontSettings.FontAsciiBase = 1488;
    BYTE* article = LoadContent(number, nullptr);
    ASSERT_NE(article, nullptr);
    ExportRange(WholeArticle(article), append);
    free(article);
}

std::string ClipboardAsFile(UINT format) {
    size_t size = 0;
    BYTE* copy = GetClipboardCopy(format, &size);
    std::string bytes = format == CF_UNICODETEXT ? Utf16ToUtf8((const WCHAR*)copy) : std::string((char*)copy, size);
    free(copy);
    return bytes;
}

TEST(HeadlessExport, BadArgumentsExitWithTwoAndWriteNothing) {
    std::string out = Temp("never.txt");
    EXPECT_EQ(Velun({"--export", "0", "--out", out}), 2);
    EXPECT_EQ(Velun({"--export", "188", "--out", out}), 2);
    EXPECT_EQ(Velun({"--export", "5", "--format", "odt", "--out", out}), 2);
    EXPECT_EQ(Velun({"--export", "5", "--format", "rtf", "--base", "224", "--out", out}), 2);  // Copy makes no RTF there
    EXPECT_EQ(Velun({"--export", "5", "--append-to"}), 2);
    EXPECT_EQ(Velun({"--export", "5", "--line-ends", "cr", "--out", out}), 2);
    EXPECT_EQ(Velun({"--export", "5"}), 2);
    EXPECT_EQ(fopen(out.c_str(), "rb"), nullptr);
    EXPECT_EQ(Velun({"--export", "5", "--append-to", Temp("missing.txt"), "--out", out}), 1);
    EXPECT_EQ(Velun({"--export", "5", "--out", "/nonexistent-folder/x.txt"}), 1);
}

TEST(HeadlessExport, WritesWhatCopyAndAppendPutOnTheClipboard) {
    std::string text = Temp("179.txt"), rtf = Temp("179.rtf");
    ASSERT_EQ(Velun({"--export", "179", "--base", "1488", "--out", text}), 0);
    ASSERT_EQ(Velun({"--export", "179", "--base", "1488", "--format", "rtf", "--out", rtf}), 0);
    CopyOnClipboard(179, 0);
    EXPECT_EQ(Read(text), ClipboardAsFile(CF_UNICODETEXT));
    EXPECT_EQ(Read(rtf), ClipboardAsFile(RegisterClipboardFormatW(TEXT("Rich Text Format"))));
    EXPECT_NE(Read(text).find("\xD7\x91\xD7\xA9\xD7\xA0\xD7\xAA 1475 "), std::string::npos);  // the year as written

    // Appending to the file in place, as Append extends the clipboard.
    ASSERT_EQ(Velun({"--export", "124", "--base", "1488", "--append-to", text, "--out", text}), 0);
    ASSERT_EQ(Velun({"--export", "124", "--base", "1488", "--format", "rtf", "--append-to", rtf, "--out", rtf}), 0);
    CopyOnClipboard(124, 1);
    EXPECT_EQ(Read(text), ClipboardAsFile(CF_UNICODETEXT));
    EXPECT_EQ(Read(rtf), ClipboardAsFile(RegisterClipboardFormatW(TEXT("Rich Text Format"))));
    remove(text.c_str());
    remove(rtf.c_str());
}

// As Append on the clipboard, the earlier text ends at its first NUL: what follows it
// is dropped and the article comes after what precedes it, in both formats.
TEST(HeadlessExport, AppendsAfterTheTextBeforeTheFilesFirstNul) {
    std::string plain = Temp("plain.txt"), withNul = Temp("nul.txt");
    for (const char* format : {"text", "rtf"}) {
        std::ofstream(plain, std::ios::binary) << "Notes so far";
        std::ofstream(withNul, std::ios::binary) << std::string("Notes so far\0left behind", 24);
        ASSERT_EQ(Velun({"--export", "12", "--base", "1488", "--format", format, "--append-to", plain, "--out", plain}), 0);
        ASSERT_EQ(Velun({"--export", "12", "--base", "1488", "--format", format, "--append-to", withNul, "--out", withNul}), 0);
        EXPECT_EQ(Read(withNul), Read(plain)) << format;
        EXPECT_EQ(Read(withNul).find("left behind"), std::string::npos) << format;
        EXPECT_GT(Read(withNul).size(), 100u) << format;
    }
    remove(plain.c_str());
    remove(withNul.c_str());
}

// Scripts get the clipboard's CR LF unless they ask for the desktop's LF.
TEST(HeadlessExport, LineEndsAreCrLfUnlessLfIsAskedFor) {
    std::string crlf = Temp("4-crlf.txt"), lf = Temp("4-lf.txt");
    ASSERT_EQ(Velun({"--export", "4", "--out", crlf}), 0);
    ASSERT_EQ(Velun({"--export", "4", "--line-ends", "lf", "--out", lf}), 0);
    std::string expected = Read(crlf);
    EXPECT_NE(expected.find("\r\n"), std::string::npos);
    for (size_t at; (at = expected.find("\r\n")) != std::string::npos;) expected.erase(at, 1);
    EXPECT_EQ(Read(lf), expected);
    remove(crlf.c_str());
    remove(lf.c_str());
}

}  // namespace
