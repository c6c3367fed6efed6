#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/type_info.hpp>
#include <godot_cpp/variant/packed_array_storage.hpp>
#include <godot_cpp/variant/rid.hpp>

namespace standin {

godot::RID make_rid(uint64_t p_id) {
    godot::RID rid;
    rid.id_ = p_id;
    return rid;
}

godot::RID allocate_rid() {
    static uint64_t next = 1;
    return make_rid(next++);
}

} // namespace standin

namespace godot {
namespace internal {

void report_packed_index_error(const char *p_function, int64_t p_index, int64_t p_size) {
    _err_print_index_error(p_function, __FILE__, __LINE__, p_index, p_size, "p_index", "self->size()");
}

String enum_class_info_name(const char *p_qualified) {
    // Keep the last two "::"-separated parts, joined by '.'.
    const String text(p_qualified);
    int64_t last = -1;
    int64_t before_last = -1;
    for (int64_t i = 0; i + 1 < text.length(); ++i) {
        if (text[i] == ':' && text[i + 1] == ':') {
            before_last = last;
            last = i;
            ++i;
        }
    }
    if (last < 0) {
        return text;
    }
    const int64_t start = before_last < 0 ? 0 : before_last + 2;
    return text.substr(start, last - start) + "." + text.substr(last + 2);
}

} // namespace internal
} // namespace godot
