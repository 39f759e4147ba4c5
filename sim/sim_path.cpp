#include "sim_path.h"

#include "catalogue.h"
#include "platform.h"

#include <cctype>
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

// ---- Finding the simulator without its installer's entry ---------------------

const char kUserRegistryKey[] = "Software\\Vantorel";
const char kUserRegistryValue[] = "path";

bool HoldsStockAircraft(const char* folder) {
    std::string base = folder;
    base += kPathSep;
    for (int i = 0; i < GetAircraftCount(); ++i)
        if (PlatformFolderExists((base + GetAircraftName(i)).c_str())) return true;
    return false;
}

bool FindAircraftFolder(const char* chosen, char* out) {
    out[0] = '\0';
    if (chosen[0] == '\0') return false;
    std::string folder = chosen;
    // A drive root comes back from the picker as "D:\" ("D:" alone would be
    // the drive's current folder).
    std::string joined = folder.back() == kPathSep ? folder : folder + kPathSep;
    for (const std::string& candidate : {joined + "Aircraft", folder}) {
        if (candidate.size() >= static_cast<std::size_t>(kAircraftPathCapacity)) continue;
        if (!HoldsStockAircraft(candidate.c_str())) continue;
        std::memcpy(out, candidate.c_str(), candidate.size() + 1);
        return true;
    }
    return false;
}

int ChooseAircraftFolder(int installer, const std::string& remembered, char* folder, bool* fromRemembered) {
    if (fromRemembered) *fromRemembered = false;
    if (installer == kRegistryOk && HoldsStockAircraft(folder)) return kRegistryOk;
    char found[kAircraftPathCapacity];
    if (remembered.empty() || !FindAircraftFolder(remembered.c_str(), found)) return installer;
    std::memcpy(folder, found, sizeof found);
    if (fromRemembered) *fromRemembered = true;
    return kRegistryOk;
}

// ---- Showing a copy ---------------------------------------------------------

bool VirtualStorePath(const char* path, const char* localAppData, std::string* out) {
    bool drive = std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\';
    if (!drive || localAppData[0] == '\0') return false;
    *out = localAppData;
    if (out->back() != '\\') *out += '\\';
    *out += "VirtualStore";
    *out += path + 2;  // keeps the backslash after the drive
    return true;
}

std::string CopyLocation(const std::string& copyFolder, const std::string& localAppData) {
    if (PlatformFolderExists(copyFolder.c_str())) return copyFolder;
    std::string redirected;
    if (VirtualStorePath(copyFolder.c_str(), localAppData.c_str(), &redirected) &&
        PlatformFolderExists(redirected.c_str()))
        return redirected;
    return "";
}

std::string FolderToOpen(const std::string& copyFolder, const std::string& localAppData) {
    const std::string where = CopyLocation(copyFolder, localAppData);
    if (where.empty()) return "";
    std::string texture = where + kPathSep + "Texture";
    return PlatformFolderExists(texture.c_str()) ? texture : where;
}

std::string LocalAppData() {
    const char* local = std::getenv("LOCALAPPDATA");
    return local ? local : "";
}
