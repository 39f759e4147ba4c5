// The simulator lookup against the real registry, as a Windows program (under
// Wine in CI). Each case writes the value the simulator's installer would have
// written and reads it back.
#ifdef _WIN32

#include "locate.h"
#include "sim_path.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// The simulator's own entry is never overwritten: where it exists the test is
// skipped (its handle is closed when the program ends). The simulator is
// 32-bit: its installer wrote to the 32-bit view.
TEST(Registry, TheAircraftFolderComesOnlyFromATerminatedStringValueWithRoomForIt) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS)
        GTEST_SKIP() << "the simulator's registry entry exists on this machine";
    char out[kAircraftPathCapacity];
    EXPECT_EQ(ReadAircraftFolderFromRegistry(out), kRegistryNotInstalled) << "no key";
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                    &key, nullptr);
    EXPECT_EQ(ReadAircraftFolderFromRegistry(out), kRegistryPathNotFound) << "a key without the value";

    SetEnvironmentVariableA("VANTOREL_TEST_ROOT", "D:\\Games");
    SetEnvironmentVariableA("VANTOREL_TEST_LONG", std::string(300, 'q').c_str());
    const std::string z(1, '\0'), p250(250, 'p');  // 250 + "\Aircraft" + terminator = 260
    // folder empty: "CFS path not found!"
    struct Case { const char* what; DWORD type; std::string stored, folder; };
    for (const Case& c : {
             // Windows terminates a value stored without one when the buffer has
             // room; one trailing backslash is dropped.
             Case{"unterminated, expanded", REG_EXPAND_SZ, "%VANTOREL_TEST_ROOT%\\CFS\\", "D:\\Games\\CFS\\Aircraft"},
             Case{"longest that fits", REG_SZ, p250 + z, p250 + "\\Aircraft"},
             Case{"no room for \\Aircraft", REG_SZ, p250 + "p" + z, ""},
             Case{"no terminator, filling the buffer", REG_SZ, std::string(kAircraftPathCapacity, 'p'), ""},
             Case{"expands too long", REG_EXPAND_SZ, "%VANTOREL_TEST_LONG%" + z, ""},
             Case{"empty", REG_SZ, z, ""},
             Case{"list of strings", REG_MULTI_SZ, "C:\\CFS" + z + z, ""},
         }) {
        SCOPED_TRACE(c.what);
        // Stored exactly, terminator or not.
        RegSetValueExA(key, kSimRegistryValue, 0, c.type, reinterpret_cast<const BYTE*>(c.stored.data()),
                       static_cast<DWORD>(c.stored.size()));
        char folder[kAircraftPathCapacity] = "stale";
        EXPECT_EQ(ReadAircraftFolderFromRegistry(folder), c.folder.empty() ? kRegistryPathNotFound : kRegistryOk);
        EXPECT_EQ(std::string(folder), c.folder);
    }
    // A character the ANSI code page lacks is refused, not best-fitted into
    // the name of another folder ("C:\Omega").
    const wchar_t omega[] = L"C:\\\u03A9mega";
    RegSetValueExW(key, L"path", 0, REG_SZ, reinterpret_cast<const BYTE*>(omega), sizeof omega);
    char folder[kAircraftPathCapacity];
    EXPECT_EQ(ReadAircraftFolderFromRegistry(folder), kRegistryPathNotFound) << folder;
    RegCloseKey(key);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, KEY_WOW64_32KEY, 0);
}

// vantorel-cli finds the simulator in the dialog's order: without the
// installer's entry, the folder the player picked in the dialog, and says so.
TEST(Registry, TheCommandLineUsesTheFolderThePlayerPickedInTheDialog) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS)
        GTEST_SKIP() << "the simulator's registry entry exists on this machine";
    const std::string before = ReadRememberedFolderFromRegistry();
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / "vantorel-picked";
    fs::create_directories(root / "Aircraft" / "Bf109e");
    ASSERT_TRUE(WriteRememberedFolderToRegistry(root.string().c_str()));
    SimLocation where;
    std::string error;
    EXPECT_TRUE(LocateSimulator(nullptr, nullptr, &where, &error)) << error;
    EXPECT_EQ(where.aircraftDir, (root / "Aircraft").string());
    EXPECT_EQ(where.how, "Windows registry, the folder picked with Find CFS... (HKCU\\Software\\Vantorel, value \"path\")");
    fs::remove_all(root);
    EXPECT_FALSE(LocateSimulator(nullptr, nullptr, &where, &error)) << "a picked folder that is gone";
    EXPECT_EQ(error.rfind("CFS not installed!", 0), 0u) << error;
    if (before.empty()) RegDeleteKeyA(HKEY_CURRENT_USER, kUserRegistryKey);
    else WriteRememberedFolderToRegistry(before.c_str());
}
#endif
