// vantorel-cli.exe as a Windows program: arguments arrive as typed, and a
// character the ANSI code page cannot hold is refused, never best-fitted
// ("Ω" would otherwise become "O" and copy into an "O51d" folder).
#ifdef _WIN32
#include "demo_sim.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// Runs vantorel-cli.exe with `args` (wide, as a shell would pass them) and
// returns its exit status.
DWORD RunCli(const std::wstring& args) {
    std::string cli = std::getenv("VANTOREL_CLI") ? std::getenv("VANTOREL_CLI") : "";
    if (!cli.empty() && cli[0] == '/') cli = "Z:" + cli;  // the build tree's path as Wine shows it
    std::wstring line = L"\"" + std::wstring(cli.begin(), cli.end()) + L"\" " + args;
    STARTUPINFOW si = {sizeof si};
    si.dwFlags = STARTF_USESTDHANDLES;  // no console chatter in the test's output
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return 0xFFFF;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 0xFFFF;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

TEST(CliWindows, CharactersTheCodePageCannotHoldAreRefusedNotBestFitted) {
    const std::filesystem::path root = std::filesystem::temp_directory_path() / "vantorel-cli-wide";
    std::filesystem::remove_all(root);
    ASSERT_EQ(WriteDemoSimulator(root.string().c_str()), 0);
    const std::wstring dir = (root / "Aircraft").wstring();
    std::filesystem::create_directory(root / L"Omega");
    EXPECT_EQ(RunCli(L"copy P51d \u03A9 --aircraft-dir \"" + dir + L"\""), 4u) << "prefix";
    EXPECT_EQ(RunCli(L"copy P51d XY --aircraft-dir \"" + (root / L"\u03A9mega").wstring() + L"\""), 3u) << "folder";
    EXPECT_EQ(RunCli(L"copy P51d XY --title \"Red \u03A9\" --aircraft-dir \"" + dir + L"\""), 64u) << "title";
    EXPECT_FALSE(std::filesystem::exists(root / "Aircraft" / "O51d"));
    EXPECT_TRUE(std::filesystem::is_empty(root / L"Omega"));
    EXPECT_EQ(RunCli(L"copy P51d XY --aircraft-dir \"" + dir + L"\""), 0u) << "an ordinary copy";
    std::filesystem::remove_all(root);
}

} // namespace
#endif
