// What the tests of finding the simulator share: Wine prefixes as Wine lays
// them out.
#pragma once
#ifndef _WIN32
#include "support/support.h"

#include <regex>

namespace fs = std::filesystem;

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
    if (!registry.empty()) WriteBytes(prefix + "/system.reg", registry);
    return prefix;
}

// A prefix with the simulator at C:\CFS, its Aircraft folder there or not.
inline void MakeSimPrefix(const std::string& prefix, bool aircraft = true) {
    MakePrefix(prefix, kWin32 + Key(kKey, R"("C:\\CFS")"), aircraft ? "CFS/Aircraft" : "");
}
#endif
