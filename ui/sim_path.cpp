#include "sim_path.h"

#include <cstdlib>
#include <cstring>

const char kSimRegistryKey[] = "Software\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\1.00";
const char kSimRegistryValue[] = "path";

bool MakeAircraftPath(const char* installPath, char* out) {
    static const char kTail[] = "\\Aircraft";
    std::size_t len = std::strlen(installPath);
    if (len > 0 && installPath[len - 1] == '\\') --len;
    out[0] = '\0';
    if (len + sizeof kTail > static_cast<std::size_t>(kAircraftPathCapacity)) return false;
    std::memcpy(out, installPath, len);
    std::memcpy(out + len, kTail, sizeof kTail);
    return true;
}

std::string VirtualStorePath(const char* path) {
    const char* local = std::getenv("LOCALAPPDATA");
    const bool drive = ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' && path[2] == '\\';
    if (!local || !*local || !drive) return "";
    std::string store = local;
    if (store.back() != '\\') store += '\\';
    return store + "VirtualStore" + (path + 2);
}
