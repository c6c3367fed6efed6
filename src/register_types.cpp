#include "register_types.hpp"

#include "boat/boat.hpp"
#include "boat_motion/boat_motion.hpp"
#include "weapon_system/weapon_system.hpp"

#include <gdextension_interface.h>
#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/godot.hpp>

using namespace godot;

void initialize_brinewake_module(ModuleInitializationLevel p_level) {
    if (p_level != MODULE_INITIALIZATION_LEVEL_SCENE) {
        return;
    }
    // Registration order is part of the interface: scripts and tools list classes in it.
    GDREGISTER_CLASS(Boat);
    GDREGISTER_CLASS(BoatMotion);
    GDREGISTER_CLASS(WeaponSystem);
}

void uninitialize_brinewake_module(ModuleInitializationLevel) {
    // The binding layer unregisters the classes it registered.
}

extern "C" {

GDExtensionBool GDE_EXPORT brinewake_init(GDExtensionInterfaceGetProcAddress p_get_proc_address,
                                          const GDExtensionClassLibraryPtr p_library,
                                          GDExtensionInitialization *r_initialization) {
    GDExtensionBinding::InitObject init_obj(p_get_proc_address, p_library, r_initialization);
    init_obj.register_initializer(initialize_brinewake_module);
    init_obj.register_terminator(uninitialize_brinewake_module);
    init_obj.set_minimum_library_initialization_level(MODULE_INITIALIZATION_LEVEL_SCENE);
    return init_obj.init();
}
}
