#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/callable_custom.hpp>
#include <standin/callable_lambda.hpp>

namespace standin {

namespace {

class LambdaCallable : public godot::CallableCustom {
    std::function<void(const godot::Variant **, int64_t)> function_;

    static bool same(const godot::CallableCustom *p_a, const godot::CallableCustom *p_b) {
        return p_a == p_b;
    }
    static bool less(const godot::CallableCustom *p_a, const godot::CallableCustom *p_b) { return p_a < p_b; }

public:
    explicit LambdaCallable(std::function<void(const godot::Variant **, int64_t)> p_function)
        : function_(std::move(p_function)) {}

    uint32_t hash() const override {
        const uintptr_t address = reinterpret_cast<uintptr_t>(this);
        return static_cast<uint32_t>(address ^ (address >> 32));
    }
    godot::String get_as_text() const override { return "<lambda>"; }
    CompareEqualFunc get_compare_equal_func() const override { return &LambdaCallable::same; }
    CompareLessFunc get_compare_less_func() const override { return &LambdaCallable::less; }
    bool is_valid() const override { return true; }
    godot::ObjectID get_object() const override { return godot::ObjectID(); }
    void call(const godot::Variant **p_arguments, int p_argcount, godot::Variant &r_return_value,
              GDExtensionCallError &r_call_error) const override {
        r_call_error.error = GDEXTENSION_CALL_OK;
        r_return_value = godot::Variant();
        if (function_) {
            function_(p_arguments, p_argcount);
        }
    }
};

} // namespace

godot::Callable
callable_lambda(std::function<void(const godot::Variant **p_args, int64_t p_count)> p_function) {
    return godot::Callable(memnew(LambdaCallable(std::move(p_function))));
}

SignalRecorder::SignalRecorder(godot::Object *p_object, const godot::StringName &p_signal)
    : signal_(p_signal), emissions_(std::make_shared<std::vector<Emission>>()) {
    if (p_object == nullptr) {
        return;
    }
    object_id_ = p_object->get_instance_id();
    // The callable shares the storage, so an emission after this recorder is gone harms nothing.
    std::shared_ptr<std::vector<Emission>> storage = emissions_;
    callable_ = callable_lambda([storage](const godot::Variant **p_args, int64_t p_count) {
        Emission emission;
        for (int64_t i = 0; i < p_count; ++i) {
            emission.push_back(*p_args[i]);
        }
        storage->push_back(std::move(emission));
    });
    connected_ = p_object->connect(p_signal, callable_) == godot::OK;
}

SignalRecorder::~SignalRecorder() {
    if (!connected_) {
        return;
    }
    godot::Object *object = godot::ObjectDB::get_instance(object_id_);
    if (object != nullptr && object->is_connected(signal_, callable_)) {
        object->disconnect(signal_, callable_);
    }
}

} // namespace standin
