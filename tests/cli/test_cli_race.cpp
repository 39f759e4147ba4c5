// Two players' vantorel-cli runs making "XY1d" and "xy1d" at the same moment:
// Windows would see one folder, so exactly one of them may make it.
#ifndef _WIN32
#include "cli_support.h"
#include "demo_sim.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Every path below `folder` in lower case (the two prefixes name the same
// files) with its size, -1 for a folder.
std::map<std::string, long long> Tree(const std::string& folder) {
    std::map<std::string, long long> tree;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder)) {
        std::string rel = fs::relative(e.path(), folder).string();
        for (char& ch : rel) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        tree[rel] = e.is_directory() ? -1 : static_cast<long long>(e.file_size());
    }
    return tree;
}

// Runs "copy P51d <prefix>" for each prefix at once, output to <log>.<prefix>:
// each child waits for the gate pipe's end of file, so closing it releases
// them together. Returns their exit statuses.
std::vector<int> CopyAtOnce(const std::vector<const char*>& prefixes, const std::string& aircraft, const std::string& log) {
    int gate[2];
    if (pipe(gate) != 0) return {};
    std::vector<pid_t> pids;
    for (const char* prefix : prefixes) {
        if ((pids.emplace_back(fork())) != 0) continue;
        close(gate[1]);
        for (char c; read(gate[0], &c, 1) > 0;) {}
        const int out = open((log + "." + prefix).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1), dup2(out, 2);
        const char* cli = std::getenv("VANTOREL_CLI");
        execl(cli, cli, "copy", "P51d", prefix, "--aircraft-dir", aircraft.c_str(), static_cast<char*>(nullptr));
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

TEST(CliRace, PrefixesDifferingOnlyInCaseMakeOneFolderWhoeverStartsFirst) {
    Scratch s;
    ASSERT_EQ(0, WriteDemoSimulator(s.path.c_str()));
    const std::string aircraft = s.path + "/Aircraft", log = s.path + "/log";
    // A well-used simulator's many add-ons: the letter-case check reads the
    // whole folder, so its moment before the folder is made lasts as long.
    for (int i = 0; i < 2000; ++i) fs::create_directory(aircraft + "/Addon" + std::to_string(i));
    // One copy made alone: what each round's winner must hold.
    ASSERT_EQ(std::vector<int>{0}, CopyAtOnce({"XY"}, aircraft, log)) << ReadText(log + ".XY");
    const auto complete = Tree(aircraft + "/XY1d");
    ASSERT_EQ(18u, complete.size());  // 12 stock files, 2 alias files, 4 folders
    fs::remove_all(aircraft + "/XY1d");
    const auto entries = [&] { return std::distance(fs::directory_iterator(aircraft), {}); };
    const auto stockFolders = entries();
    for (int round = 0; round < 30; ++round) {
        // Neither is always forked, and so ready, first.
        const bool upperFirst = round % 2 == 0;
        std::vector<int> st = CopyAtOnce(upperFirst ? std::vector<const char*>{"XY", "xy"}
                                                    : std::vector<const char*>{"xy", "XY"}, aircraft, log);
        if (!upperFirst) std::swap(st[0], st[1]);  // st[0] is XY's
        const std::string said = "round " + std::to_string(round) + "\nXY: " + ReadText(log + ".XY") +
                                 "\nxy: " + ReadText(log + ".xy");
        ASSERT_TRUE((st[0] == 0 && st[1] == 2) || (st[0] == 2 && st[1] == 0))
            << "statuses " << st[0] << " and " << st[1] << ", " << said;
        const std::string winner = aircraft + (st[0] == 0 ? "/XY1d" : "/xy1d");
        ASSERT_EQ(stockFolders + 1, entries()) << said;
        ASSERT_TRUE(fs::is_directory(winner)) << said;
        EXPECT_EQ(complete, Tree(winner)) << said;
        fs::remove_all(winner);
    }
}

} // namespace
#endif
