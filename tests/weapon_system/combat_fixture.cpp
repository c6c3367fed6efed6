#include "combat_fixture.hpp"

#include <godot_cpp/core/object.hpp>

using namespace godot;

namespace brinewake_test {

void EventLog::watch(Object *p_object, const char *p_signal) {
    std::shared_ptr<std::vector<Event>> sink = events;
    std::shared_ptr<std::vector<Hook>> handlers = hooks;
    const std::string name = p_signal;
    p_object->connect(
        p_signal, standin::callable_lambda([sink, handlers, name](const Variant **p_args, int64_t p_count) {
            Event event{name, {}};
            for (int64_t i = 0; i < p_count; ++i) {
                event.args.push_back(*p_args[i]);
            }
            sink->push_back(event);
            for (size_t h = 0; h < handlers->size(); ++h) {
                if ((*handlers)[h].signal == name) {
                    const std::function<void(const Event &)> handler = (*handlers)[h].handler;
                    handler(event);
                }
            }
        }));
}

void EventLog::watch_node(Object *p_node) {
    for (const char *signal : NODE_SIGNALS) {
        watch(p_node, signal);
    }
}

void EventLog::watch_boat(Object *p_boat) {
    watch(p_boat, "destroyed");
    watch(p_boat, "respawned");
}

void EventLog::on(const std::string &p_signal, std::function<void(const Event &)> p_handler) {
    hooks->push_back(Hook{p_signal, std::move(p_handler)});
}

std::vector<Event> EventLog::of(const std::string &p_signal) const {
    std::vector<Event> result;
    for (const Event &event : *events) {
        if (event.signal == p_signal) {
            result.push_back(event);
        }
    }
    return result;
}

void CombatTest::SetUp() {
    use_linked_extension();
    scene = std::make_unique<MatchScene>();
}

Node3D *CombatTest::node() {
    Node3D *combat = scene->weapon_system();
    if (combat != nullptr && !node_watched) {
        log.watch_node(combat);
        node_watched = true;
    }
    return combat;
}

Boat *CombatTest::add_free_boat(const Vector3 &p_position, double p_yaw) {
    Boat *boat = Object::cast_to<Boat>(scene->add_boat(p_position, p_yaw));
    if (boat != nullptr) {
        log.watch_boat(boat);
        node()->call("register_boat", boat);
    }
    return boat;
}

Boat *CombatTest::add_boat(const Vector3 &p_position, double p_yaw, bool p_register) {
    Boat *boat = Object::cast_to<Boat>(scene->add_boat(p_position, p_yaw));
    if (boat == nullptr) {
        return nullptr;
    }
    boat->set_freeze_enabled(true);
    log.watch_boat(boat);
    if (p_register) {
        node()->call("register_boat", boat);
    }
    return boat;
}

void CombatTest::press(Boat *p_boat, int p_kind) {
    p_boat->call("select_weapon", p_kind);
    p_boat->call("set_trigger", true);
}

std::vector<std::string> signal_names(const std::vector<Event> &p_events) {
    std::vector<std::string> names;
    for (const Event &event : p_events) {
        names.push_back(event.signal);
    }
    return names;
}

} // namespace brinewake_test
