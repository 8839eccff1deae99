#include "EndSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

namespace {

int gPipe[2] = {-1, -1};
volatile sig_atomic_t gReceived = 0;

// Only async-signal-safe work here: a flag and one byte into the pipe.
void OnEndSignal(int) {
    int saved = errno;
    gReceived = 1;
    char byte = 1;
    [[maybe_unused]] ssize_t n = write(gPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

void CatchEndSignals() {
    if (gPipe[0] >= 0 || pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool EndSignalReceived() { return gReceived != 0; }

int EndSignalPipe() { return gPipe[0]; }
