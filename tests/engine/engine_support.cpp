#include "engine_support.h"

#include "platform.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

//----------------------------------------------------------------------------
// The stock aircraft
//----------------------------------------------------------------------------

const StockAircraft kStockAircraft[19] = {
    {"P38", 3, 14, "p47d", "p38.dp p38.air", 3, "p38_n.mdl", "p38.bmp p38wing.bmp p38wing2.bmp"},
    {"P51d", 3, 18, "", "p51d.dp P51d.air P51d_check.cfg", 3, "P51d_n.mdl P51d_c.mdl",
     "P51_l_side.bmp P51_r_side.bmp P51_wing.bmp P51Tex1.bmp P51Tex2.bmp"},
    {"P47d", 3, 18, "", "p47d.dp p47d.air p47d_check.cfg", 3, "p47d_n.mdl p47d_c.mdl",
     "p47_1.bmp p47_2.bmp p47_w.bmp p47Tex1.bmp p47Tex2.bmp"},
    {"B17g", 3, 14, "p47d", "b17g.dp b17g.air", 3, "b17g_n.mdl", "b17_1.bmp b17wing.bmp b17wing2.bmp"},
    {"B24j", 3, 14, "p47d", "b24j.dp b24j.air", 3, "b24j_n.mdl", "b24j.bmp b24j_w1.bmp b24j_w2.bmp"},
    {"B25j", 3, 14, "p47d", "b25j.dp b25j.air", 3, "b25j_n.mdl", "b25j_1.bmp b25j_w1.bmp b25j_w2.bmp"},
    {"C47", 3, 13, "p47d", "c47.dp c47.air", 3, "c47_n.mdl", "c47.bmp c47_w.bmp"},
    {"Bf109e", 3, 18, "", "bf109e.dp bf109e.air bf109e_check.cfg", 4, "bf109e_n.mdl bf109e_c.mdl",
     "l_side.bmp>bf109l.bmp r_side.bmp>bf109r.bmp wing.bmp>bf1w.bmp bf109Tx1.bmp bf109Tx2.bmp"},
    {"Bf109g", 5, 17, "", "bf109g.dp bf109g.air bf109g_check.cfg", 3, "bf109g_n.mdl bf109g_c.mdl",
     "bf109g_1.bmp bf109g_w.bmp bf109tx1.bmp bf109tx2.bmp"},
    {"Fw190a", 5, 17, "", "fw190a.dp fw190a.air fw190a_check.cfg", 3, "fw190a_n.mdl fw190a_c.mdl",
     "Fw190_s.bmp Fw190_w.bmp Fw190tx1.bmp Fw190tx2.bmp"},
    {"Bf110", 5, 14, "bf109e", "bf110.dp bf110.air", 3, "bf110_n.mdl",
     "bf110_s1.bmp>bf110_side1.bmp bf110_s2.bmp>bf110_side2.bmp bf110_si.bmp>bf110_side.bmp"},
    {"Do17z2", 4, 13, "bf109e", "do17z2.dp do17z2.air", 3, "do17z2_n.mdl", "do17_1.bmp do17_2.bmp"},
    {"Ju87a", 5, 13, "bf109e", "ju87a.dp ju87a.air", 3, "ju87a_n.mdl", "ju87a_1.bmp ju87a_2.bmp"},
    {"Ju88a", 4, 13, "bf109e", "ju88a.dp ju88a.air", 3, "ju88a_n.mdl", "ju88_1.bmp ju88_2.bmp"},
    {"Mosquito", 4, 13, "spitfire_mki", "Mosquito.dp Mosquito.air", 3, "Mosquito_n.mdl", "mosq_1.bmp mosq_2.bmp"},
    {"Tempest", 4, 13, "spitfire_mki", "tempest.dp tempest.air", 3, "tempest_n.mdl", "temp1.bmp temp2.bmp"},
    {"He111h", 5, 13, "bf109e", "he111h.dp he111h.air", 3, "he111h_n.mdl", "he111_1.bmp he111_2.bmp"},
    {"Spitfire_MkI", 4, 19, "", "spitfire_mki.dp spitfire_mki.air spitfire_mki_check.cfg", 3,
     "spitfire_mki_n.mdl spitfire_mki_c.mdl",
     "spit_l_side.bmp spit_r_side.bmp spit_wings.bmp spit_wings_r.bmp spitTex1.bmp spitTex2.bmp"},
    {"Hurricane_I", 4, 18, "", "hurricane_i.dp hurricane_i.air hurricane_i_check.cfg", 5,
     "hurricane_i_n.mdl hurricane_i_c.mdl",
     "hurr_1.bmp hurr_2.bmp hurr_w.bmp hawkTex1.bmp>hurrTex1.bmp hawkTex2.bmp>hurrTex2.bmp"},
};

namespace {

void AddWords(std::vector<StockFile>& out, const char* words, int action) {
    std::istringstream in(words);
    std::string word;
    while (in >> word) {
        std::size_t arrow = word.find('>');
        if (arrow == std::string::npos)
            out.push_back({word, "", action});
        else
            out.push_back({word.substr(0, arrow), word.substr(arrow + 1), 1});
    }
}

int AliasAction(const std::string& target, int self) {
    if (target.empty()) return self;
    if (target == "spitfire_mki") return self + 1;
    if (target == "p47d") return self + 2;
    return self + 3;  // bf109e
}

} // namespace

std::vector<StockFile> StockFileList(const StockAircraft& a) {
    std::vector<StockFile> out{{"Aircraft.cfg", "", 7}};
    AddWords(out, a.topFiles, 0);
    out.push_back({"Model", "", 2});
    out.push_back({"Model.cfg", "", 6});
    AddWords(out, a.models, a.modelAction);
    out.push_back({"Texture", "", 2});
    AddWords(out, a.textures, 0);
    out.push_back({"Sound", "", 2});
    out.push_back({"sound.cfg", "", AliasAction(a.aliasTo, 8)});
    out.push_back({"Panel", "", 2});
    out.push_back({"panel.cfg", "", AliasAction(a.aliasTo, 12)});
    return out;
}

//----------------------------------------------------------------------------
// Reference model
//----------------------------------------------------------------------------

std::string RefNewFolder(const StockAircraft& a, const std::string& prefix) {
    std::string name = a.folder;
    std::size_t used = std::min<std::size_t>(a.stemLength, prefix.size());
    return prefix.substr(0, used) + name.substr(used);
}

std::string RefNewStem(const StockAircraft& a, const std::string& prefix) {
    return RefNewFolder(a, prefix).substr(0, a.stemLength);
}

std::string RefWithStem(const std::string& name, const std::string& newStem) {
    return newStem + name.substr(newStem.size());
}

namespace {

// ASCII letters match either case; every other byte, 0x80 and up included, only itself.
bool MatchesAt(const std::string& data, std::size_t at, const std::string& pattern) {
    for (std::size_t k = 0; k < pattern.size(); ++k) {
        char b = data[at + k], p = pattern[k];
        char other = (p >= 'A' && p <= 'Z') ? p - 'A' + 'a' : (p >= 'a' && p <= 'z') ? p - 'a' + 'A' : p;
        if (b != p && b != other) return false;
    }
    return true;
}

// One position-by-position pass, each position seeing earlier replacements.
void RefPass(std::string& data, const std::string& pattern, const std::string& replacement) {
    for (std::size_t i = 0; i + pattern.size() <= data.size(); ++i)
        if (MatchesAt(data, i, pattern)) data.replace(i, pattern.size(), replacement.substr(0, pattern.size()));
}

// After the first "title" (any case): "=" then the new stem, inside the data only.
void RefTitle(std::string& data, const std::string& newStem) {
    for (std::size_t i = 0; i + 5 <= data.size(); ++i) {
        if (!MatchesAt(data, i, "title")) continue;
        const std::string written = "=" + newStem;
        for (std::size_t k = 0; k < written.size() && i + 5 + k < data.size(); ++k) data[i + 5 + k] = written[k];
        return;
    }
}

} // namespace

std::string RefRewrite(int action, std::string data, const std::string& stem, const std::string& newStem) {
    switch (action) {
    case 3:
    case 6: RefPass(data, stem, newStem); break;
    case 4:
        for (auto [word, tail] : {std::pair<const char*, const char*>{"l_side", "09l"},
                                  {"r_side", "09r"}, {"wing", "w"}, {"Bf109", "09"}})
            RefPass(data, word, newStem + tail);
        break;
    case 5:
        RefPass(data, "hurr", newStem);
        RefPass(data, "hawk", newStem);
        break;
    case 7:
        RefPass(data, stem, newStem);
        RefTitle(data, newStem);
        break;
    default: break;
    }
    return data;
}

std::string RefAlias(const std::string& target, const std::string& kind) {
    return "[fltsim]\nalias=" + target + "\\" + kind + "\n";
}

//----------------------------------------------------------------------------
// Files
//----------------------------------------------------------------------------

TempDir::TempDir() {
    static int counter = 0;
    const auto stamp = std::chrono::system_clock::now().time_since_epoch().count();
    const fs::path p = fs::temp_directory_path() /
                       ("vantorel-engine-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(p);
    path_ = p.string();
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string JoinPath(std::initializer_list<std::string> parts) {
    std::string out;
    for (const std::string& part : parts) {
        if (!out.empty()) out += kPathSep;
        out += part;
    }
    return out;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteBytes(const std::string& path, const std::string& data) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out) throw std::runtime_error("cannot write test file " + path);
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        std::string rel = fs::relative(e.path(), root).generic_string();
        out[rel] = e.is_directory() ? "<dir>" : ReadBytes(e.path().string());
    }
    return out;
}

std::string FindIgnoringCase(const std::string& root, const std::string& relative) {
    auto lower = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    fs::path at = root;
    std::istringstream parts(relative);
    std::string part;
    while (std::getline(parts, part, '/')) {
        if (fs::exists(at / part)) {
            at /= part;
            continue;
        }
        bool found = false;
        for (const auto& e : fs::directory_iterator(at)) {
            if (lower(e.path().filename().string()) == lower(part)) {
                at = e.path();
                found = true;
                break;
            }
        }
        if (!found) return "";
    }
    return at.string();
}

void WriteStockAircraft(const std::string& aircraftDir, int index) {
    const StockAircraft& a = kStockAircraft[index];
    std::string stem = std::string(a.folder).substr(0, a.stemLength);
    std::string folder = JoinPath({aircraftDir, a.folder});
    fs::create_directories(folder);
    std::string sub;
    for (const StockFile& f : StockFileList(a)) {
        if (f.action == 2) {
            sub = f.name;
            fs::create_directories(JoinPath({folder, sub}));
            continue;
        }
        if (f.action >= 8) continue;  // the stock Sound and Panel hold the real sounds, not aliases
        std::string body = "[fltsim]\r\ntitle=" + std::string(a.folder) + "\r\n" + f.name + "\r\n" + stem +
                           " hurr hawk l_side r_side wing Bf109\x1a\x80\xff";
        WriteBytes(sub.empty() ? JoinPath({folder, f.name}) : JoinPath({folder, sub, f.name}), body);
    }
}

std::map<std::string, std::string> ExpectedCopy(const std::string& aircraftDir, int index, const std::string& prefix) {
    const StockAircraft& a = kStockAircraft[index];
    const std::string stem = std::string(a.folder).substr(0, a.stemLength);
    const std::string newStem = RefNewStem(a, prefix);
    std::map<std::string, std::string> out;
    std::string rel;  // current subfolder with a trailing '/'
    for (const StockFile& f : StockFileList(a)) {
        if (f.action == 2) {
            out[f.name] = "<dir>";
            rel = f.name + "/";
        } else if (f.action >= 8) {
            // The copy shares a stock aircraft's sounds and panel by name, never its own new name.
            const std::string target = *a.aliasTo ? a.aliasTo : a.folder;
            out[rel + f.name] = RefAlias(target, f.action < 12 ? "sound" : "panel");
        } else {
            const std::string source = FindIgnoringCase(aircraftDir, a.folder + ("/" + rel) + f.name);
            if (source.empty()) continue;
            const std::string dest = f.action == 6 || f.action == 7 ? f.name
                                     : f.action == 1              ? RefWithStem(f.altName, newStem)
                                                                  : RefWithStem(f.name, newStem);
            out[rel + dest] = RefRewrite(f.action, ReadBytes(source), stem, newStem);
        }
    }
    return out;
}

::testing::AssertionResult SameTree(const std::map<std::string, std::string>& want,
                                    const std::map<std::string, std::string>& got) {
    std::string faults;
    for (const auto& [path, bytes] : want) {
        auto it = got.find(path);
        if (it == got.end()) {
            faults += "\n  missing: " + path;
        } else if (it->second != bytes) {
            std::size_t at = 0;
            while (at < bytes.size() && at < it->second.size() && bytes[at] == it->second[at]) ++at;
            faults += "\n  wrong bytes in " + path + " from offset " + std::to_string(at) + " (size " +
                      std::to_string(it->second.size()) + ", expected " + std::to_string(bytes.size()) + ")";
        }
    }
    for (const auto& entry : got)
        if (!want.count(entry.first)) faults += "\n  unexpected: " + entry.first;
    if (faults.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << faults;
}
