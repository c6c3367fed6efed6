// What the binding layer records for one initialized extension; shared with the loader.
#pragma once

#include <godot_cpp/godot.hpp>

namespace godot {
namespace internal {

struct BindingRecord {
    GDExtensionBinding::Callback initializer = nullptr;
    GDExtensionBinding::Callback terminator = nullptr;
    ModuleInitializationLevel minimum_level = MODULE_INITIALIZATION_LEVEL_CORE;
    GDExtensionClassLibraryPtr library = nullptr;
};

// Frees the record behind an initialization record's userdata, if the binding layer made it.
void release_binding_record(void *p_userdata);

} // namespace internal
} // namespace godot
