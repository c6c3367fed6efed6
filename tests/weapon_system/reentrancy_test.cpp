// Signal handlers run inside the node's loops and may free boats or the node itself, unregister boats,
// or clear and refill the lists being walked. One arena produces every kind of emission in its first
// frame; each scenario hooks one handler into it. Whatever a handler does, nothing freed is touched (the
// sanitizer build checks that), no projectile is resolved twice, and what was not disturbed goes on.
#include "combat_fixture.hpp"

#include "rules/wave_field.hpp"

#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/core/object.hpp>

#include <functional>
#include <set>
#include <string>
#include <vector>

using namespace godot;
using brinewake_test::Event;
using brinewake_test::EventLog;
using brinewake_test::MatchScene;

namespace {

constexpr int HEALTH = 100;

// Frame 0 of the arena: B (5 health) and A stand beside a wall that A's rocket strikes at once, so the
// blast destroys B and hurts A; C shoots its own wall, D a rocket into the open that survives for 3 s, E
// holds its water cannon; F, hurt, sits between two health pickups and collects both.
struct Arena {
    MatchScene scene;
    EventLog log;
    Node3D *node = nullptr;
    uint64_t node_id = 0;
    Boat *a, *b, *c, *d, *e, *f;
    std::vector<uint64_t> ids; // of every boat, in registration order

    Arena() {
        auto boat = [this](const Vector3 &p_position) {
            Boat *created = Object::cast_to<Boat>(scene.add_boat(p_position));
            created->set_freeze_enabled(true);
            created->call("add_ammo", 0, 6);
            log.watch_boat(created);
            return created;
        };
        b = boat(Vector3(1.5f, 5, 0));
        a = boat(Vector3(0, 5, 0));
        c = boat(Vector3(10, 5, 0));
        d = boat(Vector3(20, 5, 0));
        e = boat(Vector3(30, 5, 0));
        const float sea = float(brinewake::wave_height(50.0, 0.0, 0.0) + 0.35);
        f = boat(Vector3(50, sea, 0));
        scene.add_obstacle(Vector3(0, 5.5f, -1.3f), Vector3(2, 2, 0.4f));
        scene.add_obstacle(Vector3(10, 5.5f, -1.3f), Vector3(2, 2, 0.4f));
        b->call("apply_damage", 45.0);
        f->call("apply_damage", 40.0);
        node = scene.weapon_system_with_boats();
        node_id = node->get_instance_id();
        log.watch_node(node);
        node->call("add_pickup", HEALTH, Vector3(50, 0, 0.5f));
        node->call("add_pickup", HEALTH, Vector3(50, 0, -0.5f));
        for (Boat *shooter : {a, c, d}) {
            shooter->call("select_weapon", 0);
            shooter->call("set_trigger", true);
        }
        e->call("set_trigger", true);
        for (Boat *boat_in_order : {b, a, c, d, e, f}) {
            ids.push_back(boat_in_order->get_instance_id());
        }
    }

    bool node_exists() const { return ObjectDB::get_instance(node_id) != nullptr; }
    void free_node() { free_object(node_id); }
    // Frees the object with this id if it still exists.
    static void free_object(uint64_t p_id) {
        if (Object *object = ObjectDB::get_instance(p_id)) {
            memdelete(object);
        }
    }
    static uint64_t id_of(const Variant &p_object) {
        const Object *object = p_object;
        return object != nullptr ? object->get_instance_id() : 0;
    }
};

struct Scenario {
    const char *name;
    const char *signal; // the handler runs on this signal
    std::function<void(Arena &, const Event &)> handler;
    std::function<void(Arena &, const std::vector<Event> &)> check; // the events of the first frame
};

TEST(WeaponSystemReentrancy, HandlersMayChangeAnythingWhileTheLoopsRun) {
    brinewake_test::use_linked_extension();
    const std::vector<Scenario> scenarios = {
        {"none", "", nullptr,
         [](Arena &arena, const std::vector<Event> &frame) {
             EXPECT_EQ(brinewake_test::signal_names(frame),
                       (std::vector<std::string>{"weapon_fired", "weapon_fired", "weapon_fired",
                                                 "weapon_fired", "destroyed", "boat_hit", "boat_hit",
                                                 "projectile_impact", "boat_hit", "projectile_impact",
                                                 "pickup_collected", "pickup_collected"}));
             EXPECT_EQ(int64_t(arena.node->call("get_projectile_count")), 2) << "d's rocket and e's jet";
         }},
        {"free the struck boat in boat_hit", "boat_hit",
         [](Arena &, const Event &p_hit) { Arena::free_object(Arena::id_of(p_hit[0])); },
         [](Arena &arena, const std::vector<Event> &frame) {
             EXPECT_EQ(arena.log.count("boat_hit"), 3u) << "every struck boat is still reported";
             EXPECT_EQ(arena.log.count("projectile_impact"), 2u);
             (void)frame;
         }},
        {"free a later boat of the same blast in destroyed", "destroyed",
         [](Arena &arena, const Event &) { Arena::free_object(arena.ids[1]); },
         [](Arena &arena, const std::vector<Event> &frame) {
             // B dies first in A's resolution; A, freed by the handler, is skipped.
             const std::vector<Event> hits = arena.log.of("boat_hit");
             ASSERT_EQ(hits.size(), 2u);
             EXPECT_EQ(Arena::id_of(hits[0][0]), arena.ids[0]);
             EXPECT_EQ(static_cast<Object *>(hits[0][4]), nullptr) << "the attacker is gone";
             EXPECT_EQ(Arena::id_of(hits[1][0]), arena.ids[2]);
             EXPECT_EQ(arena.log.count("projectile_impact"), 2u);
             (void)frame;
         }},
        {"unregister every boat in weapon_fired", "weapon_fired",
         [](Arena &arena, const Event &) {
             for (uint64_t id : arena.ids) {
                 if (Object *boat = ObjectDB::get_instance(id)) {
                     arena.node->call("unregister_boat", boat);
                 }
             }
         },
         [](Arena &arena, const std::vector<Event> &frame) {
             // The frame's list of firing boats was taken before; the flight and the pickups see none.
             EXPECT_EQ(arena.log.count("weapon_fired"), 4u);
             EXPECT_EQ(arena.log.count("boat_hit"), 0u);
             EXPECT_EQ(arena.log.count("pickup_collected"), 0u);
             (void)frame;
         }},
        {"clear the projectiles in the first projectile_impact", "projectile_impact",
         [](Arena &arena, const Event &) { arena.node->call("clear_projectiles"); },
         [](Arena &arena, const std::vector<Event> &frame) {
             EXPECT_EQ(arena.log.count("projectile_impact"), 2u) << "the pending resolution still runs";
             EXPECT_EQ(int64_t(arena.node->call("get_projectile_count")), 0);
             (void)frame;
         }},
        {"clear the pickups and add one in pickup_collected", "pickup_collected",
         [](Arena &arena, const Event &) {
             if (Array(arena.node->call("get_pickups")).size() == 2) {
                 arena.node->call("clear_pickups");
                 arena.node->call("add_pickup", HEALTH, Vector3(50, 0, 0));
             }
         },
         [](Arena &arena, const std::vector<Event> &frame) {
             EXPECT_EQ(arena.log.count("pickup_collected"), 1u) << "the emptied list ends the walk";
             arena.scene.step();
             ASSERT_EQ(arena.log.count("pickup_collected"), 2u)
                 << "the added pickup waits for the next frame";
             EXPECT_EQ(int64_t(arena.log.of("pickup_collected")[1][0]), 7) << "after 2 pickups and 4 shots";
             (void)frame;
         }},
        {"free the firing boat in weapon_fired", "weapon_fired",
         [](Arena &, const Event &p_shot) { Arena::free_object(Arena::id_of(p_shot[0])); },
         [](Arena &arena, const std::vector<Event> &frame) {
             EXPECT_EQ(arena.log.count("weapon_fired"), 4u);
             EXPECT_EQ(arena.log.count("projectile_impact"), 2u) << "shots outlive their boats";
             (void)frame;
         }},
        {"free the node in weapon_fired", "weapon_fired",
         [](Arena &arena, const Event &) { arena.free_node(); }, nullptr},
        {"free the node in boat_hit", "boat_hit", [](Arena &arena, const Event &) { arena.free_node(); },
         nullptr},
        {"free the node in projectile_impact", "projectile_impact",
         [](Arena &arena, const Event &) { arena.free_node(); }, nullptr},
        {"free the node in pickup_collected", "pickup_collected",
         [](Arena &arena, const Event &) { arena.free_node(); }, nullptr},
        {"free the node in destroyed", "destroyed", [](Arena &arena, const Event &) { arena.free_node(); },
         nullptr},
    };

    for (const Scenario &scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        Arena arena;
        if (scenario.handler) {
            Arena *context = &arena;
            const std::function<void(Arena &, const Event &)> handler = scenario.handler;
            arena.log.on(scenario.signal,
                         [context, handler](const Event &p_event) { handler(*context, p_event); });
        }
        arena.scene.step();
        const std::vector<Event> frame = arena.log.all();
        size_t events_when_freed = arena.log.all().size();
        if (!arena.node_exists()) {
            // Nothing after the emission that freed the node: that emission's own handlers are the last.
            events_when_freed = arena.log.all().size();
        } else if (scenario.check) {
            scenario.check(arena, frame);
        }
        for (uint64_t id : arena.ids) {
            if (Object *boat = ObjectDB::get_instance(id)) {
                boat->call("set_trigger", false);
            }
        }
        arena.scene.step(200); // past the survivors' lifetimes
        if (!arena.node_exists()) {
            size_t node_events = 0;
            for (size_t i = events_when_freed; i < arena.log.all().size(); ++i) {
                const std::string &signal = arena.log.all()[i].signal;
                node_events += (signal != "destroyed" && signal != "respawned") ? 1 : 0;
            }
            EXPECT_EQ(node_events, 0u) << "a freed node emits nothing more";
            continue;
        }
        std::set<int64_t> resolved;
        for (const Event &impact : arena.log.of("projectile_impact")) {
            EXPECT_TRUE(resolved.insert(int64_t(impact[0])).second) << "projectile " << int64_t(impact[0]);
        }
        EXPECT_EQ(int64_t(arena.node->call("get_projectile_count")), 0) << "every projectile ended";
    }
}

} // namespace
