#include <godot_cpp/core/method_bind.hpp>

#include <array>

namespace godot {

uint32_t MethodBind::get_hint_flags() const {
    uint32_t flags = METHOD_FLAG_NORMAL;
    if (is_const_) {
        flags |= METHOD_FLAG_CONST;
    }
    if (is_static_) {
        flags |= METHOD_FLAG_STATIC;
    }
    return flags;
}

void MethodBind::set_argument_names(const std::vector<StringName> &p_names) {
    for (size_t i = 0; i < argument_info_.size(); ++i) {
        argument_info_[i].name =
            i < p_names.size() ? p_names[i] : StringName("_unnamed_arg" + itos(int64_t(i)));
    }
}

Variant MethodBind::call(Object *p_object, const Variant **p_args, int p_argcount,
                         GDExtensionCallError &r_error) const {
    r_error = GDExtensionCallError{GDEXTENSION_CALL_OK, 0, 0};
    const int arity = get_argument_count();
    const int defaults = static_cast<int>(default_arguments_.size());
    if (p_argcount > arity) {
        r_error.error = GDEXTENSION_CALL_ERROR_TOO_MANY_ARGUMENTS;
        r_error.expected = arity;
        return Variant();
    }
    if (arity - p_argcount > defaults) {
        r_error.error = GDEXTENSION_CALL_ERROR_TOO_FEW_ARGUMENTS;
        r_error.expected = arity;
        return Variant();
    }
    if (!is_static_ && p_object == nullptr) {
        r_error.error = GDEXTENSION_CALL_ERROR_INSTANCE_IS_NULL;
        return Variant();
    }
    constexpr int INLINE_ARGS = 16;
    std::array<const Variant *, INLINE_ARGS> inline_args{};
    std::vector<const Variant *> heap_args;
    const Variant **full = inline_args.data();
    if (arity > INLINE_ARGS) {
        heap_args.resize(static_cast<size_t>(arity));
        full = heap_args.data();
    }
    for (int i = 0; i < arity; ++i) {
        // Defaults belong to the trailing arguments.
        full[i] =
            i < p_argcount ? p_args[i] : &default_arguments_[static_cast<size_t>(defaults - (arity - i))];
    }
    return invoke(p_object, full);
}

} // namespace godot
