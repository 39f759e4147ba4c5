#include "alias.h"

#include "platform.h"

#include <cstdio>

// "wb": a text-mode stream on Windows would turn each LF into CR LF.
int WriteAliasConfig(const char* path, const char* target, const char* kind) {
    std::FILE* f = PlatformOpenWrite(path);
    if (!f) return -1;
    bool ok = std::fprintf(f, "[fltsim]\nalias=%s\\%s\n", target, kind) > 0;
    ok = (std::fclose(f) == 0) && ok;
    return ok ? 0 : -1;
}
