#include "alias.h"

#include "platform.h"

#include <cstdio>

int FormatAliasConfig(char* out, std::size_t cap, const char* target, const char* kind) {
    int n = std::snprintf(out, cap, "[fltsim]\nalias=%s\\%s\n", target, kind);
    return n >= 0 && static_cast<std::size_t>(n) < cap ? n : -1;
}

// "wb": a text-mode stream on Windows would turn each LF into CR LF.
int WriteAliasConfig(const char* path, const char* target, const char* kind, const WriteSession* session) {
    char bytes[128];
    int length = FormatAliasConfig(bytes, sizeof bytes, target, kind);
    if (length < 0) return -1;
    std::FILE* f = PlatformOpenWrite(path, session);
    if (!f) return -1;
    bool ok = std::fwrite(bytes, 1, static_cast<std::size_t>(length), f) == static_cast<std::size_t>(length);
    ok = (std::fclose(f) == 0) && ok;
    return ok ? 0 : -1;
}
