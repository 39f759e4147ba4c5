// Two players' vantorel-cli runs making "XY1d" and "xy1d" at the same moment:
// Windows would see one folder, so exactly one of them may make it.
#ifndef _WIN32
#include "demo_sim.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace fs = std::filesystem;

namespace {

struct RaceScratch {
    std::string path = [] { char t[] = "/tmp/vantorel-race-XXXXXX"; return std::string(mkdtemp(t)); }();
    ~RaceScratch() { std::error_code ignored; fs::remove_all(path, ignored); }
};

// Starts "$VANTOREL_CLI copy P51d <prefix> --aircraft-dir <aircraft>", its
// output to <log>. The child waits until `gate` reads end of file, so that
// closing the gate's write end releases every child at once.
pid_t StartCopy(const char* cli, const char* prefix, const std::string& aircraft, const std::string& log, int gate[2]) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    close(gate[1]);
    char c;
    while (read(gate[0], &c, 1) > 0) {}
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(out, 2);
    execl(cli, cli, "copy", "P51d", prefix, "--aircraft-dir", aircraft.c_str(), static_cast<char*>(nullptr));
    _exit(127);
}

int ExitStatus(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Every file and folder below `folder`, by its path in lower case (the two
// prefixes name the same files), with its size (-1 for a folder).
std::map<std::string, long long> Tree(const std::string& folder) {
    std::map<std::string, long long> tree;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder)) {
        std::string rel = fs::relative(e.path(), folder).string();
        for (char& ch : rel) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        tree[rel] = e.is_directory() ? -1 : static_cast<long long>(e.file_size());
    }
    return tree;
}

std::string Text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(CliRace, PrefixesDifferingOnlyInCaseMakeOneFolderWhoeverStartsFirst) {
    const char* cli = std::getenv("VANTOREL_CLI");
    ASSERT_TRUE(cli && *cli) << "VANTOREL_CLI is not set";
    RaceScratch scratch;
    ASSERT_EQ(0, WriteDemoSimulator(scratch.path.c_str()));
    const std::string aircraft = scratch.path + "/Aircraft";
    // A player's many add-on aircraft: the letter-case check reads the whole
    // folder, so the moment between that check and the folder's creation
    // lasts as long as it does on a well-used simulator.
    for (int i = 0; i < 2000; ++i) fs::create_directory(aircraft + "/Addon" + std::to_string(i));
    const std::string logs[2] = {scratch.path + "/XY.log", scratch.path + "/xy.log"};

    // One copy made alone: what each round's winner must hold.
    int gate[2];
    ASSERT_EQ(0, pipe(gate));
    const pid_t alone = StartCopy(cli, "XY", aircraft, logs[0], gate);
    close(gate[0]);
    close(gate[1]);
    ASSERT_EQ(0, ExitStatus(alone)) << Text(logs[0]);
    const std::map<std::string, long long> complete = Tree(aircraft + "/XY1d");
    ASSERT_EQ(18u, complete.size());  // 12 stock files, 2 alias files, 4 folders
    fs::remove_all(aircraft + "/XY1d");
    const std::size_t stockFolders = static_cast<std::size_t>(std::distance(fs::directory_iterator(aircraft), {}));

    const char* const prefixes[2] = {"XY", "xy"};
    const char* const folders[2] = {"XY1d", "xy1d"};
    int wins[2] = {0, 0};
    for (int round = 0; round < 30; ++round) {
        ASSERT_EQ(0, pipe(gate));
        pid_t pids[2];
        const int first = round % 2;  // neither is always forked, and so ready, first
        for (int k : {first, 1 - first}) pids[k] = StartCopy(cli, prefixes[k], aircraft, logs[k], gate);
        close(gate[0]);
        close(gate[1]);  // both read end of file now
        const int status[2] = {ExitStatus(pids[0]), ExitStatus(pids[1])};
        const std::string said = "round " + std::to_string(round) + "\nXY: " + Text(logs[0]) + "\nxy: " + Text(logs[1]);

        ASSERT_TRUE((status[0] == 0 && status[1] == 2) || (status[0] == 2 && status[1] == 0))
            << "statuses " << status[0] << " and " << status[1] << ", " << said;
        const int winner = status[0] == 0 ? 0 : 1;
        ++wins[winner];
        ASSERT_EQ(stockFolders + 1, static_cast<std::size_t>(std::distance(fs::directory_iterator(aircraft), {})))
            << said;
        ASSERT_TRUE(fs::is_directory(aircraft + "/" + folders[winner])) << said;
        EXPECT_EQ(complete, Tree(aircraft + "/" + folders[winner])) << said;
        fs::remove_all(aircraft + "/" + folders[winner]);
    }
    // Who won, for the record: both winning now and then shows the starts overlap.
    RecordProperty("XY_wins", wins[0]);
    RecordProperty("xy_wins", wins[1]);
}

} // namespace
#endif
