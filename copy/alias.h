// The one-entry sound.cfg and panel.cfg files that point a new aircraft at a
// stock aircraft's sound or panel folder instead of copying it:
//   [fltsim]<LF>alias=<target>\<kind><LF>
// Line ends are single LF bytes; the separator in the alias is always a
// backslash, on every platform, because the simulator reads it.
#pragma once
#include <cstddef>

class WriteSession;

// Puts the bytes of an alias file into out[0..cap), NUL-terminated; returns
// their length, or -1 when they do not fit. Recognising a copy compares
// against the same bytes the writer writes.
int FormatAliasConfig(char* out, std::size_t cap, const char* target, const char* kind);

// Writes the alias file `path` naming folder `target` (a stock folder name)
// and `kind` ("sound" or "panel"), below the folder of `session` when given.
// Returns 0 when written, -1 when it cannot be created or written.
int WriteAliasConfig(const char* path, const char* target, const char* kind, const WriteSession* session = nullptr);
