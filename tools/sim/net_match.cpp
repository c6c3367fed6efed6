// The networked match: the built-in pilots play on a host scene, and clients in the same process mirror
// it through simulated links, one client per send rate and loss. Each client keeps the remote boats
// frozen and applies the host's boat packets to them, predicts each boat forward from its last packet
// with a BoatMotion, and runs its combat node as a replica fed the host's replica packets. Everything
// goes through bound methods called by name, as a game's scripts would do it.
//
// A link delivers a packet a fixed latency (plus optional jitter) after it was sent, or drops it. Its
// draws come from a SplitMix64 seeded by the match seed and the rate, and every loss setting of a rate
// uses the same draws: the packets lost at 5 % are among those lost at 20 %, so the rows differ only by
// the loss itself.
#include "sim.hpp"

#include "match_pilot.hpp"
#include "match_scene.hpp"
#include "match_setup.hpp"

#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <fmt/core.h>
#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace godot;

namespace {

constexpr double FRAMES_PER_SECOND = 60.0; // the match scene's physics rate
constexpr double FRAME = 1.0 / FRAMES_PER_SECOND;
constexpr int64_t UNSEEN = -1; // send frame of "nothing received yet"

// The methods the host and the clients call and the dictionary keys they read, made once (a name or a
// key made per call allocates).
struct Names {
    StringName get_network_packet{"get_network_packet"};
    StringName apply_network_packet{"apply_network_packet"};
    StringName set_freeze_enabled{"set_freeze_enabled"};
    StringName get_replica_packet{"get_replica_packet"};
    StringName set_replica_packet{"set_replica_packet"};
    StringName set_replica{"set_replica"};
    StringName get_projectiles{"get_projectiles"};
    StringName get_pickups{"get_pickups"};
    StringName set_from_packet{"set_from_packet"};
    StringName step{"step"};
    StringName get_transform{"get_transform"};
    StringName get_throttle{"get_throttle"};
    StringName get_steering{"get_steering"};
    Variant id{"id"};
    Variant position{"position"};
    Variant velocity{"velocity"};
    Variant active{"active"};
    Variant none;
};

// A projectile as one side sees it.
struct ShotView {
    int64_t id = 0;
    Vector3 position; // m
    Vector3 velocity; // m/s
};

// The shot dictionaries of get_projectiles, sorted by id.
void read_shots(const Names &p_names, const Array &p_shots, std::vector<ShotView> &r_views) {
    r_views.clear();
    for (int64_t i = 0; i < p_shots.size(); ++i) {
        const Dictionary shot = p_shots[i];
        r_views.push_back(ShotView{int64_t(shot.get(p_names.id, p_names.none)),
                                   Vector3(shot.get(p_names.position, p_names.none)),
                                   Vector3(shot.get(p_names.velocity, p_names.none))});
    }
    std::sort(r_views.begin(), r_views.end(),
              [](const ShotView &p_a, const ShotView &p_b) { return p_a.id < p_b.id; });
}

// A pickup as one side sees it.
struct ItemView {
    int64_t id = 0;
    bool active = false;
};

// The pickup dictionaries of get_pickups, sorted by id.
void read_items(const Names &p_names, const Array &p_items, std::vector<ItemView> &r_views) {
    r_views.clear();
    for (int64_t i = 0; i < p_items.size(); ++i) {
        const Dictionary item = p_items[i];
        r_views.push_back(ItemView{int64_t(item.get(p_names.id, p_names.none)),
                                   bool(item.get(p_names.active, p_names.none))});
    }
    std::sort(r_views.begin(), r_views.end(),
              [](const ItemView &p_a, const ItemView &p_b) { return p_a.id < p_b.id; });
}

// The value below which p_fraction of p_samples lie (nearest rank); 0 without samples.
double percentile(std::vector<float> &p_samples, double p_fraction) {
    if (p_samples.empty()) {
        return 0.0;
    }
    const size_t rank =
        std::min(p_samples.size() - 1, size_t(std::ceil(p_fraction * double(p_samples.size()))) - size_t(1));
    std::nth_element(p_samples.begin(), p_samples.begin() + std::ptrdiff_t(rank), p_samples.end());
    return double(p_samples[rank]);
}

double mean(double p_sum, int64_t p_count) {
    return p_count > 0 ? p_sum / double(p_count) : 0.0;
}

// What one send rate puts on the wire, measured at the sender: every boat's packet and one replica
// packet per send.
struct Bandwidth {
    int rate = 0; // Hz
    int64_t sends = 0;
    int64_t boat_bytes = 0;
    int64_t replica_bytes = 0;
    int64_t replica_packet_max = 0; // bytes
    int64_t boat_peak = 0;          // bytes in the busiest second of sends
    int64_t replica_peak = 0;
    struct Send {
        int64_t frame = 0;
        int64_t boat = 0;    // bytes
        int64_t replica = 0; // bytes
    };
    std::deque<Send> window; // the sends of the last second
    int64_t window_boat = 0;
    int64_t window_replica = 0;

    void add(int64_t p_frame, int64_t p_boat, int64_t p_replica) {
        ++sends;
        boat_bytes += p_boat;
        replica_bytes += p_replica;
        replica_packet_max = std::max(replica_packet_max, p_replica);
        window.push_back(Send{p_frame, p_boat, p_replica});
        window_boat += p_boat;
        window_replica += p_replica;
        while (window.front().frame <= p_frame - int64_t(FRAMES_PER_SECOND)) {
            window_boat -= window.front().boat;
            window_replica -= window.front().replica;
            window.pop_front();
        }
        boat_peak = std::max(boat_peak, window_boat);
        replica_peak = std::max(replica_peak, window_replica);
    }
};

// A packet on its way: REPLICA for the combat node's, otherwise the index of the boat it describes.
constexpr int REPLICA = -1;
struct InFlight {
    int64_t send_frame = 0;
    double arrival = 0.0; // s, host time
    int subject = REPLICA;
    PackedByteArray bytes;
};

// One client scene at one rate and loss, and what it measured.
class Client {
public:
    Client(const brinewake_test::MatchLayout &p_layout, const Names &p_names, int p_rate, double p_loss)
        : rate(p_rate), loss(p_loss), names(p_names) {
        for (const brinewake_test::SpawnPlacement &spawn : p_layout.spawns) {
            RigidBody3D *boat = scene.add_boat(spawn.position, spawn.yaw);
            if (boat == nullptr) {
                return;
            }
            // Remote boats are frozen: the engine does not simulate them, received state places them.
            boat->call(names.set_freeze_enabled, true);
            boat_ids.push_back(boat->get_instance_id());
            Variant motion = ClassDBSingleton::get_singleton()->instantiate("BoatMotion");
            if (static_cast<Object *>(motion) == nullptr) {
                return;
            }
            motions.push_back(motion);
        }
        for (const brinewake_test::ObstaclePlacement &box : p_layout.obstacles) {
            scene.add_obstacle(box.center, box.size);
        }
        Node3D *node = scene.weapon_system();
        if (node == nullptr) {
            return;
        }
        node->call(names.set_replica, true);
        combat_id = node->get_instance_id();
        boat_state.assign(boat_ids.size(), BoatLink());
        valid = true;
    }

    bool is_valid() const { return valid; }

    // The link: p_unit_loss and p_unit_jitter are the sender's draws in [0, 1) for this packet.
    void send(InFlight p_packet, double p_unit_loss, double p_unit_jitter, double p_latency,
              double p_jitter) {
        if (p_unit_loss < loss / 100.0) {
            ++lost;
            return;
        }
        p_packet.arrival = double(p_packet.send_frame) * FRAME + p_latency + p_unit_jitter * p_jitter;
        link.push_back(std::move(p_packet));
    }

    // Frame p_frame on the client: takes delivery of what has arrived by now, brings each predictor to
    // the present and places the boats, then steps the client's own scene.
    void update(int64_t p_frame) {
        const double now = double(p_frame) * FRAME + 1e-9;
        std::stable_sort(link.begin(), link.end(),
                         [](const InFlight &p_a, const InFlight &p_b) { return p_a.arrival < p_b.arrival; });
        size_t delivered = 0;
        while (delivered < link.size() && link[delivered].arrival <= now) {
            receive(link[delivered]);
            ++delivered;
        }
        link.erase(link.begin(), link.begin() + std::ptrdiff_t(delivered));

        for (size_t i = 0; i < boat_ids.size(); ++i) {
            BoatLink &boat_link = boat_state[i];
            if (boat_link.newest == UNSEEN) {
                continue; // the boat stays where the layout put it
            }
            Object *motion = motions[i];
            // A fresh seed is at its send frame; an older one was brought to the previous frame.
            const int64_t steps = boat_link.fresh ? p_frame - boat_link.newest : 1;
            for (int64_t s = 0; s < steps; ++s) {
                motion->call(names.step, boat_link.throttle, boat_link.steering, FRAME);
            }
            boat_link.fresh = false;
            Node3D *boat = Object::cast_to<Node3D>(ObjectDB::get_instance(boat_ids[i]));
            if (boat != nullptr) {
                boat->set_global_transform(motion->call(names.get_transform));
            }
        }
        scene.step();
    }

    // Compares this client's view with the host's at the same frame.
    void measure(int64_t p_frame, const std::vector<Vector3> &p_host_boats,
                 const std::vector<ShotView> &p_host_shots, const std::vector<ItemView> &p_host_items) {
        for (size_t i = 0; i < boat_ids.size() && i < p_host_boats.size(); ++i) {
            const Node3D *boat = Object::cast_to<Node3D>(ObjectDB::get_instance(boat_ids[i]));
            if (boat == nullptr) {
                continue;
            }
            const float error = (boat->get_global_position() - p_host_boats[i]).length();
            boat_errors.push_back(error);
            boat_error_sum += double(error);
        }

        // Both lists are sorted by id: walk them together.
        const double since_sent = replica_newest == UNSEEN ? 0.0 : double(p_frame - replica_newest) * FRAME;
        size_t h = 0;
        size_t c = 0;
        host_shot_frames += int64_t(p_host_shots.size());
        client_shot_frames += int64_t(shots.size());
        while (h < p_host_shots.size() || c < shots.size()) {
            if (c == shots.size() || (h < p_host_shots.size() && p_host_shots[h].id < shots[c].id)) {
                ++unseen; // in flight on the host, unknown to the client
                ++h;
            } else if (h == p_host_shots.size() || shots[c].id < p_host_shots[h].id) {
                ++ghosts; // shown by the client, gone on the host
                ++c;
            } else {
                const ShotView &host = p_host_shots[h];
                const ShotView &seen = shots[c];
                const float raw = (seen.position - host.position).length();
                const Vector3 ahead = seen.position + seen.velocity * float(since_sent);
                const float carried = (ahead - host.position).length();
                ++matched;
                shot_raw_sum += double(raw);
                shot_carried_sum += double(carried);
                shot_carried.push_back(carried);
                ++h;
                ++c;
            }
        }

        // A host pickup is mirrored when the client shows it with the same active flag.
        host_item_frames += int64_t(p_host_items.size());
        for (const ItemView &host_item : p_host_items) {
            const auto found =
                std::lower_bound(items.begin(), items.end(), host_item.id,
                                 [](const ItemView &p_item, int64_t p_id) { return p_item.id < p_id; });
            if (found == items.end() || found->id != host_item.id || found->active != host_item.active) {
                ++items_wrong;
            }
        }
    }

    const int rate;      // Hz
    const double loss;   // percent
    int64_t lost = 0;    // packets the link dropped
    int64_t stale = 0;   // packets that arrived after a newer one of the same subject
    int64_t refused = 0; // packets the client's bound methods did not accept (none should be)

    std::vector<float> boat_errors; // m, one per boat and frame
    double boat_error_sum = 0.0;
    std::vector<float> shot_carried; // m, one per matched projectile and frame
    double shot_raw_sum = 0.0;
    double shot_carried_sum = 0.0;
    int64_t matched = 0;
    int64_t unseen = 0;
    int64_t ghosts = 0;
    int64_t host_shot_frames = 0;
    int64_t client_shot_frames = 0;
    int64_t host_item_frames = 0;
    int64_t items_wrong = 0;

private:
    struct BoatLink {
        int64_t newest = UNSEEN; // send frame of the packet the predictor was last seeded from
        bool fresh = false;      // seeded this frame, not yet brought to the present
        double throttle = 0.0;   // the controls the packet carried, held until the next one
        double steering = 0.0;
    };

    void receive(const InFlight &p_packet) {
        if (p_packet.subject == REPLICA) {
            if (p_packet.send_frame <= replica_newest) {
                ++stale;
                return;
            }
            Object *combat = ObjectDB::get_instance(combat_id);
            if (combat == nullptr || !bool(combat->call(names.set_replica_packet, p_packet.bytes))) {
                ++refused;
                return;
            }
            replica_newest = p_packet.send_frame;
            read_shots(names, combat->call(names.get_projectiles), shots);
            read_items(names, combat->call(names.get_pickups), items);
            return;
        }
        const size_t index = size_t(p_packet.subject);
        BoatLink &boat_link = boat_state[index];
        if (p_packet.send_frame <= boat_link.newest) {
            ++stale;
            return;
        }
        Object *boat = ObjectDB::get_instance(boat_ids[index]);
        Object *motion = motions[index];
        if (boat == nullptr || !bool(boat->call(names.apply_network_packet, p_packet.bytes)) ||
            !bool(motion->call(names.set_from_packet, p_packet.bytes))) {
            ++refused;
            return;
        }
        boat_link.newest = p_packet.send_frame;
        boat_link.fresh = true;
        boat_link.throttle = motion->call(names.get_throttle);
        boat_link.steering = motion->call(names.get_steering);
    }

    const Names &names;
    brinewake_test::MatchScene scene;
    bool valid = false;
    std::vector<uint64_t> boat_ids;
    std::vector<Variant> motions; // BoatMotion, held by reference
    std::vector<BoatLink> boat_state;
    uint64_t combat_id = 0;
    int64_t replica_newest = UNSEEN;
    std::vector<ShotView> shots; // the replica's, as of its newest packet
    std::vector<ItemView> items; // likewise
    std::vector<InFlight> link;
};

// Whether a send at rate p_rate (Hz) falls in frame p_frame: p_rate evenly spread sends per second.
bool sends_in(int64_t p_frame, int p_rate) {
    const int64_t frames = int64_t(FRAMES_PER_SECOND);
    return (p_frame * p_rate) / frames != ((p_frame - 1) * p_rate) / frames;
}

void print_tables(std::FILE *p_out, const std::vector<Bandwidth> &p_bandwidth,
                  std::vector<std::unique_ptr<Client>> &p_clients, double p_seconds, size_t p_boats) {
    fmt::print(p_out, "\nBandwidth, at the sender (payload bytes; mean over the match, peak over any 1 s of "
                      "sends)\n");
    fmt::print(p_out, "{:>9} | {:>12} {:>12} | {:>12} {:>12} {:>14}\n", "rate (Hz)", "boats mean",
               "boats peak", "replica mean", "replica peak", "replica max B");
    for (const Bandwidth &b : p_bandwidth) {
        fmt::print(p_out, "{:>9} | {:>12.0f} {:>12} | {:>12.0f} {:>12} {:>14}\n", b.rate,
                   double(b.boat_bytes) / p_seconds, b.boat_peak, double(b.replica_bytes) / p_seconds,
                   b.replica_peak, b.replica_packet_max);
    }
    fmt::print(p_out,
               "Boat packets: all {} boats' 98-byte packets, B/s. Replica packets: one per send, 4 + 38 per "
               "projectile + 22 per\npickup, B/s. Headers are not counted (IPv4 and UDP add 28 bytes per "
               "datagram).\n",
               p_boats);

    fmt::print(p_out, "\nMirror error, client against host at the same frame\n");
    fmt::print(p_out, "{:>9} {:>6} | {:>7} {:>7} {:>7} | {:>8} {:>7} {:>7} {:>8} {:>7} | {:>7} | {:>6}\n",
               "rate (Hz)", "loss %", "boat m", "p95", "max", "shot raw", "carried", "p95", "unseen %",
               "ghost %", "items %", "lost");
    for (std::unique_ptr<Client> &client : p_clients) {
        Client &c = *client;
        const double boat_p95 = percentile(c.boat_errors, 0.95);
        const double boat_max = c.boat_errors.empty()
                                    ? 0.0
                                    : double(*std::max_element(c.boat_errors.begin(), c.boat_errors.end()));
        const double shot_p95 = percentile(c.shot_carried, 0.95);
        fmt::print(
            p_out,
            "{:>9} {:>6g} | {:>7.3f} {:>7.3f} {:>7.3f} | {:>8.3f} {:>7.3f} {:>7.3f} {:>8.1f} {:>7.1f} | "
            "{:>7.2f} | {:>6}\n",
            c.rate, c.loss, mean(c.boat_error_sum, int64_t(c.boat_errors.size())), boat_p95, boat_max,
            mean(c.shot_raw_sum, c.matched), mean(c.shot_carried_sum, c.matched), shot_p95,
            c.host_shot_frames > 0 ? 100.0 * double(c.unseen) / double(c.host_shot_frames) : 0.0,
            c.client_shot_frames > 0 ? 100.0 * double(c.ghosts) / double(c.client_shot_frames) : 0.0,
            c.host_item_frames > 0 ? 100.0 * double(c.items_wrong) / double(c.host_item_frames) : 0.0,
            c.lost);
    }
    fmt::print(
        p_out,
        "Boats: distance (m) from each client boat, placed every frame by a BoatMotion seeded from its last\n"
        "packet and stepped to the present with that packet's controls, to the host boat; every boat, every\n"
        "frame, dead or alive (before its first packet a client boat sits at its spawn point). Shots: the\n"
        "replica's projectiles from its last packet against the host's current ones, matched by id; raw is\n"
        "the distance as received, carried the distance after moving the received position along its\n"
        "velocity for the time since that packet was sent (mean and p95 over matched projectile-frames).\n"
        "Unseen: host projectile-frames the client does not show (not yet heard of); ghost: client\n"
        "projectile-frames the host no longer has (ended, not yet heard of). Items: host pickup-frames the\n"
        "client shows with another active flag or not at all. Lost: packets dropped by the link.\n");
}

} // namespace

int sim::run_net_match(const NetOptions &p_options, std::FILE *p_out) {
    const int boats = std::max(1, p_options.boats);
    const brinewake_test::MatchLayout layout = brinewake_test::make_match_layout(boats, p_options.seed);
    const Names names;

    brinewake_test::MatchScene host;
    const brinewake_test::BuiltMatch built = brinewake_test::build_match(host, layout);
    if (built.combat == nullptr || host.boat_count() != size_t(boats)) {
        fmt::print(
            stderr,
            "brinewake-sim: the library does not register the classes \"Boat\" and \"WeaponSystem\"\n");
        return 1;
    }
    std::vector<uint64_t> boat_ids;
    for (size_t i = 0; i < host.boat_count(); ++i) {
        boat_ids.push_back(host.boat_id(i));
    }
    const uint64_t combat_id = built.combat->get_instance_id();

    std::vector<int> rates = p_options.rates;
    std::sort(rates.begin(), rates.end());
    rates.erase(std::unique(rates.begin(), rates.end()), rates.end());
    std::vector<double> losses = p_options.losses;
    std::sort(losses.begin(), losses.end());
    losses.erase(std::unique(losses.begin(), losses.end()), losses.end());

    std::vector<Bandwidth> bandwidth;
    std::vector<brinewake_test::SplitMix64> draws; // one stream per rate
    std::vector<std::unique_ptr<Client>> clients;  // rate-major, then loss
    for (const int rate : rates) {
        Bandwidth b;
        b.rate = rate;
        bandwidth.push_back(b);
        draws.emplace_back(p_options.seed ^ (uint64_t(rate) * 0x9e3779b97f4a7c15ull));
        for (const double loss : losses) {
            clients.push_back(std::make_unique<Client>(layout, names, rate, loss));
            if (!clients.back()->is_valid()) {
                fmt::print(stderr, "brinewake-sim: the library does not register \"BoatMotion\"\n");
                return 1;
            }
        }
    }

    const int64_t frames = std::max<int64_t>(1, std::llround(p_options.seconds * FRAMES_PER_SECOND));
    const double latency = p_options.latency_ms / 1000.0;
    const double jitter = p_options.jitter_ms / 1000.0;
    fmt::print(p_out,
               "Net match: {} boats, {:g} s at {:g} Hz ({} frames), seed {}; {} obstacles, {} pickups\n"
               "Link: latency {:g} ms, jitter {:g} ms (uniform, added), loss {} %; {} clients\n",
               boats, double(frames) / FRAMES_PER_SECOND, FRAMES_PER_SECOND, frames, p_options.seed,
               layout.obstacles.size(), layout.pickups.size(), p_options.latency_ms, p_options.jitter_ms,
               fmt::join(losses, ", "), clients.size());
    std::fflush(p_out);

    brinewake_test::MatchPilots pilots(built.combat, boat_ids);
    std::vector<Vector3> host_boats(boat_ids.size());
    std::vector<ShotView> host_shots;
    std::vector<ItemView> host_items;
    std::vector<PackedByteArray> boat_packets(boat_ids.size());
    int64_t peak_projectiles = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int64_t frame = 1; frame <= frames; ++frame) {
        pilots.drive();
        host.step();
        Object *combat = ObjectDB::get_instance(combat_id);

        // What a host script would send this frame, if any rate sends.
        bool encoded = false;
        PackedByteArray replica_packet;
        int64_t boat_bytes = 0;
        for (size_t r = 0; r < rates.size(); ++r) {
            if (!sends_in(frame, rates[r])) {
                continue;
            }
            if (!encoded) {
                encoded = true;
                for (size_t i = 0; i < boat_ids.size(); ++i) {
                    Object *boat = ObjectDB::get_instance(boat_ids[i]);
                    boat_packets[i] = boat != nullptr ? PackedByteArray(boat->call(names.get_network_packet))
                                                      : PackedByteArray();
                    boat_bytes += boat_packets[i].size();
                }
                replica_packet = combat != nullptr ? PackedByteArray(combat->call(names.get_replica_packet))
                                                   : PackedByteArray();
            }
            bandwidth[r].add(frame, boat_bytes, replica_packet.size());
            // Boats in order, then the replica packet; two draws each whatever the settings, so that
            // every loss and jitter setting sees the same stream.
            for (size_t i = 0; i <= boat_ids.size(); ++i) {
                const double unit_loss = draws[r].next_unit();
                const double unit_jitter = draws[r].next_unit();
                const bool replica = i == boat_ids.size();
                for (size_t l = 0; l < losses.size(); ++l) {
                    InFlight packet;
                    packet.send_frame = frame;
                    packet.subject = replica ? REPLICA : int(i);
                    packet.bytes = replica ? replica_packet : boat_packets[i];
                    clients[r * losses.size() + l]->send(std::move(packet), unit_loss, unit_jitter, latency,
                                                         jitter);
                }
            }
        }

        // The host's state at this frame, as its scripts read it.
        for (size_t i = 0; i < boat_ids.size(); ++i) {
            const Node3D *boat = Object::cast_to<Node3D>(ObjectDB::get_instance(boat_ids[i]));
            host_boats[i] = boat != nullptr ? boat->get_global_position() : Vector3();
        }
        if (combat != nullptr) {
            read_shots(names, combat->call(names.get_projectiles), host_shots);
            read_items(names, combat->call(names.get_pickups), host_items);
        } else {
            host_shots.clear();
            host_items.clear();
        }
        peak_projectiles = std::max(peak_projectiles, int64_t(host_shots.size()));

        for (std::unique_ptr<Client> &client : clients) {
            client->update(frame);
            client->measure(frame, host_boats, host_shots, host_items);
        }
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const double seconds = double(frames) / FRAMES_PER_SECOND;
    print_tables(p_out, bandwidth, clients, seconds, boat_ids.size());
    int64_t host_shot_frames = clients.empty() ? 0 : clients.front()->host_shot_frames;
    fmt::print(p_out, "\nprojectiles in flight  {} at peak, {} projectile-frames on the host\n",
               peak_projectiles, host_shot_frames);
    fmt::print(p_out, "simulation speed       {} frames of host and {} clients in {:.3f} s wall clock\n",
               frames, clients.size(), wall);

    int64_t refused = 0;
    int64_t stale = 0;
    for (const std::unique_ptr<Client> &client : clients) {
        refused += client->refused;
        stale += client->stale;
    }
    if (stale > 0) {
        fmt::print(p_out, "out of order           {} packets arrived after a newer one and were dropped\n",
                   stale);
    }
    std::fflush(p_out);
    if (refused > 0) {
        fmt::print(stderr, "brinewake-sim: clients refused {} packets that the host encoded\n", refused);
        return 1;
    }
    return 0;
}
