// Real reader processes for the tests that signal, kill or feed them hostile
// settings: each in a private settings folder, on the offscreen platform, never
// left behind.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/RegistryStore.h"

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A folder of its own for one run: settings under velun/, the runtime folder beside.
struct ReaderFolder {
    std::string dir;
    ReaderFolder() {
        char pattern[] = "/tmp/velun-reader-XXXXXX";
        dir = mkdtemp(pattern);
        std::filesystem::create_directories(dir + "/config/velun");
        std::filesystem::create_directories(dir + "/runtime");
        std::filesystem::permissions(dir + "/runtime", std::filesystem::perms::owner_all);
    }
    ~ReaderFolder() { std::filesystem::remove_all(dir); }
    std::string SettingsFolder() const { return dir + "/config/velun"; }
    std::string SettingsPath() const { return SettingsFolder() + "/registry.txt"; }
    void WriteSettings(const std::string& text) const { std::ofstream(SettingsPath(), std::ios::binary) << text; }
    std::string ReadSettings() const { return ReadWholeFile(SettingsPath()); }
};

class ReaderProcess {
  public:
    // exitAfterPaint: the reader prints "first-paint-ns N" and then ends the normal way.
    // Entries of more ("NAME=value") replace or add to the environment.
    ReaderProcess(const ReaderFolder& folder, bool exitAfterPaint, const std::vector<std::string>& more = {}) {
        std::vector<std::string> env = {"XDG_CONFIG_HOME=" + folder.dir + "/config",
                                        "XDG_RUNTIME_DIR=" + folder.dir + "/runtime", "QT_QPA_PLATFORM=offscreen",
                                        "HOME=" + folder.dir};
        for (const std::string& entry : more) {
            std::string name = entry.substr(0, entry.find('=') + 1);
            std::erase_if(env, [&](const std::string& e) { return e.rfind(name, 0) == 0; });
            env.push_back(entry);
        }
        if (exitAfterPaint) env.push_back("VELUN_EXIT_AFTER_FIRST_PAINT=1");
        for (const char* keep : {"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
            if (const char* value = getenv(keep)) env.push_back(std::string(keep) + "=" + value);
        }
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string errors = folder.dir + "/stderr";
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) return;
        // Only async-signal-safe calls in the child: the test process has threads.
        int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        char* argv[] = {(char*)VELUN_READER, nullptr};
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            dup2(err, 2);
            execve(VELUN_READER, argv, envp.data());
            _exit(127);
        }
        close(out[1]);
        close(err);
        out_ = out[0];
        errorsPath_ = errors;
    }
    ~ReaderProcess() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) close(out_);
    }
    pid_t Pid() const { return pid_; }
    bool Started() const { return pid_ > 0; }

    // Reads the output until a line starting with prefix.
    bool WaitForLine(const std::string& prefix, int timeoutMs = 15000) {
        auto deadline = Now() + std::chrono::milliseconds(timeoutMs);
        std::string buffer;
        while (Now() < deadline) {
            size_t line;
            while ((line = buffer.find('\n')) != std::string::npos) {
                if (buffer.compare(0, prefix.size(), prefix) == 0) return true;
                buffer.erase(0, line + 1);
            }
            pollfd ready{out_, POLLIN, 0};
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Now()).count();
            if (poll(&ready, 1, (int)std::max<long long>(left, 0)) <= 0) return false;
            char chunk[256];
            ssize_t n = read(out_, chunk, sizeof chunk);
            if (n <= 0) return false;
            buffer.append(chunk, (size_t)n);
        }
        return false;
    }
    // Whether the process catches sig by now (its handlers are installed).
    bool Catches(int sig) const {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (sig - 1)) & 1;
        }
        return false;
    }
    bool WaitUntilCatching(int sig, int timeoutMs = 15000) {
        for (auto deadline = Now() + std::chrono::milliseconds(timeoutMs); Now() < deadline;) {
            if (Catches(sig)) return true;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return false;
    }
    void Signal(int sig) const { kill(pid_, sig); }
    // The exit status, -signal when a signal ended it, or -1000 after a timeout (then killed).
    int Wait(int timeoutMs = 15000) {
        for (auto deadline = Now() + std::chrono::milliseconds(timeoutMs);;) {
            int status;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
            }
            if (Now() >= deadline) return -1000;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    std::string Errors() const { return ReadWholeFile(errorsPath_); }

  private:
    static std::chrono::steady_clock::time_point Now() { return std::chrono::steady_clock::now(); }
    pid_t pid_ = -1;
    int out_ = -1;
    bool exited_ = false;
    std::string errorsPath_;
};

// Runs count jobs (0 .. count - 1) on a few threads: each job waits on its own process.
inline void RunInParallel(int count, const std::function<void(int)>& job, int threads = 4) {
    std::atomic<int> next{0};
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; t++) {
        pool.emplace_back([&] {
            for (int i; (i = next++) < count;) job(i);
        });
    }
    for (std::thread& t : pool) t.join();
}

inline bool SettingsParse(const std::string& text) {
    RegistryContents contents;
    std::string error;
    return ParseRegistry(text, &contents, &error);
}
