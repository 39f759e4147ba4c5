#include "alias.h"

#include "file_ops.h"

#include <cerrno>
#include <cstdio>

int FormatAliasConfig(char* out, std::size_t cap, const char* target, const char* kind) {
    int n = std::snprintf(out, cap, "[fltsim]\nalias=%s\\%s\n", target, kind);
    return n >= 0 && static_cast<std::size_t>(n) < cap ? n : -1;
}

int WriteAliasConfig(const char* path, const char* target, const char* kind, const WriteSession* session) {
    char bytes[128];
    int length = FormatAliasConfig(bytes, sizeof bytes, target, kind);
    if (length < 0) return -1;
    const int error = WriteNewFile(path, bytes, static_cast<std::size_t>(length), session);
    errno = error;
    return error ? -1 : 0;
}
