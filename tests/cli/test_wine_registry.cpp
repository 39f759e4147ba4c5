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
    struct Case { const char* value; const char* expanded; } const cases[] = {
        {"%programfiles%\\CFS", "E:\\Progs\\CFS"},  // the 32-bit prefix's value, any case
        {"%Games%\\CFS", "C:\\Games\\CFS"},         // environment key, itself expanded
        {"%NOPE%\\CFS", "%NOPE%\\CFS"},             // unknown: left as written
    };
    char out[256], tiny[8];
    for (const Case& c : cases)
        EXPECT_STREQ(c.expanded, ExpandWineVariables(kText.data(), kText.size(), c.value, out, sizeof out) ? out : "")
            << c.value;
    EXPECT_TRUE(ExpandWineVariables(kText.data(), kText.size(), "%LOOP%", out, sizeof out));  // ends, however deep
    EXPECT_FALSE(ExpandWineVariables(kText.data(), kText.size(), "%SystemRoot%", tiny, sizeof tiny));
}

} // namespace
