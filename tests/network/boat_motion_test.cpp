// The BoatMotion predictor: its worked cases, its determinism and how well it follows a physics boat.
#include "network_support.hpp"

#include "boat_motion/motion_integrator.hpp"
#include "net/boat_packet.hpp"

#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/quaternion.hpp>
#include <godot_cpp/variant/transform3d.hpp>

#include <cmath>
#include <cstdio>
#include <limits>

using namespace godot;
using namespace brinewake_test;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double INF = std::numeric_limits<double>::infinity();

// A predictor as a script holds one.
class Predictor {
public:
    Predictor() : holder(instantiate("BoatMotion")), object(holder) {}

    Object *get() const { return object; }
    bool set_from_packet(const Bytes &p_bytes) { return object->call("set_from_packet", to_packed(p_bytes)); }
    void set_from_boat(const Variant &p_boat) { object->call("set_from_boat", p_boat); }
    void step(double p_throttle, double p_steering, double p_delta) {
        object->call("step", p_throttle, p_steering, p_delta);
    }
    Transform3D transform() const { return object->call("get_transform"); }
    Vector3 linear_velocity() const { return object->call("get_linear_velocity"); }
    Vector3 angular_velocity() const { return object->call("get_angular_velocity"); }
    double time() const { return object->call("get_time"); }
    double throttle() const { return object->call("get_throttle"); }
    double steering() const { return object->call("get_steering"); }
    bool alive() const { return object->call("is_alive"); }

    // The exact bits of everything the getters report.
    uint64_t fingerprint() const {
        const Transform3D t = transform();
        const Vector3 v = linear_velocity();
        const Vector3 w = angular_velocity();
        const double clocks[3] = {time(), throttle(), steering()};
        const bool is_alive = alive();
        uint64_t hash = FNV1A_OFFSET;
        for (int i = 0; i < 3; ++i) {
            const float row[3] = {t.basis.rows[i].x, t.basis.rows[i].y, t.basis.rows[i].z};
            hash = fnv1a(hash, row, sizeof(row));
        }
        const float rest[9] = {t.origin.x, t.origin.y, t.origin.z, v.x, v.y, v.z, w.x, w.y, w.z};
        hash = fnv1a(hash, rest, sizeof(rest));
        hash = fnv1a(hash, clocks, sizeof(clocks));
        return fnv1a(hash, &is_alive, sizeof(is_alive));
    }

private:
    Variant holder; // keeps the reference-counted object alive
    Object *object;
};

struct SeedValues {
    Vector3 position;
    Quaternion rotation = Quaternion(0.0f, 0.0f, 0.0f, 1.0f);
    Vector3 linear_velocity;
    Vector3 angular_velocity;
    float health = 50.0f;
    float boost = 0.0f;
    float throttle = 0.0f;
    float steering = 0.0f;
    Vector2 wind;
    double wave_time = 0.0;
};

Bytes seed_packet(const SeedValues &p_seed) {
    Bytes bytes = FRESH_BOAT_PACKET;
    const float floats[20] = {p_seed.position.x,
                              p_seed.position.y,
                              p_seed.position.z,
                              p_seed.rotation.x,
                              p_seed.rotation.y,
                              p_seed.rotation.z,
                              p_seed.rotation.w,
                              p_seed.linear_velocity.x,
                              p_seed.linear_velocity.y,
                              p_seed.linear_velocity.z,
                              p_seed.angular_velocity.x,
                              p_seed.angular_velocity.y,
                              p_seed.angular_velocity.z,
                              p_seed.health,
                              0.0f,
                              p_seed.boost,
                              p_seed.throttle,
                              p_seed.steering,
                              p_seed.wind.x,
                              p_seed.wind.y};
    for (int i = 0; i < 20; ++i) {
        put_f32_le(bytes, FLOAT_FIELD_OFFSETS[i], floats[i]);
    }
    put_f64_le(bytes, WAVE_TIME_OFFSET, p_seed.wave_time);
    return bytes;
}

float heading_of(const Basis &p_basis) {
    const Vector3 bow = -p_basis.get_column(2);
    return std::atan2(-bow.x, -bow.z);
}

float angle_between_headings(float p_a, float p_b) {
    float difference = std::fabs(p_a - p_b);
    const float pi = 3.14159265f;
    return difference > pi ? 2.0f * pi - difference : difference;
}

class BoatMotionTest : public NetworkTest {};

} // namespace

TEST_F(BoatMotionTest, NewPredictor) {
    Predictor motion;
    ASSERT_NE(motion.get(), nullptr);
    EXPECT_EQ(motion.transform(), Transform3D());
    EXPECT_EQ(motion.linear_velocity(), Vector3());
    EXPECT_EQ(motion.angular_velocity(), Vector3());
    EXPECT_EQ(motion.time(), 0.0);
    EXPECT_EQ(motion.throttle(), 0.0);
    EXPECT_EQ(motion.steering(), 0.0);
    EXPECT_TRUE(motion.alive());
}

TEST_F(BoatMotionTest, InvalidDeltasChangeNothing) {
    Predictor motion;
    SeedValues seed;
    seed.position = Vector3(0.0f, 0.2f, 0.0f);
    seed.linear_velocity = Vector3(0.0f, 0.0f, -2.0f);
    ASSERT_TRUE(motion.set_from_packet(seed_packet(seed)));
    motion.step(0.5, -0.5, 0.1);
    const uint64_t before = motion.fingerprint();
    for (double delta : {0.0, -0.0, -0.1, NaN, INF, -INF}) {
        motion.step(1.0, 1.0, delta);
        EXPECT_EQ(motion.fingerprint(), before) << "delta " << delta;
        EXPECT_EQ(motion.throttle(), 0.5) << "delta " << delta;
    }
}

TEST_F(BoatMotionTest, ControlsAreClampedAndStored) {
    struct Case {
        double throttle, steering;
        double stored_throttle, stored_steering;
    };
    const Case cases[] = {
        {2.0, -5.0, 1.0, -1.0},     {NaN, 0.5, 0.0, 0.5},   {INF, -INF, 0.0, 0.0},
        {-0.25, 0.75, -0.25, 0.75}, {-1.0, 1.0, -1.0, 1.0},
    };
    Predictor motion;
    for (const Case &c : cases) {
        motion.step(c.throttle, c.steering, 0.1);
        EXPECT_EQ(motion.throttle(), c.stored_throttle) << c.throttle;
        EXPECT_EQ(motion.steering(), c.stored_steering) << c.steering;
    }
}

TEST_F(BoatMotionTest, FreeFallFromFiveMetres) {
    Predictor motion;
    SeedValues seed;
    seed.position = Vector3(0.0f, 5.0f, 0.0f);
    ASSERT_TRUE(motion.set_from_packet(seed_packet(seed)));
    motion.step(0.0, 0.0, 0.1);
    EXPECT_NEAR(motion.linear_velocity().y, -0.98f, 1e-5f);
    EXPECT_EQ(motion.linear_velocity().x, 0.0f);
    EXPECT_EQ(motion.linear_velocity().z, 0.0f);
    EXPECT_NEAR(motion.transform().origin.y, 4.902f, 1e-5f);
    EXPECT_EQ(motion.transform().basis, Basis());
    EXPECT_EQ(motion.angular_velocity(), Vector3());
    EXPECT_EQ(motion.time(), 0.1);
}

TEST_F(BoatMotionTest, TurnsAboutTheCentreOfMass) {
    Predictor motion;
    SeedValues seed;
    seed.position = Vector3(0.0f, 5.0f, 0.0f);
    seed.angular_velocity = Vector3(1.0f, 0.0f, 0.0f);
    ASSERT_TRUE(motion.set_from_packet(seed_packet(seed)));
    motion.step(0.0, 0.0, 0.1);
    const Vector3 w = motion.angular_velocity();
    EXPECT_NEAR(w.x, 0.81f, 1e-6f);
    EXPECT_EQ(w.y, 0.0f);
    EXPECT_EQ(w.z, 0.0f);
    const Basis expected(Vector3(1.0f, 0.0f, 0.0f), 0.081f);
    const Transform3D t = motion.transform();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            EXPECT_NEAR(t.basis.rows[i][j], expected.rows[i][j], 1e-6f) << i << j;
        }
    }
    EXPECT_NEAR(t.origin.x, 0.0f, 1e-7f);
    EXPECT_NEAR(t.origin.y, 4.90131f, 1e-5f);
    EXPECT_NEAR(t.origin.z, 0.01709f, 1e-5f);
}

TEST_F(BoatMotionTest, DeadPredictorOnlyAdvancesItsClock) {
    RigidBody3D *boat = add_boat(Vector3(1.0f, 0.7f, 1.0f));
    ASSERT_NE(boat, nullptr);
    boat->set_linear_velocity(Vector3(0.0f, 0.0f, -3.0f));
    boat->call("apply_damage", 50.0);
    Predictor motion;
    motion.set_from_boat(boat);
    ASSERT_FALSE(motion.alive());
    const Transform3D pose = motion.transform();
    const Vector3 velocity = motion.linear_velocity();
    const double start = motion.time();
    motion.step(1.0, -1.0, 0.25);
    EXPECT_EQ(motion.time(), start + 0.25);
    EXPECT_EQ(motion.transform(), pose);
    EXPECT_EQ(motion.linear_velocity(), velocity);
    EXPECT_EQ(motion.throttle(), 1.0);
    EXPECT_FALSE(motion.alive());

    // Seeding from a living boat revives it.
    RigidBody3D *other = add_boat(Vector3(-1.0f, 0.7f, 1.0f));
    ASSERT_NE(other, nullptr);
    motion.set_from_boat(other);
    EXPECT_TRUE(motion.alive());
    EXPECT_EQ(motion.transform().origin, Vector3(-1.0f, 0.7f, 1.0f));
}

TEST_F(BoatMotionTest, BoostRunningOutWithinAStepStillCounts) {
    // Level on the sea with full throttle: the boost multiplies this step's thrust.
    const auto after_one_step = [](double p_boost) {
        brinewake::MotionState state;
        state.speed_boost_remaining = p_boost;
        brinewake::step_motion(state, 1.0, 0.0, 0.1);
        return state;
    };
    const brinewake::MotionState nearly_out = after_one_step(0.01);
    const brinewake::MotionState plenty = after_one_step(5.0);
    const brinewake::MotionState none = after_one_step(0.0);
    EXPECT_EQ(nearly_out.linear_velocity, plenty.linear_velocity);
    EXPECT_EQ(nearly_out.transform, plenty.transform);
    EXPECT_LT(nearly_out.linear_velocity.z, none.linear_velocity.z) << "boost pushes further along -Z";
    EXPECT_EQ(nearly_out.speed_boost_remaining, 0.0);
    EXPECT_EQ(plenty.speed_boost_remaining, 5.0 - 0.1);
}

TEST_F(BoatMotionTest, RefusedPacketLeavesEveryGetter) {
    Predictor motion;
    SeedValues seed;
    seed.position = Vector3(2.0f, 0.1f, -1.0f);
    seed.angular_velocity = Vector3(0.0f, 0.3f, 0.0f);
    seed.wave_time = 4.0;
    ASSERT_TRUE(motion.set_from_packet(seed_packet(seed)));
    motion.step(0.75, 0.25, 1.0 / 60.0);
    const uint64_t before = motion.fingerprint();

    const Bytes truncated(FRESH_BOAT_PACKET.begin(), FRESH_BOAT_PACKET.end() - 1);
    Bytes trailing = FRESH_BOAT_PACKET;
    trailing.push_back(0);
    Bytes non_finite = FRESH_BOAT_PACKET;
    put_f32_le(non_finite, 0, std::numeric_limits<float>::quiet_NaN());
    for (const Bytes &bytes : {Bytes(), truncated, trailing, non_finite}) {
        EXPECT_FALSE(motion.set_from_packet(bytes)) << bytes.size() << " bytes";
        EXPECT_EQ(motion.fingerprint(), before) << bytes.size() << " bytes";
    }
}

TEST_F(BoatMotionTest, SeedsFromABoatAsFromItsPacket) {
    RigidBody3D *boat = add_boat(Vector3(3.0f, 0.7f, -2.0f));
    ASSERT_NE(boat, nullptr);
    boat->call("set_controls", 0.8, -0.3);
    boat->call("set_wind", Vector2(0.5f, 1.0f));
    scene->step(20);

    Predictor from_boat;
    from_boat.set_from_boat(boat);
    Predictor from_packet;
    ASSERT_TRUE(from_packet.set_from_packet(from_packed(boat->call("get_network_packet"))));
    EXPECT_EQ(from_boat.fingerprint(), from_packet.fingerprint());
    EXPECT_EQ(from_boat.transform().origin, boat->get_global_transform().origin);
    EXPECT_EQ(from_boat.time(), double(boat->call("get_wave_time")));
    EXPECT_EQ(from_boat.throttle(), double(0.8f));
    for (int i = 0; i < 10; ++i) {
        from_boat.step(0.8, -0.3, 1.0 / 60.0);
        from_packet.step(0.8, -0.3, 1.0 / 60.0);
    }
    EXPECT_EQ(from_boat.fingerprint(), from_packet.fingerprint());
}

TEST_F(BoatMotionTest, NullOrForeignObjectIsIgnored) {
    Predictor motion;
    SeedValues seed;
    seed.position = Vector3(0.0f, 1.0f, 0.0f);
    ASSERT_TRUE(motion.set_from_packet(seed_packet(seed)));
    const uint64_t before = motion.fingerprint();
    motion.set_from_boat(Variant());
    EXPECT_EQ(motion.fingerprint(), before);
    Predictor other;
    motion.set_from_boat(other.get());
    EXPECT_EQ(motion.fingerprint(), before);
}

// Fixed seed, several hundred steps of changing controls, a re-seed with new wind and boost:
// the exact bits of the result. Any change to the arithmetic, its order or the compiler's
// floating-point code generation changes the hash.
TEST_F(BoatMotionTest, DeterministicToTheBit) {
    SeedValues seed;
    seed.position = Vector3(1.5f, 0.05f, -2.0f);
    seed.rotation = Basis(Vector3(0.2f, 1.0f, -0.1f).normalized(), 0.4f).get_rotation_quaternion();
    seed.linear_velocity = Vector3(0.5f, 0.0f, -1.0f);
    seed.angular_velocity = Vector3(0.05f, 0.2f, -0.03f);
    seed.boost = 3.0f;
    seed.throttle = 0.5f;
    seed.wind = Vector2(1.0f, -0.5f);
    seed.wave_time = 2.0;

    Predictor motion;
    ASSERT_TRUE(motion.set_from_packet(seed_packet(seed)));
    const auto run = [&motion](int p_first, int p_count) {
        for (int i = p_first; i < p_first + p_count; ++i) {
            const double throttle = double((i / 50) % 3) - 1.0;
            const double steering = 0.5 * double((i / 37) % 5 - 2);
            const double delta = i % 7 == 0 ? 1.0 / 30.0 : 1.0 / 60.0;
            motion.step(throttle, steering, delta);
        }
    };
    run(0, 300);
    SeedValues reseed;
    const Transform3D pose = motion.transform();
    reseed.position = pose.origin;
    reseed.rotation = pose.basis.get_rotation_quaternion();
    reseed.linear_velocity = motion.linear_velocity();
    reseed.angular_velocity = motion.angular_velocity();
    reseed.boost = 1.5f;
    reseed.wind = Vector2(-1.5f, 0.8f);
    reseed.wave_time = motion.time();
    ASSERT_TRUE(motion.set_from_packet(seed_packet(reseed)));
    run(300, 300);

    ASSERT_TRUE(motion.transform().is_finite());
    EXPECT_TRUE(motion.alive());
    const uint64_t hash = motion.fingerprint();
    std::printf("predictor state hash: 0x%016llx\n", static_cast<unsigned long long>(hash));
    EXPECT_EQ(hash, 0x1b72157862c02515ull);
}

// The predictor against the physics boat it predicts: seeded from a settled boat, both run the same
// controls for one second at 60 Hz.
TEST_F(BoatMotionTest, FollowsThePhysicsBoat) {
    struct Case {
        const char *name;
        double throttle, steering;
        bool boost;
        Vector2 wind;
    };
    const Case cases[] = {
        {"drifting", 0.0, 0.0, false, Vector2()},
        {"full ahead, turning", 1.0, 0.6, false, Vector2()},
        {"boosted in wind", 1.0, -0.4, true, Vector2(1.5f, -1.0f)},
        {"reverse", -1.0, 1.0, false, Vector2(0.0f, 2.0f)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        scene = std::make_unique<MatchScene>();
        RigidBody3D *boat = add_boat(Vector3(0.0f, 0.7f, 0.0f));
        ASSERT_NE(boat, nullptr);
        boat->call("set_wind", c.wind);
        scene->step(180); // settle on the sea
        boat->call("set_controls", c.throttle, c.steering);
        if (c.boost) {
            boat->call("activate_speed_boost");
        }
        Predictor motion;
        motion.set_from_boat(boat);
        const Vector3 start = boat->get_global_transform().origin;
        for (int frame = 0; frame < 60; ++frame) {
            scene->step(1);
            motion.step(c.throttle, c.steering, MatchScene::PHYSICS_STEP);
        }
        const Transform3D actual = boat->get_global_transform();
        const Transform3D predicted = motion.transform();
        const float position_error = (actual.origin - predicted.origin).length();
        const float heading_error =
            angle_between_headings(heading_of(actual.basis), heading_of(predicted.basis));
        const float travelled = (actual.origin - start).length();
        std::printf("%-22s travelled %.3f m, position error %.4f m, heading error %.4f rad\n", c.name,
                    travelled, position_error, heading_error);
        EXPECT_LT(position_error, 0.1f);
        EXPECT_LT(heading_error, 0.06f);
    }
}
