// The system.reg reader: Wine's escapes, value types, key matching and the
// expansion of REG_EXPAND_SZ values.
#include "wine_registry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// As Wine writes it: key names with doubled backslashes, strings with C-like
// escapes and \x UTF-16 units.
const std::string kText = R"(WINE REGISTRY Version 2
#arch=win32

[Test\\Values] 1712345678
"plain"="C:\\CFS"
"accents"="caf\xe9 \x4e2d\x6587 \x00e9a \xd83d\xde80"
"controls"="\"a\tb\nc\r\033\0cd"

[Software\\Microsoft\\Windows\\CurrentVersion] 1712345678
"ProgramFilesDir"="E:\\Progs"

[System\\CurrentControlSet\\Control\\Session Manager\\Environment] 1712345678
"GAMES"=str(2):"%SystemDrive%\\Games"
"LOOP"=str(2):"%LOOP%x"
"LATER"=str(2):"%GAMES%+%PLAIN%"
"PLAIN"="p%GAMES%"
"SystemRoot"="D:\\Shadowed"
)";

TEST(WineRegistry, FindsStringValuesAsWineWritesThem) {
    struct Case { const char *key, *value; int result; const char* text; int cap = 256; } const cases[] = {
        {"tEST\\vALUES", "PLAIN", kWineRegOk, "C:\\CFS"},  // the registry ignores letter case
        {"Test\\Values", "accents", kWineRegOk, "caf\xc3\xa9 \xe4\xb8\xad\xe6\x96\x87 \xc3\xa9" "a \xf0\x9f\x9a\x80"},
        {"Test\\Values", "controls", kWineRegOk, "\"a\tb\nc\r\x1b"},  // a C program stops at the NUL
        {"Test", "plain", kWineRegNoKey, ""},  // key names match whole, neither shorter
        {"Test\\Values\\Sub", "plain", kWineRegNoKey, ""},  // nor longer
        {"Test\\Values", "plain", kWineRegTooLong, "", 6},  // "C:\CFS" and its terminator need seven bytes
        {"Test\\Values", "plain", kWineRegOk, "C:\\CFS", 7},
    };
    for (const Case& c : cases) {
        char out[256];
        bool expand;
        EXPECT_EQ(c.result, FindWineRegistryString(kText.data(), kText.size(), c.key, c.value, out, c.cap, &expand))
            << c.key << " / " << c.value;
        EXPECT_STREQ(c.text, out) << c.key << " / " << c.value;
    }
}

TEST(WineRegistry, ExpandsVariablesAsAThirtyTwoBitProgramSeesThem) {
    struct Case { const char* value; const char* expanded; std::size_t cap = 256; } const cases[] = {
        {"%programfiles%\\CFS", "E:\\Progs\\CFS"},  // the 32-bit prefix's value, any case
        {"%Games%\\CFS", "C:\\Games\\CFS"},         // environment key, itself expanded
        {"%NOPE%\\CFS", "%NOPE%\\CFS"},             // unknown: left as written
        {"%LOOP%", "%LOOP%x"},                      // a value expands against what precedes it
        {"%LATER%", "C:\\Games+p%GAMES%"},          // plain values come first and are not expanded
        {"%SystemRoot%", "C:\\windows"},            // the environment key does not override Wine's own
        {"%SystemRoot%", "", 8},                    // too long for the buffer: refused
        {"100%% %a %%%", "100%% %a %%%"},           // percent signs that name nothing
    };
    for (const Case& c : cases) {
        char out[256];
        EXPECT_STREQ(c.expanded, ExpandWineVariables(kText.data(), kText.size(), c.value, out, c.cap) ? out : "")
            << c.value;
    }
}

// Each variable is the one before used 240 times, down to an empty one:
// expanded again at every use, as the reader once did, this 4 KB file takes
// 240^4 lookups, hours. Expanded once, it takes a moment (the test's timeout
// catches a regression). A value may not grow past its cap either.
TEST(WineRegistry, ChainedVariablesCostTimeLinearInTheFile) {
    const auto uses = [](const std::string& name, int n) { std::string s; while (n--) s += "%" + name + "%"; return s; };
    std::string text = "WINE REGISTRY Version 2\n#arch=win32\n\n"
                       "[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment] 1\n"
                       "\"V0\"=\"\"\n\"BIG\"=str(2):\"" + uses("PUBLIC", 69) + "\"\n";
    for (int i = 1; i <= 3; ++i)
        text += "\"V" + std::to_string(i) + "\"=str(2):\"" + uses("V" + std::to_string(i - 1), 240) + "\"\n";
    ASSERT_LT(text.size(), 4096u);
    char out[2048];
    EXPECT_TRUE(ExpandWineVariables(text.data(), text.size(), uses("V3", 240).c_str(), out, sizeof out));
    EXPECT_STREQ("", out);
    EXPECT_FALSE(ExpandWineVariables(text.data(), text.size(), "%BIG%", out, sizeof out));  // 1035 bytes
}

} // namespace
