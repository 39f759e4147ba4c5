// libFuzzer target for the Wine registry reader and the Windows path
// resolution behind it: the input is a system.reg as a player's prefix, or
// anyone who can write to it, might hold. Besides the sanitizers' findings
// (an expansion past its buffer among them) it stops on broken promises: a resolved path
// that climbs out of its drive or keeps a component Windows would drop.
#include "wine_prefix.h"
#include "wine_registry.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

namespace {

const char* const kKeys[] = {
    "Software\\Wow6432Node\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\1.00",
    "Software\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\1.00",
    "System\\CurrentControlSet\\Control\\Session Manager\\Environment",
};

void Check(bool ok) {
    if (!ok) std::abort();
}

// A resolved path names a drive and components Windows would keep: none
// empty, ".", "..", ending in a dot or space, or holding a backslash.
void CheckResolved(const char* winPath) {
    char drive = 0;
    std::string relative;
    if (ResolveWindowsPath(winPath, &drive, &relative) != kWinPathOk) return;
    Check(drive >= 'A' && drive <= 'Z');
    std::istringstream parts(relative);
    for (std::string part; !relative.empty() && std::getline(parts, part, '/');)
        Check(!part.empty() && part.back() != '.' && part.back() != ' ' &&
              part.find('\\') == std::string::npos);
    Check(relative.empty() || relative.back() != '/');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    IsWineRegistryText(text, size);
    IsWin64Registry(text, size);

    char value[512], expanded[300];
    for (const char* key : kKeys) {
        for (const char* name : {"path", "", "X"}) {
            bool expand = false;
            const int result = FindWineRegistryString(text, size, key, name, value, sizeof value, &expand);
            Check(result >= kWineRegOk && result <= kWineRegTooLong && std::strlen(value) < sizeof value);
            if (result != kWineRegOk) continue;
            CheckResolved(value);
            if (ExpandWineVariables(text, size, value, expanded, sizeof expanded)) CheckResolved(expanded);
        }
    }
    // The input's first line as a value and as a path, against the rest.
    const std::string first(text, std::find(text, text + size, '\n'));
    if (ExpandWineVariables(text, size, first.c_str(), expanded, sizeof expanded)) CheckResolved(expanded);
    CheckResolved(first.c_str());
    return 0;
}
