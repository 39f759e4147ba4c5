// What the game opens for one aircraft: Aircraft.cfg, each [fltsim.N]
// variation's flight model, the models Model.cfg names and the textures the
// models name, then the sound and panel configurations and their alias targets.
#include "game_loader.h"

#include <windows.h>

#include <cstring>
#include <set>

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

// Whether the game can open `path`; with `bytes`, reads it whole.
bool Opens(const std::string& path, std::string* bytes = nullptr) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    char buffer[65536];
    for (DWORD got = 0; bytes && ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0;) bytes->append(buffer, got);
    CloseHandle(h);
    return true;
}

// A value; with no section, the file's section names.
std::vector<std::string> Values(const std::string& file, const char* section, const char* key = nullptr) {
    std::vector<char> text(65536);
    const DWORD n = GetPrivateProfileStringA(section, key, "", text.data(), static_cast<DWORD>(text.size()), file.c_str());
    std::vector<std::string> values;
    for (const char* s = text.data(); s < text.data() + n && *s; s += std::strlen(s) + 1) values.emplace_back(s);
    return values;
}

std::string Value(const std::string& file, const std::string& section, const char* key) {
    const std::vector<std::string> v = Values(file, section.c_str(), key);
    return v.empty() ? "" : v[0];
}

// The names a model's bytes hold that end in ".bmp" and a zero byte (any
// letter case), running back to the nearest byte no file name holds.
std::vector<std::string> TexturesNamedIn(const std::string& bytes) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i + 5 <= bytes.size(); ++i) {
        if (bytes[i] != '.' || bytes[i + 4] != '\0' || Lower(bytes.substr(i + 1, 3)) != "bmp") continue;
        std::size_t start = i;
        while (start > 0 && bytes[start - 1] >= 0x20 && bytes[start - 1] < 0x7F) --start;
        while (start < i && bytes[start] == ' ') ++start;
        if (start < i) names.push_back(bytes.substr(start, i + 4 - start));
    }
    return names;
}

} // namespace

std::vector<std::string> ListAircraftFoldersAsTheGameDoes(const std::string& aircraftDir) {
    std::vector<std::string> folders;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((aircraftDir + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return folders;
    do {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..") folders.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return folders;
}

std::vector<std::string> LoadAircraftAsTheGameDoes(const std::string& aircraftDir, const std::string& folder) {
    const std::string dir = aircraftDir + "\\" + folder + "\\", cfg = dir + "Aircraft.cfg";
    if (!Opens(cfg)) return {"Aircraft.cfg"};
    std::vector<std::string> missing;
    for (const std::string& section : Values(cfg, nullptr)) {
        const std::string s = Lower(section);
        if (s != "fltsim" && s.compare(0, 7, "fltsim.") != 0) continue;
        const std::string tag = "[" + section + "] ", sim = Value(cfg, section, "sim");
        if (sim.empty() || !Opens(dir + sim + ".air")) missing.push_back(tag + (sim.empty() ? "sim=" : sim + ".air"));
        const auto variant = [&](const char* base, const char* key) {
            const std::string suffix = Value(cfg, section, key);
            return suffix.empty() ? std::string(base) : base + ("." + suffix);
        };
        const std::string models = variant("Model", "model"), textures = variant("Texture", "texture");
        if (!Opens(dir + models + "\\Model.cfg")) {
            missing.push_back(tag + models + "\\Model.cfg");
            continue;
        }
        std::vector<std::string> named;
        for (const char* kind : {"normal", "crash"}) {
            const std::string model = Value(dir + models + "\\Model.cfg", "models", kind);
            std::string bytes;
            if (model.empty()) continue;
            if (!Opens(dir + models + "\\" + model + ".mdl", &bytes)) missing.push_back(tag + models + "\\" + model + ".mdl");
            for (const std::string& t : TexturesNamedIn(bytes)) named.push_back(t);
        }
        const DWORD attributes = GetFileAttributesA((dir + textures).c_str());
        if (!named.empty() && (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))) {
            missing.push_back(tag + textures + "\\");
            continue;
        }
        std::set<std::string> seen;  // one texture in several letter cases or models is opened once
        for (const std::string& t : named)
            if (seen.insert(Lower(t)).second && !Opens(dir + textures + "\\" + t)) missing.push_back(tag + textures + "\\" + t);
    }
    // The game follows an alias one step: its target must be an aircraft's own configuration.
    for (const char* own : {"Sound\\sound.cfg", "Panel\\panel.cfg"}) {
        const std::string alias = Value(dir + own, "fltsim", "alias");
        const std::string target = aircraftDir + "\\" + alias + std::strchr(own, '\\');
        if (!Opens(dir + own)) missing.push_back(own);
        else if (!alias.empty() && (!Opens(target) || !Value(target, "fltsim", "alias").empty()))
            missing.push_back(std::string(own) + ": alias " + alias);
    }
    return missing;
}
