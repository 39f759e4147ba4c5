// Reading a Wine registry file.
//
//   Text decoding ... escapes and UTF-8 output
//   Lines ........... key lines, value lines, the lookup
//   Variables ....... %variable% expansion of REG_EXPAND_SZ values

#include "wine_registry.h"

#include "platform.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

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
//
// Built as Wine builds a process's environment: fixed variables first, then
// the machine environment key's REG_SZ values, then its REG_EXPAND_SZ values
// in file order, each expanded once against what is defined before it. The
// value is then expanded once against the result. Nothing is expanded twice,
// so the work is linear in the file, and every result is capped.
namespace {

const char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const char kNtCurrentVersion[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
const char kProfileList[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
const char kEnvironment[] = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char* const kVariableKeys[] = {kCurrentVersion, kNtCurrentVersion, kProfileList, kEnvironment};
constexpr int kVariableKeyCount = sizeof kVariableKeys / sizeof kVariableKeys[0];
constexpr int kEnvironmentKey = 3;

// Variables a Wine process is given from fixed registry places rather than
// from the environment key, in definition order (SystemDrive first: Wine's
// ProfileList values are written as %SystemDrive%\...). The 32-bit view
// matters: the simulator and its installer are 32-bit programs.
struct KnownVariable {
    const char* name;
    int key;                // index in kVariableKeys, -1 for none
    const char* value32;    // value name in a 64-bit prefix, as a 32-bit program sees it
    const char* value;      // value name in a 32-bit prefix
    const char* default32;  // Wine's defaults when the file lacks the value
    const char* fallback;
};

const KnownVariable kKnown[] = {
    {"SystemDrive", -1, nullptr, nullptr, "C:", "C:"},
    {"SystemRoot", 1, "SystemRoot", "SystemRoot", "C:\\windows", "C:\\windows"},
    {"windir", 1, "SystemRoot", "SystemRoot", "C:\\windows", "C:\\windows"},
    {"ProgramFiles", 0, "ProgramFilesDir (x86)", "ProgramFilesDir", "C:\\Program Files (x86)", "C:\\Program Files"},
    {"ProgramFiles(x86)", 0, "ProgramFilesDir (x86)", "ProgramFilesDir (x86)", "C:\\Program Files (x86)",
     "C:\\Program Files (x86)"},
    {"ProgramW6432", 0, "ProgramFilesDir", "ProgramFilesDir", "C:\\Program Files", "C:\\Program Files"},
    {"CommonProgramFiles", 0, "CommonFilesDir (x86)", "CommonFilesDir", "C:\\Program Files (x86)\\Common Files",
     "C:\\Program Files\\Common Files"},
    {"ProgramData", 2, "ProgramData", "ProgramData", "C:\\ProgramData", "C:\\ProgramData"},
    {"ALLUSERSPROFILE", 2, "ProgramData", "ProgramData", "C:\\ProgramData", "C:\\ProgramData"},
    {"PUBLIC", 2, "Public", "Public", "C:\\users\\Public", "C:\\users\\Public"},
};

// Longest variable value kept, terminator included: far beyond any path the
// simulator can have, and what bounds one expansion's work.
constexpr std::size_t kValueCap = 1024;
// Total bytes of expanded environment values. A real environment key holds a
// few hundred; the budget keeps a crafted file from costing memory.
constexpr std::size_t kEnvironmentBudget = 64 * 1024;

// A string value of one of kVariableKeys, decoded.
struct RawValue {
    int key;
    std::string name, data;
    bool expand;
    bool tooLong;
};

// The string values of kVariableKeys, in file order, from one pass over the
// file. Only a key's first appearance counts, as in FindWineRegistryString.
std::vector<RawValue> CollectVariableValues(const char* text, std::size_t size) {
    std::vector<RawValue> values;
    bool seen[kVariableKeyCount] = {};
    int current = -1;
    const char* cursor = text;
    Line line;
    while (NextLine(&cursor, text + size, &line)) {
        if (line.begin == line.end) continue;
        const char first = *line.begin;
        if (first == '[') {
            char name[1024];
            current = -1;
            if (!KeyName(line, name, sizeof name)) continue;
            for (int k = 0; k < kVariableKeyCount; ++k)
                if (!seen[k] && SameIgnoringCase(name, kVariableKeys[k])) current = k;
            if (current >= 0) seen[current] = true;
            continue;
        }
        if (current < 0 || first != '"') continue;  // a default value (@=) names no variable

        char name[256];
        Utf8Writer nameWriter(name, sizeof name);
        const char* p = DecodeString(line.begin + 1, line.end, '"', &nameWriter);
        if (!p || nameWriter.overflow || p >= line.end || *p != '=' || !*name) continue;
        char data[kValueCap];
        Utf8Writer w(data, sizeof data);
        bool expand = false;
        const int result = DecodeData(p + 1, line.end, &w, &expand);
        if (result != kWineRegOk && result != kWineRegTooLong) continue;
        values.push_back({current, name, result == kWineRegOk ? data : "", expand, result == kWineRegTooLong});
    }
    return values;
}

// Variable names compare ignoring ASCII letter case, as Windows compares them.
std::string Folded(const char* s, std::size_t n) {
    std::string folded(s, n);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    return folded;
}

struct Variable {
    std::string value;
    bool tooLong;  // its value exceeded kValueCap or the budget: any use of it fails
};
using Environment = std::unordered_map<std::string, Variable>;

// Expands `value` once against `env` into *out, at most cap - 1 bytes. An
// unknown variable is kept with both its percent signs, and a lone percent
// sign as written, as Windows does. Stops at the first byte that does not
// fit: false then, and also when a variable too long to keep is used.
bool ExpandOnce(const Environment& env, const std::string& value, std::string* out, std::size_t cap) {
    out->clear();
    const auto append = [&](const char* s, std::size_t n) {
        if (out->size() + n >= cap) return false;
        out->append(s, n);
        return true;
    };
    const char* p = value.data();
    const char* end = p + value.size();
    while (p < end) {
        const char* percent = static_cast<const char*>(std::memchr(p, '%', static_cast<std::size_t>(end - p)));
        const char* close = percent ? static_cast<const char*>(
                                          std::memchr(percent + 1, '%', static_cast<std::size_t>(end - percent - 1)))
                                    : nullptr;
        if (!close) return append(p, static_cast<std::size_t>(end - p));
        if (!append(p, static_cast<std::size_t>(percent - p))) return false;
        const auto found = close > percent + 1
                               ? env.find(Folded(percent + 1, static_cast<std::size_t>(close - percent - 1)))
                               : env.end();
        if (found == env.end()) {
            if (!append(percent, static_cast<std::size_t>(close - percent + 1))) return false;
        } else if (found->second.tooLong || !append(found->second.value.data(), found->second.value.size())) {
            return false;
        }
        p = close + 1;
    }
    return true;
}

// Defines `name` unless it is defined already: the fixed variables are not
// overridden by the environment key.
void Define(Environment* env, const std::string& name, const std::string& raw, bool expand, bool tooLong,
            std::size_t* budget) {
    const std::string key = Folded(name.data(), name.size());
    if (env->count(key)) return;
    Variable v{std::string(), tooLong || *budget == 0};
    if (!v.tooLong) {
        if (expand)
            v.tooLong = !ExpandOnce(*env, raw, &v.value, std::min(kValueCap, *budget));
        else if (raw.size() < std::min(kValueCap, *budget))
            v.value = raw;
        else
            v.tooLong = true;
    }
    if (v.tooLong) v.value.clear();
    *budget -= std::min(*budget, v.value.size());
    env->emplace(key, std::move(v));
}

Environment BuildEnvironment(const char* text, std::size_t size) {
    const std::vector<RawValue> values = CollectVariableValues(text, size);
    const bool win64 = IsWin64Registry(text, size);
    Environment env;
    std::size_t budget = kEnvironmentBudget;
    for (const KnownVariable& known : kKnown) {
        const char* valueName = win64 ? known.value32 : known.value;
        const RawValue* found = nullptr;
        for (const RawValue& v : values)
            if (v.key == known.key && SameIgnoringCase(v.name.c_str(), valueName)) {
                found = &v;
                break;
            }
        if (found)
            Define(&env, known.name, found->data, found->expand, found->tooLong, &budget);
        else
            Define(&env, known.name, win64 ? known.default32 : known.fallback, false, false, &budget);
    }
    for (const bool expandPass : {false, true})
        for (const RawValue& v : values)
            if (v.key == kEnvironmentKey && v.expand == expandPass)
                Define(&env, v.name, v.data, v.expand, v.tooLong, &budget);
    return env;
}

} // namespace

bool ExpandWineVariables(const char* text, std::size_t size, const char* value, char* out, std::size_t cap) {
    if (!cap) return false;
    out[0] = '\0';
    std::string expanded;
    if (!ExpandOnce(BuildEnvironment(text, size), value, &expanded, cap)) return false;
    std::memcpy(out, expanded.c_str(), expanded.size() + 1);
    return true;
}
