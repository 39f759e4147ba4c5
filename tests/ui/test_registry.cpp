// The simulator lookup against the real registry, as a Windows program (under
// Wine in CI). Each case writes the value the simulator's installer would have
// written and reads it back.
#ifdef _WIN32
#include "win32/registry.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The simulator is 32-bit: its installer wrote to the 32-bit view.
HKEY CreateSimKey() {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                    &key, nullptr);
    return key;
}

// The simulator's own entry is never overwritten: where it exists the tests
// are skipped.
struct RegistryTest : ::testing::Test {
    void SetUp() override {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
            return;
        RegCloseKey(key);
        GTEST_SKIP() << "the simulator's registry entry exists on this machine";
    }
    void TearDown() override {
        if (!IsSkipped()) RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, KEY_WOW64_32KEY, 0);
    }
};

TEST_F(RegistryTest, TheAircraftFolderComesOnlyFromATerminatedStringValueWithRoomForIt) {
    char out[kAircraftPathCapacity];
    EXPECT_EQ(ReadAircraftFolderFromRegistry(out), kRegistryNotInstalled) << "no key";
    RegCloseKey(CreateSimKey());
    EXPECT_EQ(ReadAircraftFolderFromRegistry(out), kRegistryPathNotFound) << "a key without the value";

    SetEnvironmentVariableA("VANTOREL_TEST_ROOT", "D:\\Games");
    SetEnvironmentVariableA("VANTOREL_TEST_LONG", std::string(300, 'q').c_str());
    const std::string z(1, '\0'), p250(250, 'p');  // 250 + "\Aircraft" + terminator = 260
    // folder empty: "CFS path not found!"
    struct Case { const char* what; DWORD type; std::string stored, folder; };
    for (const Case& c : {
             Case{"one trailing backslash dropped", REG_SZ, "C:\\CFS\\" + z, "C:\\CFS\\Aircraft"},
             Case{"expanded", REG_EXPAND_SZ, "%VANTOREL_TEST_ROOT%\\CFS" + z, "D:\\Games\\CFS\\Aircraft"},
             // Windows terminates a value stored without one when the buffer has room.
             Case{"no terminator, room for one", REG_SZ, "C:\\CFS", "C:\\CFS\\Aircraft"},
             Case{"longest that fits", REG_SZ, p250 + z, p250 + "\\Aircraft"},
             Case{"no room for \\Aircraft", REG_SZ, p250 + "p" + z, ""},
             Case{"no terminator, filling the buffer", REG_SZ, std::string(kAircraftPathCapacity, 'p'), ""},
             Case{"longer than the buffer", REG_SZ, std::string(300, 'p') + z, ""},
             Case{"expands too long", REG_EXPAND_SZ, "%VANTOREL_TEST_LONG%" + z, ""},
             Case{"empty", REG_SZ, z, ""},
             Case{"binary", REG_BINARY, "C:\\CFS" + z, ""},
             Case{"list of strings", REG_MULTI_SZ, "C:\\CFS" + z + z, ""},
         }) {
        SCOPED_TRACE(c.what);
        // Stored exactly, terminator or not.
        HKEY key = CreateSimKey();
        RegSetValueExA(key, kSimRegistryValue, 0, c.type, reinterpret_cast<const BYTE*>(c.stored.data()),
                       static_cast<DWORD>(c.stored.size()));
        RegCloseKey(key);
        char folder[kAircraftPathCapacity] = "stale";
        EXPECT_EQ(ReadAircraftFolderFromRegistry(folder), c.folder.empty() ? kRegistryPathNotFound : kRegistryOk);
        EXPECT_EQ(std::string(folder), c.folder);
    }
}

}  // namespace
#endif
