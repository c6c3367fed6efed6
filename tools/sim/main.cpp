// brinewake-sim: loads the extension by file as the engine does, then runs a
// headless scenario through the scripts' door only.
//
//   brinewake-sim                 the default scenario: rules tables, sea trial, network report
//   brinewake-sim --dump-api      everything the library registered, as JSON
//   brinewake-sim --library PATH  load the extension from PATH instead of beside this program
#include "sim.hpp"

#include <standin/extension_loader.hpp>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>

using namespace godot;

namespace {

std::string library_beside_program() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) {
        return BRINEWAKE_LIBRARY_FILE;
    }
    std::string program(path, size_t(length));
    return program.substr(0, program.find_last_of('/') + 1) + BRINEWAKE_LIBRARY_FILE;
}

int usage(const char *p_program) {
    std::fprintf(stderr, "usage: %s [--dump-api] [--library PATH]\n", p_program);
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    bool dump = false;
    std::string library = library_beside_program();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dump-api") == 0) {
            dump = true;
        } else if (std::strcmp(argv[i], "--library") == 0 && i + 1 < argc) {
            library = argv[++i];
        } else {
            return usage(argv[0]);
        }
    }

    std::string error;
    std::unique_ptr<standin::Extension> extension =
        standin::Extension::load_file(library, "brinewake_init", &error);
    if (!extension || !extension->entry_result()) {
        std::fprintf(stderr, "brinewake-sim: cannot load %s: %s\n", library.c_str(), error.c_str());
        return 1;
    }
    extension->initialize();

    if (dump) {
        sim::dump_api(standin::registered_extension_classes(), stdout);
    } else {
        std::printf("Brinewake headless simulator (extension %s)\n\n", library.c_str());
        sim::print_rules_tables(stdout);
        std::printf("\n");
        sim::run_sea_trial(stdout);
        sim::print_network_report(stdout);
    }
    extension->deinitialize();
    return 0;
}
