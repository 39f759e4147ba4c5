// Copies made by the cross-built vantorel-cli.exe, loaded as the 1998 game
// loads them: every copy must load everything its stock aircraft loads.
#include "copy_aircraft.h"
#include "demo_sim.h"
#include "game_loader.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Compared without regard to letter case or order, as the game opens files.
std::vector<std::string> Normalised(std::vector<std::string> lines) {
    for (std::string& l : lines) l = Lower(l);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// A folder under the prefix's own temporary folder, a Windows path.
struct Scratch {
    std::string path = [] {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        std::string p = std::string(temp) + "vantorel-loader-" + std::to_string(GetCurrentProcessId()) + "-" +
                        std::to_string(GetTickCount());
        fs::create_directories(p);
        return p;
    }();
    std::string aircraft = path + "\\Aircraft";
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct CliResult {
    DWORD status;
    std::string output;
};

// Runs vantorel-cli.exe (ctest names it in $VANTOREL_CLI, a Linux path that
// Wine shows on drive Z:) with `args`, its output to a file: a pipe left open
// by a stray Wine process would hang the test.
CliResult RunCli(const std::string& args, const std::string& scratch) {
    const char* cli = std::getenv("VANTOREL_CLI");
    if (!cli || !*cli) return {~0u, "VANTOREL_CLI is not set"};
    std::string exe = cli;
    if (exe[0] == '/') exe = "Z:" + exe;
    std::replace(exe.begin(), exe.end(), '/', '\\');
    std::string command = "\"" + exe + "\" " + args;
    const std::string log = scratch + "\\cli-output.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return {~0u, "cannot create " + log};
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = startup.hStdError = out;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(out);
        return {~0u, "CreateProcessA failed for " + command + ": error " + std::to_string(GetLastError())};
    }
    CloseHandle(out);
    DWORD status = ~0u;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &status);
    } else {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {status, command + "\n" + Read(log)};
}

// Stock file name (lower case) -> the copy's name for it, from the copy's
// plan: a file the stock aircraft lacks is one its copy lacks, renamed.
struct Renames {
    std::map<std::string, std::string> byStockName;
    static void Add(const CopyStep& step, void* self) {
        if (!step.source[0]) return;
        const std::string from = fs::path(step.source).filename().string(), to = fs::path(step.dest).filename().string();
        static_cast<Renames*>(self)->byStockName[Lower(from)] = to;
    }
    // `line` of the stock aircraft's report as the copy's report would say it.
    std::string Translate(const std::string& line) const {
        const std::size_t cut = line.find_last_of("\\ ") + 1;
        auto found = byStockName.find(Lower(line.substr(cut)));
        return found == byStockName.end() ? line : line.substr(0, cut) + found->second;
    }
};

TEST(GameLoader, TextureNamesAreTheZeroEndedBmpNamesOfAModel) {
    using Names = std::vector<std::string>;
    const std::string z(1, '\0');
    struct Case { std::string bytes; Names names; } const cases[] = {
        {"\x80\x1A" "P51_l_side.bmp" + z + "\xFF" "p51tex1.BMP" + z, {"P51_l_side.bmp", "p51tex1.BMP"}},
        // One name in several letter cases is one texture; the first spelling is kept.
        {z + "l_side.bmp" + z + "\r\nL_SIDE.BMP" + z + "l_SiDe.bMp" + z, {"l_side.bmp"}},
        // Words that are not texture names: the aircraft's name and title, a
        // name cut off by the end of the file, a bare extension.
        {z + "P51d" + z + "P-51D Mustang" + z + ".bmp" + z + "\x81" "tail.bmp", {}},
        {"  hurr_w.bmp" + z + "bmp" + z + "x.bmpx" + z, {"hurr_w.bmp"}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.names, TextureNamesInModel(c.bytes)) << c.bytes;
}

TEST(GameLoader, ReportsWhatAStockAircraftCannotLoad) {
    Scratch s;
    ASSERT_EQ(0, WriteDemoSimulator(s.path.c_str()));
    const std::string a = s.aircraft + "\\";
    // Every stock aircraft names a second variation's textures in Texture.alt,
    // a folder the demo does not have: the baseline of every report.
    const std::string alt = "[fltsim.1] Texture.alt\\";
    // One fault per aircraft, so one simulator serves every case.
    fs::remove(a + "P38\\Texture\\p38wing.bmp");
    fs::remove(a + "P47d\\p47d.air");
    fs::remove(a + "B17g\\Model\\b17g_n.mdl");
    fs::remove(a + "B24j\\Model\\Model.cfg");  // its <folder>_n.mdl is still found
    Write(a + "C47\\Sound\\sound.cfg", "[fltsim]\nalias=nowhere\\sound\n");
    Write(a + "B25j\\Panel\\panel.cfg", "[fltsim]\nalias=C47\\panel\n");  // a good alias
    fs::remove(a + "Bf109g\\Sound\\bf109g_gun.wav");
    fs::remove(a + "Fw190a\\Panel\\gunsight.bmp");
    fs::create_directory(a + "Fw190a\\Texture.alt");
    fs::copy_file(a + "Fw190a\\Texture\\Fw190_s.bmp", a + "Fw190a\\Texture.alt\\Fw190_s.bmp");
    fs::rename(a + "Do17z2\\Aircraft.cfg", a + "Do17z2\\Aircraft.old");
    fs::rename(a + "Ju87a\\Texture\\ju87a_1.bmp", a + "Ju87a\\Texture\\JU87A_1.BMP");  // letter case is no fault
    Write(a + "Tempest\\Sound\\sound.cfg", "[fltsim]\nalias=spitfire_mki\\sound\n");
    Write(a + "Mosquito\\Sound\\sound.cfg", "[fltsim]\nalias=Tempest\\sound\n");
    std::string cfg = Read(a + "He111h\\Aircraft.cfg");
    for (std::size_t at; (at = cfg.find("sim=he111h")) != std::string::npos;) cfg.erase(at + 4, 6);
    Write(a + "He111h\\Aircraft.cfg", cfg);
    Write(a + "Bf110\\Model\\Model.cfg", "[models]\r\ncrash=bf110_c\r\n");

    using Lines = std::vector<std::string>;
    struct Case { const char* folder; Lines missing; } const cases[] = {
        {"P51d", {alt}},
        {"P38", {alt, "[fltsim] Texture\\p38wing.bmp"}},
        {"P47d", {alt, "[fltsim] p47d.air", "[fltsim.1] p47d.air"}},
        // No model, so no texture is looked for.
        {"B17g", {"[fltsim] Model\\b17g_n.mdl", "[fltsim.1] Model\\b17g_n.mdl"}},
        {"B24j", {alt, "[fltsim] Model\\Model.cfg", "[fltsim.1] Model\\Model.cfg"}},
        {"C47", {alt, "Sound\\sound.cfg: alias nowhere\\sound"}},
        {"B25j", {alt}},
        {"Bf109g", {alt, "Sound\\bf109g_gun.wav"}},
        {"Fw190a", {"[fltsim.1] Texture.alt\\Fw190_w.bmp", "[fltsim.1] Texture.alt\\Fw190tx1.bmp",
                    "[fltsim.1] Texture.alt\\Fw190tx2.bmp", "Panel\\gunsight.bmp"}},
        {"Do17z2", {"Aircraft.cfg"}},
        {"Ju87a", {alt}},
        {"Tempest", {alt}},
        {"Mosquito", {alt, "Sound\\sound.cfg: alias Tempest\\sound is itself an alias"}},
        {"He111h", {alt, "[fltsim] sim=", "[fltsim.1] sim="}},
        {"Bf110", {"[fltsim] Model\\Model.cfg: no normal=", "[fltsim] Model\\bf110_c.mdl",
                   "[fltsim.1] Model\\Model.cfg: no normal=", "[fltsim.1] Model\\bf110_c.mdl"}},
        {"NoSuchFolder", {"Aircraft.cfg"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Normalised(c.missing), Normalised(LoadAircraftAsTheGameDoes(s.aircraft, c.folder))) << c.folder;
    EXPECT_EQ(19u, ListAircraftFoldersAsTheGameDoes(s.aircraft).size());
}

TEST(GameLoader, EveryCopyLoadsWhatItsStockAircraftLoads) {
    Scratch s;
    ASSERT_EQ(0, WriteDemoSimulator(s.path.c_str()));
    const int count = GetAircraftCount();
    for (int i = 0; i < count; ++i) {
        const CliResult run = RunCli(std::string("copy ") + GetAircraftName(i) + " VT --aircraft-dir \"" +
                                     s.aircraft + "\"", s.path);
        ASSERT_EQ(0u, run.status) << run.output;
    }
    // The game lists the copies beside the stock aircraft.
    const std::vector<std::string> listed = ListAircraftFoldersAsTheGameDoes(s.aircraft);
    EXPECT_EQ(static_cast<std::size_t>(2 * count), listed.size());

    for (int i = 0; i < count; ++i) {
        const char* stock = GetAircraftName(i);
        CopyNames names;
        DeriveCopyNames(i, "VT", &names);
        EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), names.newFolder)) << names.newFolder;
        Renames renames;
        ASSERT_TRUE(PlanCopySteps(s.aircraft.c_str(), "VT", i, &Renames::Add, &renames));
        std::vector<std::string> expected;
        for (const std::string& line : LoadAircraftAsTheGameDoes(s.aircraft, stock))
            expected.push_back(renames.Translate(line));
        // The catalogue deliberately names the Bf110 copy's side textures with
        // the longer names (VT110_side1.bmp, VT110_side2.bmp, VT110_side.bmp),
        // while its model, rewritten by stem only, names them VT110_s1.bmp,
        // VT110_s2.bmp and VT110_si.bmp. The catalogue stays as it is; this is
        // what the game then fails to open, and the only difference allowed.
        if (std::string(stock) == "Bf110")
            for (const char* t : {"VT110_s1.bmp", "VT110_s2.bmp", "VT110_si.bmp"})
                expected.push_back(std::string("[fltsim] Texture\\") + t);
        EXPECT_EQ(Normalised(expected), Normalised(LoadAircraftAsTheGameDoes(s.aircraft, names.newFolder)))
            << stock << " -> " << names.newFolder;
    }
}

} // namespace
