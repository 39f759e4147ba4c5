// game-loader AIRCRAFT_DIR [FOLDER...]: loads every aircraft folder (or the
// ones named) as the 1998 game does and says what it could not open.
// Exit status 0 when everything loads, 1 when something does not, 64 on misuse.
#include "game_loader.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: game-loader AIRCRAFT_DIR [FOLDER...]\n");
        return 64;
    }
    std::vector<std::string> folders(argv + 2, argv + argc);
    if (folders.empty()) folders = ListAircraftFoldersAsTheGameDoes(argv[1]);
    if (folders.empty()) {
        std::fprintf(stderr, "game-loader: no aircraft folders in %s\n", argv[1]);
        return 1;
    }
    int failed = 0;
    for (const std::string& folder : folders) {
        const std::vector<std::string> missing = LoadAircraftAsTheGameDoes(argv[1], folder);
        if (missing.empty()) std::printf("%s: loads\n", folder.c_str());
        for (const std::string& what : missing) std::printf("%s: cannot load %s\n", folder.c_str(), what.c_str());
        failed += !missing.empty();
    }
    std::printf("%d of %d aircraft folders load completely\n", static_cast<int>(folders.size()) - failed,
                static_cast<int>(folders.size()));
    return failed ? 1 : 0;
}
