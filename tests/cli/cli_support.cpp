#include "cli/cli_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#ifndef _WIN32
#endif

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    std::random_device seed;
    for (;;) {
        fs::path p = fs::temp_directory_path() / ("vantorel-cli-" + std::to_string(seed()));
        if (fs::create_directory(p)) {
            path = p.string();
            return;
        }
    }
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

void WriteTextFile(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string WineRegistry(const std::string& arch, const std::string& body) {
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=" + arch + "\n\n" + body;
}

std::string WineKeyLine(const std::string& key) {
    std::string doubled;
    for (char c : key) doubled += c == '\\' ? "\\\\" : std::string(1, c);
    return "[" + doubled + "] 1712345678\n#time=1da8f3c2b4e6a10\n";
}

#ifndef _WIN32
std::string MakeWinePrefix(const std::string& root, const std::string& registry) {
    const std::string prefix = root + "/pfx";
    WriteTextFile(prefix + "/system.reg", registry);
    fs::create_directories(prefix + "/drive_c");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    return prefix;
}

CliRun RunCli(const std::string& args, const std::string& setup) {
    CliRun run;
    const char* cli = std::getenv("VANTOREL_CLI");
    if (!cli) return run;
    ScratchDir capture;
    const std::string out = capture.path + "/out", err = capture.path + "/err", status = capture.path + "/status";
    // Output goes through pipes, so a file size limit set in `setup` for the
    // program does not stop its messages.
    const std::string command = "unset WINEPREFIX; export HOME=/nonexistent-home; { { (" + setup + " '" + cli +
                                "' " + args + "); echo $? >'" + status + "'; } 2>&1 1>&3 | cat >'" + err +
                                "'; } 3>&1 | cat >'" + out + "'";
    if (std::system(command.c_str()) != 0) return run;
    run.status = std::atoi(ReadTextFile(status).c_str());
    run.out = ReadTextFile(out);
    run.err = ReadTextFile(err);
    return run;
}
#endif
