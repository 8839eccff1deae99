#include "Environment.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

const char kNoDisplayText[] =
    "velun: cannot open a display (DISPLAY and WAYLAND_DISPLAY are unset); the headless options work without one\n";

namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// A folder that only this user can enter: made here, or made before by this user
// with nobody else let in.
bool PrivateFolder(const std::string& dir) {
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st;
    return lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & 0777) == 0700;
}

}  // namespace

void CompleteEnvironment() {
    if (!Set("HOME")) {
        if (const passwd* account = getpwuid(geteuid())) {
            if (account->pw_dir && account->pw_dir[0]) setenv("HOME", account->pw_dir, 1);
        }
    }
    if (!Set("XDG_RUNTIME_DIR")) {
        // The same folder for every start, so that a second start finds the first.
        const char* tmp = std::getenv("TMPDIR");
        std::string dir = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/velun-runtime-" +
                          std::to_string(geteuid());
        if (!PrivateFolder(dir)) {
            // Taken by someone else: a fresh one for this start alone.
            dir += "-XXXXXX";
            if (!mkdtemp(dir.data())) return;
        }
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
}

bool DisplayNamed() { return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM"); }
