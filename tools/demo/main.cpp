// velmora-demo-db DIRECTORY: writes the demo database velmora.db into
// DIRECTORY (which must not hold one yet) and prints the options of
// velmora-reminder-sim that make the simulated reminder the reminder of
// the demo person. scripts/demo.sh uses both.
#include <cstdio>

#include "core/clock.h"
#include "demo/demo_database.h"

int main(int argc, char** argv) {
    using namespace velmora;
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora-demo-db DIRECTORY\n");
        return 2;
    }
    demo::DemoDatabase db;
    if (!demo::makeDemoDatabase(argv[1], SystemClock().localNow(), db)) {
        std::fprintf(stderr, "velmora-demo-db: cannot make a new demo database in %s\n", argv[1]);
        return 1;
    }
    std::printf("%s\n", demo::simulatorArguments(db.reminder).c_str());
    return 0;
}
