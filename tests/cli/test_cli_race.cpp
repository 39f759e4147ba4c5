// Two players' vantorel-cli runs making "XY1d" and "xy1d" at the same moment:
// Windows would see one folder, so exactly one of them may make it.
#ifndef _WIN32
#include "cli_support.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>


namespace {

// Runs "copy P51d <prefix>" for each prefix at once, output to <log>.<prefix>:
// each child waits for the gate pipe's end of file, so closing it releases
// them together. Returns their exit statuses.
std::vector<int> CopyAtOnce(const std::vector<std::string>& prefixes, const std::string& aircraft, const std::string& log) {
    int gate[2];
    if (pipe(gate) != 0) return {};
    std::vector<pid_t> pids;
    for (const std::string& prefix : prefixes) {
        if ((pids.emplace_back(fork())) != 0) continue;
        close(gate[1]);
        for (char c; read(gate[0], &c, 1) > 0;) {}
        const int out = open((log + "." + prefix).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1), dup2(out, 2);
        const char* cli = std::getenv("VANTOREL_CLI");
        execl(cli, cli, "copy", "P51d", prefix.c_str(), "--aircraft-dir", aircraft.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(gate[0]), close(gate[1]);
    std::vector<int> statuses;
    for (pid_t pid : pids) {
        int status = 0;
        statuses.push_back(waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return statuses;
}

using CliRace = DemoSim;

TEST_F(CliRace, PrefixesDifferingOnlyInCaseMakeOneFolderWhoeverStartsFirst) {
    const std::string log = sim.path + "/log";
    // A well-used simulator's many add-ons, long-named: the letter-case check
    // reads the whole folder, so its moment before the folder is made lasts as long.
    for (int i = 0; i < 800; ++i) fs::create_directory(aircraft + "/" + std::string(200, 'A') + std::to_string(i));
    std::vector<std::string> prefixes = {"XY", "xy"};
    // Each copy made alone: what a round's winner must hold.
    std::map<std::string, Tree> complete;
    for (const std::string& prefix : prefixes) {
        ASSERT_EQ(std::vector<int>{0}, CopyAtOnce({prefix}, aircraft, log)) << ReadBytes(log + "." + prefix);
        complete[prefix] = Snapshot(aircraft + "/" + prefix + "1d");
        fs::remove_all(aircraft + "/" + prefix + "1d");
    }
    const auto entries = [&] { return std::distance(fs::directory_iterator(aircraft), {}); };
    const auto stockFolders = entries();
    for (int round = 0; round < 12; ++round) {
        std::swap(prefixes[0], prefixes[1]);  // neither is always forked, and so ready, first
        const std::vector<int> st = CopyAtOnce(prefixes, aircraft, log);
        const std::string said = "round " + std::to_string(round) + "\n" + prefixes[0] + ": " +
                                 ReadBytes(log + "." + prefixes[0]) + "\n" + prefixes[1] + ": " + ReadBytes(log + "." + prefixes[1]);
        ASSERT_TRUE(st == std::vector<int>({0, 2}) || st == std::vector<int>({2, 0})) << said;
        const std::string winner = prefixes[st[0] == 0 ? 0 : 1];
        ASSERT_EQ(stockFolders + 1, entries()) << said;
        EXPECT_TRUE(SameTree(complete[winner], Snapshot(aircraft + "/" + winner + "1d"))) << said;
        fs::remove_all(aircraft + "/" + winner + "1d");
    }
}

} // namespace
#endif
