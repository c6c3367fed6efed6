// brinewake-sim: loads the extension by file as the engine does, then runs a headless job through the
// scripts' door only.
//
//   brinewake-sim [--boats N] [--seconds S] [--seed K] [--events FILE] [--plot FILE]
//                                 a match of built-in pilots (the default job)
//   brinewake-sim rules           hull forces and sea heights
//   brinewake-sim sea-trial       one boat on the sea under a fixed programme
//   brinewake-sim network         packet bandwidth and prediction error
//   brinewake-sim net [--boats N] [--seconds S] [--seed K] [--rates HZ,...] [--latency MS]
//                     [--jitter MS] [--loss PERCENT,...]
//                                 the match on a host, mirrored by clients through simulated links
//   brinewake-sim --dump-api      everything the library registered, as JSON
//   --library PATH                load the extension from PATH instead of beside this program
#include "sim.hpp"

#include <standin/extension_loader.hpp>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <unistd.h>

using namespace godot;

std::string sim::beside_program(const std::string &p_file) {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) {
        return p_file;
    }
    const std::string program(path, size_t(length));
    return program.substr(0, program.find_last_of('/') + 1) + p_file;
}

namespace {

// A plot is written as PNG or SVG, chosen by the file's extension.
std::string check_plot_file(std::string &p_file) {
    const size_t dot = p_file.find_last_of('.');
    std::string extension = dot == std::string::npos ? "" : p_file.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (extension != "png" && extension != "svg") {
        return "the plot file must end in .png or .svg";
    }
    return "";
}

} // namespace

int main(int argc, char **argv) {
    CLI::App app{"Brinewake headless simulator: loads the extension by file and drives it through the class\n"
                 "database and bound methods only. Without a subcommand it plays a match of built-in pilots.",
                 "brinewake-sim"};
    app.fallthrough(); // options of the main command are accepted after a subcommand too

    std::string library = sim::beside_program(BRINEWAKE_LIBRARY_FILE);
    bool dump = false;
    sim::MatchOptions match;
    app.add_option("--library", library, "load the extension from this file instead of beside the program");
    CLI::Option *dump_option = app.add_flag(
        "--dump-api", dump, "print every registered class as JSON: methods, signals, enums, properties");

    CLI::Option_group *match_group = app.add_option_group("match", "the match (the default job)");
    match_group->add_option("--boats", match.boats, "number of boats")
        ->check(CLI::Range(1, 64))
        ->capture_default_str();
    match_group->add_option("--seconds", match.seconds, "simulated seconds, at 60 physics frames per second")
        ->check(CLI::Range(1.0 / 60.0, 86400.0))
        ->capture_default_str();
    match_group->add_option("--seed", match.seed, "seed of the layout: spawn ring, obstacles, pickups")
        ->capture_default_str();
    match_group->add_option("--events", match.events_file,
                            "write every signal as one JSON object per line to this file");
    match_group
        ->add_option("--plot", match.plot_file,
                     "draw the boats' tracks, hits, kills and pickups (.png or .svg)")
        ->check(CLI::Validator(check_plot_file, "FILE.png|FILE.svg"));
    match_group->excludes(dump_option);

    CLI::App *rules =
        app.add_subcommand("rules", "hull force and torque over poses and throttles, sea heights");
    CLI::App *sea_trial = app.add_subcommand("sea-trial", "one boat on the sea under a fixed programme");
    CLI::App *network = app.add_subcommand("network", "packet bandwidth per boat and the predictor's drift");

    sim::NetOptions net_options;
    CLI::App *net = app.add_subcommand(
        "net", "the match on a host, mirrored by a client per rate and loss: bandwidth and mirror error");
    net->add_option("--boats", net_options.boats, "number of boats")
        ->check(CLI::Range(1, 64))
        ->capture_default_str();
    net->add_option("--seconds", net_options.seconds, "simulated seconds, at 60 physics frames per second")
        ->check(CLI::Range(1.0 / 60.0, 86400.0))
        ->capture_default_str();
    net->add_option("--seed", net_options.seed, "seed of the layout and of the links' draws")
        ->capture_default_str();
    net->add_option("--rates", net_options.rates, "send rates in Hz, comma-separated (at most 60)")
        ->delimiter(',')
        ->check(CLI::Range(1, 60))
        ->capture_default_str();
    net->add_option("--latency", net_options.latency_ms, "one-way latency of the links, ms")
        ->check(CLI::Range(0.0, 10000.0))
        ->capture_default_str();
    net->add_option("--jitter", net_options.jitter_ms, "extra delay drawn uniformly from [0, MS] per packet")
        ->check(CLI::Range(0.0, 10000.0))
        ->capture_default_str();
    net->add_option("--loss", net_options.losses,
                    "packet loss in percent, comma-separated; a client for each")
        ->delimiter(',')
        ->check(CLI::Range(0.0, 100.0))
        ->capture_default_str();

    for (CLI::App *report : {rules, sea_trial, network, net}) {
        report->excludes(dump_option);
        report->excludes(match_group);
    }
    app.require_subcommand(0, 1);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &parse_error) {
        // Help and version exit with 0; a wrong command line with 2.
        return app.exit(parse_error) == 0 ? 0 : 2;
    }

    std::string error;
    std::unique_ptr<standin::Extension> extension =
        standin::Extension::load_file(library, "brinewake_init", &error);
    if (!extension || !extension->entry_result()) {
        std::fprintf(stderr, "brinewake-sim: cannot load %s: %s\n", library.c_str(), error.c_str());
        return 1;
    }
    extension->initialize();

    int status = 0;
    if (dump) {
        sim::dump_api(standin::registered_extension_classes(), stdout);
    } else if (rules->parsed()) {
        sim::print_rules_tables(stdout);
    } else if (sea_trial->parsed()) {
        sim::run_sea_trial(stdout);
    } else if (network->parsed()) {
        sim::print_network_report(stdout);
    } else if (net->parsed()) {
        status = sim::run_net_match(net_options, stdout);
    } else {
        status = sim::run_match(match, stdout);
    }
    extension->deinitialize();
    return status;
}
