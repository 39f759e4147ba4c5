// Shared by the cli tests: scratch folders, fake Wine prefixes and running
// vantorel-cli as a player would.
#pragma once
#include <string>

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
struct ScratchDir {
    std::string path;
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
};

// Writes `bytes` to `path`, making the folders above it.
void WriteTextFile(const std::string& path, const std::string& bytes);

// The whole file; empty when it cannot be read.
std::string ReadTextFile(const std::string& path);

// The first lines of a system.reg as Wine writes them, with `arch` "win64"
// or "win32", followed by `body`.
std::string WineRegistry(const std::string& arch, const std::string& body);

// A key line "[...] timestamp" for a key given with single backslashes.
std::string WineKeyLine(const std::string& key);

#ifndef _WIN32
// Makes <root>/pfx as Wine lays a prefix out: system.reg holding `registry`,
// dosdevices/c: linking to drive_c. Returns the prefix path.
std::string MakeWinePrefix(const std::string& root, const std::string& registry);

// What one run of vantorel-cli printed and returned.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs "$VANTOREL_CLI <args>" through the shell with $WINEPREFIX unset and
// $HOME pointing nowhere. `setup` comes just before the program: variables
// for it ("WINEPREFIX=/x") or commands ending in ';'. `args` is shell text.
CliRun RunCli(const std::string& args, const std::string& setup = "");
#endif
