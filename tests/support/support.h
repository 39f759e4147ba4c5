// Fixtures every test suite shares: scratch folders, whole-file reads and
// writes, snapshots of a folder tree, and a freshly generated demo
// simulator whose HOME is a scratch folder too.
#pragma once
#include "copy_aircraft.h"
#include "demo_sim.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

// `rel` ('/'-separated) below `base`, with the platform's separator (the engine's kPathSep).
inline std::string Path(const std::string& base, const std::string& rel) {
    return (std::filesystem::path(base) / std::filesystem::path(rel).make_preferred()).string();
}

// A fresh folder under the system's temporary folder, removed with the object.
struct TempDir {
    TempDir() { std::filesystem::create_directories(path); }
    ~TempDir() { std::error_code ec; std::filesystem::remove_all(path, ec); }
    inline static int counter = 0;
    std::string path = (std::filesystem::temp_directory_path() / ("vantorel-engine-" + std::to_string(counter++) + "-" +
                        std::to_string(std::chrono::system_clock::now().time_since_epoch().count()))).string();
};

// Whole file as bytes, or "<missing>".
inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

// Writes `data`, creating parent folders.
inline void WriteBytes(const std::string& path, const std::string& data) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << data;
}

// Path -> bytes ("<dir>" for folders) of everything below `root`.
using Tree = std::map<std::string, std::string>;
inline Tree Snapshot(const std::string& root) {
    Tree out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
        out[e.path().string()] = e.is_directory() ? "<dir>" : ReadBytes(e.path().string());
    return out;
}

// Success when equal; otherwise the paths missing, unexpected or with other bytes.
inline ::testing::AssertionResult SameTree(const Tree& want, const Tree& got) {
    std::string faults;
    for (const auto& [path, bytes] : want)
        if (!got.count(path) || got.at(path) != bytes) faults += "\n  missing or wrong bytes: " + path;
    for (const auto& entry : got)
        if (!want.count(entry.first)) faults += "\n  unexpected: " + entry.first;
    return faults.empty() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << faults;
}

// ---- A demo simulator ----

// A freshly generated simulator, and HOME and XDG_DATA_HOME in a temporary
// folder so no test can reach the real trash.
class DemoSim : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(WriteDemoSimulator(sim.path.c_str()), 0);
#ifndef _WIN32
        setenv("HOME", home.path.c_str(), 1);
        setenv("XDG_DATA_HOME", Path(home.path, "data").c_str(), 1);
#endif
    }
    // Copies stock aircraft `index` with `prefix`; returns the new folder's path.
    std::string Copy(int index, const char* prefix) {
        EXPECT_EQ(CopyAircraft(aircraft.c_str(), prefix, index), CopyOk);
        CopyNames names;
        DeriveCopyNames(index, prefix, &names);
        return Path(aircraft, names.newFolder);
    }
    TempDir sim, home;
    std::string aircraft = Path(sim.path, "Aircraft");
};
