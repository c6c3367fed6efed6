// Loads an extension the way the engine does: entry symbol, initialization record, levels up and down.
#pragma once

#include <gdextension_interface.h>

#include <godot_cpp/variant/string.hpp>

#include <memory>
#include <string>
#include <vector>

namespace standin {

class Extension {
public:
    // dlopen (RTLD_NOW | RTLD_LOCAL), look up the entry symbol and call it. Null with r_error set when the
    // library or the symbol cannot be found; an entry that returns false still gives an Extension, whose
    // entry_result() is false and which initializes nothing.
    static std::unique_ptr<Extension> load_file(const std::string &p_path,
                                                const std::string &p_entry_symbol = "brinewake_init",
                                                std::string *r_error = nullptr);
    // An entry function linked into this process.
    static std::unique_ptr<Extension> from_entry(GDExtensionInitializationFunction p_entry,
                                                 std::string *r_error = nullptr);

    // The interface lookup the stand-in hands to entry functions: it answers "get_godot_version" (4.7.0).
    static GDExtensionInterfaceFunctionPtr get_proc_address(const char *p_name);

    ~Extension();
    Extension(const Extension &) = delete;
    Extension &operator=(const Extension &) = delete;

    bool entry_result() const { return entry_result_; }
    const GDExtensionInitialization &record() const { return record_; }

    // Calls the record's initializer for each level from its minimum up to p_up_to that is not yet
    // initialized.
    void initialize(GDExtensionInitializationLevel p_up_to = GDEXTENSION_INITIALIZATION_SCENE);
    // Calls the deinitializer for each initialized level, downwards.
    void deinitialize();

private:
    Extension() = default;
    bool run_entry(GDExtensionInitializationFunction p_entry);

    void *handle_ = nullptr;
    GDExtensionInitialization record_{};
    bool entry_result_ = false;
    int initialized_up_to_ = -1;
};

// The classes that extensions have registered and not yet unregistered, in registration order. The
// class database itself lists classes sorted by name, as the engine does; the engine keeps this order
// per extension.
std::vector<godot::String> registered_extension_classes();

} // namespace standin
