// The combat state through the script view: the match-state dictionary, the projectile list, restores
// of hostile states and restores from signal handlers in the middle of a frame.
#include "combat_fixture.hpp"
#include "combat_state.hpp"

#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

using namespace godot;
using namespace brinewake_test;

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double INF = std::numeric_limits<double>::infinity();

// Same keys in the same order, with equal values of the same types.
void expect_same_entries(const Dictionary &p_actual, const Dictionary &p_expected) {
    ASSERT_EQ(keys_of(p_actual), keys_of(p_expected));
    const Array keys = p_expected.keys();
    for (int64_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(p_actual[keys[i]].get_type(), p_expected[keys[i]].get_type()) << keys_of(p_expected)[i];
        EXPECT_EQ(p_actual[keys[i]], p_expected[keys[i]]) << keys_of(p_expected)[i];
    }
}

// The value a restore reads for p_key of p_given: the entry converted to the kept value's type, or that
// type's zero when the entry is absent.
Variant as_restored(const Dictionary &p_given, const char *p_key, const Variant &p_kept) {
    const Variant given = p_given.get(p_key, Variant());
    switch (p_kept.get_type()) {
    case Variant::INT:
        return int64_t(given);
    case Variant::FLOAT:
        return double(given);
    case Variant::BOOL:
        return bool(given);
    case Variant::VECTOR3:
        return Vector3(given);
    default:
        return given;
    }
}

TEST_F(CombatTest, AFreshNodeSavesAnEmptyState) {
    const Dictionary state = node()->call("save_match_state");
    EXPECT_EQ(keys_of(state), (std::vector<std::string>{"next_id", "shots", "items"}));
    EXPECT_EQ(state["next_id"], Variant(int64_t(1)));
    EXPECT_EQ(Array(state["shots"]).size(), 0);
    EXPECT_EQ(Array(state["items"]).size(), 0);
    EXPECT_EQ(Array(node()->call("get_projectiles")).size(), 0);
}

TEST_F(CombatTest, ASaveHoldsPickupsByAnchorAndProjectilesInSinglePrecision) {
    Node3D *combat = node();
    combat->call("add_pickup", 0, Vector3(1, 2, 3));
    Dictionary state = combat->call("save_match_state");
    EXPECT_EQ(state["next_id"], Variant(int64_t(2)));
    const Array items = state["items"];
    ASSERT_EQ(items.size(), 1);
    expect_same_entries(items[0], item_state(1, 0, Vector3(1, 2, 3), true, 0.0));

    Boat *boat = add_boat(Vector3(0, 5, 0));
    boat->call("add_ammo", 0, 1);
    press(boat, 0);
    scene->step(2);
    const Array shots = combat->call("get_projectiles");
    ASSERT_EQ(shots.size(), 1);
    const Dictionary shot = shots[0];
    EXPECT_EQ(keys_of(shot),
              (std::vector<std::string>{"id", "kind", "position", "velocity", "burning", "age"}));
    EXPECT_EQ(shot["id"], Variant(int64_t(2)));
    EXPECT_EQ(shot["kind"], Variant(int64_t(0)));
    EXPECT_EQ(shot["position"].get_type(), Variant::VECTOR3);
    EXPECT_EQ(shot["velocity"].get_type(), Variant::VECTOR3);
    EXPECT_EQ(shot["burning"], Variant(true));
    EXPECT_EQ(shot["age"], Variant(2.0 / 60.0));
    state = combat->call("save_match_state");
    EXPECT_EQ(Variant(state["shots"]), Variant(shots));
}

TEST_F(CombatTest, BurningFollowsTheAgeAndTheKind) {
    struct Case {
        int kind;
        double age;
        bool burning;
    };
    const Case cases[] = {{0, 0.0, true},  {0, 0.5, true},  {0, 0.6999999, true}, {0, 0.7, false},
                          {0, 2.0, false}, {1, 0.0, false}, {1, 1.0, false}};
    Array shots;
    for (const Case &c : cases) {
        shots.push_back(shot_state(1, c.kind, Vector3(0, 50, 0), Vector3(1, 0, 0), c.age));
    }
    node()->call("restore_match_state", match_state(9, shots, Array()));
    const Array listed = node()->call("get_projectiles");
    ASSERT_EQ(listed.size(), int64_t(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(Dictionary(listed[int64_t(i)])["burning"], Variant(cases[i].burning))
            << "kind " << cases[i].kind << " age " << cases[i].age;
    }
}

TEST_F(CombatTest, RestoringASaveReproducesTheCombatState) {
    Boat *boat = add_boat(Vector3(0, 5, 0), 0.3);
    boat->set_linear_velocity(Vector3(0.3f, 0.0f, -2.7f));
    Node3D *combat = node();
    combat->call("add_pickup", 0, Vector3(1, 2, 3));
    combat->call("add_pickup", 101, Vector3(40, 0, -7));
    boat->call("add_ammo", 0, 2);
    press(boat, 0);
    scene->step(3);
    press(boat, 1);
    scene->step(5);
    ASSERT_EQ(int64_t(combat->call("get_projectile_count")), 3);

    const Dictionary saved = combat->call("save_match_state");
    const Array projectiles = combat->call("get_projectiles");
    const Array pickups = combat->call("get_pickups");
    combat->call("clear_projectiles");
    combat->call("add_pickup", 100, Vector3(0, 0, 0));
    combat->call("restore_match_state", saved);
    EXPECT_EQ(Variant(combat->call("get_projectiles")), Variant(projectiles));
    EXPECT_EQ(Variant(combat->call("get_pickups")), Variant(pickups));
    EXPECT_EQ(Variant(combat->call("save_match_state")), Variant(saved));
    EXPECT_EQ(int64_t(combat->call("add_pickup", 0, Vector3(5, 0, 5))), int64_t(saved["next_id"]));

    combat->call("restore_match_state", Dictionary());
    EXPECT_EQ(int64_t(combat->call("get_projectile_count")), 0);
    EXPECT_EQ(Array(combat->call("get_pickups")).size(), 0);
    EXPECT_EQ(Dictionary(combat->call("save_match_state"))["next_id"], Variant(int64_t(1)));
}

TEST_F(CombatTest, ARestoredProjectileHasNoOwner) {
    Boat *boat = add_boat(Vector3(0, 1, 0));
    Node3D *combat = node();
    // A spent rocket just behind the boat's stern, flying at it; any owner's grace would not apply.
    Array shots;
    shots.push_back(shot_state(5, 0, Vector3(0, 1.15f, 1.3f), Vector3(0, 0, -16), 1.0));
    combat->call("restore_match_state", match_state(6, shots, Array()));
    scene->step();
    const std::vector<Event> hits = log.of("boat_hit");
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(Object::cast_to<Boat>(hits[0][0]), boat);
    EXPECT_EQ(static_cast<Object *>(hits[0][4]), nullptr) << "no attacker";
}

TEST_F(CombatTest, RestoreKeepsOnlyWhatTheNodeCanRun) {
    struct ShotCase {
        const char *name;
        Variant entry;
        bool kept;
    };
    Dictionary partial;
    partial["kind"] = 1.0; // a float where an integer is expected converts
    partial["position"] = Vector3(3, 40, 3);
    const ShotCase shots[] = {
        {"a plain rocket", shot_state(11, 0, Vector3(0, 40, 0), Vector3(5, 0, 0), 0.1), true},
        {"no entries: a rocket at the origin", Dictionary(), true},
        {"only some entries", partial, true},
        {"a string", String("shot"), false},
        {"an integer", int64_t(3), false},
        {"an array", Array(), false},
        {"nil", Variant(), false},
        {"kind 2", shot_state(12, 2, Vector3(), Vector3(), 0.0), false},
        {"kind -1", shot_state(13, -1, Vector3(), Vector3(), 0.0), false},
        {"kind 100", shot_state(14, 100, Vector3(), Vector3(), 0.0), false},
        {"NaN position", shot_state(15, 0, Vector3(0, float(NaN), 0), Vector3(), 0.0), false},
        {"infinite position", shot_state(16, 1, Vector3(float(INF), 0, 0), Vector3(), 0.0), false},
        {"infinite velocity", shot_state(17, 0, Vector3(), Vector3(0, 0, float(-INF)), 0.0), false},
        {"NaN age", shot_state(18, 0, Vector3(), Vector3(), NaN), false},
        {"infinite age", shot_state(19, 1, Vector3(), Vector3(), INF), false},
    };
    struct ItemCase {
        const char *name;
        Variant entry;
        bool kept;
        double timer; // as kept
    };
    const ItemCase items[] = {
        {"a rocket pickup", item_state(21, 0, Vector3(4, 0, 4), true, 0.0), true, 0.0},
        {"no entries", Dictionary(), true, 0.0},
        {"an unknown kind is kept, never collected", item_state(22, 102, Vector3(), true, 0.0), true, 0.0},
        {"a string", String("item"), false, 0.0},
        {"NaN anchor", item_state(23, 0, Vector3(float(NaN), 0, 0), true, 0.0), false, 0.0},
        {"infinite anchor", item_state(24, 100, Vector3(0, 0, float(INF)), true, 0.0), false, 0.0},
        {"NaN timer reads as 0", item_state(25, 101, Vector3(), false, NaN), true, 0.0},
        {"infinite timer reads as 0", item_state(26, 101, Vector3(), false, INF), true, 0.0},
        {"a timer running", item_state(27, 0, Vector3(), false, 3.5), true, 3.5},
    };
    Array shot_entries;
    for (const ShotCase &c : shots) {
        shot_entries.push_back(c.entry);
    }
    Array item_entries;
    for (const ItemCase &c : items) {
        item_entries.push_back(c.entry);
    }
    Node3D *combat = node();
    combat->call("restore_match_state", match_state(40, shot_entries, item_entries));

    const Dictionary state = combat->call("save_match_state");
    const Array kept_shots = state["shots"];
    int64_t next = 0;
    for (const ShotCase &c : shots) {
        if (c.kept) {
            SCOPED_TRACE(c.name);
            ASSERT_LT(next, kept_shots.size());
            const Dictionary kept = kept_shots[next++];
            const Dictionary given = c.entry;
            for (const char *key : {"id", "kind", "position", "velocity", "age"}) {
                EXPECT_EQ(kept[key], as_restored(given, key, kept[key])) << key;
            }
        }
    }
    EXPECT_EQ(next, kept_shots.size());
    const Array kept_items = state["items"];
    next = 0;
    for (const ItemCase &c : items) {
        if (c.kept) {
            SCOPED_TRACE(c.name);
            ASSERT_LT(next, kept_items.size());
            const Dictionary kept = kept_items[next++];
            const Dictionary given = c.entry;
            for (const char *key : {"id", "kind", "anchor", "active"}) {
                EXPECT_EQ(kept[key], as_restored(given, key, kept[key])) << key;
            }
            EXPECT_EQ(kept["timer"], Variant(c.timer));
        }
    }
    EXPECT_EQ(next, kept_items.size());

    // What was kept runs: projectiles fly and strike, timers count down, and nothing non-finite comes
    // out in the lists, the packet, damage or impulses.
    Boat *boat = add_free_boat(Vector3(0, 0.3f, 0));
    boat->call("add_ammo", 0, 1);
    for (int frame = 0; frame < 240; ++frame) {
        scene->step();
        std::string problem = combat_problem(combat);
        if (problem.empty()) {
            problem = struck_boat_problem(boat);
        }
        ASSERT_TRUE(problem.empty()) << "frame " << frame << ": " << problem;
    }
    EXPECT_EQ(int64_t(combat->call("get_projectile_count")), 0) << "every kept shot has landed or expired";
    std::vector<int64_t> reappeared;
    for (const Event &event : log.of("pickup_respawned")) {
        reappeared.push_back(int64_t(event[0]));
    }
    EXPECT_EQ(reappeared, (std::vector<int64_t>{0, 25, 26, 27}))
        << "zero timers at once, the running one later";
}

// A restored speed so extreme that the drag step overshoots: the state grows until it leaves the numbers,
// and the projectile then ends in the air instead of striking anything with a non-finite contact.
TEST_F(CombatTest, AShotTooFastToFlyEndsInTheAir) {
    Boat *boat = add_free_boat(Vector3(3, 0.7f, -2));
    Node3D *combat = node();
    Array shots;
    shots.push_back(shot_state(4, 1, Vector3(0, 0.5f, 0), Vector3(-2.1e37f, 0, 50), 0.0));
    combat->call("restore_match_state", match_state(5, shots, Array()));
    for (int frame = 0; frame < 4; ++frame) {
        scene->step();
        const std::string problem = struck_boat_problem(boat);
        ASSERT_TRUE(problem.empty()) << "frame " << frame << ": " << problem;
    }
    EXPECT_EQ(int64_t(combat->call("get_projectile_count")), 0);
    const std::vector<Event> impacts = log.of("projectile_impact");
    ASSERT_EQ(impacts.size(), 1u);
    EXPECT_EQ(int64_t(impacts[0][4]), int64_t(brinewake::SURFACE_AIR));
    EXPECT_TRUE(Vector3(impacts[0][2]).is_finite());
    EXPECT_EQ(log.count("boat_hit"), 0u);
}

// A handler that restores a state mid-frame: the frame goes on over its own copies, the restored lists
// are left as given (but for what the rest of the frame does to them), and nothing the handler replaced
// is walked again.
struct HandlerCase {
    const char *name;
    const char *signal;
    bool flies_restored; // the frame's flight step comes after the restore
    bool walks_restored; // the frame's pickup update comes after the restore
};

void PrintTo(const HandlerCase &p_case, std::ostream *r_stream) {
    *r_stream << p_case.name;
}

class RestoreFromHandler : public CombatTest, public testing::WithParamInterface<HandlerCase> {};

TEST_P(RestoreFromHandler, ReplacesTheListsSafely) {
    const HandlerCase &c = GetParam();
    Array restored_shots;
    restored_shots.push_back(shot_state(90, 1, Vector3(50, 30, 50), Vector3(1, 0, 0), 0.5));
    Array restored_items;
    restored_items.push_back(item_state(91, 100, Vector3(-30, 0, -30), false, 0.5));
    restored_items.push_back(item_state(92, 0, Vector3(30, 0, 30), true, 0.0));
    const Dictionary restored = match_state(93, restored_shots, restored_items);

    add_boat(Vector3(0, 1, 0));
    Boat *shooter = add_boat(Vector3(20, 1, 0));
    Node3D *combat = node();
    // Two water-cannon shots about to strike the first boat, a pickup it collects, one that reappears,
    // and one after them that would reappear in the same frame.
    Array shots;
    shots.push_back(shot_state(1, 1, Vector3(0, 1.15f, 1.3f), Vector3(0, 0, -16), 0.5));
    shots.push_back(shot_state(2, 1, Vector3(0, 1.15f, -1.3f), Vector3(0, 0, 16), 0.5));
    Array items;
    items.push_back(item_state(3, 0, Vector3(0, 0, 0), true, 0.0));
    items.push_back(item_state(4, 101, Vector3(-40, 0, 0), false, 0.001));
    items.push_back(item_state(5, 101, Vector3(-50, 0, 0), false, 0.001));
    combat->call("restore_match_state", match_state(6, shots, items));
    press(shooter, 1);
    int restores = 0;
    log.on(c.signal, [&](const Event &) {
        if (restores++ == 0) {
            combat->call("restore_match_state", restored);
        }
    });
    scene->step();
    ASSERT_GT(restores, 0) << "the signal was emitted";

    if (!c.flies_restored) {
        std::vector<int64_t> impacts;
        for (const Event &event : log.of("projectile_impact")) {
            impacts.push_back(int64_t(event[0]));
        }
        EXPECT_EQ(impacts, (std::vector<int64_t>{1, 2})) << "the frame's impacts are all resolved";
    }
    for (const Event &event : log.of("pickup_respawned")) {
        EXPECT_NE(int64_t(event[0]), 5) << "a replaced pickup is not walked on";
    }
    const Dictionary state = combat->call("save_match_state");
    EXPECT_EQ(state["next_id"], Variant(int64_t(93)));
    const Array kept_shots = state["shots"];
    ASSERT_EQ(kept_shots.size(), 1) << "only the restored shot; the fired one left with the old list";
    const Dictionary shot = kept_shots[0];
    EXPECT_EQ(shot["id"], Variant(int64_t(90)));
    EXPECT_EQ(shot["age"], Variant(c.flies_restored ? 0.5 + 1.0 / 60.0 : 0.5));
    const Array kept_items = state["items"];
    ASSERT_EQ(kept_items.size(), 2);
    EXPECT_EQ(Dictionary(kept_items[0])["timer"], Variant(c.walks_restored ? 0.5 - 1.0 / 60.0 : 0.5));
    EXPECT_EQ(Dictionary(kept_items[1])["active"], Variant(true));
}

INSTANTIATE_TEST_SUITE_P(CombatTest, RestoreFromHandler,
                         testing::Values(HandlerCase{"Firing", "weapon_fired", true, true},
                                         HandlerCase{"Hit", "boat_hit", false, true},
                                         HandlerCase{"Impact", "projectile_impact", false, true},
                                         HandlerCase{"Collection", "pickup_collected", false, false},
                                         HandlerCase{"Reappearance", "pickup_respawned", false, false}),
                         [](const testing::TestParamInfo<HandlerCase> &p_info) {
                             return std::string(p_info.param.name);
                         });

} // namespace
