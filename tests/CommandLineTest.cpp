// The command line of the real program: arguments the reader does not take, a start
// without a display, and what it finds in an environment missing HOME or
// XDG_RUNTIME_DIR; the headless faces' base and margin.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QImage>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ReaderProcess.h"
#include "cli/Environment.h"

namespace {

struct ProgramRun {
    int status = -1;
    std::string errors;
    double seconds = 0;
};

// The program with these arguments and exactly this environment (PATH kept).
ProgramRun RunProgram(std::vector<std::string> arguments, std::vector<std::string> env) {
    ReaderFolder scratch;
    if (const char* path = getenv("PATH")) env.push_back(std::string("PATH=") + path);
    arguments.insert(arguments.begin(), VELUN_READER);
    std::vector<char*> argv, envp;
    for (std::string& a : arguments) argv.push_back(a.data());
    for (std::string& e : env) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    std::string errorsPath = scratch.dir + "/errors";
    int err = open(errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        dup2(err, 2);
        execve(VELUN_READER, argv.data(), envp.data());
        _exit(127);
    }
    close(err);
    ProgramRun run;
    int status = 0;
    for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; waited++) {
        if (waited > 3000) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return run;
        }
        usleep(5000);
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.errors = ReadWholeFile(errorsPath);
    return run;
}

}  // namespace

TEST(CommandLine, AnArgumentTheReaderDoesNotTakeIsNamedWithStatusTwo) {
    ReaderFolder folder;
    std::vector<std::string> env = {"HOME=" + folder.dir, "XDG_CONFIG_HOME=" + folder.dir + "/config",
                                    "XDG_RUNTIME_DIR=" + folder.dir + "/runtime", "QT_QPA_PLATFORM=offscreen"};
    const struct {
        std::vector<std::string> arguments;
        const char* line;
    } kCases[] = {
        {{"--frobnicate"}, "velun: unknown option '--frobnicate' (velun --help lists the options)\n"},
        {{"-v"}, "velun: unknown option '-v' (velun --help lists the options)\n"},
        {{"--render=5"}, "velun: unknown option '--render=5' (velun --help lists the options)\n"},
        {{"foo.txt"}, "velun: unexpected argument 'foo.txt' (velun --help lists the options)\n"},
        {{"/today", "foo.txt"}, "velun: unexpected argument 'foo.txt' (velun --help lists the options)\n"},
        {{"--size", "10x10"}, "velun: --size needs --render, --render-index, --export, --export-notes or --search-all\n"},
    };
    for (const auto& c : kCases) {
        ProgramRun run = RunProgram(c.arguments, env);
        EXPECT_EQ(run.status, 2) << c.arguments[0];
        EXPECT_EQ(run.errors, c.line);
    }
    EXPECT_FALSE(std::filesystem::exists(folder.SettingsPath())) << "no reader started";
}

TEST(CommandLine, WithoutADisplayTheReaderSaysSoAtOnceAndHoldsNoLock) {
    ReaderFolder folder;
    std::vector<std::string> env = {"HOME=" + folder.dir, "XDG_CONFIG_HOME=" + folder.dir + "/config",
                                    "XDG_RUNTIME_DIR=" + folder.dir + "/runtime"};
    for (const char* argument : {"", "/Today"}) {
        ProgramRun run = RunProgram(*argument ? std::vector<std::string>{argument} : std::vector<std::string>{}, env);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.errors, kNoDisplayText);
        EXPECT_LT(run.seconds, 2.0);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.dir + "/runtime"));
    // The headless faces need none.
    std::string png = folder.dir + "/a.png";
    ProgramRun render = RunProgram({"--render", "3", "--out", png}, env);
    EXPECT_EQ(render.status, 0) << render.errors;
    EXPECT_TRUE(std::filesystem::exists(png));
}

TEST(CommandLine, WithoutHomeOrRuntimeFolderTheAccountsOwnAreUsedQuietly) {
    std::string home = getenv("HOME") ? getenv("HOME") : "", runtime = getenv("XDG_RUNTIME_DIR") ? getenv("XDG_RUNTIME_DIR") : "";
    unsetenv("HOME");
    unsetenv("XDG_RUNTIME_DIR");
    CompleteEnvironment();
    ASSERT_NE(getenv("HOME"), nullptr);
    EXPECT_STREQ(getenv("HOME"), getpwuid(geteuid())->pw_dir);
    ASSERT_NE(getenv("XDG_RUNTIME_DIR"), nullptr);
    struct stat st;
    ASSERT_EQ(stat(getenv("XDG_RUNTIME_DIR"), &st), 0);
    EXPECT_EQ(st.st_uid, geteuid());
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    for (auto [name, value] : {std::pair{"HOME", &home}, {"XDG_RUNTIME_DIR", &runtime}}) {
        if (value->empty()) unsetenv(name);
        else setenv(name, value->c_str(), 1);
    }

    ReaderFolder folder;
    std::string png = folder.dir + "/a.png";
    ProgramRun run = RunProgram({"--render", "3", "--out", png},
                         {"XDG_CONFIG_HOME=" + folder.dir + "/config", "QT_QPA_PLATFORM=offscreen"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "") << "no warning";
}

// Without --base the headless faces take the stored base, as the window would; the
// picture keeps the window's margin around the article.
TEST(CommandLine, TheHeadlessFacesUseTheWindowsBaseAndMargin) {
    ReaderFolder folder;
    folder.WriteSettings("[HKEY_CURRENT_USER\\Software\\Velmora\\Tessaly-Velun]\n\"FontAsciiBase\"=dword:000005d0\n");
    std::vector<std::string> env = {"HOME=" + folder.dir, "XDG_CONFIG_HOME=" + folder.dir + "/config",
                                    "QT_QPA_PLATFORM=offscreen"};
    std::string text = folder.dir + "/179.txt", png = folder.dir + "/1.png";
    ASSERT_EQ(RunProgram({"--export", "179", "--out", text}, env).status, 0);
    EXPECT_NE(ReadWholeFile(text).find("\xD7\x91\xD7\xA9\xD7\xA0\xD7\xAA"), std::string::npos) << "Hebrew letters";
    ASSERT_EQ(RunProgram({"--render", "1", "--size", "400x300", "--out", png}, env).status, 0);
    QImage picture(QString::fromStdString(png));
    ASSERT_FALSE(picture.isNull());
    const int margin = 10;  // a fortieth of 400 (at least 8)
    QRgb page = picture.pixel(0, 0);
    bool plain = true, written = false;
    for (int y = 0; y < picture.height(); y++) {
        for (int x = 0; x < picture.width(); x++) {
            bool inMargin = x < margin || y < margin || x >= picture.width() - margin || y >= picture.height() - margin;
            if (picture.pixel(x, y) == page) continue;
            if (inMargin) plain = false;
            else written = true;
        }
    }
    EXPECT_TRUE(plain) << "nothing drawn in the margin";
    EXPECT_TRUE(written);
}
