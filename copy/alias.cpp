#include "alias.h"

#include "platform.h"

#include <cstdio>

namespace {

// "wb": a text-mode stream on Windows would turn each LF into CR LF.
int WriteAlias(const char* path, const char* folder, const char* kind) {
    std::FILE* f = PlatformOpenWrite(path);
    if (!f) return -1;
    bool ok = std::fprintf(f, "[fltsim]\nalias=%s\\%s\n", folder, kind) > 0;
    ok = (std::fclose(f) == 0) && ok;
    return ok ? 0 : -1;
}

} // namespace

int WriteSoundAlias(const char* path, const char* stockName) { return WriteAlias(path, stockName, "sound"); }
int WriteSoundAliasSpitfire(const char* path, const char*) { return WriteAlias(path, "spitfire_mki", "sound"); }
int WriteSoundAliasP47d(const char* path, const char*) { return WriteAlias(path, "p47d", "sound"); }
int WriteSoundAliasBf109e(const char* path, const char*) { return WriteAlias(path, "bf109e", "sound"); }
int WritePanelAlias(const char* path, const char* stockName) { return WriteAlias(path, stockName, "panel"); }
int WritePanelAliasSpitfire(const char* path, const char*) { return WriteAlias(path, "spitfire_mki", "panel"); }
int WritePanelAliasP47d(const char* path, const char*) { return WriteAlias(path, "p47d", "panel"); }
int WritePanelAliasBf109e(const char* path, const char*) { return WriteAlias(path, "bf109e", "panel"); }
