// Finding the Aircraft folder in a Wine prefix laid out as Wine lays it out.
#ifndef _WIN32
#include "cli/cli_support.h"
#include "wine_prefix.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const char kKey32[] = "Software\\Wow6432Node\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\1.00";
const char kKey[] = "Software\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\1.00";

std::string PathValue(const char* key, const std::string& data) {
    return WineKeyLine(key) + "\"Path\"=" + data + "\n";
}

struct Found {
    bool ok;
    std::string text;  // the folder, or the message
};

Found Locate(const std::string& prefix) {
    char out[256], error[1024];
    bool ok = FindAircraftFolderInWinePrefix(prefix.c_str(), out, sizeof out, error, sizeof error);
    return {ok, ok ? out : error};
}

TEST(WinePrefix, MapsTheInstallPathThroughDosdevices) {
    struct Case {
        const char* what;
        std::string registry;
        const char* folder;  // below the prefix
    } const cases[] = {
        {"64-bit prefix, escapes", WineRegistry("win64", PathValue(kKey32, "\"C:\\\\Games\\\\CFS \\\"1\\\" caf\\xe9\\\\\"")),
         "/dosdevices/c:/Games/CFS \"1\" caf\xc3\xa9/Aircraft"},
        {"32-bit view wins", WineRegistry("win64", PathValue(kKey, "\"C:\\\\Plain\"") + PathValue(kKey32, "\"C:\\\\Wow\"")),
         "/dosdevices/c:/Wow/Aircraft"},
        {"32-bit prefix, lower-case drive", WineRegistry("win32", PathValue(kKey, "\"c:\\\\CFS\"")),
         "/dosdevices/c:/CFS/Aircraft"},
        {"32-bit view without the value", WineRegistry("win64", WineKeyLine(kKey32) + PathValue(kKey, "\"C:\\\\CFS\"")),
         "/dosdevices/c:/CFS/Aircraft"},
        {"expanded", WineRegistry("win64", PathValue(kKey32, "str(2):\"%ProgramFiles%\\\\CFS\"")),
         "/dosdevices/c:/Program Files (x86)/CFS/Aircraft"},
        {"drive as a real folder", WineRegistry("win32", PathValue(kKey, "\"D:\\\\\"")), "/dosdevices/d:/Aircraft"},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        const std::string prefix = MakeWinePrefix(dir.path, c.registry);
        std::filesystem::create_directory(prefix + "/dosdevices/d:");
        Found found = Locate(prefix);
        EXPECT_TRUE(found.ok) << c.what << ": " << found.text;
        EXPECT_EQ(prefix + c.folder, found.text) << c.what;
    }
}

TEST(WinePrefix, ExplainsEachFailure) {
    struct Case {
        const char* what;
        std::string registry;  // empty: no system.reg
        std::string said[3];   // what the message must name
    } const cases[] = {
        {"no system.reg", "", {"CFS not installed!", "/pfx/system.reg", ""}},
        {"not a registry", "REGEDIT4\n", {"not a Wine registry file", "/pfx/system.reg", ""}},
        {"no key", WineRegistry("win64", WineKeyLine("Software\\Other")),
         {"CFS not installed!", kKey32, kKey}},
        {"no value", WineRegistry("win64", WineKeyLine(kKey32)), {"CFS path not found!", kKey32, "no value \"path\""}},
        {"not a string", WineRegistry("win32", PathValue(kKey, "dword:00000001")),
         {"CFS path not found!", kKey, "not a string"}},
        {"drive not mapped", WineRegistry("win32", PathValue(kKey, "\"E:\\\\CFS\"")),
         {"drive E: ", "E:\\CFS\\Aircraft", "/pfx/dosdevices/e:"}},
        {"network path", WineRegistry("win32", PathValue(kKey, "\"\\\\\\\\server\\\\cfs\"")),
         {"network path", "\\\\server\\cfs", "--aircraft-dir"}},
        {"no drive", WineRegistry("win32", PathValue(kKey, "\"CFS\"")), {"drive letter", "CFS\\Aircraft", ""}},
        {"drive-relative", WineRegistry("win32", PathValue(kKey, "\"C:CFS\"")), {"drive letter", "C:CFS", ""}},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        const std::string prefix = MakeWinePrefix(dir.path, c.registry);
        if (c.registry.empty()) std::filesystem::remove(prefix + "/system.reg");
        Found found = Locate(prefix);
        EXPECT_FALSE(found.ok) << c.what;
        for (const std::string& part : c.said)
            EXPECT_NE(std::string::npos, found.text.find(part)) << c.what << ": \"" << part << "\" not in: " << found.text;
    }
}

} // namespace
#endif
