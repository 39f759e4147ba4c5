// Shared by the engine tests: a small reference model of the byte
// substitutions and the names a copy gets, and a file-size limit.
//
// Expectations are computed here with std::string from first principles
// (only the catalogue's file lists are taken as given), never by calling the
// engine, so a fault in the engine cannot hide itself.
#pragma once
#include "catalogue.h"
#include "copy_aircraft.h"
#include "platform.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>
#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#ifndef _WIN32
// Runs `op` in a child process and returns what it returned (plain data), or
// `failed` when the child did not report within 10 seconds: an operation that
// hangs fails the test, not the run.
template <class T, class F> T InChild(F op, T failed) {
    int fds[2];
    if (pipe(fds) != 0) return failed;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        alarm(10);
        const T r = op();
        _exit(write(fds[1], &r, sizeof r) == sizeof r ? 0 : 1);
    }
    close(fds[1]);
    T r = failed;
    if (read(fds[0], &r, sizeof r) != sizeof r) r = failed;
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return r;
}

// While it lives, no file can grow past `bytes`: a write cut short as on a full disk.
struct FileSizeLimit {
    rlimit saved{};
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);  // a short write, not the end of the test program
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limit{std::min<rlim_t>(bytes, saved.rlim_cur), saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};
#endif

// ---- Reference model ----

// ASCII letters match either case; every other byte, 0x80 and up included, only itself.
inline bool MatchesAt(const std::string& data, std::size_t at, const std::string& pattern) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t k = 0; k < pattern.size(); ++k)
        if (lower(data[at + k]) != lower(pattern[k])) return false;
    return true;
}

// One position-by-position pass, each position seeing earlier replacements.
inline void RefPass(std::string& data, const std::string& pattern, const std::string& replacement) {
    for (std::size_t i = 0; i + pattern.size() <= data.size(); ++i)
        if (MatchesAt(data, i, pattern)) data.replace(i, pattern.size(), replacement.substr(0, pattern.size()));
}

// What a destination holds after the file-list action `action` is applied to `data`.
inline std::string RefRewrite(FileAction action, std::string data, const std::string& stem, const std::string& newStem) {
    switch (action) {
    case FileAction::RewriteStem:
    case FileAction::RewriteStemNewName: RefPass(data, stem, newStem); break;
    case FileAction::RewriteBf109eModel:
        for (auto [word, tail] : {std::pair<const char*, const char*>{"l_side", "09l"},
                                  {"r_side", "09r"}, {"wing", "w"}, {"Bf109", "09"}})
            RefPass(data, word, newStem + tail);
        break;
    case FileAction::RewriteHurricaneModel:
        RefPass(data, "hurr", newStem);
        RefPass(data, "hawk", newStem);
        break;
    case FileAction::RewriteAircraftCfg: {
        RefPass(data, stem, newStem);
        // After the first "title" (any case): "=" then the new stem, inside
        // the data and the title's line only.
        for (std::size_t i = 0; i + 5 <= data.size(); ++i) {
            if (!MatchesAt(data, i, "title")) continue;
            const std::string value = "=" + newStem;
            for (std::size_t k = 0, at = i + 5; k < value.size() && at + k < data.size(); ++k) {
                if (data[at + k] == '\r' || data[at + k] == '\n') break;
                data[at + k] = value[k];
            }
            break;
        }
        break;
    }
    default: break;
    }
    return data;
}

// Destination -> bytes of every entry of aircraft `index` copied with `prefix`
// below `aircraftDir`, in list order, from the stock files found there now:
// "<dir>" for a folder, "<missing>" when the stock file is absent.
inline auto ExpectedCopy(const std::string& aircraftDir, int index, const std::string& prefix) {
    const AircraftEntry& a = GetAircraftEntry(index);
    const std::string name = a.name, stem = name.substr(0, a.StemLength);
    const std::size_t used = std::min<std::size_t>(a.StemLength, prefix.size());
    const std::string newFolder = prefix.substr(0, used) + name.substr(used), newStem = newFolder.substr(0, stem.size());
    const std::string stock = Path(aircraftDir, name), copy = Path(aircraftDir, newFolder);
    std::vector<std::pair<std::string, std::string>> out;
    std::string sub;  // current subfolder with a trailing '/'
    for (const FileEntry* e = a.files; e->name; ++e) {
        const std::string file = e->name, dest = e->altName ? e->altName : e->name;
        if (e->action == FileAction::MakeFolder) {
            sub = file + "/";
            out.push_back({Path(copy, file), "<dir>"});
        } else if (e->action == FileAction::SoundAlias || e->action == FileAction::PanelAlias) {
            out.push_back({Path(copy, sub + file), "[fltsim]\nalias=" + std::string(a.aliasTarget) + "\\" +
                                                        file.substr(0, 5) + "\n"});
        } else {
            // Renamed files keep every character after the stem; Aircraft.cfg and Model.cfg keep their whole names.
            const bool renamed = e->action != FileAction::RewriteAircraftCfg && e->action != FileAction::RewriteStem;
            const std::string bytes = ReadBytes(Path(stock, sub + file));
            out.push_back({Path(copy, sub + (renamed ? newStem + dest.substr(stem.size()) : dest)),
                           bytes == "<missing>" ? bytes : RefRewrite(e->action, bytes, stem, newStem)});
        }
    }
    return out;
}
