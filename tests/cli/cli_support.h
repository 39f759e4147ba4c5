// What the Linux-side CLI tests share: scratch folders, variables set for one
// test, Wine prefixes as Wine lays them out, and vantorel-cli run as a process.
#pragma once
#ifndef _WIN32
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
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

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline int Count(const std::string& text, const std::string& pattern) {
    const std::regex re(pattern);
    return static_cast<int>(std::distance(std::sregex_iterator(text.begin(), text.end(), re), {}));
}

struct CliRun { int status; std::string out, err; };

// Runs "$VANTOREL_CLI <args>" (shell text) with $WINEPREFIX unset and $HOME
// pointing nowhere. `setup` comes just before the program: variables for it
// or commands ending in ';'. Output goes through pipes, so a file size limit
// set in `setup` does not stop the program's messages.
inline CliRun RunCli(const std::string& args, const std::string& setup = "") {
    Scratch capture;
    const std::string command = "cd '" + capture.path + "' && unset WINEPREFIX; export HOME=/nonexistent-home; { { (" +
                                setup + " \"$VANTOREL_CLI\" " + args +
                                "); echo $? >status; } 2>&1 1>&3 | cat >err; } 3>&1 | cat >out";
    if (std::system(command.c_str()) != 0) return {-1, "", ""};
    return {std::atoi(ReadText(capture.path + "/status").c_str()), ReadText(capture.path + "/out"),
            ReadText(capture.path + "/err")};
}
#endif
