// Shared by the engine tests: our own transcription of the stock aircraft, a
// small reference model of the byte substitutions, file helpers and a demo
// simulator fixture.
//
// Expectations are computed here with std::string from first principles,
// never by calling the engine, so a fault in the engine cannot hide itself.
#pragma once
#include "catalogue.h"
#include "copy_aircraft.h"
#include "platform.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>
#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

// One stock aircraft, written the way the simulator's own file lists read.
// Name lists are separated by blanks; "a>b" is a texture read as a and
// written under b with the new stem. aliasTo is "" when sound and panel point
// at the aircraft itself.
struct StockAircraft {
    const char* folder;
    int stemLength;
    const char *aliasTo, *topFiles, *models, *textures;
};
inline const StockAircraft kStockAircraft[19] = {
    {"P38", 3, "p47d", "p38.dp p38.air", "p38_n.mdl", "p38.bmp p38wing.bmp p38wing2.bmp"},
    {"P51d", 3, "", "p51d.dp P51d.air P51d_check.cfg", "P51d_n.mdl P51d_c.mdl",
     "P51_l_side.bmp P51_r_side.bmp P51_wing.bmp P51Tex1.bmp P51Tex2.bmp"},
    {"P47d", 3, "", "p47d.dp p47d.air p47d_check.cfg", "p47d_n.mdl p47d_c.mdl",
     "p47_1.bmp p47_2.bmp p47_w.bmp p47Tex1.bmp p47Tex2.bmp"},
    {"B17g", 3, "p47d", "b17g.dp b17g.air", "b17g_n.mdl", "b17_1.bmp b17wing.bmp b17wing2.bmp"},
    {"B24j", 3, "p47d", "b24j.dp b24j.air", "b24j_n.mdl", "b24j.bmp b24j_w1.bmp b24j_w2.bmp"},
    {"B25j", 3, "p47d", "b25j.dp b25j.air", "b25j_n.mdl", "b25j_1.bmp b25j_w1.bmp b25j_w2.bmp"},
    {"C47", 3, "p47d", "c47.dp c47.air", "c47_n.mdl", "c47.bmp c47_w.bmp"},
    {"Bf109e", 3, "", "bf109e.dp bf109e.air bf109e_check.cfg", "bf109e_n.mdl bf109e_c.mdl",
     "l_side.bmp>bf109l.bmp r_side.bmp>bf109r.bmp wing.bmp>bf1w.bmp bf109Tx1.bmp bf109Tx2.bmp"},
    {"Bf109g", 5, "", "bf109g.dp bf109g.air bf109g_check.cfg", "bf109g_n.mdl bf109g_c.mdl",
     "bf109g_1.bmp bf109g_w.bmp bf109tx1.bmp bf109tx2.bmp"},
    {"Fw190a", 5, "", "fw190a.dp fw190a.air fw190a_check.cfg", "fw190a_n.mdl fw190a_c.mdl",
     "Fw190_s.bmp Fw190_w.bmp Fw190tx1.bmp Fw190tx2.bmp"},
    {"Bf110", 5, "bf109e", "bf110.dp bf110.air", "bf110_n.mdl",
     "bf110_s1.bmp>bf110_side1.bmp bf110_s2.bmp>bf110_side2.bmp bf110_si.bmp>bf110_side.bmp"},
    {"Do17z2", 4, "bf109e", "do17z2.dp do17z2.air", "do17z2_n.mdl", "do17_1.bmp do17_2.bmp"},
    {"Ju87a", 5, "bf109e", "ju87a.dp ju87a.air", "ju87a_n.mdl", "ju87a_1.bmp ju87a_2.bmp"},
    {"Ju88a", 4, "bf109e", "ju88a.dp ju88a.air", "ju88a_n.mdl", "ju88_1.bmp ju88_2.bmp"},
    {"Mosquito", 4, "spitfire_mki", "Mosquito.dp Mosquito.air", "Mosquito_n.mdl", "mosq_1.bmp mosq_2.bmp"},
    {"Tempest", 4, "spitfire_mki", "tempest.dp tempest.air", "tempest_n.mdl", "temp1.bmp temp2.bmp"},
    {"He111h", 5, "bf109e", "he111h.dp he111h.air", "he111h_n.mdl", "he111_1.bmp he111_2.bmp"},
    {"Spitfire_MkI", 4, "", "spitfire_mki.dp spitfire_mki.air spitfire_mki_check.cfg",
     "spitfire_mki_n.mdl spitfire_mki_c.mdl",
     "spit_l_side.bmp spit_r_side.bmp spit_wings.bmp spit_wings_r.bmp spitTex1.bmp spitTex2.bmp"},
    {"Hurricane_I", 4, "", "hurricane_i.dp hurricane_i.air hurricane_i_check.cfg",
     "hurricane_i_n.mdl hurricane_i_c.mdl",
     "hurr_1.bmp hurr_2.bmp hurr_w.bmp hawkTex1.bmp>hurrTex1.bmp hawkTex2.bmp>hurrTex2.bmp"},
};

#ifndef _WIN32
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
    case FileAction::RewriteStem: RefPass(data, stem, newStem); break;
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
    const StockAircraft& a = kStockAircraft[index];
    const std::string name = a.folder, stem = name.substr(0, a.stemLength);
    const std::size_t used = std::min<std::size_t>(a.stemLength, prefix.size());
    const std::string newFolder = prefix.substr(0, used) + name.substr(used);
    const std::string newStem = newFolder.substr(0, a.stemLength);
    const std::string stock = Path(aircraftDir, name), copy = Path(aircraftDir, newFolder);
    std::vector<std::pair<std::string, std::string>> out;
    std::string sub;  // current subfolder with a trailing '/'
    auto folder = [&](const std::string& folderName) {
        sub = folderName + "/";
        out.push_back({Path(copy, folderName), "<dir>"});
    };
    // Renamed files keep every character after the stem; Aircraft.cfg and Model.cfg keep their whole names.
    auto files = [&](const char* names, FileAction action, bool renamed = true) {
        std::istringstream in(names);
        for (std::string word; in >> word;) {
            const std::size_t arrow = word.find('>');
            const std::string destName = arrow == std::string::npos ? word : word.substr(arrow + 1);
            const std::string bytes = ReadBytes(Path(stock, sub + word.substr(0, arrow)));
            out.push_back({Path(copy, sub + (renamed ? newStem + destName.substr(newStem.size()) : destName)),
                           bytes == "<missing>" ? bytes : RefRewrite(action, bytes, stem, newStem)});
        }
    };
    // The copy shares a stock aircraft's sounds and panel by that aircraft's name, never its own new one.
    auto alias = [&](const char* folderName, const std::string& kind) {
        folder(folderName);
        out.push_back({Path(copy, sub + kind + ".cfg"),
                       "[fltsim]\nalias=" + (*a.aliasTo ? a.aliasTo : name) + "\\" + kind + "\n"});
    };
    files("Aircraft.cfg", FileAction::RewriteAircraftCfg, false);
    files(a.topFiles, FileAction::CopyNewStem);
    folder("Model");
    files("Model.cfg", FileAction::RewriteStem, false);
    files(a.models, name == "Bf109e"        ? FileAction::RewriteBf109eModel
                    : name == "Hurricane_I" ? FileAction::RewriteHurricaneModel
                                            : FileAction::RewriteStem);
    folder("Texture");
    files(a.textures, FileAction::CopyNewStem);
    alias("Sound", "sound");
    alias("Panel", "panel");
    return out;
}

