// Shared by the engine tests: our own transcription of the stock aircraft,
// a small reference model of the byte substitutions, and file helpers.
//
// Expectations are computed here with std::string from first principles,
// never by calling the engine, so a fault in the engine cannot hide itself.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

//----------------------------------------------------------------------------
// The stock aircraft, as the simulator ships them
//----------------------------------------------------------------------------

// One aircraft, written the way the simulator's own file lists read.
// Name lists are separated by blanks; "a>b" is a texture read as a and
// written under b with the new stem.
struct StockAircraft {
    const char* folder;
    int stemLength;
    int entries;            // entries before the zero row
    const char* aliasTo;    // "" when sound and panel point at the aircraft itself
    const char* topFiles;
    int modelAction;
    const char* models;
    const char* textures;
};
extern const StockAircraft kStockAircraft[19];

struct StockFile {
    std::string name;
    std::string altName;  // empty unless the destination name is made from another name
    int action;
};

// The whole file list of `a` in processing order, without the zero row.
std::vector<StockFile> StockFileList(const StockAircraft& a);

//----------------------------------------------------------------------------
// Reference model of names and substitutions
//----------------------------------------------------------------------------

// The stem with its first min(stem length, prefix length) characters from the prefix.
std::string RefNewStem(const StockAircraft& a, const std::string& prefix);
// The folder name with the same characters from the prefix.
std::string RefNewFolder(const StockAircraft& a, const std::string& prefix);
// `name` with its first characters replaced by the whole of `newStem`.
std::string RefWithStem(const std::string& name, const std::string& newStem);

// What a destination should hold for a file-list action applied to `data`.
std::string RefRewrite(int action, std::string data, const std::string& stem, const std::string& newStem);
// A sound.cfg or panel.cfg pointing at `target` ("sound"/"panel" as kind).
std::string RefAlias(const std::string& target, const std::string& kind);

//----------------------------------------------------------------------------
// Files
//----------------------------------------------------------------------------

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The folder as the engine takes it: native separators, no trailing one.
    const std::string& str() const { return path_; }
private:
    std::string path_;
};

// `a` kPathSep `b` ...: paths built the way the engine builds them.
std::string JoinPath(std::initializer_list<std::string> parts);

// Whole file as bytes; "<missing>" is never a valid result, so tests check existence separately.
std::string ReadBytes(const std::string& path);
// Writes `data`, creating parent folders.
void WriteBytes(const std::string& path, const std::string& data);
bool Exists(const std::string& path);

// Every file and folder below `root`, by relative path with '/' separators;
// folders map to "<dir>". Letter case is kept as on disk.
std::map<std::string, std::string> Snapshot(const std::string& root);

// `relative` ('/'-separated) below `root`, each component matched without
// regard to letter case as the simulator's Windows sees it; empty when absent.
std::string FindIgnoringCase(const std::string& root, const std::string& relative);

// What the new folder of aircraft `index` copied with `prefix` must hold, by
// relative path as Snapshot gives it, computed from the stock files found
// below `aircraftDir`. A stock file that is missing leaves its entry out.
std::map<std::string, std::string> ExpectedCopy(const std::string& aircraftDir, int index, const std::string& prefix);

// Success when both trees are equal; otherwise lists what is missing, extra
// or different (with the first differing offset), in product terms.
::testing::AssertionResult SameTree(const std::map<std::string, std::string>& want,
                                    const std::map<std::string, std::string>& got);

// Writes every stock file of aircraft `index` with small distinct contents
// that contain the stem, a title line and the Bf109e/Hurricane words.
void WriteStockAircraft(const std::string& aircraftDir, int index);
