// Lambdas as engine callables, and a recorder of signal emissions, for tests.
#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace standin {

// A Callable that runs p_function with the call's arguments; always valid, equal only to its copies.
godot::Callable
callable_lambda(std::function<void(const godot::Variant **p_args, int64_t p_count)> p_function);

// Connects to (object, signal) on construction and records every emission's arguments; disconnects on
// destruction if the object still exists.
class SignalRecorder {
public:
    using Emission = std::vector<godot::Variant>;

    SignalRecorder(godot::Object *p_object, const godot::StringName &p_signal);
    ~SignalRecorder();
    SignalRecorder(const SignalRecorder &) = delete;
    SignalRecorder &operator=(const SignalRecorder &) = delete;

    // False when the connection was refused (unknown signal, null object).
    bool connected() const { return connected_; }
    const std::vector<Emission> &emissions() const { return *emissions_; }
    size_t count() const { return emissions_->size(); }
    void clear() { emissions_->clear(); }

private:
    uint64_t object_id_ = 0;
    godot::StringName signal_;
    godot::Callable callable_;
    std::shared_ptr<std::vector<Emission>> emissions_;
    bool connected_ = false;
};

} // namespace standin
