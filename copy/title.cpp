// Sections:
//   1. Reading title= lines
//   2. The checks
//   3. A player's own title
#include "title.h"

#include "file_ops.h"
#include "folder_os.h"
#include "platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool StartsWithIgnoringCase(const std::string& s, std::size_t at, const std::string& word) {
    if (s.size() - at < word.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (AsciiLower(static_cast<unsigned char>(s[at + k])) != AsciiLower(static_cast<unsigned char>(word[k])))
            return false;
    return true;
}

//----------------------------------------------------------------------------
// 1. Reading title= lines
//----------------------------------------------------------------------------

// One line of a configuration file, without its line end.
struct Line {
    std::size_t begin, end;
};

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        lines.push_back({at, end});
        at = end;
        if (at < text.size() && text[at] == '\r') ++at;
        if (at < text.size() && text[at] == '\n') ++at;
    }
    return lines;
}

// Where the value of a "title = value" line starts, or npos for another line.
// Blanks around the key and before the value are skipped, as the
// simulator's reader skips them.
std::size_t TitleValueStart(const std::string& text, const Line& line) {
    std::size_t at = line.begin;
    while (at < line.end && (text[at] == ' ' || text[at] == '\t')) ++at;
    if (!StartsWithIgnoringCase(text, at, "title")) return std::string::npos;
    at += 5;
    while (at < line.end && (text[at] == ' ' || text[at] == '\t')) ++at;
    if (at >= line.end || text[at] != '=') return std::string::npos;
    for (++at; at < line.end && (text[at] == ' ' || text[at] == '\t');) ++at;
    return at;
}

// The N of a "[fltsim.N]" line, or -1 for any other line.
long FltsimSection(const std::string& text, const Line& line) {
    if (!StartsWithIgnoringCase(text, line.begin, "[fltsim.")) return -1;
    std::size_t at = line.begin + 8;
    long n = 0;
    bool digits = false;
    for (; at < line.end && text[at] >= '0' && text[at] <= '9' && n < 100000; ++at, digits = true)
        n = n * 10 + (text[at] - '0');
    return digits && at < line.end && text[at] == ']' ? n : -1;
}

} // namespace

// Aircraft.cfg is a few kilobytes; anything far larger is not one.
constexpr std::size_t kConfigLimit = 4 << 20;

bool ReadConfigFile(const char* path, std::string* text) {
    std::FILE* f = PlatformOpenRead(path);
    if (!f) return false;
    char chunk[16384];
    std::size_t got;
    text->clear();
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0 && text->size() < kConfigLimit) text->append(chunk, got);
    const bool ok = !std::ferror(f) && text->size() < kConfigLimit;
    std::fclose(f);
    return ok;
}

std::string FirstTitle(const std::string& cfg) {
    for (const Line& line : SplitLines(cfg)) {
        std::size_t value = TitleValueStart(cfg, line);
        if (value == std::string::npos) continue;
        std::size_t end = line.end;
        while (end > value && (cfg[end - 1] == ' ' || cfg[end - 1] == '\t')) --end;
        return cfg.substr(value, end - value);
    }
    return "";
}

//----------------------------------------------------------------------------
// 2. The checks
//----------------------------------------------------------------------------

std::string TrimInGameTitle(const char* title) {
    std::string t = title;
    const std::size_t begin = t.find_first_not_of(' ');
    if (begin == std::string::npos) return std::string();
    return t.substr(begin, t.find_last_not_of(' ') + 1 - begin);
}

TitleCheck CheckInGameTitle(const char* title) {
    if (TrimInGameTitle(title).empty()) return TitleEmpty;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(title); *p; ++p) {
        if (*p < 0x20 || *p == 0x7F) return TitleHasControlChars;
#ifndef _WIN32
        if (*p > 0x7E) return TitleNotRepresentable;
#endif
    }
    return TitleOk;
}

bool TitleInUse(const char* aircraftDir, const char* titleAsTyped) {
    const std::string trimmed = TrimInGameTitle(titleAsTyped);
    const char* title = trimmed.c_str();
    std::vector<FolderEntry> folders;
    if (!ListFolder(aircraftDir, &folders)) return false;
    for (const FolderEntry& entry : folders) {
        const std::string& folder = entry.name;
        std::string cfg;
        std::string path = std::string(aircraftDir) + kPathSep + folder + kPathSep + "Aircraft.cfg";
        if (!PlatformFileExists(path.c_str()) || !ReadConfigFile(path.c_str(), &cfg)) continue;
        for (const Line& line : SplitLines(cfg)) {
            std::size_t value = TitleValueStart(cfg, line);
            if (value != std::string::npos && line.end - value == std::strlen(title) &&
                StartsWithIgnoringCase(cfg, value, title))
                return true;
        }
    }
    return false;
}

//----------------------------------------------------------------------------
// 3. A player's own title
//----------------------------------------------------------------------------

bool CanCarryTitle(const std::string& cfg) {
    for (const Line& line : SplitLines(cfg))
        if (TitleValueStart(cfg, line) != std::string::npos || FltsimSection(cfg, line) >= 0) return true;
    return false;
}

std::string RetitleConfig(const std::string& cfg, const std::string& stockTitle, const std::string& newTitle) {
    std::string out;
    out.reserve(cfg.size() + 64);
    std::size_t copied = 0;
    bool first = true;
    long section = -1;
    const Line* firstSection = nullptr;
    const std::vector<Line> lines = SplitLines(cfg);
    for (const Line& line : lines) {
        if (cfg[line.begin] == '[') section = FltsimSection(cfg, line);
        if (section >= 0 && !firstSection) firstSection = &line;
        std::size_t value = TitleValueStart(cfg, line);
        if (value == std::string::npos || (!first && section < 0)) continue;
        std::string title = newTitle;
        if (!first) {
            const std::string old = cfg.substr(value, line.end - value);
            if (!stockTitle.empty() && StartsWithIgnoringCase(old, 0, stockTitle))
                title += old.substr(stockTitle.size());
            else
                title += " (" + std::to_string(section) + ")";
        }
        out.append(cfg, copied, value - copied);
        out += title;
        copied = line.end;
        first = false;
    }
    out.append(cfg, copied, std::string::npos);
    if (first && firstSection) {
        // No title at all: the first menu entry gets one, right under its
        // section line and with that line's own line end.
        std::size_t next = firstSection->end;
        if (next < cfg.size() && cfg[next] == '\r') ++next;
        if (next < cfg.size() && cfg[next] == '\n') ++next;
        std::string lineEnd = cfg.substr(firstSection->end, next - firstSection->end);
        if (lineEnd.empty()) lineEnd = "\r\n";
        out.insert(next, (next == firstSection->end ? lineEnd : "") + "title=" + newTitle + lineEnd);
    }
    return out;
}

int RetitleCopyConfig(const char* stockCfg, const char* copyCfg, const char* stem, const char* newStem,
                      const char* title, const WriteSession* session) {
    std::string stock, copy;
    if (!ReadConfigFile(stockCfg, &stock) || !ReadConfigFile(copyCfg, &copy)) return errno ? errno : EIO;
    // Further entries are matched against the stock title as the copy holds
    // it: its stem already rewritten ("Tempest" begins many a title).
    std::string stockTitle = FirstTitle(stock);
    SubstitutionPass(reinterpret_cast<unsigned char*>(&stockTitle[0]), stockTitle.size(), stem, newStem,
                     static_cast<int>(std::strlen(stem)));
    const std::string out = RetitleConfig(copy, stockTitle, title);
    // Written anew: the copy's files are only ever created, never overwritten.
    if (int err = PlatformRemove(copyCfg, false, session)) return err;
    return WriteNewFile(copyCfg, out.data(), out.size(), session);
}
