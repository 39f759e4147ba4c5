// Stand-in for the engine's title functions (see title.h).
#include "title.h"

#include "file_ops.h"
#include "platform.h"

#include <dirent.h>

#include <cstring>
#include <string>

namespace {

std::string ReadAll(const std::string& path) {
    std::string data;
    if (std::FILE* f = PlatformOpenRead(path.c_str())) {
        for (int c; (c = std::getc(f)) != EOF;) data += static_cast<char>(c);
        std::fclose(f);
    }
    return data;
}

// The value of the first "title" line: the text after '=' to the line end.
bool FirstTitle(const std::string& cfg, std::size_t* begin, std::size_t* end) {
    for (std::size_t line = 0; line < cfg.size();) {
        std::size_t eol = cfg.find_first_of("\r\n", line);
        if (eol == std::string::npos) eol = cfg.size();
        std::size_t eq = cfg.find('=', line);
        if (eq < eol) {
            std::string key = cfg.substr(line, eq - line);
            while (!key.empty() && key.back() == ' ') key.pop_back();
            if (key.size() == 5 && SameIgnoringCase(key.c_str(), "title")) {
                *begin = eq + 1;
                *end = eol;
                return true;
            }
        }
        line = cfg.find('\n', eol) == std::string::npos ? cfg.size() : cfg.find('\n', eol) + 1;
    }
    return false;
}

}  // namespace

std::string PredictCopyTitle(const char* aircraftDir, const char* prefix, int index) {
    CopyNames names;
    DeriveCopyNames(index, prefix, &names);
    std::string cfg = ReadAll(std::string(aircraftDir) + kPathSep + GetAircraftName(index) + kPathSep + "Aircraft.cfg");
    if (cfg.empty()) return "";
    unsigned char* data = reinterpret_cast<unsigned char*>(&cfg[0]);
    const int length = static_cast<int>(cfg.size()), n = static_cast<int>(std::strlen(names.stem));
    SubstitutionPass(data, length, names.stem, names.newStem, n);
    for (int i = 0; i + 5 <= length; ++i)
        if (OverwriteTitle(data + i, "title", names.newStem, n, data + length)) break;
    std::size_t b, e;
    return FirstTitle(cfg, &b, &e) ? cfg.substr(b, e - b) : "";
}

TitleCheck CheckInGameTitle(const char* title) {
    if (!*title) return TitleEmpty;
    for (const char* p = title; *p; ++p)
        if (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7F) return TitleHasControlChars;
    return TitleOk;
}

bool TitleInUse(const char* aircraftDir, const char* title) {
    DIR* dir = opendir(aircraftDir);
    bool found = false;
    while (dirent* entry = dir && !found ? readdir(dir) : nullptr) {
        std::string cfg = ReadAll(std::string(aircraftDir) + kPathSep + entry->d_name + kPathSep + "Aircraft.cfg");
        std::size_t b, e;
        found = FirstTitle(cfg, &b, &e) && SameIgnoringCase(cfg.substr(b, e - b).c_str(), title);
    }
    if (dir) closedir(dir);
    return found;
}

CopyStatus CopyAircraftTitled(const char* aircraftDir, const char* prefix, int index, const char* title) {
    CopyStatus status = CopyAircraft(aircraftDir, prefix, index);
    if (status != CopyOk || !title) return status;
    CopyNames names;
    DeriveCopyNames(index, prefix, &names);
    std::string path = std::string(aircraftDir) + kPathSep + names.newFolder + kPathSep + "Aircraft.cfg";
    std::string cfg = ReadAll(path);
    std::size_t b, e;
    if (!FirstTitle(cfg, &b, &e)) return status;
    cfg.replace(b, e - b, title);
    std::FILE* f = PlatformOpenWrite(path.c_str());
    if (!f) return CopyFileError;
    bool ok = std::fwrite(cfg.data(), 1, cfg.size(), f) == cfg.size();
    return std::fclose(f) == 0 && ok ? status : CopyFileError;
}
