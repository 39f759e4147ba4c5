// What the tests of finding the simulator share: scratch folders, variables
// set for one test, and Wine prefixes as Wine lays them out.
#pragma once
#ifndef _WIN32
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

struct Scratch {
    std::string path = [] { char t[] = "/tmp/vantorel-cli-XXXXXX"; return std::string(mkdtemp(t)); }();
    ~Scratch() { std::error_code ignored; fs::remove_all(path, ignored); }
};

// Sets the variables (null: unsets) for one test and puts them back after it.
struct Environment {
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    Environment(std::initializer_list<std::pair<const char*, const char*>> vars) {
        for (const auto& [name, value] : vars) {
            const char* old = std::getenv(name);
            saved.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
            value ? setenv(name, value, 1) : unsetenv(name);
        }
    }
    ~Environment() {
        for (const auto& [name, value] : saved) value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
};

inline const char kKey32[] = "Software\\Wow6432Node\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\1.00";
inline const char kKey[] = "Software\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\1.00";
inline const std::string kWin64 = "WINE REGISTRY Version 2\n#arch=win64\n";
inline const std::string kWin32 = "WINE REGISTRY Version 2\n#arch=win32\n";

// Key `key` as system.reg writes its name, with "Path" set to `data` as written there, or no value.
inline std::string Key(const char* key, const std::string& data = "") {
    return "\n[" + std::regex_replace(key, std::regex(R"(\\)"), R"(\$&)") + "] 1712345678\n" +
           (data.empty() ? "" : "\"Path\"=" + data + "\n");
}

// `prefix` with `registry` as system.reg (none when empty), dosdevices/c:
// linking to drive_c, and drive_c/<aircraft> when given.
inline std::string MakePrefix(const std::string& prefix, const std::string& registry, const std::string& aircraft = "") {
    fs::create_directories(prefix + "/drive_c/" + aircraft);
    fs::create_directory(prefix + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    if (!registry.empty()) std::ofstream(prefix + "/system.reg", std::ios::binary) << registry;
    return prefix;
}

// A prefix with the simulator at C:\CFS, its Aircraft folder there or not.
inline void MakeSimPrefix(const std::string& prefix, bool aircraft = true) {
    MakePrefix(prefix, kWin32 + Key(kKey, R"("C:\\CFS")"), aircraft ? "CFS/Aircraft" : "");
}
#endif
