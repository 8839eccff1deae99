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

struct TempConfig {
    std::string dir;

    TempConfig() {
        char pattern[] = "/tmp/velun-test-XXXXXX";
        dir = mkdtemp(pattern);
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
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
