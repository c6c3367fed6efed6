// The scene tree: membership, tree callbacks, freeing, transforms through the parent chain, and
// the order of one physics frame.
#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/physics_direct_body_state3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/world3d.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <standin/error_capture.hpp>
#include <standin/scene_tree.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace godot;

namespace {

std::vector<std::string> &event_log() {
    static std::vector<std::string> events;
    return events;
}

// A node that logs its tree callbacks as "<callback>:<name>".
class LoggingNode : public Node3D {
    GDCLASS(LoggingNode, Node3D)

public:
    std::string label;
    std::function<void(double)> on_physics_process;

    void _enter_tree() override { event_log().push_back("enter:" + label); }
    void _exit_tree() override { event_log().push_back("exit:" + label); }
    void _ready() override { event_log().push_back("ready:" + label); }
    void _physics_process(double p_delta) override {
        if (on_physics_process) {
            on_physics_process(p_delta);
        }
    }

protected:
    static void _bind_methods() {}
};

class LoggingBody : public RigidBody3D {
    GDCLASS(LoggingBody, RigidBody3D)

public:
    std::function<void(PhysicsDirectBodyState3D *)> on_integrate_forces;

    void _integrate_forces(PhysicsDirectBodyState3D *p_state) override {
        if (on_integrate_forces) {
            on_integrate_forces(p_state);
        }
    }

protected:
    static void _bind_methods() {}
};

LoggingNode *make_node(const std::string &p_label) {
    LoggingNode *node = memnew(LoggingNode);
    node->label = p_label;
    return node;
}

void expect_near(const Transform3D &p_actual, const Transform3D &p_expected, float p_tolerance = 1e-5f) {
    for (int i = 0; i < 3; i++) {
        for (int j = 0; j < 3; j++) {
            EXPECT_NEAR(p_actual.basis[i][j], p_expected.basis[i][j], p_tolerance)
                << "basis " << i << "," << j;
        }
        EXPECT_NEAR(p_actual.origin[i], p_expected.origin[i], p_tolerance) << "origin " << i;
    }
}

class SceneTreeTest : public ::testing::Test {
protected:
    void SetUp() override { event_log().clear(); }
    standin::SceneTree tree;
};

} // namespace

TEST_F(SceneTreeTest, CallbacksRunInEngineOrderAndReadyOnlyOnce) {
    // a(b(c), d)
    LoggingNode *a = make_node("a");
    LoggingNode *b = make_node("b");
    b->add_child(make_node("c"));
    a->add_child(b);
    a->add_child(make_node("d"));
    EXPECT_TRUE(event_log().empty()) << "nothing runs outside a tree";

    tree.get_root()->add_child(a);
    EXPECT_EQ(event_log(), (std::vector<std::string>{"enter:a", "enter:b", "enter:c", "enter:d", "ready:c",
                                                     "ready:b", "ready:d", "ready:a"}));
    EXPECT_TRUE(b->is_inside_tree());
    EXPECT_TRUE(b->is_node_ready());

    event_log().clear();
    tree.get_root()->remove_child(a);
    EXPECT_EQ(event_log(), (std::vector<std::string>{"exit:d", "exit:c", "exit:b", "exit:a"}));
    EXPECT_FALSE(b->is_inside_tree());
    EXPECT_EQ(a->get_parent(), nullptr);

    event_log().clear();
    tree.get_root()->add_child(a);
    EXPECT_EQ(event_log(), (std::vector<std::string>{"enter:a", "enter:b", "enter:c", "enter:d"}));
}

TEST_F(SceneTreeTest, FreeingANodeLeavesTheParentAndFreesTheSubtree) {
    LoggingNode *parent = make_node("parent");
    LoggingNode *doomed = make_node("doomed");
    LoggingNode *grandchild = make_node("grandchild");
    LoggingNode *sibling = make_node("sibling");
    doomed->add_child(grandchild);
    parent->add_child(doomed);
    parent->add_child(sibling);
    tree.get_root()->add_child(parent);
    const uint64_t doomed_id = doomed->get_instance_id();
    const uint64_t grandchild_id = grandchild->get_instance_id();

    event_log().clear();
    memdelete(doomed);
    EXPECT_EQ(ObjectDB::get_instance(doomed_id), nullptr);
    EXPECT_EQ(ObjectDB::get_instance(grandchild_id), nullptr);
    ASSERT_EQ(parent->get_child_count(), 1);
    EXPECT_EQ(parent->get_child(0), sibling);
    EXPECT_EQ(event_log().front(), "exit:grandchild") << "the children leave the tree before they are freed";

    // Queued freeing waits for the end of the physics frame.
    const uint64_t sibling_id = sibling->get_instance_id();
    sibling->queue_free();
    EXPECT_NE(ObjectDB::get_instance(sibling_id), nullptr);
    tree.physics_frame();
    EXPECT_EQ(ObjectDB::get_instance(sibling_id), nullptr);
    EXPECT_EQ(parent->get_child_count(), 0);
}

TEST_F(SceneTreeTest, InvalidTreeEditsAreRefusedWithAnError) {
    Node *root = tree.get_root();
    Node *a = memnew(Node);
    Node *b = memnew(Node);
    root->add_child(a);
    a->add_child(b);
    Node *outsider = memnew(Node);

    struct Case {
        const char *name;
        std::function<void()> edit;
    };
    const Case cases[] = {
        {"null child", [&] { a->add_child(nullptr); }},
        {"itself", [&] { a->add_child(a); }},
        {"already parented", [&] { root->add_child(b); }},
        {"an ancestor", [&] { b->add_child(a); }},
        {"the root", [&] { outsider->add_child(root); }},
        {"removing a stranger", [&] { a->remove_child(outsider); }},
        {"index out of range", [&] { (void)a->get_child(5); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        standin::ErrorCapture capture;
        c.edit();
        EXPECT_EQ(capture.errors().size(), 1u);
        EXPECT_EQ(root->get_child_count(), 1);
        EXPECT_EQ(a->get_parent(), root);
        EXPECT_EQ(b->get_parent(), a);
        EXPECT_EQ(a->get_child_count(), 1);
        EXPECT_EQ(outsider->get_child_count(), 0);
    }
    EXPECT_EQ(a->get_child(-1), b) << "negative indices count from the end";
    memdelete(outsider);
}

TEST_F(SceneTreeTest, GlobalTransformFollowsTheNode3DParentChain) {
    const Transform3D parent_pose(Basis(Vector3(0, 1, 0), 0.7f), Vector3(1, 2, 3));
    const Transform3D child_pose(Basis(Vector3(1, 0, 0), -0.4f), Vector3(0.5f, 0, -2));
    Node3D *parent = memnew(Node3D);
    Node3D *child = memnew(Node3D);
    Node *plain = memnew(Node);
    Node3D *behind_plain = memnew(Node3D);
    parent->set_transform(parent_pose);
    child->set_transform(child_pose);
    behind_plain->set_transform(child_pose);
    parent->add_child(child);
    parent->add_child(plain);
    plain->add_child(behind_plain);

    {
        // Outside a tree the global transform is unknown, as in the engine.
        standin::ErrorCapture capture;
        EXPECT_EQ(child->get_global_transform(), Transform3D());
        EXPECT_TRUE(child->get_world_3d().is_null());
        EXPECT_EQ(capture.errors().size(), 2u);
    }

    tree.get_root()->add_child(parent);
    standin::ErrorCapture capture;
    expect_near(child->get_global_transform(), parent_pose * child_pose);
    expect_near(behind_plain->get_global_transform(), child_pose); // a plain Node breaks the chain
    EXPECT_EQ(child->get_world_3d(), tree.get_world_3d());

    const Transform3D target(Basis(Vector3(0, 0, 1), 1.1f), Vector3(-4, 5, 6));
    child->set_global_transform(target);
    expect_near(child->get_global_transform(), target);
    expect_near(child->get_transform(), parent_pose.affine_inverse() * target);
    child->set_global_position(Vector3(7, 8, 9));
    expect_near(child->get_global_transform(), Transform3D(target.basis, Vector3(7, 8, 9)));

    // Moving the parent moves the child's global pose with it.
    parent->set_position(Vector3(0, 0, 0));
    expect_near(child->get_global_transform(),
                Transform3D(parent_pose.basis, Vector3()) * child->get_transform());
    EXPECT_TRUE(capture.errors().empty());
}

TEST_F(SceneTreeTest, PhysicsFrameRunsForcesThenProcessingThenTheStep) {
    LoggingBody *body = memnew(LoggingBody);
    LoggingNode *processor = make_node("processor");
    LoggingNode *idle = make_node("idle");
    tree.get_root()->add_child(body);
    tree.get_root()->add_child(processor);
    tree.get_root()->add_child(idle);
    processor->set_physics_process(true);
    body->set_position(Vector3(0, 10, 0));

    std::vector<std::string> order;
    std::vector<float> height_in_forces;
    std::vector<float> height_in_process;
    body->on_integrate_forces = [&](PhysicsDirectBodyState3D *p_state) {
        order.push_back("forces");
        height_in_forces.push_back(p_state->get_transform().origin.y);
        EXPECT_FLOAT_EQ(p_state->get_step(), 1.0f / 60.0f);
    };
    processor->on_physics_process = [&](double p_delta) {
        order.push_back("process");
        height_in_process.push_back(body->get_global_position().y);
        EXPECT_DOUBLE_EQ(p_delta, 1.0 / 60.0);
    };
    idle->on_physics_process = [&](double) { order.push_back("idle"); };

    std::vector<float> height_after;
    for (int frame = 0; frame < 3; frame++) {
        tree.physics_frame();
        height_after.push_back(body->get_global_position().y);
    }
    EXPECT_EQ(order,
              (std::vector<std::string>{"forces", "process", "forces", "process", "forces", "process"}));
    EXPECT_EQ(tree.get_physics_frame_count(), 3u);
    ASSERT_EQ(height_in_forces.size(), 3u);
    EXPECT_FLOAT_EQ(height_in_forces[0], 10.0f);
    EXPECT_FLOAT_EQ(height_in_process[0], 10.0f) << "the step comes after _physics_process";
    EXPECT_LT(height_after[0], 10.0f);
    for (size_t i = 1; i < 3; i++) {
        EXPECT_EQ(height_in_forces[i], height_after[i - 1]);
        EXPECT_EQ(height_in_process[i], height_after[i - 1]);
    }
}

TEST_F(SceneTreeTest, PoseSetOnTheNodeDuringIntegrateForcesReachesTheBody) {
    LoggingBody *body = memnew(LoggingBody);
    tree.get_root()->add_child(body);
    body->set_gravity_scale(0);
    body->set_linear_damp_mode(RigidBody3D::DAMP_MODE_REPLACE);
    const Vector3 teleport(3, -2, 8);
    body->on_integrate_forces = [&](PhysicsDirectBodyState3D *) { body->set_global_position(teleport); };
    tree.physics_frame();
    EXPECT_EQ(body->get_global_position(), teleport);
    EXPECT_EQ(standin::direct_body_state(body)->get_transform().origin, teleport);

    // Through the direct state the basis is orthonormalized.
    body->on_integrate_forces = [&](PhysicsDirectBodyState3D *p_state) {
        p_state->set_transform(Transform3D(Basis().scaled(Vector3(2, 3, 4)), teleport));
    };
    tree.physics_frame();
    expect_near(body->get_global_transform(), Transform3D(Basis(), teleport));
}
