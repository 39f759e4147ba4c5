// make-demo-sim ROOT: writes the demo simulator under ROOT (ROOT/Aircraft,
// replacing an existing one), for `make demo`, the tests and by hand.

#include "catalogue.h"
#include "demo_sim.h"

#include <cstdio>
#include <cstring>

namespace {

#ifdef _WIN32
const char kSep = '\\';
#else
const char kSep = '/';
#endif

const char kUsage[] =
    "usage: make-demo-sim ROOT\n"
    "Writes a stand-in Combat Flight Simulator under ROOT: ROOT/Aircraft with\n"
    "every stock aircraft and every file of their lists (an existing\n"
    "ROOT/Aircraft is replaced).\n";

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc != 2 || argv[1][0] == '\0' || argv[1][0] == '-') {
        std::fputs(kUsage, stderr);
        return 64;  // usage error, as vantorel-cli
    }
    if (WriteDemoSimulator(argv[1]) != 0) {
        std::fprintf(stderr, "make-demo-sim: could not write the demo simulator under %s\n", argv[1]);
        return 1;
    }
    std::printf("Demo simulator written: %s%cAircraft with %d stock aircraft\n", argv[1], kSep, GetAircraftCount());
    return 0;
}
