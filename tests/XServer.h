// A private X server (Xvfb) for the tests that need a real display, and a helper
// program on it that is driven by lines on its stdin.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

// Starts a program with the given environment additions; stdin and stdout are pipes.
class ChildProcess {
  public:
    ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env = {}) {
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return;
        std::vector<std::string> strings = argv;
        std::vector<char*> args;
        for (std::string& a : strings) args.push_back(a.data());
        args.push_back(nullptr);
        std::vector<std::string> environment = env;
        for (char** e = environ; *e; e++) environment.push_back(*e);  // the first of a name wins
        std::vector<char*> envp;
        for (std::string& e : environment) envp.push_back(e.data());
        envp.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            execvpe(args[0], args.data(), envp.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        in_ = in[1];
        out_ = out[0];
    }
    ~ChildProcess() {
        if (in_ >= 0) close(in_);
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) close(out_);
    }
    bool Started() const { return pid_ > 0; }
    void Send(const std::string& line) {
        std::string text = line + "\n";
        if (write(in_, text.data(), text.size()) < 0) perror("write");
    }
    // The next line of output, or "" when none comes within the time.
    std::string ReadLine(int timeoutMs = 15000) {
        std::string line;
        char c;
        while (true) {
            pollfd ready{out_, POLLIN, 0};
            if (poll(&ready, 1, timeoutMs) <= 0 || read(out_, &c, 1) != 1 || c == '\n') return line;
            line += c;
        }
    }
    int Stdout() const { return out_; }

  private:
    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
};

// Xvfb on the first free display number; Display() is "" when it could not start.
class XServer {
  public:
    XServer() : server_({"Xvfb", "-displayfd", "1", "-screen", "0", "640x480x24", "-nolisten", "tcp"}) {
        std::string number = server_.ReadLine();
        if (!number.empty()) display_ = ":" + number;
    }
    const std::string& Display() const { return display_; }

  private:
    ChildProcess server_;
    std::string display_;
};

// What a command prints on stdout, run on the display.
inline std::string OutputOn(const std::string& display, const std::string& command) {
    std::string output;
    FILE* pipe = popen(("DISPLAY=" + display + " " + command).c_str(), "r");
    if (!pipe) return output;
    char chunk[4096];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, n);
    pclose(pipe);
    return output;
}
