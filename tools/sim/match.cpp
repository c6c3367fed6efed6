// The default job: a whole match between the built-in pilots. The simulator plays the part of the game's
// script: it builds the scene by class name, connects to the signals and reads the results through bound
// methods only. The figures come from the signals alone.
#include "sim.hpp"

#include "match_pilot.hpp"
#include "match_scene.hpp"
#include "match_setup.hpp"

#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector3.hpp>
#include <standin/callable_lambda.hpp>

#include <fmt/core.h>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

using namespace godot;
using json = nlohmann::ordered_json;

namespace {

constexpr double FRAMES_PER_SECOND = 60.0; // the match scene's physics rate
constexpr int PLOT_SAMPLE_FRAMES = 6;      // track points every 0.1 s
constexpr int PROGRESS_WIDTH = 40;         // characters of the progress bar

enum SignalIndex {
    WEAPON_FIRED,
    WEAPON_EMPTY,
    PROJECTILE_IMPACT,
    BOAT_HIT,
    PICKUP_COLLECTED,
    PICKUP_RESPAWNED,
    NODE_SIGNAL_COUNT,
    DESTROYED = NODE_SIGNAL_COUNT, // the boats' own
    RESPAWNED,
    SIGNAL_COUNT
};
constexpr const char *SIGNAL_NAMES[SIGNAL_COUNT] = {
    "weapon_fired",     "weapon_empty",     "projectile_impact", "boat_hit",
    "pickup_collected", "pickup_respawned", "destroyed",         "respawned",
};

constexpr int64_t ROCKETS = 0;
constexpr int64_t CANNON = 1;
constexpr int64_t SURFACE_COUNT = 4; // air, water, solid, boat

// The pickup counters of a boat, by kind.
enum PickupSlot { PICKUP_ROCKETS, PICKUP_HEALTH, PICKUP_SPEED, PICKUP_SLOTS };

int pickup_slot(int64_t p_kind) {
    switch (p_kind) {
    case brinewake_test::MATCH_PICKUP_ROCKETS:
        return PICKUP_ROCKETS;
    case brinewake_test::MATCH_PICKUP_HEALTH:
        return PICKUP_HEALTH;
    case brinewake_test::MATCH_PICKUP_SPEED:
        return PICKUP_SPEED;
    default:
        return -1;
    }
}

struct BoatStats {
    int64_t shots[2] = {};     // by weapon kind
    int64_t hits[2] = {};      // on other boats, by weapon kind
    double dealt = 0.0;        // health, to other boats
    double taken = 0.0;        // health, from anyone, own blasts included
    double self_damage = 0.0;  // health, from its own projectiles
    int64_t kills = 0;         // of other boats
    int64_t deaths = 0;        // every destruction
    int64_t self_kills = 0;    // destroyed by its own projectile
    int64_t empty_presses = 0; // weapon_empty
    int64_t pickups[PICKUP_SLOTS] = {};
    int64_t capsized_frames = 0;    // alive with its up axis pointing below the horizon
    bool destroyed_pending = false; // destroyed, waiting for the boat_hit that did it
};

// The shortest decimal that reads back as the same float, as a double: JSON shows 0.35, not
// 0.3499999940395355.
double tidy(float p_value) {
    if (!std::isfinite(p_value)) {
        return double(p_value);
    }
    return std::strtod(fmt::format("{}", p_value).c_str(), nullptr);
}

json vector_json(const Vector3 &p_vector) {
    return json::array({tidy(p_vector.x), tidy(p_vector.y), tidy(p_vector.z)});
}

class MatchRecorder {
public:
    MatchRecorder(const brinewake_test::MatchLayout &p_layout, std::ofstream *p_events, bool p_plot)
        : layout(p_layout), events(p_events), plot(p_plot) {}

    // Called once the scene is built.
    void set_scene(std::vector<uint64_t> p_boat_ids, std::vector<int64_t> p_pickup_ids) {
        boat_ids = std::move(p_boat_ids);
        pickup_ids = std::move(p_pickup_ids);
        stats.assign(boat_ids.size(), BoatStats());
        if (plot) {
            tracks = json::array();
            for (size_t i = 0; i < boat_ids.size(); ++i) {
                tracks.push_back(json::array({json::array()}));
            }
        }
    }

    // Argument names of every signal, in order, as the class database lists them.
    void read_argument_names(const StringName &p_class, int p_first, int p_end) {
        ClassDBSingleton *class_db = ClassDBSingleton::get_singleton();
        for (int s = p_first; s < p_end; ++s) {
            argument_names[s].clear();
            const Dictionary signal = class_db->class_get_signal(p_class, SIGNAL_NAMES[s]);
            const Array args = signal.get("args", Array());
            for (int64_t i = 0; i < args.size(); ++i) {
                const Dictionary argument = args[i];
                argument_names[s].push_back(String(argument.get("name", "")).utf8().get_data());
            }
        }
    }

    void handle(int p_signal, int p_emitter, const Variant **p_args, int64_t p_count);

    // Samples the boats' positions for the plot: live boats only; a respawn starts a new segment.
    void sample_tracks() {
        for (size_t i = 0; i < boat_ids.size(); ++i) {
            Node3D *boat = Object::cast_to<Node3D>(ObjectDB::get_instance(boat_ids[i]));
            if (boat == nullptr || stats[i].destroyed_pending || !(double(boat->call(get_health)) > 0.0)) {
                continue;
            }
            const Vector3 position = boat->get_global_position();
            tracks[i].back().push_back(json::array({tidy(position.x), tidy(position.z)}));
        }
    }

    // Counts the frames in which a live boat floats capsized (its up axis below the horizon).
    void count_capsized() {
        for (size_t i = 0; i < boat_ids.size(); ++i) {
            Node3D *boat = Object::cast_to<Node3D>(ObjectDB::get_instance(boat_ids[i]));
            if (boat != nullptr && double(boat->call(get_health)) > 0.0 &&
                boat->get_global_transform().basis.get_column(1).y < 0.0f) {
                ++stats[i].capsized_frames;
            }
        }
    }

    // A destruction whose boat_hit never came (none should): a death without an attacker.
    void finish() {
        for (BoatStats &boat : stats) {
            if (boat.destroyed_pending) {
                boat.destroyed_pending = false;
                ++boat.deaths;
                ++unattributed_deaths;
            }
        }
    }

    json plot_data(double p_seconds, uint64_t p_seed) const;

    int64_t frame = 0;
    std::vector<BoatStats> stats;
    int64_t impacts[SURFACE_COUNT] = {};
    int64_t pickups_collected = 0;
    int64_t pickups_respawned = 0;
    int64_t unattributed_deaths = 0;

private:
    int boat_index(const Variant &p_value) const {
        const Object *object = p_value;
        if (object == nullptr) {
            return -1;
        }
        const uint64_t id = object->get_instance_id();
        for (size_t i = 0; i < boat_ids.size(); ++i) {
            if (boat_ids[i] == id) {
                return int(i);
            }
        }
        return -1;
    }

    json value_json(const Variant &p_value) const {
        switch (p_value.get_type()) {
        case Variant::NIL:
            return nullptr;
        case Variant::BOOL:
            return bool(p_value);
        case Variant::INT:
            return int64_t(p_value);
        case Variant::FLOAT:
            return double(p_value);
        case Variant::VECTOR3:
            return vector_json(p_value);
        case Variant::OBJECT: {
            // Boats by name; any other object by instance id.
            const Object *object = p_value;
            if (object == nullptr) {
                return nullptr;
            }
            const int index = boat_index(p_value);
            return index >= 0 ? json(boat_name(size_t(index))) : json(object->get_instance_id());
        }
        default:
            return std::string(p_value.stringify().utf8().get_data());
        }
    }

    static std::string boat_name(size_t p_index) { return fmt::format("boat{}", p_index + 1); }

    void log_event(int p_signal, int p_emitter, const Variant **p_args, int64_t p_count);

    const brinewake_test::MatchLayout &layout;
    const StringName get_health{"get_health"};
    std::ofstream *events;
    bool plot;
    std::vector<uint64_t> boat_ids;
    std::vector<int64_t> pickup_ids;
    std::vector<std::string> argument_names[SIGNAL_COUNT];
    json tracks;
    json hits = json::array();
    json kills = json::array();
    json collections = json::array();
};

void MatchRecorder::handle(int p_signal, int p_emitter, const Variant **p_args, int64_t p_count) {
    if (events != nullptr) {
        log_event(p_signal, p_emitter, p_args, p_count);
    }
    auto arg = [&](int64_t p_index) -> const Variant & {
        static const Variant missing;
        return p_index < p_count ? *p_args[p_index] : missing;
    };
    switch (p_signal) {
    case WEAPON_FIRED: {
        const int boat = boat_index(arg(0));
        const int64_t kind = arg(1);
        if (boat >= 0 && (kind == ROCKETS || kind == CANNON)) {
            ++stats[size_t(boat)].shots[kind];
        }
        break;
    }
    case WEAPON_EMPTY: {
        const int boat = boat_index(arg(0));
        if (boat >= 0) {
            ++stats[size_t(boat)].empty_presses;
        }
        break;
    }
    case PROJECTILE_IMPACT: {
        const int64_t surface = arg(4);
        if (surface >= 0 && surface < SURFACE_COUNT) {
            ++impacts[surface];
        }
        break;
    }
    case BOAT_HIT: {
        const int victim = boat_index(arg(0));
        const int64_t kind = arg(1);
        const double damage = arg(2);
        const Vector3 position = arg(3);
        const int attacker = boat_index(arg(4));
        if (victim < 0) {
            break;
        }
        BoatStats &hit = stats[size_t(victim)];
        hit.taken += damage;
        if (attacker == victim) {
            hit.self_damage += damage;
        } else if (attacker >= 0) {
            stats[size_t(attacker)].dealt += damage;
            if (kind == ROCKETS || kind == CANNON) {
                ++stats[size_t(attacker)].hits[kind];
            }
        }
        // The boat's destroyed came during the damage call, just before this boat_hit.
        const bool killed = hit.destroyed_pending;
        if (killed) {
            hit.destroyed_pending = false;
            ++hit.deaths;
            if (attacker == victim) {
                ++hit.self_kills;
            } else if (attacker >= 0) {
                ++stats[size_t(attacker)].kills;
            } else {
                ++unattributed_deaths;
            }
        }
        if (plot) {
            const json attacker_ref = attacker >= 0 ? json(boat_name(size_t(attacker))) : json(nullptr);
            hits.push_back({{"x", tidy(position.x)},
                            {"z", tidy(position.z)},
                            {"kind", kind},
                            {"boat", boat_name(size_t(victim))},
                            {"attacker", attacker_ref}});
            const Node3D *boat = Object::cast_to<Node3D>(static_cast<Object *>(arg(0)));
            if (killed && boat != nullptr) {
                const Vector3 at = boat->get_global_position();
                kills.push_back({{"x", tidy(at.x)},
                                 {"z", tidy(at.z)},
                                 {"boat", boat_name(size_t(victim))},
                                 {"attacker", attacker_ref}});
            }
        }
        break;
    }
    case PICKUP_COLLECTED: {
        ++pickups_collected;
        const int64_t pickup_id = arg(0);
        const int boat = boat_index(arg(1));
        const int slot = pickup_slot(arg(2));
        if (boat >= 0 && slot >= 0) {
            ++stats[size_t(boat)].pickups[slot];
        }
        if (plot && boat >= 0) {
            const auto found = std::find(pickup_ids.begin(), pickup_ids.end(), pickup_id);
            if (found != pickup_ids.end()) {
                const Vector3 &at = layout.pickups[size_t(found - pickup_ids.begin())].position;
                collections.push_back({{"x", tidy(at.x)},
                                       {"z", tidy(at.z)},
                                       {"kind", int64_t(arg(2))},
                                       {"boat", boat_name(size_t(boat))}});
            }
        }
        break;
    }
    case PICKUP_RESPAWNED:
        ++pickups_respawned;
        break;
    case DESTROYED:
        stats[size_t(p_emitter)].destroyed_pending = true;
        break;
    case RESPAWNED:
        if (plot) {
            tracks[size_t(p_emitter)].push_back(json::array());
        }
        break;
    default:
        break;
    }
}

void MatchRecorder::log_event(int p_signal, int p_emitter, const Variant **p_args, int64_t p_count) {
    json args = json::object();
    const std::vector<std::string> &names = argument_names[p_signal];
    for (int64_t i = 0; i < p_count; ++i) {
        const std::string name = size_t(i) < names.size() ? names[size_t(i)] : fmt::format("arg{}", i);
        args[name] = value_json(*p_args[i]);
    }
    const json event = {
        {"frame", frame},
        {"time", double(frame) / FRAMES_PER_SECOND},
        {"signal", SIGNAL_NAMES[p_signal]},
        {"emitter", p_emitter >= 0 ? boat_name(size_t(p_emitter)) : std::string("WeaponSystem")},
        {"args", std::move(args)},
    };
    *events << event.dump() << '\n';
}

json MatchRecorder::plot_data(double p_seconds, uint64_t p_seed) const {
    json boats = json::array();
    for (size_t i = 0; i < boat_ids.size(); ++i) {
        json segments = json::array();
        for (const json &segment : tracks[i]) {
            if (!segment.empty()) {
                segments.push_back(segment);
            }
        }
        boats.push_back({{"name", boat_name(i)}, {"segments", std::move(segments)}});
    }
    json obstacles = json::array();
    for (const brinewake_test::ObstaclePlacement &box : layout.obstacles) {
        obstacles.push_back({{"x", tidy(box.center.x)},
                             {"z", tidy(box.center.z)},
                             {"size_x", tidy(box.size.x)},
                             {"size_z", tidy(box.size.z)}});
    }
    json pickups = json::array();
    for (const brinewake_test::PickupPlacement &pickup : layout.pickups) {
        pickups.push_back(
            {{"x", tidy(pickup.position.x)}, {"z", tidy(pickup.position.z)}, {"kind", pickup.kind}});
    }
    return {
        {"title", fmt::format("{} boats, {:g} s, seed {}", boat_ids.size(), p_seconds, p_seed)},
        {"arena_radius", brinewake_test::MATCH_ARENA_RADIUS},
        {"boats", std::move(boats)},
        {"obstacles", std::move(obstacles)},
        {"pickups", std::move(pickups)},
        {"hits", hits},
        {"kills", kills},
        {"collections", collections},
    };
}

// A bar on the terminal, redrawn when the whole percentage changes; silent when stdout is not a
// terminal.
class ProgressBar {
public:
    explicit ProgressBar(int64_t p_frames) : frames(p_frames), shown(isatty(STDOUT_FILENO) != 0) {}

    void update(int64_t p_frame) {
        if (!shown) {
            return;
        }
        const int64_t percent = p_frame * 100 / frames;
        if (percent == last_percent) {
            return;
        }
        last_percent = percent;
        const int64_t filled = p_frame * PROGRESS_WIDTH / frames;
        fmt::print(stdout, "\r[{:#<{}}{:-<{}}] {:3}%  {:.1f} / {:.1f} s", "", filled, "",
                   PROGRESS_WIDTH - filled, percent, double(p_frame) / FRAMES_PER_SECOND,
                   double(frames) / FRAMES_PER_SECOND);
        std::fflush(stdout);
    }

    void finish() {
        if (shown) {
            fmt::print(stdout, "\r{:<{}}\r", "", PROGRESS_WIDTH + 30);
            std::fflush(stdout);
        }
    }

private:
    int64_t frames;
    bool shown;
    int64_t last_percent = -1;
};

// Runs Python on the plot script; true when it exits with 0.
bool run_plot_script(const std::string &p_script, const std::string &p_data, const std::string &p_image) {
    std::string program = BRINEWAKE_PLOT_PYTHON;
    std::vector<char *> argv = {program.data(), const_cast<char *>(p_script.c_str()),
                                const_cast<char *>(p_data.c_str()), const_cast<char *>(p_image.c_str()),
                                nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        return false;
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) {
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The plot's data file: the image's name with its extension replaced by ".plot.json".
std::string plot_data_path(const std::string &p_image) {
    const size_t slash = p_image.find_last_of('/');
    const size_t dot = p_image.find_last_of('.');
    const bool has_extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (has_extension ? p_image.substr(0, dot) : p_image) + ".plot.json";
}

void print_results(std::FILE *p_out, const MatchRecorder &p_recorder, int64_t p_frames, double p_wall_seconds,
                   int64_t p_peak_projectiles, int64_t p_peak_frame) {
    const std::vector<BoatStats> &stats = p_recorder.stats;
    fmt::print(p_out, "{:<7}{:>9}{:>9}{:>8}{:>8}{:>9}{:>9}{:>7}{:>8}{:>10}{:>11}\n", "boat", "shots R",
               "shots C", "hits R", "hits C", "dealt", "taken", "kills", "deaths", "pickups", "capsized");
    auto row = [p_out](const std::string &p_name, const BoatStats &p_boat) {
        fmt::print(p_out, "{:<7}{:>9}{:>9}{:>8}{:>8}{:>9.1f}{:>9.1f}{:>7}{:>8}{:>10}{:>9.1f} s\n", p_name,
                   p_boat.shots[ROCKETS], p_boat.shots[CANNON], p_boat.hits[ROCKETS], p_boat.hits[CANNON],
                   p_boat.dealt, p_boat.taken, p_boat.kills, p_boat.deaths,
                   fmt::format("{}/{}/{}", p_boat.pickups[PICKUP_ROCKETS], p_boat.pickups[PICKUP_HEALTH],
                               p_boat.pickups[PICKUP_SPEED]),
                   double(p_boat.capsized_frames) / FRAMES_PER_SECOND);
    };
    BoatStats total;
    for (size_t i = 0; i < stats.size(); ++i) {
        const BoatStats &boat = stats[i];
        row(fmt::format("boat{}", i + 1), boat);
        for (int k = 0; k < 2; ++k) {
            total.shots[k] += boat.shots[k];
            total.hits[k] += boat.hits[k];
        }
        for (int s = 0; s < PICKUP_SLOTS; ++s) {
            total.pickups[s] += boat.pickups[s];
        }
        total.dealt += boat.dealt;
        total.taken += boat.taken;
        total.self_damage += boat.self_damage;
        total.kills += boat.kills;
        total.deaths += boat.deaths;
        total.self_kills += boat.self_kills;
        total.empty_presses += boat.empty_presses;
        total.capsized_frames += boat.capsized_frames;
    }
    row("all", total);
    fmt::print(
        p_out,
        "R model rockets, C water cannon. Hits, damage dealt and kills count other boats; damage taken\n"
        "includes a boat's own blasts. Pickups: rockets/health/speed. Capsized: alive, floating upside\n"
        "down.\n\n");

    const double simulated = double(p_frames) / FRAMES_PER_SECOND;
    const double rate = p_wall_seconds > 0.0 ? double(p_frames) / p_wall_seconds : 0.0;
    fmt::print(
        p_out,
        "simulation speed      {:.0f} frames/s ({} frames in {:.3f} s wall clock, {:.1f} x real time)\n",
        rate, p_frames, p_wall_seconds, p_wall_seconds > 0.0 ? simulated / p_wall_seconds : 0.0);
    fmt::print(p_out, "projectiles in flight {} at peak (t = {:.2f} s)\n", p_peak_projectiles,
               double(p_peak_frame) / FRAMES_PER_SECOND);
    fmt::print(p_out, "impacts               {} air, {} water, {} solid, {} boat\n", p_recorder.impacts[0],
               p_recorder.impacts[1], p_recorder.impacts[2], p_recorder.impacts[3]);
    fmt::print(p_out, "pickups               {} collected, {} reappeared\n", p_recorder.pickups_collected,
               p_recorder.pickups_respawned);
    fmt::print(p_out, "own goals             {:.1f} damage, {} boats destroyed by their own rockets\n",
               total.self_damage, total.self_kills);
    fmt::print(p_out, "other                 {} deaths without an attacker, {} presses on an empty weapon\n",
               p_recorder.unattributed_deaths, total.empty_presses);
}

} // namespace

int sim::run_match(const MatchOptions &p_options, std::FILE *p_out) {
    const int boats = std::max(1, p_options.boats);
    const brinewake_test::MatchLayout layout = brinewake_test::make_match_layout(boats, p_options.seed);

    std::ofstream events;
    if (!p_options.events_file.empty()) {
        events.open(p_options.events_file, std::ios::out | std::ios::trunc);
        if (!events) {
            fmt::print(stderr, "brinewake-sim: cannot write the event log {}\n", p_options.events_file);
            return 1;
        }
    }
    const bool plot = !p_options.plot_file.empty();
    // Declared before the scene: its handlers must outlive every object that can emit to them.
    MatchRecorder recorder(layout, events.is_open() ? &events : nullptr, plot);

    brinewake_test::MatchScene scene;
    const brinewake_test::BuiltMatch built = brinewake_test::build_match(scene, layout);
    if (built.combat == nullptr || scene.boat_count() != size_t(boats)) {
        fmt::print(
            stderr,
            "brinewake-sim: the library does not register the classes \"Boat\" and \"WeaponSystem\"\n");
        return 1;
    }
    std::vector<uint64_t> boat_ids;
    for (size_t i = 0; i < scene.boat_count(); ++i) {
        boat_ids.push_back(scene.boat_id(i));
    }
    const uint64_t combat_id = built.combat->get_instance_id();
    recorder.set_scene(boat_ids, built.pickup_ids);
    recorder.read_argument_names("WeaponSystem", 0, NODE_SIGNAL_COUNT);
    recorder.read_argument_names("Boat", NODE_SIGNAL_COUNT, SIGNAL_COUNT);

    for (int s = 0; s < NODE_SIGNAL_COUNT; ++s) {
        const Callable handler =
            standin::callable_lambda([&recorder, s](const Variant **p_args, int64_t p_count) {
                recorder.handle(s, -1, p_args, p_count);
            });
        if (built.combat->connect(SIGNAL_NAMES[s], handler) != OK) {
            fmt::print(stderr, "brinewake-sim: WeaponSystem has no signal \"{}\"\n", SIGNAL_NAMES[s]);
            return 1;
        }
    }
    for (size_t i = 0; i < scene.boat_count(); ++i) {
        for (int s = NODE_SIGNAL_COUNT; s < SIGNAL_COUNT; ++s) {
            const int index = int(i);
            const Callable handler =
                standin::callable_lambda([&recorder, s, index](const Variant **p_args, int64_t p_count) {
                    recorder.handle(s, index, p_args, p_count);
                });
            scene.boat(i)->connect(SIGNAL_NAMES[s], handler);
        }
    }

    const int64_t frames = std::max<int64_t>(1, std::llround(p_options.seconds * FRAMES_PER_SECOND));
    fmt::print(p_out, "Match: {} boats, {:g} s at {:g} Hz ({} frames), seed {}; {} obstacles, {} pickups\n",
               boats, double(frames) / FRAMES_PER_SECOND, FRAMES_PER_SECOND, frames, p_options.seed,
               layout.obstacles.size(), layout.pickups.size());
    std::fflush(p_out);

    brinewake_test::MatchPilots pilots(built.combat, boat_ids);
    ProgressBar progress(frames);
    const StringName get_projectile_count("get_projectile_count");
    int64_t peak_projectiles = 0;
    int64_t peak_frame = 0;
    if (plot) {
        recorder.sample_tracks();
    }
    const auto start = std::chrono::steady_clock::now();
    for (int64_t frame = 1; frame <= frames; ++frame) {
        recorder.frame = frame;
        pilots.drive();
        scene.step();
        Object *combat = ObjectDB::get_instance(combat_id);
        const int64_t in_flight = combat != nullptr ? int64_t(combat->call(get_projectile_count)) : 0;
        if (in_flight > peak_projectiles) {
            peak_projectiles = in_flight;
            peak_frame = frame;
        }
        recorder.count_capsized();
        if (plot && frame % PLOT_SAMPLE_FRAMES == 0) {
            recorder.sample_tracks();
        }
        progress.update(frame);
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    progress.finish();
    recorder.finish();

    fmt::print(p_out, "\n");
    print_results(p_out, recorder, frames, wall, peak_projectiles, peak_frame);
    std::fflush(p_out);

    if (plot) {
        const std::string data_path = plot_data_path(p_options.plot_file);
        std::ofstream data(data_path, std::ios::out | std::ios::trunc);
        data << recorder.plot_data(double(frames) / FRAMES_PER_SECOND, p_options.seed).dump() << '\n';
        data.close();
        if (!data) {
            fmt::print(stderr, "brinewake-sim: cannot write the plot data {}\n", data_path);
            return 1;
        }
        const std::string script = beside_program("plot_match.py");
        if (!run_plot_script(script, data_path, p_options.plot_file)) {
            fmt::print(stderr, "brinewake-sim: plotting failed: {} {} {} {}\n", BRINEWAKE_PLOT_PYTHON, script,
                       data_path, p_options.plot_file);
            return 1;
        }
        fmt::print(p_out, "plot                  {} (data {})\n", p_options.plot_file, data_path);
    }
    if (events.is_open()) {
        events.close();
        if (!events) {
            fmt::print(stderr, "brinewake-sim: cannot write the event log {}\n", p_options.events_file);
            return 1;
        }
    }
    return 0;
}
