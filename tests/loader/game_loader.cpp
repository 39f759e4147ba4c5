// What the game opens for one aircraft, and in which order: Aircraft.cfg and
// its [fltsim] sections, each section's flight model, models and their
// textures, then the sound and panel configurations and what they name.
#include "game_loader.h"

#include <windows.h>

#include <map>
#include <set>

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string Join(const std::string& dir, const std::string& name) {
    if (dir.empty() || dir.back() == '\\' || dir.back() == '/') return dir + name;
    return dir + "\\" + name;
}

HANDLE OpenForReading(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// The game opens a file to use it; one that opens is one it can load.
bool CanOpen(const std::string& path) {
    HANDLE h = OpenForReading(path);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

bool ReadWhole(const std::string& path, std::string* out) {
    HANDLE h = OpenForReading(path);
    if (h == INVALID_HANDLE_VALUE) return false;
    out->clear();
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(h, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) out->append(buffer, got);
    CloseHandle(h);
    return ok;
}

bool IsFolder(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Value(const std::string& file, const std::string& section, const char* key) {
    char value[1024] = "";
    GetPrivateProfileStringA(section.c_str(), key, "", value, sizeof value, file.c_str());
    return value;
}

std::vector<std::string> Sections(const std::string& file) {
    std::vector<char> names(65536);
    const DWORD n = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), file.c_str());
    std::vector<std::string> out;
    for (DWORD i = 0; i < n && names[i];) {
        out.emplace_back(&names[i]);
        i += static_cast<DWORD>(out.back().size()) + 1;
    }
    return out;
}

// [fltsim] and [fltsim.N]: the aircraft's variations.
bool IsFltsimSection(const std::string& name) {
    const std::string s = Lower(name);
    if (s == "fltsim") return true;
    if (s.compare(0, 7, "fltsim.") != 0 || s.size() == 7) return false;
    return s.find_first_not_of("0123456789", 7) == std::string::npos;
}

// A Model or Texture folder with its optional ".suffix" from model= / texture=.
std::string Variant(const char* base, const std::string& suffix) {
    return suffix.empty() ? std::string(base) : std::string(base) + "." + suffix;
}

class Loader {
public:
    Loader(const std::string& aircraftDir, const std::string& folder)
        : aircraftDir_(aircraftDir), folder_(folder), dir_(Join(aircraftDir, folder)) {}

    std::vector<std::string> Run() {
        const std::string cfg = Join(dir_, "Aircraft.cfg");
        if (!CanOpen(cfg)) return {"Aircraft.cfg"};
        bool anySection = false;
        for (const std::string& section : Sections(cfg)) {
            if (!IsFltsimSection(section)) continue;
            anySection = true;
            LoadVariation(cfg, section);
        }
        if (!anySection) Miss("Aircraft.cfg: no [fltsim] section");
        LoadAliased("Sound", "sound.cfg", "filename", ".wav");
        LoadAliased("Panel", "panel.cfg", "file", "");
        return missing_;
    }

private:
    void Miss(const std::string& what) { missing_.push_back(what); }

    void LoadVariation(const std::string& cfg, const std::string& section) {
        const std::string tag = "[" + section + "] ";
        const std::string sim = Value(cfg, section, "sim");
        if (sim.empty()) Miss(tag + "sim=");
        else if (!CanOpen(Join(dir_, sim + ".air"))) Miss(tag + sim + ".air");

        const std::string modelDir = Variant("Model", Value(cfg, section, "model"));
        const std::string textureDir = Variant("Texture", Value(cfg, section, "texture"));
        if (!IsFolder(Join(dir_, modelDir))) {
            Miss(tag + modelDir + "\\");
            return;
        }
        std::vector<std::string> textures;
        for (const std::string& model : ModelFiles(tag, modelDir)) {
            const std::string* bytes = ReadModel(Join(modelDir, model));
            if (!bytes) {
                Miss(tag + modelDir + "\\" + model);
                continue;
            }
            for (const std::string& t : TextureNamesInModel(*bytes)) textures.push_back(t);
        }
        if (textures.empty()) return;
        if (!IsFolder(Join(dir_, textureDir))) {
            Miss(tag + textureDir + "\\");
            return;
        }
        std::set<std::string> seen;  // two models naming one texture: one open
        for (const std::string& t : textures)
            if (seen.insert(Lower(t)).second && !CanOpen(Join(Join(dir_, textureDir), t)))
                Miss(tag + textureDir + "\\" + t);
    }

    // The models Model.cfg names (normal, and crash when there is one);
    // without Model.cfg the game falls back to <folder>_n.mdl.
    std::vector<std::string> ModelFiles(const std::string& tag, const std::string& modelDir) {
        const std::string modelCfg = Join(Join(dir_, modelDir), "Model.cfg");
        std::vector<std::string> files;
        if (!CanOpen(modelCfg)) {
            Miss(tag + modelDir + "\\Model.cfg");
            files.push_back(folder_ + "_n.mdl");
            return files;
        }
        const std::string normal = Value(modelCfg, "models", "normal"), crash = Value(modelCfg, "models", "crash");
        if (normal.empty()) Miss(tag + modelDir + "\\Model.cfg: no normal=");
        else files.push_back(normal + ".mdl");
        if (!crash.empty()) files.push_back(crash + ".mdl");
        return files;
    }

    // Read once per load: variations share their models.
    const std::string* ReadModel(const std::string& relative) {
        const std::string key = Lower(relative);
        auto found = models_.find(key);
        if (found == models_.end()) {
            std::string bytes;
            if (!ReadWhole(Join(dir_, relative), &bytes)) return nullptr;
            found = models_.emplace(key, std::move(bytes)).first;
        }
        return &found->second;
    }

    // Sound\sound.cfg or Panel\panel.cfg: either the aircraft's own, naming
    // files beside it, or a one-line alias to another aircraft's folder, whose
    // own configuration is then read the same way (one step, as the game does).
    void LoadAliased(const char* kind, const char* cfgName, const char* fileKey, const char* extension) {
        const std::string ownRelative = std::string(kind) + "\\" + cfgName;
        const std::string ownCfg = Join(dir_, ownRelative);
        if (!CanOpen(ownCfg)) {
            Miss(ownRelative);
            return;
        }
        const std::string alias = Value(ownCfg, "fltsim", "alias");
        if (alias.empty()) {
            LoadNamedFiles(ownCfg, Join(dir_, kind), kind, fileKey, extension);
            return;
        }
        const std::string target = Join(aircraftDir_, alias);
        const std::string targetCfg = Join(target, cfgName);
        if (!IsFolder(target) || !CanOpen(targetCfg)) {
            Miss(ownRelative + ": alias " + alias);
            return;
        }
        if (!Value(targetCfg, "fltsim", "alias").empty()) {
            Miss(ownRelative + ": alias " + alias + " is itself an alias");
            return;
        }
        LoadNamedFiles(targetCfg, target, alias, fileKey, extension);
    }

    void LoadNamedFiles(const std::string& cfg, const std::string& folder, const std::string& shownAs,
                        const char* fileKey, const char* extension) {
        for (const std::string& section : Sections(cfg)) {
            std::string name = Value(cfg, section, fileKey);
            if (name.empty()) continue;
            if (name.find('.') == std::string::npos) name += extension;
            if (!CanOpen(Join(folder, name))) Miss(shownAs + "\\" + name);
        }
    }

    std::string aircraftDir_, folder_, dir_;
    std::vector<std::string> missing_;
    std::map<std::string, std::string> models_;
};

bool IsNameByte(unsigned char c) { return c >= 0x20 && c < 0x7F; }

} // namespace

std::vector<std::string> TextureNamesInModel(const std::string& bytes) {
    std::vector<std::string> names;
    std::set<std::string> seen;
    // Each ".bmp\0", any letter case, ends a name; the name runs back to the
    // nearest byte that no file name holds (the model's binary records).
    for (std::size_t i = 0; i + 5 <= bytes.size(); ++i) {
        if (bytes[i] != '.' || bytes[i + 4] != '\0') continue;
        if (Lower(bytes.substr(i + 1, 3)) != "bmp") continue;
        std::size_t start = i;
        while (start > 0 && IsNameByte(static_cast<unsigned char>(bytes[start - 1]))) --start;
        while (start < i && bytes[start] == ' ') ++start;
        if (start == i) continue;
        std::string name = bytes.substr(start, i + 4 - start);
        if (seen.insert(Lower(name)).second) names.push_back(name);
    }
    return names;
}

std::vector<std::string> ListAircraftFoldersAsTheGameDoes(const std::string& aircraftDir) {
    std::vector<std::string> folders;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(Join(aircraftDir, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return folders;
    do {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
            folders.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return folders;
}

std::vector<std::string> LoadAircraftAsTheGameDoes(const std::string& aircraftDir, const std::string& folder) {
    return Loader(aircraftDir, folder).Run();
}
