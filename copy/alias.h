// Writers of the one-entry sound.cfg and panel.cfg files that point a new
// aircraft at a stock aircraft's sound or panel folder instead of copying it:
//   [fltsim]<LF>alias=<target><LF>
// Line ends are single LF bytes; the separator in the target is always a
// backslash, on every platform, because the simulator reads it.
//
// Each takes the path of the file to write and the stock folder name; only
// WriteSoundAlias and WritePanelAlias use the name, the others have a fixed
// target. Returns 0 when written, -1 when it cannot be created or written.
#pragma once

int WriteSoundAlias(const char* path, const char* stockName);
int WriteSoundAliasSpitfire(const char* path, const char* stockName);
int WriteSoundAliasP47d(const char* path, const char* stockName);
int WriteSoundAliasBf109e(const char* path, const char* stockName);
int WritePanelAlias(const char* path, const char* stockName);
int WritePanelAliasSpitfire(const char* path, const char* stockName);
int WritePanelAliasP47d(const char* path, const char* stockName);
int WritePanelAliasBf109e(const char* path, const char* stockName);

