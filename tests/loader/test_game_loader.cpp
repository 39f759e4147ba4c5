// vantorel-cli.exe as a Windows program: its copies loaded as the 1998 game
// loads them, and arguments the ANSI code page cannot hold refused.
#include "copy_aircraft.h"
#include "demo_sim.h"
#include "game_loader.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// Compared without regard to letter case or order, as the game opens files.
std::vector<std::string> Normalised(std::vector<std::string> lines) {
    for (std::string& l : lines) std::transform(l.begin(), l.end(), l.begin(), ::tolower);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// A demo simulator in the prefix's own temporary folder, a Windows path.
struct Sim {
    std::string path = [] {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        return std::string(temp) + "vantorel-loader-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(GetTickCount());
    }();
    std::string aircraft = path + "\\Aircraft";
    Sim() { EXPECT_EQ(0, WriteDemoSimulator(path.c_str())); }
    ~Sim() { std::error_code ignored; fs::remove_all(path, ignored); }
};

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Runs vantorel-cli.exe ($VANTOREL_CLI, a Linux path Wine shows on Z:) with
// `args` as typed (wide) and returns its exit status, its output in `log`:
// a pipe left open by a stray Wine process would hang the test.
DWORD RunCli(const std::wstring& args, const std::string& log) {
    const std::string exe = std::string("Z:") + (std::getenv("VANTOREL_CLI") ? std::getenv("VANTOREL_CLI") : "");
    std::wstring command = L"\"" + std::wstring(exe.begin(), exe.end()) + L"\" " + args;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup = {sizeof startup};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = startup.hStdError = out;
    PROCESS_INFORMATION process = {};
    DWORD status = ~0u;
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &status);
        else TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    return status;
}

// A character the code page cannot hold is refused, never best-fitted: "Ω"
// would otherwise become "O" and copy into an "O51d" folder.
TEST(CliWindows, CharactersTheCodePageCannotHoldAreRefusedNotBestFitted) {
    Sim s;
    const std::wstring dir = L" --aircraft-dir \"" + std::wstring(s.aircraft.begin(), s.aircraft.end()) + L"\"";
    const std::string log = s.path + "\\cli-output.txt";
    fs::create_directory(s.path + "\\Omega");
    EXPECT_EQ(RunCli(L"copy P51d \u03A9" + dir, log), 4u) << "prefix";
    EXPECT_EQ(RunCli(L"copy P51d XY --aircraft-dir \"" + (fs::path(s.path) / L"\u03A9mega").wstring() + L"\"", log), 3u)
        << "folder";
    EXPECT_EQ(RunCli(L"copy P51d XY --title \"Red \u03A9\"" + dir, log), 64u) << "title";
    EXPECT_FALSE(fs::exists(s.aircraft + "\\O51d"));
    EXPECT_TRUE(fs::is_empty(s.path + "\\Omega"));
    EXPECT_EQ(RunCli(L"copy P51d XY" + dir, log), 0u) << "an ordinary copy";
}

// The loader must see faults, or the copies' test below passes on a loader that sees nothing.
TEST(GameLoader, ReportsWhatAStockAircraftCannotLoad) {
    Sim s;
    const std::string a = s.aircraft + "\\";
    // Every stock aircraft names a second variation's textures in Texture.alt,
    // a folder the demo does not have: the baseline of every report.
    const std::string alt = "[fltsim.1] Texture.alt\\";
    // One fault per aircraft, so one simulator serves every case.
    fs::remove(a + "P38\\Texture\\p38wing.bmp");
    fs::remove(a + "P47d\\p47d.air");
    fs::remove(a + "B24j\\Model\\Model.cfg");
    Write(a + "C47\\Sound\\sound.cfg", "[fltsim]\nalias=nowhere\\sound\n");
    Write(a + "Mosquito\\Sound\\sound.cfg", "[fltsim]\nalias=C47\\sound\n");  // an alias to an alias
    fs::remove(a + "Fw190a\\Panel\\panel.cfg");
    Write(a + "He111h\\Aircraft.cfg", "[fltsim]\r\ntitle=x\r\n");

    using Lines = std::vector<std::string>;
    struct Case { const char* folder; Lines missing; } const cases[] = {
        {"P51d", {alt}},
        {"P38", {alt, "[fltsim] Texture\\p38wing.bmp"}},
        {"P47d", {alt, "[fltsim] p47d.air", "[fltsim.1] p47d.air"}},
        {"B24j", {"[fltsim] Model\\Model.cfg", "[fltsim.1] Model\\Model.cfg"}},  // no models, no textures
        {"C47", {alt, "Sound\\sound.cfg: alias nowhere\\sound"}},
        {"Mosquito", {alt, "Sound\\sound.cfg: alias C47\\sound"}},
        {"Fw190a", {alt, "Panel\\panel.cfg"}},
        {"He111h", {"[fltsim] sim="}},
        {"NoSuchFolder", {"Aircraft.cfg"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Normalised(c.missing), Normalised(LoadAircraftAsTheGameDoes(s.aircraft, c.folder))) << c.folder;
    EXPECT_EQ(19u, ListAircraftFoldersAsTheGameDoes(s.aircraft).size());
}

TEST(GameLoader, EveryCopyLoadsWhatItsStockAircraftLoads) {
    Sim s;
    const int count = GetAircraftCount();
    for (int i = 0; i < count; ++i) {
        const std::string log = s.path + "\\cli-output.txt";
        const std::string args = std::string("copy ") + GetAircraftName(i) + " VT --aircraft-dir \"" + s.aircraft + "\"";
        ASSERT_EQ(0u, RunCli(std::wstring(args.begin(), args.end()), log))
            << GetAircraftName(i) << ": " << std::ifstream(log).rdbuf();
    }
    // The game lists the copies beside the stock aircraft.
    const std::vector<std::string> listed = ListAircraftFoldersAsTheGameDoes(s.aircraft);
    EXPECT_EQ(static_cast<std::size_t>(2 * count), listed.size());
    for (int i = 0; i < count; ++i) {
        const std::string stock = GetAircraftName(i);
        CopyNames names;
        DeriveCopyNames(i, "VT", &names);
        EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), names.newFolder)) << names.newFolder;
        // The demo's stock aircraft miss only folders (Texture.alt), so their
        // reports need no renaming to be the copies'.
        std::vector<std::string> expected = LoadAircraftAsTheGameDoes(s.aircraft, stock);
        // The catalogue deliberately names the Bf110 copy's side textures with
        // the longer names (VT110_side1.bmp, VT110_side2.bmp, VT110_side.bmp),
        // while its model, rewritten by stem only, names them VT110_s1.bmp,
        // VT110_s2.bmp and VT110_si.bmp. The catalogue stays as it is; this is
        // what the game then fails to open, and the only difference allowed.
        if (stock == "Bf110")
            for (const char* t : {"VT110_s1.bmp", "VT110_s2.bmp", "VT110_si.bmp"})
                expected.push_back(std::string("[fltsim] Texture\\") + t);
        EXPECT_EQ(Normalised(expected), Normalised(LoadAircraftAsTheGameDoes(s.aircraft, names.newFolder)))
            << stock << " -> " << names.newFolder;
    }
}

} // namespace
