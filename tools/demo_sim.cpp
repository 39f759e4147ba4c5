// The demo simulator: a stand-in Combat Flight Simulator Aircraft folder.
//
// Sections:
//   1. Deterministic randomness (the output must be the same on every machine)
//   2. Per-aircraft facts the catalogue does not hold (titles, model sizes)
//   3. File contents: configs, models, textures, flight and damage files
//   4. The walk of the catalogue
//
// The catalogue is the only source of names: every stock folder and every
// listed file is made from its rows, so the demo cannot drift from it.

#include "demo_sim.h"

#include "catalogue.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------------
// 1. Deterministic randomness
// ---------------------------------------------------------------------------

// SplitMix64, seeded from the file's path: the standard library's engines and
// distributions differ between implementations (MinGW vs glibc), this does not.
class Random {
public:
    explicit Random(const std::string& seed) {
        state_ = 1469598103934665603ull;  // FNV-1a of the seed text
        for (unsigned char c : seed) state_ = (state_ ^ c) * 1099511628211ull;
    }
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0..n-1 (n > 0); the slight modulo bias does not matter here.
    unsigned Below(unsigned n) { return static_cast<unsigned>(Next() % n); }

private:
    std::uint64_t state_;
};

// ---------------------------------------------------------------------------
// 2. Per-aircraft facts
// ---------------------------------------------------------------------------

struct AircraftFacts {
    const char* name;       // catalogue folder name
    const char* title;      // the title= value of Aircraft.cfg
    unsigned normalModel;   // size of the <stem>_n.mdl model in bytes
};

// Sizes are in the range of the real models. Several exceed the 250,000-byte
// FileBuffer (the engine's big-file path), He111h sits exactly on it.
const AircraftFacts kFacts[] = {
    {"P38", "P-38J Lightning", 163417},
    {"P51d", "P-51D Mustang", 281339},
    {"P47d", "P-47D Thunderbolt", 176203},
    {"B17g", "B-17G Flying Fortress", 412871},
    {"B24j", "B-24J Liberator", 334109},
    {"B25j", "B-25J Mitchell", 268455},
    {"C47", "C-47 Skytrain", 197731},
    {"Bf109e", "Messerschmitt Bf 109E-4", 143967},
    {"Bf109g", "Messerschmitt Bf 109G-6", 151322},
    {"Fw190a", "Focke-Wulf Fw 190A-8", 166089},
    {"Bf110", "Messerschmitt Bf 110C", 214556},
    {"Do17z2", "Dornier Do 17Z-2", 229871},
    {"Ju87a", "Ju87a Stuka", 138244},
    {"Ju88a", "Junkers Ju 88A-4", 241930},
    {"Mosquito", "Mosquito FB Mk VI", 203318},
    {"Tempest", "Tempest Mk V", 152790},
    {"He111h", "Heinkel He 111H-6", 250000},
    {"Spitfire_MkI", "Supermarine Spitfire Mk I", 181426},
    {"Hurricane_I", "Hawker Hurricane Mk I", 172608},
};

const AircraftFacts& FactsFor(const char* name) {
    for (const AircraftFacts& f : kFacts)
        if (std::strcmp(f.name, name) == 0) return f;
    static const AircraftFacts fallback = {"", "Stock aircraft", 120000};
    return fallback;
}

// ---------------------------------------------------------------------------
// 3. File contents
// ---------------------------------------------------------------------------

bool EndsWith(const std::string& s, const char* tail) {
    std::size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

std::string StripExtension(const std::string& s) { return s.substr(0, s.find_last_of('.')); }

std::string Lower(std::string s) {
    for (char& c : s) if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string Upper(std::string s) {
    for (char& c : s) if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The simulator's text files use CR LF; `lines` uses \n, turned into CR LF here.
std::string Crlf(const std::string& lines) {
    std::string out;
    for (char c : lines) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

void PutLE(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Files of one aircraft in list order, by kind.
struct AircraftFiles {
    std::vector<std::string> models;    // .mdl names
    std::vector<std::string> textures;  // .bmp names as the stock folder holds them
};

AircraftFiles ListFiles(const AircraftEntry& a) {
    AircraftFiles f;
    for (const FileEntry* e = a.files; e->name; ++e) {
        std::string name = e->name;
        if (EndsWith(Lower(name), ".mdl")) f.models.push_back(name);
        if (EndsWith(Lower(name), ".bmp")) f.textures.push_back(name);
    }
    return f;
}

std::string AircraftCfg(const AircraftEntry& a) {
    const AircraftFacts& facts = FactsFor(a.name);
    std::string sim = Lower(a.name);
    return Crlf(
        "[fltsim]\n"
        "title=" + std::string(facts.title) + "\n"
        "sim=" + sim + "\n"
        "model=\n"
        "panel=\n"
        "sound=\n"
        "texture=\n"
        "ui_variation=Standard\n"
        "\n"
        "[fltsim.1]\n"
        "title=" + std::string(facts.title) + " (alternate markings)\n"
        "sim=" + sim + "\n"
        "model=\n"
        "texture=alt\n"
        "\n"
        "[General]\n"
        "atc_type=" + std::string(a.name) + "\n"
        "editable=1\n"
        "performance=\"Stand-in description of the " + std::string(facts.title) + ".\"\n");
}

std::string ModelCfg(const AircraftFiles& f) {
    std::string text = "[models]\n";
    for (const std::string& m : f.models) {
        std::string stem = Lower(StripExtension(m));
        text += (EndsWith(Lower(stem), "_c") ? "crash=" : "normal=") + stem + "\n";
    }
    return Crlf(text);
}

std::string CheckCfg(const AircraftEntry& a) {
    const AircraftFacts& facts = FactsFor(a.name);
    return Crlf("[Checklist]\n"
                "title=" + std::string(facts.title) + " checklist\n"
                "\n"
                "[Before Takeoff]\n"
                "line00=Fuel selector ........ FULLEST TANK\n"
                "line01=Mixture .............. RICH\n"
                "line02=Flaps ................ UP\n"
                "line03=Trim ................. SET\n"
                "\n"
                "[Landing]\n"
                "line00=Gear ................. DOWN\n"
                "line01=Flaps ................ FULL\n");
}

// The sounds of a stock Sound folder: sound.cfg section, file name suffix,
// length in samples (11,025 per second).
struct SoundFile {
    const char* section;
    const char* suffix;
    unsigned samples;
};
const SoundFile kSounds[] = {
    {"ENGINE_PRIMARY", "_eng", 4410},
    {"ENGINE_START", "_start", 3300},
    {"GUNS", "_gun", 2205},
};

std::string SoundCfg(const AircraftEntry& a) {
    std::string text;
    for (const SoundFile& f : kSounds)
        text += "[" + std::string(f.section) + "]\nfilename=" + Lower(a.name) + f.suffix + "\nflags=1\n\n";
    return Crlf(text);
}

std::string PanelCfg(const AircraftEntry& a) {
    std::string s = Lower(a.name);
    return Crlf("[Window Titles]\n"
                "Window00=Main Panel\n"
                "Window01=Gunsight\n"
                "\n"
                "[Window00]\n"
                "file=" + s + "_panel.bmp\n"
                "size_mm=640,480\n"
                "position=7\n"
                "visible=1\n"
                "gauge00=cfs!airspeed, 40,320,80,80\n"
                "gauge01=cfs!altimeter, 130,320,80,80\n"
                "\n"
                "[Window01]\n"
                "file=gunsight.bmp\n"
                "visible=0\n");
}

// A model: bytes from 0x80 up with 0x1A, CR LF and other control bytes, and
// zero-terminated names in mixed letter case, the way real .mdl files carry
// their texture and aircraft names. The filler holds no ASCII letters, so the
// only matches a rewriter finds are the names placed here.
std::string Model(const AircraftEntry& a, const std::string& fileName, std::size_t size) {
    Random rng(std::string(a.name) + "/" + fileName);
    AircraftFiles files = ListFiles(a);
    std::vector<std::string> words;
    for (const std::string& t : files.textures) words.push_back(t);
    words.push_back(a.name);
    words.push_back(FactsFor(a.name).title);
    if (std::strcmp(a.name, "Bf109e") == 0)
        for (const char* w : {"l_side", "R_SIDE", "wing", "Bf109", "BF109E_WING"}) words.push_back(w);
    if (std::strcmp(a.name, "Hurricane_I") == 0)
        for (const char* w : {"hurr", "Hawk", "Hurricane", "HURRICANE_I", "hawkTex"}) words.push_back(w);

    std::string out;
    out.reserve(size + 64);
    std::size_t next = 0;
    while (out.size() < size) {
        unsigned filler = 200 + rng.Below(2800);
        for (unsigned i = 0; i < filler; ++i) {
            unsigned r = rng.Below(100);
            if (r < 80) out += static_cast<char>(0x80 + rng.Below(128));
            else if (r < 86) out += '\x1A';
            else if (r < 92) out += "\r\n";
            else out += static_cast<char>(rng.Below(0x20));  // 0x00..0x1F
        }
        // The first round writes every word as it is, so each stands in the
        // file at least once verbatim; later rounds vary the letter case.
        const bool firstRound = next < words.size();
        const std::string& w = words[next++ % words.size()];
        switch (firstRound ? 0 : rng.Below(4)) {
            case 0: out += w; break;
            case 1: out += Upper(w); break;
            case 2: out += Lower(w); break;
            default: {  // mixed: every other letter upper case
                std::string m = Lower(w);
                for (std::size_t i = 0; i < m.size(); i += 2) m[i] = Upper(m.substr(i, 1))[0];
                out += m;
            }
        }
        out += '\0';
    }
    out.resize(size);
    // The aircraft's name across the 250,000-byte mark of a large model, so a
    // match that straddles the shared buffer's capacity is exercised.
    if (size > 250000 + 16) {
        std::string n = a.name;
        out.replace(250000 - 2, n.size(), n);
    }
    return out;
}

// An 8-bit paletted BMP: BITMAPFILEHEADER, BITMAPINFOHEADER, 256 palette
// entries, then bottom-up rows (width a multiple of 4, so no row padding).
std::string Bitmap(const std::string& seed, int side) {
    Random rng(seed);
    const std::uint32_t pixels = static_cast<std::uint32_t>(side * side);
    const std::uint32_t offset = 14 + 40 + 256 * 4;
    std::string out;
    out += "BM";
    PutLE(out, offset + pixels, 4);
    PutLE(out, 0, 4);
    PutLE(out, offset, 4);
    PutLE(out, 40, 4);              // biSize
    PutLE(out, static_cast<std::uint32_t>(side), 4);
    PutLE(out, static_cast<std::uint32_t>(side), 4);
    PutLE(out, 1, 2);               // planes
    PutLE(out, 8, 2);               // bits per pixel
    PutLE(out, 0, 4);               // BI_RGB
    PutLE(out, pixels, 4);
    PutLE(out, 2835, 4);            // 72 dpi
    PutLE(out, 2835, 4);
    PutLE(out, 256, 4);
    PutLE(out, 0, 4);
    unsigned base = rng.Below(3);  // camouflage tint: green, grey or brown
    for (int i = 0; i < 256; ++i) {
        unsigned v = static_cast<unsigned>(i);
        unsigned rgb[3] = {v * 3 / 4, v * 3 / 4, v * 3 / 4};
        rgb[base] = v;
        out += static_cast<char>(rgb[2]);  // blue, green, red, reserved
        out += static_cast<char>(rgb[1]);
        out += static_cast<char>(rgb[0]);
        out += '\0';
    }
    unsigned phase = rng.Below(64);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            unsigned panel = ((x / 16 + y / 16) & 1) ? 40u : 0u;  // panel lines
            out += static_cast<char>((x * 3 + y * 2 + phase + panel + rng.Below(12)) & 0xFF);
        }
    return out;
}

// A short 8-bit mono PCM WAV (RIFF, "fmt ", "data"): a tone with noise.
std::string Wave(const std::string& seed, std::uint32_t samples) {
    Random rng(seed);
    std::string out = "RIFF";
    PutLE(out, 36 + samples, 4);
    out += "WAVEfmt ";
    PutLE(out, 16, 4);       // fmt chunk size
    PutLE(out, 1, 2);        // PCM
    PutLE(out, 1, 2);        // mono
    PutLE(out, 11025, 4);    // samples per second
    PutLE(out, 11025, 4);    // bytes per second
    PutLE(out, 1, 2);        // block align
    PutLE(out, 8, 2);        // bits per sample
    out += "data";
    PutLE(out, samples, 4);
    const unsigned period = 20 + rng.Below(60);
    for (std::uint32_t i = 0; i < samples; ++i) {
        unsigned phase = i % period;
        unsigned saw = phase * 96 / period;  // unsigned 8-bit samples centre on 128
        out += static_cast<char>(80 + saw + rng.Below(16));
    }
    return out;
}

// Flight model (.air) and damage profile (.dp): binary records, opaque to the
// copy (a plain byte copy), with the aircraft's name in the .air header.
std::string Binary(const AircraftEntry& a, const std::string& fileName, std::size_t size, bool named) {
    Random rng(std::string(a.name) + "/" + fileName);
    std::string out;
    if (named) {
        out += "RIFF";
        PutLE(out, static_cast<std::uint32_t>(size - 8), 4);
        out += a.name;
        out += '\0';
    }
    while (out.size() < size) {
        PutLE(out, rng.Below(0x10000), 2);                  // record id
        PutLE(out, static_cast<std::uint32_t>(rng.Next()), 4);  // value
    }
    out.resize(size);
    return out;
}

std::size_t TextureSide(const std::string& seed) {
    static const int kSides[] = {64, 128, 128, 256};
    return static_cast<std::size_t>(kSides[Random(seed).Below(4)]);
}

// What a stock file holds, from its name and action.
std::string Contents(const AircraftEntry& a, const FileEntry& e) {
    std::string name = e.name;
    std::string lower = Lower(name);
    std::string seed = std::string(a.name) + "/" + name;
    switch (e.action) {
        case FileAction::RewriteAircraftCfg: return AircraftCfg(a);
        case FileAction::RewriteStem: return ModelCfg(ListFiles(a));
        case FileAction::SoundAlias: return SoundCfg(a);
        case FileAction::PanelAlias: return PanelCfg(a);
        default: break;
    }
    if (EndsWith(lower, ".mdl")) {
        std::size_t size = FactsFor(a.name).normalModel;
        if (EndsWith(lower, "_c.mdl")) size = size * 2 / 5 + 1031;  // crash models are smaller
        return Model(a, name, size);
    }
    if (EndsWith(lower, ".bmp")) return Bitmap(seed, static_cast<int>(TextureSide(seed)));
    if (EndsWith(lower, ".cfg")) return CheckCfg(a);
    if (EndsWith(lower, ".air")) return Binary(a, name, 3000 + Random(seed).Below(9000), true);
    return Binary(a, name, 800 + Random(seed).Below(2400), false);  // .dp and anything else
}

// ---------------------------------------------------------------------------
// 4. The walk
// ---------------------------------------------------------------------------

bool WriteFile(const fs::path& path, const std::string& data) {
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

bool WriteAircraft(const fs::path& aircraftDir, const AircraftEntry& a) {
    std::error_code ec;
    fs::path folder = aircraftDir / a.name;
    fs::create_directories(folder, ec);
    if (ec) return false;
    fs::path current = folder;
    for (const FileEntry* e = a.files; e->name; ++e) {
        if (e->action == FileAction::MakeFolder) {
            current = folder / e->name;
            fs::create_directories(current, ec);
            if (ec) return false;
            continue;
        }
        // sound.cfg and panel.cfg are alias files in a copy; the stock
        // aircraft has real ones in its own Sound and Panel folders, so
        // every alias target exists.
        if (!WriteFile(current / e->name, Contents(a, *e))) return false;
    }
    // What the stock sound.cfg and panel.cfg name.
    const std::string s = Lower(a.name);
    for (const SoundFile& f : kSounds)
        if (!WriteFile(folder / "Sound" / (s + f.suffix + ".wav"), Wave(s + f.suffix, f.samples))) return false;
    return WriteFile(folder / "Panel" / (s + "_panel.bmp"), Bitmap(s + "/panel", 128)) &&
           WriteFile(folder / "Panel" / "gunsight.bmp", Bitmap(s + "/gunsight", 64));
}

} // namespace

int WriteDemoSimulator(const char* root) {
    std::error_code ec;
    fs::path aircraftDir = fs::path(root) / "Aircraft";
    fs::remove_all(aircraftDir, ec);
    if (ec) return -1;
    fs::create_directories(aircraftDir, ec);
    if (ec) return -1;
    for (int i = 0; i < GetAircraftCount(); ++i)
        if (!WriteAircraft(aircraftDir, GetAircraftEntry(i))) return -1;
    return 0;
}
