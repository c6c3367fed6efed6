// One hash guards the whole combat loop: a fixed match of four boats on the sea with scripted controls,
// obstacles and pickups, hashed frame by frame from what scripts observe (every boat's exact pose,
// velocity, health and ammunition, every signal's arguments, every pickup). Any change to the arithmetic,
// the flags or the order of evaluation changes it.
#include "bit_hash.hpp"
#include "combat_fixture.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/transform3d.hpp>

#include <cstdio>
#include <vector>

using namespace godot;
using brinewake_test::CombatTest;
using brinewake_test::Event;

namespace {

class MatchHash {
public:
    void add_bytes(const void *p_data, size_t p_size) {
        value = brinewake_test::fnv1a(value, p_data, p_size);
    }
    template <typename T> void add(const T &p_value) { add_bytes(&p_value, sizeof(p_value)); }
    void add(const Vector3 &p_vector) {
        const float components[3] = {p_vector.x, p_vector.y, p_vector.z};
        add_bytes(components, sizeof(components));
    }
    // Objects hash as their index among p_boats (-1 for none or another object).
    void add(const Variant &p_value, const std::vector<Boat *> &p_boats) {
        switch (p_value.get_type()) {
        case Variant::BOOL:
            add(bool(p_value));
            break;
        case Variant::INT:
            add(int64_t(p_value));
            break;
        case Variant::FLOAT:
            add(double(p_value));
            break;
        case Variant::VECTOR3:
            add(Vector3(p_value));
            break;
        default: {
            const Object *object = p_value;
            int64_t index = -1;
            for (size_t i = 0; i < p_boats.size(); ++i) {
                index = object != nullptr && object == p_boats[i] ? int64_t(i) : index;
            }
            add(index);
        }
        }
    }
    uint64_t value = brinewake_test::FNV1A_OFFSET;
};

TEST_F(CombatTest, AWholeMatchIsDeterministicToTheBit) {
    const Vector3 spawns[4] = {Vector3(0, 0.3f, 6), Vector3(6, 0.3f, 0), Vector3(0, 0.3f, -6),
                               Vector3(-6, 0.3f, 0)};
    const double yaws[4] = {0.0, 1.5707963267948966, 3.141592653589793,
                            -1.5707963267948966}; // facing the middle
    std::vector<Boat *> boats;
    for (int i = 0; i < 4; ++i) {
        boats.push_back(add_free_boat(spawns[i], yaws[i]));
        boats.back()->call("add_ammo", 0, 3);
    }
    Node3D *combat = node();
    scene->add_obstacle(Vector3(3, 0.5f, 3), Vector3(1, 2, 2));
    scene->add_obstacle(Vector3(-3, 0.5f, -3), Vector3(2, 2, 1));
    // Each just ahead of a boat's spawn, on its way to the middle.
    combat->call("add_pickup", 0, Vector3(0, 0, 4));
    combat->call("add_pickup", 100, Vector3(4, 0, 0));
    combat->call("add_pickup", 101, Vector3(0, 0, -4));

    MatchHash hash;
    size_t hashed_events = 0;
    for (int frame = 0; frame < 600; ++frame) {
        for (int i = 0; i < 4; ++i) {
            Boat *boat = boats[size_t(i)];
            const double throttle = double((frame / 40 + i) % 3 - 1) * 0.3;
            const double steering = double((frame / 25 + 2 * i) % 5 - 2) * 0.3;
            boat->call("set_controls", throttle, steering);
            boat->call("select_weapon", (frame / 120 + i) % 2);
            boat->call("set_trigger", (frame + 7 * i) % 30 < 20);
        }
        scene->step();
        for (Boat *boat : boats) {
            const Transform3D pose = boat->get_global_transform();
            for (int row = 0; row < 3; ++row) {
                hash.add(pose.basis.rows[row]);
            }
            hash.add(pose.origin);
            hash.add(boat->get_linear_velocity());
            hash.add(double(boat->call("get_health")));
            hash.add(int64_t(boat->call("get_ammo", 0)));
            hash.add(int64_t(boat->call("get_ammo", 1)));
        }
        for (; hashed_events < log.all().size(); ++hashed_events) {
            const Event &event = log.all()[hashed_events];
            hash.add_bytes(event.signal.data(), event.signal.size());
            for (const Variant &argument : event.args) {
                hash.add(argument, boats);
            }
        }
        hash.add(int64_t(combat->call("get_projectile_count")));
        const Array pickups = combat->call("get_pickups");
        for (int64_t p = 0; p < pickups.size(); ++p) {
            const Dictionary pickup = pickups[p];
            hash.add(Vector3(pickup["position"]));
            hash.add(bool(pickup["active"]));
        }
    }
    // The match must be a real one for the hash to guard anything.
    EXPECT_GT(log.count("weapon_fired"), 50u);
    EXPECT_GT(log.count("boat_hit"), 5u);
    EXPECT_GT(log.count("pickup_collected"), 0u);
    std::printf("match: %zu shots, %zu impacts, %zu hits, %zu destroyed, %zu pickups; hash 0x%016llx\n",
                log.count("weapon_fired"), log.count("projectile_impact"), log.count("boat_hit"),
                log.count("destroyed"), log.count("pickup_collected"),
                static_cast<unsigned long long>(hash.value));
    EXPECT_EQ(hash.value, 0x4c4982f3493a8e3full);
}

} // namespace
