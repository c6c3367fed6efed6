// The extension linked into this process (brinewake_core), initialized once through its entry symbol
// as the engine would call it. Only for programs that link brinewake_core.
#pragma once

#include <gdextension_interface.h>
#include <standin/extension_loader.hpp>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" GDExtensionBool brinewake_init(GDExtensionInterfaceGetProcAddress p_get_proc_address,
                                          GDExtensionClassLibraryPtr p_library,
                                          GDExtensionInitialization *r_initialization);

namespace brinewake_test {

// Initializes the linked extension up to the scene level on the first call. The extension stays
// initialized until the process exits, when it is deinitialized (its classes unregistered) again.
inline void use_linked_extension() {
    static const std::unique_ptr<standin::Extension> extension = [] {
        std::string error;
        std::unique_ptr<standin::Extension> loaded = standin::Extension::from_entry(&brinewake_init, &error);
        if (!loaded || !loaded->entry_result()) {
            std::fprintf(stderr, "brinewake_init failed: %s\n", error.c_str());
            std::abort();
        }
        loaded->initialize();
        return loaded;
    }();
}

} // namespace brinewake_test
