// The simulator lookup against the real registry: built and run only as a
// Windows program (under Wine in CI). Each case writes the value the
// simulator's installer would have written, reads it back through
// ReadAircraftFolderFromRegistry, and puts the key back as it found it.
#ifdef _WIN32
#include "win32/registry.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const REGSAM kView = KEY_WOW64_32KEY;

struct SavedKey {
    bool existed = false;
    bool hadValue = false;
    DWORD type = 0;
    std::vector<BYTE> data;
};

struct RegistryTest : ::testing::Test {
    SavedKey saved;

    void SetUp() override {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, 0, KEY_READ | kView, &key) != ERROR_SUCCESS) return;
        saved.existed = true;
        DWORD size = 0;
        if (RegQueryValueExA(key, kSimRegistryValue, nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
            saved.data.resize(size);
            saved.hadValue = RegQueryValueExA(key, kSimRegistryValue, nullptr, &saved.type, saved.data.data(),
                                              &size) == ERROR_SUCCESS;
        }
        RegCloseKey(key);
    }

    void TearDown() override {
        if (!saved.existed) {
            RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, kView, 0);
            return;
        }
        HKEY key = Open();
        if (saved.hadValue)
            RegSetValueExA(key, kSimRegistryValue, 0, saved.type, saved.data.data(), static_cast<DWORD>(saved.data.size()));
        else
            RegDeleteValueA(key, kSimRegistryValue);
        RegCloseKey(key);
    }

    static HKEY Open() {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }

    // Stores `bytes` as the value exactly, terminator or not.
    static void Store(DWORD type, const std::string& bytes) {
        HKEY key = Open();
        RegSetValueExA(key, kSimRegistryValue, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    }

    static std::string Terminated(const std::string& s) { return s + '\0'; }
};

TEST_F(RegistryTest, UsableStringValuesGiveTheAircraftFolder) {
    SetEnvironmentVariableA("VANTOREL_TEST_ROOT", "D:\\Games");
    struct Case {
        DWORD type;
        std::string stored;
        const char* folder;
    };
    const std::string longest(250, 'p');  // 250 + "\Aircraft" + terminator = 260
    for (const Case& c : {
             Case{REG_SZ, Terminated("C:\\Program Files\\Microsoft Games\\CFS"),
                  "C:\\Program Files\\Microsoft Games\\CFS\\Aircraft"},
             Case{REG_SZ, Terminated("C:\\CFS\\"), "C:\\CFS\\Aircraft"},  // one trailing backslash dropped
             Case{REG_EXPAND_SZ, Terminated("%VANTOREL_TEST_ROOT%\\CFS"), "D:\\Games\\CFS\\Aircraft"},
             // Stored without its terminator: Windows adds one when the buffer has room.
             Case{REG_SZ, "C:\\CFS", "C:\\CFS\\Aircraft"},
             Case{REG_SZ, Terminated(longest), nullptr},
         }) {
        std::string expected = c.folder ? c.folder : longest + "\\Aircraft";
        SCOPED_TRACE(expected);
        Store(c.type, c.stored);
        char out[kAircraftPathCapacity];
        EXPECT_EQ(ReadAircraftFolderFromRegistry(out), kRegistryOk);
        EXPECT_EQ(std::string(out), expected);
    }
}

TEST_F(RegistryTest, UnusableValuesReportPathNotFoundAndLeaveNoPath) {
    struct Case {
        const char* what;
        DWORD type;
        std::string stored;
    };
    for (const Case& c : {
             Case{"number", REG_DWORD, std::string("\x01\x00\x00\x00", 4)},
             Case{"binary", REG_BINARY, Terminated("C:\\CFS")},
             Case{"list of strings", REG_MULTI_SZ, Terminated(Terminated("C:\\CFS"))},
             Case{"no terminator, filling the buffer", REG_SZ, std::string(kAircraftPathCapacity, 'p')},
             Case{"empty", REG_SZ, Terminated("")},
             Case{"no room for \\Aircraft", REG_SZ, Terminated(std::string(251, 'p'))},
             Case{"longer than the buffer", REG_SZ, Terminated(std::string(300, 'p'))},
             Case{"expands too long", REG_EXPAND_SZ, Terminated("%VANTOREL_TEST_LONG%")},
         }) {
        SCOPED_TRACE(c.what);
        SetEnvironmentVariableA("VANTOREL_TEST_LONG", std::string(300, 'q').c_str());
        Store(c.type, c.stored);
        char out[kAircraftPathCapacity] = "stale";
        EXPECT_EQ(ReadAircraftFolderFromRegistry(out), kRegistryPathNotFound);
        EXPECT_STREQ(out, "");
    }
}

TEST_F(RegistryTest, AMissingValueOrKeyIsTold) {
    HKEY key = Open();
    RegDeleteValueA(key, kSimRegistryValue);
    RegCloseKey(key);
    char out[kAircraftPathCapacity];
    EXPECT_EQ(ReadAircraftFolderFromRegistry(out), kRegistryPathNotFound);

    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, kView, 0);
    EXPECT_EQ(ReadAircraftFolderFromRegistry(out), kRegistryNotInstalled);
}

}  // namespace
#endif
