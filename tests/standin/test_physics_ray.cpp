// Ray queries against the physics world: closest hit, oriented boxes, spheres, shape placement,
// layer and mask filtering, exclusion, starting inside a shape, and the result dictionary.
#include <godot_cpp/classes/box_shape3d.hpp>
#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/physics_direct_space_state3d.hpp>
#include <godot_cpp/classes/physics_ray_query_parameters3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/sphere_shape3d.hpp>
#include <godot_cpp/classes/static_body3d.hpp>
#include <godot_cpp/classes/world3d.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <standin/scene_tree.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace godot;

namespace {

CollisionShape3D *add_box(CollisionObject3D *p_body, const Vector3 &p_size,
                          const Vector3 &p_offset = Vector3()) {
    Ref<BoxShape3D> box;
    box.instantiate();
    box->set_size(p_size);
    CollisionShape3D *holder = memnew(CollisionShape3D);
    holder->set_shape(box);
    holder->set_position(p_offset);
    p_body->add_child(holder);
    return holder;
}

class RayTest : public ::testing::Test {
protected:
    void SetUp() override {
        near_box = place(memnew(StaticBody3D), Transform3D(Basis(), Vector3(0, 0, -10)));
        add_box(near_box, Vector3(2, 2, 2));
        far_box = place(memnew(StaticBody3D), Transform3D(Basis(), Vector3(0, 0, -20)));
        add_box(far_box, Vector3(4, 4, 4));

        turned_box = place(memnew(StaticBody3D),
                           Transform3D(Basis(Vector3(0, 1, 0), float(Math_PI / 6)), Vector3(10, 0, -10)));
        add_box(turned_box, Vector3(2, 2, 2));

        RigidBody3D *rigid = memnew(RigidBody3D);
        sphere = place(rigid, Transform3D(Basis(), Vector3(-10, 0, -5)));
        Ref<SphereShape3D> ball;
        ball.instantiate();
        ball->set_radius(1);
        CollisionShape3D *holder = memnew(CollisionShape3D);
        holder->set_shape(ball);
        sphere->add_child(holder);

        layer_two = place(memnew(StaticBody3D), Transform3D(Basis(), Vector3(20, 0, -5)));
        layer_two->set_collision_layer(2);
        add_box(layer_two, Vector3(2, 2, 2));
        backstop = place(memnew(StaticBody3D), Transform3D(Basis(), Vector3(20, 0, -15)));
        add_box(backstop, Vector3(2, 2, 2));

        // Shapes 0 (off the ray), 1 (disabled, in front) and 2 (hit), placed by their holders.
        several = place(memnew(StaticBody3D), Transform3D(Basis(), Vector3(30, 0, -4)));
        add_box(several, Vector3(2, 2, 2), Vector3(0, 5, 0));
        add_box(several, Vector3(2, 2, 2), Vector3(0, 0, 2))->set_disabled(true);
        add_box(several, Vector3(2, 2, 2), Vector3(0, 0, -6));
    }

    template <typename T> T *place(T *p_body, const Transform3D &p_pose) {
        tree.get_root()->add_child(p_body);
        p_body->set_global_transform(p_pose);
        return p_body;
    }

    Dictionary cast(const Vector3 &p_from, const Vector3 &p_to, uint32_t p_mask = 0xFFFFFFFF,
                    const TypedArray<RID> &p_exclude = TypedArray<RID>(), bool p_from_inside = false) {
        Ref<PhysicsRayQueryParameters3D> query =
            PhysicsRayQueryParameters3D::create(p_from, p_to, p_mask, p_exclude);
        query->set_hit_from_inside(p_from_inside);
        return tree.get_world_3d()->get_direct_space_state()->intersect_ray(query);
    }

    standin::SceneTree tree;
    StaticBody3D *near_box = nullptr;
    StaticBody3D *far_box = nullptr;
    StaticBody3D *turned_box = nullptr;
    RigidBody3D *sphere = nullptr;
    StaticBody3D *layer_two = nullptr;
    StaticBody3D *backstop = nullptr;
    StaticBody3D *several = nullptr;
};

} // namespace

TEST_F(RayTest, ReportsTheClosestHitOfTheMatchingBodies) {
    TypedArray<RID> skip_near;
    skip_near.push_back(near_box->get_rid());
    const float turned_z = -10 + 1 / std::cos(float(Math_PI / 6));
    const float sphere_z = -5 + std::sqrt(0.75f);
    struct Case {
        const char *name;
        Vector3 from, to;
        uint32_t mask;
        TypedArray<RID> exclude;
        bool from_inside;
        CollisionObject3D *collider;
        Vector3 position, normal;
        int shape;
    };
    const Case cases[] = {
        {"closest of two",
         Vector3(),
         Vector3(0, 0, -30),
         0xFFFFFFFF,
         {},
         false,
         near_box,
         Vector3(0, 0, -9),
         Vector3(0, 0, 1),
         0},
        {"shot from behind",
         Vector3(0, 0, -30),
         Vector3(),
         0xFFFFFFFF,
         {},
         false,
         far_box,
         Vector3(0, 0, -22),
         Vector3(0, 0, -1),
         0},
        {"turned box",
         Vector3(10, 0, 0),
         Vector3(10, 0, -30),
         0xFFFFFFFF,
         {},
         false,
         turned_box,
         Vector3(10, 0, turned_z),
         Vector3(0.5f, 0, std::sqrt(0.75f)),
         0},
        {"sphere",
         Vector3(-9.5f, 0, 0),
         Vector3(-9.5f, 0, -10),
         0xFFFFFFFF,
         {},
         false,
         sphere,
         Vector3(-9.5f, 0, sphere_z),
         Vector3(0.5f, 0, std::sqrt(0.75f)),
         0},
        {"mask skips layer 2",
         Vector3(20, 0, 0),
         Vector3(20, 0, -30),
         1,
         {},
         false,
         backstop,
         Vector3(20, 0, -14),
         Vector3(0, 0, 1),
         0},
        {"mask finds layer 2",
         Vector3(20, 0, 0),
         Vector3(20, 0, -30),
         2,
         {},
         false,
         layer_two,
         Vector3(20, 0, -4),
         Vector3(0, 0, 1),
         0},
        {"excluded body", Vector3(), Vector3(0, 0, -30), 0xFFFFFFFF, skip_near, false, far_box,
         Vector3(0, 0, -18), Vector3(0, 0, 1), 0},
        {"disabled shape passed, index counts it",
         Vector3(30, 0, 0),
         Vector3(30, 0, -30),
         0xFFFFFFFF,
         {},
         false,
         several,
         Vector3(30, 0, -9),
         Vector3(0, 0, 1),
         2},
        {"start inside is skipped",
         Vector3(0, 0, -10),
         Vector3(0, 0, -30),
         0xFFFFFFFF,
         {},
         false,
         far_box,
         Vector3(0, 0, -18),
         Vector3(0, 0, 1),
         0},
        {"start inside hits when asked",
         Vector3(0, 0, -10),
         Vector3(0, 0, -30),
         0xFFFFFFFF,
         {},
         true,
         near_box,
         Vector3(0, 0, -10),
         Vector3(),
         0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Dictionary hit = cast(c.from, c.to, c.mask, c.exclude, c.from_inside);
        ASSERT_FALSE(hit.is_empty());
        EXPECT_EQ(static_cast<Object *>(hit["collider"]), c.collider);
        EXPECT_EQ(uint64_t(hit["collider_id"]), c.collider->get_instance_id());
        EXPECT_EQ(RID(hit["rid"]), c.collider->get_rid());
        EXPECT_EQ(int(hit["shape"]), c.shape);
        EXPECT_EQ(int(hit["face_index"]), -1);
        const Vector3 position = hit["position"];
        const Vector3 normal = hit["normal"];
        for (int i = 0; i < 3; i++) {
            EXPECT_NEAR(position[i], c.position[i], 1e-5f) << "position " << i;
            EXPECT_NEAR(normal[i], c.normal[i], 1e-5f) << "normal " << i;
        }
    }
}

TEST_F(RayTest, MissesGiveAnEmptyDictionary) {
    struct Case {
        const char *name;
        Vector3 from, to;
        uint32_t mask;
    };
    const Case cases[] = {
        {"nothing on the way", Vector3(0, 50, 0), Vector3(0, 50, -30), 0xFFFFFFFF},
        {"stops short", Vector3(), Vector3(0, 0, -8.5f), 0xFFFFFFFF},
        {"mask matches no layer", Vector3(), Vector3(0, 0, -30), 4},
        {"passes beside the sphere", Vector3(-8.9f, 0, 0), Vector3(-8.9f, 0, -10), 0xFFFFFFFF},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(cast(c.from, c.to, c.mask).is_empty());
    }

    // A body that left the tree has left the world.
    tree.get_root()->remove_child(near_box);
    EXPECT_EQ(static_cast<Object *>(cast(Vector3(), Vector3(0, 0, -30))["collider"]), far_box);
    tree.get_root()->add_child(near_box);
    EXPECT_EQ(static_cast<Object *>(cast(Vector3(), Vector3(0, 0, -30))["collider"]), near_box);
}

TEST_F(RayTest, ResultKeysComeInTheEngineOrder) {
    const Array keys = cast(Vector3(), Vector3(0, 0, -30)).keys();
    const char *expected[] = {"position", "normal", "face_index", "collider_id", "collider", "shape", "rid"};
    ASSERT_EQ(keys.size(), 7);
    for (int i = 0; i < 7; i++) {
        EXPECT_EQ(String(keys[i]), String(expected[i]));
    }
}

TEST_F(RayTest, MovingBodiesAreHitWhereThePhysicsStepLeftThem) {
    sphere->set_linear_velocity(Vector3(0, 0, 60));
    sphere->set_gravity_scale(0);
    tree.physics_frame(); // about 1 m towards the ray's start
    const Dictionary hit = cast(Vector3(-10, 0, 0), Vector3(-10, 0, -10));
    ASSERT_FALSE(hit.is_empty());
    const float center_z = sphere->get_global_position().z;
    EXPECT_LT(center_z, -3.9f);
    EXPECT_GT(center_z, -4.1f);
    EXPECT_NEAR(Vector3(hit["position"]).z, center_z + 1, 1e-5f);
}
