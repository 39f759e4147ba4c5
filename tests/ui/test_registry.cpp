// The simulator lookup against the real registry, as a Windows program (under
// Wine in CI). Each case writes the value the simulator's installer would have
// written and reads it back; the key is put back as it was found.
#ifdef _WIN32
#include "win32/registry.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The simulator is 32-bit: its installer wrote to the 32-bit view.
HKEY CreateSimKey() {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                    &key, nullptr);
    return key;
}

// Stores `bytes` as the value exactly, terminator or not.
void Store(DWORD type, const std::string& bytes) {
    HKEY key = CreateSimKey();
    RegSetValueExA(key, kSimRegistryValue, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

struct RegistryTest : ::testing::Test {
    bool existed = false, hadValue = false;
    DWORD type = 0, size = 0;
    std::vector<BYTE> data;

    void SetUp() override {
        HKEY key;
        existed = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) ==
                  ERROR_SUCCESS;
        if (!existed) return;
        if (RegQueryValueExA(key, kSimRegistryValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            data.resize(size);
            hadValue = RegQueryValueExA(key, kSimRegistryValue, nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
        }
        RegCloseKey(key);
    }
    void TearDown() override {
        if (!existed) {
            RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, KEY_WOW64_32KEY, 0);
            return;
        }
        HKEY key = CreateSimKey();
        if (hadValue)
            RegSetValueExA(key, kSimRegistryValue, 0, type, data.data(), size);
        else
            RegDeleteValueA(key, kSimRegistryValue);
        RegCloseKey(key);
    }
};

TEST_F(RegistryTest, OnlyATerminatedStringValueWithRoomForAircraftGivesTheFolder) {
    SetEnvironmentVariableA("VANTOREL_TEST_ROOT", "D:\\Games");
    SetEnvironmentVariableA("VANTOREL_TEST_LONG", std::string(300, 'q').c_str());
    const std::string z(1, '\0'), p250(250, 'p');  // 250 + "\Aircraft" + terminator = 260
    struct Case {
        const char* what;
        DWORD type;
        std::string stored;
        std::string folder;  // empty: "CFS path not found!"
    };
    for (const Case& c : {
             Case{"string", REG_SZ, "C:\\Program Files\\CFS" + z, "C:\\Program Files\\CFS\\Aircraft"},
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
             Case{"number", REG_DWORD, std::string("\x01\0\0\0", 4), ""},
             Case{"binary", REG_BINARY, "C:\\CFS" + z, ""},
             Case{"list of strings", REG_MULTI_SZ, "C:\\CFS" + z + z, ""},
         }) {
        SCOPED_TRACE(c.what);
        Store(c.type, c.stored);
        char out[kAircraftPathCapacity] = "stale";
        EXPECT_EQ(ReadAircraftFolderFromRegistry(out), c.folder.empty() ? kRegistryPathNotFound : kRegistryOk);
        EXPECT_EQ(std::string(out), c.folder);
    }
}

TEST_F(RegistryTest, AMissingValueIsPathNotFoundAndAMissingKeyNotInstalled) {
    HKEY key = CreateSimKey();
    RegDeleteValueA(key, kSimRegistryValue);
    RegCloseKey(key);
    char out[kAircraftPathCapacity];
    EXPECT_EQ(ReadAircraftFolderFromRegistry(out), kRegistryPathNotFound);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, KEY_WOW64_32KEY, 0);
    EXPECT_EQ(ReadAircraftFolderFromRegistry(out), kRegistryNotInstalled);
}

}  // namespace
#endif
