// Reading a Wine registry file.
//
//   Text decoding ... escapes and UTF-8 output
//   Lines ........... key lines, value lines, the lookup
//   Variables ....... %variable% expansion of REG_EXPAND_SZ values

#include "wine_registry.h"

#include "platform.h"

#include <cstring>

namespace {

//----------------------------------------------------------------------------
// Text decoding
//----------------------------------------------------------------------------

// Collects decoded characters into a caller's buffer. The registry hands a C
// program its string up to the first NUL, so anything after one is dropped.
struct Utf8Writer {
    char* out;
    std::size_t cap;
    std::size_t len = 0;
    bool overflow = false;
    bool ended = false;

    Utf8Writer(char* o, std::size_t c) : out(o), cap(c) {
        if (cap) out[0] = '\0';
    }
    void Byte(unsigned char b) {
        if (ended || overflow) return;
        if (len + 1 >= cap) {
            overflow = true;
            return;
        }
        out[len++] = static_cast<char>(b);
        out[len] = '\0';
    }
    void CodePoint(unsigned long c) {
        if (c == 0) {
            ended = true;
        } else if (c < 0x80) {
            Byte(static_cast<unsigned char>(c));
        } else if (c < 0x800) {
            Byte(static_cast<unsigned char>(0xC0 | (c >> 6)));
            Byte(static_cast<unsigned char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            Byte(static_cast<unsigned char>(0xE0 | (c >> 12)));
            Byte(static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F)));
            Byte(static_cast<unsigned char>(0x80 | (c & 0x3F)));
        } else {
            Byte(static_cast<unsigned char>(0xF0 | (c >> 18)));
            Byte(static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F)));
            Byte(static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F)));
            Byte(static_cast<unsigned char>(0x80 | (c & 0x3F)));
        }
    }
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads one escape after a backslash at p (p points past it) into *code.
// Wine writes \x with one to four hex digits (a UTF-16 unit), octal for
// other control characters, C letters for the common ones, and a backslash
// before the delimiter and before itself.
const char* ReadEscape(const char* p, const char* end, unsigned long* code) {
    if (p >= end) return nullptr;
    if (*p == 'x') {
        unsigned long v = 0;
        int n = 0;
        for (++p; n < 4 && p < end && HexDigit(*p) >= 0; ++p, ++n) v = v * 16 + static_cast<unsigned long>(HexDigit(*p));
        *code = n ? v : 'x';
        return p;
    }
    if (*p >= '0' && *p <= '7') {
        unsigned long v = 0;
        for (int n = 0; n < 3 && p < end && *p >= '0' && *p <= '7'; ++p, ++n) v = v * 8 + static_cast<unsigned long>(*p - '0');
        *code = v;
        return p;
    }
    static const char kLetters[] = "abtnvfre";
    static const unsigned char kCodes[] = {7, 8, 9, 10, 11, 12, 13, 27};
    const char* letter = std::strchr(kLetters, *p);
    *code = (letter && *p) ? kCodes[letter - kLetters] : static_cast<unsigned char>(*p);
    return p + 1;
}

// Decodes a quoted or bracketed string starting at p (past the opening
// delimiter) up to the unescaped `delimiter`. Returns the position after the
// closing delimiter, or null when the line ends first.
const char* DecodeString(const char* p, const char* end, char delimiter, Utf8Writer* w) {
    unsigned long pendingHigh = 0;  // a UTF-16 high surrogate waiting for its low half
    while (p < end && *p != delimiter) {
        unsigned long c;
        if (*p == '\\') {
            p = ReadEscape(p + 1, end, &c);
            if (!p) return nullptr;
        } else {
            // Wine writes ASCII only; other bytes are passed through as found.
            w->Byte(static_cast<unsigned char>(*p++));
            continue;
        }
        if (c >= 0xD800 && c < 0xDC00) {
            pendingHigh = c;
            continue;
        }
        if (pendingHigh && c >= 0xDC00 && c < 0xE000) c = 0x10000 + ((pendingHigh - 0xD800) << 10) + (c - 0xDC00);
        pendingHigh = 0;
        w->CodePoint(c);
    }
    return p < end ? p + 1 : nullptr;
}

//----------------------------------------------------------------------------
// Lines
//----------------------------------------------------------------------------

// One line of the file, without its line end (Wine writes LF; CR LF is
// accepted from files that went through a Windows editor).
struct Line {
    const char* begin;
    const char* end;
};

bool NextLine(const char** cursor, const char* fileEnd, Line* line) {
    const char* p = *cursor;
    if (p >= fileEnd) return false;
    const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(fileEnd - p)));
    const char* stop = nl ? nl : fileEnd;
    *cursor = nl ? nl + 1 : fileEnd;
    line->begin = p;
    line->end = (stop > p && stop[-1] == '\r') ? stop - 1 : stop;
    return true;
}

bool StartsWith(const Line& line, const char* prefix) {
    std::size_t n = std::strlen(prefix);
    return static_cast<std::size_t>(line.end - line.begin) >= n && std::memcmp(line.begin, prefix, n) == 0;
}

// Reads the data after "name=" into `w`; returns the WineRegistryResult for it.
int DecodeData(const char* p, const char* end, Utf8Writer* w, bool* expand) {
    *expand = false;
    if (end - p >= 7 && std::memcmp(p, "str(", 4) == 0 && p[5] == ')' && p[6] == ':') {
        // str(2) is REG_EXPAND_SZ; str(7), a REG_MULTI_SZ, is no single path.
        if (p[4] != '1' && p[4] != '2') return kWineRegNotString;
        *expand = p[4] == '2';
        p += 7;
    }
    if (p >= end || *p != '"') return kWineRegNotString;  // dword:, hex:, hex(N):
    if (!DecodeString(p + 1, end, '"', w)) return kWineRegNotString;
    return w->overflow ? kWineRegTooLong : kWineRegOk;
}

// Name of the key a "[...]" line opens; false for a malformed line.
bool KeyName(const Line& line, char* name, std::size_t cap) {
    Utf8Writer w(name, cap);
    return DecodeString(line.begin + 1, line.end, ']', &w) && !w.overflow;
}

} // namespace

bool IsWineRegistryText(const char* text, std::size_t size) {
    static const char kHeader[] = "WINE REGISTRY Version 2";
    return size >= sizeof kHeader - 1 && std::memcmp(text, kHeader, sizeof kHeader - 1) == 0;
}

bool IsWin64Registry(const char* text, std::size_t size) {
    const char* cursor = text;
    Line line;
    while (NextLine(&cursor, text + size, &line)) {
        if (StartsWith(line, "[")) return false;  // the header ends at the first key
        if (StartsWith(line, "#arch=win64")) return true;
    }
    return false;
}

int FindWineRegistryString(const char* text, std::size_t size, const char* keyPath, const char* valueName,
                           char* out, std::size_t cap, bool* expand) {
    if (cap) out[0] = '\0';
    *expand = false;
    const char* cursor = text;
    const char* end = text + size;
    bool keyFound = false, inKey = false;
    Line line;
    while (NextLine(&cursor, end, &line)) {
        if (line.begin == line.end) continue;
        const char first = *line.begin;
        if (first == '[') {
            if (inKey) break;  // each key is written once: its values are behind us
            char name[1024];
            inKey = KeyName(line, name, sizeof name) && SameIgnoringCase(name, keyPath);
            keyFound = keyFound || inKey;
            continue;
        }
        if (!inKey || (first != '"' && first != '@')) continue;  // comments, #time=, hex continuations

        const char* p = line.begin + 1;
        char name[1024];
        Utf8Writer nameWriter(name, sizeof name);
        if (first == '"' && !(p = DecodeString(p, line.end, '"', &nameWriter))) continue;
        if (nameWriter.overflow || p >= line.end || *p != '=') continue;
        if (!SameIgnoringCase(name, valueName)) continue;

        Utf8Writer w(out, cap);
        int result = DecodeData(p + 1, line.end, &w, expand);
        if (result != kWineRegOk && cap) out[0] = '\0';
        return result;
    }
    return keyFound ? kWineRegNoValue : kWineRegNoKey;
}

//----------------------------------------------------------------------------
// Variables
//----------------------------------------------------------------------------
namespace {

const char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const char kNtCurrentVersion[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
const char kProfileList[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
const char kEnvironment[] = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";

// Variables a Wine process is given from fixed registry places rather than
// from the environment key. The 32-bit view matters: the simulator and its
// installer are 32-bit programs.
struct KnownVariable {
    const char* name;
    const char* key;
    const char* value32;    // value name in a 64-bit prefix, as a 32-bit program sees it
    const char* value;      // value name in a 32-bit prefix
    const char* default32;  // Wine's defaults when the file lacks the value
    const char* fallback;
};

const KnownVariable kKnown[] = {
    {"SystemRoot", kNtCurrentVersion, "SystemRoot", "SystemRoot", "C:\\windows", "C:\\windows"},
    {"windir", kNtCurrentVersion, "SystemRoot", "SystemRoot", "C:\\windows", "C:\\windows"},
    {"ProgramFiles", kCurrentVersion, "ProgramFilesDir (x86)", "ProgramFilesDir", "C:\\Program Files (x86)",
     "C:\\Program Files"},
    {"ProgramFiles(x86)", kCurrentVersion, "ProgramFilesDir (x86)", "ProgramFilesDir (x86)",
     "C:\\Program Files (x86)", "C:\\Program Files (x86)"},
    {"ProgramW6432", kCurrentVersion, "ProgramFilesDir", "ProgramFilesDir", "C:\\Program Files",
     "C:\\Program Files"},
    {"CommonProgramFiles", kCurrentVersion, "CommonFilesDir (x86)", "CommonFilesDir",
     "C:\\Program Files (x86)\\Common Files", "C:\\Program Files\\Common Files"},
    {"ProgramData", kProfileList, "ProgramData", "ProgramData", "C:\\ProgramData", "C:\\ProgramData"},
    {"ALLUSERSPROFILE", kProfileList, "ProgramData", "ProgramData", "C:\\ProgramData", "C:\\ProgramData"},
    {"PUBLIC", kProfileList, "Public", "Public", "C:\\users\\Public", "C:\\users\\Public"},
    {"SystemDrive", nullptr, nullptr, nullptr, "C:", "C:"},
};

constexpr int kMaxNesting = 4;  // windir=%SystemRoot% and the like; guards against loops

bool CopyIfFits(const char* s, char* out, std::size_t cap) {
    if (std::strlen(s) >= cap) return false;
    std::strcpy(out, s);
    return true;
}

bool Expand(const char* text, std::size_t size, const char* value, char* out, std::size_t cap, int depth);

// The value of variable `name`; false when it is unknown here.
bool VariableValue(const char* text, std::size_t size, const char* name, char* out, std::size_t cap, int depth) {
    char raw[1024];
    bool expand = false;
    const bool win64 = IsWin64Registry(text, size);
    for (const KnownVariable& v : kKnown) {
        if (!SameIgnoringCase(name, v.name)) continue;
        const char* valueName = win64 ? v.value32 : v.value;
        if (!v.key || FindWineRegistryString(text, size, v.key, valueName, raw, sizeof raw, &expand) != kWineRegOk) {
            std::strcpy(raw, win64 ? v.default32 : v.fallback);
            expand = false;
        }
        return expand ? Expand(text, size, raw, out, cap, depth + 1) : CopyIfFits(raw, out, cap);
    }
    if (FindWineRegistryString(text, size, kEnvironment, name, raw, sizeof raw, &expand) != kWineRegOk) return false;
    return expand ? Expand(text, size, raw, out, cap, depth + 1) : CopyIfFits(raw, out, cap);
}

bool Expand(const char* text, std::size_t size, const char* value, char* out, std::size_t cap, int depth) {
    std::size_t len = 0;
    auto append = [&](const char* s, std::size_t n) {
        if (len + n >= cap) return false;
        std::memcpy(out + len, s, n);
        len += n;
        out[len] = '\0';
        return true;
    };
    if (!cap) return false;
    out[0] = '\0';
    for (const char* p = value; *p;) {
        const char* close = *p == '%' ? std::strchr(p + 1, '%') : nullptr;
        if (!close) {
            const char* next = *p == '%' ? p + std::strlen(p) : std::strchr(p, '%');
            if (!next) next = p + std::strlen(p);
            if (!append(p, static_cast<std::size_t>(next - p))) return false;
            p = next;
            continue;
        }
        char name[256], expanded[1024];
        std::size_t nameLen = static_cast<std::size_t>(close - p - 1);
        bool known = nameLen > 0 && nameLen < sizeof name && depth < kMaxNesting;
        if (known) {
            std::memcpy(name, p + 1, nameLen);
            name[nameLen] = '\0';
            known = VariableValue(text, size, name, expanded, sizeof expanded, depth);
        }
        // As Windows does, an unknown variable is kept with both its percent signs.
        if (!(known ? append(expanded, std::strlen(expanded)) : append(p, nameLen + 2))) return false;
        p = close + 1;
    }
    return true;
}

} // namespace

bool ExpandWineVariables(const char* text, std::size_t size, const char* value, char* out, std::size_t cap) {
    return Expand(text, size, value, out, cap, 0);
}
