// brinewake-sim: the headless simulator. It loads the extension by file, as the
// engine does, and drives it only through the class database and bound methods.
#pragma once

#include <godot_cpp/variant/string.hpp>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace sim {

// The path of p_file in the folder of this program (the library and the plot script live there).
std::string beside_program(const std::string &p_file);

struct MatchOptions {
    int boats = 4;
    double seconds = 60.0; // simulated, at 60 physics frames per second
    uint64_t seed = 1;
    std::string events_file; // empty: no event log
    std::string plot_file;   // empty: no plot; otherwise a .png or .svg
};

// A whole match of built-in pilots through the script interface: a progress bar on a terminal, then
// the per-boat table and the match's figures on p_out. Returns the process exit code.
int run_match(const MatchOptions &p_options, std::FILE *p_out);

struct NetOptions {
    int boats = 4;
    double seconds = 60.0;                         // simulated, at 60 physics frames per second
    uint64_t seed = 1;                             // the layout, and the links' losses and jitter
    std::vector<int> rates = {10, 20, 30, 60};     // Hz: sends of every boat packet and a replica packet
    double latency_ms = 100.0;                     // one way
    double jitter_ms = 0.0;                        // uniform in [0, jitter], added to the latency
    std::vector<double> losses = {0.0, 5.0, 20.0}; // percent of packets dropped, each on its own
};

// The match played by a host and mirrored by one client per rate and loss in the same process, through
// simulated links: bandwidth per rate and the clients' mirror error of boats and projectiles, as tables
// on p_out. Returns the process exit code (1 when a client refused a packet the host encoded).
int run_net_match(const NetOptions &p_options, std::FILE *p_out);

// Prints, as JSON, every class in `p_classes` with what it registered: base class,
// methods in binding order, signals, enums and constants, properties.
void dump_api(const std::vector<godot::String> &p_classes, std::FILE *p_out);

// The shared rules at work: hull force and torque over a few poses and throttles,
// and the sea height along a line.
void print_rules_tables(std::FILE *p_out);

// One boat on the sea under a fixed programme, with a table over time and a summary.
void run_sea_trial(std::FILE *p_out);

// What a game needs to pick a send rate: bytes per second per boat, and the
// predictor's error after a gap without packets.
void print_network_report(std::FILE *p_out);

} // namespace sim
