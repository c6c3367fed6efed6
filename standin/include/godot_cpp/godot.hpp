// The extension entry's binding layer: InitObject fills the engine's initialization record.
#pragma once

#include <gdextension_interface.h>

namespace godot {

enum ModuleInitializationLevel {
    MODULE_INITIALIZATION_LEVEL_CORE = GDEXTENSION_INITIALIZATION_CORE,
    MODULE_INITIALIZATION_LEVEL_SERVERS = GDEXTENSION_INITIALIZATION_SERVERS,
    MODULE_INITIALIZATION_LEVEL_SCENE = GDEXTENSION_INITIALIZATION_SCENE,
    MODULE_INITIALIZATION_LEVEL_EDITOR = GDEXTENSION_INITIALIZATION_EDITOR,
    MODULE_INITIALIZATION_LEVEL_MAX
};

class GDExtensionBinding {
public:
    using Callback = void (*)(ModuleInitializationLevel p_level);

    // The engine version this binding layer targets; init() refuses older engines.
    static constexpr uint32_t TARGET_MAJOR = 4;
    static constexpr uint32_t TARGET_MINOR = 7;
    static constexpr uint32_t TARGET_PATCH = 0;

    // The record's callbacks. They call the registered initializer or terminator with the level; after the
    // terminator, the classes registered at that level are removed from the class database.
    static void initialize_level(void *p_userdata, GDExtensionInitializationLevel p_level);
    static void deinitialize_level(void *p_userdata, GDExtensionInitializationLevel p_level);

    class InitObject {
        GDExtensionInterfaceGetProcAddress get_proc_address_;
        GDExtensionClassLibraryPtr library_;
        GDExtensionInitialization *initialization_;
        mutable Callback initializer_ = nullptr;
        mutable Callback terminator_ = nullptr;
        mutable ModuleInitializationLevel minimum_level_ = MODULE_INITIALIZATION_LEVEL_CORE;

    public:
        InitObject(GDExtensionInterfaceGetProcAddress p_get_proc_address,
                   GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization)
            : get_proc_address_(p_get_proc_address), library_(p_library), initialization_(r_initialization) {}

        void register_initializer(Callback p_init) const { initializer_ = p_init; }
        void register_terminator(Callback p_terminate) const { terminator_ = p_terminate; }
        void set_minimum_library_initialization_level(ModuleInitializationLevel p_level) const {
            minimum_level_ = p_level;
        }

        // False (and the record untouched) when the engine's interface cannot be loaded, the engine is older
        // than the target version, or no initializer was registered.
        GDExtensionBool init() const;
    };
};

} // namespace godot
