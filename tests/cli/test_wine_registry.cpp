// The system.reg reader: Wine's escapes, value types, key matching and the
// expansion of REG_EXPAND_SZ values.
#include "cli/cli_support.h"
#include "wine_registry.h"

#include <gtest/gtest.h>

namespace {

const std::string kValues = WineKeyLine("Test\\Values") +
                            "\"plain\"=\"C:\\\\CFS\"\n"
                            "\"quoted\"=\"say \\\"hi\\\"\"\n"
                            "\"accents\"=\"caf\\xe9 \\x4e2d\\x6587 \\x00e9a \\xd83d\\xde80\"\n"
                            "\"controls\"=\"a\\tb\\nc\\r\\033\"\n"
                            "\"cut\"=\"ab\\0cd\"\n"
                            "\"number\"=dword:00000001\n"
                            "\"binary\"=hex:01,02,\\\n  03,04\n"
                            "\"typed\"=hex(2):25,00,00,00\n"
                            "\"several\"=str(7):\"a\\0b\\0\"\n"
                            "\"expand\"=str(2):\"%ProgramFiles%\\\\CFS\"\n"
                            "\"broken\"=\"no closing quote\n"
                            "@=\"default\"\n" +
                            WineKeyLine("Test\\Values\\Sub") + "\"plain\"=\"sub\"\n" + WineKeyLine("Test\\Empty");

struct Lookup {
    const char* key;
    const char* value;
    int result;
    const char* text;
};

const Lookup kLookups[] = {
    {"Test\\Values", "plain", kWineRegOk, "C:\\CFS"},
    {"tEST\\vALUES", "PLAIN", kWineRegOk, "C:\\CFS"},  // the registry ignores letter case
    {"Test\\Values\\Sub", "plain", kWineRegOk, "sub"},
    {"Test\\Values", "quoted", kWineRegOk, "say \"hi\""},
    {"Test\\Values", "accents", kWineRegOk, "caf\xc3\xa9 \xe4\xb8\xad\xe6\x96\x87 \xc3\xa9" "a \xf0\x9f\x9a\x80"},
    {"Test\\Values", "controls", kWineRegOk, "a\tb\nc\r\x1b"},
    {"Test\\Values", "cut", kWineRegOk, "ab"},  // a C program stops at the NUL
    {"Test\\Values", "", kWineRegOk, "default"},
    {"Test\\Values", "number", kWineRegNotString, ""},
    {"Test\\Values", "binary", kWineRegNotString, ""},
    {"Test\\Values", "typed", kWineRegNotString, ""},
    {"Test\\Values", "several", kWineRegNotString, ""},
    {"Test\\Values", "broken", kWineRegNotString, ""},
    {"Test\\Values", "missing", kWineRegNoValue, ""},
    {"Test\\Empty", "plain", kWineRegNoValue, ""},
    {"Test", "plain", kWineRegNoKey, ""},
    {"Test\\Values\\Sub\\Deeper", "plain", kWineRegNoKey, ""},
};

TEST(WineRegistry, FindsStringValuesAsWineWritesThem) {
    for (const std::string& lineEnd : {std::string("\n"), std::string("\r\n")}) {
        std::string text = WineRegistry("win64", kValues);
        for (std::size_t at = 0; lineEnd.size() == 2 && (at = text.find('\n', at)) != std::string::npos; at += 2)
            text.replace(at, 1, lineEnd);
        for (const Lookup& c : kLookups) {
            char out[256];
            bool expand = true;
            EXPECT_EQ(c.result, FindWineRegistryString(text.data(), text.size(), c.key, c.value, out, sizeof out, &expand))
                << c.key << " / " << c.value;
            EXPECT_STREQ(c.text, out) << c.key << " / " << c.value;
            EXPECT_FALSE(expand) << c.value << " is no REG_EXPAND_SZ";
        }
    }
}

TEST(WineRegistry, ReportsExpandableStringsAndShortBuffers) {
    const std::string text = WineRegistry("win64", kValues);
    char out[256];
    bool expand = false;
    ASSERT_EQ(kWineRegOk, FindWineRegistryString(text.data(), text.size(), "Test\\Values", "expand", out, sizeof out, &expand));
    EXPECT_STREQ("%ProgramFiles%\\CFS", out);
    EXPECT_TRUE(expand);
    char small[7];  // "C:\CFS" needs seven bytes with its terminator; one fewer must not overrun
    EXPECT_EQ(kWineRegTooLong, FindWineRegistryString(text.data(), text.size(), "Test\\Values", "plain", small, 6, &expand));
    EXPECT_EQ(kWineRegOk, FindWineRegistryString(text.data(), text.size(), "Test\\Values", "plain", small, 7, &expand));
}

TEST(WineRegistry, RecognisesTheFileAndItsArchitecture) {
    const std::string win64 = WineRegistry("win64", kValues), win32 = WineRegistry("win32", kValues);
    EXPECT_TRUE(IsWineRegistryText(win64.data(), win64.size()));
    EXPECT_FALSE(IsWineRegistryText("REGEDIT4\n", 9));
    EXPECT_TRUE(IsWin64Registry(win64.data(), win64.size()));
    EXPECT_FALSE(IsWin64Registry(win32.data(), win32.size()));
}

TEST(WineRegistry, ExpandsVariablesAsAThirtyTwoBitProgramSeesThem) {
    const std::string body = WineKeyLine("Software\\Microsoft\\Windows\\CurrentVersion") +
                             "\"ProgramFilesDir\"=\"E:\\\\Progs\"\n" +
                             WineKeyLine("System\\CurrentControlSet\\Control\\Session Manager\\Environment") +
                             "\"GAMES\"=str(2):\"%SystemDrive%\\\\Games\"\n"
                             "\"LOOP\"=str(2):\"%LOOP%x\"\n";
    struct Case {
        const char* arch;
        const char* value;
        const char* expanded;
    } const cases[] = {
        {"win64", "%ProgramFiles%\\CFS", "C:\\Program Files (x86)\\CFS"},  // Wine's default in a 64-bit prefix
        {"win32", "%programfiles%\\CFS", "E:\\Progs\\CFS"},                  // from the file, any case
        {"win32", "%SystemRoot%\\x", "C:\\windows\\x"},
        {"win32", "%Games%\\CFS", "C:\\Games\\CFS"},  // environment key, itself expanded
        {"win32", "%NOPE%\\CFS", "%NOPE%\\CFS"},      // unknown: left as written
        {"win32", "100% sure %", "100% sure %"},
        {"win32", "%%", "%%"},
    };
    for (const Case& c : cases) {
        const std::string text = WineRegistry(c.arch, body);
        char out[256];
        ASSERT_TRUE(ExpandWineVariables(text.data(), text.size(), c.value, out, sizeof out)) << c.value;
        EXPECT_STREQ(c.expanded, out) << c.value << " in " << c.arch;
    }
    const std::string text = WineRegistry("win32", body);
    char out[256], tiny[8];
    ASSERT_TRUE(ExpandWineVariables(text.data(), text.size(), "%LOOP%", out, sizeof out));  // ends, however deep
    EXPECT_NE(std::string::npos, std::string(out).find("%LOOP%"));
    EXPECT_FALSE(ExpandWineVariables(text.data(), text.size(), "%SystemRoot%", tiny, sizeof tiny));
}

} // namespace
